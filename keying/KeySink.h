#pragma once

#include <cstdint>

// Where a key model reports each change of its key, in frame order: down (tone) or up (silence)
// from `frame` on.
class KeySink {
public:
    virtual ~KeySink() = default;
    virtual void KeyChanged(bool down, int64_t frame) = 0;
};
