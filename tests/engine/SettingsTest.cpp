#include <gtest/gtest.h>

#include "settings/Settings.h"

using namespace morvane;

TEST(ParseSavedGame, DigitsOfTheThreeGames) {
    EXPECT_EQ(ParseSavedGame("0"), kGameGta3);
    EXPECT_EQ(ParseSavedGame("1"), kGameViceCity);
    EXPECT_EQ(ParseSavedGame("2"), kGameSanAndreas);
    EXPECT_EQ(ParseSavedGame("3"), kGameGta3Mobile);
    EXPECT_EQ(ParseSavedGame("5"), kGameSanAndreasMobile);
    EXPECT_EQ(ParseSavedGame("6"), kGameGta3);
}

TEST(ParseSavedGame, ReadInBaseSixteenCutToEightBits) {
    EXPECT_EQ(ParseSavedGame("0x2"), kGameSanAndreas);
    EXPECT_EQ(ParseSavedGame("0X1"), kGameViceCity);
    EXPECT_EQ(ParseSavedGame("102"), kGameSanAndreas);  // 0x102, low byte 2
    EXPECT_EQ(ParseSavedGame("10"), kGameGta3);         // 0x10
    EXPECT_EQ(ParseSavedGame("1g"), kGameViceCity);     // stops at the first non-digit
    EXPECT_EQ(ParseSavedGame("-1"), kGameGta3);
    EXPECT_EQ(ParseSavedGame("ffffffffffffffffffff"), kGameGta3);
}

TEST(ParseSavedGame, OnlyTheFirstWordCounts) {
    EXPECT_EQ(ParseSavedGame("  \t\r\n\n2"), kGameSanAndreas);
    EXPECT_EQ(ParseSavedGame("1 2"), kGameViceCity);
    EXPECT_EQ(ParseSavedGame("1\n2"), kGameViceCity);
    EXPECT_EQ(ParseSavedGame("x2"), kGameGta3);
    EXPECT_EQ(ParseSavedGame(""), kGameGta3);
    EXPECT_EQ(ParseSavedGame(std::string("\0"
                                         "2",
                                         2)),
              kGameGta3);
}

TEST(FormatSavedGame, OneDecimalCharacterWithoutLineEnd) {
    EXPECT_EQ(FormatSavedGame(kGameGta3), "0");
    EXPECT_EQ(FormatSavedGame(kGameViceCity), "1");
    EXPECT_EQ(FormatSavedGame(kGameSanAndreas), "2");
    for (const GameId g : kAllGames) EXPECT_EQ(ParseSavedGame(FormatSavedGame(g)), g);
}
