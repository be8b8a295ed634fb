#include <gtest/gtest.h>

#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "support/Printers.h"
#include "fixtures/TempDir.h"

using namespace morvane;

namespace {

OpcodeTable Parsed(const std::string& text) {
    OpcodeTable table;
    ParseOpcodeIni(text, kGameSanAndreas, table);
    return table;
}

std::vector<int> KnownOpcodes(const OpcodeTable& table) {
    std::vector<int> known;
    for (std::size_t i = 0; i < table.Size(); ++i)
        if (table.Find(static_cast<uint32_t>(i)) != nullptr) known.push_back(static_cast<int>(i));
    return known;
}

}  // namespace

TEST(OpcodeIniFileName, NamesEachGameAndNothingElse) {
    EXPECT_EQ(OpcodeIniFileName(kGameGta3), "SCM.ini");
    EXPECT_EQ(OpcodeIniFileName(kGameViceCity), "VICESCM.ini");
    EXPECT_EQ(OpcodeIniFileName(kGameSanAndreas), "SASCM.ini");
    // Numbers that name no game have no file either: they are no GameId.
    EXPECT_EQ(GameFromNumber(6), std::nullopt);
    EXPECT_EQ(GameFromNumber(5), kGameSanAndreasMobile);
    EXPECT_EQ(GameFromNumber(-1), std::nullopt);
    EXPECT_EQ(GameFromNumber(2), kGameSanAndreas);
}

TEST(IniSections, OnlyTheFirstSectionIsRead) {
    const OpcodeTable table =
        Parsed("0003=1,before any section\n[OPCODES]\n0001=1,wait\n00D6=1,if\n[OTHER]\n0002=5,later\n");
    EXPECT_EQ(table.Size(), static_cast<std::size_t>(kOpcodeTableSize));
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{0x001, 0x0D6}));
    EXPECT_EQ(table.Find(1)->parameterCount, 1);
    EXPECT_EQ(table.Find(2), nullptr);
}

TEST(IniSections, NoSectionOrEmptyTextLoadsNothing) {
    EXPECT_TRUE(KnownOpcodes(Parsed("0001=1\n0002=2\n")).empty());
    EXPECT_TRUE(KnownOpcodes(Parsed("")).empty());
    EXPECT_EQ(Parsed("").Size(), static_cast<std::size_t>(kOpcodeTableSize));
}

TEST(IniOpcodeLines, TheWholeRangeUpTo7FFFLoadsAndLinesBeyondArePassedOver) {
    const OpcodeTable table = Parsed(
        "[x]\n0001=1\n0BFF=2,old last\n0C00=0,CLEO\n0E3D=1,CLEO+\n2080=1,CLEO 5\n7FFF=3,highest\n"
        "8000=2,negation flag\n10001=1,beyond 16 bits\n0002=2\n");
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{1, 2, 0xBFF, 0xC00, 0xE3D, 0x2080, 0x7FFF}));
    EXPECT_EQ(table.Find(0x7FFF)->parameterCount, 3);
    EXPECT_EQ(table.Find(0x2080)->parameterCount, 1);
    EXPECT_EQ(table.Find(0x8000), nullptr);
    EXPECT_EQ(table.Find(0xFFFF), nullptr);
}

TEST(IniOpcodeLines, CountsBeyond32BitsClampToTheNearestEnd) {
    const OpcodeTable table = Parsed("[x]\n0001=4294967297\n0002=-4294967297\n0003=2147483647\n");
    EXPECT_EQ(table.Find(1)->parameterCount, INT32_MAX);
    EXPECT_EQ(table.Find(2)->parameterCount, INT32_MIN);
    EXPECT_EQ(table.Find(3)->parameterCount, INT32_MAX);
}

