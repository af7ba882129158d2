// The main window's learning aids: the context menu and the modeless progress window, the
// lesson and adaptive choices made there (saved, and drawn from), the lesson offer, the rows the
// random dictation writes to a real history file and their CSV export, and a bad history file.

#include "tests/app/DictationRig.h"
#include "tests/history/HistoryTestSupport.h"
#include "tests/ui/FakeProgressPrompts.h"

#include "app/HistoryMessageReporter.h"
#include "app/SessionEnd.h"
#include "history/HistoryStore.h"
#include "ui/ProgressWindow.h"

#include <sqlite3.h>

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <unistd.h>

using namespace MainControl;

namespace {

// A dictation rig whose window keeps a real history file in a temporary folder, draws through
// its own lesson and adaptive settings, and reads a clock set by hand.
class LearningRig {
public:
    LearningRig() : history(folder.filePath(QStringLiteral("history.sqlite")).toStdString(), &reporter) {
        rig.trainer.environment.pickIndex = nullptr;
        rig.trainer.environment.dictationSeed = [] { return 20261208U; }; // the same draws every run
        rig.trainer.environment.history = &history;
        rig.trainer.environment.progressPrompts = &prompts;
        rig.trainer.environment.clockMs = [this] { return nowMs; };
    }

    TrainerDialog& Open() { return rig.Open(); }
    ProgressWindow* OpenProgress() {
        rig.Dialog().OnProgress();
        return rig.Dialog().Learning().Window();
    }
    std::optional<int32_t> Stored(const char* name) {
        return rig.trainer.store.Dword(TrainerFixture::kConfigurationKey, name);
    }
    // Ticks timer 31 `count` times, the clock one interval on each time, and returns the
    // characters scored.
    std::string Ticks(int count) {
        std::string played;
        for (int i = 0; i < count; ++i) {
            played += kCharacterByIndex[rig.Dialog().GetRandomDictation().CurrentIndex()];
            nowMs += 3000;
            rig.Tick();
        }
        return played;
    }

    int64_t nowMs = 1'765'000'000'000;
    QTemporaryDir folder;
    RecordingHistoryReporter reporter;
    HistoryStore history;
    FakeProgressPrompts prompts;
    DictationRig rig; // last: the window goes first
};

template <class W> W* Find(QWidget* parent, const char* name) {
    return parent != nullptr ? parent->findChild<W*>(QString::fromLatin1(name)) : nullptr;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The answers in a file, through a read-only connection of its own; -1 when it cannot tell.
int RowsIn(const QString& path) {
    sqlite3* db = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* count = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM answers", -1, &count, nullptr) == SQLITE_OK &&
            sqlite3_step(count) == SQLITE_ROW) {
            rows = sqlite3_column_int(count, 0);
        }
        sqlite3_finalize(count);
    }
    sqlite3_close(db);
    return rows;
}

// Another program's connection, with its write lock while it lives.
struct WriteLock {
    explicit WriteLock(const QString& path) {
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    ~WriteLock() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
};

} // namespace

class LearningTest : public QObject {
    Q_OBJECT

private slots:
    void contextMenuOpensAModelessProgressWindow();
    void lessonAndAdaptiveChooseTheDrawAndAreSaved();
    void eachScoredCharacterIsOneRowAndTheExportWritesThem();
    void passedLessonIsOfferedAndOneClickTakesIt();
    void aBadHistoryFileGivesOneMessageAndTheDictationGoesOn();
    void eachHistoryFaultIsToldOnceAndLosesNoAnswer();
};

void LearningTest::contextMenuOpensAModelessProgressWindow() {
    LearningRig learning;
    TrainerDialog& dialog = learning.Open();
    learning.rig.Click(kDictationPlay);
    QTest::keyClick(&dialog, Qt::Key_K);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 10);

    // A right-click on a label of the window reaches the window: its menu, "Progrès..." first.
    auto* label = learning.rig.trainer.Control<QLabel>(kScore);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), label->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(label, &click);
    QMenu* menu = dialog.ContextMenu();
    QVERIFY(menu != nullptr);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(!menu->actions().isEmpty());
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Progrès..."));
    menu->actions().first()->trigger();
    menu->close();

    ProgressWindow* window = dialog.Learning().Window();
    QVERIFY(window != nullptr);
    QTRY_VERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Progrès"));
    QVERIFY(!window->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(window->isWindow());

    // The dictation goes on under it, and keys typed in it are not answers.
    const int total = dialog.GetRandomDictation().Total();
    learning.Ticks(2);
    QCOMPARE(dialog.GetRandomDictation().Total(), total + 2);
    QTest::keyClick(window, Qt::Key_E);
    QTest::keyClick(Find<QComboBox>(window, "lessonChooser"), Qt::Key_T);
    QCOMPARE(dialog.GetRandomDictation().AnswerIndex(), 10);
    QVERIFY(dialog.GetRandomDictation().Active());

    // Opened again, it is the same window.
    dialog.OnProgress();
    QCOMPARE(dialog.Learning().Window(), window);
}

