#include "render/MorseRenderer.h"

#include "render/TextFolder.h"
#include "render/WpmTiming.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int64_t kDihUnits = 1;
constexpr int64_t kDahUnits = 3;
constexpr int64_t kPauseUnits = 1;        // between the elements of a character
constexpr int64_t kCharacterGapUnits = 3; // between characters, and an unknown character
constexpr int64_t kWordGapUnits = 7;      // a run of white space

// One dih alone, which the words-per-minute timing plays for each tone element.
MorseCode SingleTone() {
    MorseCode code;
    std::fill(std::begin(code.codes), std::end(code.codes), static_cast<int32_t>(End));
    code.codes[0] = Dih;
    return code;
}

} // namespace

MorseRenderer::MorseRenderer(const Options& options) : options(options) {
    synth.Initialise();
    synth.SetElementLengths(options.pauseMs, options.dihMs, options.dahMs);
    synth.SetFrequency(options.frequencyHz);
    synth.SetVolume(options.volume);
    synth.SetNoise(options.noise);
    synth.SetSoftOnset(options.softOnset);
    synth.SetSampleRate(options.sampleRate);
    if (options.bandOn) {
        synth.Band().Configure(options.band, options.seed, options.sampleRate);
        synth.Band().SetEnabled(true);
    }
}

void MorseRenderer::SetProgressObserver(ProgressObserver progressObserver) {
    observer = std::move(progressObserver);
}

bool MorseRenderer::Render(std::string_view folded, FrameSink& frameSink) {
    sink = &frameSink;
    framesWritten = 0;
    characterUnits = 0;
    gapUnits = 0;
    return options.wpm > 0 ? RenderWpmTiming(folded) : RenderMillisecondTiming(folded);
}

bool MorseRenderer::IsMorse(char slot) {
    return (slot >= 'A' && slot <= 'Z') || (slot >= '0' && slot <= '9');
}

void MorseRenderer::Report(size_t slot, size_t slotCount) const {
    if (observer) {
        observer(static_cast<double>(slot) / static_cast<double>(slotCount), framesWritten);
    }
}

// ---- Millisecond timing ----

bool MorseRenderer::RenderMillisecondTiming(std::string_view folded) {
    const int64_t gapFrames = static_cast<int64_t>(options.gapMs) * options.sampleRate / 1000;
    for (size_t i = 0; i < folded.size(); ++i) {
        if (i > 0 && !RenderFrames(gapFrames)) {
            return false;
        }
        const bool known = IsMorse(folded[i]);
        if (known) {
            table.CodeForChar(folded[i], synth.currentCode);
        }
        if (!(known ? RenderCharacterToBlockEnd() : RenderFrames(gapFrames))) {
            return false;
        }
        Report(i + 1, folded.size());
    }
    return true;
}

// Plays the character in currentCode to its end, in whole blocks.
bool MorseRenderer::RenderCharacterToBlockEnd() {
    synth.PlayCode();
    do {
        if (!RenderFrames(kBlockFrames)) {
            return false;
        }
    } while (synth.IsPlaying());
    return true;
}

// ---- Words-per-minute timing ----

bool MorseRenderer::RenderWpmTiming(std::string_view folded) {
    const WpmTiming timing(options.wpm, options.overallWpm > 0 ? options.overallWpm : options.wpm, options.sampleRate);
    int64_t pendingGapUnits = 0; // the gap before the next character
    for (size_t i = 0; i < folded.size(); ++i) {
        if (folded[i] == TextFolder::kSpace) {
            pendingGapUnits = kWordGapUnits;
        } else {
            gapUnits += pendingGapUnits;
            if (!RenderFrames(timing.FrameAt(characterUnits, gapUnits) - framesWritten) ||
                !RenderWpmCharacter(folded[i], timing)) {
                return false;
            }
            pendingGapUnits = kCharacterGapUnits;
        }
        Report(i + 1, folded.size());
    }
    // White space at the end is a word gap; the gap after the last character is not played.
    if (!folded.empty() && folded.back() == TextFolder::kSpace) {
        gapUnits += kWordGapUnits;
        return RenderFrames(timing.FrameAt(characterUnits, gapUnits) - framesWritten);
    }
    return true;
}

// Plays one slot from the current position; on return the position is at its end.
bool MorseRenderer::RenderWpmCharacter(char slot, const WpmTiming& timing) {
    if (!IsMorse(slot)) {
        gapUnits += kCharacterGapUnits;
        return RenderFrames(timing.FrameAt(characterUnits, gapUnits) - framesWritten);
    }
    MorseCode code;
    table.CodeForChar(slot, code);
    for (int32_t element : code.codes) {
        if (element == End) {
            break;
        }
        const int64_t start = framesWritten;
        characterUnits += element == Gap ? kPauseUnits : element == Dih ? kDihUnits : kDahUnits;
        const int64_t end = timing.FrameAt(characterUnits, gapUnits);
        if (!(element == Gap ? RenderFrames(end - start) : PlayTone(end - start))) {
            return false;
        }
    }
    return true;
}

// A tone of exactly frameCount frames, faded at its end like every tone: the element lasts
// half a frame less than frameCount frames, so that the walk yields frameCount tone samples
// and the fade ends between the last of them and the next.
bool MorseRenderer::PlayTone(int64_t frameCount) {
    const auto seconds = static_cast<float>((static_cast<double>(frameCount) - 0.5) / options.sampleRate);
    synth.SetElementSeconds(seconds, seconds, seconds);
    synth.currentCode = SingleTone();
    synth.PlayCode();
    return RenderFrames(frameCount);
}

// ---- Both ----

bool MorseRenderer::RenderFrames(int64_t frameCount) {
    while (frameCount > 0) {
        int32_t count = static_cast<int32_t>(std::min<int64_t>(frameCount, kBlockFrames));
        const StereoFrame* frames = ToneCallback(&synth, &count);
        if (!sink->Write(frames, count)) {
            return false;
        }
        framesWritten += count;
        frameCount -= count;
    }
    return true;
}