TEST(OpcodeRoles, KeyTestsAreKnownByTheGameTheTableWasLoadedFor) {
    const std::string ini = "[x]\n0001=1\n00E1=2\n05B6=0\n05EE=1\n0AB0=1\n0ADC=1\n0C89=1\n0E3D=1\n0E3E=2\n2080=1\n";
    auto roleIn = [&](GameId game, int opcode) {
        OpcodeTable table;
        ParseOpcodeIni(ini, game, table);
        return table.Entries()[opcode].role;
    };
    for (int vkey : {0x0AB0, 0x0E3D, 0x2080, 0x0C89})
        EXPECT_EQ(roleIn(kGameSanAndreas, vkey), OpcodeRole::VKeyTest) << vkey;
    for (int button : {0x00E1, 0x0E3E}) EXPECT_EQ(roleIn(kGameSanAndreas, button), OpcodeRole::ButtonTest) << button;
    EXPECT_EQ(roleIn(kGameSanAndreas, 0x05B6), OpcodeRole::SkipsData);
    for (GameId game : kAllGames) EXPECT_EQ(roleIn(game, 0x0ADC), OpcodeRole::CheatTest) << GameNumber(game);
    EXPECT_EQ(roleIn(kGameSanAndreas, 0x05EE), OpcodeRole::Plain);
    EXPECT_EQ(roleIn(kGameSanAndreas, 0x0001), OpcodeRole::Plain);
    for (GameId older : {kGameGta3, kGameViceCity}) {
        EXPECT_EQ(roleIn(older, 0x05EE), OpcodeRole::VKeyTest);
        EXPECT_EQ(roleIn(older, 0x0AB0), OpcodeRole::VKeyTest);
        EXPECT_EQ(roleIn(older, 0x00E1), OpcodeRole::ButtonTest);
        // The libraries of San Andreas mean nothing in the older games.
        for (int plain : {0x0E3D, 0x2080, 0x0C89, 0x0E3E, 0x05B6})
            EXPECT_EQ(roleIn(older, plain), OpcodeRole::Plain) << plain;
    }
}

TEST(IniOpcodeLines, VariableCountLaterLineWinsAndSpacesAroundFields) {
    const OpcodeTable table = Parsed("[x]\n004F=-1,start script\n0001=1\n0001=3\n0002 = 2 ,spaced\n");
    EXPECT_EQ(table.Find(0x04F)->parameterCount, kVariableParameterCount);
    EXPECT_EQ(table.Find(1)->parameterCount, 3);
    EXPECT_EQ(table.Find(2)->parameterCount, 2);
}

TEST(IniOpcodeLines, SkippedLinesAndTabbedLines) {
    const OpcodeTable table = Parsed("[x]\n 0001=1\n;0002=1\n\n\t0003=4\n");
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{3}));
    EXPECT_EQ(table.Find(3)->parameterCount, 4);
}

TEST(IniOpcodeLines, SeparatorsRunsHexPrefixAndMissingDigits) {
    const OpcodeTable table = Parsed("[x]\n0x10,,=7,desc\n0011=,desc\n0012=abc\n00zz=9\n");
    EXPECT_EQ(table.Find(0x10)->parameterCount, 7);
    EXPECT_NE(table.Find(0x11), nullptr);
    EXPECT_EQ(table.Find(0x11)->parameterCount, 0);
    EXPECT_EQ(table.Find(0x12)->parameterCount, 0);
    EXPECT_NE(table.Find(0), nullptr);  // "00zz" reads as 0
    EXPECT_EQ(table.Find(0)->parameterCount, 9);
}

TEST(IniOpcodeLines, CountEndingTheLineDoesNotEatTheNextLine) {
    const OpcodeTable table = Parsed("[x]\n0001=1\n0002=2,next\n0003\n0004=4\n");
    EXPECT_EQ(table.Find(1)->parameterCount, 1);
    EXPECT_EQ(table.Find(2)->parameterCount, 2);
    EXPECT_NE(table.Find(3), nullptr);
    EXPECT_EQ(table.Find(3)->parameterCount, 0);
    EXPECT_EQ(table.Find(4)->parameterCount, 4);
}

