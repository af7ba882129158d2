#pragma once

#include "audio/StereoFrame.h"
#include "band/BandConditions.h"
#include "morse/MorseCode.h"
#include "morse/ToneSpan.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct Settings;

// The tone synthesiser: turns the element sequence of one character into a sine tone at
// 44,100 samples per second, faded out over the last rampSeconds of each Dih and Dah (and,
// with the soft onset on, faded in over its first 5 ms), with silence for each Gap, optional
// noise and a volume. The main window owns one and registers
// ToneCallback with it as the user value.
//
// Threads: ToneCallback runs on the driver's audio thread only. Every other method runs on
// the UI thread (one thread: PlayCode and PlaySilentSlot have a single writer). Initialise
// must finish before the audio thread starts.
class Synthesiser {
public:
    static constexpr int32_t kChannelSamples = 4096; // [samples] per channel buffer
    static constexpr int32_t kFrameCapacity = 2048;  // [frames] in the returned block
    static constexpr int32_t kMaxBlockFrames = 1024; // [frames] cleared and rendered per call at most

    Synthesiser();
    Synthesiser(const Synthesiser&) = delete;
    Synthesiser& operator=(const Synthesiser&) = delete;

    // Allocates the buffers (once) and sets the initial values: rampSeconds 0.01, the default
    // volume of Settings, counter 0, idle, noise off.
    void Initialise();

    // Takes the frequency, the volume, the element lengths and the soft onset of settings.
    void ApplySettings(const Settings& settings);

    // elementSeconds for Gap, Dih and Dah: each length [ms] times 0.001 in single precision.
    void SetElementLengths(int32_t pauseMs, int32_t dihMs, int32_t dahMs);
    // The same in seconds, for lengths that are not whole milliseconds.
    void SetElementSeconds(float pauseSeconds, float dihSeconds, float dahSeconds);
    float ElementSeconds(int32_t code) const; // [s] for Gap, Dih or Dah; 0 for anything else

    // Called on the UI thread after each PlayCode and PlayRun, when the noise is switched on and
    // by SoundMayBegin: the sound driver's WakeForSound, so that a stream paused for silence
    // starts again at once. None by default.
    using SoundListener = void (*)(void* context);
    void SetSoundListener(SoundListener listener, void* context);
    // For a sound that begins outside the walk (the band conditions switched on). UI thread.
    void SoundMayBegin();

    // Restarts the walk on currentCode from its first element; whatever sounds is cut off and
    // the next block that ToneCallback renders begins with the new character.
    void PlayCode();
    // The same restart on currentCode with playing false: the output falls silent at once.
    void PlaySilentSlot();
    // Restarts on a run of tones instead of currentCode: the frames of the run are counted from
    // the first frame of the next block that ToneCallback renders, and each tone sounds on
    // exactly its frames, as a Dih lasting half a frame less than its length would (phase 0 at
    // its first frame, the end fade, the soft onset), with silence around it. The run is over
    // after the end of its last tone. PlayCode and PlaySilentSlot end a run as they end a
    // character. The tones are copied here, on the UI thread; the audio thread never allocates.
    void PlayRun(std::span<const ToneSpan> tones);
    // How far the audio thread has walked the last run published [frames]: 0 before it has
    // rendered any of it; it stays at the end once the run is over. UI thread.
    int64_t RunFrames() const;

    // The sample rate [frames/s], 44,100 unless set: the period and the phase step of each
    // sample. 44,100 keeps the exact constants of the trainer's sound; other rates (for sound
    // files) take 1/rate and 2 pi/rate as floats. Call it while nothing plays.
    void SetSampleRate(int32_t rate);

    void SetFrequency(float hz);
    float Frequency() const; // [Hz]
    void SetVolume(float gain);
    float Volume() const; // 0 to 1; 1 or more plays at 1
    void SetNoise(bool on);
    bool Noise() const;
    // Soft onset, off by default: each Dih and Dah then rises over its first 5 ms along a
    // raised cosine instead of starting at full amplitude, which removes the click of the
    // onset. The end fade is the same either way. Takes effect from the next block; Initialise
    // leaves it as it is.
    void SetSoftOnset(bool on);
    bool SoftOnset() const;
    // True from PlayCode until the walk has reached End (a restart not yet taken by the audio
    // thread counts as done).
    bool IsPlaying() const;

    // The band conditions laid over the tone before the volume and the noise of "Bruit"; off
    // until enabled. Configure and switch it from the UI thread (see BandConditions).
    BandConditions& Band() { return band; }
    const BandConditions& Band() const { return band; }

    // What the audio thread is walking. Call it on the audio thread, or while none runs.
    struct Playback {
        MorseCode codes;
        int32_t elementIndex;
        int32_t sampleCounter;
        bool playing;
    };
    Playback AudioState() const;

    // Renders one block for ToneCallback; frameCount is brought down to kMaxBlockFrames.
    const StereoFrame* Render(int32_t* frameCount);

