#pragma once

#include <QtCore/qnamespace.h>
#include <QtGlobal>

#include <cstdint>
#include <memory>

class QKeyEvent;

// The platform's virtual-key codes of the keys the trainer cares about, read from Qt's key
// events: 'A'-'Z' (65-90) for the letter keys whatever Shift and Caps Lock, '0'-'9' (48-57)
// for the digit keys of the main block whatever Shift, 96-105 for the keypad digits, 13 for
// Enter, 9 for Tab; the punctuation keys . , ? / = by the character they type, with the codes
// of VirtualKeyIndex.h (kFirstSignKey + the sign's index).
//
// The digit row is told by the physical key, so that it gives 1 to 9 and 0 on every layout,
// French AZERTY included, where those keys type & é " ' ( - è _ ç à without Shift: on X11 and
// Wayland by the key code (10 to 19 are the row's keys 1 to 9 and 0), on Windows by the
// native virtual key. Events that carry no native codes (synthesised ones) fall back on Qt's
// key.
class VirtualKey {
public:
    static constexpr uint32_t kNone = 0;
    static constexpr uint32_t kTab = 9;
    static constexpr uint32_t kReturn = 13;
    static constexpr uint32_t kShift = 16;
    static constexpr uint32_t kControl = 17;
    static constexpr uint32_t kMenu = 18; // Alt
    static constexpr uint32_t kEscape = 27;
    static constexpr uint32_t kSpace = 32;
    static constexpr uint32_t kDigit0 = 48;
    static constexpr uint32_t kLetterA = 65;
    static constexpr uint32_t kNumpad0 = 96;
    static constexpr uint32_t kF1 = 112;

    // The code of a key event; kNone for keys without one here.
    static uint32_t Of(const QKeyEvent& event);
    static uint32_t FromQt(int key, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode, quint32 nativeVirtualKey);

    // A new key-down of the Tab key with the modifiers, native codes, repeat flag and time of
    // event, to be delivered in its place: the focus moves on instead of a button being pressed.
    static std::unique_ptr<QKeyEvent> AsTab(const QKeyEvent& event);
};
