#pragma once
#include <string>
// One row of the history's answers table as it was written, whoever wrote it: each column as
// SQLite renders it as text, "" for NULL. The CSV export writes these, so that rows of other
// tools (other characters, other modes) leave the file as they are.
struct AnswerRow {
    std::string atMs;
    std::string mode;
    std::string played;
    std::string typed;
    std::string responseMs;
};
