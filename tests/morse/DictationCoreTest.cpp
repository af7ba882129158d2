// Tests of the GUI-free parts of the two dictation modes: the random pick, the
// classification of file bytes and the one-byte read.
#include "morse/ByteClassifier.h"
#include "morse/FileByteReader.h"
#include "morse/RandomPicker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

// ---- RandomPicker ----------------------------------------------------------------------

TEST(RandomPicker, SameSecondGivesSameCharacterWhateverWasDrawnBetween) {
    const std::time_t second = 1700000000;
    const int32_t first = RandomPicker::PickIndexAt(second);
    // Other users of the generator in between do not matter: every pick seeds anew.
    std::srand(12345);
    for (int i = 0; i < 17; ++i) {
        (void)std::rand();
    }
    EXPECT_EQ(RandomPicker::PickIndexAt(second), first);
}

TEST(RandomPicker, PickIsNextGeneratorValueAfterSeedingModulo36) {
    for (std::time_t second : {std::time_t{0}, std::time_t{1}, std::time_t{86399}, std::time_t{1767225600}}) {
        std::srand(static_cast<unsigned int>(second));
        const int expected = std::rand() % 36;
        EXPECT_EQ(RandomPicker::PickIndexAt(second), expected) << "second " << second;
    }
}

TEST(RandomPicker, EveryIndexIsReachableAndNoneOutsideTheTable) {
    std::set<int32_t> seen;
    for (std::time_t second = 1600000000; second < 1600000000 + 5000; ++second) {
        const int32_t index = RandomPicker::PickIndexAt(second);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 36);
        seen.insert(index);
    }
    EXPECT_EQ(seen.size(), 36u);
}

TEST(RandomPicker, PickIndexSeedsFromTheCurrentSecond) {
    // Retry when the second rolls over between the two clock reads.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const int32_t picked = RandomPicker::PickIndex();
        if (std::time(nullptr) != before) {
            continue;
        }
        EXPECT_EQ(picked, RandomPicker::PickIndexAt(before));
        return;
    }
    FAIL() << "the clock kept rolling over";
}

// ---- ByteClassifier --------------------------------------------------------------------

TEST(ByteClassifier, LettersOfEitherCaseAndDigitsSound) {
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(ByteClassifier::Classify(static_cast<unsigned char>(letters[i])), (ByteSlot{i, true}));
        EXPECT_EQ(ByteClassifier::Classify(static_cast<unsigned char>(letters[i] + 32)), (ByteSlot{i, true}));
    }
    const std::string digits = "0123456789";
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ByteClassifier::Classify(static_cast<unsigned char>(digits[i])), (ByteSlot{26 + i, true}));
    }
}

TEST(ByteClassifier, EveryOtherByteIsSilentWithIndexZero) {
    int sounding = 0;
    for (int b = 0; b <= 0xFF; ++b) {
        const bool letterOrDigit = (b >= 0x30 && b <= 0x39) || (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A);
        const ByteSlot slot = ByteClassifier::Classify(static_cast<unsigned char>(b));
        if (letterOrDigit) {
            ++sounding;
            continue;
        }
        EXPECT_EQ(slot, (ByteSlot{0, false})) << "byte " << b;
    }
    EXPECT_EQ(sounding, 62);
    // The neighbours of the ranges, and the whole upper half (accented letters of 8-bit sets).
    for (int b : {0x2F, 0x3A, 0x40, 0x5B, 0x60, 0x7B, 0x0D, 0x0A, 0x20, 0x80, 0xC9, 0xE9, 0xFF}) {
        EXPECT_FALSE(ByteClassifier::Classify(static_cast<unsigned char>(b)).sounds) << "byte " << b;
    }
}

// ---- FileByteReader --------------------------------------------------------------------

class FileByteReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("zelbin-reader-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path Write(const fs::path& name, const std::string& bytes) {
        const fs::path path = folder / name;
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path folder;
};

using Status = FileByteReader::Status;

TEST_F(FileByteReaderTest, ReadsEachOffsetThenEndOfFile) {
    const fs::path path = Write("five.txt", std::string("Ab1 ?"));
    const std::string expected = "Ab1 ?";
    for (int i = 0; i < 5; ++i) {
        const auto result = FileByteReader::ReadByteAt(path, i);
        ASSERT_EQ(result.status, Status::Byte);
        EXPECT_EQ(result.byte, static_cast<unsigned char>(expected[i]));
    }
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 5).status, Status::EndOfFile);
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 1000).status, Status::EndOfFile);
}

TEST_F(FileByteReaderTest, LineEndsAreNotTranslatedAndHighBytesComeThrough) {
    const fs::path path = Write("crlf.txt", std::string("A\r\nB\x80\xFF", 6));
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 1).byte, 0x0D);
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 2).byte, 0x0A);
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 3).byte, 'B');
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 4).byte, 0x80);
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 5).byte, 0xFF);
}

