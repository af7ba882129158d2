// Figures of the sending window's sidetone on the real PortAudio stack, printed, not asserted.
// Run it through tools/sidetone-figures, which puts it in the PulseAudio sandbox. The main
// window's stream runs as in the program (its ring of 8 buffers, its synthesiser) while the
// sidetone's own stream is open beside it:
//   1. latency from a key going down (the engine's input, as the window hands it over) to the
//      first sample of the tone written by the sidetone's callback, that is handed to the device:
//      median and 99th percentile over many presses at random moments (targets 15 and 25 ms);
//   2. the main stream's latency, PlayCode to the first tone sample taken by its callback, with
//      the sidetone open (it keeps its own: median <= 91 ms, p99 <= 103 ms);
//   3. underflows of the main stream (target 0) and gaps in the sidetone's, while a continuous
//      tone plays and the key is worked, with two other processes keeping both cores busy;
//   4. the CPU of the whole process with the sidetone open and idle.
#include "audio/PortAudioDevice.h"
#include "audio/PortAudioSidetoneDevice.h"
#include "audio/WaveOutDriver.h"
#include "keying/KeyingEngine.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

bool WaitFor(const auto& condition, std::chrono::milliseconds timeout) {
    const Clock::time_point end = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(100us);
    }
    return true;
}

void PrintPercentiles(const char* what, std::vector<double> values, int lost, const char* targets) {
    if (values.empty()) {
        std::printf("%s: nothing measured\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        const size_t index = static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
        return values[std::min(index, values.size() - 1)];
    };
    std::printf("%s over %zu: median %.1f ms, p99 %.1f ms, min %.1f ms, max %.1f ms (%s)%s\n", what, values.size(),
                at(0.5), at(0.99), values.front(), values.back(), targets, lost != 0 ? " -- some never sounded" : "");
}

// Presses of the straight key at random moments: key-down to the first non-silent sample.
void SidetoneLatency(KeyingEngine& engine, int presses) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> pause(20000, 120000); // [us] of silence before a press
    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < presses; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        engine.ArmProbe();
        const Clock::time_point pressed = Clock::now();
        engine.Input(KeyInput::Space, true);
        Clock::time_point sounded;
        if (WaitFor([&] { return engine.ProbeTime(&sounded); }, 2000ms)) {
            latencies.push_back(Ms(sounded - pressed));
        } else {
            ++lost;
        }
        std::this_thread::sleep_for(40ms);
        engine.Input(KeyInput::Space, false);
    }
    PrintPercentiles("key-down -> first sidetone sample handed to the device", latencies, lost,
                     "targets: median <= 15 ms, p99 <= 25 ms");
}

void MainLatency(Synthesiser& synth, PortAudioDevice& device, int restarts) {
    MorseTable table;
    table.CodeForChar('E', synth.currentCode);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(0, 100000); // [us]
    std::vector<double> latencies;
    int lost = 0;
    for (int i = 0; i < restarts; ++i) {
        std::this_thread::sleep_for(150ms + std::chrono::microseconds(pause(random)));
        device.ArmToneProbe();
        const Clock::time_point asked = Clock::now();
        synth.PlayCode();
        Clock::time_point taken;
        if (!WaitFor([&] { return device.ToneProbeTime(&taken); }, 2000ms)) {
            ++lost;
            continue;
        }
        latencies.push_back(Ms(taken - asked));
        WaitFor([&] { return !synth.IsPlaying(); }, 2000ms);
    }
    PrintPercentiles("main stream, PlayCode -> first tone sample, sidetone open", latencies, lost,
                     "targets: median <= 91 ms, p99 <= 103 ms");
}

std::vector<pid_t> BusyProcesses(int count) {
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            volatile unsigned long spin = 0;
            for (;;) {
                spin = spin + 1;
            }
        }
        if (child > 0) {
            children.push_back(child);
        }
    }
    return children;
}

