#include "app/SettingsMessageReporter.h"

#include "ui/seams/MessageSeam.h"

SettingsMessageReporter::SettingsMessageReporter(MessageSeam& messages) : messages(messages) {}

void SettingsMessageReporter::ShowMessage(const std::string& text) {
    messages.Show(QString::fromStdString(text));
}
