// The settings in the real Windows registry. The test deletes and rewrites
// HKEY_CURRENT_USER\Software\Zelbin, so it runs only under Wine, whose prefix the test
// run makes for itself and throws away (tools/test-windows); on Windows it is skipped.
#include "settings/WindowsRegistryStore.h"
#include "settings/DefaultRegistryStore.h"
#include "settings/SettingsPersistence.h"
#include "tests/settings/RecordingReporter.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kProductPath[] = "Software\\Zelbin";
const char kConfigurationPath[] = "Software\\Zelbin\\Configuration";

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool KeyExists(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

// Every value of the configuration key, read with the registry's own calls.
std::map<std::string, RawValue> ConfigurationValues() {
    std::map<std::string, RawValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kConfigurationPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return values;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        RawValue value;
        value.bytes.resize(64);
        DWORD size = static_cast<DWORD>(value.bytes.size());
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &value.type, value.bytes.data(), &size) !=
            ERROR_SUCCESS) {
            break;
        }
        value.bytes.resize(size);
        values[name] = value;
    }
    RegCloseKey(key);
    return values;
}

void PutValue(HKEY key, const char* name, DWORD type, const std::vector<BYTE>& bytes) {
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
}

std::vector<BYTE> Dword(uint32_t value) {
    return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
}

Settings Chosen() {
    Settings s;
    s.frequency = 523.9f; // stored truncated: 523
    s.driverId = 7;
    s.dihMs = 60;
    s.dahMs = 180;
    s.pauseMs = 55;
    s.volume = 0.29f; // the float nearest 0.29 is below it: stored to the nearest thousandth, 290
    s.dictationIntervalMs = 2500;
    return s;
}

class WindowsRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RunningUnderWine()) {
            GTEST_SKIP() << "rewrites HKEY_CURRENT_USER\\Software\\Zelbin: runs only in a throwaway Wine prefix";
        }
        const LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, kProductPath);
        ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
    }
    void TearDown() override {
        if (RunningUnderWine()) {
            RegDeleteTreeA(HKEY_CURRENT_USER, kProductPath);
        }
    }

    WindowsRegistryStore store;
    RecordingReporter reporter;
};

// Through the program's default store, which on Windows is the registry.
TEST_F(WindowsRegistry, FirstRunKeepsTheDefaultsAndCreatesOnlyTheProductKey) {
    Settings loaded = Chosen();
    LoadSettings(*CreateDefaultRegistryStore(), loaded);
    EXPECT_EQ(loaded.frequency, 440.0f);
    EXPECT_EQ(loaded.driverId, 0);
    EXPECT_EQ(loaded.dihMs, 100);
    EXPECT_EQ(loaded.dahMs, 300);
    EXPECT_EQ(loaded.pauseMs, 100);
    EXPECT_EQ(loaded.volume, 0.3f);
    EXPECT_EQ(loaded.dictationIntervalMs, 3000);
    EXPECT_TRUE(KeyExists(kProductPath));
    EXPECT_FALSE(KeyExists(kConfigurationPath));
}

// Closing the window writes "Volume" alone, confirming the dialog the six others; each is a
// REG_DWORD of 4 little-endian bytes, and the next start reads them all back.
TEST_F(WindowsRegistry, EachMomentWritesItsOwnDwordsAndTheNextStartReadsThem) {
    const Settings chosen = Chosen();
    ASSERT_TRUE(SaveVolume(store, chosen, reporter));
    std::map<std::string, RawValue> values = ConfigurationValues();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values["Volume"].type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(values["Volume"].bytes, Dword(290));

    ASSERT_TRUE(SaveConfiguration(store, chosen, reporter));
    values = ConfigurationValues();
    const std::map<std::string, uint32_t> expected = {
        {"Frequency", 523},  {"DriverID", 7}, {"DIHLenght", 60},      {"DAHLenght", 180},
        {"PauseLenght", 55}, {"Volume", 290}, {"DicteeLenght", 2500},
    };
    ASSERT_EQ(values.size(), expected.size());
    for (const auto& [name, number] : expected) {
        EXPECT_EQ(values[name].type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(values[name].bytes, Dword(number)) << name;
    }
    EXPECT_TRUE(reporter.messages.empty());

    Settings loaded;
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded.frequency, 523.0f);
    EXPECT_EQ(loaded.driverId, 7);
    EXPECT_EQ(loaded.dihMs, 60);
    EXPECT_EQ(loaded.dahMs, 180);
    EXPECT_EQ(loaded.pauseMs, 55);
    EXPECT_EQ(loaded.volume, 290 * 0.001f);
    EXPECT_EQ(loaded.dictationIntervalMs, 2500);
}

