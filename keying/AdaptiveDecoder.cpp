#include "keying/AdaptiveDecoder.h"

#include "morse/MorseCode.h"
#include "morse/MorseTable.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The textbook rhythm, in units, by Kind: dit, dah, gap inside a character, between characters,
// between words.
constexpr double kTextbookRatios[5] = {1.0, 3.0, 1.0, 3.0, 7.0};

constexpr double kToneRate = 0.2;         // share of a tone's own unit taken into the unit
constexpr double kGapRate = 0.1;          // share of a gap's (inside and between characters)
constexpr double kRhythmRate = 0.05;      // share of an element's length in units taken into its ratio
constexpr int32_t kRatioMeanSamples = 19; // the first ones of each kind are averaged (1 / (n + 1))
constexpr double kStepLimit = 1.5;        // an element moves the unit as one at most this far off it

// Bounds of the learned ratios [units], so that the kinds stay apart.
constexpr double kDahLowest = 2.0, kDahHighest = 5.0;
constexpr double kElementGapLowest = 0.5, kElementGapHighest = 2.0;
constexpr double kCharacterGapLowest = 2.0, kCharacterGapHighest = 6.0;
constexpr double kWordGapLowest = 4.5, kWordGapHighest = 14.0;
constexpr double kKindSpacing =
    1.6; // a character gap at least this many gaps inside, a word gap as many character gaps

// Finding the speed: the held tones and silences are read as soon as the tones show two lengths
// this far apart, or once this many are held.
constexpr double kTwoLengths = 2.0;
constexpr size_t kMostHeld = 32;
// Candidate units [ms], each kFitStep times the one before.
constexpr double kFitLowestMs = 10.0;
constexpr double kFitHighestMs = 1500.0;
constexpr double kFitStep = 1.01;
constexpr double kFitMiss = 0.4805; // cost of a length that fits no kind: log(2)^2
constexpr double kFitPull = 0.05;   // weight of the distance from the initial unit, log-squared
// The unit in use gives way to one that fits the last elements at most this share of its cost,
// and by at least this much: two elements that fit no kind at all.
constexpr double kScaleShare = 0.5;
constexpr double kScaleMargin = 2 * kFitMiss;

double Squared(double x) {
    return x * x;
}

const double kLog3 = std::log(3.0);
const double kLog7 = std::log(7.0);

// Cost of a length of logUnits (the log of its length in units) against a kind of logKind: the
// squared distance of the logs, at most kFitMiss.
double Miss(double logUnits, double logKind) {
    return std::min(Squared(logUnits - logKind), kFitMiss);
}

} // namespace

AdaptiveDecoder::AdaptiveDecoder(double initialUnitMs)
    : initialUnitMs(std::clamp(initialUnitMs, kFitLowestMs, kFitHighestMs)), unitMs(this->initialUnitMs) {
    std::copy(std::begin(kTextbookRatios), std::end(kTextbookRatios), ratios);
}

int32_t AdaptiveDecoder::SignOfCode(const std::string& code) {
    static const std::array<std::string, MorseTable::kSignCount> patterns = [] {
        std::array<std::string, MorseTable::kSignCount> all;
        const MorseTable table;
        for (int32_t i = 0; i < MorseTable::kSignCount; ++i) {
            MorseCode sign{};
            table.CodeForSign(i, sign);
            for (int32_t code : sign.codes) {
                if (code == Dih) {
                    all[static_cast<size_t>(i)] += '.';
                } else if (code == Dah) {
                    all[static_cast<size_t>(i)] += '-';
                }
            }
        }
        return all;
    }();
    if (code.empty()) {
        return MorseTable::kNoIndex;
    }
    const auto found = std::find(patterns.begin(), patterns.end(), code);
    return found == patterns.end() ? MorseTable::kNoIndex : static_cast<int32_t>(found - patterns.begin());
}

void AdaptiveDecoder::KeyDown(double ms) {
    if (keyDown) {
        return;
    }
    if (silenceMeasured) {
        OnSilence(lastUpMs, std::max(0.0, ms - lastUpMs));
    }
    keyDown = true;
    lastDownMs = ms;
}

