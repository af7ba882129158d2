#include "app/TrainerDialog.h"

#include "app/KeyDownFilter.h"
#include "app/MessageSeam.h"
#include "app/QtFileDialogSeam.h"
#include "app/QtTimerSeam.h"
#include "app/TemplateBuilder.h"
#include "app/VirtualKey.h"
#include "app/WaveOutDriverForQt.h"
#include "morse/ByteClassifier.h"
#include "morse/RandomPicker.h"
#include "res/AppIcon.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "settings/ConfigDialog.h"
#include "settings/SettingsPersistence.h"
#include "ui/AboutDialog.h"
#include "ui/HomePage.h"
#include "ui/LinkLabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// The stream every start of the driver asks for: 44,100 frames per second, buffers of
// 2048 bytes (512 frames), 8 buffers in the ring, a refill pass every 10 ms.
constexpr int32_t kSampleRate = 44100;    // [Hz]
constexpr int32_t kBufferBytes = 2048;    // [bytes]
constexpr int32_t kBufferCount = 8;       // [buffers]
constexpr int32_t kRefillIntervalMs = 10; // [ms]
constexpr int32_t kStartupDeviceId = 0;   // the stored device takes effect with the configuration dialog

constexpr const char* kConfigureFailed = "Unable to configure audio driver";
constexpr const char* kStartFailed = "Unable to start audio driver";

// The one timer of the window, shared by the random and the file dictation.
constexpr uint32_t kDictationTimerId = 31;
constexpr const char* kTimerFailed = "Unable to set timer";
constexpr const char* kEndOfFile = "Fin";

// The texts of the random dictation: the score at Play, the score with the character just
// scored at each tick, and the pattern of the character being played (six spaces).
constexpr const char* kScoreFormat = "Score: %d sur %d";
constexpr const char* kScoreWithPreviousFormat = "Score: %d sur %d\nPrécédent:%c";
constexpr const char* kPatternFormat = "Caractère      %s";

constexpr int kConfigurationConfirmed = 1; // what ConfigDialog::DoModal returns for OK

// The tooltip of the link, in black and green.
constexpr const char* kLinkTooltip = "Aide, dernières versions, support...";

// The display line of keyboard practice: the word, the character, five spaces, its code.
constexpr const char* kKeyboardLineFormat = "Caractère %c     %s";

constexpr float kSliderToVolume = 0.01f; // slider position 0-100 to volume 0-1
constexpr float kVolumeToSlider = 100.0f;

// Index of a character in the Morse table from its virtual key: 'A'-'Z' are 0-25, '0'-'9'
// are 26-35.
constexpr int32_t kLetterIndexOffset = 65;
constexpr int32_t kDigitIndexOffset = 22;

// A path as the platform's file functions take it: UTF-16 on Windows, the local 8-bit
// encoding (UTF-8) elsewhere.
std::filesystem::path ToFilesystemPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

bool IsDigitKey(uint32_t key) {
    return key >= '0' && key <= '9';
}
bool IsLetterKey(uint32_t key) {
    return key >= 'A' && key <= 'Z';
}

} // namespace

TrainerDialog::TrainerDialog(const TrainerEnvironment& environment, QWidget* parent)
    : QDialog(parent), icon(LoadAppIcon()), environment(environment), settingsReporter(*environment.messages),
      driverReporter(*environment.messages, *this), waveOut(environment.makeSoundDriver()) {
    driver = waveOut.get();
    TemplateBuilder builder(MainDialogTemplate());
    builder.Bind(MainControl::kLink,
                 [](const ControlTemplate&, QWidget* parent) -> QWidget* { return new LinkLabel(parent); });
    builder.Build(*this);
    waveOut->SetErrorReporter(&driverReporter);
    keyDownFilter = new KeyDownFilter(*this, [this](QKeyEvent& keyDown) { PreTranslateMessage(&keyDown); });
    qApp->installEventFilter(keyDownFilter);

    // Timer 31 and the open-file dialog: the environment's, else Qt's own.
    timers = environment.timers;
    if (timers == nullptr) {
        ownTimers = std::make_unique<QtTimerSeam>();
        timers = ownTimers.get();
    }
    timers->SetTickHandler([this](uint32_t timerId) { OnTimer(timerId); });
    fileDialog = environment.fileDialog;
    if (fileDialog == nullptr) {
        ownFileDialog = std::make_unique<QtFileDialogSeam>();
        fileDialog = ownFileDialog.get();
    }
}

