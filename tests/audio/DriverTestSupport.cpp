#include "tests/audio/DriverTestSupport.h"

#include <chrono>

const StereoFrame* NumberedSource::Callback(void* userData, int32_t* frameCount) {
    auto* self = static_cast<NumberedSource*>(userData);
    std::lock_guard lock(self->mutex);
    self->seenUserData = userData;
    self->threads.push_back(std::this_thread::get_id());
    self->requests.push_back(*frameCount);
    if (!self->deliver.empty()) {
        *frameCount = self->deliver.front();
        self->deliver.erase(self->deliver.begin());
    }
    for (int32_t i = 0; i < *frameCount && i < 32768; ++i) {
        const int64_t k = (self->nextFrame + i) % 30000 + 1;
        self->frames[i] = self->silent
                              ? StereoFrame{0.0f, 0.0f}
                              : StereoFrame{static_cast<float>(k) / 32768.0f, -static_cast<float>(k) / 32768.0f};
    }
    if (*frameCount > 0 && !self->silent) {
        self->nextFrame += *frameCount;
    }
    return self->frames;
}

uint32_t NumberedSource::ExpectedPcm(int64_t frame) {
    const int32_t sample = static_cast<int32_t>(frame % 30000);
    const auto left = static_cast<uint16_t>(sample);
    const auto right = static_cast<uint16_t>(-sample);
    return (static_cast<uint32_t>(right) << 16) | left;
}

int64_t NumberedSource::Calls() {
    std::lock_guard lock(mutex);
    return static_cast<int64_t>(requests.size());
}

void RecordingReporter::ReportError(const char* caption, const char* text) {
    std::lock_guard lock(mutex);
    captions.emplace_back(caption);
    texts.emplace_back(text);
    threads.push_back(std::this_thread::get_id());
}

std::vector<std::string> RecordingReporter::Texts() {
    std::lock_guard lock(mutex);
    return texts;
}

std::vector<std::string> RecordingReporter::Captions() {
    std::lock_guard lock(mutex);
    return captions;
}

std::vector<std::thread::id> RecordingReporter::Threads() {
    std::lock_guard lock(mutex);
    return threads;
}

void HeldBoxReporter::ReportError(const char*, const char* text) {
    std::lock_guard lock(mutex);
    texts.emplace_back(text);
}

void HeldBoxReporter::PostError(const char*, const char* text, ErrorReportTicket ticket) {
    std::lock_guard lock(mutex);
    texts.emplace_back(text);
    open.push_back(ticket);
    ++posts;
    posted.notify_all();
}

bool HeldBoxReporter::WaitForPosts(size_t count) {
    std::unique_lock lock(mutex);
    return posted.wait_for(lock, std::chrono::seconds(10), [&] { return posts >= count; });
}

void HeldBoxReporter::CloseAll() {
    std::vector<ErrorReportTicket> tickets;
    {
        std::lock_guard lock(mutex);
        tickets.swap(open);
    }
    for (const ErrorReportTicket& ticket : tickets) {
        ticket.Closed();
    }
}

std::vector<std::string> HeldBoxReporter::Texts() {
    std::lock_guard lock(mutex);
    return texts;
}
