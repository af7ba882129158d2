#include "material/QsoGenerator.h"

#include <utility>

namespace {

constexpr std::string_view kNames = "JEAN PIERRE MARIE LUC ANNE PAUL ALAIN MICHEL JOHN BOB MIKE TOM HANS PETER KLAUS "
                                    "JOSE MARCO YURI JAN PIET ERIK LARS AKIRA DAVE JIM SUE";
constexpr std::string_view kRigs = "IC7300 IC7610 FT991 FTDX10 K3 K4 TS590 KX2 QCX HOMEBREW";
constexpr std::string_view kPowers = "5 10 50 100 100 100 400";
constexpr std::string_view kEnglishAntennas = "DIPOLE VERTICAL YAGI LOOP WINDOM GP";
constexpr std::string_view kFrenchAntennas = "DIPOLE VERTICALE YAGI BOUCLE WINDOM GP";
constexpr std::string_view kEnglishWeather = "SUNNY CLOUDY RAIN SNOW FOG WINDY";
constexpr std::string_view kFrenchWeather = "SOLEIL NUAGES PLUIE NEIGE BROUILLARD VENT";
constexpr std::string_view kEnglishGreetings = "GM GA GE";
constexpr std::string_view kFrenchGreetings = "BJR BSR";

} // namespace

QsoGenerator::QsoGenerator(uint32_t seed, Language language)
    : draw(seed), calls(seed ^ 0x9E3779B9u), language(language) {}

std::vector<std::string> QsoGenerator::NextQso() {
    const Operator a = NewOperator(); // calls CQ
    const Operator b = NewOperator(); // answers it
    return language == Language::French ? French(a, b) : English(a, b);
}

QsoGenerator::Operator QsoGenerator::NewOperator() {
    CallsignGenerator::Station station = calls.NextStation();
    return {std::move(station), std::string(draw.OneOf(kNames))};
}

// 599, or the same with the nines cut to N, as most operators send it.
std::string QsoGenerator::Report() {
    return std::string(draw.OneOf("599 5NN 579 589 559"));
}

// The rig, the power and the antenna, drawn in that order.
std::string QsoGenerator::Station() {
    const bool french = language == Language::French;
    const std::string rig(draw.OneOf(kRigs));
    const std::string power(draw.OneOf(kPowers));
    const std::string antenna(draw.OneOf(french ? kFrenchAntennas : kEnglishAntennas));
    return (french ? "TX " : "RIG ") + rig + " PWR " + power + "W ANT " + antenna;
}

// Every draw is made into a variable of its own first, in a fixed order, so that the QSO does
// not depend on the order in which a compiler evaluates the parts of an expression.
QsoGenerator::Exchange QsoGenerator::Draw(Language wanted) {
    Exchange x;
    const bool french = wanted == Language::French;
    x.greeting = draw.OneOf(french ? kFrenchGreetings : kEnglishGreetings);
    x.reportA1 = Report();
    x.reportA2 = x.reportA1; // the report is sent twice
    x.reportB = Report();
    x.stationB = Station();
    x.weather = draw.OneOf(french ? kFrenchWeather : kEnglishWeather);
    x.temperature = std::to_string(draw.Below(31)) + "C";
    x.stationA = Station();
    return x;
}

std::vector<std::string> QsoGenerator::English(const Operator& a, const Operator& b) {
    const std::string& ca = a.station.call;
    const std::string& cb = b.station.call;
    const Exchange x = Draw(Language::English);
    return {
        "CQ CQ CQ DE " + ca + " " + ca + " K",
        ca + " DE " + cb + " " + cb + " K",
        cb + " DE " + ca + " <BT> " + x.greeting + " OM TNX FER CALL <BT> UR RST " + x.reportA1 + " " + x.reportA2 +
            " <BT> NAME " + a.name + " " + a.name + " <BT> QTH " + a.station.qth + " " + a.station.qth +
            " <BT> HW? <AR> " + cb + " DE " + ca + " <KN>",
        ca + " DE " + cb + " <BT> " + x.greeting + " " + a.name + " TNX FER RPRT <BT> UR RST " + x.reportB +
            " <BT> NAME " + b.name + " <BT> QTH " + b.station.qth + " <BT> " + x.stationB + " <BT> WX " + x.weather +
            " TEMP " + x.temperature + " <AR> " + ca + " DE " + cb + " <KN>",
        cb + " DE " + ca + " <BT> FB " + b.name + " TNX FER QSO <BT> " + x.stationA + " <BT> 73 ES GL <AR> " + cb +
            " DE " + ca + " <SK>",
        ca + " DE " + cb + " <BT> TNX " + a.name + " 73 <SK> TU",
    };
}

std::vector<std::string> QsoGenerator::French(const Operator& a, const Operator& b) {
    const std::string& ca = a.station.call;
    const std::string& cb = b.station.call;
    const Exchange x = Draw(Language::French);
    return {
        "CQ CQ CQ DE " + ca + " " + ca + " PSE K",
        ca + " DE " + cb + " " + cb + " K",
        cb + " DE " + ca + " <BT> " + x.greeting + " CHER OM ET MCI POUR APPEL <BT> RST " + x.reportA1 + " " +
            x.reportA2 + " <BT> OP " + a.name + " " + a.name + " <BT> QTH " + a.station.qth + " " + a.station.qth +
            " <BT> CMT? <AR> " + cb + " DE " + ca + " <KN>",
        ca + " DE " + cb + " <BT> " + x.greeting + " " + a.name + " MCI POUR RPRT <BT> RST " + x.reportB + " <BT> OP " +
            b.name + " <BT> QTH " + b.station.qth + " <BT> " + x.stationB + " <BT> WX " + x.weather + " TEMP " +
            x.temperature + " <AR> " + ca + " DE " + cb + " <KN>",
        cb + " DE " + ca + " <BT> OK " + b.name + " MCI POUR QSO <BT> " + x.stationA +
            " <BT> 73 ET BONNE JOURNEE <AR> " + cb + " DE " + ca + " <SK>",
        ca + " DE " + cb + " <BT> MCI " + a.name + " 73 ET A BIENTOT <SK> TU",
    };
}
