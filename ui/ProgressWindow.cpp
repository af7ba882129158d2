#include "ui/ProgressWindow.h"

#include "history/HistoryCsv.h"
#include "history/ProgressSummary.h"
#include "practice/KochLessons.h"
#include "ui/AnnouncedLabel.h"
#include "ui/Chooser.h"
#include "ui/ConfusionHeatMap.h"
#include "ui/QtProgressPrompts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFile>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kCount = ProgressStats::kCharacterCount;
const QSize kWindowSize(1000, 700); // [px] at most: it fits a 1024 x 768 screen with its frame
constexpr int kChartHeight = 180;   // [px] at least

// The colour bands of the accuracy bars; a bar takes the last band whose floor it reaches.
// 90 % is the mark at which a Koch lesson is passed.
struct Band {
    const char* name;
    double floorPercent;
    QColor colour;
};
const Band kBands[] = {
    {"moins de 50 %", 0.0, QColor(224, 49, 49)},
    {"50 à 80 %", 50.0, QColor(247, 151, 28)},
    {"80 à 90 %", 80.0, QColor(192, 202, 51)},
    {"90 % et plus", 90.0, QColor(47, 158, 68)},
};
constexpr int kBandCount = static_cast<int>(std::size(kBands));

const QColor kResponseColour(66, 99, 235);

int BandOf(double percent) {
    int band = 0;
    for (int i = 0; i < kBandCount; ++i) {
        if (percent >= kBands[i].floorPercent) {
            band = i;
        }
    }
    return band;
}

QChart* NewChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.1);
    chart->setTitleFont(font);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 2, 4, 2));
    chart->setBackgroundRoundness(0);
    return chart;
}

// A chart that Tab reaches, named after it; its summary (accessible description) is what a
// screen reader says of it.
QChartView* NewView(QChart* chart, const char* objectName, const QString& name, QWidget* parent) {
    auto* view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(objectName));
    view->setAccessibleName(name);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(kChartHeight);
    return view;
}

QValueAxis* PercentAxis() {
    auto* axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setTickCount(6);
    axis->setLabelFormat(QStringLiteral("%d %"));
    return axis;
}

// An answer count short enough to stand above a bar: "12", "999", "1,2k", "35k"; nothing for 0.
QString CountText(int answers) {
    if (answers == 0) {
        return {};
    }
    if (answers < 1000) {
        return QString::number(answers);
    }
    if (answers < 9950) {
        return QString::number(answers / 1000.0, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')) + QLatin1Char('k');
    }
    return QString::number(std::lround(answers / 1000.0)) + QLatin1Char('k');
}

QString KochSymbol(int index) {
    return QString(QChar::fromLatin1(ProgressStats::kKochOrder[static_cast<size_t>(index)]));
}

} // namespace

ProgressWindow::ProgressWindow(Sources sources, ProgressPrompts* prompts, QWidget* parent)
    : QDialog(parent), sources_(std::move(sources)), prompts_(prompts) {
    if (prompts_ == nullptr) {
        ownPrompts_ = std::make_unique<QtProgressPrompts>();
        prompts_ = ownPrompts_.get();
    }
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("Progrès"));
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("progressContent"));
    auto* charts = new QVBoxLayout;
    charts->addWidget(BuildAccuracyChart(), 5);
    charts->addWidget(BuildResponseChart(), 4);
    charts->addWidget(BuildDailyChart(), 4);
    charts->addWidget(BuildCopySpeedChart(), 4);
    auto* body = new QHBoxLayout(content);
    body->setContentsMargins(0, 0, 0, 0);
    body->addLayout(charts, 1);
    body->addWidget(BuildConfusions(), 0);
    // The figures scroll when the window is smaller than they would like; the controls stay.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("progressScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildControls());
    layout->addWidget(scroll, 1);
    voice_ = new AnnouncedLabel(this);
    voice_->setObjectName(QStringLiteral("voice"));
    voice_->hide();
    resize(kWindowSize.boundedTo(screen()->availableSize()));

    // Tab in reading order: the controls, the charts, the confusions. The window opens on the
    // accuracy chart, which says the weakest characters.
    QWidget* order[] = {periodChooser_, practiceChooser_, lessonChooser_, adaptiveBox_,  offerButton_,
                        exportButton_,  clearButton_,     accuracyView_,  responseView_, dailyView_,
                        copySpeedView_, heatMap_,         topConfusions_};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    accuracyView_->setFocus(Qt::OtherFocusReason);

    SyncOptions();
    Reload();
}

