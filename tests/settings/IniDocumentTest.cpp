#include "settings/IniDocument.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using namespace std::string_literals;

int32_t Value(const std::string& text, const std::string& name, IniDocument::Lookup expected,
              const std::string& section = "Configuration") {
    int32_t value = -12345;
    EXPECT_EQ(IniDocument(text).Find(section, name, value), expected) << text;
    return value;
}

TEST(IniDocument, ParsesOnlyWholeSigned32BitDecimals) {
    const std::pair<const char*, int32_t> good[] = {{"0", 0},
                                                    {"-0", 0},
                                                    {"+7", 7},
                                                    {"2147483647", INT_MAX},
                                                    {"-2147483648", INT_MIN},
                                                    {"00000000000000000042", 42}};
    for (const auto& [text, expected] : good) {
        int32_t value = 1;
        EXPECT_TRUE(IniDocument::ParseInt32(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    const char* bad[] = {"",     "-",   "+",   "12abc", "99999999999", "2147483648",  "-2147483649", "1 2",
                         "0x10", "1e3", "1.5", "--1",   " 1",          "\xEF\xBC\x91" /* a full-width digit one */};
    for (const char* text : bad) {
        int32_t value = 77;
        EXPECT_FALSE(IniDocument::ParseInt32(text, value)) << text;
        EXPECT_EQ(value, 77) << "a refused number changes nothing: " << text;
    }
}

TEST(IniDocument, FindsEntriesOfTheSectionOnly) {
    const std::string text = "Volume=1\n"
                             "[Other]\n"
                             "Volume=2\n"
                             "[Configuration]\n"
                             "; Volume=3\n"
                             "# Volume=4\n"
                             "  Volume = 300  \r\n"
                             "Volume=5\n"
                             "volume=6\n"
                             "[Configuration2]\n"
                             "Frequency=7\n";
    EXPECT_EQ(Value(text, "Volume", IniDocument::Lookup::Found), 300);
    EXPECT_EQ(Value(text, "Volume", IniDocument::Lookup::Found, "Other"), 2);
    Value(text, "Frequency", IniDocument::Lookup::Missing);
    Value(text, "VOLUME", IniDocument::Lookup::Missing);
}

TEST(IniDocument, ReadsThroughByteOrderMarkAndWindowsLineEnds) {
    EXPECT_EQ(Value("\xEF\xBB\xBF[Configuration]\r\nFrequency=650\r\n", "Frequency", IniDocument::Lookup::Found), 650);
    EXPECT_EQ(Value("[ Configuration ]\n\tDriverID\t=\t3", "DriverID", IniDocument::Lookup::Found), 3);
}

TEST(IniDocument, AnUnreadableValueIsNotANumberAndLeavesTheTargetAlone) {
    const std::string text = "[Configuration]\nA=12abc\nB=99999999999\nC=\n";
    EXPECT_EQ(Value(text, "A", IniDocument::Lookup::NotANumber), -12345);
    EXPECT_EQ(Value(text, "B", IniDocument::Lookup::NotANumber), -12345);
    EXPECT_EQ(Value(text, "C", IniDocument::Lookup::NotANumber), -12345);
    const std::string withNul = "[Configuration]\nD=1\0002\n"s;
    EXPECT_EQ(Value(withNul, "D", IniDocument::Lookup::NotANumber), -12345);
}

TEST(IniDocument, SetReplacesTheFirstEntryAndKeepsEveryOtherByte) {
    const std::string before = "; kept\r\n[Configuration]\r\n  Volume = 12abc ; junk\r\nVolume=5\r\nOther=x\r\n";
    IniDocument document(before);
    document.Set("Configuration", "Volume", 289);
    EXPECT_EQ(document.Text(), "; kept\r\n[Configuration]\r\nVolume=289\r\nVolume=5\r\nOther=x\r\n");
}

TEST(IniDocument, SetAddsAMissingEntryAtTheEndOfItsSection) {
    IniDocument document("[Configuration]\nFrequency=440\n\n[Window]\nX=1\n[Configuration]\nY=2\n");
    document.Set("Configuration", "Volume", 300);
    EXPECT_EQ(document.Text(), "[Configuration]\nFrequency=440\nVolume=300\n\n[Window]\nX=1\n[Configuration]\nY=2\n");

    IniDocument headerOnly("[Configuration]\r\n; comment\r\n");
    headerOnly.Set("Configuration", "DriverID", -1);
    EXPECT_EQ(headerOnly.Text(), "[Configuration]\r\nDriverID=-1\r\n; comment\r\n");
}

TEST(IniDocument, SetAddsTheSectionWhenItIsMissing) {
    IniDocument empty("");
    empty.Set("Configuration", "Volume", 300);
    EXPECT_EQ(empty.Text(), "[Configuration]\nVolume=300\n");

    IniDocument unterminated("[Window]\nX=1");
    unterminated.Set("Configuration", "Volume", INT_MIN);
    EXPECT_EQ(unterminated.Text(), "[Window]\nX=1\n[Configuration]\nVolume=-2147483648\n");
}

TEST(IniDocument, SetAfterAnUnterminatedLastEntryEndsThatLineFirst) {
    IniDocument document("[Configuration]\nFrequency=440");
    document.Set("Configuration", "Volume", 300);
    EXPECT_EQ(document.Text(), "[Configuration]\nFrequency=440\nVolume=300\n");

    IniDocument loneReturn("[Configuration]\nFrequency=440\r");
    loneReturn.Set("Configuration", "Volume", 300);
    EXPECT_EQ(loneReturn.Text(), "[Configuration]\nFrequency=440\r\nVolume=300\r\n");
}

TEST(IniDocument, WhatSetWritesReadsBack) {
    for (const int32_t value : {INT_MIN, -1, 0, 1, 300, INT_MAX}) {
        IniDocument document("garbage\xff\xfe\n[Configuration]\nVolume=1\n");
        document.Set("Configuration", "DicteeLenght", value);
        document.Set("Configuration", "Volume", value);
        EXPECT_EQ(Value(document.Text(), "DicteeLenght", IniDocument::Lookup::Found), value);
        EXPECT_EQ(Value(document.Text(), "Volume", IniDocument::Lookup::Found), value);
    }
}

TEST(IniDocument, OnlyPlainNamesAreWritable) {
    EXPECT_TRUE(IniDocument::IsWritableName("DAHLenght"));
    for (const char* bad : {"", " Volume", "Volume ", "A=B", "[Configuration]", ";x", "#x", "a\nb", "a\rb"}) {
        EXPECT_FALSE(IniDocument::IsWritableName(bad)) << bad;
    }
}

} // namespace
