#include "morse/Synthesiser.h"

#include "settings/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kDefaultSampleRate = 44100;     // [frames/s]
constexpr float kSamplePeriod = 2.267573655e-05f; // [s] 1/44100 as the nearest float
// [rad] 2*pi/44100 as a float, one unit in the last place above the nearest float.
constexpr float kPhaseStep = 1.424758666e-04f;
constexpr float kRampSeconds = 0.01f; // [s] fade at the end of every tone element
// Until the settings are loaded the synthesiser plays with their defaults.
constexpr Settings kInitialSettings{};
constexpr float kMsToSeconds = 0.001f;
constexpr float kOnsetSeconds = 0.005f; // [s] raised-cosine rise of a tone with the soft onset on
constexpr double kPi = 3.14159265358979323846;
constexpr float kNoiseStep = 0.01f; // noise value r (0..99) times this, in single precision,
constexpr double kNoiseScale = 0.1; // then times this in double: 0 to 0.099
constexpr int32_t kNoiseModulus = 100;

MorseCode AllEnd() {
    MorseCode code;
    std::fill(std::begin(code.codes), std::end(code.codes), static_cast<int32_t>(End));
    return code;
}

} // namespace

Synthesiser::Synthesiser()
    : currentCode(AllEnd()), frequency(kInitialSettings.frequency), volume(kInitialSettings.volume), noise(false),
      softOnset(kInitialSettings.softOnset == Settings::kSoftOnsetOn), rampSeconds(kRampSeconds),
      samplePeriod(kSamplePeriod), phaseStep(kPhaseStep) {
    for (RestartRequest& request : requests) {
        request = {AllEnd(), false, 0, false, {}};
    }
    SetElementLengths(kInitialSettings.pauseMs, kInitialSettings.dihMs, kInitialSettings.dahMs);
}

void Synthesiser::Initialise() {
    if (!frames) {
        leftSamples = std::make_unique<float[]>(kChannelSamples);
        rightSamples = std::make_unique<float[]>(kChannelSamples);
        frames = std::make_unique<StereoFrame[]>(kFrameCapacity);
    }
    std::fill_n(leftSamples.get(), kChannelSamples, 0.0f);
    std::fill_n(rightSamples.get(), kChannelSamples, 0.0f);
    rampSeconds = kRampSeconds;
    volume.store(kInitialSettings.volume, std::memory_order_relaxed);
    sampleCounter = 0;
    playing = false;
    playingPublished.store(false, std::memory_order_relaxed);
    noise.store(false, std::memory_order_relaxed);
}

void Synthesiser::ApplySettings(const Settings& settings) {
    SetFrequency(settings.frequency);
    SetVolume(settings.volume);
    SetElementLengths(settings.pauseMs, settings.dihMs, settings.dahMs);
    SetSoftOnset(settings.softOnset == Settings::kSoftOnsetOn);
}

void Synthesiser::SetElementLengths(int32_t pauseMs, int32_t dihMs, int32_t dahMs) {
    elementSeconds[Gap].store(static_cast<float>(pauseMs) * kMsToSeconds, std::memory_order_relaxed);
    elementSeconds[Dih].store(static_cast<float>(dihMs) * kMsToSeconds, std::memory_order_relaxed);
    elementSeconds[Dah].store(static_cast<float>(dahMs) * kMsToSeconds, std::memory_order_relaxed);
}

void Synthesiser::SetElementSeconds(float pauseSeconds, float dihSeconds, float dahSeconds) {
    elementSeconds[Gap].store(pauseSeconds, std::memory_order_relaxed);
    elementSeconds[Dih].store(dihSeconds, std::memory_order_relaxed);
    elementSeconds[Dah].store(dahSeconds, std::memory_order_relaxed);
}

float Synthesiser::ElementSeconds(int32_t code) const {
    if (code < Gap || code > Dah) {
        return 0.0f;
    }
    return elementSeconds[code].load(std::memory_order_relaxed);
}

void Synthesiser::SetSampleRate(int32_t rate) {
    framesPerSecond = rate;
    if (rate == kDefaultSampleRate) {
        samplePeriod = kSamplePeriod;
        phaseStep = kPhaseStep;
    } else {
        samplePeriod = static_cast<float>(1.0 / rate);
        phaseStep = static_cast<float>(2.0 * kPi / rate);
    }
}

void Synthesiser::SetFrequency(float hz) {
    frequency.store(hz, std::memory_order_relaxed);
}
float Synthesiser::Frequency() const {
    return frequency.load(std::memory_order_relaxed);
}
void Synthesiser::SetVolume(float gain) {
    volume.store(gain, std::memory_order_relaxed);
}
float Synthesiser::Volume() const {
    return volume.load(std::memory_order_relaxed);
}
void Synthesiser::SetNoise(bool on) {
    noise.store(on, std::memory_order_relaxed);
    if (on) {
        SoundMayBegin();
    }
}
bool Synthesiser::Noise() const {
    return noise.load(std::memory_order_relaxed);
}
void Synthesiser::SetSoftOnset(bool on) {
    softOnset.store(on, std::memory_order_relaxed);
}
bool Synthesiser::SoftOnset() const {
    return softOnset.load(std::memory_order_relaxed);
}

