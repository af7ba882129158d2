// Keyboard practice in the main window: real key events through QTest (and, for the physical
// digit row, key events that carry native key codes as the X server gives them).

#include "tests/app/TrainerFixture.h"
#include "tests/ui/seams/FakeTimerSeam.h"

#include "res/ResourceIds.h"
#include "ui/TemplateBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <QSlider>
#include <QTest>
#include <algorithm>

namespace {

// International Morse of the characters these tests type.
struct Character {
    char character;
    const char* morse;
};
constexpr Character kMorse[] = {{'Q', "--.-"},  {'E', "."},     {'T', "-"},     {'K', "-.-"},   {'1', ".----"},
                                {'2', "..---"}, {'3', "...--"}, {'4', "....-"}, {'5', "....."}, {'6', "-...."},
                                {'7', "--..."}, {'8', "---.."}, {'9', "----."}, {'0', "-----"}};

const char* MorseOf(char character) {
    for (const Character& entry : kMorse) {
        if (entry.character == character) {
            return entry.morse;
        }
    }
    return "";
}

// The line 1030 shows: "Caractère", the character, five spaces, then the elements with one
// space between them, '.' for a dih and '_' for a dah.
QString ExpectedLine(char character) {
    QString code;
    for (const char* element = MorseOf(character); *element != '\0'; ++element) {
        if (!code.isEmpty()) {
            code += u' ';
        }
        code += *element == '.' ? u'.' : u'_';
    }
    return QStringLiteral("Caractère ") + QChar(character) + QStringLiteral("     ") + code;
}

// A key-down as the X server reports it: the layout's key and text, the physical key code.
void SendNativeKey(QWidget* receiver, int key, const QString& text, quint32 scanCode,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text, autoRepeat);
    QApplication::sendEvent(receiver, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, scanCode, 0, 0, text, autoRepeat);
    QApplication::sendEvent(receiver, &release);
}

// Short elements keep the recordings short: dih 20 ms, dah 60 ms, pause 20 ms.
void UseShortElements(TrainerFixture& trainer) {
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DIHLenght", 20);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DAHLenght", 60);
    trainer.store.PutDword(TrainerFixture::kConfigurationKey, "PauseLenght", 20);
}

// What the window plays for the next character, decoded, with short elements.
std::string HearCharacter(TrainerFixture& trainer) {
    const auto sound = trainer.Listen(TrainerFixture::kRingFrames + FramesOfMs(5 * 80) + 4096);
    return RunsToMorse(ToneRuns(sound), FramesOfMs(20), FramesOfMs(60));
}

} // namespace

class KeyboardPracticeWiringTest : public QObject {
    Q_OBJECT

private slots:
    void letterPlaysAndIsShown();
    void letterCountsWhateverShift();
    void digitLineEndsInItsCode();
    void keysWithoutCharacterPlayNothing();
    void azertyDigitRowPlaysDigits();
    void keypadDigitsAreNotTaken();
    void autoRepeatRestartsTheCharacter();
    void newKeyCutsTheCharacterOff();
    void hiddenDisplayKeepsItsText();
    void everyDisplayLineFitsOnOneLine();
    void charToTheWindowItselfReplays();
    void dictationRecordsAnswersInstead();
    void typedSpacesPressNoButton();
    void tabReachesEveryButtonAndSpacePressesIt();

private:
    QLabel* KeyboardText(TrainerFixture& trainer) { return trainer.Control<QLabel>(MainControl::kKeyboardText); }
    void TickShow(TrainerFixture& trainer) {
        QTest::mouseClick(trainer.Control<QCheckBox>(MainControl::kKeyboardShow), Qt::LeftButton);
    }
};

void KeyboardPracticeWiringTest::letterPlaysAndIsShown() {
    TrainerFixture trainer;
    UseShortElements(trainer);
    trainer.Open();
    TickShow(trainer);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q);
    QCOMPARE(KeyboardText(trainer)->text(), ExpectedLine('Q'));
    QCOMPARE(HearCharacter(trainer), std::string(MorseOf('Q')));
}

