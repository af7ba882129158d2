#pragma once

#include "history/AnswerRecord.h"
#include "history/HistoryReporter.h"

#include <cstdint>
#include <string>
#include <vector>

// Collects the messages a history store reports, instead of showing them.
class RecordingHistoryReporter : public HistoryReporter {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// One answer of the random dictation; typed 0 and responseMs -1 when no key was typed.
inline AnswerRecord Answer(int64_t atMs, char played, char typed, int64_t responseMs) {
    AnswerRecord r;
    r.atMs = atMs;
    r.mode = "random";
    r.played = played;
    r.typed = typed;
    r.responseMs = responseMs;
    return r;
}
