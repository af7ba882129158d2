#pragma once

#include <string>

// Where the history sends the one message the user must see when the answers cannot be kept
// (a bad or locked file, a full disk). The main window shows it in a message box; tests
// record it. The store calls it at most once per run.
class HistoryReporter {
public:
    virtual ~HistoryReporter() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};
