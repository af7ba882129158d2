// The file dictation without a window: a byte per tick, letters and digits sounding, every
// other byte silent, the end of the file, a file that cannot be read, Stop and a new path.
#include "practice/FileDictation.h"
#include "tests/practice/PracticeTestSupport.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class FileDictationTest : public PracticeTest {
protected:
    FileDictationTest() : dictation(table, synthesiser) {
        folder = fs::temp_directory_path() / ("zelbin-file-dictation-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    ~FileDictationTest() override { fs::remove_all(folder); }

    fs::path Write(const std::string& name, const std::string& bytes) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // One slot: what the step gave, the index loaded, whether it sounds.
    struct Slot {
        FileDictation::Step step;
        int32_t index;
        bool sounds;
    };
    Slot Take(FileDictation::Step step) {
        const bool sounds = Sounding();
        return {step, dictation.CurrentIndex(), sounds};
    }

    fs::path folder;
    FileDictation dictation;
};

using Step = FileDictation::Step;

constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"; // by index

TEST_F(FileDictationTest, EachByteIsOneSlotUntilTheEnd) {
    // Capital A, small b, digit 1, space, '?', CR, LF, a byte above 0x7F, then the end.
    dictation.SetPath(Write("text.txt", std::string("Ab1 ?\r\n\xE9", 8)));
    const Slot expected[] = {{Step::Sounded, 0, true}, {Step::Sounded, 1, true}, {Step::Sounded, 27, true},
                             {Step::Silent, 0, false}, {Step::Silent, 0, false}, {Step::Silent, 0, false},
                             {Step::Silent, 0, false}, {Step::Silent, 0, false}, {Step::EndOfFile, 0, false}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Slot slot = Take(i == 0 ? dictation.Play() : dictation.Tick());
        EXPECT_EQ(slot.step, expected[i].step) << i;
        EXPECT_EQ(slot.index, expected[i].index) << i;
        EXPECT_EQ(slot.sounds, expected[i].sounds) << i;
        EXPECT_EQ(Loaded(), kMorse[expected[i].index]) << i; // a silent slot leaves 'A' loaded
    }
    // The end changes nothing else: still active, the offset where it was.
    EXPECT_TRUE(dictation.Active());
    EXPECT_EQ(dictation.Offset(), 8);
    EXPECT_EQ(dictation.Tick(), Step::EndOfFile);
    EXPECT_EQ(dictation.Offset(), 8);
}

// One slot per UTF-8 character, silent unless it is a letter or a digit; a byte that does not
// begin a valid character (strict UTF-8: no overlong form, no surrogate, nothing cut short) is a
// slot of its own. Slots: a letter or digit sounding, '_' silent; then the offset after each.
TEST_F(FileDictationTest, EachUtf8CharacterIsOneSlotAndEachInvalidByteOne) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string slots;
        std::vector<int32_t> offsets;
    };
    const Case cases[] = {
        {"é between letters",
         "A\xC3\xA9"
         "1",
         "A_1",
         {1, 3, 4}},
        {"three- and four-byte characters",
         "\xE2\x82\xAC\xF0\x9D\x84\x9E"
         "K",
         "__K",
         {3, 7, 8}},
        {"the byte-order mark",
         "\xEF\xBB\xBF"
         "E",
         "_E",
         {3, 4}},
        {"a lead byte without its continuation",
         "\xC3"
         "A",
         "_A",
         {1, 2}},
        {"a character cut short by the end", "T\xE2\x82", "T__", {1, 2, 3}},
        {"an overlong form", "\xC0\x80", "__", {1, 2}},
        {"a surrogate", "\xED\xA0\x80", "___", {1, 2, 3}},
        {"a lone continuation byte and Latin-1", "\x80\xE9", "__", {1, 2}},
        {"a character cut short by Ctrl-Z", "\xC3\x1A\xA9", "_", {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dictation.Stop();
        dictation.SetPath(Write("utf8.txt", c.bytes));
        std::string slots;
        std::vector<int32_t> offsets;
        for (Step step = dictation.Play(); step != Step::EndOfFile && slots.size() < 16; step = dictation.Tick()) {
            slots += step == Step::Sounded ? kCharacters[dictation.CurrentIndex()] : '_';
            offsets.push_back(dictation.Offset());
        }
        EXPECT_EQ(slots, c.slots);
        EXPECT_EQ(offsets, c.offsets);
    }
}

TEST_F(FileDictationTest, CtrlZEndsTheTextAndAnEmptyFileStartsWithASilentSlot) {
    dictation.SetPath(Write("ctrlz.txt", "E\x1AT"));
    EXPECT_EQ(dictation.Play(), Step::Sounded);
    EXPECT_EQ(dictation.Tick(), Step::EndOfFile);

    dictation.Stop();
    dictation.SetPath(Write("empty.txt", ""));
    EXPECT_EQ(dictation.Play(), Step::Silent); // the end is not looked for at Play
    EXPECT_TRUE(dictation.Active());
    EXPECT_EQ(dictation.Offset(), 1);
    EXPECT_EQ(dictation.Tick(), Step::EndOfFile);
}

TEST_F(FileDictationTest, AFileThatCannotBeReadChangesNothing) {
    // No path, a missing file and a folder: Play does nothing at all.
    for (const fs::path& path : {fs::path(), folder / "missing.txt", folder}) {
        dictation.SetPath(path);
        EXPECT_EQ(dictation.Play(), Step::Unreadable) << path;
        EXPECT_FALSE(dictation.Active());
        EXPECT_EQ(dictation.Offset(), 0);
    }
    // Gone at a tick: the same offset is tried again and the dictation goes on from there.
    const fs::path path = Write("abc.txt", "ABC");
    dictation.SetPath(path);
    dictation.Play();
    fs::rename(path, folder / "away.txt");
    EXPECT_EQ(dictation.Tick(), Step::Unreadable);
    EXPECT_EQ(dictation.Offset(), 1);
    EXPECT_EQ(dictation.CurrentIndex(), 0);
    fs::rename(folder / "away.txt", path);
    EXPECT_EQ(dictation.Tick(), Step::Sounded);
    EXPECT_EQ(dictation.CurrentIndex(), 1);
}

TEST_F(FileDictationTest, OnlyRegularFilesAreFilesToDictate) {
    EXPECT_TRUE(FileDictation::IsNotAFile(folder));
    EXPECT_FALSE(FileDictation::IsNotAFile(Write("text.txt", "A")));
    EXPECT_FALSE(FileDictation::IsNotAFile(folder / "not-yet.txt")); // may appear later
#ifndef _WIN32
    // FIFOs, /dev and symbolic links as a user makes them exist on POSIX systems.
    const fs::path fifo = folder / "tube";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(FileDictation::IsNotAFile(fifo));
    EXPECT_TRUE(FileDictation::IsNotAFile("/dev/null"));
    fs::create_symlink(folder / "text.txt", folder / "link.txt");
    EXPECT_FALSE(FileDictation::IsNotAFile(folder / "link.txt"));
#endif
}

TEST_F(FileDictationTest, StopRewindsAndANewPathIsReadAtTheCurrentOffset) {
    dictation.SetPath(Write("first.txt", "ABCD"));
    dictation.Play();
    dictation.Tick();
    dictation.SetPath(Write("second.txt", "WXYZ"));
    dictation.Tick();
    EXPECT_EQ(dictation.CurrentIndex(), 'Y' - 'A');
    dictation.Stop();
    EXPECT_FALSE(dictation.Active());
    EXPECT_EQ(dictation.Offset(), 0);
    dictation.Play();
    EXPECT_EQ(dictation.CurrentIndex(), 'W' - 'A');
}

} // namespace
