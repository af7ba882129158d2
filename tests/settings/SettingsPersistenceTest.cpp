#include "settings/SettingsPersistence.h"
#include "tests/settings/MemoryRegistryStore.h"
#include "tests/settings/RecordingReporter.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using Op = MemoryRegistryStore::Operation;
using Names = std::vector<std::string>;

const std::string kProduct = "Software\\Zelbin";
const std::string kSub = "Software\\Zelbin\\Configuration";
const std::string kMessage = "Unable to write configuration to the registry";

// The defaults, written out here rather than taken from the code under test.
void ExpectDefaults(const Settings& s) {
    EXPECT_EQ(s.frequency, 440.0f);
    EXPECT_EQ(s.driverId, 0);
    EXPECT_EQ(s.dihMs, 100);
    EXPECT_EQ(s.dahMs, 300);
    EXPECT_EQ(s.pauseMs, 100);
    EXPECT_EQ(s.volume, 0.3f);
    EXPECT_EQ(s.dictationIntervalMs, 3000);
}

Settings Scrambled() {
    Settings s;
    s.frequency = 777.0f;
    s.driverId = 9;
    s.dihMs = 11;
    s.dahMs = 12;
    s.pauseMs = 13;
    s.volume = 0.77f;
    s.dictationIntervalMs = 7777;
    return s;
}

// Loads from a store that holds only `name` = `stored`.
Settings LoadOne(const std::string& name, int32_t stored) {
    MemoryRegistryStore store;
    store.PutDword(kSub, name, stored);
    Settings s = Scrambled();
    LoadSettings(store, s);
    return s;
}

size_t IndexOf(const std::vector<std::string>& calls, const std::string& call) {
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == call) {
            return i;
        }
    }
    return calls.size();
}

std::vector<uint8_t> LittleEndian(uint32_t word) {
    return {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word >> 16),
            static_cast<uint8_t>(word >> 24)};
}

// ---- LoadSettings ----

