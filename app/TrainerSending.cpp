#include "app/TrainerSending.h"

#include "app/TrainerEnvironment.h"
#include "audio/ClockedSidetoneDevice.h"
#include "audio/SidetoneDevice.h"
#include "history/HistoryStore.h"
#include "keying/KeyingEngine.h"
#include "settings/Settings.h"
#include "settings/SettingsPersistence.h"
#include "ui/SendingWindow.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <vector>

namespace {

constexpr double kFramesPerMs = KeyingEngine::kSampleRate / 1000.0;

} // namespace

TrainerSending::TrainerSending(QWidget& window, const TrainerEnvironment& environment, Settings& settings,
                               SettingsReporter& reporter, std::function<int32_t()> deviceId,
                               std::function<void()> onRecorded)
    : window(window), environment(environment), settings(settings), reporter(reporter), deviceId(std::move(deviceId)),
      onRecorded(std::move(onRecorded)), random(std::random_device{}()), engine(std::make_unique<KeyingEngine>()),
      decoder(1200.0 / Settings{}.keyerWpm) {}

TrainerSending::~TrainerSending() {
    if (sendingWindow) {
        QObject::disconnect(sendingWindow, nullptr, nullptr, nullptr);
        delete sendingWindow.data();
    }
    CloseStream();
}

void TrainerSending::SetMaterial(std::function<std::string()> newMaterial) {
    material = std::move(newMaterial);
}

SendingWindow* TrainerSending::Window() const {
    return sendingWindow;
}

bool TrainerSending::IsStreamOpen() const {
    return device != nullptr && device->IsOpen();
}

void TrainerSending::OpenWindow() {
    if (!sendingWindow) {
        MakeWindow();
    }
    sendingWindow->SetOptions(settings.keyerMode, settings.keyerWpm, settings.keyerSwap == 1);
    sendingWindow->show();
    sendingWindow->raise();
    sendingWindow->activateWindow();
}

void TrainerSending::CloseWindow() {
    if (sendingWindow && sendingWindow->isVisible()) {
        sendingWindow->close();
    }
}

void TrainerSending::MakeWindow() {
    sendingWindow = new SendingWindow(&window);
    SendingWindow* w = sendingWindow;
    QObject::connect(w, &SendingWindow::opened, &window, [this] { OnOpened(); });
    QObject::connect(w, &SendingWindow::closed, &window, [this] { OnClosed(); });
    QObject::connect(w, &SendingWindow::keyInput, &window,
                     [this](KeyInput input, bool down) { OnKeyInput(input, down); });
    QObject::connect(w, &SendingWindow::modeChanged, &window, [this](int mode) { OnMode(mode); });
    QObject::connect(w, &SendingWindow::wpmChanged, &window, [this](int wpm) { OnWpm(wpm); });
    QObject::connect(w, &SendingWindow::swapChanged, &window, [this](bool swapped) { OnSwap(swapped); });
    QObject::connect(w, &SendingWindow::newTextRequested, &window, [this] { OnNewText(); });
    pollTimer = new QTimer(w);
    pollTimer->setInterval(kPollMs);
    pollTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(pollTimer, &QTimer::timeout, &window, [this] { Poll(); });
}

void TrainerSending::OnOpened() {
    OpenStream();
    if (!hasTarget) {
        NewTarget();
    }
    ShowAttempt();
    ShowRhythm();
    pollTimer->start();
}

void TrainerSending::OnClosed() {
    pollTimer->stop();
    Poll();
    decoder.Restart();
    Poll();
    EndAttempt();
    hasTarget = false;
    CloseStream();
}

void TrainerSending::OpenStream() {
    Configure();
    ApplyTone();
    if (environment.makeSidetoneDevice) {
        device = environment.makeSidetoneDevice();
    }
    const int32_t id = deviceId ? deviceId() : 0;
    if (device == nullptr ||
        !device->Open(id, KeyingEngine::kSampleRate, &KeyingEngine::RenderCallback, engine.get())) {
        device = std::make_unique<ClockedSidetoneDevice>();
        device->Open(id, KeyingEngine::kSampleRate, &KeyingEngine::RenderCallback, engine.get());
    }
    straightInputs = 0;
    decoder.Restart();
    sendingWindow->ShowSound(device->IsAudible());
}

void TrainerSending::CloseStream() {
    if (device != nullptr) {
        device->Close();
        device.reset();
    }
    KeyingEngine::Transition stale;
    while (engine->TakeTransition(stale)) {
    }
    keyLit = false;
}

void TrainerSending::DeviceChanged() {
    if (IsStreamOpen()) {
        CloseStream();
        OpenStream();
    }
}

void TrainerSending::ApplyTone() {
    engine->SetTone(settings.frequency, settings.volume);
}

void TrainerSending::Configure() {
    engine->Configure(Mode(), settings.keyerWpm, settings.keyerSwap == 1);
}

