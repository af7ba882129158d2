#include "settings/IniFileStore.h"
#include "settings/DefaultRegistryStore.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsPersistence.h"
#include "tests/settings/RecordingReporter.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <pwd.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

const std::string kMessage = "Unable to write configuration to the registry";

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::set<std::string> Entries(const fs::path& directory) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Each test works in a fresh temporary folder: <tmp>/config is the configuration home.
class IniFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zelbin-settings.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        // Readable by everyone, so that an unprivileged child process can reach it.
        fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        configHome = root / "config";
        productDir = configHome / "Zelbin";
        file = productDir / "Configuration.ini";
    }

    void TearDown() override {
        std::error_code ignored;
        for (const fs::path& p : fs::recursive_directory_iterator(root, ignored)) {
            fs::permissions(p, fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(root, ignored);
    }

    fs::path root;
    fs::path configHome;
    fs::path productDir;
    fs::path file;
};

TEST_F(IniFileStoreTest, TheDirectoryAppearsAtLoadAndTheFileOnlyAtTheFirstWrite) {
    configHome = root / "not" / "yet" / "there";
    productDir = configHome / "Zelbin";
    IniFileStore store(configHome.string());
    Settings s;
    s.volume = 0.9f;
    LoadSettings(store, s);
    EXPECT_EQ(s.volume, 0.3f);
    EXPECT_EQ(s.frequency, 440.0f);
    ASSERT_TRUE(fs::is_directory(productDir));
    EXPECT_EQ(fs::status(productDir).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_TRUE(Entries(productDir).empty());

    RecordingReporter reporter;
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(Entries(productDir), (std::set<std::string>{"Configuration.ini"}));
    EXPECT_EQ(ReadText(productDir / "Configuration.ini"), "[Configuration]\nVolume=300\n");
}

TEST_F(IniFileStoreTest, ExactTextAfterEachMoment) {
    IniFileStore store(configHome.string());
    RecordingReporter reporter;
    Settings s;
    ASSERT_TRUE(SaveConfiguration(store, s, reporter));
    EXPECT_EQ(ReadText(file), "[Configuration]\n"
                              "Frequency=440\n"
                              "DriverID=0\n"
                              "DIHLenght=100\n"
                              "DAHLenght=300\n"
                              "PauseLenght=100\n"
                              "DicteeLenght=3000\n");
    s.volume = 0.29f;
    s.frequency = 1000.0f;
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_EQ(ReadText(file), "[Configuration]\n"
                              "Frequency=440\n"
                              "DriverID=0\n"
                              "DIHLenght=100\n"
                              "DAHLenght=300\n"
                              "PauseLenght=100\n"
                              "DicteeLenght=3000\n"
                              "Volume=290\n"); // 0.29f, just under 0.29, to the nearest thousandth
    s.driverId = -7;
    s.dictationIntervalMs = 10000;
    ASSERT_TRUE(SaveConfiguration(store, s, reporter));
    EXPECT_EQ(ReadText(file), "[Configuration]\n"
                              "Frequency=1000\n"
                              "DriverID=-7\n"
                              "DIHLenght=100\n"
                              "DAHLenght=300\n"
                              "PauseLenght=100\n"
                              "DicteeLenght=10000\n"
                              "Volume=290\n");
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(Entries(productDir), (std::set<std::string>{"Configuration.ini"})) << "no temporary file is left";
}

TEST_F(IniFileStoreTest, ForeignLinesSurviveASave) {
    const std::string before = "; written by hand\r\n"
                               "[Window]\r\n"
                               "Volume=5\r\n"
                               "\r\n"
                               "[Configuration]\r\n"
                               "Theme=dark\r\n"
                               "Frequency = 650\r\n"
                               "# Volume=1\r\n"
                               "[Extra]\r\n"
                               "Keep=me";
    WriteText(file, before);
    IniFileStore store(configHome.string());
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.frequency, 650.0f);
    EXPECT_EQ(s.volume, 0.3f) << "[Window] and the comment are not this section's Volume";
    s.volume = 0.5f;
    RecordingReporter reporter;
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_EQ(ReadText(file), "; written by hand\r\n"
                              "[Window]\r\n"
                              "Volume=5\r\n"
                              "\r\n"
                              "[Configuration]\r\n"
                              "Theme=dark\r\n"
                              "Frequency = 650\r\n"
                              "Volume=500\r\n"
                              "# Volume=1\r\n"
                              "[Extra]\r\n"
                              "Keep=me");
}

TEST_F(IniFileStoreTest, GarbageLoadsDefaultsForTheBadValuesKeepsTheGoodOnesAndSurvivesAWrite) {
    std::string binary;
    for (int i = 0; i < 256; ++i) {
        binary += static_cast<char>(i == '\n' ? 0 : i);
    }
    const std::string hugeLine(300000, 'x');
    const std::string before = binary + "\n" + "[Configuration]\n" + hugeLine + "\n" + "Frequency=650\n" +
                               "DAHLenght=12abc\n" + "DIHLenght=99999999999\n" + "PauseLenght=70\n" +
                               "DriverID=\xff\xfe\n" + "Volume=800" + "\0"s + "1\n" + "DicteeLenght=" + hugeLine +
                               "\n" + "=\n[\n]\n\xEF\xBB\xBF\n";
    WriteText(file, before);
    IniFileStore store(configHome.string());
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.frequency, 650.0f);
    EXPECT_EQ(s.pauseMs, 70);
    EXPECT_EQ(s.dahMs, 300);
    EXPECT_EQ(s.dihMs, 100);
    EXPECT_EQ(s.driverId, 0);
    EXPECT_EQ(s.volume, 0.3f);
    EXPECT_EQ(s.dictationIntervalMs, 3000);
    EXPECT_EQ(ReadText(file), before) << "loading writes nothing";

    // Writing one value changes that value's line only.
    RecordingReporter reporter;
    s.dahMs = 250;
    ASSERT_TRUE(SaveConfiguration(store, s, reporter));
    std::string expected = before;
    const auto replace = [&expected](const std::string& from, const std::string& to) {
        const size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("DAHLenght=12abc\n", "DAHLenght=250\n");
    replace("DIHLenght=99999999999\n", "DIHLenght=100\n");
    replace("DriverID=\xff\xfe\n", "DriverID=0\n");
    replace("DicteeLenght=" + hugeLine + "\n", "DicteeLenght=3000\n");
    EXPECT_EQ(ReadText(file), expected);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(IniFileStoreTest, AnOversizedFileHoldsNoValuesAndIsNeverRewritten) {
    // Exactly 1 MiB still loads.
    std::string fits = "[Configuration]\nFrequency=650\n;";
    fits.resize(1024 * 1024, ';');
    WriteText(file, fits);
    {
        IniFileStore store(configHome.string());
        Settings s;
        LoadSettings(store, s);
        EXPECT_EQ(s.frequency, 650.0f);
    }
    std::string before = "[Configuration]\nFrequency=650\n";
    before += std::string(static_cast<size_t>(IniFileStore::kMaxFileBytes), ';');
    WriteText(file, before);
    IniFileStore store(configHome.string());
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.frequency, 440.0f);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveVolume(store, s, reporter));
    EXPECT_FALSE(SaveConfiguration(store, s, reporter));
    EXPECT_EQ(reporter.messages, (std::vector<std::string>{kMessage, kMessage}));
    EXPECT_TRUE(ReadText(file) == before);
    EXPECT_EQ(Entries(productDir), (std::set<std::string>{"Configuration.ini"}));
}