TEST(LoadSettings, FirstRunKeepsEveryDefaultAndCreatesOnlyTheProductKey) {
    MemoryRegistryStore store;
    Settings s = Scrambled();
    LoadSettings(store, s);
    ExpectDefaults(s);
    EXPECT_TRUE(store.HasKey(kProduct));
    EXPECT_FALSE(store.HasKey(kSub));
    EXPECT_TRUE(store.Writes().empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(LoadSettings, QueriesEveryValueInOrderThenClosesSubKeyFirst) {
    MemoryRegistryStore store;
    store.AddKey(kSub);
    Settings s;
    LoadSettings(store, s);
    const std::vector<std::string> expected = {"OpenKey Software\\Zelbin",
                                               "OpenKey Software\\Zelbin\\Configuration",
                                               "QueryValue Frequency",
                                               "QueryValue DriverID",
                                               "QueryValue DAHLenght",
                                               "QueryValue DIHLenght",
                                               "QueryValue PauseLenght",
                                               "QueryValue Volume",
                                               "QueryValue DicteeLenght",
                                               "QueryValue SoftOnset",
                                               "QueryValue KochLesson",
                                               "QueryValue Adaptive",
                                               "QueryValue CopyMaterial",
                                               "QueryValue CopyWpm",
                                               "QueryValue CopyFarnsworth",
                                               "QueryValue CopyCount",
                                               "QueryValue CopyAutoSpeed",
                                               "QueryValue Band",
                                               "QueryValue BandSnr",
                                               "QueryValue BandQsb",
                                               "QueryValue BandQsbPeriod",
                                               "QueryValue BandQrm",
                                               "QueryValue BandQrn",
                                               "QueryValue KeyerMode",
                                               "QueryValue KeyerWpm",
                                               "QueryValue KeyerSwap",
                                               "CloseKey Software\\Zelbin\\Configuration",
                                               "CloseKey Software\\Zelbin"};
    EXPECT_EQ(store.Calls(), expected);
}

TEST(LoadSettings, TakesEveryValueInRange) {
    MemoryRegistryStore store;
    store.PutDword(kSub, "Frequency", 650);
    store.PutDword(kSub, "DriverID", 2);
    store.PutDword(kSub, "DAHLenght", 240);
    store.PutDword(kSub, "DIHLenght", 80);
    store.PutDword(kSub, "PauseLenght", 60);
    store.PutDword(kSub, "Volume", 500);
    store.PutDword(kSub, "DicteeLenght", 1500);
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.frequency, 650.0f);
    EXPECT_EQ(s.driverId, 2);
    EXPECT_EQ(s.dahMs, 240);
    EXPECT_EQ(s.dihMs, 80);
    EXPECT_EQ(s.pauseMs, 60);
    EXPECT_EQ(s.volume, 0.5f);
    EXPECT_EQ(s.dictationIntervalMs, 1500);
}

TEST(LoadSettings, FrequencyIsTakenOnlyWithinItsRangeNeverClamped) {
    const std::pair<int32_t, float> cases[] = {{99, 440.0f},  {1001, 440.0f}, {100, 100.0f},     {1000, 1000.0f},
                                               {0, 440.0f},   {-500, 440.0f}, {INT_MIN, 440.0f}, {INT_MAX, 440.0f},
                                               {101, 101.0f}, {999, 999.0f}};
    for (const auto& [stored, expected] : cases) {
        EXPECT_EQ(LoadOne("Frequency", stored).frequency, expected) << "stored " << stored;
    }
}

TEST(LoadSettings, DriverIdOutOfRangeBecomesZero) {
    const std::pair<int32_t, int32_t> cases[] = {{-1, 0}, {1001, 0}, {1000, 1000}, {0, 0}, {7, 7}, {INT_MIN, 0}};
    for (const auto& [stored, expected] : cases) {
        EXPECT_EQ(LoadOne("DriverID", stored).driverId, expected) << "stored " << stored;
    }
}

TEST(LoadSettings, ElementLengthsAreClampedTo10Through1000) {
    EXPECT_EQ(LoadOne("DAHLenght", 5).dahMs, 10);
    EXPECT_EQ(LoadOne("DIHLenght", 2000).dihMs, 1000);
    const std::pair<const char*, int32_t Settings::*> fields[] = {
        {"DAHLenght", &Settings::dahMs}, {"DIHLenght", &Settings::dihMs}, {"PauseLenght", &Settings::pauseMs}};
    const std::pair<int32_t, int32_t> cases[] = {{9, 10},       {10, 10},        {1000, 1000}, {1001, 1000},
                                                 {INT_MIN, 10}, {INT_MAX, 1000}, {-5, 10},     {444, 444}};
    for (const auto& [name, field] : fields) {
        for (const auto& [stored, expected] : cases) {
            EXPECT_EQ(LoadOne(name, stored).*field, expected) << name << " stored " << stored;
        }
    }
}

TEST(LoadSettings, VolumeIsTheStoredThousandthsClampedToZeroThroughOne) {
    EXPECT_EQ(LoadOne("Volume", 1500).volume, 1.0f);
    EXPECT_EQ(LoadOne("Volume", -20).volume, 0.0f);
    EXPECT_EQ(LoadOne("Volume", 300).volume, 0.3f);
    EXPECT_EQ(LoadOne("Volume", 1000).volume, 1.0f);
    EXPECT_EQ(LoadOne("Volume", 0).volume, 0.0f);
    EXPECT_EQ(LoadOne("Volume", INT_MAX).volume, 1.0f);
    EXPECT_EQ(LoadOne("Volume", INT_MIN).volume, 0.0f);
    // Single precision throughout: the stored number times the float 0.001.
    const float thousandth = 0.001f;
    EXPECT_EQ(LoadOne("Volume", 289).volume, 289.0f * thousandth);
    EXPECT_EQ(LoadOne("Volume", 1).volume, thousandth);
}

TEST(LoadSettings, DictationIntervalIsClampedTo500Through10000) {
    const std::pair<int32_t, int32_t> cases[] = {{100, 500},     {20000, 10000}, {499, 500}, {500, 500},
                                                 {10000, 10000}, {10001, 10000}, {-1, 500},  {4321, 4321}};
    for (const auto& [stored, expected] : cases) {
        EXPECT_EQ(LoadOne("DicteeLenght", stored).dictationIntervalMs, expected) << "stored " << stored;
    }
}

TEST(LoadSettings, AFailedQueryLeavesItsDefaultAndTheOthersLoad) {
    const char* order[] = {"Frequency", "DriverID", "DAHLenght", "DIHLenght", "PauseLenght", "Volume", "DicteeLenght"};
    for (int failing = 1; failing <= 7; ++failing) {
        MemoryRegistryStore store;
        store.PutDword(kSub, "Frequency", 500);
        store.PutDword(kSub, "DriverID", 3);
        store.PutDword(kSub, "DAHLenght", 250);
        store.PutDword(kSub, "DIHLenght", 90);
        store.PutDword(kSub, "PauseLenght", 70);
        store.PutDword(kSub, "Volume", 800);
        store.PutDword(kSub, "DicteeLenght", 2000);
        store.FailCall(Op::QueryValue, failing, kRegistryInvalidData);
        Settings s = Scrambled();
        LoadSettings(store, s);
        const std::string failed = order[failing - 1];
        SCOPED_TRACE(failed);
        EXPECT_EQ(s.frequency, failed == "Frequency" ? 440.0f : 500.0f);
        EXPECT_EQ(s.driverId, failed == "DriverID" ? 0 : 3);
        EXPECT_EQ(s.dahMs, failed == "DAHLenght" ? 300 : 250);
        EXPECT_EQ(s.dihMs, failed == "DIHLenght" ? 100 : 90);
        EXPECT_EQ(s.pauseMs, failed == "PauseLenght" ? 100 : 70);
        EXPECT_EQ(s.volume, failed == "Volume" ? 0.3f : 0.8f);
        EXPECT_EQ(s.dictationIntervalMs, failed == "DicteeLenght" ? 3000 : 2000);
    }
}

TEST(LoadSettings, AValueOfAnotherSizeNeverOverrunsAndCountsAsMissing) {
    MemoryRegistryStore store;
    // 8 bytes: too big for the 4-byte field, the store refuses to copy it.
    store.PutRaw(kSub, "DAHLenght", 11 /* REG_QWORD */, {50, 0, 0, 0, 0, 0, 0, 0});
    // 2 bytes of text: fits, but is not a 32-bit number.
    store.PutRaw(kSub, "DIHLenght", 1 /* REG_SZ */, {'5', 0});
    // 4 bytes of another type: the type is not examined.
    store.PutRaw(kSub, "PauseLenght", 3 /* REG_BINARY */, LittleEndian(40));
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.dahMs, 300);
    EXPECT_EQ(s.dihMs, 100);
    EXPECT_EQ(s.pauseMs, 40);
}

