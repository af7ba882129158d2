// Speed of zelbin-render's work: "PARIS " 200 times at 20 words per minute (600 s of sound)
// rendered and written to a file of each type at the tool's defaults for it (one channel at
// 8000 Hz for the compressed types), and rendered alone into memory at 44,100 and 8000 Hz. Each benchmark
// reports how many times faster than real time the sound is produced: x_realtime on the wall
// clock, x_realtime_cpu on the process's processor time (one core: the work is one thread),
// which a machine busy with other work disturbs less.

#include "render/MorseRenderer.h"
#include "render/TextFolder.h"
#include "zelbin-render/SoundFileWriter.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

constexpr double kSoundSeconds = 600.0; // [s] of "PARIS " x 200 at 20 words per minute

std::string ParisText() {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "PARIS ";
    }
    return TextFolder::Fold(text);
}

MorseRenderer::Options At20Wpm(int32_t sampleRate) {
    MorseRenderer::Options options;
    options.wpm = 20;
    options.sampleRate = sampleRate;
    return options;
}

class DiscardSink : public FrameSink {
public:
    bool Write(const StereoFrame* frames, int32_t count) override {
        benchmark::DoNotOptimize(frames);
        benchmark::DoNotOptimize(count);
        return true;
    }
};

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall clock and processor time from the start of a benchmark.
class Clocks {
public:
    Clocks() : wall(std::chrono::steady_clock::now()), cpu(CpuSeconds()) {}

    void Report(benchmark::State& state) const {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - wall;
        const double sound = kSoundSeconds * static_cast<double>(state.iterations());
        state.counters["x_realtime"] = sound / elapsed.count();
        state.counters["x_realtime_cpu"] = sound / (CpuSeconds() - cpu);
    }

private:
    std::chrono::steady_clock::time_point wall;
    double cpu;
};

void BM_RenderToMemory(benchmark::State& state) {
    const std::string text = ParisText();
    const Clocks clocks;
    for (auto _ : state) {
        MorseRenderer renderer(At20Wpm(static_cast<int32_t>(state.range(0))));
        DiscardSink sink;
        renderer.Render(text, sink);
    }
    clocks.Report(state);
}

void RenderToFile(benchmark::State& state, SoundFileWriter::Type type, const char* extension) {
    const std::string text = ParisText();
    const std::string path = std::string(P_tmpdir) + "/zelbin-render-bench-" + std::to_string(getpid()) + extension;
    const SoundFileWriter::Options options = SoundFileWriter::DefaultOptions(type);
    const Clocks clocks;
    for (auto _ : state) {
        MorseRenderer renderer(At20Wpm(options.sampleRate));
        SoundFileWriter writer;
        std::string error;
        if (!writer.Open(path, type, options, error) || !renderer.Render(text, writer) || !writer.Close(error)) {
            state.SkipWithError(("cannot write " + path + ": " + error).c_str());
            break;
        }
    }
    clocks.Report(state);
    std::remove(path.c_str());
}

void BM_RenderToWav(benchmark::State& state) {
    RenderToFile(state, SoundFileWriter::Type::Wav, ".wav");
}
void BM_RenderToFlac(benchmark::State& state) {
    RenderToFile(state, SoundFileWriter::Type::Flac, ".flac");
}
void BM_RenderToOgg(benchmark::State& state) {
    RenderToFile(state, SoundFileWriter::Type::Ogg, ".ogg");
}
void BM_RenderToOpus(benchmark::State& state) {
    RenderToFile(state, SoundFileWriter::Type::Opus, ".opus");
}
void BM_RenderToMp3(benchmark::State& state) {
    RenderToFile(state, SoundFileWriter::Type::Mp3, ".mp3");
}

} // namespace

BENCHMARK(BM_RenderToMemory)->Unit(benchmark::kMillisecond)->Iterations(5)->Arg(44100)->Arg(8000);
BENCHMARK(BM_RenderToWav)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RenderToFlac)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RenderToOgg)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RenderToOpus)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RenderToMp3)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
