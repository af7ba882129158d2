// The random dictation in the main window: Play, the ticks of timer 31, scoring, "Montrer",
// Stop, the button interlocks and the Halted state left by the configuration dialog.

#include "tests/app/DictationRig.h"

#include "morse/RandomPicker.h"

#include <QCheckBox>

#include <ctime>

using namespace MainControl;

namespace {

// Play, retried until no second boundary fell between the pick and the clock reads, so that
// the picked character is known: the one seeded with that second.
int32_t PlayInOneSecond(DictationRig& rig) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        rig.Click(kDictationPlay);
        if (std::time(nullptr) == before) {
            return RandomPicker::PickIndexAt(before);
        }
        rig.Click(kDictationStop);
    }
    return -1;
}

QString Score(int score, int total) {
    return QStringLiteral("Score: %1 sur %2").arg(score).arg(total);
}

QString ScoreWith(int score, int total, char previous) {
    return QStringLiteral("Score: %1 sur %2\nPrécédent:%3").arg(score).arg(total).arg(QChar(previous));
}

void PressKey(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class RandomDictationWiringTest : public QObject {
    Q_OBJECT

private slots:
    void playPicksSoundsAndSetsTheTimer();
    void firstTickWithoutKeyCountsA();
    void otherKeysAnswerA();
    void answerStaysForTheNextCharacter();
    void onlyTheLastKeyOfAnIntervalCounts();
    void stopThenPlayStartsFromZero();
    void interlockOfBothModes();
    void showDuringARun();
    void haltedByTheConfigurationDialog();
    void previousIsAlwaysUpperCase();
    void timerThatCannotBeSet();
    void otherTimersAndIdleTicksDoNothing();
};

void RandomDictationWiringTest::playPicksSoundsAndSetsTheTimer() {
    DictationRig rig;
    UseShortElements(rig.trainer);
    rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "DicteeLenght", 700);
    TrainerDialog& dialog = rig.Open();
    const int32_t expected = PlayInOneSecond(rig);
    QVERIFY(expected >= 0);
    QCOMPARE(dialog.GetRandomDictation().CurrentIndex(), expected);
    QVERIFY(dialog.GetRandomDictation().Active());
    QVERIFY(rig.timers.IsSet(31));
    QCOMPARE(rig.timers.PeriodMs(31), 700);
    QCOMPARE(rig.Text(kScore), Score(0, 0));
    QCOMPARE(Hear(rig.trainer), std::string(kMorseByIndex[expected]));

    // Each tick sets the timer again, with the interval in force.
    const int sets = rig.timers.setCalls;
    QVERIFY(rig.Tick());
    QCOMPARE(rig.timers.setCalls, sets + 1);
    QCOMPARE(rig.timers.PeriodMs(31), 700);
    QVERIFY(rig.trainer.messages.texts.isEmpty());
}

void RandomDictationWiringTest::firstTickWithoutKeyCountsA() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.picks = {0}; // the first pick is 'A'
    rig.Click(kDictationPlay);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 0);
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(1, 1, 'A'));

    // Any other first character is scored as wrong.
    DictationRig other;
    other.Open();
    other.picks = {'E' - 'A'};
    other.Click(kDictationPlay);
    other.Tick();
    QCOMPARE(other.Text(kScore), ScoreWith(0, 1, 'E'));
}

void RandomDictationWiringTest::otherKeysAnswerA() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.picks = {0, 0}; // what sounds for each interval
    rig.Click(kDictationPlay);
    PressKey(Qt::Key_E);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 4);
    // Space goes to the window itself: on the focused button it would press that button.
    QTest::keyClick(&dialog, Qt::Key_Space);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 0);
    PressKey(Qt::Key_E);
    PressKey(Qt::Key_Shift);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 0);
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(1, 1, 'A'));
    // A keypad digit is not a digit key: it answers A too.
    PressKey(Qt::Key_7);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 33);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_7, Qt::KeypadModifier);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 0);
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(2, 2, 'A'));
}

void RandomDictationWiringTest::answerStaysForTheNextCharacter() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.picks = {4, 4, 19}; // what sounds for each interval
    rig.Click(kDictationPlay);
    PressKey(Qt::Key_E);
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(1, 1, 'E'));
    // No key in this interval: E is still the answer.
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(2, 2, 'E'));
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(2, 3, 'T'));
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 4);
}