TrainerDialog::~TrainerDialog() {
    // No key reaches the window's handlers while it is taken apart.
    delete keyDownFilter;
    keyDownFilter = nullptr;
    // Nor any tick.
    timers->KillTimer(kDictationTimerId);
    timers->SetTickHandler(nullptr);
    // The driver's destructor stops a stream that still runs, before the synthesiser goes.
    waveOut.reset();
}

int TrainerDialog::DoModal() {
    OnInitDialog();
    return exec();
}

void TrainerDialog::DoDataExchange() {
    linkLabel = TemplateBuilder::Control<LinkLabel>(*this, MainControl::kLink);
    keyboardText = TemplateBuilder::Control<QLabel>(*this, MainControl::kKeyboardText);
    dictationText = TemplateBuilder::Control<QLabel>(*this, MainControl::kDictationText);
    scoreText = TemplateBuilder::Control<QLabel>(*this, MainControl::kScore);
    volumeSlider = TemplateBuilder::Control<QSlider>(*this, MainControl::kVolume);
}

// The message table: which control reaches which handler.
void TrainerDialog::ConnectMessageTable() {
    struct CommandEntry {
        int32_t controlId;
        void (TrainerDialog::*handler)();
    };
    static constexpr CommandEntry kCommands[] = {
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
    for (const CommandEntry& entry : kCommands) {
        if (auto* button = TemplateBuilder::Control<QAbstractButton>(*this, entry.controlId)) {
            connect(button, &QAbstractButton::clicked, this, entry.handler);
        }
    }
    // WM_HSCROLL: every move of the volume slider.
    connect(volumeSlider, &QSlider::valueChanged, this, [this](int position) { OnHScroll(0, position, volumeSlider); });
}

bool TrainerDialog::OnInitDialog() {
    if (initialised) {
        return true;
    }
    initialised = true;

    // 1. Bind the controls and connect their handlers.
    DoDataExchange();
    ConnectMessageTable();

    // 2. The system menu's "&A propos de Zelbin...", where the program owns that menu.
    AppendAboutToSystemMenu();

    // 3. The window's big and small icon.
    setWindowIcon(icon);

    // 4. Sample buffers and the synthesiser's first values, before the audio thread can run.
    synthesiser.Initialise();

    // 5. Sound: registered, configured for device 0 and started; after either message the
    // window works on, silent.
    StartSound();

    // 6. Settings.
    LoadSettings(*environment.settingsStore, settings);
    synthesiser.SetFrequency(settings.frequency);
    synthesiser.SetVolume(settings.volume);

    // 7. The volume slider shows the volume x 100, truncated; setting it is no user move.
    {
        const QSignalBlocker quiet(volumeSlider);
        volumeSlider->setValue(static_cast<int>(settings.volume * kVolumeToSlider));
    }

    // 8. Element lengths and the code of '1', not played.
    synthesiser.SetElementLengths(settings.pauseMs, settings.dihMs, settings.dahMs);
    morseTable.CodeForChar('1', synthesiser.currentCode);

    // 9. No practice mode runs.
    dictationActive = false;
    answerIndex = 0;
    showDictation = false;
    showKeyboard = false;
    fileOffset = 0;
    fileActive = false;

    // 10. The link: the product's web page with the main window's query, and its tooltip.
    linkLabel->setText(HomePage::Caption(HomePage::Address(), linkLabel->font(), linkLabel->width()));
    linkLabel->SetUrlOpener(environment.urlOpener);
    linkLabel->SetURL(HomePage::MainWindowLink());
    linkLabel->EnableTooltip(true);
    linkLabel->SetTooltipText(QString::fromUtf8(kLinkTooltip));
    linkLabel->SetTooltipBkColor(QColor(0, 0, 0));
    linkLabel->SetTooltipTextColor(QColor(0, 255, 0));

    // 11. The focus goes to the first tab stop, the OK button.
    if (QWidget* first = FirstTabStop()) {
        first->setFocus(Qt::TabFocusReason);
    }
    return true;
}

void TrainerDialog::StartSound() {
    driver = waveOut.get();
    driver->SetCallback(this, ToneCallback, &synthesiser);
    if (!driver->Configure(kSampleRate, kBufferBytes, kBufferCount, kRefillIntervalMs, kStartupDeviceId)) {
        environment.messages->Show(QString::fromUtf8(kConfigureFailed));
    }
    if (!driver->Start()) {
        environment.messages->Show(QString::fromUtf8(kStartFailed));
    }
}

void TrainerDialog::AppendAboutToSystemMenu() {
#ifdef Q_OS_WIN
    HMENU systemMenu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    const QString text = QString::fromUtf8(LoadResourceString(ResourceId::kAboutMenuString));
    if (systemMenu != nullptr && !text.isEmpty()) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, ResourceId::kAboutSystemCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
    }
#else
    // On X11 and Wayland the window manager owns the window menu: there is none to extend.
#endif
}

