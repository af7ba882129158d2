#pragma once

#include "history/AnswerRecord.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The sending practice, without a window: a target text to send, the characters read back from
// the learner's key as they come, their alignment with the target, the score, and one history
// row per target character.
//
// The alignment is the one that needs the fewest changes (a character read for another, one
// missing, one too many) between what was read and the start of the target; of several, the one
// that reaches furthest into the target, with as many characters right as can be and each error
// as late as it can be (a character too many after the ones read for the target). The attempt is complete once the
// alignment reaches the target's last character. Word spaces guide neither the alignment nor the score.
//
// Used on the UI thread only.
class SendingPractice {
public:
    static constexpr int32_t kGroups = 5;      // of a drawn target
    static constexpr int32_t kGroupLength = 5; // [characters]
    static constexpr int32_t kMissing = -2;    // no character was read for the target's
    static constexpr int32_t kExtra = -2;      // a character read beyond the target's

    // One column of the alignment: a target character and what was read for it, or a character
    // read too many. Signs are MorseTable sign indices; a code that is no sign reads as
    // MorseTable::kNoIndex.
    struct Column {
        int32_t target = kExtra;
        int32_t sent = kMissing;
        bool wordEnd = false; // the target's word ends after this character
        bool Right() const { return target >= 0 && sent == target; }
    };

    // kGroups groups of kGroupLength characters of a Koch lesson (all 36 for lesson 0), drawn
    // uniformly, separated by one space.
    static std::string LessonGroups(int32_t lesson, std::mt19937& random);

    // A new attempt on target: signs by their names ("A", ".", "<AR>"), words separated by
    // spaces; anything else is left out. startMs [ms, Unix time]: when it began.
    void Start(const std::string& target, int64_t startMs);

    // One character read, which the learner began at atMs [ms, Unix time].
    void Add(int32_t signIndex, int64_t atMs);

    // The alignment so far: a column per target character reached and per character too many.
    std::vector<Column> Alignment() const;
    // The target's characters and where its words end, whether reached or not.
    const std::vector<int32_t>& Target() const { return target; }
    const std::vector<bool>& TargetWordEnds() const { return wordEnds; }
    // Target characters reached so far (the alignment's), and how many of them were right.
    int32_t Reached() const;
    int32_t Right() const;
    int32_t SentCount() const { return static_cast<int32_t>(sent.size()); }
    bool IsComplete() const;

    // One row per target character reached, in order: mode "send", played the target character,
    // typed the character read for it (0 when missing), at_ms when the learner began it (for a
    // missing one, the character read before it, else the attempt's start), no response time.
    // A prosign is written by its name ("<AR>").
    std::vector<AnswerRecord> Rows() const;

private:
    struct Read {
        int32_t sign;
        int64_t atMs;
    };
    struct Path {
        std::vector<Column> columns;
        std::vector<int32_t> sentOfColumn; // index into sent, or -1
        int32_t reached = 0;
    };
    Path Align() const;

    std::vector<int32_t> target;
    std::vector<bool> wordEnds;
    std::vector<Read> sent;
    int64_t startMs = 0;
};