void KeyboardPracticeWiringTest::letterCountsWhateverShift() {
    TrainerFixture trainer;
    trainer.Open();
    TickShow(trainer);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::ShiftModifier);
    QCOMPARE(KeyboardText(trainer)->text(), ExpectedLine('K'));
    // Caps Lock gives the same key with an upper-case text.
    SendNativeKey(QApplication::focusWidget(), Qt::Key_E, QStringLiteral("E"), 26);
    QCOMPARE(KeyboardText(trainer)->text(), ExpectedLine('E'));
}

void KeyboardPracticeWiringTest::digitLineEndsInItsCode() {
    TrainerFixture trainer;
    trainer.Open();
    TickShow(trainer);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_1);
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral("Caractère 1     . _ _ _ _"));
    QVERIFY(trainer.Dialog().GetSynthesiser().IsPlaying());
}

void KeyboardPracticeWiringTest::keysWithoutCharacterPlayNothing() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    TickShow(trainer);
    KeyboardText(trainer)->setText(QStringLiteral("unchanged"));
    auto* slider = trainer.Control<QSlider>(MainControl::kVolume);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(slider, Qt::Key_Space);
    QTest::keyClick(slider, Qt::Key_F1);
    QTest::keyClick(slider, Qt::Key_Exclam);
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral("unchanged"));
    QVERIFY(!dialog.GetSynthesiser().IsPlaying());
    QVERIFY(trainer.device->IsOpen());
}

void KeyboardPracticeWiringTest::azertyDigitRowPlaysDigits() {
#ifdef Q_OS_WIN
    QSKIP("the physical digit row is read from X11 key codes here");
#else
    TrainerFixture trainer;
    UseShortElements(trainer);
    trainer.Open();
    TickShow(trainer);
    QWidget* focus = QApplication::focusWidget();
    // The AZERTY digit row without Shift: key codes 10 to 19 of the X server.
    struct AzertyKey {
        int key;
        const char* text;
        char digit;
    };
    const AzertyKey row[] = {
        {Qt::Key_Ampersand, "&", '1'},  {Qt::Key_Eacute, "é", '2'},     {Qt::Key_QuoteDbl, "\"", '3'},
        {Qt::Key_Apostrophe, "'", '4'}, {Qt::Key_ParenLeft, "(", '5'},  {Qt::Key_Minus, "-", '6'},
        {Qt::Key_Egrave, "è", '7'},     {Qt::Key_Underscore, "_", '8'}, {Qt::Key_Ccedilla, "ç", '9'},
        {Qt::Key_Agrave, "à", '0'},
    };
    quint32 keyCode = 10;
    for (const AzertyKey& key : row) {
        SendNativeKey(focus, key.key, QString::fromUtf8(key.text), keyCode++);
        QCOMPARE(KeyboardText(trainer)->text(), ExpectedLine(key.digit));
    }
    // With Shift the same keys give the digits themselves.
    SendNativeKey(focus, Qt::Key_7, QStringLiteral("7"), 16, Qt::ShiftModifier);
    QCOMPARE(KeyboardText(trainer)->text(), ExpectedLine('7'));

    // The first key of the row is heard as 1, once the 7 has died away.
    trainer.Listen(TrainerFixture::kRingFrames + FramesOfMs(5 * 80));
    SendNativeKey(focus, Qt::Key_Ampersand, QStringLiteral("&"), 10);
    QCOMPARE(HearCharacter(trainer), std::string(MorseOf('1')));

    // A key elsewhere that types a digit on some layout is not the digit row.
    KeyboardText(trainer)->setText(QStringLiteral("unchanged"));
    SendNativeKey(focus, Qt::Key_5, QStringLiteral("5"), 24);
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral("unchanged"));
#endif
}

void KeyboardPracticeWiringTest::keypadDigitsAreNotTaken() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    TickShow(trainer);
    KeyboardText(trainer)->setText(QStringLiteral("unchanged"));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus, Qt::Key_1, Qt::KeypadModifier);
    QTest::keyClick(focus, Qt::Key_0, Qt::KeypadModifier);
    // As the X server reports keypad 7 (key code 79) with Num Lock on.
    SendNativeKey(focus, Qt::Key_7, QStringLiteral("7"), 79, Qt::KeypadModifier);
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral("unchanged"));
    QVERIFY(!dialog.GetSynthesiser().IsPlaying());
}

