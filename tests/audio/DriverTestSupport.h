#pragma once

#include "audio/DriverErrorReporter.h"
#include "audio/StereoFrame.h"
#include "audio/WaveOutDriver.h"
#include "tests/audio/FakeWaveDevice.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A driver whose audio thread is the test itself: Open starts no thread, and the test runs
// Refill by hand between steps of the fake device.
class SteppedDriver : public WaveOutDriver {
public:
    explicit SteppedDriver(std::unique_ptr<WaveDevice> device) : WaveOutDriver(std::move(device)) {}
    bool failThreadStart = false;

protected:
    bool StartAudioThread() override {
        if (failThreadStart) {
            return false;
        }
        SignalAudioThreadEnded(); // nothing runs, so nothing is waited for
        return true;
    }
};

// Produces a numbered stream, or silence when told: frame n (from 0) has left = k / 32768 and right = -k / 32768,
// k = n % 30000 + 1. Times 32767 that is k - k/32768, which truncates to k - 1, so the PCM
// of frame n is left k - 1, right -(k - 1).
struct NumberedSource {
    std::mutex mutex;
    int64_t nextFrame = 0;
    std::vector<int32_t> requests; // the count asked for by each call
    std::vector<int32_t> deliver;  // counts to deliver on the next calls (then all asked)
    bool silent = false;           // deliver zeros, leaving the numbering where it is
    std::vector<std::thread::id> threads;
    void* seenUserData = nullptr;
    StereoFrame frames[32768];

    static const StereoFrame* Callback(void* userData, int32_t* frameCount);
    static uint32_t ExpectedPcm(int64_t frame);
    int64_t Calls();
};

// Records what the driver reports, and the thread each report came from.
class RecordingReporter : public DriverErrorReporter {
public:
    void ReportError(const char* caption, const char* text) override;
    std::vector<std::string> Texts();
    std::vector<std::string> Captions();
    std::vector<std::thread::id> Threads();

private:
    std::mutex mutex;
    std::vector<std::string> texts;
    std::vector<std::string> captions;
    std::vector<std::thread::id> threads;
};

// Like a message box on a UI thread that is busy: an audio-thread report is posted and
// stays open until the test closes it.
class HeldBoxReporter : public DriverErrorReporter {
public:
    void ReportError(const char* caption, const char* text) override;
    void PostError(const char* caption, const char* text, ErrorReportTicket ticket) override;
    bool WaitForPosts(size_t count);
    void CloseAll();
    std::vector<std::string> Texts();

private:
    std::mutex mutex;
    std::condition_variable posted;
    std::vector<std::string> texts;
    std::vector<ErrorReportTicket> open;
    size_t posts = 0;
};
