#include <gtest/gtest.h>

#include <cstring>

#include "keys/KeyCodes.h"
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
    EXPECT_EQ(VKeyName(0x6C), "Numpad Separator");
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
    EXPECT_EQ(GameKeyName(8), "D-pad Up: Grp Ctrl Frwd | Next Radio");
    EXPECT_EQ(GameKeyName(12), "Start");
    EXPECT_EQ(GameKeyName(16), "Cross: Sprint | Accelerate");
    EXPECT_EQ(GameKeyName(19), "R3: Look Behind | Submission");
}

TEST(KeyNameTable, EveryKeyPressKeyCanTakeHasAName) {
    // Whatever key the toolkit reports, the VKey it becomes is listed by name.
    for (int keyCode = 0; keyCode < 512; ++keyCode) {
        for (const uint32_t raw : {0u, 0xFFE1u, 0xFFE4u, 0xFFEAu}) {
            const auto vkey = VKeyForToolkitKey(keyCode, raw);
            if (!vkey) continue;
            EXPECT_NE(VKeyName(*vkey), "?") << "toolkit key " << keyCode << ", VKey " << *vkey;
        }
    }
}

TEST(KeyTestLabel, TheKindPicksTheRunAndOutsideKeysShowTheirNumber) {
    EXPECT_EQ(KeyTestLabel(KeyTest::VKey(0, 0x41, false, 0x0AB0)), "A Key");
    EXPECT_EQ(KeyTestLabel(KeyTest::Button(0, 0, 0x11, 0x00E1)), "Circle: Fire");
    EXPECT_EQ(KeyTestLabel(KeyTest::VKey(0, 0x11, false, 0x0AB0)), "Ctrl");
    EXPECT_EQ(KeyTestLabel(KeyTest::VKey(0, 300, true, 0x0AB0)), "300");
    EXPECT_EQ(KeyTestLabel(KeyTest::VKey(0, 256, true, 0x0AB0)), "256");
    EXPECT_EQ(KeyTestLabel(KeyTest::Button(0, 1, 20, 0x00E1)), "20");
    EXPECT_EQ(KeyTestLabel(KeyTest::VKey(0, -1, true, 0x0AB0)), "-1");
}