// Drops to the unprivileged "nobody" account when running as root, who writes anywhere.
// False when that cannot be done here.
bool DropRoot() {
    if (::geteuid() != 0) {
        return true;
    }
    const passwd* nobody = ::getpwnam("nobody");
    return nobody != nullptr && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
}

// Mounts `directory` read-only in a mount namespace of this process's own. False when the
// system does not allow it.
bool MountReadOnly(const fs::path& directory) {
    if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount(directory.c_str(), directory.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, directory.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

// Settings the user may read but not change: they are loaded, and every save fails with the
// message and leaves the file byte for byte as it was. The files belong to the account that
// runs the store (nobody, when the tests run as root).
TEST_F(IniFileStoreTest, ReadOnlySettingsAreLoadedAndNeverChanged) {
    const std::string before = "[Configuration]\nFrequency=650\nVolume=500\nTheme=dark\n";
    enum class ReadOnly { DirectoryMode555, FileMode444, Mount };
    const struct {
        const char* what;
        ReadOnly how;
    } kCases[] = {
        {"folder mode 555", ReadOnly::DirectoryMode555},
        {"file mode 444", ReadOnly::FileMode444},
        {"read-only mount", ReadOnly::Mount},
    };
    constexpr int kCannotSetUp = 99;
    const passwd* nobody = ::getpwnam("nobody");
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(productDir);
        WriteText(file, before);
        if (::geteuid() == 0 && c.how != ReadOnly::Mount) {
            ASSERT_NE(nobody, nullptr);
            ASSERT_EQ(::chown(productDir.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
            ASSERT_EQ(::chown(file.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        ::chmod(productDir.c_str(), c.how == ReadOnly::DirectoryMode555 ? 0555 : 0755);
        ::chmod(file.c_str(), c.how == ReadOnly::FileMode444 ? 0444 : 0644);

        const int result = InChild([&]() {
            const bool ready = c.how == ReadOnly::Mount ? MountReadOnly(productDir) : DropRoot();
            if (!ready) {
                return kCannotSetUp;
            }
            IniFileStore store(configHome.string());
            Settings s;
            LoadSettings(store, s);
            const bool loaded = s.frequency == 650.0f && s.volume == 0.5f;
            RecordingReporter reporter;
            s.volume = 0.1f;
            const bool volumeSaved = SaveVolume(store, s, reporter);
            const bool configurationSaved = SaveConfiguration(store, s, reporter);
            const bool reported = reporter.messages == std::vector<std::string>{kMessage, kMessage};
            return (volumeSaved ? 1 : 0) | (configurationSaved ? 2 : 0) | (reported ? 0 : 4) | (loaded ? 0 : 8);
        });
        if (result == kCannotSetUp) {
            std::cout << "[ SKIPPED  ] " << c.what << ": not possible on this system\n";
            continue;
        }
        EXPECT_EQ(result, 0) << "1: volume saved, 2: configuration saved, 4: messages differ, 8: values not loaded";
        EXPECT_EQ(ReadText(file), before);
        EXPECT_EQ(Entries(productDir), (std::set<std::string>{"Configuration.ini"}));
    }
}

// Works for root too: no directory can be made below a regular file.
TEST_F(IniFileStoreTest, AConfigurationHomeThatIsAFileGivesTheMessageAndLosesNothing) {
    WriteText(configHome, "not a directory\n");
    IniFileStore store(configHome.string());
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.frequency, 440.0f);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveVolume(store, s, reporter));
    EXPECT_FALSE(SaveConfiguration(store, s, reporter));
    EXPECT_EQ(reporter.messages, (std::vector<std::string>{kMessage, kMessage}));
    EXPECT_EQ(ReadText(configHome), "not a directory\n");
}

TEST_F(IniFileStoreTest, ADirectoryInPlaceOfTheFileGivesTheMessageAndLosesNothing) {
    WriteText(file / "inside", "kept\n");
    IniFileStore store(configHome.string());
    Settings s;
    LoadSettings(store, s);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveVolume(store, s, reporter));
    EXPECT_EQ(reporter.messages, (std::vector<std::string>{kMessage}));
    EXPECT_EQ(ReadText(file / "inside"), "kept\n");
}

TEST_F(IniFileStoreTest, APipeInPlaceOfTheFileNeverStallsTheProgram) {
    fs::create_directories(productDir);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    IniFileStore store(configHome.string());
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.volume, 0.3f);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveVolume(store, s, reporter));
    EXPECT_EQ(reporter.messages, (std::vector<std::string>{kMessage}));
    EXPECT_TRUE(fs::is_fifo(file));
}

TEST_F(IniFileStoreTest, AWriteThatFailsBeforeTheReplaceLeavesThePreviousFileWhole) {
    const std::string before = "[Configuration]\nFrequency=650\nVolume=800\n";
    WriteText(file, before);
    IniFileStore store(configHome.string());
    int hookCalls = 0;
    store.SetBeforeReplaceHook([&]() {
        ++hookCalls;
        return false;
    });
    RegistryKey key(store);
    ASSERT_EQ(key.OpenKey(kRegistryCurrentUser, "Software\\Zelbin"), 0);
    ASSERT_EQ(key.OpenSubKey("Configuration"), 0);
    const uint8_t volume[4] = {0x2C, 0x01, 0, 0};
    EXPECT_NE(key.SetValue("Volume", kRegistryDword, volume, 4), 0);
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(ReadText(file), before);
    EXPECT_EQ(Entries(productDir), (std::set<std::string>{"Configuration.ini"}));
}

TEST_F(IniFileStoreTest, AProcessKilledBeforeTheReplaceLeavesThePreviousFileWhole) {
    const std::string before = "[Configuration]\nFrequency=650\nVolume=800\n";
    WriteText(file, before);
    const int result = InChild([this]() {
        IniFileStore store(configHome.string());
        store.SetBeforeReplaceHook([]() -> bool { ::_exit(42); });
        RecordingReporter reporter;
        SaveVolume(store, Settings{}, reporter);
        return 0;
    });
    ASSERT_EQ(result, 42) << "the child died inside the write";
    EXPECT_EQ(ReadText(file), before);

    // The next run reads the old values and writes over them normally.
    IniFileStore store(configHome.string());
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.volume, 0.8f);
    RecordingReporter reporter;
    s.volume = 0.4f;
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_EQ(ReadText(file), "[Configuration]\nFrequency=650\nVolume=400\n");
}

