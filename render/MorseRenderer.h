#pragma once

#include "band/BandParameters.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "render/FrameSink.h"

#include <cstdint>
#include <functional>
#include <string_view>

// Renders folded text (see TextFolder) through the trainer's synthesiser into a FrameSink,
// at 44,100 frames per second (or the sampleRate of the options), with one of two timings:
//
// - Millisecond timing (wpm 0), the trainer's own: every sign (letter, digit, punctuation,
//   prosign) is played through the synthesiser's walk with the dih, dah and pause lengths, to
//   the end of the 512-frame block in which it ends, as the sound driver would play it. Signs
//   are gapMs apart; any other slot is a silence gapMs long.
// - Words-per-minute timing (wpm > 0): the text is laid out on frames by WpmSchedule and
//   played as one run of the synthesiser, as the trainer's copy practice plays it. Every
//   element starts at its own frame, rounded from the exact time. Signs are 3 units apart; a
//   run of white space puts 7 units between words instead (and 7 units of silence where it
//   begins or ends the text); any other slot is a silence as long as a character gap.
class MorseRenderer {
public:
    struct Options {
        float frequencyHz = 440.0f;
        float volume = 0.3f;
        bool noise = false;
        bool softOnset = false;
        int32_t dihMs = 100;
        int32_t dahMs = 300;
        int32_t pauseMs = 100;  // between the elements of a character
        int32_t gapMs = 300;    // between characters
        int32_t wpm = 0;        // character speed [words/min]; 0 for the millisecond timing
        int32_t overallWpm = 0; // Farnsworth overall speed, below wpm; 0 for none
        bool bandOn = false;    // lay the band conditions over the tone
        BandParameters band;
        uint64_t seed = 1; // of the band conditions

        int32_t sampleRate = kSampleRate; // [frames/s]
    };
    // Told after each slot: the share of the text done (0 to 1) and the frames written.
    using ProgressObserver = std::function<void(double done, int64_t frames)>;

    static constexpr int32_t kSampleRate = 44100; // [frames/s]
    static constexpr int32_t kBlockFrames = 512;  // [frames] per callback, as the sound driver asks

    explicit MorseRenderer(const Options& options);

    void SetProgressObserver(ProgressObserver observer);
    // Renders the whole text from the start of a new sound; false as soon as the sink refuses
    // frames.
    bool Render(std::string_view folded, FrameSink& sink);
    int64_t FramesWritten() const { return framesWritten; }
    // True for a slot of folded text that plays a character (the others are silences).
    static bool IsMorse(char slot);

private:
    void Report(size_t slot, size_t slotCount) const;

    bool RenderMillisecondTiming(std::string_view folded);
    bool RenderCharacterToBlockEnd();

    bool RenderWpmTiming(std::string_view folded);

    bool RenderFrames(int64_t frameCount);

    Options options;
    Synthesiser synth;
    MorseTable table;
    FrameSink* sink = nullptr;
    ProgressObserver observer;
    int64_t framesWritten = 0;
};
