// The CSV export of the history: its exact text, read back from disk, the targets it writes to
// or refuses, and a failed write.
#include "history/HistoryCsv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#ifndef _WIN32
#include "tests/support/ChildProcess.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

fs::path ScratchFolder() {
    const char* home = std::getenv("HOME");
    const fs::path folder = (home != nullptr ? fs::path(home) : fs::temp_directory_path()) / "csv-test";
    fs::create_directories(folder);
    return folder;
}

} // namespace

TEST(HistoryCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"random", "random"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {"dictée", "dictée"},
        {"\"", "\"\"\"\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HistoryCsv::Field(c.in), c.out) << c.in;
    }
}

TEST(HistoryCsv, OneRowPerAnswerUnderTheHeader) {
    std::vector<AnswerRecord> records(3);
    records[0] = {1765116000123, "random", 'Q', 'Y', 812};
    records[1] = {1765116003123, "random", 'K', 0, -1};
    records[2] = {-5, "a,\"b\"", '7', '7', 0};
    EXPECT_EQ(HistoryCsv::Format(records), "at_ms,mode,played,typed,response_ms\r\n"
                                           "1765116000123,random,Q,Y,812\r\n"
                                           "1765116003123,random,K,,\r\n"
                                           "-5,\"a,\"\"b\"\"\",7,7,0\r\n");
    EXPECT_EQ(HistoryCsv::Format({}), "at_ms,mode,played,typed,response_ms\r\n");
}

TEST(HistoryCsv, WriteReplacesTheFileAndAFailedWriteLeavesItAlone) {
    const fs::path folder = ScratchFolder();
    const fs::path path = folder / "historique.csv";
    {
        std::ofstream old(path);
        old << "old content";
    }
    const std::vector<AnswerRecord> records = {{1000, "random", 'E', 'T', 120}};
    std::string error;
    ASSERT_TRUE(HistoryCsv::Write(path.string(), records, error)) << error;
    EXPECT_EQ(ReadAll(path), HistoryCsv::Format(records));
    EXPECT_FALSE(fs::exists(path.string() + ".part"));

    // A folder in place of the file, and a folder that does not exist.
    const fs::path taken = folder / "taken";
    fs::create_directories(taken / "inside");
    EXPECT_FALSE(HistoryCsv::Write(taken.string(), records, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(taken / "inside"));
    EXPECT_FALSE(fs::exists(taken.string() + ".part"));
    error.clear();
    EXPECT_FALSE(HistoryCsv::Write((folder / "missing" / "h.csv").string(), records, error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

#ifndef _WIN32
// What lies at the chosen path decides: nothing or a regular file is written through a file
// beside it and a rename (a replaced file keeps its permissions); a link leads to the file it
// names, and stays a link; a device, a FIFO or a folder is refused and left as it was. A write
// that fails (here a file size limit, in a child process) leaves the old file and no partial one.
TEST(HistoryCsv, TheTargetDecidesWhatIsWritten) {
    const fs::path folder = ScratchFolder() / "targets";
    const std::vector<AnswerRow> rows = {{"1000", "copy", "<AR>", "é", ""}};
    const std::string text = HistoryCsv::FormatRows(rows);
    ASSERT_EQ(text, "at_ms,mode,played,typed,response_ms\r\n1000,copy,<AR>,é,\r\n");
    struct Case {
        const char* name;
        std::function<fs::path()> make; // makes what lies at the path, returns the path
        const char* error;              // part of the message; null when written
        std::function<void(const fs::path&)> check;
    };
    const auto oldFile = [&folder](const char* name) {
        std::ofstream(folder / name) << "old";
        fs::permissions(folder / name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        return folder / name;
    };
    const Case cases[] = {
        {"nothing there", [&] { return folder / "new.csv"; }, nullptr,
         [&](const fs::path& path) { EXPECT_EQ(ReadAll(path), text); }},
        {"a regular file", [&] { return oldFile("old.csv"); }, nullptr,
         [&](const fs::path& path) {
             EXPECT_EQ(ReadAll(path), text);
             EXPECT_EQ(fs::status(path).permissions(),
                       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
         }},
        {"a link to a regular file",
         [&] {
             oldFile("linked.csv");
             fs::create_symlink("linked.csv", folder / "link.csv");
             return folder / "link.csv";
         },
         nullptr,
         [&](const fs::path& path) {
             EXPECT_TRUE(fs::is_symlink(fs::symlink_status(path)));
             EXPECT_EQ(ReadAll(folder / "linked.csv"), text);
         }},
        {"a link to nothing yet",
         [&] {
             fs::create_symlink(folder / "later.csv", folder / "dangling.csv");
             return folder / "dangling.csv";
         },
         nullptr, [&](const fs::path&) { EXPECT_EQ(ReadAll(folder / "later.csv"), text); }},
        {"a device", [] { return fs::path("/dev/full"); }, "n'est pas un fichier ordinaire",
         [](const fs::path& path) { EXPECT_TRUE(fs::is_character_file(path)); }},
        {"a link to a device",
         [&] {
             fs::create_symlink("/dev/full", folder / "full.csv");
             return folder / "full.csv";
         },
         "n'est pas un fichier ordinaire", [](const fs::path&) { EXPECT_FALSE(fs::exists("/dev/full.part")); }},
        {"a FIFO",
         [&] {
             ::mkfifo((folder / "fifo.csv").c_str(), 0600);
             return folder / "fifo.csv";
         },
         "n'est pas un fichier ordinaire", [](const fs::path& path) { EXPECT_TRUE(fs::is_fifo(path)); }},
        {"a write beyond the file size limit", [&] { return oldFile("limited.csv"); }, "Impossible d'écrire",
         [](const fs::path& path) { EXPECT_EQ(ReadAll(path), "old"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        const fs::path path = c.make();
        std::string error;
        bool written = false;
        if (std::string(c.name).find("limit") != std::string::npos) {
            const int status = InChild([&] {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{16, 16};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                std::string childError;
                const bool ok = HistoryCsv::WriteRows(path.string(), rows, childError);
                return !ok && childError.find(c.error) != std::string::npos &&
                               childError.find(std::strerror(EFBIG)) != std::string::npos
                           ? 0
                           : 1;
            });
            EXPECT_EQ(status, 0);
        } else {
            written = HistoryCsv::WriteRows(path.string(), rows, error);
            EXPECT_EQ(written, c.error == nullptr) << error;
            EXPECT_TRUE(c.error == nullptr || error.find(c.error) != std::string::npos) << error;
        }
        c.check(path);
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
        }
    }
}
#endif
