#pragma once

#include "band/BandParameters.h"
#include "band/BandRandom.h"
#include "band/QrmScript.h"
#include "band/QrmStation.h"
#include "band/QrnCrashes.h"
#include "band/QsbFader.h"
#include "band/ReceiverFilter.h"

#include <atomic>
#include <cstdint>

// The band conditions: a stage between the synthesiser's tone and its volume that makes the
// tone sound as it does on the air. Per sample, with every part drawn from one seed:
//
//   out = headroom x (tone x QSB gain + filtered(noise + QRN crashes) + the QRM stations)
//
// - Band noise: white noise through the receiver filter (ReceiverFilter) centred on the tone,
//   at a level where the steady tone's power (amplitude 1: 1/2) over the noise's power within
//   250 Hz of the tone is the signal-to-noise ratio.
// - QSB (QsbFader) fades the wanted tone only.
// - QRN (QrnCrashes): bursts of the same noise, louder, through the same filter.
// - QRM (QrmScript, QrmStation): up to three other stations, each its own tone and keying.
// - headroom = 1 / (1 + the QRM levels + 3 x the noise's RMS), so that the mix keeps below full
//   scale nearly always, as a receiver's gain control would keep it; the crashes may clip.
//
// The same seed, parameters and blocks give the same samples. The stage keeps its running
// state (the noise, the fades, where each station is in its text) across new parameters with
// the same seed and sample rate, and starts it again from the seed otherwise.
//
// Threads: Configure, SetEnabled and Enabled run on the UI thread (one writer); Process runs on
// the audio thread only. The parameters cross as the synthesiser's restarts do: through a
// triple buffer of three preallocated programs, handed over whole with one exchange, so that
// the audio thread sees the old program or the whole new one, never waits, never allocates
// and never frees.
class BandConditions {
public:
    static constexpr int32_t kDefaultSampleRate = 44100; // [frames/s]

    BandConditions() = default;
    BandConditions(const BandConditions&) = delete;
    BandConditions& operator=(const BandConditions&) = delete;

    // UI thread. Builds the program for these parameters (the stations' texts, the filter) and
    // hands it to the audio thread, which takes it at its next block.
    void Configure(const BandParameters& parameters, uint64_t seed, int32_t sampleRate = kDefaultSampleRate);
    // Switches the stage on or off from the next block (one store). Off, the synthesiser skips
    // it entirely and its output is the same, sample for sample, as without the stage.
    void SetEnabled(bool on);
    bool Enabled() const;

    // Audio thread: lays the conditions over count mono samples of the tone, in place.
    // toneHz is the tone's frequency, on which the filter and the stations are tuned.
    // Real-time: no allocation, no lock, no I/O.
    void Process(float* samples, int32_t count, float toneHz);

    // The mix's gain for these parameters (see above), with the receiver filter of design.
    static double HeadroomGain(const BandParameters& parameters, const QrmScript* scripts,
                               const ReceiverFilter::Design& design);

private:
    // Everything the audio thread needs, prepared on the UI thread.
    struct Program {
        uint64_t seed = 0;
        int32_t sampleRate = 0; // 0: never configured, the stage passes the tone through
        ReceiverFilter::Design design;
        double noiseScale = 0.0; // times a white sample in [-1, 1), before the filter
        double crashScale = 0.0; // times a crash's envelope, the same
        double qsbFloor = 1.0;
        double qsbPeriodFrames = 0.0;
        double qrnPerFrame = 0.0;
        int32_t stationCount = 0;
        double headroom = 1.0;
        QrmScript scripts[BandParameters::kMaxStations];
    };

    void TakeProgram();
    void Restart(const Program& program);

    // Triple buffer, as in Synthesiser: each program is owned by the UI thread, the audio thread
    // or neither (the one whose index `sharedProgram` holds, marked fresh until taken).
    static constexpr uint32_t kFresh = 4u;
    static constexpr uint32_t kIndexMask = 3u;
    Program programs[3];
    std::atomic<uint32_t> sharedProgram{2};
    uint32_t uiProgram = 0;    // owned by the UI thread
    uint32_t audioProgram = 1; // owned by the audio thread
    std::atomic<bool> enabled{false};

    // UI thread: the last filter design and scripts, kept while the seed and rate stay.
    ReceiverFilter::Design uiDesign;
    uint64_t uiScriptSeed = 0;
    QrmScript uiScripts[BandParameters::kMaxStations];

    // Audio thread: the running state.
    bool running = false; // a program has been started
    uint64_t runningSeed = 0;
    int32_t runningRate = 0;
    BandRandom random;
    ReceiverFilter filter;
    QsbFader qsb;
    QrnCrashes crashes;
    QrmStation stations[BandParameters::kMaxStations];
};