#ifdef Q_OS_WIN
bool TrainerDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_SYSCOMMAND &&
        OnSysCommand(static_cast<uint32_t>(msg->wParam), static_cast<intptr_t>(msg->lParam))) {
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}
#endif

bool TrainerDialog::OnSysCommand(uint32_t commandId, intptr_t parameter) {
    Q_UNUSED(parameter);
    // The About item; every other command keeps its default processing (Move, Close...).
    if ((commandId & 0xFFF0u) == ResourceId::kAboutSystemCommand) {
        OnAbout();
        return true;
    }
    return false;
}

void TrainerDialog::OnAbout() {
    // Modal: the main window takes no input meanwhile, but its timer goes on, and keys typed in
    // the box are the box's (the key filter sees only this window and its controls).
    AboutDialog about(this, environment.urlOpener);
    about.DoModal();
}

void TrainerDialog::paintEvent(QPaintEvent* event) {
    if (isMinimized()) {
        OnPaint();
        return;
    }
    QDialog::paintEvent(event);
}

void TrainerDialog::OnPaint() {
    // Only a minimised window draws its icon, centred in the client area.
    QPainter painter(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const int x = (width() - iconSize + 1) / 2;
    const int y = (height() - iconSize + 1) / 2;
    painter.drawPixmap(x, y, icon.pixmap(iconSize, iconSize));
}

void TrainerDialog::OnNoise() {
    synthesiser.SetNoise(!synthesiser.Noise());
}

void TrainerDialog::OnHScroll(int32_t scrollCode, int32_t position, QSlider* scrollBar) {
    Q_UNUSED(scrollCode);
    Q_UNUSED(position);
    Q_UNUSED(scrollBar);
    settings.volume = static_cast<float>(volumeSlider->value()) * kSliderToVolume;
    synthesiser.SetVolume(settings.volume);
}

void TrainerDialog::OnLastLetter() {
    synthesiser.PlayCode();
    SetFocusToWindow();
}

void TrainerDialog::OnChar(uint32_t character, int32_t repeatCount, uint32_t flags) {
    Q_UNUSED(character);
    Q_UNUSED(repeatCount);
    Q_UNUSED(flags);
    synthesiser.PlayCode();
}

void TrainerDialog::OnKeyboardShow() {
    showKeyboard = !showKeyboard;
    keyboardText->setText(QStringLiteral(" "));
}

bool TrainerDialog::PreTranslateMessage(QEvent* message) {
    if (message->type() != QEvent::KeyPress) {
        return false;
    }
    auto& keyDown = *static_cast<QKeyEvent*>(message);
    uint32_t key = VirtualKey::Of(keyDown);
    if (key == VirtualKey::kReturn) {
        VirtualKey::RewriteAsTab(keyDown);
        key = VirtualKey::kTab;
    }
    if (dictationActive) {
        // The key answers the character being dictated; nothing is played or shown.
        answerIndex = 0;
        if (IsDigitKey(key)) {
            answerIndex = static_cast<int32_t>(key) - kDigitIndexOffset;
        }
        if (IsLetterKey(key)) {
            answerIndex = static_cast<int32_t>(key) - kLetterIndexOffset;
        }
        return false;
    }
    if (IsDigitKey(key)) {
        ShowKeyboardCharacter(key, static_cast<int32_t>(key) - kDigitIndexOffset);
    }
    if (IsLetterKey(key)) {
        ShowKeyboardCharacter(key, static_cast<int32_t>(key) - kLetterIndexOffset);
    }
    return false;
}

void TrainerDialog::ShowKeyboardCharacter(uint32_t key, int32_t index) {
    const char character = static_cast<char>(key);
    morseTable.CodeForChar(character, synthesiser.currentCode);
    char text[MorseTable::kTextLength + 1] = {};
    morseTable.CodeToText(index, text);
    if (showKeyboard) {
        keyboardText->setText(QString::asprintf(kKeyboardLineFormat, character, text));
    }
    synthesiser.PlayCode();
}

void TrainerDialog::keyPressEvent(QKeyEvent* event) {
    // The dialog's own keyboard handling (Enter for the default button, Escape for Annuler)
    // is not applied to this window. A character typed to the window itself replays.
    if (KeyDownFilter::IsAddressedToWindow(*event) && !event->text().isEmpty()) {
        OnChar(event->text().at(0).unicode(), event->count(), 0);
    }
    event->ignore();
}

void TrainerDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        focusAtDeactivation = focusWidget();
    }
    QDialog::changeEvent(event);
}