// A continuous main tone, and the paddles worked all along: Left Ctrl held (dits at 25 WPM) and
// the straight key tapped in turn.
void UnderLoad(Synthesiser& synth, PortAudioDevice& mainDevice, KeyingEngine& engine, PortAudioSidetoneDevice& sidetone,
               int seconds) {
    MorseTable table;
    synth.SetElementLengths(50, 50, (seconds + 5) * 1000);
    table.CodeForChar('T', synth.currentCode);
    const std::vector<pid_t> busy = BusyProcesses(2);
    synth.PlayCode();
    std::this_thread::sleep_for(500ms);
    const uint64_t mainBefore = mainDevice.GetUnderflowCount();
    const uint64_t hostBefore = mainDevice.GetHostUnderflowCount();
    const uint64_t sidetoneBefore = sidetone.HostUnderflowCount();
    engine.Configure(KeyingMode::IambicA, 25, false);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    KeyingEngine::Transition t;
    uint64_t changes = 0;
    while (Clock::now() < end) {
        engine.Input(KeyInput::LeftControl, true);
        std::this_thread::sleep_for(700ms);
        engine.Input(KeyInput::LeftControl, false);
        std::this_thread::sleep_for(300ms);
        while (engine.TakeTransition(t)) {
            ++changes;
        }
    }
    const uint64_t mainAfter = mainDevice.GetUnderflowCount();
    const uint64_t hostAfter = mainDevice.GetHostUnderflowCount();
    const uint64_t sidetoneAfter = sidetone.HostUnderflowCount();
    const bool playing = synth.IsPlaying();
    for (pid_t child : busy) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    synth.PlaySilentSlot();
    engine.Configure(KeyingMode::Straight, 20, false);
    std::printf("during %d s of continuous main tone and keying, with %zu busy processes:\n", seconds, busy.size());
    std::printf("    main stream underflows: %llu (target 0)%s; gaps in its host output: %llu\n",
                static_cast<unsigned long long>(mainAfter - mainBefore), playing ? "" : " -- the tone ended early",
                static_cast<unsigned long long>(hostAfter - hostBefore));
    std::printf("    sidetone stream: %llu key changes, %llu gaps in its host output\n",
                static_cast<unsigned long long>(changes),
                static_cast<unsigned long long>(sidetoneAfter - sidetoneBefore));
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void IdleCpu(double seconds) {
    const double cpu0 = CpuSeconds();
    const Clock::time_point t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("CPU of the process, main stream idle and sidetone open: %.2f %% of one core over %.1f s\n",
                100.0 * (CpuSeconds() - cpu0) / wall, wall);
}

} // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::atoi(argv[1]) : 300;
    const int restarts = argc > 2 ? std::atoi(argv[2]) : 100;
    const int loadSeconds = argc > 3 ? std::atoi(argv[3]) : 30;
    const double idleSeconds = argc > 4 ? std::atof(argv[4]) : 10.0;

    Synthesiser synth;
    synth.Initialise();
    synth.SetElementLengths(50, 50, 150);
    synth.SetFrequency(700.0f);
    synth.SetVolume(0.5f);
    auto device = std::make_unique<PortAudioDevice>();
    PortAudioDevice* mainDevice = device.get();
    WaveOutDriver driver(std::move(device));
    driver.SetCallback(nullptr, &ToneCallback, &synth);
    driver.Configure(44100, 2048, 8, 10, 0);
    if (!driver.Start()) {
        std::fprintf(stderr, "sidetone-figures: the main stream did not start\n");
        return 1;
    }
    KeyingEngine engine;
    engine.Configure(KeyingMode::Straight, 20, false);
    engine.SetTone(600.0f, 0.5f);
    PortAudioSidetoneDevice sidetone;
    if (!sidetone.Open(0, KeyingEngine::kSampleRate, &KeyingEngine::RenderCallback, &engine)) {
        std::fprintf(stderr, "sidetone-figures: the sidetone stream did not open\n");
        return 1;
    }
    std::printf("sidetone stream: blocks of %lu frames, output latency reported by PortAudio %.1f ms\n",
                PortAudioSidetoneDevice::kCallbackFrames, 1000.0 * sidetone.OutputLatencySeconds());
    std::this_thread::sleep_for(1s);
    const auto underflows = [&] { return static_cast<unsigned long long>(mainDevice->GetUnderflowCount()); };
    const unsigned long long atStart = underflows();
    IdleCpu(idleSeconds);
    const unsigned long long afterIdle = underflows();
    SidetoneLatency(engine, presses);
    const unsigned long long afterPresses = underflows();
    MainLatency(synth, *mainDevice, restarts);
    const unsigned long long afterRestarts = underflows();
    UnderLoad(synth, *mainDevice, engine, sidetone, loadSeconds);
    sidetone.Close();
    driver.Stop();
    std::printf("main stream underflows over the whole run: %llu (start %llu, idle %llu, presses %llu, restarts %llu, "
                "load and stop %llu)\n",
                underflows(), atStart, afterIdle - atStart, afterPresses - afterIdle, afterRestarts - afterPresses,
                underflows() - afterRestarts);
    return 0;
}