void LearningTest::lessonAndAdaptiveChooseTheDrawAndAreSaved() {
    LearningRig learning;
    // K always missed, M always right and quick: the adaptive drill should favour K.
    for (int i = 0; i < 50; ++i) {
        learning.history.Record(Answer(1'700'000'000'000 + i * 3000, 'K', 'R', 900));
        learning.history.Record(Answer(1'700'000'000'000 + i * 3000 + 1500, 'M', 'M', 300));
    }
    learning.history.Commit();
    TrainerDialog& dialog = learning.Open();
    ProgressWindow* window = learning.OpenProgress();
    QVERIFY(window != nullptr);
    auto* lessons = Find<QComboBox>(window, "lessonChooser");
    QVERIFY(lessons != nullptr);
    QCOMPARE(lessons->currentData().toInt(), 0);
    QVERIFY(!learning.Stored("KochLesson").has_value()); // nothing written until a choice

    lessons->setCurrentIndex(lessons->findData(2));
    QCOMPARE(dialog.GetSettings().kochLesson, 2);
    QCOMPARE(learning.Stored("KochLesson").value_or(-1), 2);

    learning.rig.Click(kDictationPlay);
    std::map<char, int> counts;
    for (const char c : learning.Ticks(200)) {
        ++counts[c];
    }
    learning.rig.Click(kDictationStop);
    QCOMPARE(counts.size(), size_t(2));
    QVERIFY(counts['K'] > 60 && counts['M'] > 60); // uniform between the two

    auto* adaptive = Find<QCheckBox>(window, "adaptiveBox");
    QVERIFY(adaptive != nullptr);
    adaptive->click();
    QCOMPARE(dialog.GetSettings().adaptive, 1);
    QCOMPARE(learning.Stored("Adaptive").value_or(-1), 1);
    learning.history.Clear();
    for (int i = 0; i < 50; ++i) {
        learning.history.Record(Answer(1'700'000'000'000 + i * 3000, 'K', 'R', 900));
        learning.history.Record(Answer(1'700'000'000'000 + i * 3000 + 1500, 'M', 'M', 300));
    }
    learning.history.Commit();
    learning.rig.Click(kDictationPlay);
    counts.clear();
    for (const char c : learning.Ticks(60)) {
        ++counts[c];
    }
    learning.rig.Click(kDictationStop);
    QVERIFY2(counts['K'] >= 3 * counts['M'],
             qPrintable(QStringLiteral("K %1, M %2").arg(counts['K']).arg(counts['M'])));

    // Back to no lesson and no drill: the stored values follow.
    lessons->setCurrentIndex(lessons->findData(0));
    adaptive->click();
    QCOMPARE(learning.Stored("KochLesson").value_or(-1), 0);
    QCOMPARE(learning.Stored("Adaptive").value_or(-1), 0);
}