// The window takes the focus and passes it on to a control, as a dialog does: the one that
// had it when the window was last left, else the first tab stop.
void TrainerDialog::SetFocusToWindow() {
    QWidget* target = focusAtDeactivation.data();
    if (target == nullptr || !target->isEnabled() || !target->isVisibleTo(this)) {
        target = FirstTabStop();
    }
    if (target != nullptr) {
        target->setFocus(Qt::OtherFocusReason);
    }
}

QWidget* TrainerDialog::FirstTabStop() const {
    for (const ControlTemplate& item : MainDialogTemplate().items) {
        if ((item.style & kTabStop) == 0 || item.id == ResourceId::kNoId) {
            continue;
        }
        QWidget* control = TemplateBuilder::FindControl(*this, item.id);
        if (control != nullptr && control->isEnabled()) {
            return control;
        }
    }
    return nullptr;
}

void TrainerDialog::OnOK() {
    driver->Stop();
    if (SaveVolumeOrStay()) {
        QDialog::accept();
    }
}

void TrainerDialog::OnCancel() {
    driver->Stop();
    if (SaveVolumeOrStay()) {
        QDialog::reject();
    }
}

// Writes "Volume"; when the store cannot be written the message has been shown and the
// window stays open, silent until the configuration dialog starts the sound again.
bool TrainerDialog::SaveVolumeOrStay() {
    return SaveVolume(*environment.settingsStore, settings, settingsReporter);
}

void TrainerDialog::accept() {
    OnOK();
}

void TrainerDialog::reject() {
    OnCancel();
}

// ---- Random dictation --------------------------------------------------------------------

