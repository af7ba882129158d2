#pragma once

#include <cstdint>

// How the learner keys: a straight key (the tone sounds while the key is down), or paddles
// through an iambic keyer in mode A or B. The values are those of the KeyerMode setting.
enum class KeyingMode : int32_t {
    Straight = 0,
    IambicA = 1,
    IambicB = 2,
};

// The physical inputs that key: with a straight key each of them but the right mouse button is
// the key; with paddles the left ones are the dit paddle and the right ones the dah paddle, or the
// other way round when the paddles are swapped. Space keys only the straight key.
enum class KeyInput : uint8_t {
    Space = 0,
    LeftControl = 1,
    RightControl = 2,
    LeftButton = 3,
    RightButton = 4,
};
constexpr int32_t kKeyInputCount = 5;
