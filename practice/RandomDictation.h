#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class MorseTable;
class Synthesiser;

// One scored interval of the random dictation: the character that sounded and what the user
// answered for it.
struct ScoredAnswer {
    int32_t playedIndex;               // 0-35, the character that sounded for the interval (or
                                       // the sign index of a lesson's punctuation, 36-40)
    std::optional<int32_t> typedIndex; // 0-35, the letter or digit key pressed last in the
                                       // interval (or a punctuation key, when those answer);
                                       // none when no such key was pressed in it
    bool correct;                      // counted towards the score
    int64_t startMs = 0;               // [ms] Unix time at which the character began to play
    int64_t responseMs = -1;           // [ms] from startMs to the typedIndex key; -1 when none
};

// The random dictation: Play draws a character, loads it into the synthesiser and plays it;
// each Tick (one per dictation interval) scores the character of the past interval against
// the last key pressed and plays the next; Stop ends it. While it is active the main window
// hands it every key-down instead of playing the key.
//
// The scoring rule: a character counts one towards the total, and one towards the score when
// the answer designates it. The answer is the index of the last key pressed, 0 ('A') for a key
// that is no letter or digit; it is never cleared, so an interval without a key is scored
// against the previous answer, and the first one against whatever was answered last (0 at
// the start).
//
// The timer that paces the ticks belongs to the window. Everything runs on the UI thread.
class RandomDictation {
public:
    // Draws the next character index, 0-35, or a sign index of the punctuation (36-40).
    using Picker = std::function<int32_t()>;
    // Sees each scored interval, right after it is counted.
    using AnswerObserver = std::function<void(const ScoredAnswer&)>;
    // The time now [ms, Unix time], for the start of each character and the answer's delay.
    using Clock = std::function<int64_t()>;

    RandomDictation(const MorseTable& table, Synthesiser& synthesiser);

    // How the characters are drawn; null restores RandomPicker::PickIndex, the default.
    void SetPicker(Picker picker);
    void SetAnswerObserver(AnswerObserver observer);
    // null restores the system clock, the default.
    void SetClock(Clock clock);
    // Whether the keys of the punctuation . , ? / = answer as those signs (the Koch lessons
    // that play them); off by default, when they answer 'A' as any other key does.
    void SetSignAnswers(bool accepted);

    // Draws and plays the first character, becomes active, sets the score to 0 out of 0.
    void Play();
    // Becomes inactive; the character still sounding ends by itself. Scores nothing.
    void Stop();
    // Records a key-down (virtual-key code) as the answer; plays nothing.
    void Key(uint32_t virtualKey);
    // Scores the past interval, then draws and plays the next character. Call it only while
    // active.
    ScoredAnswer Tick();

    bool Active() const { return active; }
    int32_t CurrentIndex() const { return currentIndex; }
    int32_t AnswerIndex() const { return answerIndex; }
    int32_t Score() const { return score; }
    int32_t Total() const { return total; }

private:
    void PlayNext();

    const MorseTable& table;
    Synthesiser& synthesiser;
    Picker picker;
    AnswerObserver observer;
    Clock clock;
    bool active = false;
    bool signAnswers = false;
    int32_t currentIndex = 0; // the character sounding for the current interval
    int32_t answerIndex = 0;  // the last answer, 0 at the start
    std::optional<int32_t> typedThisInterval;
    int64_t startMs = 0;   // [ms] when the current character began to play
    int64_t typedAtMs = 0; // [ms] when typedThisInterval was typed
    int32_t score = 0;
    int32_t total = 0;
};
