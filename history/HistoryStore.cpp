#include "history/HistoryStore.h"

#include "morse/MorseTable.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS answers(at_ms INTEGER NOT NULL, mode TEXT NOT NULL, "
    "played TEXT NOT NULL, typed TEXT NOT NULL, response_ms INTEGER);"
    "CREATE INDEX IF NOT EXISTS answers_by_time ON answers(at_ms);"
    "CREATE INDEX IF NOT EXISTS answers_by_played ON answers(played, at_ms);"
    "CREATE TABLE IF NOT EXISTS lesson_answers(at_ms INTEGER NOT NULL, lesson INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS lesson_answers_by_lesson ON lesson_answers(lesson, at_ms);"
    "CREATE TABLE IF NOT EXISTS copy_runs(at_ms INTEGER NOT NULL, wpm INTEGER NOT NULL, "
    "farnsworth INTEGER NOT NULL, played INTEGER NOT NULL, correct INTEGER NOT NULL);";

constexpr const char* kColumns = "a.at_ms, a.mode, a.played, a.typed, a.response_ms";

const std::string kLost = " Les réponses de cette séance ne seront pas enregistrées.";

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

char CharacterOf(const unsigned char* text) {
    if (text == nullptr || text[0] == '\0' || text[1] != '\0') {
        return 0;
    }
    char c = static_cast<char>(text[0]);
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    return MorseTable().IndexOfChar(c) != MorseTable::kNoIndex ? c : 0;
}

// Finalises a prepared statement when it leaves scope.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(statement); }
    sqlite3_stmt* Get() const { return statement; }
    int Code() const { return code; }

private:
    sqlite3_stmt* statement = nullptr;
    int code = SQLITE_OK;
};

} // namespace

HistoryStore::HistoryStore(std::string path, HistoryReporter* reporter, SteadyClockMs clock)
    : path(std::move(path)), reporter(reporter), clock(std::move(clock)) {}

HistoryStore::~HistoryStore() {
    finalCommit = true;
    if (db != nullptr) {
        sqlite3_busy_timeout(db, kCloseBusyTimeoutMs);
    }
    Commit();
    CloseDatabase();
}

bool HistoryStore::IsAvailable() {
    if (!tried && !ended) {
        TryOpen();
    }
    return db != nullptr;
}

// A lock may be gone at the next try; every other problem ends the store for the run.
void HistoryStore::TryOpen() {
    tried = true;
    if (!Open()) {
        CloseDatabase();
    }
}

bool HistoryStore::EnsureOpen() {
    if (ended) {
        return false;
    }
    if (db != nullptr && LetGoOfMovedFile()) {
        TryOpen();
    } else if (db == nullptr) {
        TryOpen();
    }
    return db != nullptr;
}

bool HistoryStore::Open() {
    if (path.empty()) {
        Fail(Problem::NoFolderKnown);
        return false;
    }
    const fs::path file = PathOf(path);
    std::error_code error;
    if (fs::is_directory(file, error)) {
        Fail(Problem::FolderInPlace);
        return false;
    }
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path(), error);
        if (error || !fs::is_directory(file.parent_path(), error)) {
            Fail(Problem::CannotMakeFolder);
            return false;
        }
    }
    if (!OpenDatabase() || !CheckContent() || !PrepareSchema()) {
        return false;
    }
    identity = IdentityOnDisk();
    return true;
}

bool HistoryStore::OpenDatabase() {
    const int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (code != SQLITE_OK) {
        FailWithCode(code);
        return false;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, finalCommit ? kCloseBusyTimeoutMs : kBusyTimeoutMs);
    if (sqlite3_db_readonly(db, "main") == 1) {
        Fail(ReadOnlyProblem(Problem::ReadOnly));
        return false;
    }
    return true;
}