void AdaptiveDecoder::KeyUp(double ms) {
    if (!keyDown) {
        return;
    }
    keyDown = false;
    OnTone(lastDownMs, std::max(0.0, ms - lastDownMs));
    lastUpMs = ms;
    silenceMeasured = true;
}

void AdaptiveDecoder::Idle(double ms) {
    if (keyDown || !silenceMeasured) {
        return;
    }
    const double silenceMs = ms - lastUpMs;
    // With tones of one length only, the unit is that length or a third of it: the keying has
    // ended once the silence is a word gap for the longer one.
    if (!locked && !held.empty() && silenceMs >= kTextbookRatios[4] * ShortestHeldTone()) {
        TryToLock(true);
    }
    if (!locked) {
        return;
    }
    if (!pending.code.empty() && silenceMs >= CharacterThresholdMs()) {
        CompleteCharacter();
    }
    if (silenceMs >= WordThresholdMs()) {
        AddWordSpace();
    }
}

void AdaptiveDecoder::Restart() {
    if (!locked && !held.empty()) {
        TryToLock(true);
    }
    CompleteCharacter();
    keyDown = false;
    silenceMeasured = false;
}

std::vector<AdaptiveDecoder::Output> AdaptiveDecoder::TakeOutput() {
    std::vector<Output> taken;
    taken.swap(output);
    return taken;
}

std::vector<AdaptiveDecoder::Element> AdaptiveDecoder::TakeElements() {
    std::vector<Element> taken;
    taken.swap(elements);
    return taken;
}

AdaptiveDecoder::Rhythm AdaptiveDecoder::RecentRhythm() const {
    double sums[5] = {};
    int counts[5] = {};
    for (const Element& element : recent) {
        const auto k = static_cast<size_t>(element.kind);
        // Dits and dahs in milliseconds, for their ratio; gaps in units of their moment.
        sums[k] += element.kind == Kind::Dit || element.kind == Kind::Dah ? element.lengthMs
                                                                          : element.lengthMs / element.unitMs;
        ++counts[k];
    }
    const auto mean = [&](Kind kind) {
        const auto k = static_cast<size_t>(kind);
        return counts[k] == 0 ? 0.0 : sums[k] / counts[k];
    };
    Rhythm rhythm;
    if (mean(Kind::Dit) > 0 && mean(Kind::Dah) > 0) {
        rhythm.dahPerDit = mean(Kind::Dah) / mean(Kind::Dit);
    }
    rhythm.elementGapUnits = mean(Kind::ElementGap);
    rhythm.characterGapUnits = mean(Kind::CharacterGap);
    rhythm.wordGapUnits = mean(Kind::WordGap);
    return rhythm;
}

void AdaptiveDecoder::OnTone(double startMs, double lengthMs) {
    if (!locked) {
        held.push_back({true, startMs, lengthMs});
        TryToLock(false);
        return;
    }
    Remember(true, startMs, lengthMs);
    const Kind kind = lengthMs > ToneThresholdMs() ? Kind::Dah : Kind::Dit;
    Read(kind, startMs, lengthMs);
    Learn(kind, lengthMs);
    if (pending.code.empty()) {
        pending.startMs = startMs;
    }
    pending.code += kind == Kind::Dah ? '-' : '.';
    pending.endMs = startMs + lengthMs;
}

void AdaptiveDecoder::OnSilence(double startMs, double lengthMs) {
    if (!locked) {
        held.push_back({false, startMs, lengthMs});
        return;
    }
    Kind kind = Kind::ElementGap;
    if (lengthMs < 3.0 * WordThresholdMs()) {
        Remember(false, startMs, lengthMs);
    }
    if (lengthMs >= WordThresholdMs()) {
        kind = Kind::WordGap;
    } else if (lengthMs >= CharacterThresholdMs()) {
        kind = Kind::CharacterGap;
    }
    // A pause far beyond a word gap is no part of the rhythm.
    if (kind != Kind::WordGap || lengthMs <= 2.0 * RatioOf(Kind::WordGap) * unitMs) {
        Read(kind, startMs, lengthMs);
        Learn(kind, lengthMs);
    }
    if (kind != Kind::ElementGap) {
        CompleteCharacter();
    }
    if (kind == Kind::WordGap) {
        AddWordSpace();
    }
}

