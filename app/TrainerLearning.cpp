#include "app/TrainerLearning.h"

#include "app/TrainerEnvironment.h"
#include "history/HistoryCsv.h"
#include "history/HistoryStore.h"
#include "morse/MorseTable.h"
#include "practice/AdaptiveWeights.h"
#include "practice/KochLessons.h"
#include "practice/RandomDictation.h"
#include "settings/Settings.h"
#include "settings/SettingsPersistence.h"
#include "ui/ProgressWindow.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <random>

namespace {

// The character of a dictated index: a letter or digit, or the punctuation of the lessons past 36.
char SymbolOf(int32_t index) {
    const std::string_view name = MorseTable().SignName(index);
    return name.size() == 1 ? name[0] : MorseTable().IndexToChar(index);
}

} // namespace

TrainerLearning::TrainerLearning(QWidget& window, const TrainerEnvironment& environment, Settings& settings,
                                 SettingsReporter& reporter)
    : window(window), environment(environment), settings(settings), reporter(reporter), sessionStartMs(NowMs()) {
    if (environment.history != nullptr) {
        commitTimer = new QTimer(&window);
        commitTimer->setInterval(static_cast<int>(HistoryStore::kCommitPeriodMs / 6));
        QObject::connect(commitTimer, &QTimer::timeout, &window, [this] { this->environment.history->CommitIfDue(); });
        commitTimer->start();
    }
}

TrainerLearning::~TrainerLearning() = default;

void TrainerLearning::Drive(RandomDictation& dictation) {
    driven = &dictation;
    dictation.SetPicker(environment.pickIndex ? environment.pickIndex : [this] { return PickIndex(); });
    dictation.SetClock(environment.clockMs);
    dictation.SetAnswerObserver([this](const ScoredAnswer& answer) { Scored(answer); });
}

ProgressWindow* TrainerLearning::Window() const {
    return progress;
}

void TrainerLearning::StartDictation() {
    ConfigurePicker();
    if (environment.history != nullptr) {
        environment.history->IsAvailable(); // opened and checked now rather than at the first answer
    }
    std::vector<AnswerRecord> recent;
    if (picker.Adaptive() && environment.history != nullptr) {
        recent = environment.history->LastAnswersPerCharacter(AdaptiveWeights::kWindow);
    }
    const uint32_t seed = environment.dictationSeed ? environment.dictationSeed() : std::random_device{}();
    picker.Start(seed, recent);
}

void TrainerLearning::Scored(const ScoredAnswer& answer) {
    AnswerRecord record;
    record.atMs = answer.startMs;
    record.mode = "random";
    record.played = SymbolOf(answer.playedIndex);
    record.typed = answer.typedIndex ? SymbolOf(*answer.typedIndex) : 0;
    record.responseMs = answer.typedIndex ? answer.responseMs : -1;
    if (environment.history != nullptr) {
        environment.history->Record(record, settings.kochLesson);
    }
    picker.Learn(record);
}

void TrainerLearning::StopDictation() {
    if (environment.history != nullptr) {
        environment.history->Commit();
    }
    if (progress && progress->isVisible()) {
        progress->Reload();
        UpdateOffer();
    }
}

void TrainerLearning::OpenProgressWindow() {
    if (!progress) {
        MakeProgressWindow();
    } else {
        progress->SyncOptions();
        progress->Reload();
    }
    UpdateOffer();
    progress->show();
    progress->raise();
    progress->activateWindow();
}

void TrainerLearning::MakeProgressWindow() {
    ProgressWindow::Sources sources;
    HistoryStore* history = environment.history;
    sources.load = [history](int64_t sinceMs) {
        return history != nullptr ? history->ReadSince(sinceMs) : std::vector<AnswerRecord>{};
    };
    sources.clear = [history] { return history != nullptr && history->Clear(); };
    sources.loadCopyRuns = [history](int64_t sinceMs) {
        return history != nullptr ? history->CopyRunsSince(sinceMs) : std::vector<CopyRunRecord>{};
    };
    sources.readable = [history] { return history == nullptr || history->CanRead(); };
    sources.exportCsv = [history](const std::string& path, int64_t sinceMs, const std::string& mode,
                                  std::string& error) {
        std::vector<AnswerRow> rows = history != nullptr ? history->RowsAsWritten(sinceMs) : std::vector<AnswerRow>{};
        if (!mode.empty()) {
            std::erase_if(rows, [&mode](const AnswerRow& row) { return row.mode != mode; });
        }
        if (history != nullptr && !history->CanRead()) {
            error = "L'historique des réponses ne peut pas être lu : rien n'a été exporté.";
            return false;
        }
        return HistoryCsv::WriteRows(path, rows, error);
    };
    sources.lesson = [this] { return static_cast<int>(settings.kochLesson); };
    sources.adaptive = [this] { return settings.adaptive == 1; };
    sources.nowMs = [this] { return NowMs(); };
    sources.sessionStartMs = sessionStartMs;
    progress = new ProgressWindow(std::move(sources), environment.progressPrompts, &window);
    QObject::connect(progress, &ProgressWindow::lessonChanged, &window, [this](int lesson) { ChooseLesson(lesson); });
    QObject::connect(progress, &ProgressWindow::adaptiveChanged, &window,
                     [this](bool adaptive) { ChooseAdaptive(adaptive); });
    QObject::connect(progress, &ProgressWindow::historyCleared, &window, [this] {
        picker.SetRecentAnswers({});
        UpdateOffer();
    });
}

void TrainerLearning::ChooseLesson(int lesson) {
    settings.kochLesson = lesson;
    settings.Validate();
    SaveLearning(*environment.settingsStore, settings, reporter);
    ConfigurePicker();
    UpdateOffer();
}

void TrainerLearning::ChooseAdaptive(bool adaptive) {
    settings.adaptive = adaptive ? 1 : 0;
    SaveLearning(*environment.settingsStore, settings, reporter);
    ConfigurePicker();
    if (adaptive && environment.history != nullptr) {
        picker.SetRecentAnswers(environment.history->LastAnswersPerCharacter(AdaptiveWeights::kWindow));
    }
}

// A dictation that runs draws from the new choice at its next tick, with the generator it was
// seeded with at Play.
void TrainerLearning::ConfigurePicker() {
    picker.Configure(settings.kochLesson, settings.adaptive == 1);
    if (driven != nullptr) {
        driven->SetSignAnswers(settings.kochLesson > KochLessons::kLastCharacterLesson);
    }
}

// Offers the next lesson when the one in force has been passed, else takes any offer back.
void TrainerLearning::UpdateOffer() {
    if (!progress) {
        return;
    }
    const int32_t lesson = settings.kochLesson;
    const bool due =
        lesson != KochLessons::kOff && environment.history != nullptr &&
        KochLessons::NextLessonDue(lesson, environment.history->LastLessonAnswers(lesson, KochLessons::kAnswersToPass));
    if (due) {
        progress->OfferLesson(lesson + 1);
    } else {
        progress->WithdrawOffer();
    }
}

int64_t TrainerLearning::NowMs() const {
    if (environment.clockMs) {
        return environment.clockMs();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}