ProgressWindow::~ProgressWindow() = default;

QWidget* ProgressWindow::BuildControls() {
    // Two rows, so that they fit a narrow screen: the choices, then the summary and the actions.
    auto* controls = new QWidget(this);
    auto* rows = new QVBoxLayout(controls);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    auto* actions = new QHBoxLayout;
    rows->addLayout(row);
    rows->addLayout(actions);

    periodChooser_ = new Chooser(QStringLiteral("Période"), controls);
    periodChooser_->setObjectName(QStringLiteral("periodChooser"));
    periodChooser_->addItem(QStringLiteral("Cette session"), static_cast<int>(ProgressStats::Period::Session));
    periodChooser_->addItem(QStringLiteral("7 jours"), static_cast<int>(ProgressStats::Period::SevenDays));
    periodChooser_->addItem(QStringLiteral("Tout"), static_cast<int>(ProgressStats::Period::All));
    periodChooser_->setCurrentIndex(2);
    connect(periodChooser_, &QComboBox::currentIndexChanged, this, [this] {
        Reload();
        periodChooser_->SayValue(summary_->text()); // the period and its figures
    });

    // The practices whose answers are shown, by their history mode; "Tout" shows every answer.
    practiceChooser_ = new Chooser(QStringLiteral("Pratique"), controls);
    practiceChooser_->setObjectName(QStringLiteral("practiceChooser"));
    for (const Practice& practice : Practices()) {
        practiceChooser_->addItem(QString::fromUtf8(practice.name), QString::fromLatin1(practice.mode));
    }
    practiceChooser_->setCurrentIndex(practiceChooser_->count() - 1); // "Tout"
    connect(practiceChooser_, &QComboBox::currentIndexChanged, this, [this] {
        Reload();
        practiceChooser_->SayValue(summary_->text()); // the practice and its figures
    });

    lessonChooser_ = new Chooser(QStringLiteral("Leçon"), controls);
    lessonChooser_->setObjectName(QStringLiteral("lessonChooser"));
    lessonChooser_->addItem(LessonText(0), 0);
    for (int lesson = KochLessons::kFirstLesson; lesson <= KochLessons::kLastLesson; ++lesson) {
        lessonChooser_->addItem(LessonText(lesson), lesson);
    }
    lessonChooser_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lessonChooser_->setMinimumContentsLength(24);
    lessonChooser_->setMaxVisibleItems(18);
    connect(lessonChooser_, &QComboBox::currentIndexChanged, this, &ProgressWindow::OnLessonChosen);
    connect(lessonChooser_, &QComboBox::currentIndexChanged, this, [this] { lessonChooser_->SayValue(); });

    adaptiveBox_ = new QCheckBox(QStringLiteral("Adaptatif"), controls);
    adaptiveBox_->setObjectName(QStringLiteral("adaptiveBox"));
    adaptiveBox_->setToolTip(QStringLiteral("Fait revenir plus souvent les caractères manqués ou lents"));
    connect(adaptiveBox_, &QCheckBox::toggled, this, &ProgressWindow::adaptiveChanged);

    offerButton_ = new QPushButton(controls);
    offerButton_->setObjectName(QStringLiteral("offerButton"));
    offerButton_->setStyleSheet(QStringLiteral("QPushButton { background: #2f9e44; color: white; font-weight: bold;"
                                               " border-radius: 3px; padding: 4px 10px; }"));
    offerButton_->setToolTip(QStringLiteral("Au moins 90 % de bonnes réponses sur les 100 dernières"));
    offerButton_->hide();
    connect(offerButton_, &QPushButton::clicked, this, &ProgressWindow::OnAcceptOffer);

    exportButton_ = new QPushButton(QStringLiteral("Exporter CSV..."), controls);
    exportButton_->setObjectName(QStringLiteral("exportButton"));
    connect(exportButton_, &QPushButton::clicked, this, &ProgressWindow::OnExportCsv);
    clearButton_ = new QPushButton(QStringLiteral("Effacer l'historique..."), controls);
    clearButton_->setObjectName(QStringLiteral("clearButton"));
    connect(clearButton_, &QPushButton::clicked, this, &ProgressWindow::OnClearHistory);

    summary_ = new QLabel(controls);
    summary_->setObjectName(QStringLiteral("summaryLabel"));

    row->addWidget(new QLabel(QStringLiteral("Période :"), controls));
    row->addWidget(periodChooser_);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Pratique :"), controls));
    row->addWidget(practiceChooser_);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Leçon :"), controls));
    row->addWidget(lessonChooser_);
    row->addSpacing(8);
    row->addWidget(adaptiveBox_);
    row->addSpacing(12);
    row->addWidget(offerButton_);
    row->addStretch(1);
    actions->addWidget(summary_);
    actions->addStretch(1);
    actions->addWidget(exportButton_);
    actions->addWidget(clearButton_);
    return controls;
}