// ---- Restart mailbox (see the comment at its fields) ----

void Synthesiser::SetSoundListener(SoundListener listener, void* context) {
    soundListener = listener;
    soundListenerContext = context;
}

void Synthesiser::SoundMayBegin() {
    if (soundListener != nullptr) {
        soundListener(soundListenerContext);
    }
}

void Synthesiser::PlayCode() {
    PublishRestart(true);
    SoundMayBegin();
}

void Synthesiser::PlaySilentSlot() {
    PublishRestart(false);
}

void Synthesiser::PlayRun(std::span<const ToneSpan> tones) {
    RestartRequest& request = requests[uiRequest];
    request.tones.assign(tones.begin(), tones.end());
    request.run = true;
    request.play = true;
    request.version = ++publishedVersion;
    publishedPlay = true;
    uiRequest = sharedRequest.exchange(uiRequest | kFresh, std::memory_order_acq_rel) & kIndexMask;
    SoundMayBegin();
}

int64_t Synthesiser::RunFrames() const {
    // A run published but not yet taken has not begun.
    if (takenVersion.load(std::memory_order_acquire) != publishedVersion) {
        return 0;
    }
    return runFramesPublished.load(std::memory_order_relaxed);
}

void Synthesiser::PublishRestart(bool play) {
    RestartRequest& request = requests[uiRequest];
    request.codes = currentCode;
    request.run = false;
    request.play = play;
    request.version = ++publishedVersion;
    publishedPlay = play;
    uiRequest = sharedRequest.exchange(uiRequest | kFresh, std::memory_order_acq_rel) & kIndexMask;
}

bool Synthesiser::IsPlaying() const {
    // The audio thread stores playingPublished before takenVersion, so once the latest
    // restart is taken, its play flag or what the walk made of it is visible here.
    if (takenVersion.load(std::memory_order_acquire) != publishedVersion) {
        return publishedPlay;
    }
    return playingPublished.load(std::memory_order_relaxed);
}

void Synthesiser::TakePendingRestart() {
    if ((sharedRequest.load(std::memory_order_relaxed) & kFresh) == 0) {
        return;
    }
    audioRequest = sharedRequest.exchange(audioRequest, std::memory_order_acq_rel) & kIndexMask;
    const RestartRequest& request = requests[audioRequest];
    sequence = request.codes.codes;
    elementIndex = 0;
    sampleCounter = 0;
    runMode = request.run;
    runTones = request.tones.data();
    runCount = request.run ? request.tones.size() : 0;
    runIndex = 0;
    runFrame = 0;
    runFramesPublished.store(0, std::memory_order_relaxed);
    playing = request.play;
    playingPublished.store(playing, std::memory_order_relaxed);
    takenVersion.store(request.version, std::memory_order_release);
}

Synthesiser::Playback Synthesiser::AudioState() const {
    Playback state;
    std::copy(sequence, sequence + MorseCode::kLength, state.codes.codes);
    state.elementIndex = elementIndex;
    state.sampleCounter = sampleCounter;
    state.playing = playing;
    return state;
}

// ---- Rendering, audio thread: no allocation, no lock, no I/O ----

const StereoFrame* Synthesiser::Render(int32_t* frameCount) {
    if (*frameCount > kMaxBlockFrames) {
        *frameCount = kMaxBlockFrames;
    }
    const int32_t count = std::max(*frameCount, 0);
    TakePendingRestart();
    float gain = volume.load(std::memory_order_relaxed);
    if (gain >= 1.0f) {
        gain = 1.0f;
    }
    std::fill_n(leftSamples.get(), kMaxBlockFrames, 0.0f);
    std::fill_n(rightSamples.get(), kMaxBlockFrames, 0.0f);
    if (playing && runMode) {
        WalkRun(count, softOnset.load(std::memory_order_relaxed));
        runFramesPublished.store(runFrame, std::memory_order_relaxed);
    } else if (playing) {
        WalkSequence(count, softOnset.load(std::memory_order_relaxed));
    }
    if (band.Enabled()) {
        band.Process(leftSamples.get(), count, frequency.load(std::memory_order_relaxed));
        std::copy_n(leftSamples.get(), count, rightSamples.get());
    }
    if (noise.load(std::memory_order_relaxed)) {
        AddNoise(count);
    }
    FillFrames(count, gain);
    playingPublished.store(playing, std::memory_order_relaxed);
    return frames.get();
}