// Reads only: a file that is not ours, is newer or is damaged must stay exactly as it is.
bool HistoryStore::CheckContent() {
    Statement version(db, "PRAGMA user_version");
    int code = version.Code() == SQLITE_OK ? sqlite3_step(version.Get()) : version.Code();
    if (code != SQLITE_ROW) {
        FailWithCode(code);
        return false;
    }
    const int64_t userVersion = sqlite3_column_int64(version.Get(), 0);
    if (userVersion > kUserVersion) {
        Fail(Problem::Newer);
        return false;
    }
    if (!CheckIntegrity()) {
        return false;
    }
    Statement tables(db, "SELECT COUNT(*), COALESCE(SUM(type = 'table' AND name = 'answers'), 0) FROM sqlite_master");
    code = tables.Code() == SQLITE_OK ? sqlite3_step(tables.Get()) : tables.Code();
    if (code != SQLITE_ROW) {
        FailWithCode(code);
        return false;
    }
    const bool empty = sqlite3_column_int64(tables.Get(), 0) == 0;
    const bool hasAnswers = sqlite3_column_int64(tables.Get(), 1) > 0;
    // A database of version 0 with content but no answers table belongs to someone else.
    if (userVersion < 0 || (!hasAnswers && !(empty && userVersion == 0))) {
        Fail(Problem::NotHistory);
        return false;
    }
    return true;
}

// Every page of every table and index is read once and its structure checked; the first
// answer "ok" means the file is whole. Its cost grows with the file (see bench/HistoryBench).
bool HistoryStore::CheckIntegrity() {
    Statement check(db, "PRAGMA quick_check(1)");
    const int code = check.Code() == SQLITE_OK ? sqlite3_step(check.Get()) : check.Code();
    if (code != SQLITE_ROW) {
        FailWithCode(code);
        return false;
    }
    const unsigned char* verdict = sqlite3_column_text(check.Get(), 0);
    if (verdict == nullptr || std::string_view(reinterpret_cast<const char*>(verdict)) != "ok") {
        Fail(Problem::Damaged);
        return false;
    }
    return true;
}

bool HistoryStore::PrepareSchema() {
    // WAL lets other tools read while answers are written. With it, synchronous=NORMAL keeps the
    // file whole after any crash and spares the commit an fsync on the UI thread; a power cut may
    // only cost the last commits.
    if (!Execute("PRAGMA journal_mode=WAL") || !Execute("PRAGMA synchronous=NORMAL")) {
        return false;
    }
    if (!Execute("BEGIN IMMEDIATE")) {
        return false;
    }
    if (!Execute(kSchema) || !Execute("PRAGMA user_version = 1") || !Execute("COMMIT")) {
        Rollback();
        return false;
    }
    // The insert names the columns, so a foreign answers table without them is found here.
    int code =
        sqlite3_prepare_v2(db, "INSERT INTO answers(at_ms, mode, played, typed, response_ms) VALUES(?, ?, ?, ?, ?)", -1,
                           &insertAnswer, nullptr);
    if (code == SQLITE_OK) {
        code = sqlite3_prepare_v2(db, "INSERT INTO lesson_answers(at_ms, lesson) VALUES(?, ?)", -1, &insertLesson,
                                  nullptr);
    }
    if (code != SQLITE_OK) {
        Fail(Problem::NotHistory);
        return false;
    }
    return true;
}

bool HistoryStore::Execute(const char* sql) {
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        FailWithCode(code);
        return false;
    }
    return true;
}

void HistoryStore::Record(const AnswerRecord& record, int32_t lesson) {
    IsAvailable(); // the first answer opens the file; a lock is tried again at the commits
    if (ended) {
        return;
    }
    if (queue.empty()) {
        queueStartMs = NowMs();
    }
    queue.push_back({record, lesson});
    CommitIfDue();
}

void HistoryStore::CommitIfDue() {
    if (!queue.empty() && NowMs() - queueStartMs >= kCommitPeriodMs) {
        Commit();
    }
}