void RandomDictationWiringTest::onlyTheLastKeyOfAnIntervalCounts() {
    DictationRig rig;
    rig.Open();
    rig.picks = {4, 4}; // what sounds for each interval
    rig.Click(kDictationPlay);
    PressKey(Qt::Key_E);
    PressKey(Qt::Key_T);
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(0, 1, 'E'));
    PressKey(Qt::Key_T);
    PressKey(Qt::Key_E);
    rig.Tick();
    QCOMPARE(rig.Text(kScore), ScoreWith(1, 2, 'E'));
}

void RandomDictationWiringTest::stopThenPlayStartsFromZero() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.picks = {0, 1}; // what sounds for each interval
    rig.Click(kDictationPlay);
    rig.Tick();
    rig.Tick();
    rig.Click(kDictationStop);
    QVERIFY(!dialog.GetRandomDictation().Active());
    QVERIFY(!rig.timers.IsSet(31));
    // Stop leaves the texts as they were.
    QCOMPARE(rig.Text(kScore), ScoreWith(1, 2, 'B'));
    const QString pattern = rig.Text(kDictationText);
    rig.Click(kDictationPlay);
    QCOMPARE(rig.Text(kScore), Score(0, 0));
    QCOMPARE(dialog.GetRandomDictation().Score(), 0);
    QCOMPARE(dialog.GetRandomDictation().Total(), 0);
    // "Montrer" is off: the pattern label keeps its text.
    QCOMPARE(rig.Text(kDictationText), pattern);
}

void RandomDictationWiringTest::interlockOfBothModes() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("abc.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("AB");
    file.close();

    DictationRig rig;
    rig.Open();
    QCOMPARE(rig.Interlock(), QString("1111"));
    rig.Click(kDictationPlay);
    QCOMPARE(rig.Interlock(), QString("0100"));
    rig.Click(kDictationStop);
    QCOMPARE(rig.Interlock(), QString("1111"));
    // A Stop while idle repeats the Stop steps.
    rig.Click(kDictationStop);
    QCOMPARE(rig.Interlock(), QString("1111"));

    rig.fileDialog.nextPath = path;
    rig.Click(kOpenFile);
    rig.Click(kFilePlay);
    QCOMPARE(rig.Interlock(), QString("0001"));
    rig.Tick();
    rig.Tick(); // the end of the file: "Fin", buttons unchanged
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Fin"}));
    QCOMPARE(rig.Interlock(), QString("0001"));
    rig.Click(kFileStop);
    QCOMPARE(rig.Interlock(), QString("1111"));

    // "Ouvrir" and the three "Montrer" boxes are never disabled.
    rig.Click(kDictationPlay);
    for (int32_t id : {kOpenFile, kFileShow, kDictationShow, kKeyboardShow}) {
        QVERIFY(rig.Enabled(id));
    }
    rig.Click(kDictationStop);
    rig.Click(kFilePlay);
    for (int32_t id : {kOpenFile, kFileShow, kDictationShow, kKeyboardShow}) {
        QVERIFY(rig.Enabled(id));
    }
}

void RandomDictationWiringTest::showDuringARun() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.trainer.Control<QLabel>(kDictationText)->setText(QStringLiteral("unchanged"));
    rig.Click(kDictationPlay);
    QCOMPARE(rig.Text(kDictationText), QString("unchanged"));
    rig.Click(kDictationShow);
    QVERIFY(dialog.ShowsDictation());
    QCOMPARE(rig.Text(kDictationText), QString(" "));
    rig.Tick();
    QCOMPARE(rig.Text(kDictationText),
             QStringLiteral("Caractère      ") + PatternOf(dialog.GetRandomDictation().CurrentIndex()));
    // Ticked again: blanked at once and not shown at the next tick.
    rig.Click(kDictationShow);
    QVERIFY(!dialog.ShowsDictation());
    QCOMPARE(rig.Text(kDictationText), QString(" "));
    rig.Tick();
    QCOMPARE(rig.Text(kDictationText), QString(" "));
    // With the box ticked, Play shows the first character's pattern.
    rig.Click(kDictationShow);
    rig.Click(kDictationStop);
    rig.Click(kDictationPlay);
    QCOMPARE(rig.Text(kDictationText),
             QStringLiteral("Caractère      ") + PatternOf(dialog.GetRandomDictation().CurrentIndex()));
    // Every pattern, as each index shows it.
    for (int32_t index = 0; index < 36; ++index) {
        rig.picks = {index};
        rig.Tick();
        QCOMPARE(rig.Text(kDictationText), QStringLiteral("Caractère      ") + PatternOf(index));
    }
}

