#include <gtest/gtest.h>

#include <cstring>

#include "keys/KeyNames.h"

using namespace morvane;

TEST(KeyNameTable, NamedCodesAndGaps) {
    EXPECT_EQ(VKeyName(0x00), "?");
    EXPECT_EQ(VKeyName(0x01), "Left mouse button");
    EXPECT_EQ(VKeyName(0x0D), "Enter");
    EXPECT_EQ(VKeyName(0x30), "0 Key");
    EXPECT_EQ(VKeyName(0x39), "9 Key");
    EXPECT_EQ(VKeyName(0x41), "A Key");
    EXPECT_EQ(VKeyName(0x5A), "Z Key");
    EXPECT_EQ(VKeyName(0x5D), "Application Key");
    EXPECT_EQ(VKeyName(0x6C), "?");
    EXPECT_EQ(VKeyName(0x6F), "Numpad /");
    EXPECT_EQ(VKeyName(0x70), "F1");
    EXPECT_EQ(VKeyName(0x7F), "F16");
    EXPECT_EQ(VKeyName(0x80), "F17");
    EXPECT_EQ(VKeyName(0x87), "F24");
    EXPECT_EQ(VKeyName(0x88), "?");
    EXPECT_EQ(VKeyName(0xC0), "` Key");
    EXPECT_EQ(VKeyName(0xDC), "\\ Key");
    EXPECT_EQ(VKeyName(0xFB), "Zoom key");
    EXPECT_EQ(VKeyName(0xFF), "?");
}

TEST(KeyNameTable, NoNameStartsOrEndsWithASpace) {
    for (const char* name : kKeyNameTable) {
        const std::string text = name;
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.front(), ' ') << '"' << text << '"';
        EXPECT_NE(text.back(), ' ') << '"' << text << '"';
    }
    EXPECT_EQ(VKeyName(0xA0), "Left Shift");
    EXPECT_EQ(VKeyName(0x5B), "Left Windows Key");
}

TEST(KeyNameTable, EveryGameKeyNamesItsPadControl) {
    for (int key = 0; key < kGameKeyCount; ++key) EXPECT_NE(GameKeyName(key), "?") << key;
    EXPECT_EQ(GameKeyName(0), "Left Stick X: Left/Right");
    EXPECT_EQ(GameKeyName(3), "Right Stick Y: Special ctrl up/down");
    EXPECT_EQ(GameKeyName(8), "D-pad Up: Grp Ctrl Frwd|Next Radio");
    EXPECT_EQ(GameKeyName(12), "Start");
    EXPECT_EQ(GameKeyName(16), "Cross: Sprint | Accelerate");
    EXPECT_EQ(GameKeyName(19), "R3: Look Behind | Submission");
}

TEST(KeyNameTable, CountsOfNamedEntries) {
    int namedVKeys = 0;
    for (int c = 0; c < kVKeyCount; ++c) namedVKeys += std::strcmp(kKeyNameTable[c], "?") != 0;
    EXPECT_EQ(namedVKeys, 128);  // 0xC0 among them
}

TEST(OccurrenceLabel, TheKindPicksTheRunAndOutsideKeysShowTheirNumber) {
    EXPECT_EQ(OccurrenceLabel(KeyOccurrence::VKeyTest(0, 0x41, false, 0x0AB0)), "A Key");
    EXPECT_EQ(OccurrenceLabel(KeyOccurrence::ButtonTest(0, 0, 0x11, 0x00E1)), "Circle: Fire");
    EXPECT_EQ(OccurrenceLabel(KeyOccurrence::VKeyTest(0, 0x11, false, 0x0AB0)), "Ctrl");
    EXPECT_EQ(OccurrenceLabel(KeyOccurrence::VKeyTest(0, 300, true, 0x0AB0)), "300");
    EXPECT_EQ(OccurrenceLabel(KeyOccurrence::VKeyTest(0, 256, true, 0x0AB0)), "256");
    EXPECT_EQ(OccurrenceLabel(KeyOccurrence::ButtonTest(0, 1, 20, 0x00E1)), "20");
    EXPECT_EQ(OccurrenceLabel(KeyOccurrence::VKeyTest(0, -1, true, 0x0AB0)), "-1");
}
