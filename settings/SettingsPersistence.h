#pragma once

#include "settings/RegistryStore.h"
#include "settings/Settings.h"
#include "settings/SettingsReporter.h"

// The three moments at which the settings meet the store: read once while the main window
// initialises, "Volume" written when it closes, the six other values written when the
// configuration dialog is confirmed. All run on the main window's thread.
//
// The two values of the random dictation's draw, "KochLesson" and "Adaptive", are read at the
// same start-up, after the others, and saved when the configuration dialog is confirmed and
// whenever the progress window changes them.

// The key path, subkey and value names, spelled as the stores hold them.
constexpr const char* kSettingsProductKey = "Software\\Zelbin";
constexpr const char* kSettingsSubKey = "Configuration";
constexpr const char* kFrequencyValue = "Frequency";
constexpr const char* kDriverIdValue = "DriverID";
constexpr const char* kDahLengthValue = "DAHLenght";
constexpr const char* kDihLengthValue = "DIHLenght";
constexpr const char* kPauseLengthValue = "PauseLenght";
constexpr const char* kVolumeValue = "Volume";
constexpr const char* kDictationIntervalValue = "DicteeLenght";
constexpr const char* kKochLessonValue = "KochLesson";
constexpr const char* kAdaptiveValue = "Adaptive";

// The one text reported when the settings cannot be written.
constexpr const char* kRegistryWriteFailedMessage = "Unable to write configuration to the registry";

// Assigns the defaults, reads every stored value under the current user's product key
// (creating that key when it is missing, but never the subkey) and brings each into its
// range. Reports nothing: a missing or unreadable value leaves its default.
void LoadSettings(RegistryStore& store, Settings& settings);

// Writes "Volume" (the volume x 1000, truncated toward zero) and nothing else. Returns false,
// after reporting kRegistryWriteFailedMessage, when the product key or the subkey can be
// neither opened nor created; the status of the write itself is not examined.
bool SaveVolume(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);

// Writes, in this order, "Frequency" (truncated toward zero), "DriverID", "DIHLenght",
// "DAHLenght", "PauseLenght" and "DicteeLenght"; never "Volume". Fails and reports exactly
// as SaveVolume does.
bool SaveConfiguration(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);

// Reads "KochLesson" and "Adaptive" (never creating a key). A missing or unreadable value, or
// one out of its range, gives 0. Reports nothing.
void LoadLearning(RegistryStore& store, Settings& settings);

// Writes "KochLesson" and "Adaptive", each only when it differs from the value stored (a
// missing or unreadable one counts as 0), so that with both at 0 a store that never held them
// is left as it was. Fails and reports as SaveVolume does when something is to be written.
bool SaveLearning(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);