void RandomDictationWiringTest::haltedByTheConfigurationDialog() {
    for (int32_t button : {int32_t(ResourceId::kCancel), int32_t(ResourceId::kOk)}) {
        DictationRig rig;
        TrainerDialog& dialog = rig.Open();
        rig.Click(kDictationPlay);
        rig.Tick();
        const QString score = rig.Text(kScore);
        const int32_t index = dialog.GetRandomDictation().CurrentIndex();

        DictationRig::AnswerConfigDialog(nullptr, button);
        rig.Click(kConfiguration);
        QVERIFY(!dialog.GetRandomDictation().Active());
        QVERIFY(rig.timers.IsSet(31));
        QCOMPARE(rig.Interlock(), QString("0100"));

        // Ticks find both modes off and do nothing.
        QVERIFY(rig.Tick());
        QCOMPARE(rig.Text(kScore), score);
        QCOMPARE(dialog.GetRandomDictation().CurrentIndex(), index);
        QCOMPARE(dialog.GetRandomDictation().Total(), 1);

        // Keys are played again.
        QTest::mouseClick(rig.trainer.Control<QCheckBox>(kKeyboardShow), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Q);
        QVERIFY(rig.Text(kKeyboardText).startsWith(QStringLiteral("Caractère Q")));

        // Only Stop leads back to Idle.
        rig.Click(kDictationStop);
        QVERIFY(!rig.timers.IsSet(31));
        QCOMPARE(rig.Interlock(), QString("1111"));
    }
}

void RandomDictationWiringTest::previousIsAlwaysUpperCase() {
    DictationRig rig;
    rig.Open();
    for (int32_t index = 0; index < 36; ++index) {
        rig.picks.push_back(index);
    }
    rig.Click(kDictationPlay);
    for (int32_t index = 0; index < 36; ++index) {
        rig.Tick();
        const QString text = rig.Text(kScore);
        QCOMPARE(text.right(1), QString(QChar(kCharacterByIndex[index])));
        QVERIFY(!text.right(1).at(0).isLower());
    }
}

void RandomDictationWiringTest::timerThatCannotBeSet() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.timers.failSet = true;
    rig.Click(kDictationPlay);
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Unable to set timer"}));
    // Running all the same, without ticks, until Stop.
    QVERIFY(dialog.GetRandomDictation().Active());
    QCOMPARE(rig.Interlock(), QString("0100"));
    QCOMPARE(rig.Text(kScore), Score(0, 0));
    QVERIFY(!rig.Tick());
    rig.Click(kDictationStop);
    QCOMPARE(rig.Interlock(), QString("1111"));

    // At a tick: the step is done, then the message.
    rig.trainer.messages.Clear();
    rig.timers.failSet = false;
    rig.picks = {0};
    rig.Click(kDictationPlay);
    rig.timers.failSet = true;
    QVERIFY(rig.Tick());
    QCOMPARE(rig.Text(kScore), ScoreWith(1, 1, 'A'));
    QCOMPARE(rig.trainer.messages.texts, QStringList({"Unable to set timer"}));
    QVERIFY(dialog.GetRandomDictation().Active());
}

void RandomDictationWiringTest::otherTimersAndIdleTicksDoNothing() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    rig.Click(kDictationPlay);
    const int32_t index = dialog.GetRandomDictation().CurrentIndex();
    rig.timers.FireUnconditionally(7);
    QCOMPARE(dialog.GetRandomDictation().Total(), 0);
    QCOMPARE(dialog.GetRandomDictation().CurrentIndex(), index);
    rig.Click(kDictationStop);
    // A tick that was already on its way when Stop killed the timer changes nothing.
    rig.timers.FireUnconditionally(31);
    QCOMPARE(dialog.GetRandomDictation().Total(), 0);
    QCOMPARE(rig.Text(kScore), Score(0, 0));
}

QTEST_MAIN(RandomDictationWiringTest)
#include "RandomDictationWiringTest.moc"
