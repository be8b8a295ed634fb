#include <gtest/gtest.h>

#include "opcodes/IniLoader.h"
#include "script/Patch.h"
#include "support/Printers.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using morvane::test::ScriptBuilder;

namespace {

struct Scanned {
    ScriptImage image;
    std::vector<KeyTest> tests;
    std::vector<uint8_t> original;
    ScanSummary summary;

    explicit Scanned(const ScriptBuilder& b) : original(b.Bytes()) {
        OpcodeTable table;
        ParseOpcodeIni("[x]\n0001=1\n00E1=2\n0AB0=1\n05EE=1\n", b.Game(), table);
        image.game = b.Game();
        EXPECT_TRUE(image.LoadFromBytes(original.data(), original.size()));
        summary = ScanKeyTests(image, table, HeaderSkip::Never, tests, nullptr);
    }
    std::vector<uint8_t> Patched() {
        PatchImage(image, tests, summary.code.end);
        return std::vector<uint8_t>(image.Data(), image.Data() + image.Size());
    }
};

// The positions where two byte strings differ.
std::vector<std::size_t> Diff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    std::vector<std::size_t> at;
    EXPECT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) at.push_back(i);
    return at;
}

ScriptBuilder Sample() {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0001).I8(0);
    sa.Op(0x0AB0).I8(0x41);     // offset 4
    sa.Op(0x0AB0).I16(0x41);    // offset 8
    sa.Op(0x0AB0).I32(0x41);    // offset 13
    sa.Op(0x00E1).I8(0).I8(4);  // offset 20
    sa.Op(0x0001).I8(0);
    return sa;
}

}  // namespace

TEST(PatchImage, WithoutEditsEveryByteStays) {
    Scanned s(Sample());
    ASSERT_EQ(s.tests.size(), 4u);
    EXPECT_EQ(s.Patched(), s.original);
    EXPECT_EQ(s.Patched(), s.original);  // twice, the same
}

TEST(PatchImage, EightBitKeyChangesOneByte) {
    Scanned s(Sample());
    s.tests[0].key = 0x42;
    const auto out = s.Patched();
    EXPECT_EQ(Diff(s.original, out), (std::vector<std::size_t>{4 + 3}));
    EXPECT_EQ(out[7], 0x42);
}

TEST(PatchImage, WideKeysKeepTheirWidth) {
    Scanned s(Sample());
    s.tests[1].key = 0xA0;
    s.tests[2].key = 0x1A0;
    const auto out = s.Patched();
    EXPECT_EQ(Diff(s.original, out), (std::vector<std::size_t>{11, 16, 17}));
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 11, out.begin() + 13), (std::vector<uint8_t>{0xA0, 0x00}));
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 16, out.begin() + 20), (std::vector<uint8_t>{0xA0, 0x01, 0x00, 0x00}));
}

TEST(PatchImage, ButtonPadAndKey) {
    Scanned s(Sample());
    s.tests[3].pad = 1;
    s.tests[3].key = 17;
    const auto out = s.Patched();
    EXPECT_EQ(Diff(s.original, out), (std::vector<std::size_t>{23, 25}));
    EXPECT_EQ(out[23], 0x01);
    EXPECT_EQ(out[25], 0x11);
}

TEST(PatchImage, TwoTestsAndNothingElse) {
    Scanned s(Sample());
    s.tests[0].key = 0x5A;
    s.tests[3].key = 9;
    EXPECT_EQ(Diff(s.original, s.Patched()), (std::vector<std::size_t>{7, 25}));
}

TEST(PatchImage, ForeignTestsWriteNothing) {
    Scanned s(Sample());
    std::vector<KeyTest> bogus = {
        KeyTest::VKey(-4, 1, true, 0x0AB0),
        KeyTest::VKey(s.image.Size() - 1, 1, true, 0x0AB0),
        KeyTest::VKey(s.image.Size(), 1, true, 0x0AB0),
        KeyTest::VKey(INT32_MAX, 1, true, 0x0AB0),
        KeyTest::VKey(0, 0x77, false, 0x0AB0),  // lands on 0x0001's 8-bit parameter
    };
    PatchImage(s.image, bogus, s.summary.code.end);
    std::vector<uint8_t> expected = s.original;
    expected[3] = 0x77;
    EXPECT_EQ(std::vector<uint8_t>(s.image.Data(), s.image.Data() + s.image.Size()), expected);
}

// ---- cheat codes ----

namespace {

std::vector<KeyTest> ScanCheats(ScriptImage& image, const ScriptBuilder& b) {
    OpcodeTable table;
    ParseOpcodeIni("[x]\n0001=1\n0ADC=1\n", b.Game(), table);
    image.game = b.Game();
    EXPECT_TRUE(image.LoadFromBytes(b.Bytes().data(), b.Bytes().size()));
    std::vector<KeyTest> found;
    ScanKeyTests(image, table, HeaderSkip::Never, found, nullptr);
    return found;
}

std::vector<uint8_t> Bytes(const ScriptImage& image) {
    return std::vector<uint8_t>(image.Data(), image.Data() + image.Size());
}

}  // namespace

