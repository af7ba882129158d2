#include "band/BandConditions.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSecondsPerMinute = 60.0;
constexpr double kTonePower = 0.5;  // of a sine of amplitude 1
constexpr double kNoisePeaks = 3.0; // RMS of the noise the headroom leaves room for
constexpr uint64_t kStageStream = 0;
} // namespace

// ---- UI thread ----

double BandConditions::HeadroomGain(const BandParameters& parameters, const QrmScript* scripts,
                                    const ReceiverFilter::Design& design) {
    double peak = 1.0;
    const int32_t stations = std::clamp(parameters.qrmStations, 0, BandParameters::kMaxStations);
    for (int32_t k = 0; k < stations; ++k) {
        peak += scripts[k].level;
    }
    if (parameters.noise && design.bandShare > 0.0) {
        const double bandPower = kTonePower * std::pow(10.0, -static_cast<double>(parameters.snrDb) / 10.0);
        peak += kNoisePeaks * std::sqrt(bandPower / design.bandShare);
    }
    return 1.0 / peak;
}

void BandConditions::Configure(const BandParameters& parameters, uint64_t seed, int32_t sampleRate) {
    if (uiDesign.sampleRate != sampleRate) {
        uiDesign = ReceiverFilter::DesignFor(sampleRate);
        uiScripts[0].runs.clear(); // built again below for the new rate
    }
    if (uiScriptSeed != seed || uiScripts[0].runs.empty()) {
        for (int32_t k = 0; k < BandParameters::kMaxStations; ++k) {
            uiScripts[k] = QrmScript::Build(seed, k, sampleRate);
        }
        uiScriptSeed = seed;
    }
    Program& program = programs[uiProgram];
    program.seed = seed;
    program.sampleRate = sampleRate;
    program.design = uiDesign;
    // The white input in [-1, 1) has a power of 1/3; through the low-pass it keeps
    // impulseEnergy of it, a share bandShare of which lies within 250 Hz of the tone.
    const double unitScale = std::sqrt(3.0 / uiDesign.impulseEnergy); // for an output RMS of 1
    const double bandPower =
        parameters.noise ? kTonePower * std::pow(10.0, -static_cast<double>(parameters.snrDb) / 10.0) : 0.0;
    program.noiseScale = std::sqrt(bandPower / uiDesign.bandShare) * unitScale;
    program.crashScale = unitScale;
    program.qsbFloor = 1.0 - std::clamp(static_cast<double>(parameters.qsbDepth), 0.0, 1.0);
    program.qsbPeriodFrames = std::max(static_cast<double>(parameters.qsbPeriodS), 0.0) * sampleRate;
    program.qrnPerFrame = std::max(static_cast<double>(parameters.qrnPerMinute), 0.0) / kSecondsPerMinute / sampleRate;
    program.stationCount = std::clamp(parameters.qrmStations, 0, BandParameters::kMaxStations);
    program.headroom = HeadroomGain(parameters, uiScripts, uiDesign);
    for (int32_t k = 0; k < BandParameters::kMaxStations; ++k) {
        program.scripts[k] = uiScripts[k]; // the vectors keep their storage where it suffices
    }
    uiProgram = sharedProgram.exchange(uiProgram | kFresh, std::memory_order_acq_rel) & kIndexMask;
}

void BandConditions::SetEnabled(bool on) {
    enabled.store(on, std::memory_order_relaxed);
}

bool BandConditions::Enabled() const {
    return enabled.load(std::memory_order_relaxed);
}

// ---- Audio thread: no allocation, no lock, no I/O ----

void BandConditions::TakeProgram() {
    if ((sharedProgram.load(std::memory_order_relaxed) & kFresh) == 0) {
        return;
    }
    audioProgram = sharedProgram.exchange(audioProgram, std::memory_order_acq_rel) & kIndexMask;
}

void BandConditions::Restart(const Program& program) {
    random.Seed(program.seed, kStageStream);
    filter.Reset(program.design);
    qsb.Reset();
    crashes.Reset();
    for (QrmStation& station : stations) {
        station.Reset();
    }
    running = true;
    runningSeed = program.seed;
    runningRate = program.sampleRate;
}

void BandConditions::Process(float* samples, int32_t count, float toneHz) {
    TakeProgram();
    const Program& program = programs[audioProgram];
    if (program.sampleRate == 0) {
        return;
    }
    if (!running || program.seed != runningSeed || program.sampleRate != runningRate) {
        Restart(program);
    }
    const double tone = toneHz;
    filter.SetToneHz(tone);
    const bool fading = program.qsbFloor < 1.0;
    const bool crashing = program.qrnPerFrame > 0.0;
    const bool filtered = program.noiseScale > 0.0 || crashing;
    for (int32_t i = 0; i < count; ++i) {
        double mix = samples[i];
        if (fading) {
            mix *= qsb.Next(random, program.qsbFloor, program.qsbPeriodFrames);
        }
        if (filtered) {
            const double crash = crashing ? crashes.Next(random, program.qrnPerFrame, program.sampleRate) : 0.0;
            const double scale = program.noiseScale + crash * program.crashScale;
            const double inPhase = random.Signed();
            const double quadrature = random.Signed();
            mix += filter.Next(inPhase * scale, quadrature * scale);
        }
        for (int32_t k = 0; k < program.stationCount; ++k) {
            mix += stations[k].Next(program.scripts[k], tone, program.sampleRate);
        }
        samples[i] = static_cast<float>(mix * program.headroom);
    }
}
