#pragma once

#include "history/AnswerRecord.h"
#include "history/AnswerRow.h"

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
    static std::string FormatRows(const std::vector<AnswerRow>& rows);
    static std::string Format(const std::vector<AnswerRecord>& records);

    // One field, quoted when it must be.
    static std::string Field(const std::string& text);

    // Writes the file to path, a name in the system's encoding. What lies there decides:
    // nothing or a regular file: a new file is written beside it and then renamed over it, so
    // that a failed write leaves what was there (and a replaced file keeps its permissions); a
    // symbolic link: the same for the file it leads to, the link staying as it is; anything
    // else (a folder, a device, a FIFO, a socket) is refused. Returns false with a French
    // message in error when nothing was written; a full disk is named as such.
    static bool WriteRows(const std::string& path, const std::vector<AnswerRow>& rows, std::string& error);
    static bool Write(const std::string& path, const std::vector<AnswerRecord>& records, std::string& error);
};
