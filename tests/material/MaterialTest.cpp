// The copy practice's material: callsign shapes and prefixes, the word lists and their lesson
// filter, the QSOs, and the seed that always gives the same run.
#include "material/CallsignGenerator.h"
#include "material/CopyMaterial.h"
#include "material/QsoGenerator.h"
#include "material/WordList.h"
#include "practice/KochLessons.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> items;
    for (std::string item; in >> item;) {
        items.push_back(item);
    }
    return items;
}

std::optional<WordList> LoadList(const char* file) {
    std::string error;
    const std::filesystem::path path = WordList::Find({ZELBIN_WORDS_BUILD_DIR}, file, error);
    EXPECT_FALSE(path.empty()) << error;
    std::optional<WordList> list = WordList::Load(path, error);
    EXPECT_TRUE(list) << error;
    return list;
}

// A home call: an ITU prefix of this list (the International Telecommunication Union's
// allocations as amateurs use them), a call area digit, one to three letters.
const std::set<std::string> kItuPrefixes = {
    "K",  "W",  "N",  "KA", "KB", "KC", "KD", "KE", "KG", "KI", "AA", "AB", "AC", "AD", "AE", "AI", "WA",
    "WB", "DL", "DK", "DJ", "DF", "DO", "F",  "G",  "M",  "2E", "GM", "GW", "I",  "IK", "IZ", "EA", "JA",
    "JH", "JR", "JE", "UA", "RA", "RK", "SP", "SQ", "OK", "OM", "ON", "PA", "PD", "HB", "OE", "HA", "YO",
    "S5", "9A", "YU", "LZ", "UR", "UT", "OH", "SM", "LA", "OZ", "ES", "YL", "LY", "EI", "CT", "SV", "9H",
    "4X", "VE", "VA", "VK", "ZL", "ZS", "LU", "PY", "XE", "HL", "BY", "VU", "TA", "LX"};
const std::regex kCall("^(?:([A-Z0-9]{1,3})/)?([A-Z0-9]{1,2}?)([0-9])([A-Z]{1,3})(/P|/M|/QRP)?$");

TEST(CallsignGenerator, CallsHaveTheUsualShapesRealPrefixesAndTheirWeights) {
    CallsignGenerator generator(2026);
    std::map<std::string, int> shapes;
    int us = 0;
    int portable = 0;
    int abroad = 0;
    constexpr int kCalls = 5000;
    for (int i = 0; i < kCalls; ++i) {
        const std::string call = generator.Next();
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(call, parts, kCall)) << call;
        std::string prefix = parts[2];
        if (prefix.empty() || !kItuPrefixes.count(prefix)) {
            // A prefix that ends in a digit ("HB9", "S5"): the digit read as the call area.
            prefix = parts[2].str() + parts[3].str();
            ASSERT_TRUE(prefix == "HB9" || kItuPrefixes.count(prefix.substr(0, prefix.size() - 1)) ||
                        kItuPrefixes.count(prefix))
                << call;
        }
        us += std::string("KWNA").find(call[0]) != std::string::npos && parts[1].str().empty() ? 1 : 0;
        portable += parts[5] == "/P" ? 1 : 0;
        abroad += parts[1].matched ? 1 : 0;
        ++shapes[std::to_string(parts[2].length()) + "x" + std::to_string(parts[4].length())];
    }
    EXPECT_GT(us, kCalls / 4) << "the United States are heard most";
    EXPECT_LT(us, kCalls / 2);
    EXPECT_NEAR(portable, kCalls * 4 / 100, kCalls / 100);
    EXPECT_NEAR(abroad, kCalls * 3 / 100, kCalls / 100);
    for (const char* shape : {"1x2", "1x3", "2x1", "2x2", "2x3"}) {
        EXPECT_GT(shapes[shape], 0) << shape;
    }
}

