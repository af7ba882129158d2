#include "app/DriverMessageReporter.h"

#include "ui/seams/MessageSeam.h"

#include <QMetaObject>
#include <QObject>
#include <QString>

DriverMessageReporter::DriverMessageReporter(MessageSeam& messages, QObject& uiContext)
    : messages(messages), uiContext(uiContext) {}

void DriverMessageReporter::ReportError(const char* caption, const char* text) {
    messages.ShowMessage(QString::fromUtf8(caption), QString::fromUtf8(text));
}

void DriverMessageReporter::PostError(const char* caption, const char* text, ErrorReportTicket ticket) {
    // caption and text are constants of the driver that live as long as the process.
    MessageSeam* seam = &messages;
    QMetaObject::invokeMethod(
        &uiContext,
        [seam, caption, text, ticket] {
            seam->ShowMessage(QString::fromUtf8(caption), QString::fromUtf8(text));
            ticket.Closed();
        },
        Qt::QueuedConnection);
}
