#include "practice/SendingPractice.h"

#include "morse/MorseTable.h"
#include "practice/KochLessons.h"

#include <algorithm>

std::string SendingPractice::LessonGroups(int32_t lesson, std::mt19937& random) {
    const std::string characters = KochLessons::Characters(lesson);
    std::uniform_int_distribution<size_t> pick(0, characters.size() - 1);
    std::string text;
    for (int32_t group = 0; group < kGroups; ++group) {
        if (group > 0) {
            text += ' ';
        }
        for (int32_t i = 0; i < kGroupLength; ++i) {
            text += characters[pick(random)];
        }
    }
    return text;
}

void SendingPractice::Start(const std::string& text, int64_t atMs) {
    target.clear();
    wordEnds.clear();
    sent.clear();
    startMs = atMs;
    const MorseTable table;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') {
            if (!wordEnds.empty()) {
                wordEnds.back() = true;
            }
            continue;
        }
        size_t length = 1;
        if (text[i] == '<') {
            const size_t close = text.find('>', i);
            length = close == std::string::npos ? 1 : close - i + 1;
        }
        const int32_t sign = table.IndexOfSign(std::string_view(text).substr(i, length));
        if (sign != MorseTable::kNoIndex) {
            target.push_back(sign);
            wordEnds.push_back(false);
        }
        i += length - 1;
    }
}

void SendingPractice::Add(int32_t signIndex, int64_t atMs) {
    sent.push_back({signIndex, atMs});
}

// Edit distance between what was read and each start of the target, then the path back from
// the start that reaches furthest among the cheapest.
SendingPractice::Path SendingPractice::Align() const {
    const size_t n = target.size();
    const size_t m = sent.size();
    std::vector<std::vector<int32_t>> cost(n + 1, std::vector<int32_t>(m + 1, 0));
    for (size_t i = 0; i <= n; ++i) {
        cost[i][0] = static_cast<int32_t>(i);
    }
    for (size_t j = 0; j <= m; ++j) {
        cost[0][j] = static_cast<int32_t>(j);
    }
    for (size_t i = 1; i <= n; ++i) {
        for (size_t j = 1; j <= m; ++j) {
            const int32_t change = target[i - 1] == sent[j - 1].sign ? 0 : 1;
            cost[i][j] = std::min({cost[i - 1][j - 1] + change, cost[i - 1][j] + 1, cost[i][j - 1] + 1});
        }
    }
    size_t reached = 0;
    for (size_t i = 0; i <= n; ++i) {
        if (cost[i][m] <= cost[reached][m]) {
            reached = i;
        }
    }
    Path path;
    path.reached = static_cast<int32_t>(reached);
    size_t i = reached;
    size_t j = m;
    // From the end back: a character right where one can be, else an error as late as it can be.
    while (i > 0 || j > 0) {
        Column column;
        int32_t sentIndex = -1;
        const bool diagonal = i > 0 && j > 0;
        const bool same = diagonal && target[i - 1] == sent[j - 1].sign;
        if (same && cost[i][j] == cost[i - 1][j - 1]) {
            column = {target[i - 1], sent[j - 1].sign, wordEnds[i - 1]};
            sentIndex = static_cast<int32_t>(--j);
            --i;
        } else if (j > 0 && cost[i][j] == cost[i][j - 1] + 1) {
            column.sent = sent[j - 1].sign;
            sentIndex = static_cast<int32_t>(--j);
        } else if (i > 0 && cost[i][j] == cost[i - 1][j] + 1) {
            column.target = target[i - 1];
            column.wordEnd = wordEnds[i - 1];
            --i;
        } else {
            column = {target[i - 1], sent[j - 1].sign, wordEnds[i - 1]};
            sentIndex = static_cast<int32_t>(--j);
            --i;
        }
        path.columns.push_back(column);
        path.sentOfColumn.push_back(sentIndex);
    }
    std::reverse(path.columns.begin(), path.columns.end());
    std::reverse(path.sentOfColumn.begin(), path.sentOfColumn.end());
    return path;
}

std::vector<SendingPractice::Column> SendingPractice::Alignment() const {
    return Align().columns;
}

int32_t SendingPractice::Reached() const {
    return Align().reached;
}

int32_t SendingPractice::Right() const {
    const std::vector<Column> columns = Alignment();
    return static_cast<int32_t>(
        std::count_if(columns.begin(), columns.end(), [](const Column& c) { return c.Right(); }));
}

bool SendingPractice::IsComplete() const {
    return !target.empty() && !sent.empty() && Reached() == static_cast<int32_t>(target.size());
}

std::vector<AnswerRecord> SendingPractice::Rows() const {
    const Path path = Align();
    std::vector<AnswerRecord> rows;
    int64_t lastMs = startMs;
    for (size_t c = 0; c < path.columns.size(); ++c) {
        const Column& column = path.columns[c];
        const int32_t sentIndex = path.sentOfColumn[c];
        if (sentIndex >= 0) {
            lastMs = sent[static_cast<size_t>(sentIndex)].atMs;
        }
        if (column.target < 0) {
            continue;
        }
        AnswerRecord row;
        row.atMs = lastMs;
        row.mode = "send";
        row.SetPlayedSign(column.target);
        if (column.sent != kMissing) {
            row.SetTypedSign(column.sent);
        }
        row.responseMs = -1;
        rows.push_back(row);
    }
    return rows;
}
