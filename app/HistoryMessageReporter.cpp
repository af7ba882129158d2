#include "app/HistoryMessageReporter.h"

#include "ui/seams/MessageSeam.h"

#include <QString>

HistoryMessageReporter::HistoryMessageReporter(MessageSeam& messages) : messages(messages) {}

void HistoryMessageReporter::ShowMessage(const std::string& text) {
    QMetaObject::invokeMethod(
        this, [this, message = QString::fromStdString(text)] { messages.Show(message); }, Qt::QueuedConnection);
}
