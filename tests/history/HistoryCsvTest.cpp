// The CSV export of the history: its exact text, read back from disk, and a failed write.
#include "history/HistoryCsv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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
