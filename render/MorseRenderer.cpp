#include "render/MorseRenderer.h"

#include "render/TextFolder.h"
#include "render/WpmSchedule.h"

#include <algorithm>
#include <utility>

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
    return options.wpm > 0 ? RenderWpmTiming(folded) : RenderMillisecondTiming(folded);
}

void MorseRenderer::Report(size_t slot, size_t slotCount) const {
    if (observer) {
        observer(static_cast<double>(slot) / static_cast<double>(slotCount), framesWritten);
    }
}

bool MorseRenderer::IsMorse(char slot) {
    return TextFolder::SignOfSlot(slot) != MorseTable::kNoIndex;
}

// ---- Millisecond timing ----

bool MorseRenderer::RenderMillisecondTiming(std::string_view folded) {
    const int64_t gapFrames = static_cast<int64_t>(options.gapMs) * options.sampleRate / 1000;
    for (size_t i = 0; i < folded.size(); ++i) {
        if (i > 0 && !RenderFrames(gapFrames)) {
            return false;
        }
        const bool known = table.CodeForSign(TextFolder::SignOfSlot(folded[i]), synth.currentCode);
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
    const WpmSchedule schedule(folded, options.wpm, options.overallWpm, options.sampleRate);
    synth.PlayRun(schedule.Tones());
    const std::vector<int64_t>& slotEnds = schedule.SlotEndFrames();
    for (size_t i = 0; i < slotEnds.size(); ++i) {
        if (!RenderFrames(slotEnds[i] - framesWritten)) {
            return false;
        }
        Report(i + 1, folded.size());
    }
    // White space at the end is a word gap; the gap after the last sign is not played.
    return RenderFrames(schedule.EndFrame() - framesWritten);
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
