// The adaptive decoder against synthetic human keying: each element and gap off by up to 25 %
// either way at random, and a speed that drifts 20 % above and below its mean once a minute.
#include "keying/AdaptiveDecoder.h"
#include "morse/MorseCode.h"
#include "morse/MorseTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSpace = -2; // a word space among sign indices

// A sender's own rhythm, in units: the dah, and the gaps between characters and between words.
struct Rhythm {
    double dah = 3;
    double characterGap = 3;
    double wordGap = 7;
};

// Sends signs (kSpace between words) as a human would, into the decoder, with Idle called every
// 10 ms as the window's timer does. Returns what the decoder read, as sign indices and kSpace.
class HumanSender {
public:
    HumanSender(double wpm, Rhythm rhythm, uint32_t seed, double errorShare, double driftShare)
        : unitMs(1200.0 / wpm), rhythm(rhythm), random(seed), error(-errorShare, errorShare), driftShare(driftShare),
          driftPhase(std::uniform_real_distribution<double>(0, 2 * std::numbers::pi)(random)) {}

    std::vector<int> Send(const std::vector<int>& signs, AdaptiveDecoder& decoder) {
        const MorseTable table;
        for (size_t i = 0; i < signs.size(); ++i) {
            if (signs[i] == kSpace) {
                continue;
            }
            if (i > 0) {
                Silence(signs[i - 1] == kSpace ? rhythm.wordGap : rhythm.characterGap, decoder);
            }
            MorseCode code{};
            table.CodeForSign(signs[i], code);
            for (int c = 0; c < MorseCode::kLength && code.codes[c] != End; ++c) {
                if (code.codes[c] == Gap) {
                    Silence(1, decoder);
                    continue;
                }
                decoder.KeyDown(nowMs);
                nowMs += Length(code.codes[c] == Dah ? rhythm.dah : 1);
                decoder.KeyUp(nowMs);
            }
        }
        Silence(20, decoder); // the last character, then a word space
        std::vector<int> read;
        for (const AdaptiveDecoder::Output& out : decoder.TakeOutput()) {
            read.push_back(out.wordSpace ? kSpace : out.character.signIndex);
        }
        if (!read.empty() && read.back() == kSpace) {
            read.pop_back();
        }
        return read;
    }

private:
    double Length(double units) {
        const double drift = 1.0 + driftShare * std::sin(2 * std::numbers::pi * nowMs / 60000.0 + driftPhase);
        return units * unitMs * drift * (1.0 + error(random));
    }
    void Silence(double units, AdaptiveDecoder& decoder) {
        const double endMs = nowMs + Length(units);
        for (double t = std::ceil(nowMs / 10.0) * 10.0; t < endMs; t += 10.0) {
            decoder.Idle(t);
        }
        nowMs = endMs;
    }

    double unitMs;
    Rhythm rhythm;
    std::mt19937 random;
    std::uniform_real_distribution<double> error;
    double driftShare;
    double driftPhase;
    double nowMs = 1000.0;
};

// Random words of 1 to 6 signs: the 36 characters, the punctuation and <SK> <KN> (<AR> and <BT>
// sound as "+" and "=").
std::vector<int> RandomText(uint32_t seed, int signCount) {
    std::vector<int> usable;
    for (int i = 0; i < MorseTable::kSignCount; ++i) {
        if (i != MorseTable::kFirstProsign && i != MorseTable::kFirstProsign + 2) {
            usable.push_back(i);
        }
    }
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> pick(0, usable.size() - 1);
    std::uniform_int_distribution<int> wordLength(1, 6);
    std::vector<int> text;
    while (static_cast<int>(text.size()) < signCount) {
        if (!text.empty()) {
            text.push_back(kSpace);
        }
        for (int n = wordLength(random); n > 0; --n) {
            text.push_back(usable[pick(random)]);
        }
    }
    return text;
}

size_t EditDistance(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

struct Row {
    double wpm;
    uint32_t seed;
    Rhythm rhythm;
};

// The decoder starts from the default keyer speed, 20 WPM, whatever the sender's. The last rows
// are senders with a rhythm of their own: long dahs and spread-out characters, or short dahs and
// tight gaps.
TEST(AdaptiveDecoderTest, ReadsHumanKeyingFrom5To40WpmWithDrift) {
    const Rhythm textbook;
    const Row rows[] = {{5, 11, textbook},  {8, 12, textbook},          {12, 13, textbook},       {15, 14, textbook},
                        {20, 15, textbook}, {25, 16, textbook},         {30, 17, textbook},       {35, 18, textbook},
                        {40, 19, textbook}, {12, 20, {4.0, 5.0, 11.0}}, {28, 21, {2.6, 2.7, 6.0}}};
    for (const Row& row : rows) {
        const std::vector<int> text = RandomText(row.seed, 600);
        AdaptiveDecoder decoder(1200.0 / 20);
        HumanSender sender(row.wpm, row.rhythm, row.seed * 7919u, 0.25, 0.20);
        const std::vector<int> read = sender.Send(text, decoder);
        const double right = 1.0 - static_cast<double>(EditDistance(text, read)) / static_cast<double>(text.size());
        std::printf("%4.0f WPM, dah %.1f, gaps %.1f and %.1f units: %5.1f %% of %zu characters right (spaces "
                    "included), speed read at the end %.1f WPM\n",
                    row.wpm, row.rhythm.dah, row.rhythm.characterGap, row.rhythm.wordGap, 100.0 * right, text.size(),
                    decoder.Wpm());
        EXPECT_GE(right, 0.98) << row.wpm << " WPM";
    }
}

} // namespace
