#include "app/TrainerDialog.h"

#include "audio/WaveOutDriver.h"
#include "res/AppIcon.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "settings/SettingsPersistence.h"
#include "ui/AboutDialog.h"
#include "ui/AnnouncedLabel.h"
#include "ui/ConfigDialog.h"
#include "ui/DialogFocus.h"
#include "ui/DictationFileChooser.h"
#include "ui/DictationTimer.h"
#include "ui/HomePage.h"
#include "ui/KeyDownFilter.h"
#include "ui/LinkLabel.h"
#include "ui/MainWindowBuilder.h"
#include "ui/SystemMenu.h"
#include "ui/TemplateBuilder.h"
#include "ui/VirtualKey.h"
#include "ui/seams/FileDialogSeam.h"
#include "ui/seams/MessageSeam.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <optional>

namespace {

// The buttons each dictation disables while it runs, and enables again at its Stop.
constexpr std::initializer_list<int32_t> kRandomInterlock = {MainControl::kDictationPlay, MainControl::kFilePlay,
                                                             MainControl::kFileStop};
constexpr std::initializer_list<int32_t> kFileInterlock = {MainControl::kDictationPlay, MainControl::kFilePlay,
                                                           MainControl::kDictationStop};

} // namespace

TrainerDialog::TrainerDialog(const TrainerEnvironment& environment, QWidget* parent)
    : QDialog(parent), environment(environment), settingsReporter(*environment.messages),
      driverReporter(*environment.messages, *this), learning(*this, this->environment, settings, settingsReporter),
      copy(*this, this->environment, settings, settingsReporter, synthesiser, [this] { StopDictations(); }),
      band(*this, this->environment, settings, settingsReporter, synthesiser),
      keyboardPractice(morseTable, synthesiser), randomDictation(morseTable, synthesiser),
      fileDictation(morseTable, synthesiser), dictationTimer(*environment.timers, *environment.messages),
      sound(environment.makeSoundDriver(), synthesiser, this, *environment.messages),
      // Each attempt's answers are committed, and shown in an open progress window, as a stopped
      // dictation's are.
      sending(
          *this, this->environment, settings, settingsReporter, [this] { return sound.DeviceId(); },
          [this] { learning.StopDictation(); }),
      icon(LoadAppIcon()) {
    MainWindowBuilder::Build(*this);
    sound.Driver().SetErrorReporter(&driverReporter);
    focus = new DialogFocus(*this, MainDialogTemplate());
    learning.Drive(randomDictation);
    keyDownFilter = new KeyDownFilter(*this, [this](QKeyEvent& keyDown, QWidget& receiver) {
        if (keyDown.key() == Qt::Key_F10 && keyDown.modifiers() == Qt::ShiftModifier) {
            OpenContextMenuFromKeyboard(); // as the Menu key does
            return KeyDownFilter::Delivery::Dropped();
        }
        PreTranslateMessage(&keyDown);
        return focus->DeliveryOf(keyDown, receiver); // Enter as Tab; Space only on a control Tab reached
    });
    qApp->installEventFilter(keyDownFilter);

    dictationTimer.OnTick([this](uint32_t timerId) { OnTimer(timerId); });
    contextMenu = new MainContextMenu(
        *this, QString::fromUtf8(TrainerLearning::kProgressItem), [this] { OnProgress(); }, [this] { OnSoftOnset(); });
    contextMenu->AddWindowItem(QString::fromUtf8(TrainerCopy::kCopyItem), "copyAction", [this] { OnCopy(); });
    contextMenu->AddWindowItem(QString::fromUtf8(TrainerSending::kSendingItem), "sendingAction",
                               [this] { OnSending(); });
    contextMenu->AddWindowItem(QString::fromUtf8(TrainerBand::kMenuItem), "bandAction", [this] { band.OpenDialog(); });
}

TrainerDialog::~TrainerDialog() {
    // No key reaches the handlers while the window is taken apart (nor any tick: see the members).
    delete keyDownFilter;
    delete focus;
}

