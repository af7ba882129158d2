#include "settings/SettingsPersistence.h"

#include "settings/RegistryKey.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

namespace {

constexpr float kThousandths = 0.001f; // the stored volume is in thousandths

// Truncates toward zero, saturating at the int32_t range (NaN gives 0), so that no value
// held in memory can make the conversion undefined.
int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

void EncodeDword(int32_t value, uint8_t (&bytes)[4]) {
    const uint32_t word = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

int32_t DecodeDword(const uint8_t (&bytes)[4]) {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        word |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    }
    return static_cast<int32_t>(word);
}

// Reads one value into a 4-byte field. The field changes only when the query succeeds and
// delivers exactly 4 bytes; whatever else the store holds under that name (another size,
// an unreadable number) counts as a failed query and leaves the field as it was. The type
// reported is not examined.
void QueryDword(RegistryKey& key, const char* name, int32_t& field) {
    uint8_t bytes[4];
    EncodeDword(field, bytes);
    uint32_t type = 0;
    uint32_t size = sizeof bytes;
    if (key.QueryValue(name, &type, bytes, &size) == kRegistrySuccess && size == sizeof bytes) {
        field = DecodeDword(bytes);
    }
}

void SetDword(RegistryKey& key, const char* name, int32_t value) {
    uint8_t bytes[4];
    EncodeDword(value, bytes);
    key.SetValue(name, kRegistryDword, bytes, sizeof bytes); // a failed write is not reported
}

// Opens the product key and its subkey for writing, creating either when missing. Reports
// and returns false when either cannot be had.
bool OpenForWriting(RegistryKey& key, SettingsReporter& reporter) {
    if (key.OpenKey(kRegistryCurrentUser, kSettingsProductKey) != kRegistrySuccess) {
        reporter.ShowMessage(kRegistryWriteFailedMessage);
        return false;
    }
    if (key.OpenSubKey(kSettingsSubKey) != kRegistrySuccess && key.CreateSubKey(kSettingsSubKey) != kRegistrySuccess) {
        reporter.ShowMessage(kRegistryWriteFailedMessage);
        return false;
    }
    return true;
}

// A whole-number setting of the draw or of an opt-in window, by name: where Settings holds it.
struct StoredValue {
    const char* name;
    int32_t& (*field)(Settings&);
};
// Each group in the order its values are read and written.
constexpr StoredValue kLearningValues[] = {
    {kKochLessonValue, [](Settings& s) -> int32_t& { return s.kochLesson; }},
    {kAdaptiveValue, [](Settings& s) -> int32_t& { return s.adaptive; }},
};
constexpr StoredValue kCopyValues[] = {
    {kCopyMaterialValue, [](Settings& s) -> int32_t& { return s.copyMaterial; }},
    {kCopyWpmValue, [](Settings& s) -> int32_t& { return s.copyWpm; }},
    {kCopyFarnsworthValue, [](Settings& s) -> int32_t& { return s.copyFarnsworth; }},
    {kCopyCountValue, [](Settings& s) -> int32_t& { return s.copyCount; }},
    {kCopyAutoSpeedValue, [](Settings& s) -> int32_t& { return s.copyAutoSpeed; }},
};
constexpr StoredValue kBandValues[] = {
    {kBandValue, [](Settings& s) -> int32_t& { return s.band.on; }},
    {kBandSnrValue, [](Settings& s) -> int32_t& { return s.band.snrDb; }},
    {kBandQsbValue, [](Settings& s) -> int32_t& { return s.band.qsbPercent; }},
    {kBandQsbPeriodValue, [](Settings& s) -> int32_t& { return s.band.qsbPeriodS; }},
    {kBandQrmValue, [](Settings& s) -> int32_t& { return s.band.qrmStations; }},
    {kBandQrnValue, [](Settings& s) -> int32_t& { return s.band.qrnPerMinute; }},
};
constexpr StoredValue kKeyerValues[] = {
    {kKeyerModeValue, [](Settings& s) -> int32_t& { return s.keyerMode; }},
    {kKeyerWpmValue, [](Settings& s) -> int32_t& { return s.keyerWpm; }},
    {kKeyerSwapValue, [](Settings& s) -> int32_t& { return s.keyerSwap; }},
};

void QueryValues(RegistryKey& key, std::span<const StoredValue> values, Settings& settings) {
    for (const StoredValue& value : values) {
        QueryDword(key, value.name, value.field(settings));
    }
}

// Writes each value of the group that differs from the value stored (a missing or unreadable
// one counts as its default), so that a store that never held them is left as it was while they
// keep their defaults. Fails and reports as SaveVolume does when something is to be written.
bool SaveChangedValues(RegistryStore& store, const Settings& settings, SettingsReporter& reporter,
                       std::span<const StoredValue> values) {
    Settings stored; // the defaults where nothing readable is stored
    {
        RegistryKey key(store);
        if (key.OpenKey(kRegistryCurrentUser, kSettingsProductKey) == kRegistrySuccess &&
            key.OpenSubKey(kSettingsSubKey) == kRegistrySuccess) {
            QueryValues(key, values, stored);
        }
        key.CloseSubKey();
        key.CloseKey();
    }
    Settings current = settings;
    const auto differs = [&](const StoredValue& value) { return value.field(stored) != value.field(current); };
    if (std::none_of(values.begin(), values.end(), differs)) {
        return true;
    }
    RegistryKey key(store);
    if (!OpenForWriting(key, reporter)) {
        return false;
    }
    for (const StoredValue& value : values) {
        if (differs(value)) {
            SetDword(key, value.name, value.field(current));
        }
    }
    key.CloseSubKey();
    key.CloseKey();
    return true;
}

} // namespace

