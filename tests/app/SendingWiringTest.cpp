// The sending window run from the main window: its menu item, its keys (Space, either Ctrl),
// what it reads back and records in a real history file, its settings, and a silent stream. The
// keys' clock is set by hand and the sidetone's stream is stepped by hand, 10 ms at a time.
#include "tests/app/TrainerFixture.h"
#include "tests/history/HistoryTestSupport.h"

#include "history/HistoryStore.h"
#include "keying/KeyingEngine.h"
#include "morse/MorseTable.h"
#include "ui/AnnouncedLabel.h"
#include "ui/KeyArea.h"
#include "ui/SendingWindow.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int64_t kUnixStartMs = 1'765'000'000'000;
constexpr quint32 kXkControlRight = 0xffe4; // the right Ctrl key's X11 key symbol

class SendingRig {
public:
    SendingRig() : history(folder.filePath(QStringLiteral("history.sqlite")).toStdString(), &reporter) {
        trainer.environment.history = &history;
        trainer.environment.keyClockMs = [this] { return nowMs; };
        trainer.environment.clockMs = [this] { return kUnixStartMs + static_cast<int64_t>(nowMs); };
    }

    SendingWindow* Open(const std::string& material = "PARIS") {
        trainer.Open().Sending().SetMaterial([material] { return material; });
        trainer.Dialog().OnSending();
        if (!QTest::qWaitForWindowActive(Window())) {
            qWarning("the sending window did not become active");
        }
        return Window();
    }
    SendingWindow* Window() { return trainer.Dialog().Sending().Window(); }

    // A key event where the focus is in the sending window.
    void Key(QEvent::Type type, int key, quint32 nativeVirtualKey = 0, bool autoRepeat = false,
             QWidget* receiver = nullptr) {
        QKeyEvent event(type, key, Qt::NoModifier, 0, nativeVirtualKey, 0, key == Qt::Key_Space ? " " : "", autoRepeat);
        QApplication::sendEvent(receiver != nullptr ? receiver : Window()->Key(), &event);
    }
    // Time goes on: 10 ms at a time, the stream renders 441 frames and the window takes a look.
    void Wait(double ms) {
        for (const double end = nowMs + ms; nowMs < end; nowMs += 10) {
            if (!trainer.sidetoneFails && trainer.sidetone != nullptr && trainer.sidetone->IsOpen()) {
                trainer.sidetone->Play(441, 441);
            }
            trainer.Dialog().Sending().Poll();
        }
    }
    // Keys text with the straight key, Space, at 20 WPM.
    void KeyWithSpace(const std::string& text) {
        const MorseTable table;
        for (const char c : text) {
            MorseCode code{};
            table.CodeForChar(c, code);
            for (int i = 0; i < MorseCode::kLength && code.codes[i] != End; ++i) {
                if (code.codes[i] == Gap) {
                    Wait(60);
                    continue;
                }
                Key(QEvent::KeyPress, Qt::Key_Space);
                Wait(code.codes[i] == Dah ? 180 : 60);
                Key(QEvent::KeyRelease, Qt::Key_Space);
            }
            Wait(180);
        }
        Wait(600);
    }
    std::string Typed() {
        std::string typed;
        for (const AnswerRecord& row : history.ReadSince(0)) {
            typed += row.typed == 0 ? '_' : row.typed;
        }
        return typed;
    }

    double nowMs = 0;
    QTemporaryDir folder;
    RecordingHistoryReporter reporter;
    HistoryStore history;
    TrainerFixture trainer; // last: the window goes first
};

template <class W> W* Find(QWidget* parent, const char* name) {
    return parent->findChild<W*>(QString::fromLatin1(name));
}

} // namespace