double AdaptiveDecoder::ShortestHeldTone() const {
    double shortest = 0;
    for (const Held& h : held) {
        if (h.tone && (shortest == 0 || h.lengthMs < shortest)) {
            shortest = h.lengthMs;
        }
    }
    return shortest;
}

// Takes the unit that fits what is held once the tones show both lengths (or when forced), and
// reads what is held with it.
void AdaptiveDecoder::TryToLock(bool forced) {
    double shortest = 0;
    double longest = 0;
    int tones = 0;
    for (const Held& h : held) {
        if (h.tone) {
            shortest = tones == 0 ? h.lengthMs : std::min(shortest, h.lengthMs);
            longest = std::max(longest, h.lengthMs);
            ++tones;
        }
    }
    const bool twoLengths = tones >= 2 && longest >= kTwoLengths * shortest;
    if (!forced && !twoLengths && held.size() < kMostHeld) {
        return;
    }
    unitMs = FitUnit(held, initialUnitMs);
    locked = true;
    const std::deque<Held> toRead = std::move(held);
    held.clear();
    for (const Held& h : toRead) {
        if (h.tone) {
            OnTone(h.startMs, h.lengthMs);
        } else {
            OnSilence(h.startMs, h.lengthMs);
        }
    }
}

// How badly unitMs fits lengths: the miss of each against the nearest kind (a silence of 7 units
// or more fits a word gap), and the distance from aroundMs.
double AdaptiveDecoder::FitCost(const std::deque<Held>& lengths, double unitMs, double aroundMs) {
    const double logUnit = std::log(unitMs);
    double cost = kFitPull * Squared(logUnit - std::log(aroundMs));
    for (const Held& h : lengths) {
        cost += MissInUnits(h, std::log(h.lengthMs) - logUnit);
    }
    return cost;
}

// The same for every candidate unit, each kFitStep times the one before: the one that costs least.
double AdaptiveDecoder::FitUnit(const std::deque<Held>& lengths, double aroundMs) {
    std::vector<double> logLengths;
    for (const Held& h : lengths) {
        logLengths.push_back(std::log(h.lengthMs));
    }
    const double logAround = std::log(aroundMs);
    const double logStep = std::log(kFitStep);
    double best = aroundMs;
    double bestCost = 0;
    bool first = true;
    for (double logUnit = std::log(kFitLowestMs); logUnit <= std::log(kFitHighestMs); logUnit += logStep) {
        double cost = kFitPull * Squared(logUnit - logAround);
        for (size_t i = 0; i < lengths.size() && (first || cost < bestCost); ++i) {
            cost += MissInUnits(lengths[i], logLengths[i] - logUnit);
        }
        if (first || cost < bestCost) {
            best = std::exp(logUnit);
            bestCost = cost;
            first = false;
        }
    }
    return best;
}

// The cost of a tone or silence of logUnits against the nearest kind: a dit or dah for a tone;
// a gap of 1 or 3 units, or 7 units or more, for a silence.
double AdaptiveDecoder::MissInUnits(const Held& h, double logUnits) {
    if (h.lengthMs <= 0) {
        return 0;
    }
    double miss = std::min(Miss(logUnits, 0.0), Miss(logUnits, kLog3));
    if (!h.tone) {
        miss = std::min(miss, logUnits >= kLog7 ? 0.0 : Miss(logUnits, kLog7));
    }
    return miss;
}

void AdaptiveDecoder::Remember(bool tone, double startMs, double lengthMs) {
    lately.push_back({tone, startMs, lengthMs});
    if (lately.size() > static_cast<size_t>(kScaleWindow)) {
        lately.pop_front();
    }
}

