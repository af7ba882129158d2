#include "keying/StraightKey.h"

void StraightKey::Press(int32_t contact, int64_t frame, KeySink& sink) {
    if (contact < 0 || contact >= kContacts) {
        return;
    }
    const uint32_t before = contacts;
    contacts |= 1u << contact;
    if (before == 0 && contacts != 0) {
        sink.KeyChanged(true, frame);
    }
}

void StraightKey::Release(int32_t contact, int64_t frame, KeySink& sink) {
    if (contact < 0 || contact >= kContacts) {
        return;
    }
    const uint32_t before = contacts;
    contacts &= ~(1u << contact);
    if (before != 0 && contacts == 0) {
        sink.KeyChanged(false, frame);
    }
}

void StraightKey::Stop(int64_t frame, KeySink& sink) {
    if (contacts != 0) {
        contacts = 0;
        sink.KeyChanged(false, frame);
    }
}
