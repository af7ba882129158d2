// The answer history on real files: the round trip, the fixed columns as other tools see them,
// the commit moments, each bad file, and a full disk.
#include "history/HistoryStore.h"
#include "tests/history/HistoryTestSupport.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <pwd.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool Same(const AnswerRecord& a, const AnswerRecord& b) {
    return a.atMs == b.atMs && a.mode == b.mode && a.played == b.played && a.typed == b.typed &&
           a.responseMs == b.responseMs;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A connection of "another tool", straight through the C API.
class Raw {
public:
    explicit Raw(const fs::path& path) { sqlite3_open(path.c_str(), &db); }
    ~Raw() { sqlite3_close(db); }
    int Exec(const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }
    // Every row of a query, its columns joined with '|' and NULL as "NULL".
    std::vector<std::string> Rows(const std::string& sql) {
        std::vector<std::string> rows;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
        while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const unsigned char* text = sqlite3_column_text(statement, i);
                row += (i > 0 ? "|" : "") + (text == nullptr ? std::string("NULL") : std::string((const char*)text));
            }
            rows.push_back(row);
        }
        sqlite3_finalize(statement);
        return rows;
    }

private:
    sqlite3* db = nullptr;
};

const char* kForeignSchema = "CREATE TABLE answers(at_ms INTEGER NOT NULL, mode TEXT NOT NULL, played TEXT NOT NULL, "
                             "typed TEXT NOT NULL, response_ms INTEGER)";

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(std::getenv("HOME")) / ("history-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        file = folder / "Zelbin" / "history.sqlite";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, ignored);
        fs::permissions(folder / "Zelbin", fs::perms::owner_all, ignored);
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    fs::path file;
    RecordingHistoryReporter reporter;
    std::error_code ignoredError;
};

TEST_F(HistoryStoreTest, AnswersComeBackAndOtherToolsSeeTheFixedColumns) {
    const std::vector<AnswerRecord> answers = {Answer(1700000000000, 'K', 'K', 640), Answer(1700000003000, 'M', 0, -1),
                                               Answer(1700000006000, '5', 'S', 2990)};
    {
        HistoryStore store(file.string(), &reporter);
        store.Record(answers[0], 2);
        store.Record(answers[1], 2);
        store.Record(answers[2], 0);
    } // the destructor commits
    HistoryStore store(file.string(), &reporter);
    const std::vector<AnswerRecord> back = store.ReadSince(0);
    ASSERT_EQ(back.size(), answers.size());
    for (size_t i = 0; i < answers.size(); ++i) {
        EXPECT_TRUE(Same(back[i], answers[i])) << i;
    }
    EXPECT_EQ(store.ReadSince(1700000003000).size(), 2u);
    // The lesson answers: newest first, only those given in lesson 2.
    const std::vector<AnswerRecord> lesson = store.LastLessonAnswers(2, 100);
    ASSERT_EQ(lesson.size(), 2u);
    EXPECT_TRUE(Same(lesson[0], answers[1]));
    EXPECT_TRUE(Same(lesson[1], answers[0]));
    EXPECT_TRUE(reporter.messages.empty());

    Raw raw(file);
    EXPECT_EQ(raw.Rows("PRAGMA user_version"), std::vector<std::string>{"1"});
    EXPECT_EQ(raw.Rows("PRAGMA journal_mode"), std::vector<std::string>{"wal"});
    EXPECT_EQ(raw.Rows("SELECT at_ms, mode, played, typed, response_ms, typeof(typed) FROM answers ORDER BY at_ms"),
              (std::vector<std::string>{"1700000000000|random|K|K|640|text", "1700000003000|random|M||NULL|text",
                                        "1700000006000|random|5|S|2990|text"}));
    EXPECT_EQ(raw.Rows("SELECT name, \"notnull\" FROM pragma_table_info('answers') ORDER BY cid"),
              (std::vector<std::string>{"at_ms|1", "mode|1", "played|1", "typed|1", "response_ms|0"}));
    // An answer outside a lesson has no lesson row.
    EXPECT_EQ(raw.Rows("SELECT at_ms, lesson FROM lesson_answers ORDER BY at_ms"),
              (std::vector<std::string>{"1700000000000|2", "1700000003000|2"}));
}

