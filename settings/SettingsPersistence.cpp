#include "settings/SettingsPersistence.h"

#include "settings/RegistryKey.h"

#include <cmath>
#include <cstring>
#include <limits>

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
    QueryDword(key, kKochLessonValue, settings.kochLesson);
    QueryDword(key, kAdaptiveValue, settings.adaptive);
    QueryDword(key, kKeyerModeValue, settings.keyerMode);
    QueryDword(key, kKeyerWpmValue, settings.keyerWpm);
    QueryDword(key, kKeyerSwapValue, settings.keyerSwap);

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

namespace {

// The two values of the draw as the store holds them now, 0 where missing.
Settings StoredLearning(RegistryStore& store) {
    Settings stored;
    stored.kochLesson = 0;
    stored.adaptive = 0;
    RegistryKey key(store);
    if (key.OpenKey(kRegistryCurrentUser, kSettingsProductKey) == kRegistrySuccess &&
        key.OpenSubKey(kSettingsSubKey) == kRegistrySuccess) {
        QueryDword(key, kKochLessonValue, stored.kochLesson);
        QueryDword(key, kAdaptiveValue, stored.adaptive);
    }
    key.CloseSubKey();
    key.CloseKey();
    return stored;
}

} // namespace

bool SaveLearning(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    const Settings stored = StoredLearning(store);
    const bool lessonChanged = stored.kochLesson != settings.kochLesson;
    const bool adaptiveChanged = stored.adaptive != settings.adaptive;
    if (!lessonChanged && !adaptiveChanged) {
        return true;
    }
    RegistryKey key(store);
    if (!OpenForWriting(key, reporter)) {
        return false;
    }
    if (lessonChanged) {
        SetDword(key, kKochLessonValue, settings.kochLesson);
    }
    if (adaptiveChanged) {
        SetDword(key, kAdaptiveValue, settings.adaptive);
    }
    key.CloseSubKey();
    key.CloseKey();
    return true;
}

namespace {

// The three values of the sending window as the store holds them now, each at its default where
// missing or unreadable.
Settings StoredKeying(RegistryStore& store) {
    Settings stored;
    RegistryKey key(store);
    if (key.OpenKey(kRegistryCurrentUser, kSettingsProductKey) == kRegistrySuccess &&
        key.OpenSubKey(kSettingsSubKey) == kRegistrySuccess) {
        QueryDword(key, kKeyerModeValue, stored.keyerMode);
        QueryDword(key, kKeyerWpmValue, stored.keyerWpm);
        QueryDword(key, kKeyerSwapValue, stored.keyerSwap);
    }
    key.CloseSubKey();
    key.CloseKey();
    return stored;
}

} // namespace

bool SaveKeying(RegistryStore& store, const Settings& settings, SettingsReporter& reporter) {
    const Settings stored = StoredKeying(store);
    const struct {
        const char* name;
        int32_t stored;
        int32_t value;
    } values[] = {
        {kKeyerModeValue, stored.keyerMode, settings.keyerMode},
        {kKeyerWpmValue, stored.keyerWpm, settings.keyerWpm},
        {kKeyerSwapValue, stored.keyerSwap, settings.keyerSwap},
    };
    bool changed = false;
    for (const auto& v : values) {
        changed = changed || v.stored != v.value;
    }
    if (!changed) {
        return true;
    }
    RegistryKey key(store);
    if (!OpenForWriting(key, reporter)) {
        return false;
    }
    for (const auto& v : values) {
        if (v.stored != v.value) {
            SetDword(key, v.name, v.value);
        }
    }
    key.CloseSubKey();
    key.CloseKey();
    return true;
}
