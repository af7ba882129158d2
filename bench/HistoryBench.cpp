// Costs on the UI thread of the answer history and of the adaptive draw:
// - recording one answer, commits included (p50, p99 and max of single calls, in us);
// - the adaptive draw of one character over all 36;
// - reading 100,000 answers, as the progress window does when it opens, and the last 50 answers
//   of each character out of them, as every Play with the adaptive drill does;
// - the first opening of a file of 100,000 and of 1,000,000 answers, which checks it
//   (PRAGMA quick_check), with the file in the page cache and read from the disk; and that
//   check alone.
// The files live in a temporary folder that is removed afterwards.

#include "history/HistoryStore.h"
#include "practice/LessonPicker.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int64_t kRows = 100000;
constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// A temporary folder for one benchmark, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "zelbin-bench-XXXXXX").string();
        path = ::mkdtemp(pattern.data()) != nullptr ? pattern : "";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string File() const { return (fs::path(path) / "history.sqlite").string(); }

private:
    std::string path;
};

AnswerRecord Answer(int64_t i) {
    AnswerRecord r;
    r.atMs = 1700000000000 + i * 3000;
    r.mode = "random";
    r.played = kCharacters[(i * 7) % 36];
    r.typed = i % 5 == 0 ? kCharacters[(i * 11) % 36] : r.played;
    r.responseMs = i % 13 == 0 ? -1 : 300 + (i * 37) % 2000;
    return r;
}

void FillRows(HistoryStore& store, int64_t rows) {
    for (int64_t i = 0; i < rows; ++i) {
        store.Record(Answer(i), 5);
    }
    store.Commit();
}

// One Record() per iteration, each timed alone. The injected clock moves by the dictation
// interval [ms] per answer, so the store commits as often as it would in a dictation (every
// ten answers at the default 3000 ms, every sixty at the shortest 500 ms).
void RecordOneAnswer(benchmark::State& state) {
    const int64_t intervalMs = state.range(0);
    ScratchFolder folder;
    int64_t nowMs = 0;
    HistoryStore store(folder.File(), nullptr, [&nowMs]() { return nowMs; });
    store.IsAvailable();
    std::vector<double> callsUs;
    int64_t i = 0;
    for (auto _ : state) {
        nowMs += intervalMs;
        const AnswerRecord answer = Answer(i++);
        const auto start = std::chrono::steady_clock::now();
        store.Record(answer, 5);
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        callsUs.push_back(took.count());
    }
    std::sort(callsUs.begin(), callsUs.end());
    const auto at = [&callsUs](double q) { return callsUs[static_cast<size_t>(q * (callsUs.size() - 1))]; };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = callsUs.back();
}
BENCHMARK(RecordOneAnswer)->Arg(3000)->Arg(500)->Iterations(20000)->Unit(benchmark::kMicrosecond);

void AdaptiveDraw(benchmark::State& state) {
    std::vector<AnswerRecord> recent;
    for (int64_t i = 0; i < 36 * 50; ++i) {
        recent.push_back(Answer(i));
    }
    LessonPicker picker;
    picker.Configure(static_cast<int32_t>(state.range(0)), true);
    picker.Start(1234, recent);
    for (auto _ : state) {
        benchmark::DoNotOptimize(picker.PickIndex());
    }
}
BENCHMARK(AdaptiveDraw)->Arg(0)->Arg(2)->Unit(benchmark::kNanosecond);

// One scored answer during an adaptive dictation: the weights follow it.
void AdaptiveLearn(benchmark::State& state) {
    std::vector<AnswerRecord> recent;
    for (int64_t i = 0; i < 36 * 50; ++i) {
        recent.push_back(Answer(i));
    }
    LessonPicker picker;
    picker.Configure(0, true);
    picker.Start(1234, recent);
    int64_t i = 36 * 50;
    for (auto _ : state) {
        picker.Learn(Answer(i++));
    }
}
BENCHMARK(AdaptiveLearn)->Unit(benchmark::kMicrosecond);

void ReadHundredThousandRows(benchmark::State& state) {
    ScratchFolder folder;
    {
        HistoryStore filler(folder.File(), nullptr);
        FillRows(filler, kRows);
    }
    HistoryStore store(folder.File(), nullptr);
    for (auto _ : state) {
        const std::vector<AnswerRecord> rows = store.ReadSince(0);
        if (rows.size() != static_cast<size_t>(kRows)) {
            state.SkipWithError("rows missing");
        }
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(ReadHundredThousandRows)->Unit(benchmark::kMillisecond);

// At each Play with the adaptive drill: the last 50 answers of each character, then the weights.
void StartAdaptiveOverHundredThousandRows(benchmark::State& state) {
    ScratchFolder folder;
    {
        HistoryStore filler(folder.File(), nullptr);
        FillRows(filler, kRows);
    }
    HistoryStore store(folder.File(), nullptr);
    LessonPicker picker;
    picker.Configure(0, true);
    for (auto _ : state) {
        picker.Start(99, store.LastAnswersPerCharacter(50));
    }
}
BENCHMARK(StartAdaptiveOverHundredThousandRows)->Unit(benchmark::kMillisecond);

// One file per size, filled once for every benchmark that needs it.
const std::string& FilledFile(int64_t rows) {
    static std::map<int64_t, std::unique_ptr<ScratchFolder>> folders;
    std::unique_ptr<ScratchFolder>& folder = folders[rows];
    if (!folder) {
        folder = std::make_unique<ScratchFolder>();
        HistoryStore filler(folder->File(), nullptr);
        FillRows(filler, rows);
    }
    static std::map<int64_t, std::string> files;
    return files[rows] = folder->File();
}

// Drops the file's pages from the page cache, so that the next read comes from the disk.
void EvictFromPageCache(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// What the first Play of a session pays: the store opens the file, checks it and prepares it.
// range(0): rows; range(1): 1 to read the file from the disk.
void OpenAndCheck(benchmark::State& state) {
    const std::string& file = FilledFile(state.range(0));
    for (auto _ : state) {
        if (state.range(1) != 0) {
            state.PauseTiming();
            EvictFromPageCache(file);
            state.ResumeTiming();
        }
        HistoryStore store(file, nullptr);
        if (!store.IsAvailable()) {
            state.SkipWithError("the file did not open");
        }
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}
BENCHMARK(OpenAndCheck)
    ->Args({kRows, 0})
    ->Args({kRows, 1})
    ->Args({10 * kRows, 0})
    ->Args({10 * kRows, 1})
    ->Unit(benchmark::kMillisecond);

// The check alone, on a connection of its own, the file in the page cache.
void QuickCheckOnly(benchmark::State& state) {
    const std::string& file = FilledFile(state.range(0));
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* check = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &check, nullptr);
        if (sqlite3_step(check) != SQLITE_ROW ||
            std::string(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) != "ok") {
            state.SkipWithError("the check failed");
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
}
BENCHMARK(QuickCheckOnly)->Arg(kRows)->Arg(10 * kRows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