TEST_F(FileByteReaderTest, CtrlZReadsAsEndOfFile) {
    const fs::path path = Write("ctrlz.txt", std::string("A\x1A"
                                                         "B",
                                                         3));
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 0).status, Status::Byte);
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 1).status, Status::EndOfFile);
}

TEST_F(FileByteReaderTest, EmptyFileIsAtItsEnd) {
    const fs::path path = Write("empty.txt", "");
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 0).status, Status::EndOfFile);
}

TEST_F(FileByteReaderTest, MissingFileFolderEmptyPathAndNegativeOffsetFailToOpen) {
    EXPECT_EQ(FileByteReader::ReadByteAt(folder / "absent.txt", 0).status, Status::OpenFailed);
    // A multiple selection in the file dialog gives the folder: it must not read as an empty file.
    EXPECT_EQ(FileByteReader::ReadByteAt(folder, 0).status, Status::OpenFailed);
    EXPECT_EQ(FileByteReader::ReadByteAt(fs::path(), 0).status, Status::OpenFailed);
    const fs::path path = Write("x.txt", "X");
    EXPECT_EQ(FileByteReader::ReadByteAt(path, -1).status, Status::OpenFailed);
}

// FIFOs and /dev exist only on POSIX systems.
#ifndef _WIN32
TEST_F(FileByteReaderTest, AFifoOrADeviceFailsAtOnceWithoutWaitingForAWriter) {
    const fs::path fifo = folder / "tube";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto read = std::async(std::launch::async, [&] { return FileByteReader::ReadByteAt(fifo, 0).status; });
    if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Blocked in open: a writer lets it go, so that the test can end and say so.
        const int writer = ::open(fifo.c_str(), O_WRONLY);
        ::close(writer);
        read.wait();
        FAIL() << "reading a FIFO waited for a writer";
    }
    EXPECT_EQ(read.get(), Status::OpenFailed);
    EXPECT_EQ(FileByteReader::ReadByteAt("/dev/zero", 0).status, Status::OpenFailed);
}
#endif

TEST_F(FileByteReaderTest, DeletedThenRestoredFileReadsAgainAtTheSameOffset) {
    const fs::path path = Write("again.txt", "XYZ");
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 1).byte, 'Y');
    fs::remove(path);
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 1).status, Status::OpenFailed);
    Write("again.txt", "XYZ");
    const auto result = FileByteReader::ReadByteAt(path, 1);
    EXPECT_EQ(result.status, Status::Byte);
    EXPECT_EQ(result.byte, 'Y');
}

// Letters of no 8-bit code page: on Windows only the wide-character open finds this file.
TEST_F(FileByteReaderTest, NameOutsideEveryCodePageOpens) {
    const std::u8string name = u8"Морзе_モールス_Ω.txt";
    const fs::path path = Write(fs::path(name), "K");
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 0).byte, 'K');
    EXPECT_EQ(FileByteReader::ReadByteAt(path, 1).status, Status::EndOfFile);
}

TEST_F(FileByteReaderTest, LongPathWithAccentsOpens) {
    // Well over 300 characters, in folders whose UTF-8 names hold accented letters.
    fs::path deep = folder;
    const std::string segment = "Répertoire_très_profond_àéèêëîïôùûç_0123456789";
    while (deep.string().size() < 420) {
        deep /= fs::path(std::u8string(reinterpret_cast<const char8_t*>(segment.data()), segment.size()));
    }
    fs::create_directories(deep);
    const std::string name = "dictée_élève.txt";
    const fs::path file = deep / fs::path(std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size()));
    {
        std::ofstream out(file, std::ios::binary);
        out << "Zu";
    }
    ASSERT_GT(file.string().size(), 300u);
    EXPECT_EQ(FileByteReader::ReadByteAt(file, 0).byte, 'Z');
    EXPECT_EQ(FileByteReader::ReadByteAt(file, 1).byte, 'u');
    EXPECT_EQ(FileByteReader::ReadByteAt(file, 2).status, Status::EndOfFile);
    // The same file by a detour through "..": on Windows a name this long opens in the extended
    // form, which must have its ".." resolved first.
    EXPECT_EQ(FileByteReader::ReadByteAt(deep / ".." / deep.filename() / file.filename(), 1).byte, 'u');
    // Removed here, deepest first: the MinGW runtime's folder listing, which remove_all uses on
    // Windows, stops at MAX_PATH characters.
    fs::remove(file);
    for (fs::path level = deep; level != folder; level = level.parent_path()) {
        fs::remove(level);
    }
}
