// Figures of the sound driver on the real PortAudio stack, printed, not asserted. Run it
// through tools/driver-figures, which puts it in the PulseAudio sandbox. The driver pauses the
// stream after 3 s of silence and the synthesiser wakes it, as in the trainer:
//   1. CPU used by the whole process (all its threads) over 20 s of idling once the stream has
//      paused (% of one core), and by each of its threads, with the thread's context switches
//      per second;
//   2. latency from PlayCode to the first tone sample taken by the PortAudio callback,
//      median and 99th percentile over 200 restarts at random moments of a running stream;
//   3. the same for the first sound after idle: 100 characters, each played at a random moment
//      0 to 2 s after the stream has paused, with the underflows they cause;
//   4. underflows during 60 s of continuous tone while two other processes keep both
//      cores busy.
// A fourth argument "band" lays the band conditions over the tone all the while, with all four
// effects on (0 dB, QSB 70 % over 5 s, 3 stations, 30 crashes a minute).
#include "audio/PortAudioDevice.h"
#include "audio/WaveOutDriver.h"
#include "bench/AllFourEffects.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct ThreadFigures {
    std::string name;
    double onCpuS = 0;   // [s] time on a CPU
    double switches = 0; // context switches, voluntary (each a sleep ended by a wake-up) and not
};

// Figures of each thread of the process, by thread id.
std::map<std::string, ThreadFigures> ThreadCpu() {
    std::map<std::string, ThreadFigures> threads;
    DIR* dir = opendir("/proc/self/task");
    if (dir == nullptr) {
        return threads;
    }
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string base = std::string("/proc/self/task/") + entry->d_name;
        ThreadFigures figures;
        std::ifstream schedstat(base + "/schedstat"); // first field: time on a CPU [ns]
        double onCpuNs = 0;
        schedstat >> onCpuNs;
        figures.onCpuS = onCpuNs * 1e-9;
        std::ifstream commFile(base + "/comm");
        std::getline(commFile, figures.name);
        std::ifstream status(base + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.find("ctxt_switches:") != std::string::npos) {
                figures.switches += std::atof(line.substr(line.find(':') + 1).c_str());
            }
        }
        threads[entry->d_name] = figures;
    }
    closedir(dir);
    return threads;
}

// The load of the whole machine: run-queue averages over 1, 5 and 15 minutes.
std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void IdleCpu(double seconds) {
    std::this_thread::sleep_for(100ms); // the pause itself ends
    const auto threads0 = ThreadCpu();
    const double cpu0 = CpuSeconds();
    const Clock::time_point t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double cpu = CpuSeconds() - cpu0;
    const double wall = Seconds(Clock::now() - t0);
    const auto threads1 = ThreadCpu();
    std::printf("idle CPU, stream paused: %.3f %% of one core over %.1f s, all threads (target <= 0.1 %%; machine "
                "load %s)\n",
                100.0 * cpu / wall, wall, LoadAverage().c_str());
    for (const auto& [tid, thread] : threads1) {
        const auto before = threads0.find(tid);
        const bool known = before != threads0.end();
        const double used = thread.onCpuS - (known ? before->second.onCpuS : 0.0);
        const double switches = thread.switches - (known ? before->second.switches : 0.0);
        std::printf("    thread %-16s %5.2f %%  %6.1f switches/s\n", thread.name.c_str(), 100.0 * used / wall,
                    switches / wall);
    }
}

bool WaitFor(const auto& condition, std::chrono::milliseconds timeout) {
    const Clock::time_point end = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(200us);
    }
    return true;
}

