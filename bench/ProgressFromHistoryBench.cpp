// The progress window opening over a real history file of 100,000 answers, as the program opens
// it: the rows read from SQLite by HistoryStore::ReadSince, then the figures, the charts, the
// first show and paint. Runs offscreen unless QT_QPA_PLATFORM says otherwise; the file lives in
// a temporary folder that is removed afterwards.
#include "history/HistoryStore.h"
#include "ui/ProgressWindow.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

namespace {

constexpr int64_t kNowMs = 1'765'130'400'000; // 7 December 2025, 18:00 UTC
constexpr int64_t kDayMs = 86'400'000;
constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// Answers over the last 90 days, about one in eight missed.
void Fill(HistoryStore& store, int64_t count) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> symbol(0, 35);
    std::uniform_int_distribution<int64_t> response(250, 2500);
    for (int64_t i = 0; i < count; ++i) {
        AnswerRecord record;
        record.atMs = kNowMs - 90 * kDayMs + i * (90 * kDayMs / count);
        record.mode = "random";
        record.played = kCharacters[symbol(random)];
        const int roll = symbol(random);
        record.typed = roll < 2 ? 0 : roll < 5 ? kCharacters[symbol(random)] : record.played;
        record.responseMs = record.typed == 0 ? -1 : response(random);
        store.Record(record);
    }
    store.Commit();
}

void ProgressWindowOpensOverTheHistoryFile(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("history.sqlite")).toStdString();
    {
        HistoryStore filler(path, nullptr);
        Fill(filler, state.range(0));
    }
    HistoryStore store(path, nullptr);
    ProgressWindow::Sources sources;
    sources.load = [&store](int64_t sinceMs) { return store.ReadSince(sinceMs); };
    sources.nowMs = [] { return kNowMs; };
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto* window = new ProgressWindow(sources);
        window->show();
        QApplication::processEvents();
        window->repaint();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        delete window;
        QApplication::processEvents();
    }
}
BENCHMARK(ProgressWindowOpensOverTheHistoryFile)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);

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