KeyingMode TrainerSending::Mode() const {
    return static_cast<KeyingMode>(settings.keyerMode);
}

void TrainerSending::OnKeyInput(KeyInput input, bool down) {
    if (!IsStreamOpen()) {
        return;
    }
    engine->Input(input, down);
    if (IsIambic() || !KeyingEngine::IsStraightKeyInput(input)) {
        return; // the keyer's elements come back from the stream
    }
    const bool wasDown = straightInputs != 0;
    const uint32_t bit = 1u << static_cast<uint32_t>(input);
    straightInputs = down ? straightInputs | bit : straightInputs & ~bit;
    if (straightInputs != 0 && !wasDown) {
        decoder.KeyDown(SteadyNowMs());
    } else if (straightInputs == 0 && wasDown) {
        decoder.KeyUp(SteadyNowMs());
    }
}

// A new mode keys on another clock: the decoder completes what it holds and starts afresh.
void TrainerSending::OnMode(int mode) {
    settings.keyerMode = mode;
    settings.Validate();
    SaveKeying(*environment.settingsStore, settings, reporter);
    Configure();
    straightInputs = 0;
    decoder.Restart();
    Poll();
}

void TrainerSending::OnWpm(int wpm) {
    settings.keyerWpm = wpm;
    settings.Validate();
    SaveKeying(*environment.settingsStore, settings, reporter);
    Configure();
}

void TrainerSending::OnSwap(bool swapped) {
    settings.keyerSwap = swapped ? 1 : 0;
    SaveKeying(*environment.settingsStore, settings, reporter);
    Configure();
}

void TrainerSending::OnNewText() {
    decoder.Restart();
    Poll();
    EndAttempt();
    NewTarget();
    ShowAttempt();
}

void TrainerSending::Poll() {
    KeyingEngine::Transition change;
    while (engine->TakeTransition(change)) {
        keyLit = change.down;
        if (IsIambic()) {
            const double ms = static_cast<double>(change.frame) / kFramesPerMs;
            if (change.down) {
                decoder.KeyDown(ms);
            } else {
                decoder.KeyUp(ms);
            }
        }
    }
    decoder.Idle(KeyingNowMs());
    bool read = false;
    for (const AdaptiveDecoder::Output& out : decoder.TakeOutput()) {
        if (!out.wordSpace && hasTarget) {
            practice.Add(out.character.signIndex, UnixMsOf(out.character.startMs));
            read = true;
        }
    }
    bool keyed = false;
    for (const AdaptiveDecoder::Element& element : decoder.TakeElements()) {
        shownElements.push_back(element);
        if (shownElements.size() > static_cast<size_t>(kShownElements)) {
            shownElements.pop_front();
        }
        keyed = true;
    }
    if (hasTarget && practice.IsComplete()) {
        EndAttempt();
        NewTarget();
        read = true;
    }
    if (sendingWindow) {
        if (read) {
            ShowAttempt();
        }
        if (keyed) {
            ShowRhythm();
        }
        sendingWindow->ShowKey(keyLit);
    }
}

void TrainerSending::NewTarget() {
    const std::string text = material ? material() : SendingPractice::LessonGroups(settings.kochLesson, random);
    practice.Start(text, UnixNowMs());
    hasTarget = true;
}

// Records the attempt when something was read for it: a row per target character reached.
void TrainerSending::EndAttempt() {
    if (!hasTarget || practice.SentCount() == 0) {
        return;
    }
    const std::vector<AnswerRecord> rows = practice.Rows();
    if (environment.history != nullptr) {
        for (const AnswerRecord& row : rows) {
            environment.history->Record(row);
        }
    }
    if (sendingWindow) {
        sendingWindow->ShowScore(practice.Right(), static_cast<int>(rows.size()));
    }
    hasTarget = false;
    if (onRecorded) {
        onRecorded();
    }
}

void TrainerSending::ShowAttempt() {
    if (sendingWindow && hasTarget) {
        sendingWindow->ShowAttempt(practice);
    }
}

void TrainerSending::ShowRhythm() {
    if (sendingWindow) {
        sendingWindow->ShowRhythm({shownElements.begin(), shownElements.end()}, decoder.RecentRhythm(), decoder.Wpm(),
                                  decoder.HasSpeed());
    }
}

double TrainerSending::SteadyNowMs() const {
    if (environment.keyClockMs) {
        return environment.keyClockMs();
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double TrainerSending::KeyingNowMs() const {
    return IsIambic() ? static_cast<double>(engine->RenderedFrames()) / kFramesPerMs : SteadyNowMs();
}

int64_t TrainerSending::UnixNowMs() const {
    if (environment.clockMs) {
        return environment.clockMs();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t TrainerSending::UnixMsOf(double keyingMs) const {
    return UnixNowMs() - static_cast<int64_t>(KeyingNowMs() - keyingMs);
}