// Another program, the registry tool, sees what was saved where and as what it was saved.
TEST_F(WindowsRegistry, TheRegToolSeesTheSavedValues) {
    Settings chosen = Chosen();
    chosen.dictationIntervalMs = -1; // a negative number is stored as its two's complement
    ASSERT_TRUE(SaveVolume(store, chosen, reporter));
    ASSERT_TRUE(SaveConfiguration(store, chosen, reporter));

    std::FILE* pipe = _popen("reg query \"HKEY_CURRENT_USER\\Software\\Zelbin\\Configuration\" 2>&1", "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
        output += chunk;
    }
    EXPECT_EQ(_pclose(pipe), 0) << output;

    std::map<std::string, std::string> shown; // name -> "TYPE DATA"
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, type, data;
        if (words >> name >> type >> data) {
            shown[name] = type + " " + data;
        }
    }
    EXPECT_NE(output.find("HKEY_CURRENT_USER\\Software\\Zelbin\\Configuration"), std::string::npos) << output;
    const std::map<std::string, std::string> expected = {
        {"Frequency", "REG_DWORD 0x20b"},         {"DriverID", "REG_DWORD 0x7"},     {"DIHLenght", "REG_DWORD 0x3c"},
        {"DAHLenght", "REG_DWORD 0xb4"},          {"PauseLenght", "REG_DWORD 0x37"}, {"Volume", "REG_DWORD 0x122"},
        {"DicteeLenght", "REG_DWORD 0xffffffff"},
    };
    for (const auto& [name, typeAndData] : expected) {
        EXPECT_EQ(shown[name], typeAndData) << name << " in:\n" << output;
    }
}

// Values left by hand or by another program. A value that does not come in exactly 4 bytes
// leaves its default; 4 bytes of another type are read as a number (the type is not looked at),
// then brought into range like any other.
TEST_F(WindowsRegistry, ValuesOfAnotherTypeOrSize) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kConfigurationPath, &key), ERROR_SUCCESS);
    const std::string text = "700 Hz";
    PutValue(key, "Frequency", REG_SZ, std::vector<BYTE>(text.begin(), text.end() + 1));
    PutValue(key, "DriverID", REG_QWORD, {5, 0, 0, 0, 0, 0, 0, 0});
    PutValue(key, "DAHLenght", REG_BINARY, {200, 0});
    PutValue(key, "DIHLenght", REG_BINARY, Dword(80));
    PutValue(key, "PauseLenght", REG_DWORD_BIG_ENDIAN, Dword(2000));
    PutValue(key, "Volume", REG_DWORD, {});
    RegCloseKey(key);

    Settings loaded;
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded.frequency, 440.0f);
    EXPECT_EQ(loaded.driverId, 0);
    EXPECT_EQ(loaded.dahMs, 300);
    EXPECT_EQ(loaded.dihMs, 80);
    EXPECT_EQ(loaded.pauseMs, 1000);
    EXPECT_EQ(loaded.volume, 0.3f);
    EXPECT_EQ(loaded.dictationIntervalMs, 3000);

    // The store itself: a value larger than the buffer gives ERROR_MORE_DATA and the size it
    // needs, and leaves the buffer as it was.
    RegistryHandle product = 0;
    RegistryHandle configuration = 0;
    ASSERT_EQ(store.OpenKey(kRegistryCurrentUser, kProductPath, &product), kRegistrySuccess);
    ASSERT_EQ(store.OpenKey(product, "Configuration", &configuration), kRegistrySuccess);
    uint8_t bytes[4] = {1, 2, 3, 4};
    uint32_t type = 0;
    uint32_t size = sizeof bytes;
    EXPECT_EQ(store.QueryValue(configuration, "Frequency", &type, bytes, &size), kRegistryMoreData);
    EXPECT_EQ(size, text.size() + 1);
    EXPECT_EQ(type, static_cast<uint32_t>(REG_SZ));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
    size = sizeof bytes;
    EXPECT_EQ(store.QueryValue(configuration, "Absent", &type, bytes, &size), kRegistryNotFound);
    EXPECT_EQ(store.CloseKey(configuration), kRegistrySuccess);
    EXPECT_EQ(store.CloseKey(product), kRegistrySuccess);
}

// A missing key is reported with the status RegistryKey expects; creating a key creates its
// missing parents on the way.
TEST_F(WindowsRegistry, MissingKeyThenCreatedWithItsParents) {
    RegistryHandle handle = 0;
    EXPECT_EQ(store.OpenKey(kRegistryCurrentUser, kConfigurationPath, &handle), kRegistryNotFound);
    EXPECT_EQ(handle, 0u);
    ASSERT_EQ(store.CreateKey(kRegistryCurrentUser, kConfigurationPath, &handle), kRegistrySuccess);
    EXPECT_NE(handle, 0u);
    EXPECT_TRUE(KeyExists(kProductPath));
    EXPECT_EQ(store.CloseKey(handle), kRegistrySuccess);
}

} // namespace