// A unit far off (a third, or three times, what the sender keys) reads every element as one kind
// and keeps itself so: only a fit of the last elements as a whole can bring it back.
void AdaptiveDecoder::CheckScale() {
    if (lately.size() < static_cast<size_t>(kScaleWindow) / 4) {
        return;
    }
    const double fitted = FitUnit(lately, unitMs);
    const double inUse = FitCost(lately, unitMs, unitMs);
    const double better = FitCost(lately, fitted, unitMs);
    if (better < kScaleShare * inUse && inUse - better > kScaleMargin) {
        unitMs = fitted;
        std::copy(std::begin(kTextbookRatios), std::end(kTextbookRatios), ratios);
    }
}

void AdaptiveDecoder::Read(Kind kind, double startMs, double lengthMs) {
    const Element element{kind, startMs, lengthMs, unitMs};
    elements.push_back(element);
    recent.push_back(element);
    if (recent.size() > static_cast<size_t>(kRhythmWindow)) {
        recent.pop_front();
    }
}

void AdaptiveDecoder::Learn(Kind kind, double lengthMs) {
    const auto step = [this](double sample, double rate) {
        sample = std::clamp(sample, unitMs / kStepLimit, unitMs * kStepLimit);
        unitMs += rate * (sample - unitMs);
    };
    // Each ratio starts as the mean of its first elements and then follows the latest ones.
    const auto learnRatio = [this, lengthMs](Kind k, double lowest, double highest) {
        int32_t& count = ratioSamples[static_cast<size_t>(k)];
        count = std::min(count + 1, kRatioMeanSamples);
        const double rate = std::max(kRhythmRate, 1.0 / (count + 1));
        double& ratio = Ratio(k);
        ratio = std::clamp(ratio + rate * (lengthMs / unitMs - ratio), lowest, highest);
    };
    switch (kind) {
    case Kind::Dit:
        step(lengthMs, kToneRate);
        break;
    case Kind::Dah:
        step(lengthMs / RatioOf(Kind::Dah), kToneRate);
        learnRatio(Kind::Dah, kDahLowest, kDahHighest);
        break;
    case Kind::ElementGap:
        step(lengthMs / RatioOf(Kind::ElementGap), kGapRate);
        learnRatio(Kind::ElementGap, kElementGapLowest, kElementGapHighest);
        break;
    case Kind::CharacterGap:
        step(lengthMs / RatioOf(Kind::CharacterGap), kGapRate);
        learnRatio(Kind::CharacterGap, kCharacterGapLowest, kCharacterGapHighest);
        break;
    case Kind::WordGap:
        learnRatio(Kind::WordGap, kWordGapLowest, kWordGapHighest);
        break;
    }
    Ratio(Kind::CharacterGap) = std::max(RatioOf(Kind::CharacterGap), kKindSpacing * RatioOf(Kind::ElementGap));
    Ratio(Kind::WordGap) = std::max(RatioOf(Kind::WordGap), kKindSpacing * RatioOf(Kind::CharacterGap));
}

void AdaptiveDecoder::CompleteCharacter() {
    if (pending.code.empty()) {
        return;
    }
    pending.signIndex = SignOfCode(pending.code);
    Output out;
    out.character = pending;
    output.push_back(out);
    pending = Character{};
    wordSpaceDue = true;
    CheckScale();
}

void AdaptiveDecoder::AddWordSpace() {
    if (!wordSpaceDue) {
        return;
    }
    Output out;
    out.wordSpace = true;
    output.push_back(out);
    wordSpaceDue = false;
}

double AdaptiveDecoder::ToneThresholdMs() const {
    return unitMs * std::sqrt(RatioOf(Kind::Dit) * RatioOf(Kind::Dah));
}

double AdaptiveDecoder::CharacterThresholdMs() const {
    return unitMs * std::sqrt(RatioOf(Kind::ElementGap) * RatioOf(Kind::CharacterGap));
}

double AdaptiveDecoder::WordThresholdMs() const {
    return unitMs * std::sqrt(RatioOf(Kind::CharacterGap) * RatioOf(Kind::WordGap));
}