TEST(LoadSettings, UnopenableKeysLeaveTheDefaultsAndCloseEverything) {
    for (int failing = 1; failing <= 2; ++failing) {
        MemoryRegistryStore store;
        store.PutDword(kSub, "Frequency", 500);
        store.FailCall(Op::OpenKey, failing, kRegistryAccessDenied);
        Settings s = Scrambled();
        LoadSettings(store, s);
        ExpectDefaults(s);
        EXPECT_EQ(store.OpenHandleCount(), 0u);
        EXPECT_EQ(IndexOf(store.Calls(), "CreateKey Software\\Zelbin\\Configuration"), store.Calls().size())
            << "the load never creates the subkey";
    }
}

TEST(LoadSettings, ClosesBothHandlesEvenWhenAnExplicitCloseFails) {
    MemoryRegistryStore store;
    store.AddKey(kSub);
    store.FailCall(Op::CloseKey, 1, kRegistryInvalidHandle);
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

// ---- SaveVolume ----

TEST(SaveVolume, WritesOnlyVolumeAsTheNearestThousandth) {
    struct Case {
        float volume;
        int32_t stored;
    };
    const float nearest029 = 0.29f;      // just under 0.29
    const float sliderAt30 = 30 * 0.01f; // the slider's single-precision product, just under 0.3
    ASSERT_LT(nearest029, 0.29);
    ASSERT_LT(sliderAt30, 0.3f);
    const Case cases[] = {{0.3f, 300},  {nearest029, 290}, {sliderAt30, 300}, {1.0f, 1000},
                          {0.0f, 0},    {0.999f, 999},     {0.5f, 500},       {0.0004f, 0},
                          {0.0005f, 1}, {0.2894f, 289},    {0.2896f, 290},    {-0.02f, -20}};
    for (const Case& c : cases) {
        MemoryRegistryStore store;
        RecordingReporter reporter;
        Settings s = Scrambled();
        s.volume = c.volume;
        EXPECT_TRUE(SaveVolume(store, s, reporter));
        ASSERT_EQ(store.Writes().size(), 1u);
        const MemoryRegistryStore::Write& w = store.Writes()[0];
        EXPECT_EQ(w.keyPath, kSub);
        EXPECT_EQ(w.name, "Volume");
        EXPECT_EQ(w.type, 4u);
        EXPECT_EQ(w.data, LittleEndian(static_cast<uint32_t>(c.stored))) << "volume " << c.volume;
        EXPECT_TRUE(reporter.messages.empty());
        EXPECT_EQ(store.OpenHandleCount(), 0u);
    }
}

// Every position of the volume slider, 0 to 100, is saved as its thousandths (51 as 510) and
// shows at the same position after the next start.
TEST(SaveAndLoad, EverySliderPositionSurvivesARestart) {
    MemoryRegistryStore store;
    RecordingReporter reporter;
    for (int32_t position = 0; position <= 100; ++position) {
        Settings saved;
        saved.volume = Settings::VolumeOfSliderPosition(position);
        ASSERT_TRUE(SaveVolume(store, saved, reporter));
        EXPECT_EQ(store.Dword(kSub, "Volume"), std::optional<int32_t>(position * 10)) << position;
        Settings loaded;
        LoadSettings(store, loaded);
        EXPECT_EQ(Settings::SliderPositionOfVolume(loaded.volume), position) << position;
    }
}

TEST(SaveVolume, CreatesTheKeysWhenMissingAndKeepsOtherValues) {
    MemoryRegistryStore store;
    RecordingReporter reporter;
    Settings s;
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_EQ(store.Dword(kSub, "Volume"), 300);
    EXPECT_EQ(store.Calls(),
              (Names{"OpenKey Software\\Zelbin", "CreateKey Software\\Zelbin",
                     "OpenKey Software\\Zelbin\\Configuration", "CreateKey Software\\Zelbin\\Configuration",
                     "SetValue Volume", "CloseKey Software\\Zelbin\\Configuration", "CloseKey Software\\Zelbin"}));

    store.PutDword(kSub, "Frequency", 700);
    s.volume = 0.25f;
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_EQ(store.Dword(kSub, "Volume"), 250);
    EXPECT_EQ(store.Dword(kSub, "Frequency"), 700);
}

TEST(SaveVolume, ReportsWhenTheProductKeyCannotBeOpenedNorCreated) {
    MemoryRegistryStore store;
    store.FailCall(Op::CreateKey, 1, kRegistryAccessDenied);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveVolume(store, Settings{}, reporter));
    EXPECT_EQ(reporter.messages, (Names{kMessage}));
    EXPECT_TRUE(store.Writes().empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(SaveVolume, ReportsAnOpenFailureOtherThanNotFoundWithoutCreating) {
    MemoryRegistryStore store;
    store.AddKey(kSub);
    store.FailCall(Op::OpenKey, 1, kRegistryAccessDenied);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveVolume(store, Settings{}, reporter));
    EXPECT_EQ(reporter.messages, (Names{kMessage}));
    EXPECT_EQ(store.Calls(), (Names{"OpenKey Software\\Zelbin"}));
}

TEST(SaveVolume, ReportsWhenTheSubKeyCannotBeOpenedNorCreated) {
    MemoryRegistryStore store;
    store.AddKey(kProduct);
    store.FailCall(Op::CreateKey, 1, kRegistryCannotWrite);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveVolume(store, Settings{}, reporter));
    EXPECT_EQ(reporter.messages, (Names{kMessage}));
    EXPECT_TRUE(store.Writes().empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(SaveVolume, AFailedWriteIsNotReported) {
    MemoryRegistryStore store;
    store.FailCall(Op::SetValue, 1, kRegistryDiskFull);
    RecordingReporter reporter;
    EXPECT_TRUE(SaveVolume(store, Settings{}, reporter));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

// ---- SaveConfiguration ----

TEST(SaveConfiguration, WritesTheSixValuesInOrderAndNeverVolume) {
    MemoryRegistryStore store;
    store.PutDword(kSub, "Volume", 123);
    RecordingReporter reporter;
    Settings s;
    s.frequency = 523.9f; // truncated, not rounded
    s.driverId = 4;
    s.dihMs = 60;
    s.dahMs = 180;
    s.pauseMs = 70;
    s.volume = 0.9f;
    s.dictationIntervalMs = 2500;
    ASSERT_TRUE(SaveConfiguration(store, s, reporter));
    EXPECT_EQ(store.WrittenNames(),
              (Names{"Frequency", "DriverID", "DIHLenght", "DAHLenght", "PauseLenght", "DicteeLenght"}));
    const int32_t expected[] = {523, 4, 60, 180, 70, 2500};
    for (size_t i = 0; i < store.Writes().size(); ++i) {
        const MemoryRegistryStore::Write& w = store.Writes()[i];
        EXPECT_EQ(w.keyPath, kSub);
        EXPECT_EQ(w.type, 4u);
        EXPECT_EQ(w.data, LittleEndian(static_cast<uint32_t>(expected[i]))) << w.name;
    }
    EXPECT_EQ(store.Dword(kSub, "Volume"), 123);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(SaveConfiguration, WriteStatusesAreIgnored) {
    MemoryRegistryStore store;
    store.FailCall(Op::SetValue, 1, kRegistryDiskFull);
    store.FailCall(Op::SetValue, 4, kRegistryAccessDenied);
    RecordingReporter reporter;
    EXPECT_TRUE(SaveConfiguration(store, Settings{}, reporter));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(store.WrittenNames(), (Names{"DriverID", "DIHLenght", "PauseLenght", "DicteeLenght"}));
}

TEST(SaveConfiguration, ReportsWhenTheKeysCannotBeHad) {
    for (int failingCreate = 1; failingCreate <= 2; ++failingCreate) {
        MemoryRegistryStore store;
        store.FailCall(Op::CreateKey, failingCreate, kRegistryAccessDenied);
        RecordingReporter reporter;
        EXPECT_FALSE(SaveConfiguration(store, Settings{}, reporter));
        EXPECT_EQ(reporter.messages, (Names{kMessage}));
        EXPECT_TRUE(store.Writes().empty());
        EXPECT_EQ(store.OpenHandleCount(), 0u);
    }
}

TEST(SaveAndLoad, EachMomentWritesExactlyItsOwnValuesAndTheyLoadBack) {
    MemoryRegistryStore store;
    RecordingReporter reporter;
    Settings s;
    s.frequency = 700.0f;
    s.driverId = 1;
    s.dihMs = 50;
    s.dahMs = 150;
    s.pauseMs = 40;
    s.volume = 0.75f;
    s.dictationIntervalMs = 900;
    ASSERT_TRUE(SaveConfiguration(store, s, reporter));
    EXPECT_EQ(store.Values(kSub).count("Volume"), 0u);
    store.ClearLog();
    ASSERT_TRUE(SaveVolume(store, s, reporter));
    EXPECT_EQ(store.WrittenNames(), (Names{"Volume"}));
    EXPECT_EQ(store.Values(kSub).size(), 7u);

    store.ClearLog();
    Settings loaded = Scrambled();
    LoadSettings(store, loaded);
    EXPECT_TRUE(store.Writes().empty()) << "loading writes nothing";
    EXPECT_EQ(loaded.frequency, 700.0f);
    EXPECT_EQ(loaded.driverId, 1);
    EXPECT_EQ(loaded.dihMs, 50);
    EXPECT_EQ(loaded.dahMs, 150);
    EXPECT_EQ(loaded.pauseMs, 40);
    EXPECT_EQ(loaded.volume, 750 * 0.001f); // stored as 750, read back in single precision
    EXPECT_EQ(loaded.dictationIntervalMs, 900);
}

// ---- The draw's two values ----

TEST(LoadSettings, ReadsTheDrawsValuesAndTakesAnythingOutOfRangeAsZero) {
    struct Case {
        int32_t storedLesson, storedAdaptive, lesson, adaptive;
    };
    const Case cases[] = {{2, 1, 2, 1}, {36, 0, 36, 0}, {1, 2, 0, 0}, {41, -1, 41, 0}, {42, 1, 0, 1}};
    for (const Case& c : cases) {
        MemoryRegistryStore store;
        store.PutDword(kSub, "KochLesson", c.storedLesson);
        store.PutDword(kSub, "Adaptive", c.storedAdaptive);
        Settings s;
        LoadSettings(store, s);
        EXPECT_EQ(s.kochLesson, c.lesson) << c.storedLesson;
        EXPECT_EQ(s.adaptive, c.adaptive) << c.storedAdaptive;
        EXPECT_TRUE(store.Writes().empty());
        EXPECT_EQ(store.OpenHandleCount(), 0u);
    }
    // Nothing stored, no subkey, or a value of another size: 0, and no key is created.
    MemoryRegistryStore empty;
    Settings s;
    s.kochLesson = 5;
    s.adaptive = 1;
    LoadSettings(empty, s);
    EXPECT_EQ(s.kochLesson, 0);
    EXPECT_EQ(s.adaptive, 0);
    EXPECT_FALSE(empty.HasKey(kSub));
    MemoryRegistryStore odd;
    odd.PutRaw(kSub, "KochLesson", 1 /* REG_SZ */, {'5', 0});
    LoadSettings(odd, s);
    EXPECT_EQ(s.kochLesson, 0);
}

TEST(SaveLearning, WritesOnlyWhatDiffersFromTheStoreSoDefaultsLeaveItAlone) {
    MemoryRegistryStore store;
    RecordingReporter reporter;
    Settings s;
    ASSERT_TRUE(SaveLearning(store, s, reporter));
    EXPECT_TRUE(store.Writes().empty());
    EXPECT_FALSE(store.HasKey(kSub));

    s.kochLesson = 12;
    ASSERT_TRUE(SaveLearning(store, s, reporter));
    EXPECT_EQ(store.WrittenNames(), (Names{"KochLesson"}));
    store.ClearLog();
    s.adaptive = 1;
    ASSERT_TRUE(SaveLearning(store, s, reporter));
    EXPECT_EQ(store.WrittenNames(), (Names{"Adaptive"}));
    store.ClearLog();
    s.kochLesson = 0; // back to none: written, so that the next start has none too
    ASSERT_TRUE(SaveLearning(store, s, reporter));
    EXPECT_EQ(store.WrittenNames(), (Names{"KochLesson"}));

    Settings loaded;
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded.kochLesson, 0);
    EXPECT_EQ(loaded.adaptive, 1);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

// The five values of the copy window: read with the others, out of range as their defaults.
TEST(LoadSettings, TakesTheCopyValuesInTheirRangesAndTheDefaultOutside) {
    struct Stored {
        const char* name;
        int32_t value;
        int32_t Settings::*field;
        int32_t taken;
    };
    const Stored rows[] = {
        {"CopyMaterial", 4, &Settings::copyMaterial, 4},
        {"CopyMaterial", 5, &Settings::copyMaterial, 0},
        {"CopyWpm", 5, &Settings::copyWpm, 5},
        {"CopyWpm", 61, &Settings::copyWpm, 20},
        {"CopyWpm", 4, &Settings::copyWpm, 20},
        {"CopyFarnsworth", 3, &Settings::copyFarnsworth, 3},
        {"CopyFarnsworth", 2, &Settings::copyFarnsworth, 0},
        {"CopyFarnsworth", 21, &Settings::copyFarnsworth, 0},
        {"CopyFarnsworth", 20, &Settings::copyFarnsworth, 20},
        {"CopyCount", 50, &Settings::copyCount, 50},
        {"CopyCount", 0, &Settings::copyCount, 5},
        {"CopyAutoSpeed", 1, &Settings::copyAutoSpeed, 1},
        {"CopyAutoSpeed", 2, &Settings::copyAutoSpeed, 0},
    };
    for (const Stored& row : rows) {
        MemoryRegistryStore store;
        store.PutDword(kSub, row.name, row.value);
        Settings s;
        LoadSettings(store, s);
        EXPECT_EQ(s.*row.field, row.taken) << row.name << " " << row.value;
    }
    const Settings defaults;
    EXPECT_EQ(defaults.copyMaterial, 0);
    EXPECT_EQ(defaults.copyWpm, 20);
    EXPECT_EQ(defaults.copyFarnsworth, 0);
    EXPECT_EQ(defaults.copyCount, 5);
    EXPECT_EQ(defaults.copyAutoSpeed, 0);
}

TEST(SaveLearning, ReportsWhenTheKeysCannotBeHad) {
    MemoryRegistryStore store;
    store.FailCall(Op::OpenKey, 1, kRegistryAccessDenied);
    store.FailCall(Op::OpenKey, 2, kRegistryAccessDenied);
    RecordingReporter reporter;
    Settings s;
    s.adaptive = 1;
    EXPECT_FALSE(SaveLearning(store, s, reporter));
    EXPECT_EQ(reporter.messages, (Names{kMessage}));
    EXPECT_TRUE(store.Writes().empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

// ---- The band conditions ----

// Each value within its range is taken; outside it, the default stays (ranges and defaults as
// the band conditions are specified: off, 10 dB, 0 %, 8 s, 0 stations, 0 crashes).
TEST(LoadSettings, TakesTheBandValuesInTheirRangesAndTheDefaultOutside) {
    struct Case {
        const char* name;
        int32_t stored;
        Settings::Band expected;
    };
    const Case cases[] = {
        {"Band", 1, {1, 10, 0, 8, 0, 0}},
        {"Band", 2, {0, 10, 0, 8, 0, 0}},
        {"BandSnr", -10, {0, -10, 0, 8, 0, 0}},
        {"BandSnr", 30, {0, 30, 0, 8, 0, 0}},
        {"BandSnr", -11, {0, 10, 0, 8, 0, 0}},
        {"BandSnr", 31, {0, 10, 0, 8, 0, 0}},
        {"BandQsb", 100, {0, 10, 100, 8, 0, 0}},
        {"BandQsb", 101, {0, 10, 0, 8, 0, 0}},
        {"BandQsb", -1, {0, 10, 0, 8, 0, 0}},
        {"BandQsbPeriod", 2, {0, 10, 0, 2, 0, 0}},
        {"BandQsbPeriod", 30, {0, 10, 0, 30, 0, 0}},
        {"BandQsbPeriod", 1, {0, 10, 0, 8, 0, 0}},
        {"BandQsbPeriod", 31, {0, 10, 0, 8, 0, 0}},
        {"BandQrm", 3, {0, 10, 0, 8, 3, 0}},
        {"BandQrm", 4, {0, 10, 0, 8, 0, 0}},
        {"BandQrm", -1, {0, 10, 0, 8, 0, 0}},
        {"BandQrn", 60, {0, 10, 0, 8, 0, 60}},
        {"BandQrn", 61, {0, 10, 0, 8, 0, 0}},
    };
    for (const Case& c : cases) {
        const Settings s = LoadOne(c.name, c.stored);
        EXPECT_EQ(s.band, c.expected) << c.name << " " << c.stored;
    }
}

// ---- The sending window's three values ----

// Stored values in range load as they are, others as their defaults (straight key, 20 WPM, not
// swapped).
TEST(LoadSettings, TakesTheKeyingValuesInTheirRangesAndTheDefaultOutside) {
    struct Load {
        int32_t mode, wpm, swap; // stored
        int32_t loadedMode, loadedWpm, loadedSwap;
    };
    const Load loads[] = {
        {0, 5, 0, 0, 5, 0}, {1, 50, 1, 1, 50, 1}, {2, 33, 0, 2, 33, 0}, {3, 4, 2, 0, 20, 0}, {-1, 51, -1, 0, 20, 0}};
    for (const Load& c : loads) {
        MemoryRegistryStore store;
        store.PutDword(kSub, "KeyerMode", c.mode);
        store.PutDword(kSub, "KeyerWpm", c.wpm);
        store.PutDword(kSub, "KeyerSwap", c.swap);
        Settings s;
        LoadSettings(store, s);
        EXPECT_EQ(s.keyerMode, c.loadedMode) << c.mode;
        EXPECT_EQ(s.keyerWpm, c.loadedWpm) << c.wpm;
        EXPECT_EQ(s.keyerSwap, c.loadedSwap) << c.swap;
    }
}

// The copy, band and keying values are saved alike: a save writes exactly the values that
// differ from the store, a missing one counting as its default, so that a run that keeps the
// defaults leaves the store untouched (not even the subkey is made); what was saved loads back
// as it was, and a key that cannot be had is said once.
TEST(SaveGroups, WriteOnlyWhatDiffersFromTheStore) {
    using Save = bool (*)(RegistryStore&, const Settings&, SettingsReporter&);
    struct Step {
        void (*change)(Settings&);
        Names written;
    };
    struct Group {
        const char* name;
        Save save;
        std::vector<Step> steps;
    };
    const Group groups[] = {
        {"copy",
         &SaveCopy,
         {{[](Settings& s) { s.copyWpm = 25, s.copyFarnsworth = 12; }, {"CopyWpm", "CopyFarnsworth"}},
          {[](Settings& s) { s.copyWpm = 20; }, {"CopyWpm"}}, // the default again: the store holds 25
          {[](Settings&) {}, {}}}},
        {"band",
         &SaveBand,
         {{[](Settings& s) { s.band = {0, -6, 0, 8, 0, 0}; }, {"BandSnr"}},
          {[](Settings& s) { s.band = {1, -6, 40, 8, 2, 0}; }, {"Band", "BandQsb", "BandQrm"}},
          {[](Settings& s) { s.band = {1, 10, 40, 5, 2, 12}; }, {"BandSnr", "BandQsbPeriod", "BandQrn"}},
          {[](Settings&) {}, {}}}},
        {"keying",
         &SaveKeying,
         {{[](Settings& s) { s.keyerMode = 2; }, {"KeyerMode"}},
          {[](Settings& s) { s.keyerWpm = 25, s.keyerSwap = 1; }, {"KeyerWpm", "KeyerSwap"}},
          {[](Settings&) {}, {}},
          {[](Settings& s) { s.keyerMode = 0, s.keyerWpm = 20, s.keyerSwap = 0; },
           {"KeyerMode", "KeyerWpm", "KeyerSwap"}}}},
    };
    for (const Group& group : groups) {
        MemoryRegistryStore store;
        RecordingReporter reporter;
        Settings s;
        ASSERT_TRUE(group.save(store, s, reporter)) << group.name;
        EXPECT_TRUE(store.Writes().empty()) << group.name;
        EXPECT_FALSE(store.HasKey(kSub)) << group.name;
        for (size_t i = 0; i < group.steps.size(); ++i) {
            store.ClearLog();
            group.steps[i].change(s);
            ASSERT_TRUE(group.save(store, s, reporter)) << group.name << " " << i;
            EXPECT_EQ(store.WrittenNames(), group.steps[i].written) << group.name << " " << i;
        }
        // Loaded back, the values equal what was saved: saving them again writes nothing.
        Settings loaded;
        LoadSettings(store, loaded);
        store.ClearLog();
        ASSERT_TRUE(group.save(store, loaded, reporter));
        EXPECT_TRUE(store.Writes().empty()) << group.name;
        EXPECT_TRUE(reporter.messages.empty()) << group.name;
        EXPECT_EQ(store.OpenHandleCount(), 0u) << group.name;

        MemoryRegistryStore locked;
        for (int occurrence = 1; occurrence <= 3; ++occurrence) {
            locked.FailCall(Op::OpenKey, occurrence, kRegistryAccessDenied);
        }
        Settings changed; // the first step's values, which differ from the defaults
        group.steps[0].change(changed);
        EXPECT_FALSE(group.save(locked, changed, reporter)) << group.name;
        EXPECT_EQ(reporter.messages, (Names{kMessage})) << group.name;
        EXPECT_TRUE(locked.Writes().empty()) << group.name;
        EXPECT_EQ(locked.OpenHandleCount(), 0u) << group.name;
    }
}

// Every single failure of every call, in both save moments: the message appears exactly
// when a key could not be had, and every handle opened is closed, the subkey first.
TEST(SaveMoments, EveryFailurePathClosesWhatItOpened) {
    const Op operations[] = {Op::OpenKey, Op::CreateKey, Op::SetValue, Op::CloseKey};
    for (int moment = 0; moment < 2; ++moment) {
        for (const Op op : operations) {
            for (int occurrence = 1; occurrence <= 6; ++occurrence) {
                for (const bool subKeyExists : {false, true}) {
                    MemoryRegistryStore store;
                    if (subKeyExists) {
                        store.AddKey(kSub);
                    }
                    store.FailCall(op, occurrence, kRegistryAccessDenied);
                    RecordingReporter reporter;
                    const bool ok = moment == 0 ? SaveVolume(store, Settings{}, reporter)
                                                : SaveConfiguration(store, Settings{}, reporter);
                    SCOPED_TRACE(::testing::Message() << "moment " << moment << " op " << static_cast<int>(op) << " #"
                                                      << occurrence << " exists " << subKeyExists);
                    EXPECT_EQ(store.OpenHandleCount(), 0u);
                    EXPECT_EQ(ok, reporter.messages.empty());
                    EXPECT_EQ(ok, !store.Writes().empty() || op == Op::SetValue);
                    const std::vector<std::string>& calls = store.Calls();
                    const size_t closeSub = IndexOf(calls, "CloseKey Software\\Zelbin\\Configuration");
                    const size_t closeProduct = IndexOf(calls, "CloseKey Software\\Zelbin");
                    if (closeSub < calls.size()) {
                        EXPECT_LT(closeSub, closeProduct);
                    }
                }
            }
        }
    }
}

// ---- SoftOnset ----

TEST(SoftOnset, OnlyAStoredOneIsOn) {
    struct Case {
        int32_t stored;
        int32_t loaded;
    };
    for (const Case c : {Case{1, 1}, Case{0, 0}, Case{2, 0}, Case{-1, 0}, Case{INT_MAX, 0}, Case{INT_MIN, 0}}) {
        EXPECT_EQ(LoadOne("SoftOnset", c.stored).softOnset, c.loaded) << c.stored;
    }
    MemoryRegistryStore store;
    store.PutRaw(kSub, "SoftOnset", 1 /* REG_SZ */, {'1', 0});
    Settings s;
    LoadSettings(store, s);
    EXPECT_EQ(s.softOnset, 0) << "an unreadable value is off";
    EXPECT_EQ(Settings{}.softOnset, 0) << "off by default";
}

TEST(SoftOnset, SwitchingWritesItAloneAndTheConfigurationWritesItOnlyWhenOn) {
    MemoryRegistryStore store;
    RecordingReporter reporter;
    Settings s;
    s.softOnset = 1;
    ASSERT_TRUE(SaveSoftOnset(store, s, reporter));
    EXPECT_EQ(store.WrittenNames(), (Names{"SoftOnset"}));
    EXPECT_EQ(store.Dword(kSub, "SoftOnset"), 1);
    store.ClearLog();
    ASSERT_TRUE(SaveConfiguration(store, s, reporter));
    EXPECT_EQ(store.WrittenNames(),
              (Names{"Frequency", "DriverID", "DIHLenght", "DAHLenght", "PauseLenght", "DicteeLenght", "SoftOnset"}));
    store.ClearLog();
    s.softOnset = 0;
    ASSERT_TRUE(SaveSoftOnset(store, s, reporter));
    EXPECT_EQ(store.Dword(kSub, "SoftOnset"), 0);
    Settings loaded = Scrambled();
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded.softOnset, 0);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST(SoftOnset, SwitchingReportsWhenTheKeysCannotBeHad) {
    MemoryRegistryStore store;
    store.FailCall(Op::OpenKey, 1, kRegistryAccessDenied);
    RecordingReporter reporter;
    EXPECT_FALSE(SaveSoftOnset(store, Settings{}, reporter));
    EXPECT_EQ(reporter.messages, (Names{kMessage}));
    EXPECT_TRUE(store.Writes().empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

} // namespace
