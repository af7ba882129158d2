#pragma once

#include "practice/LessonPicker.h"

#include <QPointer>

#include <cstdint>

class ProgressWindow;
class QTimer;
class QWidget;
class RandomDictation;
class SettingsReporter;
struct ScoredAnswer;
struct Settings;
struct TrainerEnvironment;

// The main window's learning aids: the draw of the random dictation under the Koch lesson and
// adaptive settings, the history of its scored answers, and the progress window "Progrès",
// which the window opens from its context menu (and, on Windows, its system menu).
//
// The progress window is modeless, a window of its own over the main window: a dictation goes
// on while it is open, and the keys typed in it are its own, no answers. Its lesson chooser and
// "Adaptatif" box change the settings at once, which are then saved and drawn from; the next
// lesson is offered there when the one in force has been passed.
//
// Everything runs on the UI thread.
class TrainerLearning {
public:
    static constexpr const char* kProgressItem = "Progrès...";

    // window: the main window, parent of the menu and the progress window; settings: the
    // window's settings, read and changed here (kochLesson and adaptive); reporter: where a
    // failed save of those is reported.
    TrainerLearning(QWidget& window, const TrainerEnvironment& environment, Settings& settings,
                    SettingsReporter& reporter);
    ~TrainerLearning();
    TrainerLearning(const TrainerLearning&) = delete;
    TrainerLearning& operator=(const TrainerLearning&) = delete;

    // The random dictation's draw.
    int32_t PickIndex() { return picker.PickIndex(); }

    // Makes the random dictation draw here (or from the environment's pickIndex, when it has
    // one), read the environment's clock, and report each scored answer to Scored.
    void Drive(RandomDictation& dictation);

    // At the random dictation's Play, before its first draw: seeds the draw once and, with the
    // adaptive drill on, weighs the characters from their last answers.
    void StartDictation();
    // Each scored character: one row of history (in the lesson in force), and the weights.
    void Scored(const ScoredAnswer& answer);
    // At Stop and at close: the queued answers are written; an open progress window shows them.
    void StopDictation();

    // Shows the progress window, made on first use, brought up to date and to the front.
    void OpenProgressWindow();

    ProgressWindow* Window() const;

private:
    void MakeProgressWindow();
    void ChooseLesson(int lesson);
    void ChooseAdaptive(bool adaptive);
    void ConfigurePicker();
    void UpdateOffer();
    int64_t NowMs() const;

    QWidget& window;
    const TrainerEnvironment& environment;
    Settings& settings;
    SettingsReporter& reporter;
    LessonPicker picker;
    RandomDictation* driven = nullptr; // the dictation that Drive drives
    int64_t sessionStartMs;            // [ms] Unix time when the window was made
    QPointer<QTimer> commitTimer;      // writes queued answers that are due, whatever else happens
    QPointer<ProgressWindow> progress;
};
