#include "band/QrmScript.h"

#include "band/BandRandom.h"
#include "band/QrmTexts.h"
#include "morse/MorseTable.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr int64_t kDahUnits = 3;
constexpr int64_t kCharacterGapUnits = 3;
constexpr int64_t kWordGapUnits = 7;
// The streams of one seed: 0 is the band stage's own; each station takes two after it.
constexpr uint64_t kFirstStationStream = 1;

// The frame at which a position of `units` begins: units x 1.2 / wpm s, to the nearest frame.
int64_t FrameAt(int64_t units, int32_t wpm, int32_t sampleRate) {
    return (24 * units * sampleRate + 10 * wpm) / (20 * static_cast<int64_t>(wpm));
}

} // namespace

void QrmScript::AppendRun(bool down, int32_t frames, std::vector<int32_t>& runs) {
    if (runs.empty()) {
        if (down) {
            runs.push_back(0);
        }
        runs.push_back(frames);
        return;
    }
    const bool lastDown = runs.size() % 2 == 0;
    if (lastDown == down) {
        runs.back() += frames;
    } else {
        runs.push_back(frames);
    }
}

void QrmScript::AppendKeying(std::string_view text, int32_t wpm, int32_t sampleRate, std::vector<int32_t>& runs) {
    const MorseTable table;
    int64_t units = 0;
    int64_t pendingGap = 0; // units of key up before the next element
    auto append = [&](bool down, int64_t length) {
        const int64_t start = FrameAt(units, wpm, sampleRate);
        units += length;
        AppendRun(down, static_cast<int32_t>(FrameAt(units, wpm, sampleRate) - start), runs);
    };
    for (const char character : text) {
        if (character == ' ') {
            pendingGap = units > 0 ? kWordGapUnits : 0;
            continue;
        }
        MorseCode code;
        if (!table.CodeForSign(table.IndexOfSign(std::string_view(&character, 1)), code)) {
            continue;
        }
        if (pendingGap > 0) {
            append(false, pendingGap);
        }
        for (const int32_t element : code.codes) {
            if (element == End) {
                break;
            }
            append(element != Gap, element == Dah ? kDahUnits : 1);
        }
        pendingGap = kCharacterGapUnits;
    }
}

QrmScript QrmScript::Build(uint64_t seed, int32_t station, int32_t sampleRate) {
    const uint64_t stream = kFirstStationStream + 2 * static_cast<uint64_t>(station);
    BandRandom random(seed, stream);
    QrmScript script;
    const double distance = random.Between(kNearestHz, kFarthestHz);
    script.offsetHz = random.Uniform() < 0.5 ? -distance : distance;
    script.level = random.Between(kLowestLevel, kHighestLevel);
    script.wpm = random.Whole(kSlowestWpm, kFastestWpm);
    QrmTexts texts(seed, stream + 1);
    for (int32_t i = 0; i < kMessages; ++i) {
        const auto pause =
            static_cast<int32_t>(std::lround(random.Between(kShortestPauseS, kLongestPauseS) * sampleRate));
        AppendRun(false, pause, script.runs);
        AppendKeying(texts.Next(), script.wpm, sampleRate, script.runs);
    }
    return script;
}