// Sets the modification time of `path` (not of a link's target) `ageS` seconds back.
void Age(const fs::path& path, int ageS) {
    const timespec times[2] = {{::time(nullptr) - ageS, 0}, {::time(nullptr) - ageS, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// The temporaries of writers killed before their rename are removed by the next write once
// they are old enough; nothing else is.
TEST_F(IniFileStoreTest, AWriteRemovesStaleTemporariesOfTheFileAndNothingElse) {
    WriteText(file, "[Configuration]\nVolume=800\n");
    for (int kill = 0; kill < 3; ++kill) {
        ASSERT_EQ(InChild([this]() {
                      IniFileStore store(configHome.string());
                      store.SetBeforeReplaceHook([]() -> bool { ::_exit(42); });
                      RecordingReporter reporter;
                      SaveVolume(store, Settings{}, reporter);
                      return 0;
                  }),
                  42);
    }
    std::set<std::string> killed = Entries(productDir);
    killed.erase("Configuration.ini");
    ASSERT_EQ(killed.size(), 3u) << "each killed write leaves its temporary";
    for (const std::string& name : killed) {
        Age(productDir / name, 11);
    }
    std::set<std::string> kept = {
        "Configuration.ini",
        "Configuration.ini.Fresh1",  // a temporary younger than 10 s
        "Configuration.ini.Abc12",   // 5 characters after the dot
        "Configuration.ini.Abc1234", // 7
        "Configuration.ini.Ab-123",  // not a character of mkostemp
        "Configuration.ini.bak",
        "Configuration.iniAbc123",  // no dot
        "Other.ini.Abc123",         // another file's
        "Configuration.ini.Dir123", // a directory
        "Configuration.ini.Lnk123", // a link
        "Configuration.ini.Lnk456", // a link to an old file of this user
    };
    WriteText(root / "old", "x");
    Age(root / "old", 3600);
    for (const std::string& name : kept) {
        const fs::path path = productDir / name;
        if (name == "Configuration.ini.Dir123") {
            fs::create_directory(path);
        } else if (name == "Configuration.ini.Lnk123") {
            fs::create_symlink(root / "elsewhere", path);
        } else if (name == "Configuration.ini.Lnk456") {
            fs::create_symlink(root / "old", path);
        } else if (name != "Configuration.ini") {
            WriteText(path, "x");
        }
        if (name != "Configuration.ini.Fresh1") {
            Age(path, 3600);
        }
    }
    Age(productDir / "Configuration.ini.Fresh1", 5);
    // A stale temporary of another user (only root can make one) is not this store's.
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() == 0 && nobody != nullptr) {
        WriteText(productDir / "Configuration.ini.Usr123", "x");
        ASSERT_EQ(::chown((productDir / "Configuration.ini.Usr123").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        Age(productDir / "Configuration.ini.Usr123", 3600);
        kept.insert("Configuration.ini.Usr123");
    }

    IniFileStore store(configHome.string());
    RecordingReporter reporter;
    ASSERT_TRUE(SaveVolume(store, Settings{}, reporter));
    EXPECT_EQ(Entries(productDir), kept);
    EXPECT_TRUE(fs::exists(root / "old"));
    EXPECT_EQ(ReadText(file), "[Configuration]\nVolume=300\n");
}

TEST_F(IniFileStoreTest, TwoInstancesKeepEachOthersValues) {
    IniFileStore first(configHome.string());
    IniFileStore second(configHome.string());
    Settings a;
    LoadSettings(first, a);
    Settings b = a;
    b.frequency = 700.0f;
    RecordingReporter reporter;
    ASSERT_TRUE(SaveConfiguration(second, b, reporter));
    a.volume = 0.6f;
    ASSERT_TRUE(SaveVolume(first, a, reporter));
    Settings loaded;
    LoadSettings(first, loaded);
    EXPECT_EQ(loaded.frequency, 700.0f);
    EXPECT_EQ(loaded.volume, 0.6f);
}

TEST_F(IniFileStoreTest, ConcurrentWritersLoseNoValue) {
    WriteText(file, "");
    const int rounds = 25;
    const auto writer = [this](const char* name) {
        return [this, name]() {
            IniFileStore store(configHome.string());
            for (int32_t i = 1; i <= rounds; ++i) {
                RegistryKey key(store);
                const uint8_t bytes[4] = {static_cast<uint8_t>(i), 0, 0, 0};
                if (key.OpenKey(kRegistryCurrentUser, "Software\\Zelbin") != 0 ||
                    key.OpenSubKey("Configuration") != 0 || key.SetValue(name, kRegistryDword, bytes, 4) != 0) {
                    return 1;
                }
            }
            return 0;
        };
    };
    const pid_t a = ::fork();
    if (a == 0) {
        ::_exit(writer("A")());
    }
    const int b = InChild(writer("B"));
    int statusA = 0;
    ASSERT_EQ(::waitpid(a, &statusA, 0), a);
    ASSERT_TRUE(WIFEXITED(statusA));
    EXPECT_EQ(WEXITSTATUS(statusA), 0);
    EXPECT_EQ(b, 0);
    const std::string text = ReadText(file);
    EXPECT_NE(text.find("A=" + std::to_string(rounds) + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("B=" + std::to_string(rounds) + "\n"), std::string::npos) << text;
}

TEST_F(IniFileStoreTest, StatusesOfTheStore) {
    IniFileStore store(configHome.string());
    RegistryHandle product = 0;
    EXPECT_EQ(store.OpenKey(kRegistryCurrentUser, "Software\\Zelbin", &product), kRegistryNotFound);
    ASSERT_EQ(store.CreateKey(kRegistryCurrentUser, "Software\\Zelbin", &product), 0);
    RegistryHandle sub = 0;
    EXPECT_EQ(store.OpenKey(product, "Configuration", &sub), kRegistryNotFound);
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(store.CreateKey(product, "Configuration", &sub), 0);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(ReadText(file), "") << "the subkey is created empty";

    // Names that would leave the product directory are refused.
    RegistryHandle other = 0;
    EXPECT_NE(store.CreateKey(kRegistryCurrentUser, "Software\\..", &other), 0);
    EXPECT_NE(store.CreateKey(kRegistryCurrentUser, "Elsewhere\\Zelbin", &other), 0);
    EXPECT_NE(store.CreateKey(product, "../Configuration", &other), 0);
    EXPECT_NE(store.CreateKey(sub, "Deeper", &other), 0);

    WriteText(file, "[Configuration]\nGood=-5\nBad=12abc\n");
    uint8_t data[4] = {9, 9, 9, 9};
    uint32_t size = 2;
    uint32_t type = 0;
    EXPECT_EQ(store.QueryValue(sub, "Good", &type, data, &size), kRegistryMoreData);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[0], 9) << "nothing is written into a buffer that is too small";
    EXPECT_EQ(data[2], 9);
    size = 4;
    EXPECT_EQ(store.QueryValue(sub, "Good", &type, data, &size), 0);
    EXPECT_EQ(type, kRegistryDword);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[0], 0xFB);
    EXPECT_EQ(data[3], 0xFF);
    EXPECT_EQ(store.QueryValue(sub, "Bad", &type, data, &size), kRegistryInvalidData);
    EXPECT_EQ(store.QueryValue(sub, "Missing", &type, data, &size), kRegistryNotFound);

    const uint8_t four[4] = {1, 0, 0, 0};
    EXPECT_EQ(store.SetValue(sub, "Text", 1 /* REG_SZ */, four, 4), kRegistryInvalidParameter);
    EXPECT_EQ(store.SetValue(sub, "Short", kRegistryDword, four, 2), kRegistryInvalidParameter);
    EXPECT_EQ(store.SetValue(sub, "A=B", kRegistryDword, four, 4), kRegistryInvalidParameter);
    EXPECT_EQ(store.SetValue(product, "Volume", kRegistryDword, four, 4), kRegistryInvalidParameter);
    EXPECT_EQ(ReadText(file), "[Configuration]\nGood=-5\nBad=12abc\n");

    // A key opened for reading reads, and refuses every write.
    RegistryHandle reading = 0;
    ASSERT_EQ(store.OpenKeyForReading(product, "Configuration", &reading), 0);
    EXPECT_EQ(store.QueryValue(reading, "Good", &type, data, &size), 0);
    EXPECT_EQ(store.SetValue(reading, "Good", kRegistryDword, four, 4), kRegistryAccessDenied);
    EXPECT_EQ(ReadText(file), "[Configuration]\nGood=-5\nBad=12abc\n");
    EXPECT_EQ(store.OpenKeyForReading(product, "Missing", &other), kRegistryNotFound);
    EXPECT_EQ(store.CloseKey(reading), 0);

    EXPECT_EQ(store.CloseKey(sub), 0);
    EXPECT_EQ(store.CloseKey(sub), kRegistryInvalidHandle);
    EXPECT_EQ(store.QueryValue(sub, "Good", &type, data, &size), kRegistryInvalidHandle);
    EXPECT_EQ(store.CloseKey(product), 0);
}

TEST_F(IniFileStoreTest, ALinkedFileStaysALinkAndItsTargetIsUpdated) {
    const fs::path target = root / "dotfiles" / "zelbin.ini";
    WriteText(target, "[Configuration]\nVolume=800\n");
    fs::create_directories(productDir);
    fs::create_symlink(target, file);
    IniFileStore store(configHome.string());
    RecordingReporter reporter;
    Settings s;
    s.volume = 0.2f;
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(ReadText(target), "[Configuration]\nVolume=200\n");
    EXPECT_EQ(Entries(target.parent_path()), (std::set<std::string>{"zelbin.ini"}));
}

TEST_F(IniFileStoreTest, AWriteKeepsTheFilePermissions) {
    WriteText(file, "[Configuration]\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    IniFileStore store(configHome.string());
    RecordingReporter reporter;
    ASSERT_TRUE(SaveVolume(store, Settings{}, reporter));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// Sets or unsets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        const char* old = std::getenv(name);
        if (old != nullptr) {
            previous = old;
        }
        if (value == nullptr) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value, 1);
        }
    }
    ~ScopedEnv() {
        if (previous) {
            ::setenv(name, previous->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

private:
    const char* name;
    std::optional<std::string> previous;
};

TEST(IniFileStoreHome, FollowsTheXdgBaseDirectoryRules) {
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/x/config");
        ScopedEnv home("HOME", "/h");
        EXPECT_EQ(IniFileStore::DefaultConfigHome(), "/x/config");
    }
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", unusable);
        ScopedEnv home("HOME", "/h");
        EXPECT_EQ(IniFileStore::DefaultConfigHome(), "/h/.config") << (unusable ? unusable : "unset");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", "");
        const passwd* account = ::getpwuid(::getuid());
        ASSERT_NE(account, nullptr);
        EXPECT_EQ(IniFileStore::DefaultConfigHome(), std::string(account->pw_dir) + "/.config");
    }
}

TEST_F(IniFileStoreTest, TheDefaultStoreWritesUnderXdgConfigHome) {
    ScopedEnv xdg("XDG_CONFIG_HOME", configHome.c_str());
    const std::unique_ptr<RegistryStore> store = CreateDefaultRegistryStore();
    RecordingReporter reporter;
    ASSERT_TRUE(SaveVolume(*store, Settings{}, reporter));
    EXPECT_EQ(ReadText(file), "[Configuration]\nVolume=300\n");
}

} // namespace
