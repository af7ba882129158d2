// How long the progress window takes to open over a large history: the figures alone, and the
// whole opening (load callback, figures, charts, first show and paint), with 100,000 answers.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "history/ProgressStats.h"
#include "ui/ProgressWindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

namespace {

constexpr int64_t kNowMs = 1'765'130'400'000; // 7 December 2025, 18:00 UTC
constexpr int64_t kDayMs = 86'400'000;

// Answers spread over the last 90 days, about one in eight missed, half of the misses with no key.
const std::vector<AnswerRecord>& History(size_t count) {
    static std::vector<AnswerRecord> records;
    if (records.size() != count) {
        std::mt19937 random(42);
        std::uniform_int_distribution<int> symbol(0, 35);
        std::uniform_int_distribution<int64_t> when(kNowMs - 90 * kDayMs, kNowMs);
        std::uniform_int_distribution<int64_t> response(250, 2500);
        records.assign(count, AnswerRecord{});
        for (AnswerRecord& record : records) {
            record.atMs = when(random);
            record.mode = "random";
            record.played = ProgressStats::kKochOrder[static_cast<size_t>(symbol(random))];
            const int roll = symbol(random);
            record.typed = roll < 2   ? 0
                           : roll < 5 ? ProgressStats::kKochOrder[static_cast<size_t>(symbol(random))]
                                      : record.played;
            record.responseMs = record.typed == 0 ? -1 : response(random);
        }
    }
    return records;
}

void BM_ProgressStats(benchmark::State& state) {
    const std::vector<AnswerRecord>& records = History(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        ProgressStats stats = ProgressStats::Compute(records, std::numeric_limits<int64_t>::min(), kNowMs);
        benchmark::DoNotOptimize(stats);
    }
}
BENCHMARK(BM_ProgressStats)->Arg(100'000)->Unit(benchmark::kMillisecond);

// From the constructor to the first paint of every chart; closing is not timed. The load
// callback hands over a copy of the answers, as a store that reads them into memory would.
// first_ms is the very first opening of the process, with fonts and Qt Charts still cold.
void BM_ProgressWindowOpens(benchmark::State& state) {
    const std::vector<AnswerRecord>& records = History(static_cast<size_t>(state.range(0)));
    ProgressWindow::Sources sources;
    sources.load = [&records](int64_t) { return records; };
    sources.nowMs = [] { return kNowMs; };
    static double firstMs = -1.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto* window = new ProgressWindow(sources);
        window->show();
        QApplication::processEvents();
        window->repaint();
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        if (firstMs < 0.0) {
            firstMs = seconds * 1000.0;
        }
        delete window;
        QApplication::processEvents();
    }
    state.counters["first_ms"] = firstMs;
}
BENCHMARK(BM_ProgressWindowOpens)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