void KeyboardPracticeWiringTest::autoRepeatRestartsTheCharacter() {
    TrainerFixture trainer; // default lengths: dih 100 ms, dah 300 ms, pause 100 ms
    trainer.Open();
    QWidget* focus = QApplication::focusWidget();
    const int64_t dih = FramesOfMs(100);
    const int64_t dah = FramesOfMs(300);
    QTest::keyPress(focus, Qt::Key_Q);
    // Let 8192 frames of Q be rendered (the ring is full again after each step), then the
    // key repeats in the middle of Q's first dah.
    const int64_t before = 2 * TrainerFixture::kRingFrames;
    std::vector<int16_t> sound = trainer.Listen(before);
    SendNativeKey(focus, Qt::Key_Q, QStringLiteral("q"), 0, Qt::NoModifier, true);
    const auto rest = trainer.Listen(TrainerFixture::kRingFrames + 3 * dah + 3 * dih + 3 * dih + dih);
    sound.insert(sound.end(), rest.begin(), rest.end());
    const std::vector<int64_t> runs = ToneRuns(sound);
    // Q again from its first element: the dah that sounded merges with the new first dah.
    QCOMPARE(RunsToMorse(runs, dih, dah), std::string("--.-"));
    QVERIFY2(std::abs(runs[0] - (before + dah)) <= 2, qPrintable(QString::number(runs[0])));
    QVERIFY(std::abs(runs[1] - dah) <= 2);
}

void KeyboardPracticeWiringTest::newKeyCutsTheCharacterOff() {
    TrainerFixture trainer;
    trainer.Open();
    QWidget* focus = QApplication::focusWidget();
    const int64_t dih = FramesOfMs(100);
    const int64_t dah = FramesOfMs(300);
    QTest::keyClick(focus, Qt::Key_T); // one dah
    std::vector<int16_t> sound = trainer.Listen(TrainerFixture::kRingFrames);
    QTest::keyClick(focus, Qt::Key_E); // one dih, right behind what is queued
    const auto rest = trainer.Listen(TrainerFixture::kRingFrames + dah);
    sound.insert(sound.end(), rest.begin(), rest.end());
    const std::vector<int64_t> runs = ToneRuns(sound);
    // T was cut off after the frames rendered before the second key; E follows at once.
    QCOMPARE(runs.size(), size_t(1));
    QVERIFY(std::abs(runs[0] - (TrainerFixture::kRingFrames + dih)) <= 2);
}

void KeyboardPracticeWiringTest::hiddenDisplayKeepsItsText() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral("Caractère"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T);
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral("Caractère"));
    QVERIFY(dialog.GetSynthesiser().IsPlaying());

    TickShow(trainer);
    QVERIFY(dialog.ShowsKeyboard());
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral(" "));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T);
    QCOMPARE(KeyboardText(trainer)->text(), ExpectedLine('T'));
    TickShow(trainer);
    QVERIFY(!dialog.ShowsKeyboard());
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral(" "));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E);
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral(" "));
}

void KeyboardPracticeWiringTest::everyDisplayLineFitsOnOneLine() {
    TrainerFixture trainer;
    trainer.Open();
    TickShow(trainer);
    QLabel* display = KeyboardText(trainer);
    const QFontMetrics metrics(display->font());
    QList<int> keys;
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) {
        keys.append(key);
    }
    for (int key = Qt::Key_0; key <= Qt::Key_9; ++key) {
        keys.append(key);
    }
    for (int key : keys) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        const QString line = display->text();
        QVERIFY(line.startsWith(QStringLiteral("Caractère ")));
        QVERIFY2(metrics.horizontalAdvance(line) <= display->width(), qPrintable(line));
        QVERIFY2(metrics.height() <= display->height(), qPrintable(line));
    }
}

void KeyboardPracticeWiringTest::charToTheWindowItselfReplays() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    // A character typed to a control is that control's business.
    QTest::keyClick(trainer.Control<QWidget>(ResourceId::kOk), Qt::Key_Question);
    QVERIFY(!dialog.GetSynthesiser().IsPlaying());
    // Typed to the window itself, any character replays the current one.
    QTest::keyClick(&dialog, Qt::Key_Question);
    QVERIFY(dialog.GetSynthesiser().IsPlaying());
}

