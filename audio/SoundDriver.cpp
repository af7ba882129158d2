#include "audio/SoundDriver.h"

namespace {
const char kSilentName[] = "Silent";
}

SoundDriver::~SoundDriver() = default;

void SoundDriver::SetCallback(void*, SampleCallback, void*) {}
bool SoundDriver::QueryCapability() {
    return false;
}
bool SoundDriver::Configure(int32_t, int32_t, int32_t, int32_t, int32_t) {
    return false;
}
bool SoundDriver::Configure(int32_t, int32_t, int32_t, int32_t) {
    return false;
}
bool SoundDriver::Start() {
    return true;
}
bool SoundDriver::Stop() {
    return true;
}
bool SoundDriver::SetActive(bool) {
    return false;
}
int32_t SoundDriver::GetQueuedFrames() {
    return 0;
}
int32_t SoundDriver::GetPlayedFrames() {
    return 0;
}
int32_t SoundDriver::GetBufferCount() {
    return 0;
}
int32_t SoundDriver::GetBufferBytes() {
    return 0;
}
bool SoundDriver::HasCallback() {
    return true;
}
bool SoundDriver::IsConfigured() {
    return true;
}
const char* SoundDriver::GetName() {
    return kSilentName;
}
