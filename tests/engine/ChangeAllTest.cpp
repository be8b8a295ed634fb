#include <gtest/gtest.h>

#include "keys/ChangeAll.h"
#include "support/Printers.h"

using namespace morvane;

namespace {

KeyTest Key(int32_t offset, int32_t key, bool wide) { return KeyTest::VKey(offset, key, wide, 0x0AB0); }
KeyTest Button(int32_t offset, int32_t pad, int32_t key) { return KeyTest::Button(offset, pad, key, 0x00E1); }

std::vector<int32_t> Keys(const std::vector<KeyTest>& tests) {
    std::vector<int32_t> keys;
    for (const KeyTest& t : tests) keys.push_back(t.key);
    return keys;
}

}  // namespace

TEST(ChangeAll, EveryTestOfTheKeyAndKindChangesAndNarrowOnesRefuseHighKeys) {
    const std::vector<KeyTest> read = {Key(0, 0x71, false), Key(4, 0x71, true), Key(9, 0x72, false),
                                       Button(13, 0, 0x71 - 0x71 + 5), Key(19, 0x71, false)};
    std::vector<KeyTest> result = read;
    const ChangeReport report = ApplyKeyChange(read, result, {KeyTestKind::VKey, std::nullopt, 0x71, 0x76});
    EXPECT_EQ(report.changed, 3u);
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(Keys(result), (std::vector<int32_t>{0x76, 0x76, 0x72, 5, 0x76}));

    // To F17 (128): the 8-bit parameters keep their key, the 16-bit one takes it.
    result = read;
    const ChangeReport high = ApplyKeyChange(read, result, {KeyTestKind::VKey, std::nullopt, 0x71, 0x80});
    EXPECT_EQ(high.changed, 1u);
    EXPECT_EQ(high.refused, (std::vector<std::size_t>{0, 4}));
    EXPECT_EQ(Keys(result), (std::vector<int32_t>{0x71, 0x80, 0x72, 5, 0x71}));
}

TEST(ChangeAll, ButtonsChangeOnTheirPadOnlyAndKeysOfTheOtherKindStay) {
    const std::vector<KeyTest> read = {Button(0, 0, 16), Button(6, 1, 16), Key(12, 16, false), Button(16, 0, 17)};
    std::vector<KeyTest> result = read;
    const ChangeReport report = ApplyKeyChange(read, result, {KeyTestKind::Button, 0, 16, 14});
    EXPECT_EQ(report.changed, 1u);
    EXPECT_EQ(Keys(result), (std::vector<int32_t>{14, 16, 16, 17}));
    // A game key beyond 19 is refused.
    const ChangeReport beyond = ApplyKeyChange(read, result, {KeyTestKind::Button, std::nullopt, 17, 20});
    EXPECT_EQ(beyond.refused, (std::vector<std::size_t>{3}));
}

TEST(ChangeAll, ChangesLookAtTheKeysAsReadSoTwoCanSwapKeys) {
    const std::vector<KeyTest> read = {Key(0, 'A', false), Key(4, 'B', false)};
    std::vector<KeyTest> result = read;
    ApplyKeyChange(read, result, {KeyTestKind::VKey, std::nullopt, 'A', 'B'});
    ApplyKeyChange(read, result, {KeyTestKind::VKey, std::nullopt, 'B', 'A'});
    EXPECT_EQ(Keys(result), (std::vector<int32_t>{'B', 'A'}));
}
