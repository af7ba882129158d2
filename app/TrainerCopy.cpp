#include "app/TrainerCopy.h"

#include "app/TrainerEnvironment.h"
#include "history/HistoryStore.h"
#include "material/CopyMaterial.h"
#include "material/WordList.h"
#include "practice/KochLessons.h"
#include "settings/Settings.h"
#include "settings/SettingsPersistence.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <chrono>
#include <random>

namespace {

// The installed word lists, for a program that runs from elsewhere than its installed folder.
#ifdef ZELBIN_WORDS_INSTALLED
constexpr const char* kInstalledWords = ZELBIN_WORDS_INSTALLED;
#else
constexpr const char* kInstalledWords = "";
#endif

constexpr const char* kNoWordInLesson = "Aucun mot de la liste ne s'écrit avec les caractères de la leçon.";

std::filesystem::path PathOf(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

TrainerCopy::TrainerCopy(QWidget& window, const TrainerEnvironment& environment, Settings& settings,
                         SettingsReporter& reporter, Synthesiser& synthesiser, std::function<void()> beforeRun)
    : window(window), environment(environment), settings(settings), reporter(reporter), practice(synthesiser),
      beforeRun(std::move(beforeRun)) {}

void TrainerCopy::OpenCopyWindow() {
    if (!copyWindow) {
        MakeWindow();
    }
    copyWindow->SetOptions({settings.copyMaterial, settings.copyWpm, settings.copyFarnsworth, settings.copyCount,
                            settings.copyAutoSpeed == 1});
    copyWindow->show();
    copyWindow->raise();
    copyWindow->activateWindow();
}

void TrainerCopy::MakeWindow() {
    copyWindow = new CopyWindow(&window);
    QObject::connect(copyWindow, &CopyWindow::listenRequested, &window, [this] { Listen(); });
    QObject::connect(copyWindow, &CopyWindow::answerSubmitted, &window,
                     [this](const QString& typed) { Submit(typed); });
    QObject::connect(copyWindow, &CopyWindow::stopRequested, &window, [this] { Stop(); });
    QObject::connect(copyWindow, &CopyWindow::optionsChanged, &window,
                     [this](const CopyWindow::Options& options) { ChangeOptions(options); });
}

void TrainerCopy::Stop() {
    practice.Stop();
}

std::vector<std::filesystem::path> TrainerCopy::WordFolders() const {
    if (!environment.wordFolders.empty()) {
        return environment.wordFolders;
    }
    std::vector<std::filesystem::path> folders;
    if (QCoreApplication::instance() != nullptr) {
        folders.push_back(PathOf(QCoreApplication::applicationDirPath()) / ".." / "share" / "zelbin" / "words");
    }
    if (*kInstalledWords != '\0') {
        folders.emplace_back(kInstalledWords);
    }
    return folders;
}

// The text of the next run, from the material and the lesson in force.
bool TrainerCopy::RunText(std::string& text, std::string& error) {
    const uint32_t seed = environment.copySeed ? environment.copySeed() : std::random_device{}();
    CopyMaterial material(seed);
    const int32_t count = settings.copyCount;
    const int32_t lesson = settings.kochLesson;
    switch (settings.copyMaterial) {
    case CopyMaterial::kFrenchWords:
    case CopyMaterial::kEnglishWords: {
        const bool french = settings.copyMaterial == CopyMaterial::kFrenchWords;
        const std::filesystem::path file =
            WordList::Find(WordFolders(), french ? WordList::kFrenchFile : WordList::kEnglishFile, error);
        std::optional<WordList> list;
        if (!file.empty()) {
            list = WordList::Load(file, error);
        }
        if (!list) {
            return false;
        }
        const std::vector<std::string> words =
            lesson == KochLessons::kOff ? list->Words() : list->SpelledWith(KochLessons::Characters(lesson));
        if (words.empty()) {
            error = kNoWordInLesson;
            return false;
        }
        text = material.Words(count, words);
        return true;
    }
    case CopyMaterial::kCallsigns:
        text = material.Callsigns(count);
        return true;
    case CopyMaterial::kQso:
        // In French or in English, each as likely.
        text = material.Qso(count, (seed & 1u) != 0 ? QsoGenerator::Language::French : QsoGenerator::Language::English);
        return true;
    default:
        // Without a lesson, every sign of the course.
        text = material.Groups(
            count, KochLessons::Characters(lesson == KochLessons::kOff ? KochLessons::kLastLesson : lesson));
        return true;
    }
}

void TrainerCopy::Listen() {
    std::string text;
    std::string error;
    if (!RunText(text, error)) {
        copyWindow->ShowMessage(QString::fromStdString(error));
        return;
    }
    if (beforeRun) {
        beforeRun();
    }
    practice.Play(text, settings.copyWpm, settings.copyFarnsworth, NowMs());
    copyWindow->ClearAnswer();
}

void TrainerCopy::Submit(const QString& typed) {
    if (!practice.HasRun()) {
        return;
    }
    const CopyPractice::Result result = practice.Correct(typed.toStdString());
    if (environment.history != nullptr && !result.answers.empty()) {
        environment.history->RecordCopyRun(result.run, result.answers);
    }
    copyWindow->ShowCorrection(result.marks, result.spaceBefore, result.correct);
    copyWindow->ClearAnswer(); // what was typed shows in the correction; Return now plays the next run
    if (settings.copyAutoSpeed != 1) {
        return;
    }
    const int32_t speed = CopyPractice::AutoSpeed(settings.copyWpm, result.correct, result.run.played);
    if (speed != settings.copyWpm) {
        settings.copyWpm = speed;
        if (settings.copyFarnsworth > speed) {
            settings.copyFarnsworth = speed;
        }
        SaveCopy(*environment.settingsStore, settings, reporter);
        copyWindow->ShowNewSpeed(speed);
    }
}

void TrainerCopy::ChangeOptions(const CopyWindow::Options& options) {
    settings.copyMaterial = options.material;
    settings.copyWpm = options.wpm;
    settings.copyFarnsworth = options.farnsworth;
    settings.copyCount = options.count;
    settings.copyAutoSpeed = options.autoSpeed ? 1 : 0;
    settings.Validate();
    SaveCopy(*environment.settingsStore, settings, reporter);
}

int64_t TrainerCopy::NowMs() const {
    if (environment.clockMs) {
        return environment.clockMs();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}
