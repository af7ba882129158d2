#include "ui/VirtualKey.h"

#include "practice/VirtualKeyIndex.h"

#include <QKeyEvent>

namespace {

// Key codes of the X server for the main block's digit row: 10 is the key of 1, 18 that of
// 9, 19 that of 0 (evdev codes 2 to 11 plus 8). Wayland uses the same codes.
constexpr quint32 kX11KeyOne = 10;
constexpr quint32 kX11KeyZero = 19;

// Native virtual keys of the digit row on Windows.
constexpr quint32 kWindowsKey0 = 0x30;
constexpr quint32 kWindowsKey9 = 0x39;

// The digit of a physical digit-row key, or -1 when the native codes name another key.
// Events without native codes give -2: the caller then looks at Qt's key.
int DigitRowDigit(quint32 nativeScanCode, quint32 nativeVirtualKey) {
#ifdef Q_OS_WIN
    Q_UNUSED(nativeScanCode);
    if (nativeVirtualKey == 0) {
        return -2;
    }
    if (nativeVirtualKey >= kWindowsKey0 && nativeVirtualKey <= kWindowsKey9) {
        return static_cast<int>(nativeVirtualKey - kWindowsKey0);
    }
    return -1;
#else
    Q_UNUSED(nativeVirtualKey);
    Q_UNUSED(kWindowsKey0);
    Q_UNUSED(kWindowsKey9);
    if (nativeScanCode == 0) {
        return -2;
    }
    if (nativeScanCode >= kX11KeyOne && nativeScanCode <= kX11KeyZero) {
        return nativeScanCode == kX11KeyZero ? 0 : static_cast<int>(nativeScanCode - kX11KeyOne + 1);
    }
    return -1;
#endif
}

// The code of the key that typed a punctuation sign of the Koch lessons.
uint32_t SignKey(std::string_view name) {
    return kFirstSignKey + static_cast<uint32_t>(MorseTable().IndexOfSign(name));
}

} // namespace

uint32_t VirtualKey::Of(const QKeyEvent& event) {
    return FromQt(event.key(), event.modifiers(), event.nativeScanCode(), event.nativeVirtualKey());
}

uint32_t VirtualKey::FromQt(int key, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode,
                            quint32 nativeVirtualKey) {
    if ((modifiers & Qt::KeypadModifier) != 0) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) {
            return kNumpad0 + static_cast<uint32_t>(key - Qt::Key_0);
        }
        return key == Qt::Key_Enter ? kReturn : kNone;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return kLetterA + static_cast<uint32_t>(key - Qt::Key_A);
    }
    const int digit = DigitRowDigit(nativeScanCode, nativeVirtualKey);
    if (digit >= 0) {
        return kDigit0 + static_cast<uint32_t>(digit);
    }
    if (digit == -2 && key >= Qt::Key_0 && key <= Qt::Key_9) {
        return kDigit0 + static_cast<uint32_t>(key - Qt::Key_0);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return kF1 + static_cast<uint32_t>(key - Qt::Key_F1);
    }
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kReturn;
    case Qt::Key_Shift:
        return kShift;
    case Qt::Key_Control:
        return kControl;
    case Qt::Key_Alt:
        return kMenu;
    case Qt::Key_Escape:
        return kEscape;
    case Qt::Key_Space:
        return kSpace;
    case Qt::Key_Period:
        return SignKey(".");
    case Qt::Key_Comma:
        return SignKey(",");
    case Qt::Key_Question:
        return SignKey("?");
    case Qt::Key_Slash:
        return SignKey("/");
    case Qt::Key_Equal:
        return SignKey("=");
    default:
        return kNone;
    }
}

std::unique_ptr<QKeyEvent> VirtualKey::AsTab(const QKeyEvent& event) {
    auto tab = std::make_unique<QKeyEvent>(event.type(), Qt::Key_Tab, event.modifiers(), event.nativeScanCode(),
                                           event.nativeVirtualKey(), event.nativeModifiers(), QStringLiteral("\t"),
                                           event.isAutoRepeat(), static_cast<quint16>(event.count()), event.device());
    tab->setTimestamp(event.timestamp());
    return tab;
}
