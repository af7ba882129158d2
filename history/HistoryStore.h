#pragma once

#include "history/AnswerRecord.h"
#include "history/AnswerRow.h"
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
// The file is opened on first use (the first answer or the first read) and checked then, with
// PRAGMA quick_check, before anything is written to it; it is then kept in WAL mode. Record()
// only queues the answer in memory; the queue is written in one transaction by Commit(), which
// Record() itself calls once the oldest queued answer has waited kCommitPeriodMs. The owner
// calls Commit() when a dictation stops (and may call CommitIfDue() from a timer), and the
// destructor calls it at close.
//
// What goes wrong, and what follows; the reporter gets one message, in French, for each:
// - A file that cannot serve (a folder in its place, a read-only file or folder, bytes that are
//   no SQLite database, a newer user_version, a database without the answers table, a file
//   whose check fails) ends the store for the run: nothing is recorded, the reads are empty and
//   CanRead() is false, and the file is never written, replaced or removed.
// - SQLITE_CORRUPT or SQLITE_NOTADB from any later statement ends the store in the same way,
//   at that moment: a read that met it returns nothing rather than part of the answers.
// - A lock held by another program keeps the answers queued: the open or the write is tried
//   again at the next commit moment, and at close the store waits kCloseBusyTimeoutMs for it.
// - A write that finds no room (a full disk) rolls its transaction back, so only the answers of
//   that batch are lost and the file stays whole; the next batches are tried.
// - The file removed or replaced while open (its inode no longer at the path) is let go without
//   a checkpoint into it, and the path is opened afresh: a new file when nothing is there.
//
// Used on one thread (the UI thread); never from the audio thread.
class HistoryStore {
public:
    using SteadyClockMs = std::function<int64_t()>; // [ms] a monotonic clock

    static constexpr int64_t kCommitPeriodMs = 30000; // [ms] longest wait of a queued answer
    static constexpr int32_t kUserVersion = 1;
    static constexpr int32_t kBusyTimeoutMs = 100;       // [ms] wait for another program's write lock
    static constexpr int32_t kCloseBusyTimeoutMs = 2000; // [ms] the same, for the last commit at close

    // path: the file, UTF-8 (HistoryPath::Default() for the program). reporter may be null.
    // clock: monotonic milliseconds for the commit period; empty = std::chrono::steady_clock.
    HistoryStore(std::string path, HistoryReporter* reporter, SteadyClockMs clock = {});
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const std::string& Path() const { return path; }

    // Opens the file if that has not been tried yet; true when it is open and answers are kept.
    bool IsAvailable();

    // False once the store has ended for the run, while it waits for a lock, and after a read
    // that failed: the figures read then are not the history's.
    bool CanRead() const { return db != nullptr && !ended && !readFailed; }

    // Queues one answer, given in Koch lesson `lesson` (0: none). Commits the queue when the
    // oldest queued answer has waited kCommitPeriodMs.
    void Record(const AnswerRecord& record, int32_t lesson = 0);

    // Writes the queued answers in one transaction. False when nothing could be written: the
    // answers stay queued when the file is locked, and are dropped otherwise.
    bool Commit();

    // Commits when the oldest queued answer has waited kCommitPeriodMs; for an owner's timer, so
    // that answers are written in time even when no more come.
    void CommitIfDue();

    size_t QueuedCount() const { return queue.size(); }

    // Every answer played at or after sinceMs [ms Unix time], oldest first, queued ones included.
    // Rows whose played character is not 'A'-'Z' or '0'-'9' are left out; a typed text that is not
    // one such character reads as typed 0.
    std::vector<AnswerRecord> ReadSince(int64_t sinceMs);

    // For each of the 36 characters, its last `perCharacter` answers, newest first; the copy
    // and sending practices' answers ('copy', 'send') are not counted.
    std::vector<AnswerRecord> LastAnswersPerCharacter(int32_t perCharacter);

    // The last `count` answers given in Koch lesson `lesson`, newest first.
    std::vector<AnswerRecord> LastLessonAnswers(int32_t lesson, int32_t count);

    // The answers of a copy run, queued and committed at once, then the run's line.
    void RecordCopyRun(const CopyRunRecord& run, const std::vector<AnswerRecord>& answers);
    // The copy runs that began at or after sinceMs, oldest first.
    std::vector<CopyRunRecord> CopyRunsSince(int64_t sinceMs);
    // Every row played at or after sinceMs, oldest first, queued ones included, as written:
    // rows of other characters and modes too.
    std::vector<AnswerRow> RowsAsWritten(int64_t sinceMs);

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
        ReadOnlyFolder,
        NotHistory,
        Damaged,
        Newer,
        DiskFull,
        Removed,
        Replaced,
        Refused, // a constraint or trigger of the file refused a batch; later ones are tried
        Unusable
    };

    // How a batch fared.
    enum class Write { Done, Locked, Lost };

    // Where the file was found at open (device and inode), to notice its removal.
    struct FileIdentity {
        uint64_t device = 0;
        uint64_t inode = 0;
        bool known = false;
        friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    };

    struct QueuedAnswer {
        AnswerRecord record;
        int32_t lesson = 0;
    };

    void TryOpen();
    bool EnsureOpen(); // opens when not open; lets a removed file go first
    bool Open();
    bool OpenDatabase();
    bool CheckContent();
    bool CheckIntegrity();
    bool PrepareSchema();
    bool Execute(const char* sql);
    Write WriteBatch(const std::vector<QueuedAnswer>& batch);
    bool InsertAnswer(const QueuedAnswer& answer);
    void Rollback();
    std::vector<AnswerRecord> ReadRows(sqlite3_stmt* statement);
    bool BeginRead();
    bool ReadFinished(int code);
    void Fail(Problem problem); // reports the problem, once per run
    void FailWithCode(int code);
    Problem ReadOnlyProblem(Problem otherwise) const;
    FileIdentity IdentityOnDisk() const;
    bool LetGoOfMovedFile();
    void CloseDatabase();
    int64_t NowMs() const;

    std::string path;
    HistoryReporter* reporter;
    SteadyClockMs clock;
    sqlite3* db = nullptr;
    sqlite3_stmt* insertAnswer = nullptr;
    sqlite3_stmt* insertLesson = nullptr;
    bool tried = false;                  // an open has been tried
    bool ended = false;                  // nothing more is done with the file this run
    bool readFailed = false;             // the last read did not finish
    bool finalCommit = false;            // the destructor's commit: waits longer for a lock
    Problem problem = Problem::Unusable; // the last one met
    uint32_t reported = 0;               // one bit per Problem already reported
    FileIdentity identity;               // of the open file
    std::vector<QueuedAnswer> queue;
    int64_t queueStartMs = 0; // [ms] steady clock when the oldest queued answer came
};
