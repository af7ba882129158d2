#include "band/QrmTexts.h"

#include <iterator>

namespace {

// Prefixes heard on the bands; a callsign is a prefix, a digit (where the prefix has none) and
// one to three letters.
constexpr const char* kPrefixes[] = {"F",  "DL", "G",  "I",  "EA", "ON", "OK", "SP", "K",  "W",   "N",  "VE",
                                     "JA", "UA", "PA", "OH", "SM", "OZ", "LA", "YU", "HA", "HB9", "OE", "S5",
                                     "9A", "LY", "YL", "ES", "CT", "EI", "GM", "LZ", "YO", "UR",  "VK", "ZL"};

bool EndsWithDigit(const char* text) {
    const char* last = text;
    while (last[1] != '\0') {
        ++last;
    }
    return *last >= '0' && *last <= '9';
}

} // namespace

QrmTexts::QrmTexts(uint64_t seed, uint64_t stream) : random(seed, stream) {
    ownCall = Callsign();
    serial = random.Whole(1, 400);
}

std::string QrmTexts::Callsign() {
    const char* prefix = kPrefixes[random.Whole(0, static_cast<int32_t>(std::size(kPrefixes)) - 1)];
    std::string call = prefix;
    if (!EndsWithDigit(prefix)) {
        call += static_cast<char>('0' + random.Whole(0, 9));
    }
    const int32_t letters = random.Whole(1, 3);
    for (int32_t i = 0; i < letters; ++i) {
        call += static_cast<char>('A' + random.Whole(0, 25));
    }
    return call;
}

std::string QrmTexts::Next() {
    const std::string number = std::to_string(serial++);
    switch (random.Whole(0, 4)) {
    case 0:
        return "CQ CQ DE " + ownCall + " " + ownCall + " K";
    case 1:
        return "CQ TEST " + ownCall + " " + ownCall + " TEST";
    case 2:
        return Callsign() + " 5NN " + number;
    case 3:
        return "TU " + ownCall + " TEST";
    default:
        return Callsign() + " DE " + ownCall + " 599 " + number + " K";
    }
}