// Before each restart: long enough for the last tone to leave the ring, then a random moment;
// or, after idle, until the stream has paused, then a random moment up to 2 s later.
void Latency(Synthesiser& synth, PortAudioDevice& device, const WaveOutDriver& driver, int restarts, bool afterIdle) {
    MorseTable table;
    table.CodeForChar('E', synth.currentCode);
    std::mt19937 random(afterIdle ? 20261208 : 20261207);
    std::uniform_int_distribution<int> pause(0, afterIdle ? 2000000 : 100000); // [us]
    std::vector<double> latencies;
    int lost = 0;
    int notPaused = 0;
    const uint64_t underflows = device.GetUnderflowCount();
    const uint64_t hostUnderflows = device.GetHostUnderflowCount();
    for (int i = 0; i < restarts; ++i) {
        if (afterIdle) {
            notPaused += WaitFor([&] { return driver.IsPausedForSilence(); }, 10000ms) ? 0 : 1;
            std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        } else {
            std::this_thread::sleep_for(150ms + std::chrono::microseconds(pause(random)));
        }
        device.ArmToneProbe();
        const Clock::time_point asked = Clock::now();
        synth.PlayCode();
        Clock::time_point taken;
        if (!WaitFor([&] { return device.ToneProbeTime(&taken); }, 2000ms)) {
            ++lost;
            continue;
        }
        latencies.push_back(1000.0 * Seconds(taken - asked));
        WaitFor([&] { return !synth.IsPlaying(); }, 2000ms);
    }
    std::sort(latencies.begin(), latencies.end());
    if (latencies.empty()) {
        std::printf("latency: no tone seen in %d restarts\n", restarts);
        return;
    }
    const auto at = [&](double q) {
        const size_t index = static_cast<size_t>(q * static_cast<double>(latencies.size() - 1) + 0.5);
        return latencies[std::min(index, latencies.size() - 1)];
    };
    std::printf("%s PlayCode -> first tone sample in the callback over %zu restarts: median %.1f ms, p99 %.1f ms, "
                "min %.1f ms, max %.1f ms (targets: median <= 91 ms, p99 <= 103 ms)%s\n",
                afterIdle ? "first sound after idle:" : "running stream:", latencies.size(), at(0.5), at(0.99),
                latencies.front(), latencies.back(), lost != 0 ? " -- some restarts never sounded" : "");
    if (afterIdle) {
        std::this_thread::sleep_for(500ms); // the last character plays out
        std::printf("    underflows during them: %llu (target 0), gaps in the host's output: %llu%s\n",
                    static_cast<unsigned long long>(device.GetUnderflowCount() - underflows),
                    static_cast<unsigned long long>(device.GetHostUnderflowCount() - hostUnderflows),
                    notPaused != 0 ? " -- the stream did not always pause" : "");
    }
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

// Plays one dah of toneSeconds [s] (a T), longer than the measure that follows, and returns
// once it has sounded for 500 ms.
void StartLongTone(Synthesiser& synth, int toneSeconds) {
    MorseTable table;
    synth.SetElementLengths(50, 50, toneSeconds * 1000);
    table.CodeForChar('T', synth.currentCode);
    synth.PlayCode();
    std::this_thread::sleep_for(500ms);
}

void UnderflowsUnderLoad(Synthesiser& synth, PortAudioDevice& device, int seconds) {
    const std::vector<pid_t> busy = BusyProcesses(2);
    StartLongTone(synth, seconds + 5);
    const uint64_t before = device.GetUnderflowCount();
    const uint64_t hostBefore = device.GetHostUnderflowCount();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const uint64_t after = device.GetUnderflowCount();
    const uint64_t hostAfter = device.GetHostUnderflowCount();
    const bool playing = synth.IsPlaying();
    for (pid_t child : busy) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    synth.PlaySilentSlot();
    std::printf("underflows during %d s of continuous tone with %zu busy processes: %llu (target 0)%s\n", seconds,
                busy.size(), static_cast<unsigned long long>(after - before),
                playing ? "" : " -- the tone ended early");
    std::printf("    and gaps in the host's output (PortAudio's output underflow flag): %llu\n",
                static_cast<unsigned long long>(hostAfter - hostBefore));
}

// The sound server held up (stopped, as a loaded machine may hold it) for stallMs at a time,
// every 1.5 s of a continuous tone: once it runs again it asks at once for what it missed, more
// than the ring holds, and the ring must be refilled as fast as it is taken.
void UnderflowsAfterServerStalls(Synthesiser& synth, PortAudioDevice& device, int stalls, int stallMs) {
    const char* pidText = std::getenv("ZELBIN_PULSE_PID");
    if (pidText == nullptr || stalls <= 0) {
        return;
    }
    const auto server = static_cast<pid_t>(std::atoi(pidText));
    StartLongTone(synth, stalls * 2 + 5);
    const uint64_t before = device.GetUnderflowCount();
    for (int i = 0; i < stalls; ++i) {
        kill(server, SIGSTOP);
        std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
        kill(server, SIGCONT);
        std::this_thread::sleep_for(1500ms);
    }
    const uint64_t after = device.GetUnderflowCount();
    synth.PlaySilentSlot();
    std::printf("underflows after %d stalls of the sound server, %d ms each: %llu (target 0)\n", stalls, stallMs,
                static_cast<unsigned long long>(after - before));
}

} // namespace