void TrainerDialog::DoDataExchange() {
    linkLabel = TemplateBuilder::Control<LinkLabel>(*this, MainControl::kLink);
    display.Bind(TemplateBuilder::Control<AnnouncedLabel>(*this, MainControl::kKeyboardText),
                 TemplateBuilder::Control<AnnouncedLabel>(*this, MainControl::kDictationText),
                 TemplateBuilder::Control<AnnouncedLabel>(*this, MainControl::kScore));
    volumeSlider = TemplateBuilder::Control<QSlider>(*this, MainControl::kVolume);
}

void TrainerDialog::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        OpenContextMenuFromKeyboard();
    } else {
        contextMenu->PopupAt(event->globalPos(), settings.softOnset == Settings::kSoftOnsetOn);
    }
    event->accept();
}

// The Menu key and Shift+F10: the menu opens over the control with the focus, not at the
// pointer, its first item selected.
void TrainerDialog::OpenContextMenuFromKeyboard() {
    QWidget* focused = focusWidget();
    const QWidget& anchor = focused != nullptr ? *focused : *this;
    contextMenu->PopupAt(anchor.mapToGlobal(anchor.rect().center()), settings.softOnset == Settings::kSoftOnsetOn,
                         true);
}

// The message table: which control reaches which handler.
void TrainerDialog::ConnectMessageTable() {
    static constexpr TemplateBuilder::Command<TrainerDialog> kCommands[] = {
        {ResourceId::kOk, &TrainerDialog::OnOK},
        {ResourceId::kCancel, &TrainerDialog::OnCancel},
        {MainControl::kLastLetter, &TrainerDialog::OnLastLetter},
        {MainControl::kConfiguration, &TrainerDialog::OnConfiguration},
        {MainControl::kNoise, &TrainerDialog::OnNoise},
        {MainControl::kOpenFile, &TrainerDialog::OnOpenFile},
        {MainControl::kDictationPlay, &TrainerDialog::OnDictationPlay},
        {MainControl::kDictationStop, &TrainerDialog::OnDictationStop},
        {MainControl::kDictationShow, &TrainerDialog::OnDictationShow},
        {MainControl::kAbout, &TrainerDialog::OnAbout},
        {MainControl::kKeyboardShow, &TrainerDialog::OnKeyboardShow},
        {MainControl::kFilePlay, &TrainerDialog::OnFilePlay},
        {MainControl::kFileStop, &TrainerDialog::OnFileStop},
    };
    TemplateBuilder::ConnectCommands(*this, kCommands);
    // WM_HSCROLL: every move of the volume slider.
    connect(volumeSlider, &QSlider::valueChanged, this, [this](int position) { OnHScroll(0, position, volumeSlider); });
}

bool TrainerDialog::OnInitDialog() {
    if (initialised) {
        return true;
    }
    initialised = true;
    DoDataExchange(); // 1. controls bound, handlers connected
    ConnectMessageTable();
    SystemMenu::AppendAbout(
        *this,
        [this](uint32_t commandId, intptr_t parameter) { // 2. "&A propos de Zelbin...", where the program owns the menu
            return OnSysCommand(commandId, parameter);
        });
    SystemMenu::AppendItem(*this, ResourceId::kProgressSystemCommand,
                           QString::fromUtf8(TrainerLearning::kProgressItem));
    setWindowIcon(icon);                                // 3. the big and small icon
    synthesiser.Initialise();                           // 4. buffers and first values, before the audio thread can run
    RestartSound(TrainerSound::kStartupDeviceId);       // 5. after either message the window works on, silent
    LoadSettings(*environment.settingsStore, settings); // 6.
    {
        // 7. The slider shows the volume x 100, truncated; setting it is no user move.
        const QSignalBlocker quiet(volumeSlider);
        volumeSlider->setValue(Settings::SliderPositionOfVolume(settings.volume));
    }
    synthesiser.ApplySettings(settings); // 8. frequency, volume, lengths, soft onset; then the code of '1', not played
    band.Apply();
    morseTable.CodeForChar('1', synthesiser.currentCode);
    display.HideBoth();                                               // 9. no practice runs: the practices start idle
    HomePage::SetUpMainWindowLink(*linkLabel, environment.urlOpener); // 10.
    if (QWidget* first = focus->FirstTabStop()) { // 11. the focus goes to the first tab stop, the OK button
        first->setFocus(Qt::TabFocusReason);
    }
    return true;
}

