#pragma once

#include "app/DriverMessageReporter.h"
#include "app/SettingsMessageReporter.h"
#include "app/TrainerBand.h"
#include "app/TrainerCopy.h"
#include "app/TrainerEnvironment.h"
#include "app/TrainerLearning.h"
#include "app/TrainerSending.h"
#include "app/TrainerSound.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "practice/FileDictation.h"
#include "practice/KeyboardPractice.h"
#include "practice/RandomDictation.h"
#include "settings/Settings.h"
#include "ui/DictationTimer.h"
#include "ui/MainContextMenu.h"
#include "ui/PracticeDisplay.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include <cstdint>
#include <initializer_list>
#include <memory>

class DialogFocus;
class KeyDownFilter;
class LinkLabel;
class QContextMenuEvent;
class QKeyEvent;
class QMenu;
class QSlider;
class WaveOutDriver;

// The main window, "Zelbin", built on dialog template 102 and run modally. It owns the whole
// state of the trainer: the synthesiser that the audio thread reads, the settings, the three
// practices (practice/), the sound driver and the controls bound to members.
//
// The window's handlers are the On... members below; the table in ConnectMessageTable says
// which control reaches which handler. Each hands the event to its practice and shows the
// outcome in the controls. Every key-down for the window or one of its controls passes
// through PreTranslateMessage first.
class TrainerDialog : public QDialog {
    Q_OBJECT

public:
    explicit TrainerDialog(const TrainerEnvironment& environment, QWidget* parent = nullptr);
    ~TrainerDialog() override;

    // Initialises the window and runs it modally; returns when it has ended.
    int DoModal() {
        OnInitDialog();
        return exec();
    }

    // Start-up, in order: controls bound, system menu, icon, synthesiser, sound driver,
    // settings, volume slider, element lengths and the code of '1', practice-mode flags.
    // DoModal calls it; tests call it to bring up a window without a modal loop.
    bool OnInitDialog();

    // Message table.
    bool OnSysCommand(uint32_t commandId, intptr_t parameter); // true when handled here
    void OnLastLetter();
    void OnChar(uint32_t character, int32_t repeatCount, uint32_t flags); // replays, whatever the character
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
    void OnProgress(); // the context menu's and the system menu's "Progrès..."
    void OnCopy();     // the context menu's "Copie..."
    void OnSending();  // the context menu's "Manipulation..."
    void OnKeyboardShow();
    void OnHScroll(int32_t scrollCode, int32_t position, QSlider* scrollBar);
    void OnOK();
    void OnCancel();
    // Context menu (a right-click on the window's background, the Menu key or Shift+F10):
    // "Attaque douce" switches the soft onset of the tones at once and saves it.
    void OnSoftOnset();

    // Sees every key-down for the window and its controls before they do: answers the random
    // dictation while it runs, else plays the key. Never consumes the message (always false).
    bool PreTranslateMessage(QEvent* message);

    // OK, "Annuler", Escape routes and the close box all end here.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

    // Read-only views of the state, for tests.
    const Synthesiser& GetSynthesiser() const { return synthesiser; }
    const Settings& GetSettings() const { return settings; }
    const RandomDictation& GetRandomDictation() const { return randomDictation; }
    const FileDictation& GetFileDictation() const { return fileDictation; }
    bool ShowsKeyboard() const { return display.ShowsKeyboard(); }
    bool ShowsDictation() const { return display.ShowsDictation(); }
    WaveOutDriver& WaveOut() { return sound.Driver(); }
    TrainerLearning& Learning() { return learning; }
    TrainerCopy& Copy() { return copy; }
    TrainerBand& Band() { return band; }
    TrainerSending& Sending() { return sending; }
    QMenu* ContextMenu() const { return contextMenu; }

protected:
    void DoDataExchange();
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ConnectMessageTable();
    void OpenContextMenuFromKeyboard();
    void RestartSound(int32_t deviceId);
    void StopAndSaveVolume();
    void StopDictations();

    TrainerEnvironment environment;
    SettingsMessageReporter settingsReporter;
    DriverMessageReporter driverReporter; // outlives the driver, which reports to it

    // Run-time state. The synthesiser groups the fields the audio thread reads.
    Synthesiser synthesiser;
    Settings settings;        // the persisted values
    TrainerLearning learning; // lessons, adaptive draw, history and the progress window
    TrainerCopy copy;         // the copy window and its runs
    TrainerBand band;         // the band conditions and their dialog
    MorseTable morseTable;
    KeyboardPractice keyboardPractice;
    RandomDictation randomDictation;
    FileDictation fileDictation;
    PracticeDisplay display;       // the practice lines and their "Montrer" boxes
    DictationTimer dictationTimer; // timer 31 of both dictation modes

    TrainerSound sound;     // the sound driver, over the synthesiser
    TrainerSending sending; // the sending window, its key and sidetone; after the sound, whose device it shares

    // Controls bound to members by DoDataExchange.
    QPointer<LinkLabel> linkLabel;          // 1031
    QPointer<QSlider> volumeSlider;         // 1005
    QIcon icon;                             // icon 128, loaded by the constructor
    MainContextMenu* contextMenu = nullptr; // child of the window, built by the constructor

    KeyDownFilter* keyDownFilter = nullptr; // children of the window
    DialogFocus* focus = nullptr;
    bool initialised = false;
};