QWidget* ProgressWindow::BuildAccuracyChart() {
    accuracyChart_ = NewChart(QStringLiteral("Réussite par caractère (nombre de réponses au-dessus des barres)"));
    accuracySeries_ = new QStackedBarSeries;
    for (const Band& band : kBands) {
        auto* set = new QBarSet(QString::fromUtf8(band.name));
        set->setColor(band.colour);
        set->setBorderColor(band.colour);
        for (int i = 0; i < kCount; ++i) {
            set->append(0.0);
        }
        accuracySeries_->append(set);
        accuracyBands_.push_back(set);
    }
    accuracySeries_->setBarWidth(0.75);
    accuracyChart_->addSeries(accuracySeries_);
    auto* categories = new QBarCategoryAxis;
    categories->setTruncateLabels(false);
    for (int i = 0; i < kCount; ++i) {
        categories->append(KochSymbol(i));
    }
    accuracyChart_->addAxis(categories, Qt::AlignBottom);
    accuracySeries_->attachAxis(categories);
    // Room above a full bar for its count; the ticks stop at 100 %.
    QValueAxis* percent = PercentAxis();
    percent->setRange(0, 112);
    percent->setTickType(QValueAxis::TicksDynamic);
    percent->setTickAnchor(0);
    percent->setTickInterval(20);
    accuracyChart_->addAxis(percent, Qt::AlignLeft);
    accuracySeries_->attachAxis(percent);
    accuracyChart_->legend()->show();
    accuracyChart_->legend()->setAlignment(Qt::AlignTop);
    QFont countFont = accuracyChart_->font();
    countFont.setPixelSize(9);
    for (int i = 0; i < kCount; ++i) {
        auto* label = new QGraphicsSimpleTextItem(accuracyChart_);
        label->setFont(countFont);
        label->setBrush(QColor(73, 80, 87));
        label->setZValue(10);
        countLabels_.push_back(label);
    }
    connect(accuracyChart_, &QChart::plotAreaChanged, this, [this] { PlaceCountLabels(); });
    accuracyView_ = NewView(accuracyChart_, "accuracyChart", QStringLiteral("Réussite par caractère"), this);
    return accuracyView_;
}

QWidget* ProgressWindow::BuildResponseChart() {
    QChart* chart = NewChart(QStringLiteral("Temps de réponse médian par caractère (ms)"));
    auto* series = new QBarSeries;
    responseSet_ = new QBarSet(QStringLiteral("Temps médian"));
    responseSet_->setColor(kResponseColour);
    responseSet_->setBorderColor(kResponseColour);
    for (int i = 0; i < kCount; ++i) {
        responseSet_->append(0.0);
    }
    series->append(responseSet_);
    series->setBarWidth(0.75);
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    categories->setTruncateLabels(false);
    for (int i = 0; i < kCount; ++i) {
        categories->append(KochSymbol(i));
    }
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    responseAxis_ = new QValueAxis;
    responseAxis_->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(responseAxis_, Qt::AlignLeft);
    series->attachAxis(responseAxis_);
    responseView_ = NewView(chart, "responseChart", QStringLiteral("Temps de réponse médian par caractère"), this);
    return responseView_;
}

