#pragma once

#include "practice/CopyPractice.h"
#include "ui/CopyWindow.h"

#include <QPointer>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class SettingsReporter;
class Synthesiser;
struct Settings;
struct TrainerEnvironment;

// The main window's copy practice: the window "Copie", which the context menu's "Copie..."
// opens, the runs it plays (CopyPractice over the window's synthesiser), their correction,
// their rows of history (mode 'copy') and "Vitesse auto". The five copy values of the
// settings are read and changed here, and saved when they change.
//
// A run starts after the dictations of the main window have been stopped (beforeRun), since
// they share the synthesiser. Everything runs on the UI thread.
class TrainerCopy {
public:
    static constexpr const char* kCopyItem = "Copie...";

    TrainerCopy(QWidget& window, const TrainerEnvironment& environment, Settings& settings, SettingsReporter& reporter,
                Synthesiser& synthesiser, std::function<void()> beforeRun);
    TrainerCopy(const TrainerCopy&) = delete;
    TrainerCopy& operator=(const TrainerCopy&) = delete;

    // Shows the window, made on first use, and brings it to the front.
    void OpenCopyWindow();
    // Ends a run that is sounding (the main window closing).
    void Stop();

    CopyWindow* Window() const { return copyWindow; }
    const CopyPractice& Practice() const { return practice; }

    // Where the word lists are looked for: the environment's folders, else share/zelbin/words
    // beside the program's folder and the installed one.
    std::vector<std::filesystem::path> WordFolders() const;

private:
    void MakeWindow();
    void Listen();
    void Submit(const QString& typed);
    void ChangeOptions(const CopyWindow::Options& options);
    bool RunText(std::string& text, std::string& error);
    int64_t NowMs() const;

    QWidget& window;
    const TrainerEnvironment& environment;
    Settings& settings;
    SettingsReporter& reporter;
    CopyPractice practice;
    std::function<void()> beforeRun;
    std::vector<bool> spaceBefore; // of each sign of the run, for the correction
    QPointer<CopyWindow> copyWindow;
};
