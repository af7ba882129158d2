#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Reads Morse from the times at which a key goes down and up, following the sender's speed as
// it drifts and the sender's own rhythm.
//
// The speed is one unit [ms] (a dit at the sender's speed); the rhythm is the length of each kind
// of element and silence in units: the dah (3 in theory), the gap inside a character (1), between
// characters (3) and between words (7), each learned from what the sender keys. A tone is a dah
// when it is longer than the geometric mean of a dit and a dah; a silence is a character gap past
// the mean of the gap inside a character and the character gap, and a word gap past the mean of
// the character and word gaps. Each element read moves the unit toward its own length divided by
// its kind's ratio, and the ratio itself slowly toward the element's length in units.
//
// Before the first character the speed is unknown: the tones and silences are held until the
// tones come in two lengths (a dit and a dah) or a long silence ends the keying; the unit that
// fits them best (ratios 1 and 3 for the tones, 1, 3 and 7 or more for the silences, closest to
// the initial unit when several fit) is then taken, and what was held is read with it. After
// each character the unit that fits the last tones and silences best is found the same way: when
// it fits them far better than the unit in use (a speed taken a third or three times off, from
// a start with dits only), it replaces it.
//
// A character is complete once a silence has lasted a character gap; Idle reports it as the
// silence passes that length, KeyDown at the latest. Characters are those of MorseTable's signs
// (the 36 characters, the punctuation and the prosigns; a code shared by two signs reads as the
// first, "+" for <AR> and "=" for <BT>); any other code reads as no sign.
//
// Times are milliseconds on any clock that does not go back. One thread uses it.
class AdaptiveDecoder {
public:
    enum class Kind : uint8_t { Dit, Dah, ElementGap, CharacterGap, WordGap };

    // One tone or silence as it was read.
    struct Element {
        Kind kind = Kind::Dit;
        double startMs = 0;
        double lengthMs = 0;
        double unitMs = 0; // the sender's unit when it was read
    };

    // One character and its timing.
    struct Character {
        int32_t signIndex = -1; // MorseTable sign index, or MorseTable::kNoIndex
        std::string code;       // '.' for each dit, '-' for each dah
        double startMs = 0;     // first key-down
        double endMs = 0;       // last key-up
    };

    // What the decoder reads, in order: characters, and a word space between words.
    struct Output {
        bool wordSpace = false; // a word space; else character
        Character character;
    };

    // The sender's rhythm over the last elements read: each length divided by the unit of its
    // moment; 0 where none was read.
    struct Rhythm {
        double dahPerDit = 0;       // mean dah length / mean dit length (3 in theory)
        double elementGapUnits = 0; // 1 in theory
        double characterGapUnits = 0;
        double wordGapUnits = 0;
    };

    static constexpr int32_t kRhythmWindow = 64; // [elements] of Rhythm()
    static constexpr int32_t kScaleWindow = 32;  // [elements] that the unit in use is checked on

    // initialUnitMs: the unit to expect at first (1200 / WPM), used only to choose between units
    // that fit what is keyed equally well.
    explicit AdaptiveDecoder(double initialUnitMs);

    void KeyDown(double ms);
    void KeyUp(double ms);
    // Completes what the silence up to ms completes: a character, then a word space.
    void Idle(double ms);
    // Ends the keying so far: a pending character is completed, and the next key-down begins
    // afresh (its silence before is not measured). The speed and rhythm are kept.
    void Restart();

    // What was read since the last call.
    std::vector<Output> TakeOutput();
    std::vector<Element> TakeElements();

    bool IsKeyDown() const { return keyDown; }
    bool HasSpeed() const { return locked; }
    double UnitMs() const { return unitMs; }
    double Wpm() const { return 1200.0 / unitMs; }
    Rhythm RecentRhythm() const;

    // The sign index of a code of '.' and '-', or MorseTable::kNoIndex.
    static int32_t SignOfCode(const std::string& code);

private:
    struct Held {
        bool tone;
        double startMs;
        double lengthMs;
    };

    void OnTone(double startMs, double lengthMs);
    void OnSilence(double startMs, double lengthMs);
    void TryToLock(bool forced);
    double ShortestHeldTone() const;
    static double MissInUnits(const Held& h, double logUnits);
    static double FitCost(const std::deque<Held>& lengths, double unitMs, double aroundMs);
    static double FitUnit(const std::deque<Held>& lengths, double aroundMs);
    void Remember(bool tone, double startMs, double lengthMs);
    void CheckScale();
    void Read(Kind kind, double startMs, double lengthMs);
    void Learn(Kind kind, double lengthMs);
    void CompleteCharacter();
    void AddWordSpace();
    double ToneThresholdMs() const;
    double CharacterThresholdMs() const;
    double WordThresholdMs() const;
    double& Ratio(Kind kind) { return ratios[static_cast<size_t>(kind)]; }
    double RatioOf(Kind kind) const { return ratios[static_cast<size_t>(kind)]; }

    double initialUnitMs;
    double unitMs;
    double ratios[5];             // of each Kind, in units; the dit's stays 1
    int32_t ratioSamples[5] = {}; // elements of each Kind learned from, up to a few
    bool locked = false;
    std::deque<Held> held;   // before the speed is known
    std::deque<Held> lately; // the last kScaleWindow tones and silences read

    bool keyDown = false;
    bool silenceMeasured = false; // lastUpMs starts a silence worth measuring
    double lastDownMs = 0;
    double lastUpMs = 0;
    Character pending;         // the character being keyed, when it has elements
    bool wordSpaceDue = false; // a character was completed since the last word space
    std::vector<Output> output;
    std::vector<Element> elements;
    std::deque<Element> recent; // the last kRhythmWindow elements
};
