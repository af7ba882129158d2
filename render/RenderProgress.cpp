#include "render/RenderProgress.h"

#include <chrono>
#include <utility>

namespace {

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

RenderProgress::RenderProgress(FILE* stream, int32_t sampleRate, Clock clock)
    : stream(stream), sampleRate(sampleRate), clock(clock ? std::move(clock) : Clock(SteadySeconds)),
      startSeconds(this->clock()) {}

void RenderProgress::Update(double done, int64_t frames) {
    if (stream == nullptr) {
        return;
    }
    const double now = clock();
    if (now - startSeconds < kDelaySeconds || (shown && now - lastShownSeconds < kIntervalSeconds)) {
        return;
    }
    lastShownSeconds = now;
    Show(done, frames);
}

void RenderProgress::Finish(int64_t frames) {
    if (shown) {
        Show(1.0, frames);
        std::fputc('\n', stream);
        std::fflush(stream);
    }
}

void RenderProgress::Show(double done, int64_t frames) {
    const int64_t seconds = frames / sampleRate;
    const auto percent = static_cast<int>(done * 100.0);
    std::fprintf(stream, "\rzelbin-render: %3d%%, %lld:%02lld:%02lld of sound written", percent,
                 static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                 static_cast<long long>(seconds % 60));
    std::fflush(stream);
    shown = true;
}