bool HistoryStore::Commit() {
    if (queue.empty()) {
        return db != nullptr;
    }
    if (!EnsureOpen()) {
        if (ended) {
            queue.clear();
        } else {
            queueStartMs = NowMs(); // locked: the next try comes a period later
        }
        return false;
    }
    // Taken out first: a reporter that runs an event loop may queue answers meanwhile.
    std::vector<QueuedAnswer> batch;
    batch.swap(queue);
    switch (WriteBatch(batch)) {
    case Write::Done:
        return true;
    case Write::Locked:
        queue.insert(queue.begin(), batch.begin(), batch.end());
        queueStartMs = NowMs();
        return false;
    case Write::Lost:
        break;
    }
    if (ended) {
        queue.clear();
        CloseDatabase();
    }
    return false;
}

HistoryStore::Write HistoryStore::WriteBatch(const std::vector<QueuedAnswer>& batch) {
    bool written = Execute("BEGIN IMMEDIATE");
    for (size_t i = 0; written && i < batch.size(); ++i) {
        written = InsertAnswer(batch[i]);
    }
    if (written && Execute("COMMIT")) {
        return Write::Done;
    }
    Rollback();
    return problem == Problem::Locked ? Write::Locked : Write::Lost;
}

bool HistoryStore::InsertAnswer(const QueuedAnswer& answer) {
    const AnswerRecord& r = answer.record;
    const char played[2] = {r.played, '\0'};
    const char typed[2] = {r.typed, '\0'};
    sqlite3_reset(insertAnswer);
    sqlite3_bind_int64(insertAnswer, 1, r.atMs);
    sqlite3_bind_text(insertAnswer, 2, r.mode.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insertAnswer, 3, r.playedName.empty() ? played : r.playedName.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insertAnswer, 4, r.typedName.empty() ? typed : r.typedName.c_str(), -1, SQLITE_TRANSIENT);
    if (r.responseMs < 0) {
        sqlite3_bind_null(insertAnswer, 5);
    } else {
        sqlite3_bind_int64(insertAnswer, 5, r.responseMs);
    }
    int code = sqlite3_step(insertAnswer);
    if (code == SQLITE_DONE && answer.lesson > 0) {
        sqlite3_reset(insertLesson);
        sqlite3_bind_int64(insertLesson, 1, r.atMs);
        sqlite3_bind_int(insertLesson, 2, answer.lesson);
        code = sqlite3_step(insertLesson);
    }
    if (code != SQLITE_DONE) {
        FailWithCode(code);
        return false;
    }
    return true;
}