TEST_F(HistoryStoreTest, LastAnswersPerCharacterKeepsTheNewestOfEach) {
    HistoryStore store(file.string(), &reporter);
    for (int i = 0; i < 60; ++i) {
        store.Record(Answer(1000 + i, 'E', 'E', 100));
        store.Record(Answer(5000 + i, 'T', 'E', 100));
    }
    store.Record(Answer(9000, '0', '0', 100));
    // The copy and sending practices' rows say nothing of the dictation's: they are left out.
    for (const char* mode : {"copy", "send"}) {
        AnswerRecord other = Answer(9500, 'E', 'T', -1);
        other.mode = mode;
        store.Record(other);
    }
    const std::vector<AnswerRecord> last = store.LastAnswersPerCharacter(50);
    ASSERT_EQ(last.size(), 101u);
    int64_t newestE = 0, oldestE = 1 << 30, count0 = 0;
    for (const AnswerRecord& r : last) {
        if (r.played == 'E') {
            newestE = std::max(newestE, r.atMs);
            oldestE = std::min(oldestE, r.atMs);
        }
        count0 += r.played == '0';
    }
    EXPECT_EQ(newestE, 1059);
    EXPECT_EQ(oldestE, 1010);
    EXPECT_EQ(count0, 1);
}

// Queued answers reach the file when the oldest has waited 30 s, at Commit() and at close.
TEST_F(HistoryStoreTest, AnswersAreWrittenEveryThirtySecondsAtCommitAndAtClose) {
    int64_t nowMs = 0;
    auto store = std::make_unique<HistoryStore>(file.string(), &reporter, [&nowMs]() { return nowMs; });
    const auto inFile = [this]() { return Raw(file).Rows("SELECT COUNT(*) FROM answers").at(0); };
    store->Record(Answer(1, 'A', 'A', 10));
    nowMs = 29999;
    store->Record(Answer(2, 'B', 'B', 10));
    EXPECT_EQ(inFile(), "0");
    EXPECT_EQ(store->QueuedCount(), 2u);
    nowMs = 30000;
    store->Record(Answer(3, 'C', 'C', 10));
    EXPECT_EQ(inFile(), "3");
    nowMs = 50000; // the period counts from the first answer of the new queue
    store->Record(Answer(4, 'D', 'D', 10));
    nowMs = 79999;
    store->Record(Answer(5, 'E', 'E', 10));
    EXPECT_EQ(inFile(), "3");
    EXPECT_TRUE(store->Commit());
    EXPECT_EQ(inFile(), "5");
    // With no more answers, the owner's timer writes them once they are due.
    store->Record(Answer(6, 'F', 'F', 10));
    nowMs = 79999 + 29999; // F came at 79999
    store->CommitIfDue();
    EXPECT_EQ(inFile(), "5");
    nowMs = 79999 + 30000;
    store->CommitIfDue();
    EXPECT_EQ(inFile(), "6");
    store->Record(Answer(7, 'G', 'G', 10));
    store.reset();
    EXPECT_EQ(inFile(), "7");
}

