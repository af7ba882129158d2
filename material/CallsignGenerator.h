#pragma once

#include "material/SeededDraw.h"

#include <cstdint>
#include <string>
#include <string_view>

// Amateur radio callsigns as they are heard on the bands: a real ITU prefix, drawn in
// proportion to how often its stations are heard, a call area digit and a suffix of one to
// three letters, in the shapes each country gives (K1AB, W1ABC, KA1ABC, AA1A, F5ABC, DL1XYZ,
// HB9ABC, 9A2AB...). Now and then a station is portable (F5ABC/P), mobile (/M) or low power
// (/QRP), or operates from abroad (EA8/DL1ABC). The same seed always gives the same calls.
class CallsignGenerator {
public:
    // A call and a town of its country, for a QSO's QTH.
    struct Station {
        std::string call;
        std::string qth;
    };

    explicit CallsignGenerator(uint32_t seed);

    std::string Next();
    Station NextStation();

private:
    std::string HomeCall(size_t country);
    std::string Town(size_t country);

    SeededDraw draw;
};