    // The character to play, written by the UI thread before PlayCode (for example by
    // MorseTable::CodeForChar). The audio thread never reads it.
    MorseCode currentCode;

private:
    void PublishRestart(bool play);
    void TakePendingRestart();
    void WalkSequence(int32_t frameCount, bool softOnsetOn);
    void WalkRun(int32_t frameCount, bool softOnsetOn);
    bool AtEnd() const;
    float ToneSample(int32_t code, bool softOnsetOn) const;
    float ToneSampleAt(int64_t counter, float duration, bool softOnsetOn) const;
    void AddNoise(int32_t frameCount);
    int32_t NextNoiseValue();
    void FillFrames(int32_t frameCount, float gain);

    // Buffers, allocated once by Initialise and written by the audio thread only.
    std::unique_ptr<float[]> leftSamples;  // kChannelSamples samples, first 1024 used
    std::unique_ptr<float[]> rightSamples; // kChannelSamples samples, first 1024 used
    std::unique_ptr<StereoFrame[]> frames; // kFrameCapacity frames

    // Single values written by the UI thread while the audio thread may run: one relaxed store
    // each. The audio thread reads volume and noise once per block, frequency and
    // elementSeconds at every sample (they are changed only while nothing plays), softOnset once
    // per block.
    std::atomic<float> frequency;         // [Hz]
    std::atomic<float> volume;            // gain, ceiling 1.0, no lower bound
    std::atomic<bool> noise;              // add noise to every block
    std::atomic<bool> softOnset;          // raised-cosine rise at the start of each tone
    std::atomic<float> elementSeconds[3]; // [s] of Gap, Dih, Dah
    float rampSeconds;                    // [s] fade at the end of a tone; set before the audio thread
    float samplePeriod;                   // [s] 1/rate; set before the audio thread
    float phaseStep;                      // [rad] 2 pi/rate; set before the audio thread
    int32_t framesPerSecond = 44100;      // [frames/s] the rate; set before the audio thread

    // Restart mailbox: a triple buffer between one writer (the UI thread) and one reader (the
    // audio thread), so that a restart looks indivisible to the walk and neither side waits.
    // Each of the three requests is owned by exactly one party at a time: the UI thread's,
    // the audio thread's, and the one in between whose index `sharedRequest` holds. PlayCode
    // fills the UI thread's request (codes, play flag, version) and swaps it into the middle
    // with one exchange, marked fresh, taking the old middle back as its own. At the start of
    // each block the audio thread, if the middle is fresh, swaps its own request for it with
    // one exchange and resets elementIndex, sampleCounter and playing from it; `sequence` then
    // points at the codes of the request it now owns. The exchanges (acquire-release) hand a
    // request over whole, so the walk sees the old state or the complete newest one, never a
    // mix. Both sides take a fixed number of steps: no lock, no retry, and a reader is never
    // starved however fast restarts come (restarts published between two blocks collapse
    // into the last one).
    struct RestartRequest {
        MorseCode codes;
        bool play;
        uint32_t version;            // counts the restarts published
        bool run = false;            // walk tones instead of codes
        std::vector<ToneSpan> tones; // the run; filled by the UI thread while it owns the request
    };
    static constexpr uint32_t kFresh = 4u;     // flag in sharedRequest: not yet taken
    static constexpr uint32_t kIndexMask = 3u; // request index in sharedRequest
    RestartRequest requests[3];
    std::atomic<uint32_t> sharedRequest{2};    // the request in between, | kFresh
    uint32_t uiRequest = 0;                    // owned by the UI thread
    uint32_t audioRequest = 1;                 // owned by the audio thread
    uint32_t publishedVersion = 0;             // UI thread: version of the last restart published
    SoundListener soundListener = nullptr;     // UI thread
    void* soundListenerContext = nullptr;      // UI thread
    bool publishedPlay = false;                // UI thread: its play flag
    std::atomic<uint32_t> takenVersion{0};     // audio thread: version of the restart it walks
    std::atomic<bool> playingPublished{false}; // audio thread: `playing`, for IsPlaying

    // Walk state, owned by the audio thread.
    const int32_t* sequence = requests[1].codes.codes; // what is walked
    int32_t elementIndex = 0;                          // index in sequence of the element being played
    int32_t sampleCounter = 0;                         // samples produced so far in the current element
    bool playing = false;                              // walking the sequence
    bool runMode = false;                              // walking runTones instead of sequence
    const ToneSpan* runTones = nullptr;                // the run of the request the audio thread owns
    size_t runCount = 0;                               // [tones] in it
    size_t runIndex = 0;                               // the tone sounding or next to sound
    int64_t runFrame = 0;                              // [frames] walked in the run
    std::atomic<int64_t> runFramesPublished{0};        // runFrame after each block, for RunFrames
    uint32_t noiseSeed = 1;                            // the noise generator's state

    BandConditions band; // its own thread rules; skipped while off
};

// The SampleCallback of the synthesiser; userData is the Synthesiser. Delivers *frameCount
// frames, at most Synthesiser::kMaxBlockFrames: a larger request is answered with that many
// and *frameCount says so, as the callback contract allows.
const StereoFrame* ToneCallback(void* userData, int32_t* frameCount);