TEST_F(HistoryStoreTest, AFileAnotherToolMadeIsReadAndAppendedTo) {
    fs::create_directories(file.parent_path());
    {
        Raw tool(file);
        ASSERT_EQ(tool.Exec(std::string(kForeignSchema) + "; PRAGMA user_version = 1;"
                                                          "INSERT INTO answers VALUES(10, 'random', 'Q', 'Y', 900);"
                                                          "INSERT INTO answers VALUES(20, 'other', 'q', '', NULL);"
                                                          "INSERT INTO answers VALUES(30, 'random', '?', 'A', 5);"),
                  SQLITE_OK);
    }
    HistoryStore store(file.string(), &reporter);
    store.Record(Answer(40, 'Z', 'Z', 300));
    const std::vector<AnswerRecord> all = store.ReadSince(0);
    // A played text that is no character is left out; a lower-case one reads upper-cased.
    ASSERT_EQ(all.size(), 3u);
    EXPECT_TRUE(Same(all[0], Answer(10, 'Q', 'Y', 900)));
    EXPECT_EQ(all[1].mode, "other");
    EXPECT_EQ(all[1].played, 'Q');
    EXPECT_EQ(all[1].typed, 0);
    EXPECT_TRUE(Same(all[2], Answer(40, 'Z', 'Z', 300)));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(Raw(file).Rows("SELECT COUNT(*) FROM answers"), std::vector<std::string>{"4"});
    // A trigger of the tool refuses one answer in the middle of a batch: none of the batch is
    // kept, and the next batch is written.
    ASSERT_EQ(Raw(file).Exec("CREATE TRIGGER no_x BEFORE INSERT ON answers WHEN NEW.played = 'X' "
                             "BEGIN SELECT RAISE(ABORT, 'no X'); END"),
              SQLITE_OK);
    store.Record(Answer(50, 'A', 'A', 300), 2);
    store.Record(Answer(60, 'X', 'X', 300), 2);
    store.Record(Answer(70, 'B', 'B', 300), 2);
    EXPECT_FALSE(store.Commit());
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Le fichier d'historique « " + file.string() +
                                                          " » a refusé les dernières réponses ; elles n'y ont pas "
                                                          "été ajoutées."});
    store.Record(Answer(200, 'C', 'C', 300), 2);
    EXPECT_TRUE(store.Commit());
    Raw after(file);
    EXPECT_EQ(after.Rows("SELECT at_ms FROM answers ORDER BY at_ms"),
              (std::vector<std::string>{"10", "20", "30", "40", "200"}));
    EXPECT_EQ(after.Rows("SELECT at_ms FROM lesson_answers"), std::vector<std::string>{"200"});
}

TEST_F(HistoryStoreTest, ClearRemovesWrittenAndQueuedAnswers) {
    HistoryStore store(file.string(), &reporter);
    store.Record(Answer(1, 'A', 'A', 10), 5);
    ASSERT_TRUE(store.Commit());
    store.Record(Answer(2, 'B', 'B', 10), 5);
    EXPECT_TRUE(store.Clear());
    EXPECT_TRUE(store.ReadSince(0).empty());
    EXPECT_TRUE(store.LastLessonAnswers(5, 100).empty());
    store.Record(Answer(3, 'C', 'C', 10));
    EXPECT_EQ(store.ReadSince(0).size(), 1u);
}

// ---- Bad files ----------------------------------------------------------------------------

struct BadFile {
    const char* name;
    const char* messagePart; // what the one message must say
    // Makes the bad file; may return an object that must live while the store works (a lock).
    std::function<std::shared_ptr<void>(const fs::path& file)> make;
};

std::shared_ptr<void> WriteRandomBytes(const fs::path& file) {
    std::mt19937 generator(7);
    std::string bytes(8192, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator());
    }
    std::ofstream(file, std::ios::binary) << bytes;
    return nullptr;
}

std::shared_ptr<void> MakeNewerVersion(const fs::path& file) {
    Raw(file).Exec(std::string(kForeignSchema) +
                   "; PRAGMA user_version = 2; INSERT INTO answers VALUES(1,'random','A','A',1)");
    return nullptr;
}

std::shared_ptr<void> MakeOtherDatabase(const fs::path& file) {
    Raw(file).Exec("CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('mine')");
    return nullptr;
}

std::shared_ptr<void> MakeFolder(const fs::path& file) {
    fs::create_directories(file);
    std::ofstream(file / "kept.txt") << "kept\n";
    return nullptr;
}