TEST(PatchImage, CheatCodesOfEachFormAreWrittenInTheirPlaceZeroPadded) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0ADC).String8("BOOM");       // 0
    sa.Op(0x0ADC).String16("LONGCODE");  // 11
    sa.Op(0x0ADC).VarString("FLY");      // 30
    sa.Op(0x0001).I8(0);
    ScriptImage image;
    std::vector<KeyTest> cheats = ScanCheats(image, sa);
    ASSERT_EQ(cheats.size(), 3u);
    PatchImage(image, cheats, image.Size());
    EXPECT_EQ(Bytes(image), sa.Bytes());  // every code its own: nothing changes

    cheats[0].code = "AB";
    cheats[1].code = "FIFTEENCHARSXYZ";
    cheats[2].code = "SKY";
    PatchImage(image, cheats, image.Size());
    ScriptBuilder expected(kGameSanAndreas);
    expected.Op(0x0ADC).String8("AB");
    expected.Op(0x0ADC).String16("FIFTEENCHARSXYZ");
    expected.Op(0x0ADC).VarString("SKY");
    expected.Op(0x0001).I8(0);
    EXPECT_EQ(Bytes(image), expected.Bytes());
}

TEST(PatchImage, ACheatCodeThatDoesNotFitWritesNothing) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0ADC).VarString("FLY");
    sa.Op(0x0ADC).String8("BOOM");
    ScriptImage image;
    std::vector<KeyTest> cheats = ScanCheats(image, sa);
    ASSERT_EQ(cheats.size(), 2u);
    cheats[0].code = "FLYING";     // a length-prefixed string keeps its length
    cheats[1].code = "NINECHARS";  // longer than the 8 bytes
    PatchImage(image, cheats, image.Size());
    EXPECT_EQ(Bytes(image), sa.Bytes());
}

TEST(PatchImage, OlderGamesInlineCheatCodes) {
    ScriptBuilder vc(kGameViceCity);
    vc.Op(0x0001).I8(0);
    vc.Op(0x0ADC).InlineString("GUNSGUNS");  // 4
    ScriptImage image;
    std::vector<KeyTest> cheats = ScanCheats(image, vc);
    ASSERT_EQ(cheats.size(), 1u);
    EXPECT_EQ(cheats[0].code, "GUNSGUNS");
    cheats[0].code = "TANK";
    PatchImage(image, cheats, image.Size());
    std::vector<uint8_t> expected = vc.Bytes();
    const uint8_t tank[] = {'T', 'A', 'N', 'K', 0, 0, 0, 0};
    std::copy(std::begin(tank), std::end(tank), expected.begin() + 6);
    EXPECT_EQ(Bytes(image), expected);
}

TEST(PatchImage, OlderGamesLengthPrefixedCheatCodesKeepTheirLength) {
    ScriptBuilder vc(kGameViceCity);
    vc.Op(0x0ADC).VarString("GESUNDHEIT");
    vc.Op(0x0001).I8(0);
    ScriptImage image;
    std::vector<KeyTest> cheats = ScanCheats(image, vc);
    ASSERT_EQ(cheats.size(), 1u);
    cheats[0].code = "BLESSYOU";  // two characters short: refused, nothing written
    PatchImage(image, cheats, image.Size());
    EXPECT_EQ(Bytes(image), vc.Bytes());
    cheats[0].code = "ABCDEFGHIJ";
    PatchImage(image, cheats, image.Size());
    ScriptBuilder expected(kGameViceCity);
    expected.Op(0x0ADC).VarString("ABCDEFGHIJ");
    expected.Op(0x0001).I8(0);
    EXPECT_EQ(Bytes(image), expected.Bytes());
}

TEST(PatchImage, DataBlocksAndADebugFooterStayByteForByte) {
    // jump @code; data that reads as a test of Z; code: key A; end; footer
    // whose debug text reads as a test of Y.
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0002).I32(0);
    sa.Raw({0x12, 0x3F, 0xB0, 0x0A, 0x04, 'Z'});
    sa.SetJumpTarget(0, -sa.Here());
    const int32_t key = sa.Here() + 3;
    sa.Op(0x0AB0).I8('A');
    sa.Op(0x004E);
    const int32_t footer = sa.Here();
    sa.Raw({0xB0, 0x0A, 0x04, 'Y', static_cast<uint8_t>(footer), 0, 0, 0, '_', '_', 'S', 'B', 'F', 'T', 'R', 0});
    OpcodeTable table;
    ParseOpcodeIni("[x]\n0002=1\n004E=0\n0AB0=1\n", kGameSanAndreas, table);
    ScriptImage image;
    image.game = kGameSanAndreas;
    ASSERT_TRUE(image.LoadFromBytes(sa.Bytes().data(), sa.Bytes().size()));
    std::vector<KeyTest> tests;
    const ScanSummary summary = ScanKeyTests(image, table, HeaderSkip::Never, tests, nullptr);
    ASSERT_EQ(tests.size(), 1u);
    EXPECT_FALSE(summary.HasUnknown());
    tests[0].key = 'B';
    // A test in the footer, where the debug text reads as one, is no test of the code.
    tests.push_back(KeyTest::VKey(footer, 'X', false, 0x0AB0));
    PatchImage(image, tests, summary.code.end);
    EXPECT_EQ(Diff(sa.Bytes(), Bytes(image)), (std::vector<std::size_t>{static_cast<std::size_t>(key)}));
}
