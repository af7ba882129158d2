#include "render/WpmSchedule.h"

#include "morse/MorseTable.h"
#include "render/TextFolder.h"
#include "render/WpmTiming.h"

namespace {

constexpr int64_t kDihUnits = 1;
constexpr int64_t kDahUnits = 3;
constexpr int64_t kPauseUnits = 1;        // between the elements of a sign
constexpr int64_t kCharacterGapUnits = 3; // between signs, and a slot that is no sign
constexpr int64_t kWordGapUnits = 7;      // a run of white space

int64_t UnitsOf(int32_t element) {
    return element == Gap ? kPauseUnits : element == Dih ? kDihUnits : kDahUnits;
}

} // namespace

WpmSchedule::WpmSchedule(std::string_view folded, int32_t wpm, int32_t overallWpm, int32_t sampleRate) {
    const WpmTiming timing(wpm, overallWpm > 0 ? overallWpm : wpm, sampleRate);
    const MorseTable table;
    int64_t characterUnits = 0; // the position reached, in character and gap units
    int64_t gapUnits = 0;
    int64_t pendingGapUnits = 0; // the gap before the next sign
    int64_t frame = 0;
    slotEnds.reserve(folded.size());
    for (size_t slot = 0; slot < folded.size(); ++slot) {
        if (folded[slot] == TextFolder::kSpace) {
            pendingGapUnits = kWordGapUnits;
            slotEnds.push_back(frame);
            continue;
        }
        gapUnits += pendingGapUnits;
        pendingGapUnits = kCharacterGapUnits;
        frame = timing.FrameAt(characterUnits, gapUnits);
        MorseCode code;
        const int32_t sign = TextFolder::SignOfSlot(folded[slot]);
        if (!table.CodeForSign(sign, code)) {
            gapUnits += kCharacterGapUnits;
            frame = timing.FrameAt(characterUnits, gapUnits);
            slotEnds.push_back(frame);
            continue;
        }
        signs.push_back({sign, frame, slot});
        for (const int32_t element : code.codes) {
            if (element == End) {
                break;
            }
            const int64_t start = frame;
            characterUnits += UnitsOf(element);
            frame = timing.FrameAt(characterUnits, gapUnits);
            if (element != Gap) {
                tones.push_back({start, frame - start});
            }
        }
        slotEnds.push_back(frame);
    }
    endFrame = frame;
    if (!folded.empty() && folded.back() == TextFolder::kSpace) {
        endFrame = timing.FrameAt(characterUnits, gapUnits + kWordGapUnits);
    }
}
