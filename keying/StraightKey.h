#pragma once

#include "keying/KeySink.h"

#include <cstdint>

// A straight key: the key is down while any of its contacts is closed (Space, either Ctrl and the
// mouse button may all be held at once), and the tone follows it frame for frame. Closing a
// contact that is closed already, or opening one that is open, changes nothing.
class StraightKey {
public:
    static constexpr int32_t kContacts = 32;

    // contact: 0 to kContacts - 1.
    void Press(int32_t contact, int64_t frame, KeySink& sink);
    void Release(int32_t contact, int64_t frame, KeySink& sink);
    // Opens every contact at frame.
    void Stop(int64_t frame, KeySink& sink);

    bool IsKeyDown() const { return contacts != 0; }

private:
    uint32_t contacts = 0; // one bit per closed contact
};