void TrainerDialog::RestartSound(int32_t deviceId) {
    sound.Restart(deviceId);
}

bool TrainerDialog::OnSysCommand(uint32_t commandId, intptr_t) {
    // The About item; every other command keeps its default processing (Move, Close...).
    if ((commandId & 0xFFF0u) == ResourceId::kAboutSystemCommand) {
        OnAbout();
        return true;
    }
    if ((commandId & 0xFFF0u) == ResourceId::kProgressSystemCommand) {
        OnProgress();
        return true;
    }
    return false;
}

void TrainerDialog::OnProgress() {
    learning.OpenProgressWindow();
}

void TrainerDialog::OnCopy() {
    copy.OpenCopyWindow();
}

// Before a copy run: the dictations that share the synthesiser stop, as their Stop buttons do.
void TrainerDialog::StopDictations() {
    if (randomDictation.Active()) {
        OnDictationStop();
    }
    if (fileDictation.Active()) {
        OnFileStop();
    }
}

void TrainerDialog::OnSending() {
    sending.OpenWindow();
}

void TrainerDialog::OnAbout() {
    // Modal: the main window takes no input meanwhile, but its timer goes on, and keys typed in
    // the box are the box's (the key filter sees only this window and its controls).
    AboutDialog about(this, environment.urlOpener);
    about.DoModal();
}

void TrainerDialog::OnNoise() {
    synthesiser.SetNoise(!synthesiser.Noise());
}

// Takes effect from the next block the audio thread renders: the flag is one store.
void TrainerDialog::OnSoftOnset() {
    const bool on = settings.softOnset != Settings::kSoftOnsetOn;
    settings.softOnset = on ? Settings::kSoftOnsetOn : Settings::kSoftOnsetOff;
    synthesiser.SetSoftOnset(on);
    contextMenu->SetSoftOnsetChecked(on);
    SaveSoftOnset(*environment.settingsStore, settings, settingsReporter);
}

// Every scroll notification reads the slider's position, whatever the arguments say.
void TrainerDialog::OnHScroll(int32_t, int32_t, QSlider*) {
    settings.volume = Settings::VolumeOfSliderPosition(volumeSlider->value());
    synthesiser.SetVolume(settings.volume);
    sending.ApplyTone();
}

// Keyboard practice (practice/KeyboardPractice)
void TrainerDialog::OnLastLetter() {
    keyboardPractice.ReplayLast(); // the button keeps the focus, for the next replay
}

void TrainerDialog::OnChar(uint32_t, int32_t, uint32_t) {
    keyboardPractice.ReplayLast();
}

void TrainerDialog::OnKeyboardShow() {
    display.ToggleKeyboard();
}

bool TrainerDialog::PreTranslateMessage(QEvent* message) {
    if (message->type() != QEvent::KeyPress) {
        return false;
    }
    const uint32_t key = VirtualKey::Of(*static_cast<QKeyEvent*>(message));
    if (randomDictation.Active()) {
        randomDictation.Key(key); // the key answers the character being dictated
        return false;
    }
    display.ShowKey(keyboardPractice.Key(key));
    return false;
}

void TrainerDialog::keyPressEvent(QKeyEvent* event) {
    // The dialog's own keyboard handling (Enter for the default button, Escape for Annuler)
    // is not applied to this window. A character typed to the window itself replays.
    if (keyDownFilter->IsAddressedToWindow(*event) && !event->text().isEmpty()) {
        OnChar(event->text().at(0).unicode(), event->count(), 0);
    }
    event->ignore();
}

// Closing
void TrainerDialog::OnOK() {
    StopAndSaveVolume();
    QDialog::accept();
}

void TrainerDialog::OnCancel() {
    StopAndSaveVolume();
    QDialog::reject();
}

// Stops the sound and writes "Volume". When the store cannot be written the message is shown
// once and the window ends all the same: nothing was written, the stored file stays as it was.
void TrainerDialog::StopAndSaveVolume() {
    copy.Stop();
    sound.Stop();
    sending.CloseWindow();    // its attempt so far
    learning.StopDictation(); // the answers not written yet
    SaveVolume(*environment.settingsStore, settings, settingsReporter);
}