// Another program holds an exclusive lock on a database in rollback-journal mode.
std::shared_ptr<void> LockExclusively(const fs::path& file) {
    auto tool = std::make_shared<Raw>(file);
    tool->Exec(std::string(kForeignSchema) +
               "; PRAGMA user_version = 1; INSERT INTO answers VALUES(1,'random','A','A',1)");
    tool->Exec("BEGIN EXCLUSIVE");
    return tool;
}

// Another program, in WAL mode, is in the middle of a write.
std::shared_ptr<void> HoldWriteLock(const fs::path& file) {
    auto tool = std::make_shared<Raw>(file);
    tool->Exec(std::string("PRAGMA journal_mode=WAL;") + kForeignSchema + "; PRAGMA user_version = 1;");
    tool->Exec("BEGIN IMMEDIATE; INSERT INTO answers VALUES(1,'random','A','A',1)");
    return tool;
}

// The folder's content as names and a hash of each file's bytes, to show that nothing was
// touched. The -shm file is left out: it is shared memory that every reader writes.
std::string Snapshot(const fs::path& folder) {
    std::string all;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().string();
        if (name.ends_with("-shm")) {
            continue;
        }
        all +=
            name +
            (entry.is_regular_file() ? "=" + std::to_string(std::hash<std::string>()(ReadBytes(entry.path()))) : "/") +
            "\n";
    }
    return all;
}

TEST_F(HistoryStoreTest, EachBadFileGivesOneMessageNoHistoryAndStaysAsItWas) {
    const std::vector<BadFile> cases = {
        {"random bytes", "n'est pas un historique", WriteRandomBytes},
        {"newer version", "version plus récente", MakeNewerVersion},
        {"another program's database", "n'est pas un historique", MakeOtherDatabase},
        {"folder in place", "Un dossier occupe la place", MakeFolder},
        {"exclusive lock", "verrouillé", LockExclusively},
        {"write lock in WAL mode", "verrouillé", HoldWriteLock},
    };
    for (const BadFile& bad : cases) {
        SCOPED_TRACE(bad.name);
        fs::remove_all(file.parent_path());
        fs::create_directories(file.parent_path());
        std::shared_ptr<void> holder = bad.make(file);
        const std::string before = Snapshot(file.parent_path());
        RecordingHistoryReporter messages;
        {
            HistoryStore store(file.string(), &messages);
            EXPECT_FALSE(store.IsAvailable());
            store.Record(Answer(100, 'K', 'K', 500));
            EXPECT_FALSE(store.Commit());
            store.Record(Answer(200, 'M', 'K', 700));
            EXPECT_TRUE(store.ReadSince(0).empty());
            EXPECT_TRUE(store.LastAnswersPerCharacter(50).empty());
            EXPECT_FALSE(store.Clear());
        }
        EXPECT_EQ(Snapshot(file.parent_path()), before);
        holder.reset();
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_NE(messages.messages[0].find(bad.messagePart), std::string::npos) << messages.messages[0];
        EXPECT_NE(messages.messages[0].find(file.string()), std::string::npos) << messages.messages[0];
    }
}

TEST_F(HistoryStoreTest, AFileWhereTheFolderShouldBeGivesOneMessage) {
    std::ofstream(folder / "Zelbin") << "a file\n";
    HistoryStore store(file.string(), &reporter);
    store.Record(Answer(100, 'K', 'K', 500));
    EXPECT_FALSE(store.Commit());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].find("ne peut pas être créé"), std::string::npos);
    EXPECT_EQ(ReadBytes(folder / "Zelbin"), "a file\n");
}

