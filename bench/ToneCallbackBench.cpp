// Cost of one 512-frame block of the synthesiser and of its PCM conversion. Besides the
// time per iteration, each benchmark reports ns_per_block and x_realtime: how many times
// faster than real time one block is produced (a block lasts 512 / 44100 s = 11.61 ms).

#include "audio/PcmConversion.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

constexpr int32_t kBlockFrames = 512;                    // [frames], as the driver asks
constexpr double kBlockSeconds = kBlockFrames / 44100.0; // [s] of sound in one block

// Times the whole loop with a wall clock of its own, so that the two figures are plain
// numbers (Google Benchmark's rate counters would print them with a "/s" or "s" unit).
class BlockClock {
public:
    BlockClock() : start(std::chrono::steady_clock::now()) {}

    void Report(benchmark::State& state) const {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const double secondsPerBlock = elapsed.count() / static_cast<double>(state.iterations());
        state.counters["ns_per_block"] = secondsPerBlock * 1e9;
        state.counters["x_realtime"] = kBlockSeconds / secondsPerBlock;
    }

private:
    std::chrono::steady_clock::time_point start;
};

// A synthesiser at the trainer's defaults with long elements, so that the tone goes on.
void SetUp(Synthesiser& synth, bool noise) {
    synth.Initialise();
    synth.SetElementLengths(100, 1000, 1000);
    synth.SetFrequency(440.0f);
    synth.SetNoise(noise);
    MorseTable().CodeForChar('0', synth.currentCode);
}

void RenderBlocks(benchmark::State& state, bool playing, bool noise) {
    Synthesiser synth;
    SetUp(synth, noise);
    const BlockClock clock;
    for (auto _ : state) {
        if (playing && !synth.IsPlaying()) {
            synth.PlayCode();
        }
        int32_t count = kBlockFrames;
        benchmark::DoNotOptimize(ToneCallback(&synth, &count));
        benchmark::ClobberMemory();
    }
    clock.Report(state);
}

void BM_ToneCallbackIdle(benchmark::State& state) {
    RenderBlocks(state, false, false);
}
void BM_ToneCallbackTone(benchmark::State& state) {
    RenderBlocks(state, true, false);
}
void BM_ToneCallbackToneNoise(benchmark::State& state) {
    RenderBlocks(state, true, true);
}

void BM_ConvertToPcm16(benchmark::State& state) {
    Synthesiser synth;
    SetUp(synth, true);
    synth.PlayCode();
    int32_t count = kBlockFrames;
    const StereoFrame* frames = ToneCallback(&synth, &count);
    std::vector<uint32_t> words(kBlockFrames);
    const BlockClock clock;
    for (auto _ : state) {
        ConvertToPcm16(frames, words.data(), kBlockFrames);
        benchmark::DoNotOptimize(words.data());
        benchmark::ClobberMemory();
    }
    clock.Report(state);
}

} // namespace

BENCHMARK(BM_ToneCallbackIdle);
BENCHMARK(BM_ToneCallbackTone);
BENCHMARK(BM_ToneCallbackToneNoise);
BENCHMARK(BM_ConvertToPcm16);

BENCHMARK_MAIN();
