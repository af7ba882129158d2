#pragma once

#include "audio/StereoFrame.h"
#include "morse/MorseCode.h"

#include <atomic>
#include <cstdint>
#include <memory>

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

    // Called on the UI thread after each PlayCode and when the noise is switched on: the sound
    // driver's WakeForSound, so that a stream paused for silence starts again at once. None by
    // default.
    using SoundListener = void (*)(void* context);
    void SetSoundListener(SoundListener listener, void* context);

    // Restarts the walk on currentCode from its first element; whatever sounds is cut off and
    // the next block that ToneCallback renders begins with the new character.
    void PlayCode();
    // The same restart on currentCode with playing false: the output falls silent at once.
    void PlaySilentSlot();

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
    bool AtEnd() const;
    float ToneSample(int32_t code, bool softOnsetOn) const;
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
        uint32_t version; // counts the restarts published
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
    uint32_t noiseSeed = 1;                            // the noise generator's state
};

// The SampleCallback of the synthesiser; userData is the Synthesiser. Delivers *frameCount
// frames, at most Synthesiser::kMaxBlockFrames: a larger request is answered with that many
// and *frameCount says so, as the callback contract allows.
const StereoFrame* ToneCallback(void* userData, int32_t* frameCount);