void HistoryStore::Rollback() {
    if (db != nullptr && sqlite3_get_autocommit(db) == 0) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

// The queued answers are written first, so that every read sees them.
bool HistoryStore::BeginRead() {
    readFailed = false;
    if (!EnsureOpen()) {
        readFailed = true;
        return false;
    }
    Commit();
    if (db == nullptr) {
        readFailed = true;
        return false;
    }
    return true;
}

std::vector<AnswerRecord> HistoryStore::ReadSince(int64_t sinceMs) {
    if (!BeginRead()) {
        return {};
    }
    const std::string sql = std::string("SELECT ") + kColumns + " FROM answers a WHERE a.at_ms >= ? ORDER BY a.at_ms";
    Statement statement(db, sql.c_str());
    sqlite3_bind_int64(statement.Get(), 1, sinceMs);
    return ReadRows(statement.Get());
}

std::vector<AnswerRecord> HistoryStore::LastAnswersPerCharacter(int32_t perCharacter) {
    if (!BeginRead()) {
        return {};
    }
    const std::string sql = std::string("SELECT ") + kColumns +
                            " FROM answers a WHERE a.played = ? AND a.mode NOT IN ('copy', 'send')"
                            " ORDER BY a.at_ms DESC LIMIT ?";
    Statement statement(db, sql.c_str());
    std::vector<AnswerRecord> records;
    for (int32_t index = 0; index < MorseTable::kCharacterCount && !readFailed; ++index) {
        const char text[2] = {MorseTable().IndexToChar(index), '\0'};
        sqlite3_reset(statement.Get());
        sqlite3_bind_text(statement.Get(), 1, text, 1, SQLITE_TRANSIENT);
        sqlite3_bind_int(statement.Get(), 2, perCharacter);
        std::vector<AnswerRecord> rows = ReadRows(statement.Get());
        records.insert(records.end(), rows.begin(), rows.end());
    }
    if (readFailed) {
        records.clear();
    }
    return records;
}

std::vector<AnswerRecord> HistoryStore::LastLessonAnswers(int32_t lesson, int32_t count) {
    if (!BeginRead()) {
        return {};
    }
    const std::string sql = std::string("SELECT ") + kColumns +
                            " FROM lesson_answers l JOIN answers a ON a.at_ms = l.at_ms"
                            " WHERE l.lesson = ? ORDER BY l.at_ms DESC LIMIT ?";
    Statement statement(db, sql.c_str());
    sqlite3_bind_int(statement.Get(), 1, lesson);
    sqlite3_bind_int(statement.Get(), 2, count);
    return ReadRows(statement.Get());
}

std::vector<AnswerRecord> HistoryStore::ReadRows(sqlite3_stmt* statement) {
    std::vector<AnswerRecord> records;
    int code = SQLITE_ROW;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        AnswerRecord r;
        r.played = CharacterOf(sqlite3_column_text(statement, 2));
        if (r.played == 0) {
            continue;
        }
        r.atMs = sqlite3_column_int64(statement, 0);
        const unsigned char* mode = sqlite3_column_text(statement, 1);
        r.mode = mode != nullptr ? reinterpret_cast<const char*>(mode) : "";
        r.typed = CharacterOf(sqlite3_column_text(statement, 3));
        r.responseMs = sqlite3_column_type(statement, 4) == SQLITE_NULL ? -1 : sqlite3_column_int64(statement, 4);
        records.push_back(std::move(r));
    }
    if (!ReadFinished(code)) {
        records.clear();
    }
    return records;
}

// A read that stops on an error gives nothing: part of the answers would read as all of them.
bool HistoryStore::ReadFinished(int code) {
    if (code == SQLITE_DONE) {
        return true;
    }
    FailWithCode(code);
    readFailed = true;
    if (ended) {
        CloseDatabase();
    }
    return false;
}

std::vector<AnswerRow> HistoryStore::RowsAsWritten(int64_t sinceMs) {
    if (!BeginRead()) {
        return {};
    }
    Statement statement(
        db, "SELECT at_ms, mode, played, typed, response_ms FROM answers WHERE at_ms >= ? ORDER BY at_ms, rowid");
    sqlite3_bind_int64(statement.Get(), 1, sinceMs);
    const auto text = [&statement](int column) {
        const unsigned char* value = sqlite3_column_text(statement.Get(), column);
        return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
    };
    std::vector<AnswerRow> rows;
    int code = SQLITE_ROW;
    while ((code = sqlite3_step(statement.Get())) == SQLITE_ROW) {
        rows.push_back({text(0), text(1), text(2), text(3), text(4)});
    }
    if (!ReadFinished(code)) {
        rows.clear();
    }
    return rows;
}

void HistoryStore::RecordCopyRun(const CopyRunRecord& run, const std::vector<AnswerRecord>& answers) {
    for (const AnswerRecord& answer : answers) {
        Record(answer);
    }
    if (!Commit() || db == nullptr) {
        return; // a run line without its answers would draw a speed nothing backs
    }
    // The run's line after its answers: the curve of copy speeds only ever reads runs whose
    // answers are kept.
    Statement insert(db, "INSERT INTO copy_runs(at_ms, wpm, farnsworth, played, correct) VALUES(?, ?, ?, ?, ?)");
    sqlite3_bind_int64(insert.Get(), 1, run.atMs);
    sqlite3_bind_int(insert.Get(), 2, run.wpm);
    sqlite3_bind_int(insert.Get(), 3, run.farnsworth);
    sqlite3_bind_int(insert.Get(), 4, run.played);
    sqlite3_bind_int(insert.Get(), 5, run.correct);
    const int code = insert.Code() == SQLITE_OK ? sqlite3_step(insert.Get()) : insert.Code();
    if (code != SQLITE_DONE) {
        FailWithCode(code);
    }
}

