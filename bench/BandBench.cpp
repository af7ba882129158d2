// Cost of the band conditions on one 512-frame block, with all four effects on: the stage alone,
// and the synthesiser's whole callback with the stage. Besides the time per iteration, each
// benchmark reports ns_per_block and x_realtime (a block lasts 512 / 44100 s = 11.61 ms).

#include "band/BandConditions.h"
#include "bench/AllFourEffects.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int32_t kBlockFrames = 512;
constexpr double kBlockSeconds = kBlockFrames / 44100.0; // [s]

void Report(benchmark::State& state, std::chrono::steady_clock::time_point start) {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double secondsPerBlock = elapsed.count() / static_cast<double>(state.iterations());
    state.counters["ns_per_block"] = secondsPerBlock * 1e9;
    state.counters["x_realtime"] = kBlockSeconds / secondsPerBlock;
}

void BM_BandStage(benchmark::State& state) {
    BandConditions band;
    band.Configure(AllFourEffects(), 1);
    band.SetEnabled(true);
    std::vector<float> tone(kBlockFrames);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int32_t i = 0; i < kBlockFrames; ++i) {
            tone[i] = static_cast<float>(std::sin(0.0997 * i));
        }
        band.Process(tone.data(), kBlockFrames, 700.0f);
        benchmark::DoNotOptimize(tone.data());
        benchmark::ClobberMemory();
    }
    Report(state, start);
}

void BM_ToneCallbackToneBand(benchmark::State& state) {
    Synthesiser synth;
    synth.Initialise();
    synth.SetElementLengths(100, 1000, 1000);
    synth.SetFrequency(700.0f);
    MorseTable().CodeForChar('0', synth.currentCode);
    synth.Band().Configure(AllFourEffects(), 1);
    synth.Band().SetEnabled(true);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!synth.IsPlaying()) {
            synth.PlayCode();
        }
        int32_t count = kBlockFrames;
        benchmark::DoNotOptimize(ToneCallback(&synth, &count));
        benchmark::ClobberMemory();
    }
    Report(state, start);
}

} // namespace

BENCHMARK(BM_BandStage);
BENCHMARK(BM_ToneCallbackToneBand);

BENCHMARK_MAIN();