void TrainerDialog::OnDictationPlay() {
    EnableControls({MainControl::kDictationPlay, MainControl::kFilePlay, MainControl::kFileStop}, false);
    SetFocusToWindow();
    PickCharacter();
    morseTable.CodeForIndex(currentIndex, synthesiser.currentCode);
    synthesiser.PlayCode();
    dictationActive = true;
    timers->KillTimer(kDictationTimerId);
    SetDictationTimer();
    if (showDictation) {
        ShowDictationPattern();
    }
    score = 0;
    scoreTotal = 0;
    scoreText->setText(QString::asprintf(kScoreFormat, score, scoreTotal));
}

void TrainerDialog::OnDictationStop() {
    timers->KillTimer(kDictationTimerId);
    dictationActive = false;
    EnableControls({MainControl::kDictationPlay, MainControl::kFilePlay, MainControl::kFileStop}, true);
}

void TrainerDialog::OnDictationShow() {
    showDictation = !showDictation;
    dictationText->setText(QStringLiteral(" "));
}

// Timer 31 serves both dictation modes; the interlocks keep them from running together.
void TrainerDialog::OnTimer(uint32_t timerId) {
    if (timerId != kDictationTimerId) {
        return;
    }
    if (dictationActive) {
        DictationStep();
    }
    if (fileActive) {
        FileStep();
    }
}

// Scores the character of the past interval against the last key pressed, then plays the next.
void TrainerDialog::DictationStep() {
    if (currentIndex == answerIndex) {
        ++score;
    }
    ++scoreTotal;
    scoreText->setText(
        QString::asprintf(kScoreWithPreviousFormat, score, scoreTotal, morseTable.IndexToChar(currentIndex)));
    PickCharacter();
    morseTable.CodeForIndex(currentIndex, synthesiser.currentCode);
    if (showDictation) {
        ShowDictationPattern();
    }
    synthesiser.PlayCode();
    SetDictationTimer();
}

void TrainerDialog::PickCharacter() {
    currentIndex = RandomPicker::PickIndex();
}

void TrainerDialog::ShowDictationPattern() {
    char pattern[MorseTable::kTextLength + 1] = {};
    morseTable.CodeToText(currentIndex, pattern);
    dictationText->setText(QString::asprintf(kPatternFormat, pattern));
}

// Sets timer 31 with the interval in force, replacing a running one.
void TrainerDialog::SetDictationTimer() {
    if (!timers->SetTimer(kDictationTimerId, settings.dictationIntervalMs)) {
        environment.messages->Show(QString::fromUtf8(kTimerFailed));
    }
}

void TrainerDialog::EnableControls(std::initializer_list<int32_t> controlIds, bool enabled) {
    for (int32_t controlId : controlIds) {
        if (QWidget* control = TemplateBuilder::FindControl(*this, controlId)) {
            control->setEnabled(enabled);
        }
    }
}

// ---- File dictation ----------------------------------------------------------------------

void TrainerDialog::OnOpenFile() {
    const std::optional<QString> chosen = fileDialog->GetOpenPath(this);
    if (!chosen) {
        return;
    }
    if (auto* pathText = TemplateBuilder::Control<QLabel>(*this, MainControl::kFilePath)) {
        pathText->setText(*chosen);
    }
    filePath = ToFilesystemPath(*chosen);
}

void TrainerDialog::OnFilePlay() {
    fileOffset = 0;
    const FileByteReader::Result read = FileByteReader::ReadByteAt(filePath, fileOffset);
    if (read.status == FileByteReader::Status::OpenFailed) {
        return; // no file, or one that cannot be opened: nothing happens
    }
    EnableControls({MainControl::kDictationPlay, MainControl::kFilePlay, MainControl::kDictationStop}, false);
    // The end of the file is not looked for here: an empty file gives a silent first slot.
    PlayFileSlot(read);
    fileActive = true;
    timers->KillTimer(kDictationTimerId);
    SetDictationTimer();
}