TEST(IniOpcodeLines, NegativeOpcodeIsPassedOverWithoutTouchingTheTable) {
    const OpcodeTable table = Parsed("[x]\nFFFF=3\n-1=3\n8000=2\n0001=1\n");
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{1}));
}

TEST(IniLineEnds, CrLfLfAndLoneCrGiveTheSameTable) {
    const std::string lf = "[x]\n\n0001=1,a\n;c\n0002=2,b\n\n00E1=2,button\n[y]\n0003=1\n";
    std::string crlf, cr;
    for (char c : lf) {
        if (c == '\n') {
            crlf += "\r\n";
            cr += '\r';
        } else {
            crlf += c;
            cr += c;
        }
    }
    const auto expected = KnownOpcodes(Parsed(lf));
    EXPECT_EQ(expected, (std::vector<int>{1, 2, 0xE1}));
    EXPECT_EQ(KnownOpcodes(Parsed(crlf)), expected);
    EXPECT_EQ(KnownOpcodes(Parsed(cr)), expected);
    EXPECT_EQ(Parsed(cr).Find(0xE1)->parameterCount, 2);
}

TEST(IniFiles, EachLoadResetsAndAMissingFileKeepsTheTable) {
    test::TempDir dir;
    const std::string first = dir.Write("SCM.ini", "[x]\n0001=1\n0002=1\n");
    const std::string second = dir.Write("SASCM.ini", "[x]\n0002=3\n");
    OpcodeTable table;
    ASSERT_TRUE(LoadOpcodeFile(first, kGameGta3, table));
    ASSERT_TRUE(LoadOpcodeFile(second, kGameSanAndreas, table));
    EXPECT_EQ(KnownOpcodes(table), (std::vector<int>{2}));
    EXPECT_EQ(table.Find(2)->parameterCount, 3);

    EXPECT_FALSE(LoadOpcodeFile(dir.File("missing.ini"), kGameGta3, table));
    EXPECT_FALSE(LoadOpcodeFile("", kGameGta3, table));
    EXPECT_FALSE(LoadOpcodeFile(dir.Path(), kGameGta3, table));  // a folder
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
    EXPECT_EQ(table.Find(0x8000), nullptr);
}

TEST(IniDescriptions, AreTheTextAfterTheCountOfEachKnownOpcode) {
    const OpcodeTable table = Parsed(
        "[OPCODES]\n0AB0=1,key_pressed %1d%\r\n0001=1,wait %1d% ms  \t\n0051=0\n0052=0,\n"
        "0003=1,first\n0003=2,second, with a comma\n0004=2,\n0005=1,again\n");
    EXPECT_EQ(table.Description(0x0AB0), "key_pressed %1d%");
    EXPECT_EQ(table.Description(0x0001), "wait %1d% ms");  // trailing spaces dropped
    EXPECT_EQ(table.Description(0x0051), "");
    EXPECT_EQ(table.Description(0x0052), "");
    EXPECT_EQ(table.Description(0x0003), "second, with a comma");  // a later line wins
    EXPECT_EQ(table.Description(0x0004), "");
    EXPECT_EQ(table.Description(0x0005), "again");
    EXPECT_EQ(table.Description(0x0002), "");  // unknown
    EXPECT_EQ(table.Description(0x9000), "");  // outside the table
}

TEST(IniDescriptions, ALineRepeatedManyTimesKeepsOneSlotAndALoadDropsThem) {
    std::string text = "[OPCODES]\n";
    for (int i = 0; i < 140000; ++i) text += i % 2 ? "0001=1,wait %1d%\n" : "0001=1,\n";
    text += "0002=1,jump %1p%\n";
    OpcodeTable table = Parsed(text);
    EXPECT_EQ(table.Description(0x0001), "wait %1d%");
    EXPECT_EQ(table.Description(0x0002), "jump %1p%");
    ParseOpcodeIni("[x]\n0002=1\n", kGameSanAndreas, table);
    EXPECT_EQ(table.Description(0x0002), "");
}
