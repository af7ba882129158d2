#pragma once

#include "material/CallsignGenerator.h"
#include "material/SeededDraw.h"

#include <cstdint>
#include <string>
#include <vector>

// A QSO as two operators key it, in French or in English: a CQ, the answer, then the
// exchanges of the report (599 or 5NN), the name, the QTH, the rig, the power, the antenna
// and the weather, to the 73. Sections are parted by <BT>, an over that hands back ends with
// <AR> and the calls and <KN>, the last one with <SK>. Each over is one item of a copy run.
// The same seed always gives the same QSOs.
class QsoGenerator {
public:
    enum class Language { French, English };

    QsoGenerator(uint32_t seed, Language language);

    // The overs of one whole QSO between two new stations, in order.
    std::vector<std::string> NextQso();

private:
    struct Operator {
        CallsignGenerator::Station station;
        std::string name;
    };
    // The drawn parts of one QSO besides its operators.
    struct Exchange {
        std::string greeting, reportA1, reportA2, reportB, stationA, stationB, weather, temperature;
    };
    Operator NewOperator();
    std::string Report();
    std::string Station();
    Exchange Draw(Language wanted);
    std::vector<std::string> French(const Operator& a, const Operator& b);
    std::vector<std::string> English(const Operator& a, const Operator& b);

    SeededDraw draw;
    CallsignGenerator calls;
    Language language;
};