void KeyboardPracticeWiringTest::dictationRecordsAnswersInstead() {
    FakeTimerSeam timers; // no tick comes unless fired
    TrainerFixture trainer;
    trainer.environment.timers = &timers;
    trainer.environment.pickIndex = [] { return 'E' - 'A'; };
    TrainerDialog& dialog = trainer.Open();
    TickShow(trainer);
    KeyboardText(trainer)->setText(QStringLiteral("unchanged"));
    QTest::mouseClick(trainer.Control<QWidget>(MainControl::kDictationPlay), Qt::LeftButton);
    QVERIFY(dialog.GetRandomDictation().Active());
    const MorseCode dictated = dialog.GetSynthesiser().currentCode;
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus, Qt::Key_K);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 'K' - 'A');
    QTest::keyClick(focus, Qt::Key_7);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 26 + 7);
    QTest::keyClick(focus, Qt::Key_Shift, Qt::ShiftModifier);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 0); // any other key answers A
    QCOMPARE(KeyboardText(trainer)->text(), QStringLiteral("unchanged"));
    QVERIFY(dialog.GetSynthesiser().currentCode == dictated); // no key was loaded
    // Enter still moves the focus on and presses nothing.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 0);
}

void KeyboardPracticeWiringTest::typedSpacesPressNoButton() {
    FakeTimerSeam timers;
    TrainerFixture trainer;
    trainer.environment.timers = &timers;
    TrainerDialog& dialog = trainer.Open();
    auto* noise = trainer.Control<QCheckBox>(MainControl::kNoise);
    // OK has the focus at start: text typed there, spaces included, presses nothing.
    QCOMPARE(QApplication::focusWidget(), trainer.Control<QWidget>(ResourceId::kOk));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("cq cq de f5abc"));
    QVERIFY(dialog.isVisible());
    // Nor on a control that a click or a handler gave the focus to.
    QTest::mouseClick(noise, Qt::LeftButton);
    QVERIFY(noise->isChecked());
    QTest::keyClicks(noise, QStringLiteral("a b"));
    QVERIFY(noise->isChecked());
    QTest::mouseClick(trainer.Control<QWidget>(MainControl::kDictationPlay), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("e e"));
    QVERIFY(dialog.GetRandomDictation().Active()); // still running: no Stop was pressed
    QVERIFY(dialog.isVisible());
    QVERIFY(trainer.store.Writes().empty());
}

// Tab walks the tab stops in template order; Space then presses each button and ticks each box.
void KeyboardPracticeWiringTest::tabReachesEveryButtonAndSpacePressesIt() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    const QList<int32_t> expected = {ResourceId::kOk,
                                     ResourceId::kCancel,
                                     MainControl::kLastLetter,
                                     MainControl::kConfiguration,
                                     MainControl::kAbout,
                                     MainControl::kNoise,
                                     MainControl::kFilePlay,
                                     MainControl::kFileStop,
                                     MainControl::kOpenFile,
                                     MainControl::kFileShow,
                                     MainControl::kDictationShow,
                                     MainControl::kDictationPlay,
                                     MainControl::kDictationStop,
                                     MainControl::kKeyboardShow};
    QList<int32_t> pressed;
    for (int step = 0; step < 16; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (button == nullptr) {
            continue; // the volume slider
        }
        // Space goes down on the button; it is let go here without a click, so that no
        // dialog opens and the window stays.
        QTest::keyPress(button, Qt::Key_Space);
        if (button->isDown()) {
            pressed << button->objectName().mid(3).toInt();
        }
        button->setDown(false);
        QTest::keyRelease(button, Qt::Key_Space);
    }
    std::sort(pressed.begin(), pressed.end());
    QList<int32_t> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    pressed.erase(std::unique(pressed.begin(), pressed.end()), pressed.end());
    QCOMPARE(pressed, sorted);

    // A whole press: Tab (or Enter) to "Bruit", then Space ticks it.
    auto* noise = trainer.Control<QCheckBox>(MainControl::kNoise);
    while (QApplication::focusWidget() != noise) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QTest::keyClick(noise, Qt::Key_Space);
    QVERIFY(noise->isChecked());
    QVERIFY(dialog.GetSynthesiser().Noise());
}

QTEST_MAIN(KeyboardPracticeWiringTest)
#include "KeyboardPracticeWiringTest.moc"