int main(int argc, char** argv) {
    const double idleSeconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const int restarts = argc > 2 ? std::atoi(argv[2]) : 200;
    const int loadSeconds = argc > 3 ? std::atoi(argv[3]) : 60;
    const int idleRestarts = argc > 4 ? std::atoi(argv[4]) : 100;
    constexpr int32_t kIdlePauseMs = 3000; // [ms] as the trainer's driver
    const bool band = argc > 5 && std::string(argv[5]) == "band";
    const int stalls = argc > 6 ? std::atoi(argv[6]) : 20;

    Synthesiser synth;
    synth.Initialise();
    synth.SetElementLengths(50, 50, 150);
    synth.SetFrequency(700.0f);
    synth.SetVolume(0.5f);
    if (band) {
        synth.Band().Configure(AllFourEffects(), 1);
        synth.Band().SetEnabled(true);
        std::printf("band conditions on: 0 dB, QSB 70 %% over 5 s, 3 stations, 30 crashes a minute\n");
    }
    auto device = std::make_unique<PortAudioDevice>();
    PortAudioDevice* portAudio = device.get();
    WaveOutDriver driver(std::move(device));
    driver.SetCallback(nullptr, &ToneCallback, &synth);
    driver.Configure(44100, 2048, 8, 10, 0);
    driver.SetIdlePause(kIdlePauseMs);
    synth.SetSoundListener([](void* context) { static_cast<WaveOutDriver*>(context)->WakeForSound(); }, &driver);
    if (!driver.Start()) {
        std::fprintf(stderr, "driver-figures: the driver did not start\n");
        return 1;
    }
    const auto underflows = [&] { return static_cast<unsigned long long>(portAudio->GetUnderflowCount()); };
    if (!WaitFor([&] { return driver.IsPausedForSilence(); }, std::chrono::milliseconds(kIdlePauseMs + 5000))) {
        std::printf("the stream did not pause after %d ms of silence\n", kIdlePauseMs);
    }
    IdleCpu(idleSeconds);
    Latency(synth, *portAudio, driver, idleRestarts, true);
    const unsigned long long afterIdle = underflows();
    Latency(synth, *portAudio, driver, restarts, false);
    const unsigned long long afterRestarts = underflows();
    UnderflowsUnderLoad(synth, *portAudio, loadSeconds);
    for (const int stallMs : {150, 250, 400}) {
        UnderflowsAfterServerStalls(synth, *portAudio, stalls, stallMs);
    }
    driver.Stop();
    std::printf("underflows over the whole run: %llu (start, idle and restarts after idle %llu, restarts %llu, load "
                "and stop %llu)\n",
                underflows(), afterIdle, afterRestarts - afterIdle, underflows() - afterRestarts);
    return 0;
}