// Random dictation (practice/RandomDictation)
void TrainerDialog::OnDictationPlay() {
    // The focus goes to this dictation's Stop before Play is disabled, never to a control
    // that is being disabled.
    focus->PassTo(TemplateBuilder::FindControl(*this, MainControl::kDictationStop));
    TemplateBuilder::EnableControls(*this, kRandomInterlock, false);
    learning.StartDictation();
    randomDictation.Play();
    dictationTimer.Restart(settings.dictationIntervalMs);
    display.ShowPattern(randomDictation.CurrentIndex());
    display.ShowScore(randomDictation.Score(), randomDictation.Total());
}

void TrainerDialog::OnDictationStop() {
    dictationTimer.Kill();
    randomDictation.Stop();
    learning.StopDictation();
    TemplateBuilder::EnableControls(*this, kRandomInterlock, true);
    focus->PassTo(TemplateBuilder::FindControl(*this, MainControl::kDictationPlay));
}

void TrainerDialog::OnDictationShow() {
    display.ToggleDictation();
}

// Timer 31 serves both dictation modes; the interlocks keep them from running together.
void TrainerDialog::OnTimer(uint32_t timerId) {
    if (timerId != DictationTimer::kTimerId) {
        return;
    }
    if (randomDictation.Active()) {
        const ScoredAnswer scored = randomDictation.Tick();
        display.ShowScoreWithPrevious(randomDictation.Score(), randomDictation.Total(), scored.playedIndex);
        display.ShowPattern(randomDictation.CurrentIndex());
        dictationTimer.Renew(settings.dictationIntervalMs);
    }
    if (!fileDictation.Active()) {
        return;
    }
    const FileDictation::Step step = fileDictation.Tick();
    if (step == FileDictation::Step::Unreadable) {
        return; // the same byte is tried at the next tick
    }
    if (step == FileDictation::Step::EndOfFile) {
        dictationTimer.Kill();
        environment.messages->Show(QStringLiteral("Fin"));
        return;
    }
    dictationTimer.Restart(settings.dictationIntervalMs);
}

// File dictation (practice/FileDictation)
void TrainerDialog::OnOpenFile() {
    const std::optional<QString> chosen =
        DictationFileChooser::Choose(this, *environment.fileDialog, *environment.messages);
    if (!chosen) {
        return;
    }
    if (auto* pathText = TemplateBuilder::Control<QLabel>(*this, MainControl::kFilePath)) {
        pathText->setText(*chosen);
    }
    fileDictation.SetPath(FileDialogSeam::ToFilesystemPath(*chosen));
}

void TrainerDialog::OnFilePlay() {
    if (fileDictation.Play() == FileDictation::Step::Unreadable) {
        return; // no file, or one that cannot be opened: nothing happens
    }
    focus->PassTo(TemplateBuilder::FindControl(*this, MainControl::kFileStop));
    TemplateBuilder::EnableControls(*this, kFileInterlock, false);
    dictationTimer.Restart(settings.dictationIntervalMs);
}

void TrainerDialog::OnFileStop() {
    dictationTimer.Kill();
    fileDictation.Stop();
    TemplateBuilder::EnableControls(*this, kFileInterlock, true);
    focus->PassTo(TemplateBuilder::FindControl(*this, MainControl::kFilePlay));
}

// Configuration
void TrainerDialog::OnConfiguration() {
    // A running random dictation stops scoring here, whatever the dialog's outcome; its
    // timer and buttons stay until Stop.
    randomDictation.Stop();
    ConfigDialog dialog(settings, sound.DeviceNames(ConfigDialog::kMaxDevices), this);
    if (dialog.DoModal() != ConfigDialog::kConfirmed) {
        return;
    }
    sound.Stop();               // the synthesiser computes nothing while its values change
    settings = dialog.Values(); // the volume passes through the dialog unchanged
    synthesiser.ApplySettings(settings);
    RestartSound(settings.driverId);
    sending.ApplyTone();
    sending.DeviceChanged();
    if (SaveConfiguration(*environment.settingsStore, settings, settingsReporter)) {
        SaveLearning(*environment.settingsStore, settings, settingsReporter);
    }
}
