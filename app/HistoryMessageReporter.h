#pragma once

#include "history/HistoryReporter.h"

#include <QObject>

class MessageSeam;

// Shows the history's message (a bad file, a full disk) in a message box under the
// application's title. The box comes once the current handler has returned, so that the store
// never waits inside its own work on a box the user has not closed yet.
class HistoryMessageReporter : public QObject, public HistoryReporter {
    Q_OBJECT

public:
    explicit HistoryMessageReporter(MessageSeam& messages);
    void ShowMessage(const std::string& text) override;

private:
    MessageSeam& messages;
};