std::vector<CopyRunRecord> HistoryStore::CopyRunsSince(int64_t sinceMs) {
    std::vector<CopyRunRecord> runs;
    if (!BeginRead()) {
        return runs;
    }
    Statement select(db,
                     "SELECT at_ms, wpm, farnsworth, played, correct FROM copy_runs WHERE at_ms >= ? ORDER BY at_ms");
    sqlite3_bind_int64(select.Get(), 1, sinceMs);
    int code = select.Code() == SQLITE_OK ? SQLITE_ROW : select.Code();
    while (code == SQLITE_ROW && (code = sqlite3_step(select.Get())) == SQLITE_ROW) {
        runs.push_back({sqlite3_column_int64(select.Get(), 0), sqlite3_column_int(select.Get(), 1),
                        sqlite3_column_int(select.Get(), 2), sqlite3_column_int(select.Get(), 3),
                        sqlite3_column_int(select.Get(), 4)});
    }
    if (!ReadFinished(code)) {
        runs.clear();
    }
    return runs;
}

bool HistoryStore::Clear() {
    queue.clear();
    if (!EnsureOpen()) {
        return false;
    }
    if (!Execute("BEGIN IMMEDIATE")) {
        return false;
    }
    if (!Execute("DELETE FROM answers; DELETE FROM lesson_answers; DELETE FROM copy_runs;") || !Execute("COMMIT")) {
        Rollback();
        if (ended) {
            CloseDatabase();
        }
        return false;
    }
    return true;
}

void HistoryStore::LimitPagesForTest(int32_t pages) {
    if (IsAvailable()) {
        const std::string sql = "PRAGMA max_page_count = " + std::to_string(pages);
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
}

void HistoryStore::FailWithCode(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        Fail(Problem::Locked);
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        Fail(ReadOnlyProblem(Problem::ReadOnly));
        break;
    case SQLITE_CANTOPEN:
        Fail(ReadOnlyProblem(Problem::Unusable));
        break;
    case SQLITE_NOTADB:
        Fail(Problem::NotHistory);
        break;
    case SQLITE_CORRUPT:
        Fail(Problem::Damaged);
        break;
    case SQLITE_FULL:
        Fail(Problem::DiskFull);
        break;
    case SQLITE_CONSTRAINT:
        Fail(Problem::Refused);
        break;
    default:
        Fail(Problem::Unusable);
        break;
    }
}

// Which of the file and its folder refuses to be written (SQLite needs both, for its -wal and
// -shm files); `otherwise` when neither does.
HistoryStore::Problem HistoryStore::ReadOnlyProblem(Problem otherwise) const {
#ifndef _WIN32
    const fs::path file = PathOf(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::error_code error;
    if (fs::exists(file, error) && ::access(file.c_str(), W_OK) != 0) {
        return Problem::ReadOnly;
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        return Problem::ReadOnlyFolder;
    }
#endif
    return otherwise;
}

HistoryStore::FileIdentity HistoryStore::IdentityOnDisk() const {
    FileIdentity found;
#ifndef _WIN32
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        found = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), true};
    }
#endif
    return found;
}