QWidget* ProgressWindow::BuildDailyChart() {
    QChart* chart = NewChart(QStringLiteral("Réussite par jour, 30 derniers jours"));
    dailyLine_ = new QLineSeries;
    dailyLine_->setPen(QPen(kBands[3].colour, 2.5));
    dailyPoints_ = new QScatterSeries;
    dailyPoints_->setColor(kBands[3].colour);
    dailyPoints_->setBorderColor(kBands[3].colour);
    dailyPoints_->setMarkerSize(7.0);
    chart->addSeries(dailyLine_);
    chart->addSeries(dailyPoints_);
    dailyAxis_ = new QDateTimeAxis;
    dailyAxis_->setFormat(QStringLiteral("dd/MM"));
    dailyAxis_->setTickCount(7);
    chart->addAxis(dailyAxis_, Qt::AlignBottom);
    QValueAxis* percent = PercentAxis();
    chart->addAxis(percent, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(dailyLine_), static_cast<QAbstractSeries*>(dailyPoints_)}) {
        series->attachAxis(dailyAxis_);
        series->attachAxis(percent);
    }
    dailyView_ = NewView(chart, "dailyChart", QStringLiteral("Réussite par jour, 30 derniers jours"), this);
    return dailyView_;
}

// The copy practice's curve: the highest speed copied at 90 % or more on each day.
QWidget* ProgressWindow::BuildCopySpeedChart() {
    QChart* chart = NewChart(QStringLiteral("Vitesse copiée à 90 % ou plus, 30 derniers jours (mots/min)"));
    copySpeedLine_ = new QLineSeries;
    copySpeedLine_->setPen(QPen(kResponseColour, 2.5));
    copySpeedPoints_ = new QScatterSeries;
    copySpeedPoints_->setColor(kResponseColour);
    copySpeedPoints_->setBorderColor(kResponseColour);
    copySpeedPoints_->setMarkerSize(7.0);
    chart->addSeries(copySpeedLine_);
    chart->addSeries(copySpeedPoints_);
    copySpeedAxis_ = new QDateTimeAxis;
    copySpeedAxis_->setFormat(QStringLiteral("dd/MM"));
    copySpeedAxis_->setTickCount(7);
    chart->addAxis(copySpeedAxis_, Qt::AlignBottom);
    auto* speed = new QValueAxis;
    speed->setRange(0, 60);
    speed->setTickCount(7);
    speed->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(speed, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(copySpeedLine_), static_cast<QAbstractSeries*>(copySpeedPoints_)}) {
        series->attachAxis(copySpeedAxis_);
        series->attachAxis(speed);
    }
    copySpeedView_ =
        NewView(chart, "copySpeedChart", QStringLiteral("Vitesse copiée à 90 % ou plus, 30 derniers jours"), this);
    copySpeedView_->hide();
    return copySpeedView_;
}

QWidget* ProgressWindow::BuildConfusions() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("<b>Confusions</b> (caractère joué × caractère tapé)"), panel);
    heatMap_ = new ConfusionHeatMap(panel);
    heatMap_->setObjectName(QStringLiteral("confusionMap"));
    heatMap_->setFixedSize(heatMap_->sizeHint());
    auto* key =
        new QLabel(QStringLiteral("Vert : réponses justes ; rouge : confusions, plus foncé quand plus fréquent. "
                                  "Une case survolée, ou choisie avec les flèches, donne son nombre."),
                   panel);
    key->setWordWrap(true);
    auto* topTitle = new QLabel(QStringLiteral("<b>Les cinq confusions les plus fréquentes</b>"), panel);
    topConfusions_ = new QLabel(panel);
    topConfusions_->setObjectName(QStringLiteral("topConfusions"));
    topConfusions_->setTextFormat(Qt::PlainText);
    topConfusions_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font = topConfusions_->font();
    font.setPointSizeF(font.pointSizeF() * 1.15);
    topConfusions_->setFont(font);
    topConfusions_->setMinimumHeight(QFontMetrics(font).lineSpacing() * ProgressStats::kTopConfusionCount + 4);
    topConfusions_->setFocusPolicy(Qt::TabFocus); // read out in words (ShowConfusions)
    column->addWidget(title);
    column->addWidget(heatMap_);
    column->addWidget(key);
    column->addSpacing(8);
    column->addWidget(topTitle);
    column->addWidget(topConfusions_);
    column->addStretch(1);
    return panel;
}

