#pragma once

#include <cstdint>

// The program's string resources, UTF-8. Returns "" for an id that has no string.
const char* LoadResourceString(int32_t stringId);