void LoadSettings(RegistryStore& store, Settings& settings) {
    settings = Settings{}; // the defaults, from the member initialisers of Settings

    RegistryKey key(store);
    // For reading only, so that settings the user may read but not change still count.
    key.OpenKeyForReading(kRegistryCurrentUser, kSettingsProductKey); // creates the product key on a first run
    key.OpenSubKeyForReading(kSettingsSubKey); // never created here: a missing one fails every query

    int32_t storedFrequency = TruncateToInt32(settings.frequency);
    int32_t storedVolume = Settings::StoredVolume(settings.volume);

    QueryDword(key, kFrequencyValue, storedFrequency);
    QueryDword(key, kDriverIdValue, settings.driverId);
    QueryDword(key, kDahLengthValue, settings.dahMs);
    QueryDword(key, kDihLengthValue, settings.dihMs);
    QueryDword(key, kPauseLengthValue, settings.pauseMs);
    QueryDword(key, kVolumeValue, storedVolume);
    QueryDword(key, kDictationIntervalValue, settings.dictationIntervalMs);
    QueryDword(key, kSoftOnsetValue, settings.softOnset);
    QueryValues(key, kLearningValues, settings);
    QueryValues(key, kCopyValues, settings);
    QueryValues(key, kBandValues, settings);
    QueryValues(key, kKeyerValues, settings);

    key.CloseSubKey();
    key.CloseKey();

    // Each stored value is taken as it is and then brought into its range; a stored
    // frequency has whole hertz, the stored volume thousandths.
    settings.frequency = static_cast<float>(storedFrequency);
    settings.volume = static_cast<float>(storedVolume) * kThousandths;
    settings.Validate();
}

bool SaveVolume(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    RegistryKey key(store);
    if (!OpenForWriting(key, reporter)) {
        return false;
    }
    SetDword(key, kVolumeValue, Settings::StoredVolume(settings.volume));
    key.CloseSubKey();
    key.CloseKey();
    return true;
}

bool SaveConfiguration(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    RegistryKey key(store);
    if (!OpenForWriting(key, reporter)) {
        return false;
    }
    SetDword(key, kFrequencyValue, TruncateToInt32(settings.frequency));
    SetDword(key, kDriverIdValue, settings.driverId);
    SetDword(key, kDihLengthValue, settings.dihMs);
    SetDword(key, kDahLengthValue, settings.dahMs);
    SetDword(key, kPauseLengthValue, settings.pauseMs);
    SetDword(key, kDictationIntervalValue, settings.dictationIntervalMs);
    if (settings.softOnset == Settings::kSoftOnsetOn) {
        SetDword(key, kSoftOnsetValue, settings.softOnset);
    }
    key.CloseSubKey();
    key.CloseKey();
    return true;
}

bool SaveSoftOnset(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    RegistryKey key(store);
    if (!OpenForWriting(key, reporter)) {
        return false;
    }
    SetDword(key, kSoftOnsetValue, settings.softOnset);
    key.CloseSubKey();
    key.CloseKey();
    return true;
}

bool SaveLearning(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    return SaveChangedValues(store, settings, reporter, kLearningValues);
}

bool SaveCopy(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    return SaveChangedValues(store, settings, reporter, kCopyValues);
}

bool SaveBand(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    return SaveChangedValues(store, settings, reporter, kBandValues);
}

bool SaveKeying(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    return SaveChangedValues(store, settings, reporter, kKeyerValues);
}