QString ProgressWindow::LessonText(int lesson) {
    if (KochLessons::Validated(lesson) == KochLessons::kOff) {
        return QStringLiteral("Toutes (sans leçon)");
    }
    QStringList symbols;
    for (const char symbol : KochLessons::Characters(lesson)) {
        symbols.append(QString(QChar::fromLatin1(symbol)));
    }
    return QStringLiteral("Leçon %1 : %2").arg(lesson).arg(symbols.join(QLatin1Char(' ')));
}

int64_t ProgressWindow::NowMs() const {
    if (sources_.nowMs) {
        return sources_.nowMs();
    }
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

ProgressStats::Period ProgressWindow::period() const {
    return static_cast<ProgressStats::Period>(periodChooser_->currentData().toInt());
}

void ProgressWindow::setPeriod(ProgressStats::Period period) {
    periodChooser_->setCurrentIndex(periodChooser_->findData(static_cast<int>(period)));
}

const std::vector<ProgressWindow::Practice>& ProgressWindow::Practices() {
    static const std::vector<Practice> practices = {
        {"Dictée", "random"}, {"Copie", "copy"}, {"Manipulation", "send"}, {"Tout", ""}};
    return practices;
}

void ProgressWindow::setPractice(const QString& name) {
    practiceChooser_->setCurrentIndex(practiceChooser_->findText(name));
}

void ProgressWindow::SyncOptions() {
    const QSignalBlocker lessonBlocker(lessonChooser_);
    const QSignalBlocker adaptiveBlocker(adaptiveBox_);
    const int lesson = sources_.lesson ? sources_.lesson() : 0;
    const int item = lessonChooser_->findData(lesson);
    lessonChooser_->setCurrentIndex(item < 0 ? 0 : item);
    adaptiveBox_->setChecked(sources_.adaptive && sources_.adaptive());
}

void ProgressWindow::Reload() {
    const int64_t nowMs = NowMs();
    const int64_t sinceMs = ProgressStats::PeriodStartMs(period(), sources_.sessionStartMs, nowMs);
    // The line of the days always covers 30 days, whatever the period.
    const int64_t loadSinceMs = std::min(sinceMs, ProgressStats::DaysStartMs(nowMs));
    std::vector<AnswerRecord> records = Load(loadSinceMs);
    const bool readable = !sources_.readable || sources_.readable();
    if (!readable) {
        records.clear();
    }
    stats_ = ProgressStats::Compute(records, sinceMs, nowMs);
    ShowStats();
    if (!readable) {
        summary_->setText(QStringLiteral("L'historique des réponses ne peut pas être lu."));
        accuracyView_->setAccessibleDescription(summary_->text()); // what the window opens on says it
    }
    const bool copy = practiceChooser_->currentData().toString() == QStringLiteral("copy");
    copySpeedView_->setVisible(copy);
    if (copy) {
        ShowCopySpeeds(nowMs);
    }
}

// The mode of the practice chosen; empty for "Tout".
std::string ProgressWindow::PracticeMode() const {
    return practiceChooser_->currentData().toString().toStdString();
}

std::vector<AnswerRecord> ProgressWindow::Load(int64_t sinceMs) const {
    std::vector<AnswerRecord> records = sources_.load ? sources_.load(sinceMs) : std::vector<AnswerRecord>{};
    const std::string mode = PracticeMode();
    if (!mode.empty()) {
        std::erase_if(records, [&mode](const AnswerRecord& record) { return record.mode != mode; });
    }
    return records;
}

void ProgressWindow::ShowStats() {
    const int total = stats_.TotalAnswers();
    const QString answers = total == 1 ? QStringLiteral("1 réponse") : QStringLiteral("%1 réponses").arg(total);
    summary_->setText(
        total == 0
            ? QStringLiteral("Aucune réponse sur cette période.")
            : QStringLiteral("%1, %2 % justes").arg(answers).arg(std::lround(100.0 * stats_.TotalCorrect() / total)));
    ShowAccuracy();
    ShowResponseTimes();
    ShowDays();
    ShowConfusions();
}

void ProgressWindow::ShowAccuracy() {
    accuracyView_->setAccessibleDescription(QString::fromStdString(ProgressSummary::Weakest(stats_)));
    for (int i = 0; i < kCount; ++i) {
        const ProgressStats::Character& character = stats_.characters[static_cast<size_t>(i)];
        const double percent = 100.0 * character.Accuracy();
        const int band = character.answers == 0 ? -1 : BandOf(percent);
        for (int b = 0; b < kBandCount; ++b) {
            accuracyBands_[static_cast<size_t>(b)]->replace(i, b == band ? percent : 0.0);
        }
        countLabels_[static_cast<size_t>(i)]->setText(CountText(character.answers));
    }
    PlaceCountLabels();
}

void ProgressWindow::PlaceCountLabels() {
    for (int i = 0; i < kCount; ++i) {
        const ProgressStats::Character& character = stats_.characters[static_cast<size_t>(i)];
        QGraphicsSimpleTextItem* label = countLabels_[static_cast<size_t>(i)];
        const QPointF top = accuracyChart_->mapToPosition(QPointF(i, 100.0 * character.Accuracy()), accuracySeries_);
        const QRectF box = label->boundingRect();
        label->setPos(top.x() - box.width() / 2.0, top.y() - box.height() - 1.0);
    }
}

void ProgressWindow::ShowResponseTimes() {
    responseView_->setAccessibleDescription(QString::fromStdString(ProgressSummary::Slowest(stats_)));
    double longestMs = 0.0;
    for (int i = 0; i < kCount; ++i) {
        const double medianMs = std::max(0.0, stats_.characters[static_cast<size_t>(i)].medianResponseMs);
        responseSet_->replace(i, medianMs);
        longestMs = std::max(longestMs, medianMs);
    }
    // A round top, at least one second, so that small differences do not look large; a tick
    // every half second, or every second above three.
    const double stepMs = longestMs <= 3000.0 ? 500.0 : 1000.0;
    const double topMs = std::max(1000.0, std::ceil(longestMs / stepMs) * stepMs);
    responseAxis_->setRange(0.0, topMs);
    responseAxis_->setTickCount(static_cast<int>(topMs / stepMs) + 1);
}

void ProgressWindow::ShowDays() {
    dailyView_->setAccessibleDescription(QString::fromStdString(ProgressSummary::Trend(stats_)));
    constexpr qint64 kHalfDayMs = ProgressStats::kDayMs / 2;
    QList<QPointF> points;
    for (const ProgressStats::Day& day : stats_.days) {
        if (day.answers > 0) {
            points.append(QPointF(static_cast<qreal>(day.startMs + kHalfDayMs), 100.0 * day.Accuracy()));
        }
    }
    dailyLine_->replace(points);
    dailyPoints_->replace(points);
    const ProgressStats::Day& first = stats_.days.front();
    const ProgressStats::Day& last = stats_.days.back();
    dailyAxis_->setRange(QDateTime::fromMSecsSinceEpoch(first.startMs),
                         QDateTime::fromMSecsSinceEpoch(last.startMs + ProgressStats::kDayMs));
}

void ProgressWindow::ShowCopySpeeds(int64_t nowMs) {
    const std::vector<CopyRunRecord> runs =
        sources_.loadCopyRuns ? sources_.loadCopyRuns(ProgressStats::DaysStartMs(nowMs)) : std::vector<CopyRunRecord>{};
    const std::array<int, ProgressStats::kDayCount> best = ProgressStats::BestCopySpeeds(runs, nowMs);
    QList<QPointF> points;
    for (size_t i = 0; i < best.size(); ++i) {
        if (best[i] > 0) {
            points.append(QPointF(static_cast<qreal>(stats_.days[i].startMs + ProgressStats::kDayMs / 2), best[i]));
        }
    }
    copySpeedView_->setAccessibleDescription(QString::fromStdString(ProgressSummary::CopySpeeds(stats_, best)));
    copySpeedLine_->replace(points);
    copySpeedPoints_->replace(points);
    copySpeedAxis_->setRange(QDateTime::fromMSecsSinceEpoch(stats_.days.front().startMs),
                             QDateTime::fromMSecsSinceEpoch(stats_.days.back().startMs + ProgressStats::kDayMs));
}

void ProgressWindow::ShowConfusions() {
    heatMap_->SetMatrix(stats_.matrix);
    QStringList lines;
    QStringList spoken;
    for (const ProgressStats::Confusion& confusion : stats_.topConfusions) {
        lines.append(QString::fromStdString(confusion.Text()));
        spoken.append(QString::fromStdString(ProgressSummary::Spoken(confusion)));
    }
    topConfusions_->setText(lines.isEmpty() ? QStringLiteral("Aucune confusion.") : lines.join(QLatin1Char('\n')));
    topConfusions_->setAccessibleName(
        QStringLiteral("Les cinq confusions les plus fréquentes : ") +
        (spoken.isEmpty() ? QStringLiteral("aucune") : spoken.join(QStringLiteral(", "))));
}

void ProgressWindow::OnLessonChosen(int item) {
    emit lessonChanged(lessonChooser_->itemData(item).toInt());
}

void ProgressWindow::OfferLesson(int lesson) {
    if (KochLessons::Validated(lesson) == KochLessons::kOff) {
        return;
    }
    const bool news = offeredLesson_ != lesson || offerButton_->isHidden();
    offeredLesson_ = lesson;
    offerButton_->setText(QStringLiteral("Passer à la leçon %1").arg(lesson));
    offerButton_->show();
    if (news) {
        // Said wherever the focus is: the learner is most likely in the main window.
        voice_->Announce(QString(), QStringLiteral("Progrès : passer à la leçon %1 est proposé").arg(lesson));
    }
}

void ProgressWindow::WithdrawOffer() {
    offeredLesson_ = 0;
    offerButton_->hide();
}

void ProgressWindow::OnAcceptOffer() {
    const int lesson = offeredLesson_;
    WithdrawOffer();
    if (lesson == 0) {
        return;
    }
    lessonChooser_->setCurrentIndex(lessonChooser_->findData(lesson));
    lessonChooser_->setFocus(Qt::OtherFocusReason); // the offer is gone; the chooser shows the lesson
    emit lessonOfferAccepted(lesson);
}

void ProgressWindow::OnExportCsv() {
    const std::optional<QString> path = prompts_->AskSavePath(this, QStringLiteral("historique-zelbin.csv"));
    if (!path) {
        return;
    }
    const int64_t sinceMs = ProgressStats::PeriodStartMs(period(), sources_.sessionStartMs, NowMs());
    const std::string file = QFile::encodeName(*path).toStdString();
    std::string error;
    if (sources_.exportCsv) {
        if (!sources_.exportCsv(file, sinceMs, PracticeMode(), error)) {
            prompts_->Inform(this, QString::fromStdString(error));
        }
        return;
    }
    std::vector<AnswerRecord> records = Load(sinceMs);
    std::erase_if(records, [sinceMs](const AnswerRecord& record) { return record.atMs < sinceMs; });
    std::sort(records.begin(), records.end(),
              [](const AnswerRecord& a, const AnswerRecord& b) { return a.atMs < b.atMs; });
    if (!HistoryCsv::Write(file, records, error)) {
        prompts_->Inform(this, QString::fromStdString(error));
    }
}

void ProgressWindow::OnClearHistory() {
    const QString question = QStringLiteral("Effacer tout l'historique ?\n"
                                            "Toutes les réponses enregistrées seront perdues.");
    if (!prompts_->Confirm(this, question)) {
        return;
    }
    const bool cleared = sources_.clear && sources_.clear();
    if (!cleared) {
        prompts_->Inform(this, QStringLiteral("L'historique n'a pas pu être effacé."));
    }
    Reload();
    if (cleared) {
        emit historyCleared();
    }
}
