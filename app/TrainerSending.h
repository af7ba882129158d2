#pragma once

#include "keying/AdaptiveDecoder.h"
#include "keying/KeyingMode.h"
#include "practice/SendingPractice.h"

#include <QPointer>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>

class KeyingEngine;
class QTimer;
class QWidget;
class SendingWindow;
class SettingsReporter;
class SidetoneDevice;
struct Settings;
struct TrainerEnvironment;

// The main window's sending practice: the window "Manipulation" (made on first use), the key and
// its sidetone on a low-latency stream of their own while that window is open, the decoder that
// reads the keying back, the attempt on a target text and its history rows.
//
// The straight key is timed by the moments its keys reach the window; the keyer's elements by
// their frames on the sidetone's stream, where they are placed. Either way every 10 ms the
// decoder is told of the key's changes and of the time, and what it read goes to the attempt,
// which ends once the target's last character is reached (or the learner asks for a new text,
// or closes the window, with something sent): its rows are recorded (mode 'send') and a new
// target is drawn.
//
// Everything here runs on the UI thread; the stream's thread only renders the KeyingEngine.
class TrainerSending {
public:
    static constexpr const char* kSendingItem = "Manipulation...";
    static constexpr int32_t kPollMs = 10; // [ms] between two looks at the key and the decoder
    static constexpr int32_t kShownElements = 40;

    // window: parent of the sending window. settings: the keyer's values are read and changed
    // here, and saved (failures reported to reporter); the frequency and volume are the tone's.
    // deviceId: the output device of the main window's stream, which the sidetone shares.
    // onRecorded: after answers were handed to the history.
    TrainerSending(QWidget& window, const TrainerEnvironment& environment, Settings& settings,
                   SettingsReporter& reporter, std::function<int32_t()> deviceId, std::function<void()> onRecorded);
    ~TrainerSending();
    TrainerSending(const TrainerSending&) = delete;
    TrainerSending& operator=(const TrainerSending&) = delete;

    // Shows the sending window, made on first use, and brings it to the front.
    void OpenWindow();
    // Closes it, as its close box does: the attempt so far is recorded and the stream closed.
    void CloseWindow();
    // The tone's frequency and volume changed in the settings.
    void ApplyTone();
    // The main window's output device changed: an open stream moves to it.
    void DeviceChanged();

    // Where the next targets come from: a text of signs by name, words separated by spaces.
    // Groups of the current Koch lesson's characters when none is set (the copy practice's
    // material can be plugged in here).
    void SetMaterial(std::function<std::string()> material);

    // One look at the key and the decoder, as the timer takes every kPollMs.
    void Poll();

    SendingWindow* Window() const;
    const SendingPractice& Practice() const { return practice; }
    const AdaptiveDecoder& Decoder() const { return decoder; }
    KeyingEngine& Engine() { return *engine; }
    bool IsStreamOpen() const;

private:
    void MakeWindow();
    void OnOpened();
    void OnClosed();
    void OnKeyInput(KeyInput input, bool down);
    void OnMode(int mode);
    void OnWpm(int wpm);
    void OnSwap(bool swapped);
    void OnNewText();
    void OpenStream();
    void CloseStream();
    void Configure();
    void NewTarget();
    void EndAttempt();
    void ShowAttempt();
    void ShowRhythm();
    KeyingMode Mode() const;
    bool IsIambic() const { return Mode() != KeyingMode::Straight; }
    double SteadyNowMs() const;
    double KeyingNowMs() const; // [ms] on the clock the decoder is fed with in this mode
    int64_t UnixNowMs() const;
    int64_t UnixMsOf(double keyingMs) const;

    QWidget& window;
    const TrainerEnvironment& environment;
    Settings& settings;
    SettingsReporter& reporter;
    std::function<int32_t()> deviceId;
    std::function<void()> onRecorded;
    std::function<std::string()> material;
    std::mt19937 random;

    std::unique_ptr<KeyingEngine> engine;
    std::unique_ptr<SidetoneDevice> device; // open while the window is, after the engine
    AdaptiveDecoder decoder;
    SendingPractice practice;
    bool hasTarget = false;
    uint32_t straightInputs = 0; // inputs holding the straight key down, one bit per KeyInput
    bool keyLit = false;
    std::deque<AdaptiveDecoder::Element> shownElements;
    QPointer<QTimer> pollTimer;
    QPointer<SendingWindow> sendingWindow;
};
