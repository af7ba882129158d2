// The progress window: its choices and their signals, the periods it loads, the colours of the
// accuracy bars, the CSV export read back from disk, and clearing only after a Yes.
#include "ui/ProgressWindow.h"
#include "tests/ui/FakeProgressPrompts.h"
#include "ui/AnnouncedLabel.h"
#include "ui/Chooser.h"
#include "ui/ConfusionHeatMap.h"

#include <QAccessible>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QXYSeries>

#include <ctime>
#include <limits>
#include <tuple>

namespace {

constexpr int64_t kNowMs = 1'765'130'400'000;           // Sunday 7 December 2025, 18:00 UTC
constexpr int64_t kSessionStartMs = kNowMs - 3'600'000; // an hour ago
constexpr int64_t kDayMs = 86'400'000;

AnswerRecord Answer(int64_t atMs, char played, char typed, int64_t responseMs = 400) {
    AnswerRecord record;
    record.atMs = atMs;
    record.mode = "random";
    record.played = played;
    record.typed = typed;
    record.responseMs = typed == 0 ? -1 : responseMs;
    return record;
}

// A history in memory that remembers what the window asked of it.
struct History {
    std::vector<AnswerRecord> records;
    std::vector<int64_t> loads; // sinceMs of every load
    int clears = 0;
    bool clearWorks = true;
    int lesson = 0;
    bool adaptive = false;

    ProgressWindow::Sources Sources() {
        ProgressWindow::Sources sources;
        sources.load = [this](int64_t sinceMs) {
            loads.push_back(sinceMs);
            std::vector<AnswerRecord> since;
            for (const AnswerRecord& record : records) {
                if (record.atMs >= sinceMs) {
                    since.push_back(record);
                }
            }
            return since;
        };
        sources.clear = [this] {
            ++clears;
            if (clearWorks) {
                records.clear();
            }
            return clearWorks;
        };
        sources.lesson = [this] { return lesson; };
        sources.adaptive = [this] { return adaptive; };
        sources.nowMs = [] { return kNowMs; };
        sources.sessionStartMs = kSessionStartMs;
        return sources;
    }
};

template <typename T> T* Find(const QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items.append(box.itemText(i));
    }
    return items;
}

} // namespace

class ProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The days fall in UTC, whatever the machine's own zone.
    void initTestCase() {
        qputenv("TZ", "UTC");
        tzset();
    }

    void titleAndChoicesAreInFrench() {
        History history;
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        QCOMPARE(window.windowTitle(), QStringLiteral("Progrès"));
        QVERIFY(!window.isModal());
        QCOMPARE(Items(*Find<QComboBox>(window, "periodChooser")),
                 (QStringList{QStringLiteral("Cette session"), QStringLiteral("7 jours"), QStringLiteral("Tout")}));
        const QStringList lessons = Items(*Find<QComboBox>(window, "lessonChooser"));
        QCOMPARE(lessons.size(), 41);
        QCOMPARE(lessons[0], QStringLiteral("Toutes (sans leçon)"));
        QCOMPARE(lessons[1], QStringLiteral("Leçon 2 : K M"));
        QCOMPARE(lessons[4], QStringLiteral("Leçon 5 : K M R S U"));
        QCOMPARE(lessons[35], QStringLiteral("Leçon 36 : K M R S U A P T L O W I N J E F Y V G 5 Q 9 Z H 3 8 B 4 2 "
                                             "7 C 1 D 6 0 X"));
        QCOMPARE(lessons[40], QString(lessons[35]).replace(QStringLiteral("36"), QStringLiteral("41")) +
                                  QStringLiteral(" . , ? / ="));
        QCOMPARE(Items(*Find<QComboBox>(window, "practiceChooser")),
                 (QStringList{QStringLiteral("Dictée"), QStringLiteral("Copie"), QStringLiteral("Manipulation"),
                              QStringLiteral("Tout")}));
        QCOMPARE(Find<QComboBox>(window, "practiceChooser")->currentText(), QStringLiteral("Tout"));
        QCOMPARE(Find<QCheckBox>(window, "adaptiveBox")->text(), QStringLiteral("Adaptatif"));
        QCOMPARE(Find<QPushButton>(window, "exportButton")->text(), QStringLiteral("Exporter CSV..."));
        QCOMPARE(Find<QPushButton>(window, "clearButton")->text(), QStringLiteral("Effacer l'historique..."));
        QVERIFY(Find<QPushButton>(window, "offerButton")->isHidden());
    }

    // "Pratique": the random dictation's answers only, the sending practice's only, or every answer.
    void practiceFilterKeepsOnlyThatPracticesAnswers() {
        History history;
        history.records = {Answer(kNowMs - 5000, 'K', 'K'), Answer(kNowMs - 4000, 'M', 'K'),
                           Answer(kNowMs - 3000, 'K', 'K'), Answer(kNowMs - 2000, 'R', 0)};
        history.records[2].mode = "send";
        history.records[3].mode = "send";
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        auto* practices = Find<QComboBox>(window, "practiceChooser");
        QCOMPARE(Items(*practices).last(), QStringLiteral("Tout"));
        const struct {
            int item;
            int answers, correct;
        } rows[] = {{3, 4, 2}, {0, 2, 1}, {2, 2, 1}};
        for (const auto& row : rows) {
            practices->setCurrentIndex(row.item);
            QCOMPARE(window.Stats().TotalAnswers(), row.answers);
            QCOMPARE(window.Stats().TotalCorrect(), row.correct);
        }
        QCOMPARE(window.Stats().characters[ProgressStats::KochIndex('R')].answers, 1); // a send row, not typed
    }

    void optionsEmitTheirSignalsAndSyncDoesNot() {
        History history;
        history.lesson = 7;
        history.adaptive = true;
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        auto* lessons = Find<QComboBox>(window, "lessonChooser");
        auto* adaptive = Find<QCheckBox>(window, "adaptiveBox");
        QCOMPARE(lessons->currentData().toInt(), 7);
        QVERIFY(adaptive->isChecked());

        QSignalSpy lessonSpy(&window, &ProgressWindow::lessonChanged);
        QSignalSpy adaptiveSpy(&window, &ProgressWindow::adaptiveChanged);
        lessons->setCurrentIndex(lessons->findText(QStringLiteral("Leçon 12"), Qt::MatchStartsWith));
        lessons->setCurrentIndex(0);
        adaptive->click();
        adaptive->click();
        QCOMPARE(lessonSpy.size(), 2);
        QCOMPARE(lessonSpy[0][0].toInt(), 12);
        QCOMPARE(lessonSpy[1][0].toInt(), 0);
        QCOMPARE(adaptiveSpy.size(), 2);
        QCOMPARE(adaptiveSpy[0][0].toBool(), false);
        QCOMPARE(adaptiveSpy[1][0].toBool(), true);

        // The owner changed the values: the window follows without echoing them back. An
        // unknown lesson shows as no lesson.
        history.lesson = 36;
        history.adaptive = false;
        window.SyncOptions();
        QCOMPARE(lessons->currentData().toInt(), 36);
        QVERIFY(!adaptive->isChecked());
        history.lesson = 1;
        window.SyncOptions();
        QCOMPARE(lessons->currentIndex(), 0);
        QCOMPARE(lessonSpy.size(), 2);
        QCOMPARE(adaptiveSpy.size(), 2);
    }

    void offeredLessonIsAcceptedWithOneClick() {
        History history;
        history.lesson = 5;
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        window.show();
        auto* offer = Find<QPushButton>(window, "offerButton");
        window.OfferLesson(1);
        window.OfferLesson(42);
        QVERIFY(offer->isHidden());
        window.OfferLesson(6);
        QVERIFY(offer->isVisible());
        QCOMPARE(offer->text(), QStringLiteral("Passer à la leçon 6"));

        QSignalSpy lessonSpy(&window, &ProgressWindow::lessonChanged);
        QSignalSpy acceptedSpy(&window, &ProgressWindow::lessonOfferAccepted);
        QTest::mouseClick(offer, Qt::LeftButton);
        QCOMPARE(lessonSpy.size(), 1);
        QCOMPARE(lessonSpy[0][0].toInt(), 6);
        QCOMPARE(acceptedSpy.size(), 1);
        QCOMPARE(acceptedSpy[0][0].toInt(), 6);
        QVERIFY(offer->isHidden());
        QCOMPARE(Find<QComboBox>(window, "lessonChooser")->currentData().toInt(), 6);

        window.OfferLesson(7);
        window.WithdrawOffer();
        QVERIFY(offer->isHidden());
    }

    void periodsLoadAndCountTheirOwnAnswers() {
        History history;
        history.records = {
            Answer(kNowMs - 40 * kDayMs, 'K', 'K'), // only in "Tout"
            Answer(kNowMs - 3 * kDayMs, 'K', 'M'),  // in 7 days and the line of days
            Answer(kSessionStartMs, 'Q', 'Y'),      // in the session
            Answer(kNowMs - 60'000, 'Q', 'Y'),
        };
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        QCOMPARE(window.period(), ProgressStats::Period::All);
        QCOMPARE(window.Stats().TotalAnswers(), 4);
        QCOMPARE(history.loads.back(), std::numeric_limits<int64_t>::min());

        window.setPeriod(ProgressStats::Period::SevenDays);
        QCOMPARE(window.Stats().TotalAnswers(), 3);
        // Loaded back to the first of the 30 days, for the line of days: 6 November, midnight UTC.
        QCOMPARE(history.loads.back(), kNowMs - 18 * 3'600'000 - 29 * kDayMs);
        QCOMPARE(window.Stats().days[26].answers, 1);

        window.setPeriod(ProgressStats::Period::Session);
        QCOMPARE(window.Stats().TotalAnswers(), 2);
        QCOMPARE(Find<QLabel>(window, "topConfusions")->text(), QStringLiteral("Q → Y : 2 fois"));
        QCOMPARE(Find<QLabel>(window, "summaryLabel")->text(), QStringLiteral("2 réponses, 0 % justes"));
        const int q = ProgressStats::KochIndex('Q');
        const int y = ProgressStats::KochIndex('Y');
        QCOMPARE(Find<ConfusionHeatMap>(window, "confusionMap")->GetMatrix()[q][y], 2);

        history.records = {Answer(kNowMs - 60'000, 'Q', 'Q')};
        window.Reload();
        QCOMPARE(Find<QLabel>(window, "summaryLabel")->text(), QStringLiteral("1 réponse, 100 % justes"));
        history.records.clear();
        window.Reload();
        QCOMPARE(Find<QLabel>(window, "summaryLabel")->text(), QStringLiteral("Aucune réponse sur cette période."));
        QCOMPARE(Find<QLabel>(window, "topConfusions")->text(), QStringLiteral("Aucune confusion."));
    }

    // The practice filter: each choice counts the answers of its mode; "Copie" shows the curve of
    // the highest speed copied at 90 % or more on each day.
    void practiceFilterAndTheCopySpeedCurve() {
        History history;
        AnswerRecord copied = Answer(kNowMs - 60'000, 'K', 'K');
        copied.mode = "copy";
        history.records = {Answer(kNowMs - 120'000, 'K', 'M'), copied, copied};
        ProgressWindow::Sources sources = history.Sources();
        sources.loadCopyRuns = [](int64_t) {
            return std::vector<CopyRunRecord>{{kNowMs - 2 * kDayMs, 25, 0, 10, 9},
                                              {kNowMs - 2 * kDayMs + 1000, 30, 0, 10, 8},
                                              {kNowMs - 60'000, 22, 10, 2, 2}};
        };
        FakeProgressPrompts prompts;
        ProgressWindow window(sources, &prompts);
        QCOMPARE(window.Stats().TotalAnswers(), 3);
        QVERIFY(Find<QWidget>(window, "copySpeedChart")->isHidden());
        const std::pair<const char*, int> practices[] = {{"Dictée", 1}, {"Copie", 2}, {"Tout", 3}};
        for (const auto& [name, answers] : practices) {
            window.setPractice(QString::fromUtf8(name));
            QCOMPARE(window.Stats().TotalAnswers(), answers);
            QCOMPARE(Find<QWidget>(window, "copySpeedChart")->isHidden(), QString::fromUtf8(name) != "Copie");
        }
        window.setPractice(QStringLiteral("Copie"));
        auto* view = Find<QChartView>(window, "copySpeedChart");
        const auto* points = static_cast<QXYSeries*>(view->chart()->series().at(1));
        QCOMPARE(points->points().size(), 2);
        QCOMPARE(points->points()[0].y(), 25.0); // 30 was copied at 80 %
        QCOMPARE(points->points()[1].y(), 22.0);
    }

    void barsAreColouredByAccuracyBand() {
        // Per character: right answers out of ten, and the band its bar must be drawn in.
        struct Case {
            char symbol;
            int right;
            int band; // 0 "moins de 50 %", 1 "50 à 80 %", 2 "80 à 90 %", 3 "90 % et plus"
        };
        const Case cases[] = {{'K', 0, 0}, {'M', 4, 0}, {'R', 5, 1}, {'S', 7, 1},
                              {'U', 8, 2}, {'A', 9, 3}, {'P', 10, 3}};
        History history;
        for (const Case& c : cases) {
            for (int i = 0; i < 10; ++i) {
                history.records.push_back(Answer(kNowMs - 1000, c.symbol, i < c.right ? c.symbol : 'X'));
            }
        }
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        auto* series =
            qobject_cast<QStackedBarSeries*>(Find<QChartView>(window, "accuracyChart")->chart()->series().value(0));
        QVERIFY(series != nullptr);
        const QList<QBarSet*> bands = series->barSets();
        QCOMPARE(bands.size(), 4);
        QCOMPARE(bands[0]->label(), QStringLiteral("moins de 50 %"));
        QCOMPARE(bands[3]->label(), QStringLiteral("90 % et plus"));
        for (const Case& c : cases) {
            const int index = ProgressStats::KochIndex(c.symbol);
            for (int band = 0; band < 4; ++band) {
                const double expected = band == c.band ? c.right * 10.0 : 0.0;
                QVERIFY2(qFuzzyCompare(1.0 + bands[band]->at(index), 1.0 + expected),
                         qPrintable(QStringLiteral("%1 band %2").arg(QChar::fromLatin1(c.symbol)).arg(band)));
            }
        }
        // A character never played has no bar at all.
        for (int band = 0; band < 4; ++band) {
            QCOMPARE(bands[band]->at(ProgressStats::KochIndex('X')), 0.0);
        }
    }

    void exportWritesTheAnswersOfThePeriod() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        History history;
        history.records = {
            Answer(kNowMs - 60'000, 'Q', 'Y', 812),
            Answer(kNowMs - 40 * kDayMs, 'E', 'E', 300),
            Answer(kSessionStartMs + 5, 'K', 0),
        };
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        auto* exportButton = Find<QPushButton>(window, "exportButton");

        // Cancelled: nothing is written.
        const size_t loadsBefore = history.loads.size();
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QCOMPARE(prompts.suggestedNames.size(), 1);
        QCOMPARE(history.loads.size(), loadsBefore);

        const QString path = folder.filePath(QStringLiteral("export é.csv"));
        prompts.nextPath = path;
        window.setPeriod(ProgressStats::Period::Session);
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray session = "at_ms,mode,played,typed,response_ms\r\n"
                                   "1765126800005,random,K,,\r\n"
                                   "1765130340000,random,Q,Y,812\r\n";
        QCOMPARE(file.readAll(), session);
        file.close();

        window.setPeriod(ProgressStats::Period::All);
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = file.readAll().split('\n');
        QCOMPARE(rows.size(), 5); // header, three rows, and nothing after the last line end
        QCOMPARE(rows[1], QByteArray("1761674400000,random,E,E,300\r"));
        QVERIFY(prompts.messages.isEmpty());

        // A folder that does not exist: one message, nothing written.
        prompts.nextPath = folder.filePath(QStringLiteral("missing/h.csv"));
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages[0].contains(QStringLiteral("missing")));
    }

    void clearAsksFirstAndHonoursNo() {
        History history;
        history.records = {Answer(kNowMs - 1000, 'K', 'K')};
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        QSignalSpy cleared(&window, &ProgressWindow::historyCleared);
        auto* clearButton = Find<QPushButton>(window, "clearButton");

        prompts.confirmAnswer = false;
        QTest::mouseClick(clearButton, Qt::LeftButton);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(prompts.questions[0],
                 QStringLiteral("Effacer tout l'historique ?\nToutes les réponses enregistrées seront perdues."));
        QCOMPARE(history.clears, 0);
        QCOMPARE(cleared.size(), 0);
        QCOMPARE(window.Stats().TotalAnswers(), 1);

        // Yes, but the history cannot be cleared: a message, and no signal.
        prompts.confirmAnswer = true;
        history.clearWorks = false;
        QTest::mouseClick(clearButton, Qt::LeftButton);
        QCOMPARE(history.clears, 1);
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("L'historique n'a pas pu être effacé.")});
        QCOMPARE(cleared.size(), 0);
        QCOMPARE(window.Stats().TotalAnswers(), 1);

        history.clearWorks = true;
        QTest::mouseClick(clearButton, Qt::LeftButton);
        QCOMPARE(history.clears, 2);
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(window.Stats().TotalAnswers(), 0);
        QCOMPARE(prompts.messages.size(), 1);
    }

    void heatMapCellsFollowThePointer() {
        ConfusionHeatMap map;
        map.resize(map.sizeHint());
        QCOMPARE(map.CellAt(QPoint(0, 0)), std::make_pair(-1, -1));
        QCOMPARE(map.CellAt(QPoint(map.width() - 1, map.height() - 1)), std::make_pair(-1, -1));
        // Across the middle of the map the columns come in Koch order, each one once, all on
        // the same row; down the middle the rows do.
        const int middle = map.height() / 2 + 5;
        for (const bool across : {true, false}) {
            int last = -1;
            int fixed = -2;
            const int length = across ? map.width() : map.height();
            for (int p = 0; p < length; ++p) {
                const auto [played, typed] = map.CellAt(across ? QPoint(p, middle) : QPoint(middle, p));
                if (played < 0) {
                    continue;
                }
                const int moving = across ? typed : played;
                const int still = across ? played : typed;
                QVERIFY(fixed == -2 || still == fixed);
                fixed = still;
                QVERIFY(moving == last || moving == last + 1);
                last = moving;
            }
            QCOMPARE(last, 35);
        }
    }

    // By ear and from the keyboard: the charts say their summaries, the heat map is walked cell
    // by cell, the top five are said in words, the choosers by name and value; Tab follows the
    // reading order, starting from the accuracy chart.
    void readsInWordsFromTheKeyboard() {
        History history;
        for (const char typed : {'Y', 'Y', 'Q'}) {
            history.records.push_back(Answer(kNowMs - 1000, 'Q', typed, 900));
        }
        for (int i = 0; i < 3; ++i) {
            history.records.push_back(Answer(kNowMs - 1000, 'K', 'K', 500));
        }
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto said = [](QWidget* widget, QAccessible::Text what) {
            return QAccessible::queryAccessibleInterface(widget)->text(what);
        };
        auto* accuracy = Find<QWidget>(window, "accuracyChart");
        QCOMPARE(QApplication::focusWidget(), accuracy);
        QCOMPARE(said(accuracy, QAccessible::Name), QStringLiteral("Réussite par caractère"));
        QCOMPARE(said(accuracy, QAccessible::Description),
                 QStringLiteral("les plus faibles Q 33 % (3 réponses), K 100 % (3 réponses) ; moyenne 67 %"));
        QCOMPARE(said(Find<QWidget>(window, "responseChart"), QAccessible::Description),
                 QStringLiteral("les plus lents Q 900 ms, K 500 ms"));
        QCOMPARE(said(Find<QWidget>(window, "dailyChart"), QAccessible::Description),
                 QStringLiteral("sur 7 jours : dimanche 7 décembre 67 %"));
        QCOMPARE(said(Find<QWidget>(window, "topConfusions"), QAccessible::Name),
                 QStringLiteral("Les cinq confusions les plus fréquentes : Q pris pour Y : 2 fois"));
        for (const auto& [chooser, name, value] :
             {std::tuple{"periodChooser", "Période", "Tout"}, std::tuple{"practiceChooser", "Pratique", "Tout"},
              std::tuple{"lessonChooser", "Leçon", "Toutes (sans leçon)"}}) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(Find<QWidget>(window, chooser));
            QCOMPARE(iface->role(), QAccessible::ComboBox);
            QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf8(name));
            QCOMPARE(iface->textInterface()->text(0, iface->textInterface()->characterCount()),
                     QString::fromUtf8(value));
        }
        const char* const order[] = {"periodChooser", "practiceChooser", "lessonChooser", "adaptiveBox",
                                     "exportButton",  "clearButton",     "accuracyChart", "responseChart",
                                     "dailyChart",    "confusionMap",    "topConfusions"};
        Find<QWidget>(window, order[0])->setFocus(Qt::TabFocusReason);
        for (const char* name : order) {
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }

        // The heat map, from its first cell (K played, K typed): down to Q played (Koch index
        // 20), right to Y typed (16).
        auto* map = Find<ConfusionHeatMap>(window, "confusionMap");
        map->setFocus(Qt::TabFocusReason);
        QAccessibleInterface* cells = QAccessible::queryAccessibleInterface(map);
        QCOMPARE(cells->role(), QAccessible::List);
        QCOMPARE(cells->childCount(), 36 * 36);
        QCOMPARE(cells->focusChild()->text(QAccessible::Name), QStringLiteral("K joué, K tapé : 3 fois"));
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(map, Qt::Key_Down);
        }
        for (int i = 0; i < 17; ++i) {
            QTest::keyClick(map, Qt::Key_Right);
        }
        QTest::keyClick(map, Qt::Key_Left);
        QAccessibleInterface* cell = cells->focusChild();
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Q joué, Y tapé : 2 fois"));
        QCOMPARE(cell->role(), QAccessible::ListItem);
        QVERIFY(cell->state().focused);
        QCOMPARE(cells->indexOfChild(cell), 20 * 36 + 16);
        QCOMPARE(cells->child(20 * 36 + 16), cell);
        QTest::keyClick(map, Qt::Key_End);
        for (int i = 0; i < 16; ++i) {
            QTest::keyClick(map, Qt::Key_Down); // from row 20 to the last, 35, and no further
        }
        QCOMPARE(cells->focusChild()->text(QAccessible::Name), QStringLiteral("X joué, X tapé : 0 fois"));
        QTest::keyClick(map, Qt::Key_Home);
        QCOMPARE(cells->focusChild()->text(QAccessible::Name), QStringLiteral("X joué, K tapé : 0 fois"));
    }

    // Said wherever the focus is: a new offer, once; a newly chosen period with its figures.
    // Taking the offer leaves the focus on the lesson chooser, not on the button that goes.
    void offersAndPeriodsAreSaid() {
        History history;
        history.records.push_back(Answer(kNowMs - 1000, 'K', 'K'));
        history.records.push_back(Answer(kNowMs - 10 * kDayMs, 'M', 'K'));
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* voice = Find<AnnouncedLabel>(window, "voice");
        window.OfferLesson(21);
        window.OfferLesson(21);
        QCOMPARE(voice->Spoken(), QStringLiteral("Progrès : passer à la leçon 21 est proposé"));
        QCOMPARE(voice->AnnouncementCount(), 1);
        auto* offer = Find<QPushButton>(window, "offerButton");
        offer->setFocus(Qt::TabFocusReason);
        QTest::keyClick(offer, Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), Find<QWidget>(window, "lessonChooser"));
        QCOMPARE(Find<Chooser>(window, "lessonChooser")->findChild<AnnouncedLabel*>()->Spoken(),
                 QStringLiteral("Leçon 21 : K M R S U A P T L O W I N J E F Y V G 5 Q"));
        window.setPeriod(ProgressStats::Period::SevenDays);
        QCOMPARE(Find<Chooser>(window, "periodChooser")->findChild<AnnouncedLabel*>()->Spoken(),
                 QStringLiteral("7 jours ; 1 réponse, 100 % justes"));
    }

    // It fits a 1024 x 768 screen with its frame, every control in view; the figures scroll.
    void fitsASmallScreen() {
        History history;
        FakeProgressPrompts prompts;
        ProgressWindow window(history.Sources(), &prompts);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.width() <= 1000 && window.height() <= 700);
        QVERIFY(window.minimumSizeHint().width() <= 1000 && window.minimumSizeHint().height() <= 700);
        for (const char* name : {"exportButton", "clearButton", "periodChooser", "lessonChooser", "adaptiveBox"}) {
            auto* control = Find<QWidget>(window, name);
            const QRect inWindow(control->mapTo(&window, QPoint(0, 0)), control->size());
            QVERIFY2(window.rect().contains(inWindow), name);
        }
        QVERIFY(Find<QWidget>(window, "progressScroll") != nullptr);
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