class SendingWiringTest : public QObject {
    Q_OBJECT

private slots:
    void menuOpensAModelessWindowOnTheMainDevice() {
        SendingRig rig;
        rig.trainer.Open();
        QStringList items;
        for (QAction* action : rig.trainer.Dialog().ContextMenu()->actions()) {
            items.append(action->text());
        }
        QCOMPARE(items.indexOf(QStringLiteral("Manipulation...")), 2); // the order: CopyWiringTest
        rig.trainer.Dialog().Sending().SetMaterial([] { return std::string("PARIS"); });
        rig.trainer.Dialog().ContextMenu()->findChild<QAction*>(QStringLiteral("sendingAction"))->trigger();
        SendingWindow* window = rig.Window();
        QVERIFY(window != nullptr && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Manipulation"));
        QVERIFY(!window->isModal());
        QVERIFY(rig.trainer.sidetone->IsOpen());
        QCOMPARE(rig.trainer.sidetone->openedDevice, 0);
        QCOMPARE(rig.trainer.sidetone->rate, 44100);
        QVERIFY(Find<QLabel>(window, "soundText")->isHidden());
        QCOMPARE(Find<QComboBox>(window, "modeChooser")->currentText(), QStringLiteral("Pioche droite"));
        QVERIFY(!Find<QSpinBox>(window, "wpmBox")->isEnabled()); // the keyer's speed, for paddles only

        // Every control and result has a name of its own; the texts are named by their content.
        QSet<QString> names;
        for (const char* name : {"modeChooser", "wpmBox", "swapBox", "newTextButton", "targetText", "sentText",
                                 "scoreText", "keyArea", "rhythmView", "rhythmText"}) {
            const QString accessible =
                QAccessible::queryAccessibleInterface(Find<QWidget>(window, name))->text(QAccessible::Name);
            QVERIFY2(!accessible.isEmpty(), name);
            names.insert(accessible);
        }
        QCOMPARE(names.size(), 10);
        QCOMPARE(Find<QLabel>(window, "targetText")->accessibleName(), QStringLiteral("À envoyer : PARIS"));
        QCOMPARE(Find<QLabel>(window, "sentText")->accessibleName(), QStringLiteral("Reçu :  ; 0 justes sur 5"));

        window->close();
        QVERIFY(!rig.trainer.Dialog().Sending().IsStreamOpen());
    }

    // PARIS keyed with Space: each element sounds at once, the text is read back, the attempt is
    // complete with its last character, and its five rows are in the history.
    void straightKeyParisIsReadScoredAndRecorded() {
        SendingRig rig;
        SendingWindow* window = rig.Open();
        rig.KeyWithSpace("PARIS");
        const std::vector<int64_t> runs = ToneRuns(rig.trainer.sidetone->left);
        QCOMPARE(runs.size(), size_t{14}); // .--. .- .-. .. ...
        QCOMPARE(RunsToMorse(runs, FramesOfMs(60), FramesOfMs(180)), std::string(".--.") + ".-" + ".-." + ".." + "...");
        const std::vector<AnswerRecord> rows = rig.history.ReadSince(0);
        QCOMPARE(rows.size(), size_t{5});
        std::string played;
        for (size_t i = 0; i < rows.size(); ++i) {
            played += rows[i].played;
            QCOMPARE(rows[i].mode, std::string("send"));
            QCOMPARE(rows[i].responseMs, int64_t{-1});
            if (i > 0) {
                QVERIFY(rows[i].atMs > rows[i - 1].atMs);
            }
        }
        QCOMPARE(played, std::string("PARIS"));
        QCOMPARE(rig.Typed(), std::string("PARIS"));
        // P began when Space first went down, at 0 ms.
        QCOMPARE(rows[0].atMs, kUnixStartMs);
        auto* score = Find<AnnouncedLabel>(window, "scoreText");
        QCOMPARE(score->text(), QStringLiteral("Dernier envoi : 5 sur 5 justes"));
        QCOMPARE(score->Value(), 5);
        QCOMPARE(rig.trainer.Dialog().Sending().Practice().SentCount(), 0); // a new target, untouched
    }

    // Left Ctrl is the dit paddle and Right Ctrl the dah: held 0.30 s and 0.40 s at 20 WPM they
    // key three dits and two dahs, S and M; "Inverser" swaps them.
    void paddlesKeyFromTheCtrlKeys() {
        SendingRig rig;
        SendingWindow* window = rig.Open("SMT");
        Find<QComboBox>(window, "modeChooser")->setCurrentIndex(1);
        QCOMPARE(rig.trainer.store.Dword(TrainerFixture::kConfigurationKey, "KeyerMode"), std::optional<int32_t>(1));
        rig.Key(QEvent::KeyPress, Qt::Key_Control);
        rig.Wait(300);
        rig.Key(QEvent::KeyRelease, Qt::Key_Control);
        rig.Wait(400);
        rig.Key(QEvent::KeyPress, Qt::Key_Control, kXkControlRight);
        rig.Wait(400);
        rig.Key(QEvent::KeyRelease, Qt::Key_Control, kXkControlRight);
        rig.Wait(400);
        Find<QCheckBox>(window, "swapBox")->setChecked(true);
        rig.Key(QEvent::KeyPress, Qt::Key_Control); // now the dah
        rig.Wait(100);
        rig.Key(QEvent::KeyRelease, Qt::Key_Control);
        rig.Wait(1000);
        QCOMPARE(ToneRuns(rig.trainer.sidetone->left).size(), size_t{6});
        QCOMPARE(rig.Typed(), std::string("SMT"));
        QCOMPARE(rig.trainer.store.Dword(TrainerFixture::kConfigurationKey, "KeyerSwap"), std::optional<int32_t>(1));
    }

    // Keys typed in the sending window reach neither the main window's practices nor its buttons,
    // and an auto-repeated key changes nothing.
    void typingStaysInTheWindowAndPressesNoButton() {
        SendingRig rig;
        SendingWindow* window = rig.Open();
        auto* newText = Find<QPushButton>(window, "newTextButton");
        QSignalSpy newTextSpy(window, &SendingWindow::newTextRequested);
        newText->setFocus(Qt::TabFocusReason);
        rig.Key(QEvent::KeyPress, Qt::Key_Space, 0, false, newText);
        rig.Key(QEvent::KeyPress, Qt::Key_Space, 0, true, newText);
        rig.Key(QEvent::KeyRelease, Qt::Key_Space, 0, true, newText);
        rig.Key(QEvent::KeyPress, Qt::Key_E, 0, false, newText);
        rig.Wait(100);
        rig.Key(QEvent::KeyRelease, Qt::Key_Space, 0, false, newText);
        rig.Wait(50);
        QCOMPARE(newTextSpy.size(), 0);
        MorseCode one{};
        MorseTable().CodeForChar('1', one);
        QVERIFY(rig.trainer.Dialog().GetSynthesiser().currentCode == one); // the keyboard practice played no E
        const std::vector<int64_t> runs = ToneRuns(rig.trainer.sidetone->left);
        QCOMPARE(runs.size(), size_t{1}); // one press of 100 ms, not cut by the repeat
        QVERIFY(runs[0] > FramesOfMs(95));
    }

    // With the defaults kept, nothing is written; a choice is written alone.
    void defaultsWriteNothingAndEachChoiceIsSaved() {
        SendingRig rig;
        SendingWindow* window = rig.Open();
        window->close();
        QVERIFY(rig.trainer.store.Writes().empty());
        rig.trainer.Dialog().OnSending();
        Find<QComboBox>(window, "modeChooser")->setCurrentIndex(2);
        rig.trainer.store.ClearLog();
        Find<QSpinBox>(window, "wpmBox")->setValue(27);
        QCOMPARE(rig.trainer.store.WrittenNames(), std::vector<std::string>{"KeyerWpm"});
        QCOMPARE(rig.trainer.Dialog().GetSettings().keyerWpm, 27);
    }

    // A stream that cannot be opened: the window says so, and the key still keys and is read.
    void aSilentStreamStillReads() {
        SendingRig rig;
        rig.trainer.sidetoneFails = true;
        SendingWindow* window = rig.Open("TEST");
        QVERIFY(!Find<QLabel>(window, "soundText")->isHidden());
        QVERIFY(rig.trainer.Dialog().Sending().IsStreamOpen());
        rig.KeyWithSpace("TEST");
        QCOMPARE(rig.Typed(), std::string("TEST"));
    }
};

QTEST_MAIN(SendingWiringTest)
#include "SendingWiringTest.moc"
