#pragma once

#include "history/AnswerRecord.h"
#include "history/CopyRunRecord.h"
#include "history/HistoryReporter.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The answers of the dictations, kept in one SQLite file per user so that they survive the run
// and other tools can read them.
//
// The file holds, whoever made it:
//   PRAGMA user_version = 1
//   answers(at_ms INTEGER NOT NULL, mode TEXT NOT NULL, played TEXT NOT NULL, typed TEXT NOT NULL,
//           response_ms INTEGER)        -- typed '' and response_ms NULL when no key was typed
// and, added by this program, two indexes on answers and the table
//   lesson_answers(at_ms INTEGER NOT NULL, lesson INTEGER NOT NULL)
// which says in which Koch lesson the answer played at at_ms was given, and the table
//   copy_runs(at_ms INTEGER NOT NULL, wpm INTEGER NOT NULL, farnsworth INTEGER NOT NULL,
//             played INTEGER NOT NULL, correct INTEGER NOT NULL)
// with one line per run of the copy practice (its first sign's at_ms, its speeds, its score),
// beside the answers of mode 'copy' of its signs.
//
// The file is opened on first use (the first answer or the first read), in WAL mode. Record()
// only queues the answer in memory; the queue is written in one transaction by Commit(), which
// Record() itself calls once the oldest queued answer has waited kCommitPeriodMs. The owner
// calls Commit() when a dictation stops (and may call CommitIfDue() from a timer), and the
// destructor calls it at close.
//
// A file that cannot serve (a folder in its place, a locked or read-only file, bytes that are no
// SQLite database, a newer user_version, a database without the answers table) leaves the store
// unavailable for the run: nothing is recorded, the reads are empty, and the file is never
// written, replaced or removed. A write that fails (a full disk) rolls its transaction back, so
// only the answers of that batch are lost and the file stays whole. Either way the reporter gets
// one message, in French, once per run.
//
// Used on one thread (the UI thread); never from the audio thread.
class HistoryStore {
public:
    using SteadyClockMs = std::function<int64_t()>; // [ms] a monotonic clock

    static constexpr int64_t kCommitPeriodMs = 30000; // [ms] longest wait of a queued answer
    static constexpr int32_t kUserVersion = 1;
    static constexpr int32_t kBusyTimeoutMs = 100; // [ms] wait for another program's write lock

    // path: the file, UTF-8 (HistoryPath::Default() for the program). reporter may be null.
    // clock: monotonic milliseconds for the commit period; empty = std::chrono::steady_clock.
    HistoryStore(std::string path, HistoryReporter* reporter, SteadyClockMs clock = {});
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const std::string& Path() const { return path; }

    // Opens the file if that has not been tried yet; true when answers can be kept.
    bool IsAvailable();

    // Queues one answer, given in Koch lesson `lesson` (0: none). Commits the queue when the
    // oldest queued answer has waited kCommitPeriodMs.
    void Record(const AnswerRecord& record, int32_t lesson = 0);

    // Writes the queued answers in one transaction. False when the store is unavailable or the
    // write failed (its answers are then dropped).
    bool Commit();

    // Commits when the oldest queued answer has waited kCommitPeriodMs; for an owner's timer, so
    // that answers are written in time even when no more come.
    void CommitIfDue();

    size_t QueuedCount() const { return queue.size(); }

    // Every answer played at or after sinceMs [ms Unix time], oldest first, queued ones included.
    // Rows whose played character is not 'A'-'Z' or '0'-'9' are left out; a typed text that is not
    // one such character reads as typed 0.
    std::vector<AnswerRecord> ReadSince(int64_t sinceMs);

    // For each of the 36 characters, its last `perCharacter` answers, newest first.
    std::vector<AnswerRecord> LastAnswersPerCharacter(int32_t perCharacter);

    // The last `count` answers given in Koch lesson `lesson`, newest first.
    std::vector<AnswerRecord> LastLessonAnswers(int32_t lesson, int32_t count);

    // The answers of a copy run, queued and committed at once, then the run's line.
    void RecordCopyRun(const CopyRunRecord& run, const std::vector<AnswerRecord>& answers);
    // The copy runs that began at or after sinceMs, oldest first.
    std::vector<CopyRunRecord> CopyRunsSince(int64_t sinceMs);

    // Removes every answer, the queued ones too. False when the store is unavailable or failed.
    bool Clear();

    // Test seam: caps the file at `pages` database pages for this connection, so that a write
    // beyond them fails as on a full disk.
    void LimitPagesForTest(int32_t pages);

private:
    enum class Problem {
        NoFolderKnown,
        FolderInPlace,
        CannotMakeFolder,
        Locked,
        ReadOnly,
        NotHistory,
        Newer,
        DiskFull,
        Unusable
    };

    struct QueuedAnswer {
        AnswerRecord record;
        int32_t lesson = 0;
    };

    bool Open();
    bool OpenDatabase();
    bool CheckContent();
    bool PrepareSchema();
    bool Execute(const char* sql);
    bool WriteBatch(const std::vector<QueuedAnswer>& batch);
    bool InsertAnswer(const QueuedAnswer& answer);
    std::vector<AnswerRecord> ReadRows(sqlite3_stmt* statement);
    void Fail(Problem problem); // reports the problem, once per run
    void FailWithCode(int code);
    void CloseDatabase();
    int64_t NowMs() const;

    std::string path;
    HistoryReporter* reporter;
    SteadyClockMs clock;
    sqlite3* db = nullptr;
    sqlite3_stmt* insertAnswer = nullptr;
    sqlite3_stmt* insertLesson = nullptr;
    bool tried = false;
    bool available = false;
    bool reported = false;
    std::vector<QueuedAnswer> queue;
    int64_t queueStartMs = 0; // [ms] steady clock when the oldest queued answer came
};
