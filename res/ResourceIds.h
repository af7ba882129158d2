#pragma once

#include <cstdint>

// Identifiers of the program's resources and of the controls of its three dialogs.
namespace ResourceId {

// Dialog templates.
constexpr int32_t kAboutDialog = 100;
constexpr int32_t kMainDialog = 102;
constexpr int32_t kConfigDialog = 129;

// Icon of the application, string of the system-menu item, hand cursor.
constexpr int32_t kAppIcon = 128;
constexpr int32_t kAboutMenuString = 101;
constexpr int32_t kHandCursor = 130;

// Command id of the system-menu item "&A propos de Zelbin..."; the platform keeps its low
// four bits for itself, so compare (id & 0xFFF0) with it.
constexpr uint32_t kAboutSystemCommand = 16;
// ... and of the item "Progrès..." below it, which opens the progress window.
constexpr uint32_t kProgressSystemCommand = 48;

// Items without an id of their own (frames, labels, decoration).
constexpr int32_t kNoId = -1;

// Buttons every dialog knows.
constexpr int32_t kOk = 1;
constexpr int32_t kCancel = 2;

} // namespace ResourceId

// Controls of the main window, template 102.
namespace MainControl {
constexpr int32_t kLastLetter = 1000;    // "Dernière lettre"
constexpr int32_t kConfiguration = 1001; // "Configuration"
constexpr int32_t kAbout = 1002;         // "A propos"
constexpr int32_t kNoise = 1004;         // "Bruit"
constexpr int32_t kVolume = 1005;        // volume slider
constexpr int32_t kFilePlay = 1016;
constexpr int32_t kFileStop = 1017;
constexpr int32_t kOpenFile = 1019; // "Ouvrir"
constexpr int32_t kFileShow = 1020; // "Montrer" of the file dictation, no handler
constexpr int32_t kFilePath = 1021;
constexpr int32_t kDictationShow = 1024;
constexpr int32_t kDictationText = 1025;
constexpr int32_t kDictationPlay = 1026;
constexpr int32_t kDictationStop = 1027;
constexpr int32_t kScore = 1028;
constexpr int32_t kKeyboardShow = 1029;
constexpr int32_t kKeyboardText = 1030;
constexpr int32_t kLink = 1031;
} // namespace MainControl

// Controls of the configuration dialog, template 129. Each value row has a label, "<<", "<",
// a read-only edit box, ">" and ">>".
namespace ConfigControl {
constexpr int32_t kReset = 3;
constexpr int32_t kDeviceList = 1003;

constexpr int32_t kFrequencyLabel = 1015;
constexpr int32_t kFrequencyEdit = 1011;
constexpr int32_t kFrequencyDownFast = 1014;
constexpr int32_t kFrequencyDown = 1017;
constexpr int32_t kFrequencyUp = 1013;
constexpr int32_t kFrequencyUpFast = 1018;

constexpr int32_t kDihLabel = 1020;
constexpr int32_t kDihEdit = 1012;
constexpr int32_t kDihDownFast = 1019;
constexpr int32_t kDihDown = 1021;
constexpr int32_t kDihUp = 1016;
constexpr int32_t kDihUpFast = 1022;

constexpr int32_t kDahLabel = 1026;
constexpr int32_t kDahEdit = 1023;
constexpr int32_t kDahDownFast = 1025;
constexpr int32_t kDahDown = 1027;
constexpr int32_t kDahUp = 1024;
constexpr int32_t kDahUpFast = 1028;

constexpr int32_t kPauseLabel = 1032;
constexpr int32_t kPauseEdit = 1029;
constexpr int32_t kPauseDownFast = 1031;
constexpr int32_t kPauseDown = 1033;
constexpr int32_t kPauseUp = 1030;
constexpr int32_t kPauseUpFast = 1034;

constexpr int32_t kIntervalLabel = 1038;
constexpr int32_t kIntervalEdit = 1035;
constexpr int32_t kIntervalDownFast = 1037;
constexpr int32_t kIntervalDown = 1039;
constexpr int32_t kIntervalUp = 1036;
constexpr int32_t kIntervalUpFast = 1040;
} // namespace ConfigControl

// Controls of the About box, template 100.
namespace AboutControl {
constexpr int32_t kVersion = 1010;
constexpr int32_t kLink = 1023;
} // namespace AboutControl