void TrainerDialog::OnFileStop() {
    timers->KillTimer(kDictationTimerId);
    fileActive = false;
    fileOffset = 0;
    EnableControls({MainControl::kDictationPlay, MainControl::kFilePlay, MainControl::kDictationStop}, true);
}

// Reads the byte at fileOffset. A file that cannot be opened skips the tick, and the same
// offset is tried at the next; the end of the file stops the timer and says "Fin".
void TrainerDialog::FileStep() {
    const FileByteReader::Result read = FileByteReader::ReadByteAt(filePath, fileOffset);
    if (read.status == FileByteReader::Status::OpenFailed) {
        return;
    }
    currentIndex = 0;
    if (read.status == FileByteReader::Status::EndOfFile) {
        synthesiser.PlaySilentSlot(); // whatever still sounds stops; currentCode stays
        timers->KillTimer(kDictationTimerId);
        environment.messages->Show(QString::fromUtf8(kEndOfFile));
        return;
    }
    PlayFileSlot(read);
    timers->KillTimer(kDictationTimerId);
    SetDictationTimer();
}

// Loads the byte's character and sounds it, or for any other byte loads 'A' and stays silent.
void TrainerDialog::PlayFileSlot(const FileByteReader::Result& read) {
    const ByteSlot slot =
        read.status == FileByteReader::Status::Byte ? ByteClassifier::Classify(read.byte) : ByteSlot{0, false};
    currentIndex = slot.index;
    ++fileOffset;
    morseTable.CodeForIndex(currentIndex, synthesiser.currentCode);
    if (slot.sounds) {
        synthesiser.PlayCode();
    } else {
        synthesiser.PlaySilentSlot();
    }
}

// ---- Configuration -----------------------------------------------------------------------

void TrainerDialog::OnConfiguration() {
    ConfigDialog dialog(this);
    dialog.deviceCount = waveOut->GetDeviceCount();
    // A running random dictation stops scoring here, whatever the dialog's outcome; its
    // timer and buttons stay until Stop.
    dictationActive = false;
    int32_t copied = 0;
    while (copied < ConfigDialog::kMaxDevices && copied < waveOut->GetDeviceCount()) {
        const char* name = waveOut->GetDeviceName(copied);
        dialog.deviceNames[static_cast<size_t>(copied)] = name != nullptr ? name : "";
        ++copied;
    }
    // Only names that were copied count: a list of more than kMaxDevices devices shows the
    // first kMaxDevices, and one that shrank while it was read shows what was read.
    dialog.deviceCount = copied;
    dialog.deviceIndex = settings.driverId;
    dialog.frequency = settings.frequency;
    dialog.dihMs = settings.dihMs;
    dialog.dahMs = settings.dahMs;
    dialog.pauseMs = settings.pauseMs;
    dialog.dictationIntervalMs = settings.dictationIntervalMs;
    if (dialog.DoModal() != kConfigurationConfirmed) {
        return;
    }

    driver->Stop();
    settings.driverId = dialog.deviceIndex;
    settings.frequency = dialog.frequency;
    settings.dahMs = dialog.dahMs;
    settings.dihMs = dialog.dihMs;
    settings.pauseMs = dialog.pauseMs;
    settings.dictationIntervalMs = dialog.dictationIntervalMs;
    synthesiser.SetFrequency(settings.frequency);
    synthesiser.SetElementLengths(settings.pauseMs, settings.dihMs, settings.dahMs);
    // Registered, configured for the chosen device and started; a failure is said and the
    // sequence goes on, so the values are saved even when the sound stays off.
    driver->SetCallback(this, ToneCallback, &synthesiser);
    if (!driver->Configure(kSampleRate, kBufferBytes, kBufferCount, kRefillIntervalMs, settings.driverId)) {
        environment.messages->Show(QString::fromUtf8(kConfigureFailed));
    }
    if (!driver->Start()) {
        environment.messages->Show(QString::fromUtf8(kStartFailed));
    }
    SaveConfiguration(*environment.settingsStore, settings, settingsReporter);
}
