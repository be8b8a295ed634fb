#include <gtest/gtest.h>

#include "keys/KeyRules.h"
#include "session/KeyChoices.h"

using namespace morvane;

namespace {

std::vector<std::string> Names(const KeyChoices& choices) {
    std::vector<std::string> names;
    for (std::size_t row = 0; row < choices.Count(); ++row) names.push_back(choices.NameAt(row));
    return names;
}

TEST(KeyChoicesTest, TypedWordsFindKeysByTheStartsOfTheWordsOfTheirNames) {
    KeyChoices vkeys = KeyChoices::VKeys();
    EXPECT_EQ(vkeys.Count(), static_cast<std::size_t>(kVKeyCount));
    EXPECT_EQ(vkeys.NameAt(0x74), "F5 (0x74)");

    struct Case {
        const char* typed;
        std::vector<std::string> found;
    };
    const Case cases[] = {
        {"0x74", {"F5 (0x74)"}},
        {"LEFT shift", {"Left Shift (0xA0)"}},
        {"  shift  left ", {"Left Shift (0xA0)"}},  // words in any order, spaces around
        {"f1",
         {"F1 (0x70)", "F10 (0x79)", "F11 (0x7A)", "F12 (0x7B)", "F13 (0x7C)", "F14 (0x7D)", "F15 (0x7E)", "F16 (0x7F)",
          "F17 (0x80)", "F18 (0x81)", "F19 (0x82)"}},
        {"ift", {}},  // inside a word
        {"no such key", {}},
    };
    for (const Case& c : cases) {
        vkeys.SetFilter(c.typed);
        EXPECT_EQ(Names(vkeys), c.found) << c.typed;
    }

    // A game key is found by its number or by what it does.
    KeyChoices buttons = KeyChoices::GameKeys();
    buttons.SetFilter("sprint");
    EXPECT_EQ(Names(buttons), (std::vector<std::string>{"16  Cross: Sprint | Accelerate"}));
    buttons.SetFilter("19 ");
    ASSERT_EQ(buttons.Count(), 1u);
    EXPECT_EQ(buttons.KeyAt(0), 19);

    // An empty text shows every key again, each on the row of its number.
    buttons.SetFilter("");
    EXPECT_EQ(buttons.Count(), static_cast<std::size_t>(kGameKeyCount));
    EXPECT_EQ(buttons.RowOf(7), 7u);
}

TEST(KeyChoicesTest, RowsOfKeysFollowTheFilter) {
    KeyChoices vkeys = KeyChoices::VKeys();
    vkeys.SetFilter("shift");
    ASSERT_TRUE(vkeys.RowOf(0xA1).has_value());
    EXPECT_EQ(vkeys.KeyAt(*vkeys.RowOf(0xA1)), 0xA1);
    EXPECT_FALSE(vkeys.RowOf(0x74).has_value());  // F5 is not shown
    EXPECT_FALSE(vkeys.RowOf(kVKeyCount).has_value());
}

TEST(KeyChoicesTest, KeyboardMovesStopAtTheEndsOfTheList) {
    KeyChoices vkeys = KeyChoices::VKeys();
    vkeys.SetFilter("f1");  // F1, F10-F19: 11 rows, the last row 10
    struct Case {
        std::optional<std::size_t> from;
        ListMove move;
        std::optional<std::size_t> to;
    };
    const Case cases[] = {
        {3, ListMove::Down, 4},
        {10, ListMove::Down, 10},
        {3, ListMove::Up, 2},
        {0, ListMove::Up, 0},
        {2, ListMove::PageDown, 6},
        {8, ListMove::PageDown, 10},
        {6, ListMove::PageUp, 2},
        {3, ListMove::PageUp, 0},
        {5, ListMove::First, 0},
        {5, ListMove::Last, 10},  // nothing selected: down starts at the top, up at the bottom
        {std::nullopt, ListMove::Down, 0},
        {std::nullopt, ListMove::Up, 10},
        {42, ListMove::Up, 10},  // a row the filter took away
    };
    for (const Case& c : cases)
        EXPECT_EQ(vkeys.Move(c.from, c.move, 4), c.to)
            << (c.from ? static_cast<int>(*c.from) : -1) << " move " << static_cast<int>(c.move);
    // A page of no rows still moves one.
    EXPECT_EQ(vkeys.Move(3, ListMove::PageDown, 0), 4u);

    vkeys.SetFilter("no such key");
    EXPECT_FALSE(vkeys.Move(std::nullopt, ListMove::Down, 4).has_value());
}

}  // namespace