// True when the open file is no longer the one at the path (deleted, moved away or replaced):
// the connection is then closed without a checkpoint, which would also remove the -wal file
// that now belongs to whatever lies at the path. (On Windows an open file cannot be removed.)
bool HistoryStore::LetGoOfMovedFile() {
#ifndef _WIN32
    const FileIdentity now = IdentityOnDisk();
    if (!identity.known || now == identity) {
        return false;
    }
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    CloseDatabase();
    Fail(now.known ? Problem::Replaced : Problem::Removed);
    return true;
#else
    return false;
#endif
}

// A lock, a full disk and a file that went away leave the store at work; anything else ends it,
// at open or at any later statement. One message per kind, and none after the one that ended it.
void HistoryStore::Fail(Problem met) {
    problem = met;
    const bool ends = met != Problem::Locked && met != Problem::DiskFull && met != Problem::Removed &&
                      met != Problem::Replaced && met != Problem::Refused;
    const bool silent = ended;
    ended = ended || ends;
    const uint32_t bit = 1u << static_cast<uint32_t>(met);
    if (silent || (reported & bit) != 0 || reporter == nullptr) {
        return;
    }
    reported |= bit;
    const std::string quoted = "« " + path + " »";
    std::string text;
    switch (met) {
    case Problem::NoFolderKnown:
        text = "Aucun dossier personnel n'est connu pour y garder l'historique des réponses." + kLost;
        break;
    case Problem::FolderInPlace:
        text = "Un dossier occupe la place du fichier d'historique " + quoted + "." + kLost;
        break;
    case Problem::CannotMakeFolder:
        text = "Le dossier du fichier d'historique " + quoted + " ne peut pas être créé." + kLost;
        break;
    case Problem::Locked:
        text = "Le fichier d'historique " + quoted +
               " est verrouillé par un autre programme. Les réponses restent en attente et y seront écrites dès "
               "qu'il sera libre.";
        break;
    case Problem::ReadOnly:
        text = "Le fichier d'historique " + quoted + " est en lecture seule." + kLost;
        break;
    case Problem::ReadOnlyFolder:
        text = "Le dossier « " + PathOf(path).parent_path().string() +
               " » du fichier d'historique est en lecture seule." + kLost;
        break;
    case Problem::NotHistory:
        text =
            "Le fichier " + quoted + " n'est pas un historique de réponses lisible ; il est laissé tel quel." + kLost;
        break;
    case Problem::Damaged:
        text = "Le fichier d'historique " + quoted +
               " est endommagé ; il est laissé tel quel. Les réponses de cette séance ne sont plus enregistrées.";
        break;
    case Problem::Newer:
        text = "Le fichier d'historique " + quoted +
               " vient d'une version plus récente de Zelbin ; il est laissé tel quel." + kLost;
        break;
    case Problem::DiskFull:
        text = "Le disque est plein : les dernières réponses n'ont pas pu être ajoutées au fichier d'historique " +
               quoted + ".";
        break;
    case Problem::Removed:
        text = "Le fichier d'historique " + quoted +
               " a été supprimé pendant la séance ; un nouveau fichier est commencé pour les réponses qui suivent.";
        break;
    case Problem::Replaced:
        text = "Le fichier d'historique " + quoted +
               " a été remplacé pendant la séance ; les réponses qui suivent sont ajoutées au nouveau fichier.";
        break;
    case Problem::Refused:
        text =
            "Le fichier d'historique " + quoted + " a refusé les dernières réponses ; elles n'y ont pas été ajoutées.";
        break;
    case Problem::Unusable:
        text = "Le fichier d'historique " + quoted + " ne peut être ni lu ni écrit." + kLost;
        break;
    }
    reporter->ShowMessage(text);
}

void HistoryStore::CloseDatabase() {
    sqlite3_finalize(insertAnswer);
    sqlite3_finalize(insertLesson);
    insertAnswer = nullptr;
    insertLesson = nullptr;
    if (db != nullptr) {
        if (ended) {
            // Not even a checkpoint goes into a file found damaged.
            sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        }
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

int64_t HistoryStore::NowMs() const {
    if (clock) {
        return clock();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
