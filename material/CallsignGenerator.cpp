#include "material/CallsignGenerator.h"

#include <array>
#include <vector>

namespace {

// How long the suffix after the call area digit is: the shares, in percent, of one, two and
// three letters.
struct SuffixShares {
    uint32_t one;
    uint32_t two;
    uint32_t three;
};
constexpr SuffixShares kUsShort = {0, 20, 80}; // K1AB, K1ABC
constexpr SuffixShares kUsLong = {10, 40, 50}; // AA1A, KA1AB, KA1ABC
constexpr SuffixShares kCommon = {0, 30, 70};  // F5AB, F5ABC
constexpr SuffixShares kThree = {0, 10, 90};   // DL1ABC, JA1ABC

// One prefix of a country: its weight (how often its stations are heard, relative to the
// others), the call area digit when the prefix fixes it ('\0': any 0 to 9), the suffix
// lengths, and the towns of its country, one word each.
struct Prefix {
    std::string_view prefix;
    uint32_t weight;
    char digit;
    SuffixShares suffix;
    std::string_view towns;
};

constexpr std::string_view kUsTowns = "BOSTON DENVER DALLAS CHICAGO SEATTLE MIAMI AUSTIN PHOENIX ATLANTA";
constexpr std::string_view kGermanTowns = "BERLIN MUNICH HAMBURG KOLN DRESDEN BREMEN";
constexpr std::string_view kFrenchTowns = "PARIS LYON NANTES LILLE TOULOUSE BREST DIJON RENNES";
constexpr std::string_view kEnglishTowns = "LONDON LEEDS BRISTOL YORK BATH";
constexpr std::string_view kItalianTowns = "ROMA MILANO TORINO NAPOLI BOLOGNA";
constexpr std::string_view kJapaneseTowns = "TOKYO OSAKA NAGOYA SAPPORO KOBE";
constexpr std::string_view kRussianTowns = "MOSCOW PERM OMSK KAZAN";
constexpr std::string_view kPolishTowns = "WARSZAWA KRAKOW GDANSK LODZ";

constexpr std::array kPrefixes = {
    Prefix{"K", 60, '\0', kUsShort, kUsTowns},
    Prefix{"W", 55, '\0', kUsShort, kUsTowns},
    Prefix{"N", 25, '\0', kUsShort, kUsTowns},
    Prefix{"KA", 4, '\0', kUsLong, kUsTowns},
    Prefix{"KB", 4, '\0', kUsLong, kUsTowns},
    Prefix{"KC", 5, '\0', kUsLong, kUsTowns},
    Prefix{"KD", 4, '\0', kUsLong, kUsTowns},
    Prefix{"KE", 3, '\0', kUsLong, kUsTowns},
    Prefix{"KG", 3, '\0', kUsLong, kUsTowns},
    Prefix{"KI", 3, '\0', kUsLong, kUsTowns},
    Prefix{"AA", 3, '\0', kUsLong, kUsTowns},
    Prefix{"AB", 2, '\0', kUsLong, kUsTowns},
    Prefix{"AC", 2, '\0', kUsLong, kUsTowns},
    Prefix{"AD", 2, '\0', kUsLong, kUsTowns},
    Prefix{"AE", 2, '\0', kUsLong, kUsTowns},
    Prefix{"AI", 1, '\0', kUsLong, kUsTowns},
    Prefix{"WA", 3, '\0', kUsLong, kUsTowns},
    Prefix{"WB", 3, '\0', kUsLong, kUsTowns},
    Prefix{"DL", 45, '\0', kThree, kGermanTowns},
    Prefix{"DK", 10, '\0', kThree, kGermanTowns},
    Prefix{"DJ", 8, '\0', kThree, kGermanTowns},
    Prefix{"DF", 6, '\0', kThree, kGermanTowns},
    Prefix{"DO", 5, '\0', kThree, kGermanTowns},
    Prefix{"F", 30, '\0', kCommon, kFrenchTowns},
    Prefix{"G", 20, '\0', kCommon, kEnglishTowns},
    Prefix{"M", 12, '0', kThree, kEnglishTowns},
    Prefix{"2E", 3, '0', kThree, kEnglishTowns},
    Prefix{"GM", 3, '\0', kCommon, "EDINBURGH GLASGOW"},
    Prefix{"GW", 2, '\0', kCommon, "CARDIFF SWANSEA"},
    Prefix{"I", 15, '\0', kCommon, kItalianTowns},
    Prefix{"IK", 10, '\0', kThree, kItalianTowns},
    Prefix{"IZ", 10, '\0', kThree, kItalianTowns},
    Prefix{"EA", 25, '\0', kCommon, "MADRID SEVILLA VALENCIA BILBAO"},
    Prefix{"EA", 4, '8', kThree, "TENERIFE LANZAROTE"},
    Prefix{"JA", 25, '\0', kThree, kJapaneseTowns},
    Prefix{"JH", 8, '\0', kThree, kJapaneseTowns},
    Prefix{"JR", 6, '\0', kThree, kJapaneseTowns},
    Prefix{"JE", 5, '\0', kThree, kJapaneseTowns},
    Prefix{"UA", 12, '\0', kThree, kRussianTowns},
    Prefix{"RA", 6, '\0', kThree, kRussianTowns},
    Prefix{"RK", 3, '\0', kThree, kRussianTowns},
    Prefix{"SP", 18, '\0', kThree, kPolishTowns},
    Prefix{"SQ", 5, '\0', kThree, kPolishTowns},
    Prefix{"OK", 15, '\0', kThree, "PRAHA BRNO PLZEN"},
    Prefix{"OM", 6, '\0', kThree, "BRATISLAVA KOSICE"},
    Prefix{"ON", 10, '\0', kThree, "BRUXELLES LIEGE GENT NAMUR"},
    Prefix{"PA", 12, '\0', kThree, "AMSTERDAM UTRECHT DELFT"},
    Prefix{"PD", 4, '\0', kThree, "ROTTERDAM GRONINGEN"},
    Prefix{"HB", 8, '9', kThree, "BERN ZURICH GENEVE LAUSANNE"},
    Prefix{"OE", 8, '\0', kThree, "WIEN GRAZ LINZ"},
    Prefix{"HA", 10, '\0', kThree, "BUDAPEST DEBRECEN"},
    Prefix{"YO", 10, '\0', kThree, "BUCURESTI CLUJ"},
    Prefix{"S5", 6, '\0', kThree, "LJUBLJANA MARIBOR"},
    Prefix{"9A", 6, '\0', kThree, "ZAGREB SPLIT"},
    Prefix{"YU", 4, '\0', kThree, "BEOGRAD"},
    Prefix{"LZ", 5, '\0', kThree, "SOFIA VARNA"},
    Prefix{"UR", 6, '\0', kThree, "KYIV LVIV"},
    Prefix{"UT", 4, '\0', kThree, "ODESA KHARKIV"},
    Prefix{"OH", 8, '\0', kThree, "HELSINKI TAMPERE"},
    Prefix{"SM", 8, '\0', kThree, "STOCKHOLM GOTEBORG"},
    Prefix{"LA", 5, '\0', kThree, "OSLO BERGEN"},
    Prefix{"OZ", 5, '\0', kThree, "KOBENHAVN ODENSE"},
    Prefix{"ES", 4, '\0', kThree, "TALLINN TARTU"},
    Prefix{"YL", 3, '\0', kThree, "RIGA"},
    Prefix{"LY", 5, '\0', kThree, "VILNIUS KAUNAS"},
    Prefix{"EI", 3, '\0', kThree, "DUBLIN CORK"},
    Prefix{"CT", 5, '\0', kThree, "LISBOA PORTO"},
    Prefix{"SV", 4, '\0', kThree, "ATHINA PATRA"},
    Prefix{"9H", 1, '\0', kThree, "VALLETTA"},
    Prefix{"4X", 2, '\0', kCommon, "HAIFA"},
    Prefix{"VE", 10, '\0', kThree, "TORONTO MONTREAL OTTAWA"},
    Prefix{"VA", 4, '\0', kThree, "QUEBEC CALGARY"},
    Prefix{"VK", 6, '\0', kThree, "SYDNEY PERTH MELBOURNE"},
    Prefix{"ZL", 3, '\0', kThree, "AUCKLAND"},
    Prefix{"ZS", 2, '\0', kThree, "DURBAN"},
    Prefix{"LU", 4, '\0', kThree, "CORDOBA ROSARIO"},
    Prefix{"PY", 5, '\0', kThree, "RECIFE CURITIBA"},
    Prefix{"XE", 2, '\0', kThree, "PUEBLA"},
    Prefix{"HL", 2, '\0', kThree, "SEOUL BUSAN"},
    Prefix{"BY", 2, '\0', kThree, "BEIJING"},
    Prefix{"VU", 2, '\0', kThree, "DELHI"},
    Prefix{"TA", 2, '\0', kThree, "ANKARA IZMIR"},
    Prefix{"LX", 1, '\0', kThree, "LUXEMBOURG"},
};

// Where stations operate from abroad, before their own call: EA8/DL1ABC.
constexpr std::array<std::string_view, 10> kHolidayPrefixes = {"EA8", "EA6", "CT3", "9H",  "SV9",
                                                               "IS0", "F",   "TF",  "OH0", "OY"};

// Shares, in percent of calls: portable, mobile, low power, from abroad; the rest are plain.
constexpr std::array<uint32_t, 5> kForms = {4, 1, 1, 3, 91};
enum Form : size_t { kPortable, kMobile, kLowPower, kAbroad, kPlain };

const std::vector<uint32_t>& PrefixWeights() {
    static const std::vector<uint32_t> weights = [] {
        std::vector<uint32_t> all;
        for (const Prefix& prefix : kPrefixes) {
            all.push_back(prefix.weight);
        }
        return all;
    }();
    return weights;
}

} // namespace

