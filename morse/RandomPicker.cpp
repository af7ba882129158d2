#include "morse/RandomPicker.h"

#include <cstdlib>

int32_t RandomPicker::PickIndex() {
    return PickIndexAt(std::time(nullptr));
}

int32_t RandomPicker::PickIndexAt(std::time_t now) {
    // srand takes an unsigned int: the calendar time is truncated to it, as the
    // runtime library's own conversion of time() would do.
    std::srand(static_cast<unsigned int>(now));
    return static_cast<int32_t>(std::rand() % kCharacterCount);
}
