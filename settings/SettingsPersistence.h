#pragma once

#include "settings/RegistryStore.h"
#include "settings/Settings.h"
#include "settings/SettingsReporter.h"

// The moments at which the settings meet the store: read once while the main window
// initialises, "Volume" written when it closes, the six values of the configuration dialog
// written when it is confirmed, and "SoftOnset" written whenever it is switched. All run on
// the main window's thread.
//
// The two values of the random dictation's draw, "KochLesson" and "Adaptive", are read with the
// others and saved when the configuration dialog is confirmed and whenever the progress window
// changes them.
//
// The three values of the sending window, "KeyerMode", "KeyerWpm" and "KeyerSwap", are read with
// the others and saved whenever that window changes them.

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
constexpr const char* kSoftOnsetValue = "SoftOnset";
constexpr const char* kKochLessonValue = "KochLesson";
constexpr const char* kAdaptiveValue = "Adaptive";
constexpr const char* kCopyMaterialValue = "CopyMaterial";
constexpr const char* kCopyWpmValue = "CopyWpm";
constexpr const char* kCopyFarnsworthValue = "CopyFarnsworth";
constexpr const char* kCopyCountValue = "CopyCount";
constexpr const char* kCopyAutoSpeedValue = "CopyAutoSpeed";
constexpr const char* kBandValue = "Band";
constexpr const char* kBandSnrValue = "BandSnr";
constexpr const char* kBandQsbValue = "BandQsb";
constexpr const char* kBandQsbPeriodValue = "BandQsbPeriod";
constexpr const char* kBandQrmValue = "BandQrm";
constexpr const char* kBandQrnValue = "BandQrn";
constexpr const char* kKeyerModeValue = "KeyerMode";
constexpr const char* kKeyerWpmValue = "KeyerWpm";
constexpr const char* kKeyerSwapValue = "KeyerSwap";

// The one text reported when the settings cannot be written.
constexpr const char* kRegistryWriteFailedMessage = "Unable to write configuration to the registry";

// Assigns the defaults, reads every stored value under the current user's product key
// (creating that key when it is missing, but never the subkey) and brings each into its
// range. Keys are opened for reading only, so read-only settings are read all the same.
// Reports nothing: a missing or unreadable value leaves its default.
void LoadSettings(RegistryStore& store, Settings& settings);

// Writes "Volume" (the volume x 1000, to the nearest thousandth) and nothing else. Returns false,
// after reporting kRegistryWriteFailedMessage, when the product key or the subkey can be
// neither opened nor created; the status of the write itself is not examined.
bool SaveVolume(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);

// Writes, in this order, "Frequency" (truncated toward zero), "DriverID", "DIHLenght",
// "DAHLenght", "PauseLenght" and "DicteeLenght", then "SoftOnset" when the soft onset is on;
// never "Volume". Fails and reports exactly as SaveVolume does. With the soft onset off the
// writes are the six they have always been: the value is stored already, written by
// SaveSoftOnset when it was switched off.
bool SaveConfiguration(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);

// Writes "SoftOnset" (0 or 1) and nothing else, when the user switches it. Fails and reports
// exactly as SaveVolume does.
bool SaveSoftOnset(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);

// Writes "KochLesson" and "Adaptive", each only when it differs from the value stored (a
// missing or unreadable one counts as 0), so that with both at 0 a store that never held them
// is left as it was. Fails and reports as SaveVolume does when something is to be written.
bool SaveLearning(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);

// Writes the five values of the copy window ("CopyMaterial", "CopyWpm", "CopyFarnsworth",
// "CopyCount", "CopyAutoSpeed"), each only when it differs from the value stored (a missing or
// unreadable one counts as its default), so that with all at their defaults a store that never
// held them is left as it was. Fails and reports as SaveVolume does when something is to be
// written.
bool SaveCopy(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);
// Writes the six values of the band conditions ("Band", "BandSnr", "BandQsb", "BandQsbPeriod",
// "BandQrm", "BandQrn"), each only when it differs from the value stored (a missing or
// unreadable one counts as its default), so that with the defaults a store that never held them
// is left as it was. Fails and reports as SaveVolume does when something is to be written.
bool SaveBand(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);
// Writes "KeyerMode", "KeyerWpm" and "KeyerSwap", each only when it differs from the value stored
// (a missing or unreadable one counts as its default), so that a store that never held them is
// left as it was while they keep their defaults. Fails and reports as SaveVolume does when
// something is to be written.
bool SaveKeying(RegistryStore& store, const Settings& settings, SettingsReporter& reporter);