// Root writes anywhere, so when the tests run as root the store runs in a child process that
// drops to the unprivileged "nobody" account. The file lies under the temporary folder, which
// that account can reach (the test's home cannot be entered by others). Either the file or only
// its folder is read-only (SQLite needs the folder for its -wal and -shm files); the message
// names the one that is.
TEST_F(HistoryStoreTest, AReadOnlyFileOrFolderGivesOneMessageNamingItAndStaysAsItWas) {
    struct Case {
        const char* name;
        bool fileWritable;
        const char* message;
    };
    const Case cases[] = {
        {"read-only file", false, "Le fichier d'historique "},
        {"read-only folder", true, "Le dossier « "},
    };
    std::string pattern = (fs::temp_directory_path() / "zelbin-history-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    fs::remove_all(folder);
    folder = pattern;
    file = folder / "Zelbin" / "history.sqlite";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::permissions(file.parent_path(), fs::perms::owner_all, fs::perm_options::add, ignoredError);
        fs::remove_all(file.parent_path());
        {
            HistoryStore store(file.string(), nullptr);
            store.Record(Answer(100, 'K', 'K', 500));
        }
        Raw(file).Exec("PRAGMA journal_mode=DELETE");
        const auto readable = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
        const auto enterable = readable | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
        const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        fs::permissions(folder, enterable);
        fs::permissions(file.parent_path(), enterable);
        fs::permissions(file, c.fileWritable ? readable | writable : readable);
        const std::string before = Snapshot(file.parent_path());
        const std::string expected = std::string(c.message) +
                                     (c.fileWritable ? file.parent_path().string() : "« " + file.string() + " »") +
                                     (c.fileWritable ? " » du fichier d'historique" : "") + " est en lecture seule.";
        const int result = InChild([this, &expected]() {
            if (::geteuid() == 0) {
                const passwd* nobody = ::getpwnam("nobody");
                if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) {
                    return 99;
                }
            }
            RecordingHistoryReporter messages;
            HistoryStore store(file.string(), &messages);
            store.Record(Answer(200, 'M', 'M', 500));
            const bool committed = store.Commit();
            const bool oneMessage = messages.messages.size() == 1 && messages.messages[0].starts_with(expected);
            for (const std::string& text : messages.messages) {
                std::fprintf(stderr, "message: %s\n", text.c_str());
            }
            return (committed ? 1 : 0) | (oneMessage ? 0 : 2);
        });
        if (result == 99) {
            GTEST_SKIP() << "cannot switch to an unprivileged account here";
        }
        EXPECT_EQ(result, 0) << "1: committed, 2: not the one message: " << expected;
        EXPECT_EQ(Snapshot(file.parent_path()), before);
    }
}

// A write that finds no room rolls back: the answers committed before stay, whole, and only the
// failed batch is lost; the next batches are tried again.
TEST_F(HistoryStoreTest, AFullDiskLosesOnlyTheFailedBatchAndLeavesTheFileWhole) {
    int64_t committed = 0;
    int failures = 0;
    {
        HistoryStore store(file.string(), &reporter);
        ASSERT_TRUE(store.IsAvailable());
        store.LimitPagesForTest(12);
        int64_t atMs = 0;
        for (int batch = 0; batch < 40; ++batch) {
            for (int i = 0; i < 25; ++i) {
                store.Record(Answer(++atMs, 'A' + i, 'A' + i, 400), 3);
            }
            if (store.Commit()) {
                committed += 25;
            } else {
                ++failures;
            }
        }
    }
    EXPECT_GT(committed, 0);
    EXPECT_GT(failures, 0);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].find("Le disque est plein"), std::string::npos);
    Raw raw(file);
    EXPECT_EQ(raw.Rows("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    EXPECT_EQ(raw.Rows("SELECT COUNT(*) FROM answers"), std::vector<std::string>{std::to_string(committed)});
    EXPECT_EQ(raw.Rows("SELECT COUNT(*) FROM lesson_answers"), std::vector<std::string>{std::to_string(committed)});
    HistoryStore again(file.string(), &reporter);
    EXPECT_EQ(again.ReadSince(0).size(), static_cast<size_t>(committed));
}

} // namespace