// Intervals with keys at known moments: one row per scored character, written when it is
// scored, with the time the character began, the last letter or digit typed for it and when.
void LearningTest::eachScoredCharacterIsOneRowAndTheExportWritesThem() {
    LearningRig learning;
    learning.rig.trainer.environment.pickIndex = [&learning] {
        std::deque<int32_t>& picks = learning.rig.picks;
        const int32_t index = picks.empty() ? 0 : picks.front();
        if (!picks.empty()) {
            picks.pop_front();
        }
        return index;
    };
    learning.rig.picks = {10, 4, 19, 27, 12};
    TrainerDialog& dialog = learning.Open();
    const int64_t startMs = learning.nowMs;
    learning.rig.Click(kDictationPlay);
    struct Interval {
        std::vector<std::pair<int64_t, Qt::Key>> keys; // [ms] after the interval's start, key
    };
    const Interval intervals[] = {
        {{{700, Qt::Key_K}}},                         // K: right, 700 ms
        {{}},                                         // E: nothing typed
        {{{400, Qt::Key_E}, {900, Qt::Key_T}}},       // T: the last letter counts, 900 ms
        {{{1200, Qt::Key_1}, {1500, Qt::Key_Space}}}, // 1: a later Space hides nothing
    };
    for (const Interval& interval : intervals) {
        const int64_t intervalStartMs = learning.nowMs;
        for (const auto& [atMs, key] : interval.keys) {
            learning.nowMs = intervalStartMs + atMs;
            QTest::keyClick(&dialog, key);
        }
        learning.nowMs = intervalStartMs + 3000;
        learning.rig.Tick();
    }
    learning.rig.Click(kDictationStop); // M, sounding at Stop, is never scored
    QCOMPARE(dialog.GetRandomDictation().Total(), 4);

    const std::vector<AnswerRecord> rows = learning.history.ReadSince(0);
    QCOMPARE(rows.size(), size_t(4));
    const AnswerRecord expected[] = {Answer(startMs, 'K', 'K', 700), Answer(startMs + 3000, 'E', 0, -1),
                                     Answer(startMs + 6000, 'T', 'T', 900), Answer(startMs + 9000, '1', '1', 1200)};
    for (size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].atMs, expected[i].atMs);
        QCOMPARE(rows[i].mode, std::string("random"));
        QCOMPARE(rows[i].played, expected[i].played);
        QCOMPARE(rows[i].typed, expected[i].typed);
        QCOMPARE(rows[i].responseMs, expected[i].responseMs);
    }

    // "Exporter CSV..." writes the same rows.
    ProgressWindow* window = learning.OpenProgress();
    const QString csv = learning.folder.filePath(QStringLiteral("export.csv"));
    learning.prompts.nextPath = csv;
    auto* exportButton = Find<QPushButton>(window, "exportButton");
    QVERIFY(exportButton != nullptr);
    exportButton->click();
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString expectedText = QStringLiteral("at_ms,mode,played,typed,response_ms\r\n"
                                                "%1,random,K,K,700\r\n"
                                                "%2,random,E,,\r\n"
                                                "%3,random,T,T,900\r\n"
                                                "%4,random,1,1,1200\r\n")
                                     .arg(startMs)
                                     .arg(startMs + 3000)
                                     .arg(startMs + 6000)
                                     .arg(startMs + 9000);
    QCOMPARE(QString::fromUtf8(file.readAll()), expectedText);
    QVERIFY(learning.reporter.messages.empty());
}

void LearningTest::passedLessonIsOfferedAndOneClickTakesIt() {
    LearningRig learning;
    learning.rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "KochLesson", 2);
    // 100 answers in lesson 2, 90 of them right; and older ones in lesson 3 that do not count.
    for (int i = 0; i < 100; ++i) {
        const char played = i % 2 == 0 ? 'K' : 'M';
        learning.history.Record(Answer(1'700'000'000'000 + i * 3000, played, i % 10 == 0 ? 'R' : played, 500), 2);
    }
    learning.history.Commit();
    TrainerDialog& dialog = learning.Open();
    QCOMPARE(dialog.GetSettings().kochLesson, 2);
    ProgressWindow* window = learning.OpenProgress();
    auto* offer = Find<QPushButton>(window, "offerButton");
    QVERIFY(offer != nullptr);
    QVERIFY(offer->isVisible());
    QCOMPARE(offer->text(), QStringLiteral("Passer à la leçon 3"));
    offer->click();
    QCOMPARE(dialog.GetSettings().kochLesson, 3);
    QCOMPARE(learning.Stored("KochLesson").value_or(-1), 3);
    QVERIFY(!offer->isVisible()); // lesson 3 has no answers yet

    // One more miss in lesson 2 would have kept it from being offered: 89 of the last 100.
    LearningRig missed;
    missed.rig.trainer.store.PutDword(TrainerFixture::kConfigurationKey, "KochLesson", 2);
    for (int i = 0; i < 100; ++i) {
        missed.history.Record(Answer(1'700'000'000'000 + i * 3000, 'K', i % 10 == 0 || i == 55 ? 'M' : 'K', 500), 2);
    }
    missed.history.Commit();
    missed.Open();
    QVERIFY(!Find<QPushButton>(missed.OpenProgress(), "offerButton")->isVisible());
}

// A folder in place of the history file: one message, once, after the handler that met it; the
// dictation scores as ever.
void LearningTest::aBadHistoryFileGivesOneMessageAndTheDictationGoesOn() {
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("history.sqlite")));
    DictationRig rig;
    HistoryMessageReporter reporter(rig.trainer.messages);
    HistoryStore history(folder.filePath(QStringLiteral("history.sqlite")).toStdString(), &reporter);
    rig.trainer.environment.history = &history;
    rig.picks = {0, 0, 0, 0};
    TrainerDialog& dialog = rig.Open();
    rig.Click(kDictationPlay);
    for (int i = 0; i < 3; ++i) {
        rig.Tick();
    }
    QCOMPARE(dialog.GetRandomDictation().Total(), 3);
    QCOMPARE(dialog.GetRandomDictation().Score(), 3);
    QTRY_COMPARE(rig.trainer.messages.texts.size(), 1);
    QVERIFY(rig.trainer.messages.texts[0].contains(QStringLiteral("Un dossier occupe la place")));
    rig.Click(kDictationStop);
    QTest::qWait(50);
    QCOMPARE(rig.trainer.messages.texts.size(), 1);
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("history.sqlite"))).isDir());
}

