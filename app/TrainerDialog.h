#pragma once

#include "app/DriverMessageReporter.h"
#include "app/SettingsMessageReporter.h"
#include "app/TrainerEnvironment.h"
#include "morse/FileByteReader.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "settings/Settings.h"
#include "ui/LinkLabel.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>

class FileDialogSeam;
class KeyDownFilter;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QSlider;
class SoundDriver;
class TimerSeam;
class WaveOutDriver;

// The main window, "Zelbin", built on dialog template 102 and run modally. It owns the whole
// state of the trainer: the synthesiser that the audio thread reads, the settings, the state
// of the practice modes, the sound driver and the controls bound to members.
//
// The window's handlers are the On... members below; the table in ConnectMessageTable says
// which control reaches which handler. Every key-down for the window or one of its controls
// passes through PreTranslateMessage first.
class TrainerDialog : public QDialog {
    Q_OBJECT

public:
    explicit TrainerDialog(const TrainerEnvironment& environment, QWidget* parent = nullptr);
    ~TrainerDialog() override;

    // Initialises the window and runs it modally; returns when it has ended.
    int DoModal();

    // Start-up, in order: controls bound, system menu, icon, synthesiser, sound driver,
    // settings, volume slider, element lengths and the code of '1', practice-mode flags.
    // DoModal calls it; tests call it to bring up a window without a modal loop.
    bool OnInitDialog();

    // Message table.
    bool OnSysCommand(uint32_t commandId, intptr_t parameter); // true when handled here
    void OnPaint();
    void OnLastLetter();
    void OnChar(uint32_t character, int32_t repeatCount, uint32_t flags);
    void OnNoise();
    void OnConfiguration();
    void OnOpenFile();
    void OnDictationPlay();
    void OnDictationStop();
    void OnTimer(uint32_t timerId);
    void OnDictationShow();
    void OnFilePlay();
    void OnFileStop();
    void OnAbout();
    void OnKeyboardShow();
    void OnHScroll(int32_t scrollCode, int32_t position, QSlider* scrollBar);
    void OnOK();
    void OnCancel();

    // Sees every key-down for the window and its controls before they do; may turn Enter
    // into Tab; never consumes the message (always false).
    bool PreTranslateMessage(QEvent* message);

    // OK, "Annuler", Escape routes and the close box all end here.
    void accept() override;
    void reject() override;

    // Run-time state, in the order the window declares it. The synthesiser groups the
    // fields the audio thread reads (buffers, frequency, volume, ramp, element lengths,
    // sequence, counters, noise, currentCode).
    Synthesiser synthesiser;
    SoundDriver* driver = nullptr; // always waveOut
    Settings settings;             // the seven persisted values
    MorseTable morseTable;
    int32_t currentIndex = 0;     // character index 0-35 of the last dictation step
    bool dictationActive = false; // a random dictation runs
    int32_t answerIndex = 0;      // index of the last key pressed during a random dictation
    int32_t score = 0;
    int32_t scoreTotal = 0;
    bool showDictation = false; // "Montrer" 1024
    bool showKeyboard = false;  // "Montrer" 1029
    bool fileActive = false;    // a file dictation runs
    int32_t fileOffset = 0;     // [bytes] next character of the file
    // The file chosen with "Ouvrir", kept whole: paths of any length, names in UTF-8.
    std::filesystem::path filePath;

    // Controls bound to members by DoDataExchange.
    QPointer<LinkLabel> linkLabel;  // 1031
    QPointer<QLabel> keyboardText;  // 1030
    QPointer<QLabel> dictationText; // 1025
    QPointer<QLabel> scoreText;     // 1028
    QPointer<QSlider> volumeSlider; // 1005

    QIcon icon; // icon 128, loaded by the constructor

    WaveOutDriver& WaveOut() { return *waveOut; }

protected:
    void DoDataExchange();
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void ConnectMessageTable();
    void AppendAboutToSystemMenu();
    void StartSound();
    void ShowKeyboardCharacter(uint32_t key, int32_t index);
    void SetFocusToWindow();
    QWidget* FirstTabStop() const;
    bool SaveVolumeOrStay();
    void DictationStep();
    void FileStep();
    void PickCharacter();
    void ShowDictationPattern();
    void SetDictationTimer();
    void PlayFileSlot(const FileByteReader::Result& read);
    void EnableControls(std::initializer_list<int32_t> controlIds, bool enabled);

    TrainerEnvironment environment;
    SettingsMessageReporter settingsReporter;
    DriverMessageReporter driverReporter;   // outlives waveOut, which reports to it
    std::unique_ptr<WaveOutDriver> waveOut; // the sound driver
    KeyDownFilter* keyDownFilter = nullptr; // a child of the window
    QPointer<QWidget> focusAtDeactivation;  // the control that had the focus when the window was last left
    bool initialised = false;
    std::unique_ptr<TimerSeam> ownTimers;          // Qt timers, when the environment gives none
    std::unique_ptr<FileDialogSeam> ownFileDialog; // QFileDialog, when the environment gives none
    TimerSeam* timers = nullptr;                   // timer 31 of both dictation modes
    FileDialogSeam* fileDialog = nullptr;          // the dialog of "Ouvrir"
};
