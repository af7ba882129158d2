#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// A dialog described as data, the way a dialog template describes it: a title, a size and a
// font, then the controls in template order, which is also the tab order unless the template
// gives one of its own. Positions and sizes
// are dialog units: a quarter of the dialog font's average character width horizontally and
// an eighth of its character height vertically.

enum class ControlKind : uint8_t {
    PushButton,
    DefPushButton, // the default push button of its dialog
    AutoCheckBox,  // toggles its own mark when clicked
    GroupBox,      // a captioned frame, parent of the focusable controls inside it
    StaticText,    // left-aligned, words wrapped within the rectangle
    StaticIcon,    // shows the icon named by the caption ("#128")
    Trackbar,      // a horizontal slider, range 0 to 100 unless set
    ListBox,
    EditBox,
};

// Control styles that change how a control looks or behaves.
enum ControlStyle : uint32_t {
    kStyleNone = 0,
    kTabStop = 1u << 0,          // Tab reaches it
    kGroup = 1u << 1,            // starts a group of controls
    kNoPrefix = 1u << 2,         // static text: "&" is shown, not taken as a mnemonic
    kBorder = 1u << 3,           // thin frame
    kVScroll = 1u << 4,          // vertical scroll bar when needed
    kReadOnly = 1u << 5,         // edit box the user cannot type into
    kAutoHScroll = 1u << 6,      // edit box scrolls its text horizontally
    kNotify = 1u << 7,           // list box reports selection changes
    kNoIntegralHeight = 1u << 8, // list box keeps its height even if a row is cut
    kSorted = 1u << 9,           // list box sorts its entries
    kTicksTop = 1u << 10,        // trackbar ticks above the channel
    kAutoTicks = 1u << 11,       // trackbar ticks from its range
};

// Dialog window styles.
enum DialogStyle : uint32_t {
    kDialogNone = 0,
    kCaption = 1u << 0,     // title bar
    kSystemMenu = 1u << 1,  // system menu and close box
    kModalFrame = 1u << 2,  // dialog frame, fixed size
    kMinimizeBox = 1u << 3, // (none of the program's dialogs has one)
    kMaximizeBox = 1u << 4,
    kTaskbar = 1u << 5, // shown in the task bar (application window)
};

struct DialogRect {
    int32_t x;      // [DU]
    int32_t y;      // [DU]
    int32_t width;  // [DU]
    int32_t height; // [DU]
};

struct ControlTemplate {
    int32_t id; // ResourceId::kNoId for frames, labels and decoration
    ControlKind kind;
    const char* caption; // UTF-8
    DialogRect rect;
    uint32_t style; // ControlStyle bits
};

// The name assistive technologies give a control, where its caption alone is not enough
// (several "Play" buttons, a slider captioned "Slider1", "<<" buttons).
struct AccessibleName {
    int32_t id;
    const char* name; // UTF-8
};

struct DialogTemplate {
    int32_t id;
    const char* title; // UTF-8
    int32_t width;     // [DU] of the client area
    int32_t height;    // [DU] of the client area
    const char* fontName;
    int32_t fontPoints; // [pt]
    uint32_t style;     // DialogStyle bits
    std::span<const ControlTemplate> items;
    std::span<const AccessibleName> accessibleNames = {};
    // The controls Tab reaches, in the order a reader takes them in (each group together); the
    // tab stops in template order when empty.
    std::span<const int32_t> tabOrder = {};

    // The first item with this id, or null. Ids of kNoId are never found.
    const ControlTemplate* Find(int32_t controlId) const;
    // The accessible name of control controlId, or null when its caption is its name.
    const char* AccessibleNameOf(int32_t controlId) const;
};
