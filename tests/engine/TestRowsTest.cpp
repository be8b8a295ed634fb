#include <gtest/gtest.h>

#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "session/TestRows.h"

using namespace morvane;

namespace {

// The demo San Andreas key script: Y at 0x14, Left Shift at 0x36, F2 at 0x53,
// Cross on pad 1 at 0x99, R1 on pad 2 at 0xB9.
class TestRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto table = std::make_shared<OpcodeTable>();
        ASSERT_TRUE(LoadOpcodeFile(std::string(MORVANE_SOURCE_DIR) + "/demo/SASCM.ini", kGameSanAndreas, *table));
        const Status opened = session.Open(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_keys.cs", kGameSanAndreas, table,
                                           HeaderSkip::ByName);
        ASSERT_TRUE(opened) << opened.Cause();
    }
    // The offsets of the rows, in order.
    std::vector<std::string> Shown() {
        rows.Update(session);
        std::vector<std::string> shown;
        for (long row = 0; row < static_cast<long>(rows.Count()); ++row)
            shown.push_back(TestCell(session, *rows.TestAt(row), TestColumn::Offset));
        return shown;
    }

    EditSession session;
    TestRows rows;
};

}  // namespace

TEST_F(TestRowsTest, CellsSayWhatTheListShows) {
    EXPECT_EQ(TestCell(session, 2, TestColumn::Key), "F2 (0x71)");
    EXPECT_EQ(TestCell(session, 3, TestColumn::Pad), "Pad 1");
    EXPECT_EQ(TestCell(session, 2, TestColumn::Pad), "");
    EXPECT_EQ(TestCell(session, 3, TestColumn::Offset), "0x99");
    EXPECT_EQ(TestCell(session, 3, TestColumn::Opcode), "00E1");
    EXPECT_EQ(TestCell(session, 2, TestColumn::Mark), "");
    session.SetVKey(2, 0x76);
    EXPECT_EQ(TestCell(session, 2, TestColumn::Mark), "*");
    EXPECT_EQ(TestCell(session, 9, TestColumn::Key), "");  // no such test
}

TEST_F(TestRowsTest, TheFilterKeepsTestsOfItsKindWithACellThatHoldsItsText) {
    const struct {
        TestKindFilter kind;
        const char* text;
        std::vector<std::string> shown;
    } kCases[] = {
        {TestKindFilter::All, "", {"0x14", "0x36", "0x53", "0x99", "0xB9"}},
        {TestKindFilter::All, "f2", {"0x53"}},            // a name, in any case
        {TestKindFilter::All, "0XA0", {"0x36"}},          // a code
        {TestKindFilter::All, "00e1", {"0x99", "0xB9"}},  // an opcode
        {TestKindFilter::All, "pad 2", {"0xB9"}},
        {TestKindFilter::VKeys, "", {"0x14", "0x36", "0x53"}},
        {TestKindFilter::Buttons, "", {"0x99", "0xB9"}},
        {TestKindFilter::Buttons, "f2", {}},
        {TestKindFilter::Cheats, "", {}},
    };
    for (const auto& c : kCases) {
        rows.SetFilter(c.kind, c.text);
        EXPECT_EQ(Shown(), c.shown) << c.text;
        EXPECT_EQ(rows.IsFiltered(), c.kind != TestKindFilter::All || *c.text != '\0') << c.text;
    }
}

TEST_F(TestRowsTest, SortingByAColumnAndBackLeadsFromRowsToTestsBothWays) {
    rows.SortBy(TestColumn::Key);  // Cross, F2, Left Shift, R1, Y
    EXPECT_EQ(Shown(), (std::vector<std::string>{"0x99", "0x53", "0x36", "0xB9", "0x14"}));
    rows.SortBy(TestColumn::Key);  // the same column again: the other way round
    EXPECT_FALSE(rows.Ascending());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"0x14", "0xB9", "0x36", "0x53", "0x99"}));
    EXPECT_EQ(rows.TestAt(0), 0u);
    EXPECT_EQ(rows.RowOf(0), 0);
    EXPECT_EQ(rows.RowOf(4), 1);
    EXPECT_EQ(rows.TestAt(5), std::nullopt);
    EXPECT_EQ(rows.TestAt(-1), std::nullopt);

    rows.SortBy(TestColumn::Opcode);  // ties stay in the file's order
    EXPECT_TRUE(rows.Ascending());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"0x99", "0xB9", "0x14", "0x36", "0x53"}));
    rows.SetFilter(TestKindFilter::VKeys, "");
    rows.Update(session);
    EXPECT_EQ(rows.RowOf(3), std::nullopt);  // a button, filtered out
}