// Faults met during a session of three scored answers, then Stop: one message each, at that
// moment, saying what the store does; no answer lost that the message does not give up; and no
// partial figures in "Progrès".
void LearningTest::eachHistoryFaultIsToldOnceAndLosesNoAnswer() {
    struct Fault {
        const char* name;
        std::function<void(LearningRig&, const QString& file)> before; // before the window opens
        std::function<void(LearningRig&, const QString& file)> during; // after the answers, before Stop
        std::function<void(LearningRig&, const QString& file)> after;  // after Stop
        const char* message;                                           // part of the one message; none when null
        int rows;      // in the file at the end; -1: not counted (compared byte for byte instead)
        bool readable; // "Progrès" shows figures
    };
    QByteArray damaged;
    std::unique_ptr<WriteLock> lock;
    const auto none = [](LearningRig&, const QString&) {};
    const Fault faults[] = {
        {"a damaged page, as when 3000 bytes in the middle are overwritten",
         [&damaged](LearningRig&, const QString& file) {
             {
                 HistoryStore writer(file.toStdString(), nullptr);
                 for (int i = 0; i < 2000; ++i) {
                     writer.Record(Answer(1'700'000'000'000 + i * 3000, 'K', 'K', 500));
                 }
             }
             QFile bytes(file);
             QVERIFY(bytes.open(QIODevice::ReadWrite));
             QVERIFY(bytes.seek(bytes.size() / 2 / 4096 * 4096));
             bytes.write(QByteArray(3000, '\x55'));
             bytes.close();
             damaged = Bytes(file);
         },
         none, [&damaged](LearningRig&, const QString& file) { QCOMPARE(Bytes(file), damaged); }, "est endommagé", -1,
         false},
        {"the file deleted during the run", none,
         [](LearningRig& learning, const QString& file) {
             learning.history.Commit();
             QCOMPARE(RowsIn(file), 3);
             QVERIFY(QFile::remove(file));
             learning.Ticks(2); // these two go to a new file
         },
         none, "a été supprimé pendant la séance ; un nouveau fichier", 2, true},
        {"a lock held across Stop", none,
         [&lock](LearningRig&, const QString& file) { lock = std::make_unique<WriteLock>(file); },
         [&lock](LearningRig& learning, const QString& file) {
             QCOMPARE(RowsIn(file), 0);
             lock.reset();
             learning.rig.Click(kDictationPlay);
             learning.Ticks(2);
             learning.rig.Click(kDictationStop);
         },
         "verrouillé par un autre programme. Les réponses restent en attente", 5, true},
        {"SIGTERM", none,
         [](LearningRig& learning, const QString& file) {
             ::kill(::getpid(), SIGTERM);
             QTRY_VERIFY(!learning.rig.Dialog().isVisible());
             QCOMPARE(RowsIn(file), 3);
         },
         none, nullptr, 3, true},
    };
    for (const Fault& fault : faults) {
        LearningRig learning;
        const QString file = learning.folder.filePath(QStringLiteral("history.sqlite"));
        fault.before(learning, file);
        TrainerDialog& dialog = learning.Open();
        int quits = 0;
        const SessionEnd end(dialog, &learning.history, [&quits] { ++quits; });
        learning.rig.Click(kDictationPlay);
        learning.Ticks(3);
        fault.during(learning, file);
        if (dialog.isVisible()) {
            learning.rig.Click(kDictationStop);
            fault.after(learning, file);
            ProgressWindow* window = learning.OpenProgress();
            const QString summary = Find<QLabel>(window, "summaryLabel")->text();
            QCOMPARE(summary == QStringLiteral("L'historique des réponses ne peut pas être lu."), !fault.readable);
            QCOMPARE(Find<QWidget>(window, "accuracyChart")->accessibleDescription() == summary, !fault.readable);
        } else {
            QCOMPARE(quits, 1);
            QCOMPARE(end.ReceivedSignal(), SIGTERM);
        }
        const std::vector<std::string>& messages = learning.reporter.messages;
        QVERIFY2(messages.size() == (fault.message != nullptr ? 1u : 0u), fault.name);
        QVERIFY2(fault.message == nullptr || messages[0].find(fault.message) != std::string::npos,
                 messages.empty() ? fault.name : messages[0].c_str());
        QVERIFY2(fault.rows < 0 || RowsIn(file) == fault.rows, fault.name);
    }
}

QTEST_MAIN(LearningTest)
#include "LearningTest.moc"
