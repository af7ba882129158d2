#include "app/SettingsMessageReporter.h"

#include "app/MessageSeam.h"

SettingsMessageReporter::SettingsMessageReporter(MessageSeam& messages) : messages(messages) {}

void SettingsMessageReporter::ShowMessage(const std::string& text) {
    messages.Show(QString::fromStdString(text));
}
