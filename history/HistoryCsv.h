#pragma once

#include "history/AnswerRecord.h"

#include <string>
#include <vector>

// The history as a CSV file (RFC 4180: comma-separated, CRLF line ends, fields quoted when
// they hold a comma, a quote or a line break, UTF-8). The header names the columns of the
// history's answers table, so that a row reads the same in both: at_ms, mode, played, typed
// (empty when no key was typed) and response_ms (empty when none).
class HistoryCsv {
public:
    static constexpr const char* kHeader = "at_ms,mode,played,typed,response_ms";

    // The whole file as text.
    static std::string Format(const std::vector<AnswerRecord>& records);

    // One field, quoted when it must be.
    static std::string Field(const std::string& text);

    // Writes the file beside path and then moves it over path, so a failed write leaves what
    // was there. Returns false with a French message in error when it cannot.
    static bool Write(const std::string& path, const std::vector<AnswerRecord>& records, std::string& error);
};