TEST(CopyMaterial, ASeedAlwaysGivesTheSameRunAndAnotherSeedAnother) {
    const std::vector<std::string> words = {"UN", "DEUX", "TROIS", "QUATRE"};
    const auto run = [&](uint32_t seed) {
        CopyMaterial material(seed);
        return material.Groups(5, "KMRSU") + "|" + material.Words(5, words) + "|" + material.Callsigns(5) + "|" +
               material.Qso(8, QsoGenerator::Language::English);
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
    EXPECT_EQ(CallsignGenerator(7).Next(), CallsignGenerator(7).Next());
}

TEST(CopyMaterial, GroupsAndWordsComeFromTheLessonAndCountItems) {
    CopyMaterial material(1);
    const std::string lesson = KochLessons::Characters(39); // the 36 and . , ?
    const std::vector<std::string> groups = Split(material.Groups(12, lesson));
    ASSERT_EQ(groups.size(), 12u);
    for (const std::string& group : groups) {
        EXPECT_EQ(group.size(), 5u) << group;
        EXPECT_EQ(group.find_first_not_of(lesson), std::string::npos) << group;
    }
    EXPECT_EQ(Split(material.Callsigns(50)).size(), 50u);
    for (const char* file : {WordList::kFrenchFile, WordList::kEnglishFile}) {
        const std::optional<WordList> list = LoadList(file);
        ASSERT_TRUE(list);
        EXPECT_GE(list->Words().size(), 1000u) << file;
        const std::string letters = KochLessons::Characters(15); // KMRSUAPTLOWINJE
        const std::vector<std::string> spelled = list->SpelledWith(letters);
        EXPECT_GT(spelled.size(), 50u) << file;
        const std::vector<std::string> drawn = Split(material.Words(30, spelled));
        ASSERT_EQ(drawn.size(), 30u);
        for (const std::string& word : drawn) {
            EXPECT_EQ(word.find_first_not_of(letters), std::string::npos) << word;
        }
    }
    const std::optional<WordList> french = LoadList(WordList::kFrenchFile);
    const std::optional<WordList> english = LoadList(WordList::kEnglishFile);
    ASSERT_TRUE(french && english);
    // Most frequent first, accents folded: "de", "la", "le"; "été" as ETE.
    EXPECT_EQ(std::vector<std::string>(french->Words().begin(), french->Words().begin() + 3),
              (std::vector<std::string>{"DE", "LA", "LE"}));
    EXPECT_EQ(english->Words().front(), "THE");
    EXPECT_NE(std::find(french->Words().begin(), french->Words().end(), "ETE"), french->Words().end());
}

// Each language's QSO holds its parts in order, with the prosigns where operators put them.
TEST(QsoGenerator, QsosHoldTheExchangesInBothLanguages) {
    struct Case {
        QsoGenerator::Language language;
        std::vector<std::string> inOrder;
    };
    const Case cases[] = {
        {QsoGenerator::Language::English,
         {"CQ", " K", "RST", "<BT>", "NAME", "QTH", "HW?", "<AR>", "<KN>", "RIG", "PWR", "ANT", "WX", "TEMP", "73",
          "<SK>"}},
        {QsoGenerator::Language::French,
         {"CQ", "PSE K", "RST", "<BT>", "OP", "QTH", "CMT?", "<AR>", "<KN>", "TX", "PWR", "ANT", "WX", "TEMP", "73",
          "<SK>"}},
    };
    for (const Case& c : cases) {
        QsoGenerator generator(99, c.language);
        for (int qso = 0; qso < 20; ++qso) {
            std::string text;
            for (const std::string& over : generator.NextQso()) {
                text += over + " ";
            }
            size_t at = 0;
            for (const std::string& part : c.inOrder) {
                at = text.find(part, at);
                ASSERT_NE(at, std::string::npos) << part << " in " << text;
            }
            EXPECT_TRUE(std::regex_search(text, std::regex(" (599|5NN|579|589|559) "))) << text;
        }
    }
}

} // namespace
