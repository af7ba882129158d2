#pragma once

#include "band/BandRandom.h"
#include "material/CallsignGenerator.h"

#include <cstdint>
#include <string>

// What the other stations send: calling CQ, and contest exchanges of a callsign, a report and a
// serial number. One seeded source per station, its callsigns from the copy practice's
// generator; texts hold capital letters, digits, '/' and single spaces only. It allocates: it
// runs on the UI thread, when the band is configured.
class QrmTexts {
public:
    explicit QrmTexts(uint64_t seed, uint64_t stream);

    // The next text the station sends.
    std::string Next();

private:
    BandRandom random;
    CallsignGenerator calls;
    std::string ownCall; // the station's own callsign, drawn once
    int32_t serial;      // the station's next contest number
};
