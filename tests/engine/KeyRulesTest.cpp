#include <gtest/gtest.h>

#include "keys/KeyRules.h"

using namespace morvane;

namespace {

KeyOccurrence KeyTest(bool wide, int32_t key) { return KeyOccurrence::VKeyTest(0, key, wide, kKeyOpcodeSanAndreas); }

}  // namespace

TEST(KeyRules, ANarrowKeyParameterTakesVKeysUpTo127AndKeepsAHigherOneItHolds) {
    EXPECT_EQ(CheckVKey(KeyTest(false, 0x41), 0x7F), KeyRefusal::Accepted);
    EXPECT_EQ(CheckVKey(KeyTest(false, 0x41), 0x80), KeyRefusal::NeedsWideParameter);
    EXPECT_EQ(CheckVKey(KeyTest(false, 0xA0), 0xA0), KeyRefusal::Accepted);  // already there
    EXPECT_EQ(CheckVKey(KeyTest(false, 0xA0), 0xA1), KeyRefusal::NeedsWideParameter);
    EXPECT_EQ(CheckVKey(KeyTest(true, 0x41), 0xFF), KeyRefusal::Accepted);
    EXPECT_EQ(CheckVKey(KeyTest(true, 0x41), 0x100), KeyRefusal::VKeyOutOfRange);
    EXPECT_EQ(CheckVKey(KeyTest(true, 0x41), -1), KeyRefusal::VKeyOutOfRange);
}

TEST(KeyRules, RangesOfGameKeysAndPads) {
    EXPECT_EQ(CheckRange(KeyKind::GameKey, 19), KeyRefusal::Accepted);
    EXPECT_EQ(CheckRange(KeyKind::GameKey, 20), KeyRefusal::GameKeyOutOfRange);
    EXPECT_EQ(CheckRange(KeyKind::Pad, 1), KeyRefusal::Accepted);
    EXPECT_EQ(CheckRange(KeyKind::Pad, 2), KeyRefusal::PadOutOfRange);
    EXPECT_EQ(CheckRange(KeyKind::Pad, -1), KeyRefusal::PadOutOfRange);
}

TEST(KeyRules, RefusalsReadAsPlainWords) {
    EXPECT_EQ(RefusalText(KeyRefusal::NeedsWideParameter, 128), "VKey 128 needs 16 bits and the key parameter there has 8");
    EXPECT_EQ(RefusalText(KeyRefusal::PadOutOfRange, 2), "pad 2 is not 0 or 1");
    EXPECT_EQ(RefusalText(KeyRefusal::Accepted, 5), "");
}
