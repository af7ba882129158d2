#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

// The three dialogs as their templates give them: French captions, "MS Sans Serif" 8 points,
// rectangles in dialog units (x, y, width, height), items in tab order.

namespace {

using namespace ResourceId;
using enum ControlKind;

// Caption of the two link labels until the dialog sets the address the link opens.
constexpr const char* kLinkCaption = "Aide de Zelbin";

constexpr uint32_t kButton = kTabStop;
constexpr uint32_t kCheck = kTabStop;
constexpr uint32_t kStepButton = kTabStop;
constexpr uint32_t kValueEdit = kBorder | kTabStop | kAutoHScroll | kReadOnly;

// Template 102: the main window.
constexpr ControlTemplate kMainItems[] = {
    {kOk, DefPushButton, "OK", {321, 20, 50, 14}, kButton},
    {kCancel, PushButton, "Annuler", {321, 39, 50, 14}, kButton},
    {MainControl::kLastLetter, PushButton, "Dernière lettre", {320, 181, 53, 20}, kButton},
    {MainControl::kConfiguration, PushButton, "Configuration", {321, 74, 50, 14}, kButton},
    {MainControl::kAbout, PushButton, "A propos", {321, 91, 50, 14}, kButton},
    {MainControl::kNoise, AutoCheckBox, "Bruit", {322, 111, 32, 10}, kCheck},
    {MainControl::kVolume, Trackbar, "Slider1", {317, 141, 60, 21}, kTicksTop | kAutoTicks | kTabStop},
    {kNoId, GroupBox, "Contrôle", {307, 7, 76, 213}, kStyleNone},
    {kNoId, GroupBox, "Dictée à l'aide d'un fichier", {7, 167, 292, 53}, kStyleNone},
    {kNoId, StaticText, "Volume:", {323, 131, 47, 8}, kStyleNone},
    {MainControl::kFilePlay, PushButton, "Play", {189, 174, 22, 13}, kButton},
    {MainControl::kFileStop, PushButton, "Stop", {215, 174, 22, 13}, kButton},
    {MainControl::kOpenFile, PushButton, "Ouvrir", {11, 177, 34, 12}, kButton},
    {MainControl::kFileShow, AutoCheckBox, "Montrer", {14, 204, 42, 8}, kCheck},
    {MainControl::kFilePath, StaticText, "Fichier", {13, 192, 281, 8}, kStyleNone},
    {kNoId, GroupBox, "Dictée simple", {7, 86, 292, 78}, kStyleNone},
    {MainControl::kDictationShow, AutoCheckBox, "Montrer", {14, 151, 42, 8}, kCheck},
    {MainControl::kDictationText, StaticText, "Caractère", {63, 151, 86, 8}, kStyleNone},
    {MainControl::kDictationPlay, PushButton, "Play", {190, 97, 22, 13}, kButton},
    {MainControl::kDictationStop, PushButton, "Stop", {217, 97, 22, 13}, kButton},
    {MainControl::kScore, StaticText, "Score:", {17, 98, 73, 19}, kStyleNone},
    {kNoId, GroupBox, "Clavier", {7, 7, 292, 73}, kStyleNone},
    {MainControl::kKeyboardText, StaticText, "Caractère", {63, 66, 91, 8}, kStyleNone},
    {MainControl::kKeyboardShow, AutoCheckBox, "Montrer", {14, 65, 45, 8}, kCheck},
    {MainControl::kLink, StaticText, kLinkCaption, {136, 224, 131, 8}, kTabStop},
};

// Tab takes the main window's controls in reading order: the three practices down the left,
// each group together, then the "Contrôle" column, then the link at the bottom.
// clang-format off
constexpr int32_t kMainTabOrder[] = {
    MainControl::kKeyboardShow,                                                              // Clavier
    MainControl::kDictationPlay, MainControl::kDictationStop, MainControl::kDictationShow,   // Dictée simple
    MainControl::kOpenFile, MainControl::kFilePlay, MainControl::kFileStop,                  // Dictée à l'aide
    MainControl::kFileShow,                                                                  // d'un fichier
    kOk, kCancel, MainControl::kConfiguration, MainControl::kAbout, MainControl::kNoise,     // Contrôle
    MainControl::kVolume, MainControl::kLastLetter,
    MainControl::kLink,
};
// clang-format on

// Template 129: the configuration dialog. The group box holds the device list and five value
// rows; OK, Annuler and Reset stand to its right.
constexpr int32_t kRow0 = 80; // [DU] top of the first value row
constexpr int32_t kRowStep = 17;

constexpr int32_t RowY(int32_t row) {
    return kRow0 + row * kRowStep;
}

#define ZELBIN_VALUE_ROW(row, label, labelId, downFast, down, edit, up, upFast)                                        \
    {labelId, StaticText, label, {15, RowY(row) + 3, 102, 8}, kStyleNone},                                             \
        {downFast, PushButton, "<<", {119, RowY(row), 18, 14}, kStepButton},                                           \
        {down, PushButton, "<", {139, RowY(row), 16, 14}, kStepButton},                                                \
        {edit, EditBox, "", {157, RowY(row), 42, 14}, kValueEdit},                                                     \
        {up, PushButton, ">", {201, RowY(row), 16, 14}, kStepButton}, {                                                \
        upFast, PushButton, ">>", {219, RowY(row), 18, 14}, kStepButton                                                \
    }

constexpr ControlTemplate kConfigItems[] = {
    {kNoId, GroupBox, "Configuration", {7, 7, 242, 163}, kStyleNone},
    {kNoId, StaticText, "Sortie audio:", {15, 19, 100, 8}, kStyleNone},
    {ConfigControl::kDeviceList,
     ListBox,
     "",
     {15, 29, 226, 44},
     kNotify | kVScroll | kNoIntegralHeight | kBorder | kTabStop},
    ZELBIN_VALUE_ROW(0, "Fréquence en Hertz:", ConfigControl::kFrequencyLabel, ConfigControl::kFrequencyDownFast,
                     ConfigControl::kFrequencyDown, ConfigControl::kFrequencyEdit, ConfigControl::kFrequencyUp,
                     ConfigControl::kFrequencyUpFast),
    ZELBIN_VALUE_ROW(1, "Longueur du Dih en ms:", ConfigControl::kDihLabel, ConfigControl::kDihDownFast,
                     ConfigControl::kDihDown, ConfigControl::kDihEdit, ConfigControl::kDihUp,
                     ConfigControl::kDihUpFast),
    ZELBIN_VALUE_ROW(2, "Longueur du Dah en ms:", ConfigControl::kDahLabel, ConfigControl::kDahDownFast,
                     ConfigControl::kDahDown, ConfigControl::kDahEdit, ConfigControl::kDahUp,
                     ConfigControl::kDahUpFast),
    ZELBIN_VALUE_ROW(3, "Longueur de la pause en ms:", ConfigControl::kPauseLabel, ConfigControl::kPauseDownFast,
                     ConfigControl::kPauseDown, ConfigControl::kPauseEdit, ConfigControl::kPauseUp,
                     ConfigControl::kPauseUpFast),
    ZELBIN_VALUE_ROW(4, "Temps dictée en ms:", ConfigControl::kIntervalLabel, ConfigControl::kIntervalDownFast,
                     ConfigControl::kIntervalDown, ConfigControl::kIntervalEdit, ConfigControl::kIntervalUp,
                     ConfigControl::kIntervalUpFast),
    {kOk, DefPushButton, "OK", {263, 11, 50, 14}, kButton},
    {kCancel, PushButton, "Annuler", {263, 29, 50, 14}, kButton},
    {ConfigControl::kReset, PushButton, "Reset", {263, 47, 50, 14}, kButton},
};

#undef ZELBIN_VALUE_ROW

// Template 100: the About box.
constexpr ControlTemplate kAboutItems[] = {
    {kNoId, StaticIcon, "#128", {172, 18, 20, 20}, kStyleNone},
    {AboutControl::kVersion, StaticText, "Zelbin version 1.0", {22, 150, 119, 8}, kGroup | kNoPrefix},
    {kOk, DefPushButton, "OK", {157, 156, 50, 14}, kGroup | kTabStop},
    {kNoId, GroupBox, " A propos de", {21, 46, 322, 98}, kStyleNone},
    {AboutControl::kLink, StaticText, kLinkCaption, {120, 127, 131, 8}, kGroup | kTabStop},
    {kNoId,
     StaticText,
     "Zelbin apprend à lire le code Morse à l'oreille : chaque lettre ou chiffre tapé au clavier est "
     "joué aussitôt, une dictée aléatoire est notée, et un fichier texte peut être dicté caractère par "
     "caractère.",
     {27, 57, 313, 25},
     kGroup},
    {kNoId,
     StaticText,
     "News, aide, mise à jour et support sont disponibles sur le site suivant:",
     {77, 113, 227, 11},
     kGroup},
};

// The names a screen reader gives the controls whose captions are ambiguous or say nothing.
// The main window's link is named at run time, after the web page it opens.
constexpr AccessibleName kMainNames[] = {
    {MainControl::kVolume, "Volume"},
    {MainControl::kFilePlay, "Play (dictée fichier)"},
    {MainControl::kFileStop, "Stop (dictée fichier)"},
    {MainControl::kOpenFile, "Ouvrir (dictée fichier)"},
    {MainControl::kFileShow, "Montrer (dictée fichier)"},
    {MainControl::kDictationShow, "Montrer (dictée simple)"},
    {MainControl::kDictationPlay, "Play (dictée simple)"},
    {MainControl::kDictationStop, "Stop (dictée simple)"},
    {MainControl::kKeyboardShow, "Montrer (clavier)"},
};

constexpr AccessibleName kConfigNames[] = {
    {ConfigControl::kDeviceList, "Sortie audio"},
    {ConfigControl::kFrequencyEdit, "Fréquence en Hertz"},
    {ConfigControl::kFrequencyDownFast, "Fréquence moins 100"},
    {ConfigControl::kFrequencyDown, "Fréquence moins 10"},
    {ConfigControl::kFrequencyUp, "Fréquence plus 10"},
    {ConfigControl::kFrequencyUpFast, "Fréquence plus 100"},
    {ConfigControl::kDihEdit, "Longueur du Dih en ms"},
    {ConfigControl::kDihDownFast, "Dih moins 100"},
    {ConfigControl::kDihDown, "Dih moins 10"},
    {ConfigControl::kDihUp, "Dih plus 10"},
    {ConfigControl::kDihUpFast, "Dih plus 100"},
    {ConfigControl::kDahEdit, "Longueur du Dah en ms"},
    {ConfigControl::kDahDownFast, "Dah moins 100"},
    {ConfigControl::kDahDown, "Dah moins 10"},
    {ConfigControl::kDahUp, "Dah plus 10"},
    {ConfigControl::kDahUpFast, "Dah plus 100"},
    {ConfigControl::kPauseEdit, "Longueur de la pause en ms"},
    {ConfigControl::kPauseDownFast, "Pause moins 100"},
    {ConfigControl::kPauseDown, "Pause moins 10"},
    {ConfigControl::kPauseUp, "Pause plus 10"},
    {ConfigControl::kPauseUpFast, "Pause plus 100"},
    {ConfigControl::kIntervalEdit, "Temps dictée en ms"},
    {ConfigControl::kIntervalDownFast, "Temps dictée moins 100"},
    {ConfigControl::kIntervalDown, "Temps dictée moins 10"},
    {ConfigControl::kIntervalUp, "Temps dictée plus 10"},
    {ConfigControl::kIntervalUpFast, "Temps dictée plus 100"},
};

constexpr uint32_t kDialogFrame = kCaption | kSystemMenu | kModalFrame;

constexpr DialogTemplate kMainTemplate{
    kMainDialog, "Zelbin",   390,          233, "MS Sans Serif", 8, kDialogFrame | kTaskbar,
    kMainItems,  kMainNames, kMainTabOrder};
constexpr DialogTemplate kConfigTemplate{kConfigDialog, "Configuration", 320,         177, "MS Sans Serif", 8,
                                         kDialogFrame,  kConfigItems,    kConfigNames};
constexpr DialogTemplate kAboutTemplate{kAboutDialog, "A propos de Zelbin", 365, 188, "MS Sans Serif", 8,
                                        kDialogFrame, kAboutItems};

} // namespace

const DialogTemplate& MainDialogTemplate() {
    return kMainTemplate;
}
const DialogTemplate& ConfigDialogTemplate() {
    return kConfigTemplate;
}
const DialogTemplate& AboutDialogTemplate() {
    return kAboutTemplate;
}

const DialogTemplate* FindDialogTemplate(int32_t templateId) {
    for (const DialogTemplate* dialog : {&kMainTemplate, &kConfigTemplate, &kAboutTemplate}) {
        if (dialog->id == templateId) {
            return dialog;
        }
    }
    return nullptr;
}
