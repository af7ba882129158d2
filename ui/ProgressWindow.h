#pragma once

#include "history/AnswerRecord.h"
#include "history/ProgressStats.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class AnnouncedLabel;
class Chooser;
class ConfusionHeatMap;
class ProgressPrompts;
class QBarCategoryAxis;
class QChart;
class QGraphicsSimpleTextItem;
class QStackedBarSeries;
class QBarSet;
class QChartView;
class QCheckBox;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;

// The progress window, "Progrès": a modeless dialog that shows, over a chosen period and for a
// chosen practice (the random dictation, the sending practice or all), the
// accuracy, the answer count and the median response time of each character, the confusions
// as a heat map with the five most frequent ones, and the accuracy of each of the last 30 days.
// It also chooses the Koch lesson and the adaptive drill, exports the answers as CSV and clears
// the history. It reads the history only through the callbacks it is given, and tells its
// owner of changes through signals; it stores nothing itself.
//
// From the keyboard and by ear: Tab reaches every chart, each named after its title and
// summarised in words for screen readers (ProgressSummary); the heat map is walked cell by
// cell with the arrow keys; the window opens on the accuracy chart. A new lesson offer and the
// figures of a newly chosen period are said wherever the focus is. It fits a 1024 x 768
// screen: the figures scroll when the window is smaller than they need.
class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    // Where the window takes its data. Only load is required.
    struct Sources {
        // The answers at or after sinceMs [ms, Unix time], in any order.
        std::function<std::vector<AnswerRecord>(int64_t sinceMs)> load;
        // Deletes every answer; false when it could not.
        std::function<bool()> clear;
        // False when the answers just loaded are not the history's (it cannot be read): the
        // window then says so instead of showing figures. Readable when empty.
        std::function<bool()> readable;
        // Writes the answers at or after sinceMs [ms] as they are stored, as CSV, to path (a
        // name in the system's encoding), only those of mode unless it is empty; false with a
        // French message in error. When empty, the export writes what load gives.
        std::function<bool(const std::string& path, int64_t sinceMs, const std::string& mode, std::string& error)>
            exportCsv;
        // The lesson now in force: 0 for none, 2 to 41; and whether the drill adapts.
        std::function<int()> lesson;
        std::function<bool()> adaptive;
        // The copy runs at or after sinceMs, for the curve of copy speeds; none when empty.
        std::function<std::vector<CopyRunRecord>(int64_t sinceMs)> loadCopyRuns;
        // The time now [ms, Unix time]; the system clock when empty.
        std::function<int64_t()> nowMs;
        int64_t sessionStartMs = 0; // [ms] when the program started, for "Cette session"
    };

    // prompts: the file dialog and the questions; Qt's own dialogs when null.
    explicit ProgressWindow(Sources sources, ProgressPrompts* prompts = nullptr, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Loads the answers of the chosen period again and redraws every figure.
    void Reload();

    // Sets the lesson chooser and the "Adaptatif" box from the getters, without signals.
    void SyncOptions();

    // Shows "Passer à la leçon N", for a lesson of 2 to 41; one click accepts it.
    void OfferLesson(int lesson);
    // Hides the offer, if one is shown.
    void WithdrawOffer();

    ProgressStats::Period period() const;
    void setPeriod(ProgressStats::Period period);

    // The practices the window can show, in the order of its chooser: a name and the history
    // mode of its answers (empty: every mode).
    struct Practice {
        const char* name;
        const char* mode;
    };
    static const std::vector<Practice>& Practices();
    // Shows the answers of one practice of Practices() (by its name), or of all.
    void setPractice(const QString& name);
    const ProgressStats& Stats() const { return stats_; }

    // The text of the lesson chooser's item for a lesson: "Leçon 2 : K M", or
    // "Toutes (sans leçon)" for 0.
    static QString LessonText(int lesson);

signals:
    // The user chose a lesson (0 for none), ticked or cleared "Adaptatif", or accepted the
    // offered lesson (which also sets the chooser, so lessonChanged comes first).
    void lessonChanged(int lesson);
    void adaptiveChanged(bool adaptive);
    void lessonOfferAccepted(int lesson);
    // The history was cleared from this window.
    void historyCleared();

private:
    QWidget* BuildControls();
    QWidget* BuildAccuracyChart();
    QWidget* BuildResponseChart();
    QWidget* BuildDailyChart();
    QWidget* BuildCopySpeedChart();
    void ShowCopySpeeds(int64_t nowMs);
    QWidget* BuildConfusions();
    int64_t NowMs() const;
    std::string PracticeMode() const;
    std::vector<AnswerRecord> Load(int64_t sinceMs) const; // of the chosen practice
    void ShowStats();
    void ShowAccuracy();
    void PlaceCountLabels();
    void ShowResponseTimes();
    void ShowDays();
    void ShowConfusions();
    void OnLessonChosen(int item);
    void OnExportCsv();
    void OnClearHistory();
    void OnAcceptOffer();

    Sources sources_;
    ProgressPrompts* prompts_;
    std::unique_ptr<ProgressPrompts> ownPrompts_;
    ProgressStats stats_;
    int offeredLesson_ = 0;

    Chooser* periodChooser_ = nullptr;
    Chooser* practiceChooser_ = nullptr;
    QChartView* copySpeedView_ = nullptr;
    QLineSeries* copySpeedLine_ = nullptr;
    QScatterSeries* copySpeedPoints_ = nullptr;
    QDateTimeAxis* copySpeedAxis_ = nullptr;
    Chooser* lessonChooser_ = nullptr;
    QCheckBox* adaptiveBox_ = nullptr;
    QPushButton* offerButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QLabel* summary_ = nullptr;
    AnnouncedLabel* voice_ = nullptr; // never shown: says an offer and a period's figures
    QChartView* accuracyView_ = nullptr;
    QChartView* responseView_ = nullptr;
    QChartView* dailyView_ = nullptr;
    QChart* accuracyChart_ = nullptr;
    QStackedBarSeries* accuracySeries_ = nullptr;
    std::vector<QBarSet*> accuracyBands_;
    std::vector<QGraphicsSimpleTextItem*> countLabels_; // answer counts above the bars
    QBarSet* responseSet_ = nullptr;
    QValueAxis* responseAxis_ = nullptr;
    QLineSeries* dailyLine_ = nullptr;
    QScatterSeries* dailyPoints_ = nullptr;
    QDateTimeAxis* dailyAxis_ = nullptr;
    ConfusionHeatMap* heatMap_ = nullptr;
    QLabel* topConfusions_ = nullptr;
};