// End of the walk: the End code, a code that has no duration, or past the last slot.
bool Synthesiser::AtEnd() const {
    if (elementIndex >= MorseCode::kLength) {
        return true;
    }
    const int32_t code = sequence[elementIndex];
    return code < Gap || code > Dah;
}

// One silent sample at every element boundary: the sample at which an element is found
// over is not rendered and its counter not advanced.
void Synthesiser::WalkSequence(int32_t frameCount, bool softOnsetOn) {
    for (int32_t i = 0; i < frameCount; ++i) {
        if (AtEnd()) {
            playing = false;
            return;
        }
        const int32_t code = sequence[elementIndex];
        const double t = static_cast<double>(sampleCounter) * static_cast<double>(samplePeriod);
        if (t >= elementSeconds[code].load(std::memory_order_relaxed)) {
            sampleCounter = 0;
            ++elementIndex;
            continue;
        }
        if (code != Gap) {
            const float sample = ToneSample(code, softOnsetOn);
            leftSamples[i] = sample;
            rightSamples[i] = sample;
        }
        ++sampleCounter;
    }
    if (AtEnd()) {
        playing = false;
    }
}

// A run: each tone on exactly its frames, silence between them; the walk ends at the first
// frame after the last tone.
void Synthesiser::WalkRun(int32_t frameCount, bool softOnsetOn) {
    for (int32_t i = 0; i < frameCount; ++i) {
        while (runIndex < runCount && runFrame >= runTones[runIndex].startFrame + runTones[runIndex].lengthFrames) {
            ++runIndex;
        }
        if (runIndex >= runCount) {
            playing = false;
            return;
        }
        const ToneSpan& tone = runTones[runIndex];
        if (runFrame >= tone.startFrame) {
            // The tone of a Dih lasting half a frame less than the span: exactly its frames sound.
            const auto duration = static_cast<float>((static_cast<double>(tone.lengthFrames) - 0.5) /
                                                     static_cast<double>(framesPerSecond));
            const float sample = ToneSampleAt(runFrame - tone.startFrame, duration, softOnsetOn);
            leftSamples[i] = sample;
            rightSamples[i] = sample;
        }
        ++runFrame;
    }
}

float Synthesiser::ToneSample(int32_t code, bool softOnsetOn) const {
    return ToneSampleAt(sampleCounter, elementSeconds[code].load(std::memory_order_relaxed), softOnsetOn);
}

// Sine at phase 0 when the element starts (counter 0), faded linearly over its last
// rampSeconds. The end test of the walk uses the unrounded time t; the fade uses t rounded to
// single precision. With the soft onset on, the amplitude is also multiplied by the raised
// cosine (1 - cos(pi t' / 5 ms)) / 2 while t' is below 5 ms.
float Synthesiser::ToneSampleAt(int64_t counter, float duration, bool softOnsetOn) const {
    const double phase = static_cast<double>(counter) * static_cast<double>(frequency.load(std::memory_order_relaxed)) *
                         static_cast<double>(phaseStep);
    const double sine = std::sin(phase);
    const auto tPrime = static_cast<float>(static_cast<double>(counter) * static_cast<double>(samplePeriod));
    float amplitude = 1.0f;
    if (!(tPrime < static_cast<double>(duration) - static_cast<double>(rampSeconds))) {
        amplitude = duration / rampSeconds - tPrime / rampSeconds;
    }
    if (softOnsetOn && tPrime < kOnsetSeconds) {
        const double rise =
            0.5 - 0.5 * std::cos(kPi * static_cast<double>(tPrime) / static_cast<double>(kOnsetSeconds));
        amplitude = static_cast<float>(static_cast<double>(amplitude) * rise);
    }
    return static_cast<float>(static_cast<double>(amplitude) * sine);
}

void Synthesiser::AddNoise(int32_t frameCount) {
    for (int32_t i = 0; i < frameCount; ++i) {
        const int32_t r = NextNoiseValue() % kNoiseModulus;
        const double value = static_cast<double>(static_cast<float>(r) * kNoiseStep) * kNoiseScale;
        leftSamples[i] = static_cast<float>(leftSamples[i] + value);
        rightSamples[i] = static_cast<float>(rightSamples[i] + value);
    }
}

// A generator of its own, 0 to 32767, the classic linear congruential one: the UI thread
// seeds and draws from std::rand for the random dictation, which must not be disturbed.
int32_t Synthesiser::NextNoiseValue() {
    noiseSeed = noiseSeed * 214013u + 2531011u;
    return static_cast<int32_t>((noiseSeed >> 16) & 0x7FFFu);
}

void Synthesiser::FillFrames(int32_t frameCount, float gain) {
    for (int32_t i = 0; i < frameCount; ++i) {
        frames[i].left = gain * leftSamples[i];
        frames[i].right = gain * rightSamples[i];
    }
}

const StereoFrame* ToneCallback(void* userData, int32_t* frameCount) {
    return static_cast<Synthesiser*>(userData)->Render(frameCount);
}