CallsignGenerator::CallsignGenerator(uint32_t seed) : draw(seed) {}

std::string CallsignGenerator::Next() {
    return NextStation().call;
}

CallsignGenerator::Station CallsignGenerator::NextStation() {
    const size_t country = draw.Weighted(PrefixWeights());
    Station station{HomeCall(country), Town(country)};
    switch (static_cast<Form>(draw.Weighted(kForms))) {
    case kPortable:
        station.call += "/P";
        break;
    case kMobile:
        station.call += "/M";
        break;
    case kLowPower:
        station.call += "/QRP";
        break;
    case kAbroad:
        station.call = std::string(kHolidayPrefixes[draw.Below(static_cast<uint32_t>(kHolidayPrefixes.size()))]) + "/" +
                       station.call;
        break;
    case kPlain:
        break;
    }
    return station;
}

std::string CallsignGenerator::HomeCall(size_t country) {
    const Prefix& prefix = kPrefixes[country];
    std::string call(prefix.prefix);
    call += prefix.digit != '\0' ? prefix.digit : static_cast<char>('0' + draw.Below(10));
    const std::array<uint32_t, 3> lengths = {prefix.suffix.one, prefix.suffix.two, prefix.suffix.three};
    const size_t letters = draw.Weighted(lengths) + 1;
    for (size_t i = 0; i < letters; ++i) {
        call += static_cast<char>('A' + draw.Below(26));
    }
    return call;
}

std::string CallsignGenerator::Town(size_t country) {
    return std::string(draw.OneOf(kPrefixes[country].towns));
}
