#include <gtest/gtest.h>

#include "opcodes/IniLoader.h"
#include "support/TempDir.h"

using namespace morvane;

namespace {

OpcodeTable Parsed(const std::string& text, bool expected = true) {
    OpcodeTable table;
    EXPECT_EQ(ParseOpcodeIni(text, table), expected) << text;
    return table;
}

std::vector<int> KnownOpcodes(const OpcodeTable& table) {
    std::vector<int> known;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].known) known.push_back(static_cast<int>(i));
    return known;
}

}  // namespace

TEST(OpcodeIniFileName, NamesEachGameAndNothingElse) {
    EXPECT_EQ(OpcodeIniFileName(kGameGta3), "SCM.ini");
    EXPECT_EQ(OpcodeIniFileName(kGameViceCity), "VICESCM.ini");
    EXPECT_EQ(OpcodeIniFileName(kGameSanAndreas), "SASCM.ini");
    EXPECT_EQ(OpcodeIniFileName(3), "");
    EXPECT_EQ(OpcodeIniFileName(-1), "");
}

TEST(IniSections, OnlyTheFirstSectionIsRead) {
    const OpcodeTable table = Parsed(
        "0003=1,before any section\n[OPCODES]\n0001=1,wait\n00D6=1,if\n[OTHER]\n0002=5,later\n");
    EXPECT_EQ(table.size(), static_cast<std::size_t>(kOpcodeTableSize));
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{0x001, 0x0D6}));
    EXPECT_EQ(table[1].parameterCount, 1);
    EXPECT_FALSE(table[2].known);
    EXPECT_EQ(table[2].parameterCount, 0);
}

TEST(IniSections, NoSectionOrEmptyTextLoadsNothing) {
    EXPECT_TRUE(KnownOpcodes(Parsed("0001=1\n0002=2\n")).empty());
    EXPECT_TRUE(KnownOpcodes(Parsed("")).empty());
    EXPECT_EQ(Parsed("").size(), static_cast<std::size_t>(kOpcodeTableSize));
}

TEST(IniOpcodeLines, HighestOpcodeLoadsAndTheNextEndsTheLoad) {
    const OpcodeTable good = Parsed("[x]\n0BFF=2,last\n");
    EXPECT_TRUE(good[0xBFF].known);
    EXPECT_EQ(good[0xBFF].parameterCount, 2);

    const OpcodeTable bad = Parsed("[x]\n0001=1\n0C00=0,too high\n0002=2\n", false);
    EXPECT_EQ(KnownOpcodes(bad), (std::vector<int>{1}));
}

TEST(IniOpcodeLines, VariableCountLaterLineWinsAndSpacesAroundFields) {
    const OpcodeTable table = Parsed("[x]\n004F=-1,start script\n0001=1\n0001=3\n0002 = 2 ,spaced\n");
    EXPECT_EQ(table[0x04F].parameterCount, kVariableParameterCount);
    EXPECT_EQ(table[1].parameterCount, 3);
    EXPECT_EQ(table[2].parameterCount, 2);
}

TEST(IniOpcodeLines, SkippedLinesAndTabbedLines) {
    const OpcodeTable table = Parsed("[x]\n 0001=1\n;0002=1\n\n\t0003=4\n");
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{3}));
    EXPECT_EQ(table[3].parameterCount, 4);
}

TEST(IniOpcodeLines, SeparatorsRunsHexPrefixAndMissingDigits) {
    const OpcodeTable table = Parsed("[x]\n0x10,,=7,desc\n0011=,desc\n0012=abc\n00zz=9\n");
    EXPECT_EQ(table[0x10].parameterCount, 7);
    EXPECT_TRUE(table[0x11].known);
    EXPECT_EQ(table[0x11].parameterCount, 0);
    EXPECT_EQ(table[0x12].parameterCount, 0);
    EXPECT_TRUE(table[0].known);  // "00zz" reads as 0
    EXPECT_EQ(table[0].parameterCount, 9);
}

TEST(IniOpcodeLines, CountEndingTheLineDoesNotEatTheNextLine) {
    const OpcodeTable table = Parsed("[x]\n0001=1\n0002=2,next\n0003\n0004=4\n");
    EXPECT_EQ(table[1].parameterCount, 1);
    EXPECT_EQ(table[2].parameterCount, 2);
    EXPECT_TRUE(table[3].known);
    EXPECT_EQ(table[3].parameterCount, 0);
    EXPECT_EQ(table[4].parameterCount, 4);
}

TEST(IniOpcodeLines, NegativeOpcodeIsPassedOverWithoutTouchingTheTable) {
    const OpcodeTable table = Parsed("[x]\nFFFF=3\n-1=3\n8000=2\n0001=1\n");
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{1}));
}

TEST(IniLineEnds, CrLfLfAndLoneCrGiveTheSameTable) {
    const std::string lf = "[x]\n\n0001=1,a\n;c\n0002=2,b\n\n00E1=2,button\n[y]\n0003=1\n";
    std::string crlf, cr;
    for (char c : lf) {
        if (c == '\n') { crlf += "\r\n"; cr += '\r'; }
        else { crlf += c; cr += c; }
    }
    const auto expected = KnownOpcodes(Parsed(lf));
    EXPECT_EQ(expected, (std::vector<int>{1, 2, 0xE1}));
    EXPECT_EQ(KnownOpcodes(Parsed(crlf)), expected);
    EXPECT_EQ(KnownOpcodes(Parsed(cr)), expected);
    EXPECT_EQ(Parsed(cr)[0xE1].parameterCount, 2);
}

TEST(IniFiles, EachLoadResetsAndAMissingFileKeepsTheTable) {
    test::TempDir dir;
    const std::string first = dir.Write("SCM.ini", "[x]\n0001=1\n0002=1\n");
    const std::string second = dir.Write("SASCM.ini", "[x]\n0002=3\n");
    OpcodeTable table;
    ASSERT_TRUE(LoadOpcodeTable(first, table));
    ASSERT_TRUE(LoadOpcodeTable(second, table));
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{2}));
    EXPECT_EQ(table[2].parameterCount, 3);

    EXPECT_FALSE(LoadOpcodeTable(dir.File("missing.ini"), table));
    EXPECT_FALSE(LoadOpcodeTable("", table));
    EXPECT_FALSE(LoadOpcodeTable(dir.Path(), table));  // a folder
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{2}));
}

TEST(IniFiles, FindOnlyReturnsKnownOpcodesInRange) {
    OpcodeTable table;
    EXPECT_EQ(table.Find(1), nullptr);  // never loaded
    table = Parsed("[x]\n0001=1\n");
    EXPECT_NE(table.Find(1), nullptr);
    EXPECT_EQ(table.Find(2), nullptr);
    EXPECT_EQ(table.Find(0xC00), nullptr);
    EXPECT_EQ(table.Find(0x7FFF), nullptr);
}
