// The key plumbing of the main window: virtual-key codes from Qt's key events, and the
// filter that hands each key-down to the window once.

#include "app/KeyDownFilter.h"
#include "app/VirtualKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <memory>

class KeyHandlingTest : public QObject {
    Q_OBJECT

private slots:
    void lettersWhateverShift();
    void digitRowByPhysicalKey();
    void keypadAndOtherKeys();
    void rewriteToTab();
    void eachKeyDownReachesTheHandlerOnce();
    void keysOfOtherWindowsAreLeftAlone();
};

void KeyHandlingTest::lettersWhateverShift() {
    QCOMPARE(VirtualKey::FromQt(Qt::Key_A, Qt::NoModifier, 0, 0), 65u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Q, Qt::ShiftModifier, 24, 0), 81u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Z, Qt::ControlModifier, 52, 0), 90u);
}

void KeyHandlingTest::digitRowByPhysicalKey() {
#ifdef Q_OS_WIN
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Ampersand, Qt::NoModifier, 2, 0x31), 49u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Agrave, Qt::NoModifier, 11, 0x30), 48u);
#else
    // X key codes 10 to 18 are the keys 1 to 9, 19 is 0; what the layout types does not matter.
    const int azerty[] = {Qt::Key_Ampersand, Qt::Key_Eacute, Qt::Key_QuoteDbl,   Qt::Key_Apostrophe, Qt::Key_ParenLeft,
                          Qt::Key_Minus,     Qt::Key_Egrave, Qt::Key_Underscore, Qt::Key_Ccedilla,   Qt::Key_Agrave};
    const char digits[] = "1234567890";
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(VirtualKey::FromQt(azerty[i], Qt::NoModifier, 10 + i, 0), static_cast<uint32_t>(digits[i]));
        QCOMPARE(VirtualKey::FromQt(Qt::Key_0 + (i + 1) % 10, Qt::ShiftModifier, 10 + i, 0),
                 static_cast<uint32_t>(digits[i]));
    }
    // Another physical key that types a digit is not the digit row.
    QCOMPARE(VirtualKey::FromQt(Qt::Key_5, Qt::NoModifier, 20, 0), VirtualKey::kNone);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Ampersand, Qt::NoModifier, 9, 0), VirtualKey::kNone);
#endif
    // Without native codes (a synthesised event) Qt's key decides.
    QCOMPARE(VirtualKey::FromQt(Qt::Key_7, Qt::NoModifier, 0, 0), 55u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Ampersand, Qt::NoModifier, 0, 0), VirtualKey::kNone);
}

void KeyHandlingTest::keypadAndOtherKeys() {
    QCOMPARE(VirtualKey::FromQt(Qt::Key_0, Qt::KeypadModifier, 90, 0), 96u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_9, Qt::KeypadModifier, 0, 0), 105u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Home, Qt::KeypadModifier, 79, 0), VirtualKey::kNone);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Return, Qt::NoModifier, 36, 0), 13u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Enter, Qt::KeypadModifier, 104, 0), 13u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Tab, Qt::NoModifier, 23, 0), 9u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Space, Qt::NoModifier, 65, 0), 32u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_F1, Qt::NoModifier, 67, 0), 112u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Shift, Qt::ShiftModifier, 50, 0), 16u);
    QCOMPARE(VirtualKey::FromQt(Qt::Key_Eacute, Qt::NoModifier, 0, 0), VirtualKey::kNone);
}

void KeyHandlingTest::rewriteToTab() {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::ShiftModifier, 36, 0xff0d, 1, QStringLiteral("\r"), true);
    enter.setTimestamp(1234);
    const std::unique_ptr<QKeyEvent> tab = VirtualKey::AsTab(enter);
    QCOMPARE(tab->type(), QEvent::KeyPress);
    QCOMPARE(tab->key(), int(Qt::Key_Tab));
    QCOMPARE(tab->text(), QStringLiteral("\t"));
    QCOMPARE(tab->modifiers(), Qt::ShiftModifier);
    QCOMPARE(tab->nativeScanCode(), 36u);
    QVERIFY(tab->isAutoRepeat());
    QCOMPARE(tab->timestamp(), 1234ull);
    QCOMPARE(VirtualKey::Of(*tab), 9u);
    QCOMPARE(enter.key(), int(Qt::Key_Return)); // the original is left as it was
}

namespace {

// A window that records, for each key-down it gets, its key and whether the filter says it
// was addressed to the window itself.
class RecordingWindow : public QWidget {
public:
    KeyDownFilter* filter = nullptr;
    QList<QPair<int, bool>> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        keys.append({event->key(), filter->IsAddressedToWindow(*event)});
        event->ignore();
    }
};

} // namespace

void KeyHandlingTest::eachKeyDownReachesTheHandlerOnce() {
    RecordingWindow window;
    auto* button = new QPushButton(QStringLiteral("x"), &window);
    auto* inner = new QWidget(&window);
    auto* deep = new QPushButton(QStringLiteral("y"), inner);
    int calls = 0;
    auto* filter = new KeyDownFilter(window, [&](QKeyEvent& keyDown) -> std::unique_ptr<QKeyEvent> {
        ++calls;
        // The window's controls get Tab in place of Return.
        return keyDown.key() == Qt::Key_Return ? VirtualKey::AsTab(keyDown) : nullptr;
    });
    window.filter = filter;
    qApp->installEventFilter(filter);
    window.show();

    // A key the button ignores goes on to the window: one key-down, one call, and the window
    // sees it once, as a key of one of its controls.
    QTest::keyClick(button, Qt::Key_Q);
    QCOMPARE(calls, 1);
    QCOMPARE(window.keys, (QList<QPair<int, bool>>{{Qt::Key_Q, false}}));
    // Through two parents.
    QTest::keyClick(deep, Qt::Key_W);
    QCOMPARE(calls, 2);
    QCOMPARE(window.keys.size(), 2);
    // Key releases are not key-downs.
    QTest::keyRelease(deep, Qt::Key_W);
    QCOMPARE(calls, 2);

    // Addressed to the window itself.
    QTest::keyClick(&window, Qt::Key_E);
    QCOMPARE(calls, 3);
    QCOMPARE(window.keys.last(), (QPair<int, bool>{Qt::Key_E, true}));

    // The filter never eats a key: the button still gets its Space.
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(clicks, 1);
    QCOMPARE(calls, 4);

    // A replacement is what the controls and the window get: Return presses no button.
    button->setDefault(true);
    button->setFocus();
    window.keys.clear();
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(calls, 5);
    QCOMPARE(clicks, 1);
    QVERIFY(window.keys.isEmpty()); // Tab was taken by the focus chain, not passed on
    delete filter;
}

void KeyHandlingTest::keysOfOtherWindowsAreLeftAlone() {
    QWidget window;
    QWidget other;
    auto* otherButton = new QPushButton(QStringLiteral("z"), &other);
    int calls = 0;
    KeyDownFilter* filter = new KeyDownFilter(window, [&](QKeyEvent&) -> std::unique_ptr<QKeyEvent> {
        ++calls;
        return nullptr;
    });
    qApp->installEventFilter(filter);
    QTest::keyClick(otherButton, Qt::Key_Q);
    QCOMPARE(calls, 0);
    delete filter;
}

QTEST_MAIN(KeyHandlingTest)
#include "KeyHandlingTest.moc"
