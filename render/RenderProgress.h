#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

// The progress line of a long render: once a render has run for 2 s, it shows the share of
// the text done and the length of the sound written so far, rewritten in place at most five
// times a second, for example "zelbin-render:  42%, 0:12:34 of sound written". A render that
// ends sooner shows nothing. Meant for a terminal: the tool enables it only when standard
// error is one.
class RenderProgress {
public:
    using Clock = std::function<double()>; // [s] on a monotonic clock

    static constexpr double kDelaySeconds = 2.0;    // [s] of rendering before the line shows
    static constexpr double kIntervalSeconds = 0.2; // [s] between two updates of the line

    // stream may be nullptr (nothing is ever shown). The default clock is std::steady_clock.
    RenderProgress(FILE* stream, int32_t sampleRate, Clock clock = {});

    // done: 0 to 1; frames: frames written so far.
    void Update(double done, int64_t frames);
    // Shows the final figures and ends the line, if the line was shown at all.
    void Finish(int64_t frames);

private:
    void Show(double done, int64_t frames);

    FILE* stream;
    int32_t sampleRate; // [frames/s]
    Clock clock;
    double startSeconds;
    double lastShownSeconds = 0.0;
    bool shown = false;
};
