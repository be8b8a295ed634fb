#include <gtest/gtest.h>

#include "keys/KeyRules.h"

using namespace morvane;

namespace {

KeyTest VKeyTestOf(bool wide, int32_t key) { return KeyTest::VKey(0, key, wide, kKeyOpcodeSanAndreas); }

}  // namespace

TEST(KeyRules, ANarrowKeyParameterTakesVKeysUpTo127AndKeepsAHigherOneItHolds) {
    EXPECT_EQ(CheckVKey(VKeyTestOf(false, 0x41), 0x7F), KeyRefusal::Accepted);
    EXPECT_EQ(CheckVKey(VKeyTestOf(false, 0x41), 0x80), KeyRefusal::NeedsWideParameter);
    EXPECT_EQ(CheckVKey(VKeyTestOf(false, 0xA0), 0xA0), KeyRefusal::Accepted);  // already there
    EXPECT_EQ(CheckVKey(VKeyTestOf(false, 0xA0), 0xA1), KeyRefusal::NeedsWideParameter);
    EXPECT_EQ(CheckVKey(VKeyTestOf(true, 0x41), 0xFF), KeyRefusal::Accepted);
    EXPECT_EQ(CheckVKey(VKeyTestOf(true, 0x41), 0x100), KeyRefusal::VKeyOutOfRange);
    EXPECT_EQ(CheckVKey(VKeyTestOf(true, 0x41), -1), KeyRefusal::VKeyOutOfRange);
}

TEST(KeyRules, RangesOfGameKeysAndPads) {
    EXPECT_EQ(CheckRange(KeyKind::GameKey, 19), KeyRefusal::Accepted);
    EXPECT_EQ(CheckRange(KeyKind::GameKey, 20), KeyRefusal::GameKeyOutOfRange);
    EXPECT_EQ(CheckRange(KeyKind::Pad, 1), KeyRefusal::Accepted);
    EXPECT_EQ(CheckRange(KeyKind::Pad, 2), KeyRefusal::PadOutOfRange);
    EXPECT_EQ(CheckRange(KeyKind::Pad, -1), KeyRefusal::PadOutOfRange);
}

TEST(KeyRules, RefusalsReadAsPlainWords) {
    EXPECT_EQ(RefusalText(KeyRefusal::NeedsWideParameter, 128),
              "VKey 128 needs 16 bits and the key parameter there has 8");
    // The window names a VKey as its VKey list does; a number no VKey has stays a number.
    EXPECT_EQ(RefusalText(KeyRefusal::NeedsWideParameter, 0xA0, VKeyNaming::AsListed),
              "Left Shift (0xA0) needs 16 bits and the key parameter there has 8");
    EXPECT_EQ(RefusalText(KeyRefusal::NeedsWideParameter, 0xE8, VKeyNaming::AsListed),
              "VKey 0xE8 needs 16 bits and the key parameter there has 8");
    EXPECT_EQ(RefusalText(KeyRefusal::VKeyOutOfRange, 300, VKeyNaming::AsListed), "VKey 300 is not between 0 and 255");
    EXPECT_EQ(RefusalText(KeyRefusal::PadOutOfRange, 2), "pad 2 is not 0 or 1");
    EXPECT_EQ(RefusalText(KeyRefusal::Accepted, 5), "");
}

// ---- cheat codes ----

namespace {

KeyTest CheatTest(StringForm form, const std::string& code) {
    const int32_t room = form == StringForm::LengthPrefixed ? static_cast<int32_t>(code.size()) : FixedStringRoom(form);
    return KeyTest::Cheat(0, StringConstant{form, code, room}, 0x0ADC);
}

}  // namespace

TEST(CheatRules, AFixedStringTakesUpToItsRoomAndALengthPrefixedOneExactlyItsLength) {
    const KeyTest eight = CheatTest(StringForm::Fixed8, "BOOM");
    EXPECT_EQ(CheckCheatCode(eight, "SEVENCH"), CheatRefusal::Accepted);
    EXPECT_EQ(CheckCheatCode(eight, "EIGHTCHR"), CheatRefusal::TooLong);
    EXPECT_EQ(CheckCheatCode(eight, "A"), CheatRefusal::Accepted);
    EXPECT_EQ(CheckCheatCode(eight, ""), CheatRefusal::Empty);
    EXPECT_EQ(CheckCheatCode(CheatTest(StringForm::Inline8, "GUNS"), "EIGHTCHR"), CheatRefusal::TooLong);
    const KeyTest sixteen = CheatTest(StringForm::Fixed16, "X");
    EXPECT_EQ(CheckCheatCode(sixteen, "FIFTEENCHARSXYZ"), CheatRefusal::Accepted);
    EXPECT_EQ(CheckCheatCode(sixteen, "SIXTEENCHARSWXYZ"), CheatRefusal::TooLong);
    const KeyTest four = CheatTest(StringForm::LengthPrefixed, "BOOM");
    EXPECT_EQ(CheckCheatCode(four, "BANG"), CheatRefusal::Accepted);
    EXPECT_EQ(CheckCheatCode(four, "BAN"), CheatRefusal::WrongLength);
    EXPECT_EQ(CheckCheatCode(four, "BANGS"), CheatRefusal::WrongLength);
}

TEST(CheatRules, OnlyLettersAndDigitsWrittenInUpperCaseAndTheOldCodeMayStay) {
    const KeyTest eight = CheatTest(StringForm::Fixed8, "BOOM");
    EXPECT_EQ(CheatCodeToWrite("bang2x"), "BANG2X");
    EXPECT_EQ(CheckCheatCode(eight, "bang2x"), CheatRefusal::Accepted);
    for (const char* bad : {"BO OM", "BO-OM", "\xC3\x84XY", "AB\tC", "\x01"})
        EXPECT_EQ(CheckCheatCode(eight, bad), CheatRefusal::NotLettersAndDigits) << bad;
    // What the file already holds passes, even when no new code could be it.
    EXPECT_EQ(CheckCheatCode(CheatTest(StringForm::Fixed8, "OLD-ONE"), "OLD-ONE"), CheatRefusal::Accepted);
    EXPECT_EQ(CheckCheatCode(CheatTest(StringForm::Inline8, "EIGHTCHR"), "EIGHTCHR"), CheatRefusal::Accepted);
}

TEST(CheatRules, RefusalsSayWhatWouldFit) {
    EXPECT_EQ(CheatRefusalText(CheatRefusal::WrongLength, CheatTest(StringForm::LengthPrefixed, "BOOM")),
              "this code must have exactly 4 characters");
    EXPECT_EQ(CheatRefusalText(CheatRefusal::TooLong, CheatTest(StringForm::Fixed8, "BOOM")),
              "this code may have at most 7 characters");
    EXPECT_EQ(CheatRefusalText(CheatRefusal::Empty, CheatTest(StringForm::Fixed16, "BOOM")),
              "this code must have 1 to 15 characters");
    EXPECT_EQ(CheatRefusalText(CheatRefusal::NotLettersAndDigits, CheatTest(StringForm::Fixed8, "BOOM")),
              "a cheat code has only letters A-Z and digits");
    EXPECT_EQ(CheatRefusalText(CheatRefusal::Accepted, CheatTest(StringForm::Fixed8, "BOOM")), "");
}
