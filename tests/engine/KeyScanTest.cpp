#include <gtest/gtest.h>

#include "opcodes/IniLoader.h"
#include "script/KeyScan.h"
#include "fixtures/MainScriptBuilder.h"
#include "support/Printers.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using morvane::test::ScriptBuilder;

namespace {

constexpr uint16_t kWait = 0x0001;
constexpr uint16_t kSetVar = 0x0004;
constexpr uint16_t kStartScript = 0x004F;
constexpr uint16_t kUnknown = 0x0123;

OpcodeTable TableFor(GameId game) {
    OpcodeTable table;
    std::string ini = "[OPCODES]\n0001=1\n0002=1\n0004=2\n004F=-1\n00E1=2\n";
    ini += game == kGameSanAndreas ? "0AB0=1\n05EE=1\n" : "05EE=1\n";
    ParseOpcodeIni(ini, game, table);
    return table;
}

struct ScanResult {
    std::vector<KeyTest> found;
    std::vector<int32_t> reports;
    int32_t endPosition = 0;  // where stepping through the code one instruction at a time ends
    ScanSummary summary;
};

// Steps through the code of a scan one instruction at a time, as the scan
// does: where the steps end.
int32_t StepsEndAt(const ScriptImage& image, const OpcodeTable& table, const CodeLayout& code) {
    ScriptReader reader(image);
    EXPECT_TRUE(reader.LimitTo(code.end) && reader.Seek(code.start));
    std::vector<KeyTest> ignored;
    uint16_t opcode = 0;
    while (reader.Inside()) WalkInstruction(reader, table, opcode, ignored);
    return reader.Position();
}

ScanResult ScanWith(const ScriptBuilder& b, const OpcodeTable& table, HeaderSkip header = HeaderSkip::Never) {
    ScriptImage image;
    image.game = b.Game();
    EXPECT_TRUE(image.LoadFromBytes(b.Bytes().data(), b.Bytes().size()));
    ScanResult result;
    result.summary =
        ScanKeyTests(image, table, header, result.found, [&](int32_t at) { result.reports.push_back(at); });
    result.endPosition = StepsEndAt(image, table, result.summary.code);
    return result;
}

ScanResult Scan(const ScriptBuilder& b, HeaderSkip header = HeaderSkip::Never) {
    return ScanWith(b, TableFor(b.Game()), header);
}

KeyTest VKey(int32_t offset, int32_t key, bool wide, uint16_t opcode = kKeyOpcodeSanAndreas) {
    return KeyTest::VKey(offset, key, wide, opcode);
}
KeyTest ClassicKey(int32_t offset, int32_t key, bool wide) { return VKey(offset, key, wide, kKeyOpcodeClassic); }
// A test whose key a variable keeps and cannot be told, for the cause given.
KeyTest InVariable(int32_t offset, Variable variable, const std::string& cause,
                   uint16_t opcode = kKeyOpcodeSanAndreas) {
    KeyTest test = KeyTest::VKey(offset, kNoKey, true, opcode);
    test.variable = variable;
    test.unresolved = cause;
    return test;
}
constexpr Variable Local(int32_t index) { return Variable{Variable::Scope::Local, index}; }
constexpr Variable Global(int32_t offset) { return Variable{Variable::Scope::Global, offset}; }

KeyTest Button(int32_t offset, int32_t pad, int32_t key, uint16_t opcode = kButtonOpcode) {
    return KeyTest::Button(offset, pad, key, opcode);
}

}  // namespace

TEST(ScanKeyOpcode, EightBitKeyAndNegatedForm) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(kWait).I8(0);
    sa.Op(0x0AB0).I8(0x41);
    sa.NotOp(0x0AB0).I8(0x42);
    EXPECT_EQ(Scan(sa).found, (std::vector<KeyTest>{VKey(4, 0x41, false), VKey(8, 0x42, false)}));
}

TEST(ScanKeyOpcode, WideConstantsAndVariables) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I16(300);
    sa.Op(0x0AB0).I32(0x10000);
    sa.Op(0x0AB0).GlobalVar(8);
    sa.Op(0x0AB0).LocalVar(1);
    sa.Op(kWait).I8(0);
    sa.Op(0x0AB0).I8(0x20);
    // A key in a variable is listed with the variable, its key unknown where
    // the script never sets it.
    EXPECT_EQ(Scan(sa).found,
              (std::vector<KeyTest>{VKey(0, 300, true), VKey(5, 0x10000, true),
                                    InVariable(12, Global(8), "$2 is a variable of the main script, which sets it"),
                                    InVariable(17, Local(1), "1@ is never set to a number in this file"),
                                    VKey(26, 0x20, false)}));
}

TEST(ScanKeyOpcode, OpcodeOfTheOlderGamesIsAPlainInstructionInSanAndreas) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x05EE).I8(0x41).Op(0x0AB0).I8(0x42);
    EXPECT_EQ(Scan(sa).found, (std::vector<KeyTest>{VKey(4, 0x42, false)}));
}

TEST(ScanButtonOpcode, PadAndKeyConstants) {
    ScriptBuilder vc(kGameViceCity);
    vc.Op(0x00E1).I8(1).I8(5);
    vc.Op(0x00E1).I32(0).I16(17);
    EXPECT_EQ(Scan(vc).found, (std::vector<KeyTest>{Button(0, 1, 5), Button(6, 0, 17)}));
}

TEST(ScanButtonOpcode, BadPadsAndVariablesStepOverBothParameters) {
    ScriptBuilder vc(kGameViceCity);
    vc.Op(0x00E1).I8(2).I8(5);
    vc.Op(0x00E1).I32(0xFFFFFFFF).I8(5);
    vc.Op(0x00E1).GlobalVar(3).I8(5);
    vc.Op(0x00E1).I8(0).LocalVar(2);
    const int32_t last = vc.Here();
    vc.Op(0x00E1).I8(0).I8(4);
    EXPECT_EQ(Scan(vc).found, (std::vector<KeyTest>{Button(last, 0, 4)}));
}

TEST(ScanButtonOpcode, InvalidSanAndreasPadTypeConsumesOnlyItsByte) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x00E1).Raw({0x30});  // invalid type byte; next bytes are read as an instruction
    const int32_t next = sa.Here();
    sa.Op(0x0AB0).I8(0x41);
    EXPECT_EQ(Scan(sa).found, (std::vector<KeyTest>{VKey(next, 0x41, false)}));
}

TEST(ScanOpcodes, UnknownAndOutOfTableOpcodesAreTwoBytes) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(kUnknown);
    sa.Op(0x0C00);
    sa.Op(0x7FFF);
    sa.Op(0x0AB0).I8(0x41);
    const ScanResult r = Scan(sa);
    EXPECT_EQ(r.found, (std::vector<KeyTest>{VKey(6, 0x41, false)}));
    EXPECT_EQ(r.summary.unknownInstructions, 3);
    EXPECT_EQ(r.summary.firstUnknownOffset, 0);
    EXPECT_TRUE(r.summary.IsDoubtful(r.found[0]));

    OpcodeTable withoutKeys;
    ParseOpcodeIni("[x]\n0001=1\n", kGameSanAndreas, withoutKeys);
    ScriptBuilder b(kGameSanAndreas);
    b.Op(0x0AB0).Raw({0x04, 0x41});  // as two unknown bytes, then 04 41 as opcode 0x4104
    ScriptImage image;
    image.game = kGameSanAndreas;
    ASSERT_TRUE(image.LoadFromBytes(b.Bytes().data(), b.Bytes().size()));
    std::vector<KeyTest> found;
    ScanKeyTests(image, withoutKeys, HeaderSkip::Never, found, nullptr);
    EXPECT_TRUE(found.empty());
}

TEST(ScanOpcodes, VariableListsAndStringsAreSteppedOver) {
    ScriptBuilder vc(kGameViceCity);
    vc.Op(kStartScript).I32(100).I8(1).Float(2.5f).GlobalVar(2).EndOfList();
    vc.Op(kSetVar).GlobalVar(4).Float(1.0f);
    vc.Op(kWait).InlineString("MAIN\0\0\0\0");
    const int32_t key = vc.Here();
    vc.Op(0x05EE).I8(0x20);
    EXPECT_EQ(Scan(vc).found, (std::vector<KeyTest>{ClassicKey(key, 0x20, false)}));

    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(kStartScript)
        .VarString("launch")
        .String16("label")
        .String8("x")
        .Array(ParamType::GlobalArray, 1, 2, 3, 4)
        .EndOfList();
    const int32_t saKey = sa.Here();
    sa.Op(0x0AB0).I8(0x21);
    EXPECT_EQ(Scan(sa).found, (std::vector<KeyTest>{VKey(saKey, 0x21, false)}));

    ScriptBuilder gta3(kGameGta3);
    gta3.Op(kSetVar).GlobalVar(2).Float(3.0f);
    gta3.Op(0x05EE).I8(0x22);
    EXPECT_EQ(Scan(gta3).found, (std::vector<KeyTest>{ClassicKey(8, 0x22, false)}));
}

TEST(ScanHeader, HeaderIsSkippedOnlyWhenAsked) {
    ScriptBuilder vc(kGameViceCity);
    std::size_t jumps[3];
    for (std::size_t i = 0; i < 3; ++i) {
        jumps[i] = vc.Jump();
        vc.Op(0x05EE).I8(0x50);  // inside the header segments
        if (i > 0) vc.SetJumpTarget(jumps[i - 1], static_cast<int32_t>(jumps[i]));
    }
    vc.SetJumpTarget(jumps[2], vc.Here());
    const int32_t main = vc.Here();
    vc.Op(0x05EE).I8(0x51);
    EXPECT_EQ(Scan(vc, HeaderSkip::Always).found, (std::vector<KeyTest>{ClassicKey(main, 0x51, false)}));
    EXPECT_EQ(Scan(vc, HeaderSkip::Never).found.size(), 4u);
}

TEST(ScanEnds, EmptyImagesAndTruncatedTails) {
    ScriptBuilder empty(kGameSanAndreas);
    const ScanResult none = Scan(empty);
    EXPECT_TRUE(none.found.empty());
    EXPECT_TRUE(none.reports.empty());

    ScriptBuilder oddTail(kGameSanAndreas);
    oddTail.Op(0x0AB0).I8(0x41).Raw({0xB0});
    const ScanResult odd = Scan(oddTail);
    EXPECT_EQ(odd.found.size(), 1u);
    EXPECT_EQ(odd.endPosition, 5);

    ScriptBuilder cut(kGameSanAndreas);
    cut.Op(0x0AB0).Raw({0x05, 0x41});  // 16-bit key missing its last byte
    EXPECT_TRUE(Scan(cut).found.empty());

    ScriptBuilder cutButton(kGameViceCity);
    cutButton.Op(0x00E1).I8(1);
    EXPECT_TRUE(Scan(cutButton).found.empty());

    ScriptBuilder keyAtEnd(kGameSanAndreas);
    keyAtEnd.Op(0x0AB0);
    EXPECT_TRUE(Scan(keyAtEnd).found.empty());
}

TEST(ScanProgress, ReportedEveryHundredInstructionsWhileInside) {
    ScriptBuilder b(kGameViceCity);
    for (int i = 0; i < 250; ++i) b.Op(kWait).I8(0);
    const ScanResult r = Scan(b);
    EXPECT_EQ(r.reports, (std::vector<int32_t>{400, 800}));

    ScriptBuilder exact(kGameViceCity);
    for (int i = 0; i < 200; ++i) exact.Op(kWait).I8(0);
    EXPECT_EQ(Scan(exact).reports, (std::vector<int32_t>{400}));  // the last instruction reaches the end
}

// ---- key tests of current script libraries, data skips, unknown instructions ----

namespace {

// An opcode file as today's script tools describe a game: every key test of
// every library, the data skip, and ordinary opcodes up to 0x2xxx.
OpcodeTable ModernTable(GameId game) {
    OpcodeTable table;
    ParseOpcodeIni(
        "[OPCODES]\n0001=1\n0004=2\n00E1=2\n05B6=0\n05EE=1\n0AB0=1\n0C00=1\n0C89=1\n"
        "0E3D=1\n0E3E=2\n2080=1\n2000=2\n",
        game, table);
    return table;
}

}  // namespace

TEST(ScanLibraryKeyTests, SanAndreasFindsEveryLibrarysKeyAndButtonTests) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0C00).I8(0);  // an ordinary opcode above the old table's end
    sa.Op(0x0E3D).I8(0x71);
    sa.NotOp(0x2080).I16(0xA2);
    sa.Op(0x0C89).I8(0x20);
    sa.Op(0x2000).I8(1).I8(2);
    sa.Op(0x0E3E).I8(1).I8(17);
    sa.Op(0x0E3D).GlobalVar(4);  // a key in the main script's variable cannot be told
    sa.Op(0x0AB0).I8(0x41);
    const ScanResult r = ScanWith(sa, ModernTable(kGameSanAndreas));
    EXPECT_EQ(r.found, (std::vector<KeyTest>{
                           VKey(4, 0x71, false, 0x0E3D), VKey(8, 0xA2, true, 0x2080), VKey(13, 0x20, false, 0x0C89),
                           Button(23, 1, 17, 0x0E3E),
                           InVariable(29, Global(4), "$1 is a variable of the main script, which sets it", 0x0E3D),
                           VKey(34, 0x41, false)}));
    EXPECT_FALSE(r.summary.HasUnknown());
    EXPECT_EQ(r.summary.firstUnknownOffset, std::nullopt);
}

TEST(ScanLibraryKeyTests, OlderGamesTestKeysWithBothLibraryOpcodesAndNotWithSanAndreasOnes) {
    for (GameId game : {kGameGta3, kGameViceCity}) {
        ScriptBuilder b(game);
        b.Op(0x05EE).I8(0x41);
        b.Op(0x0AB0).I8(0x42);
        b.Op(0x0E3D).I8(0x43);     // plain here: one parameter stepped over
        b.Op(0x0E3E).I8(0).I8(4);  // plain here: two parameters
        b.Op(0x00E1).I8(1).I8(5);
        const ScanResult r = ScanWith(b, ModernTable(game));
        EXPECT_EQ(r.found, (std::vector<KeyTest>{ClassicKey(0, 0x41, false), VKey(4, 0x42, false), Button(18, 1, 5)}))
            << game;
    }
}

TEST(ScanLibraryKeyTests, KeyTestsCountOnlyWhereTheTableKnowsThem) {
    OpcodeTable onlyOld;
    ParseOpcodeIni("[x]\n0001=1\n0AB0=1\n", kGameSanAndreas, onlyOld);
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0E3D).Op(0x0AB0).I8(0x41);
    const ScanResult r = ScanWith(sa, onlyOld);
    EXPECT_EQ(r.found, (std::vector<KeyTest>{VKey(2, 0x41, false)}));
    EXPECT_EQ(r.summary.unknownInstructions, 1);
}

TEST(ScanDataSkip, SanAndreasStepsOver128BytesThatWouldReadAsKeyTests) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x05B6);
    for (int i = 0; i < 32; ++i) sa.Op(0x0AB0).I8(0x50);  // 128 bytes of data that look like key tests
    const int32_t after = sa.Here();
    sa.Op(0x0AB0).I8(0x51);
    const ScanResult r = ScanWith(sa, ModernTable(kGameSanAndreas));
    EXPECT_EQ(r.found, (std::vector<KeyTest>{VKey(after, 0x51, false)}));
    EXPECT_FALSE(r.summary.HasUnknown());

    // In Vice City the same opcode is an ordinary instruction of no parameters.
    ScriptBuilder vc(kGameViceCity);
    vc.Op(0x05B6).Op(0x05EE).I8(0x52);
    EXPECT_EQ(ScanWith(vc, ModernTable(kGameViceCity)).found, (std::vector<KeyTest>{ClassicKey(2, 0x52, false)}));
}

TEST(ScanDataSkip, NearTheEndTheSkipStopsAtTheEnd) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x41);
    sa.Op(0x05B6);
    for (int i = 0; i < 10; ++i) sa.Op(0x0AB0).I8(0x50);  // fewer than 128 bytes left
    const ScanResult r = ScanWith(sa, ModernTable(kGameSanAndreas));
    EXPECT_EQ(r.found, (std::vector<KeyTest>{VKey(0, 0x41, false)}));
    EXPECT_EQ(r.endPosition, sa.Here());
    EXPECT_FALSE(r.summary.HasUnknown());
}

TEST(ScanUnknown, CountsUnknownInstructionsAndMarksTestsAfterTheFirstAsDoubtful) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x41);
    const int32_t firstUnknown = sa.Here();
    sa.Op(0x0123);
    sa.Op(0x0001).I8(0);
    sa.Op(0x4567);
    sa.Op(0x0AB0).I8(0x42);
    const ScanResult r = ScanWith(sa, ModernTable(kGameSanAndreas));
    ASSERT_EQ(r.found.size(), 2u);
    EXPECT_EQ(r.summary.unknownInstructions, 2);
    EXPECT_EQ(r.summary.firstUnknownOffset, firstUnknown);
    EXPECT_FALSE(r.summary.IsDoubtful(r.found[0]));
    EXPECT_TRUE(r.summary.IsDoubtful(r.found[1]));
}

TEST(ScanUnknown, ALoneLastByteIsNoInstructionEvenWhenTheTableKnows7FFF) {
    OpcodeTable table;
    ParseOpcodeIni("[x]\n0AB0=1\n7FFF=0\n", kGameSanAndreas, table);
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x41).Raw({0xFF});
    const ScanResult r = ScanWith(sa, table);
    EXPECT_EQ(r.found.size(), 1u);
    EXPECT_FALSE(r.summary.HasUnknown());
    EXPECT_EQ(r.endPosition, sa.Here());

    ScriptBuilder lone(kGameSanAndreas);
    lone.Raw({0x01});
    EXPECT_FALSE(ScanWith(lone, table).summary.HasUnknown());
}

// ---- cheat tests: 0ADC with a code typed on the keyboard ----

namespace {

constexpr uint16_t kTestCheat = 0x0ADC;

OpcodeTable CheatTable(GameId game) {
    OpcodeTable table;
    ParseOpcodeIni("[x]\n0001=1\n0ADC=1\n0AB0=1\n05EE=1\n", game, table);
    return table;
}

KeyTest Cheat(int32_t offset, StringForm form, int32_t room, const std::string& code) {
    return KeyTest::Cheat(offset, StringConstant{form, code, room}, kTestCheat);
}

}  // namespace

TEST(ScanCheatTests, SanAndreasFindsEachStringFormWithItsRoom) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(kTestCheat).String8("BOOM");            // 0: up to 7 characters
    sa.NotOp(kTestCheat).String16("LONGERCODE");  // 11: up to 15
    sa.Op(kTestCheat).VarString("FLY");           // 30: exactly 3
    sa.Op(kTestCheat).String8("SEVENCH");         // 37: a full room still ends with a zero byte
    const int32_t key = sa.Here();
    sa.Op(0x0AB0).I8(0x41);
    const ScanResult r = ScanWith(sa, CheatTable(kGameSanAndreas));
    EXPECT_EQ(r.found, (std::vector<KeyTest>{Cheat(0, StringForm::Fixed8, 7, "BOOM"),
                                             Cheat(11, StringForm::Fixed16, 15, "LONGERCODE"),
                                             Cheat(30, StringForm::LengthPrefixed, 3, "FLY"),
                                             Cheat(37, StringForm::Fixed8, 7, "SEVENCH"), VKey(key, 0x41, false)}));
    EXPECT_TRUE(r.found[0].IsCheat());
    EXPECT_FALSE(r.summary.HasUnknown());
}

TEST(ScanCheatTests, OlderGamesFindTheInlineString) {
    for (GameId game : {kGameGta3, kGameViceCity}) {
        ScriptBuilder b(game);
        b.Op(kTestCheat).InlineString("GUNS");
        b.Op(kTestCheat).InlineString("EIGHTCHR");  // all eight bytes used: read whole, no zero to end it
        b.Op(0x05EE).I8(0x42);
        EXPECT_EQ(ScanWith(b, CheatTable(game)).found,
                  (std::vector<KeyTest>{Cheat(0, StringForm::Inline8, 7, "GUNS"),
                                        Cheat(10, StringForm::Inline8, 7, "EIGHTCHR"), ClassicKey(20, 0x42, false)}))
            << game;
    }
}

TEST(ScanCheatTests, CodesInVariablesAndOtherParametersAreSteppedOver) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(kTestCheat).VarSlot(ParamType::GlobalString8Var, 4);
    sa.Op(kTestCheat).VarSlot(ParamType::LocalString16Var, 2);
    sa.Op(kTestCheat).Array(ParamType::GlobalString8Array, 1, 2, 3, 4);
    sa.Op(kTestCheat).LocalVar(1);
    sa.Op(kTestCheat).I8(5);
    const int32_t key = sa.Here();
    sa.Op(0x0AB0).I8(0x43);
    EXPECT_EQ(ScanWith(sa, CheatTable(kGameSanAndreas)).found, (std::vector<KeyTest>{VKey(key, 0x43, false)}));

    ScriptBuilder vc(kGameViceCity);
    vc.Op(kTestCheat).GlobalVar(8);
    vc.Op(0x05EE).I8(0x44);
    EXPECT_EQ(ScanWith(vc, CheatTable(kGameViceCity)).found, (std::vector<KeyTest>{ClassicKey(5, 0x44, false)}));
}

TEST(ScanCheatTests, AStringCutByTheEndOfTheFileIsNoTest) {
    const auto cut = [](ScriptBuilder whole, std::size_t drop) {
        std::vector<uint8_t> bytes = whole.Bytes();
        bytes.resize(bytes.size() - drop);
        ScriptImage image;
        image.game = whole.Game();
        EXPECT_TRUE(image.LoadFromBytes(bytes.data(), bytes.size()));
        std::vector<KeyTest> found;
        const ScanSummary summary = ScanKeyTests(image, CheatTable(whole.Game()), HeaderSkip::Never, found, nullptr);
        EXPECT_EQ(StepsEndAt(image, CheatTable(whole.Game()), summary.code), image.Size());
        return found.size();
    };
    ScriptBuilder fixed(kGameSanAndreas);
    fixed.Op(kTestCheat).String8("BOOM");
    EXPECT_EQ(cut(fixed, 0), 1u);
    EXPECT_EQ(cut(fixed, 1), 0u);  // the padding's last zero is missing
    ScriptBuilder prefixed(kGameSanAndreas);
    prefixed.Op(kTestCheat).VarString("FLY");
    EXPECT_EQ(cut(prefixed, 1), 0u);
    EXPECT_EQ(cut(prefixed, 4), 0u);  // only the type byte is left
    ScriptBuilder inlined(kGameGta3);
    inlined.Op(kTestCheat).InlineString("GUNS");
    EXPECT_EQ(cut(inlined, 3), 0u);
}

TEST(ScanCheatTests, CountOnlyWhereTheTableKnows0ADC) {
    OpcodeTable without;
    ParseOpcodeIni("[x]\n0AB0=1\n", kGameSanAndreas, without);
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(kTestCheat).String8("BOOM");
    const ScanResult r = ScanWith(sa, without);
    EXPECT_TRUE(r.found.empty());
    EXPECT_TRUE(r.summary.HasUnknown());
}

TEST(ScanCheatTests, OlderGamesFindLengthPrefixedCodesOfAnyLength) {
    for (GameId game : {kGameGta3, kGameViceCity}) {
        ScriptBuilder b(game);
        b.Op(kTestCheat).VarString("GESUNDHEIT");
        b.Op(0x0001).VarString("x");  // a CLEO string where any parameter stands
        b.Op(kTestCheat).InlineString("GUNS");
        b.Op(0x05EE).I8(0x42);
        const ScanResult r = ScanWith(b, CheatTable(game));
        EXPECT_EQ(r.found,
                  (std::vector<KeyTest>{Cheat(0, StringForm::LengthPrefixed, 10, "GESUNDHEIT"),
                                        Cheat(19, StringForm::Inline8, 7, "GUNS"), ClassicKey(29, 0x42, false)}))
            << GameNumber(game);
        EXPECT_FALSE(r.summary.HasUnknown());
    }
}

// ---- data inside the code ----

namespace {

constexpr uint16_t kJump = kJumpOpcode;
constexpr uint16_t kJumpIfFalse = 0x004D;
constexpr uint16_t kEndScript = 0x004E;
constexpr uint16_t kGosub = 0x0050;
constexpr uint16_t kReturn = 0x0051;
constexpr uint16_t kEndCustomScript = 0x0A93;
constexpr uint16_t kCall = 0x0AB1;
constexpr uint16_t kCleoReturn = 0x0AB2;
constexpr uint16_t kLabelPointer = 0x0AC6;

OpcodeTable FlowTable(GameId game = kGameSanAndreas) {
    OpcodeTable table;
    ParseOpcodeIni(
        "[x]\n0001=1\n0002=1\n004D=1\n004E=0\n0050=1\n0051=0\n00E1=2\n0A93=0\n0AB0=1\n"
        "05EE=1\n0AB1=-1\n0AB2=-1\n0AC6=2\n",
        game, table);
    return table;
}

// Bytes no table knows as code, holding what reads as a test of Z.
void Data(ScriptBuilder& b) { b.Raw({0x12, 0x3F, 0xB0, 0x0A, 0x04, 0x5A}); }

// An instruction that ends the path, with a label where it has one.
void EndPath(ScriptBuilder& b, uint16_t opcode, int32_t label) {
    b.Op(opcode);
    if (opcode == kJump) b.I32(static_cast<uint32_t>(label));
    if (opcode == kCleoReturn) b.I8(0).EndOfList();
}

std::vector<int32_t> KeysFound(const ScanResult& r) {
    std::vector<int32_t> keys;
    for (const KeyTest& o : r.found) keys.push_back(o.key);
    return keys;
}

}  // namespace

TEST(ScanDataBlocks, AfterAnyPathEndTheBytesUpToTheNextLabelAreData) {
    for (const uint16_t end : {kJump, kEndScript, kReturn, kEndCustomScript, kCleoReturn}) {
        // gosub @code; key A; END; DATA; code: key B; return
        ScriptBuilder b(kGameSanAndreas);
        b.Op(kGosub).I32(0);
        const std::size_t gosub = 0;
        b.Op(0x0AB0).I8('A');
        EndPath(b, end, 0);
        const int32_t data = b.Here();
        Data(b);
        const int32_t code = b.Here();
        b.SetJumpTarget(gosub, -code);
        if (end == kJump) b.SetJumpTarget(static_cast<std::size_t>(data - 7), -code);
        b.Op(0x0AB0).I8('B');
        b.Op(kReturn);
        const ScanResult r = ScanWith(b, FlowTable());
        EXPECT_EQ(KeysFound(r), (std::vector<int32_t>{'A', 'B'})) << OpcodeText(end);
        EXPECT_FALSE(r.summary.HasUnknown()) << OpcodeText(end);
        EXPECT_EQ(r.summary.dataBlocks, (std::vector<DataBlock>{{data, code}})) << OpcodeText(end);
    }
}

TEST(ScanDataBlocks, DataThatNoLabelEndsRunsToTheEndOfTheCode) {
    // A label pointer names the data: it stays data, and nothing after it is code.
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kLabelPointer).I32(0).LocalVar(0);
    b.Op(0x0AB0).I8('A');
    b.Op(kEndCustomScript);
    const int32_t data = b.Here();
    b.SetJumpTarget(0, -data);
    Data(b);
    Data(b);
    const ScanResult r = ScanWith(b, FlowTable());
    EXPECT_EQ(KeysFound(r), (std::vector<int32_t>{'A'}));
    EXPECT_FALSE(r.summary.HasUnknown());
    EXPECT_EQ(r.summary.dataBlocks, (std::vector<DataBlock>{{data, b.Here()}}));
}

TEST(ScanDataBlocks, AnUnknownOpcodeReachedOrAfterAnOrdinaryInstructionCountsAsToday) {
    // Reached: a jump leads to the unknown opcode itself.
    ScriptBuilder reached(kGameSanAndreas);
    reached.Op(kJumpIfFalse).I32(0);
    reached.Op(kReturn);
    const int32_t unknown = reached.Here();
    reached.SetJumpTarget(0, -unknown);
    Data(reached);
    const ScanResult r1 = ScanWith(reached, FlowTable());
    EXPECT_EQ(r1.summary.firstUnknownOffset, unknown);
    EXPECT_TRUE(r1.summary.dataBlocks.empty());
    EXPECT_EQ(KeysFound(r1), (std::vector<int32_t>{'Z'}));  // as the walk reads it, marked doubtful

    // After an instruction that goes on.
    ScriptBuilder after(kGameSanAndreas);
    after.Op(kGosub).I32(0);
    after.Op(0x0001).I8(0);
    Data(after);
    after.SetJumpTarget(0, -after.Here());
    after.Op(0x0AB0).I8('B');
    const ScanResult r2 = ScanWith(after, FlowTable());
    EXPECT_EQ(r2.summary.firstUnknownOffset, 11);
    EXPECT_TRUE(r2.summary.dataBlocks.empty());
}

TEST(ScanDataBlocks, LabelsInCodeAfterTheDataLeadBackToCodeItHid) {
    // jump @b; DATA; a: key A; return; b: gosub @a (backward); key B; end
    ScriptBuilder s(kGameSanAndreas);
    s.Op(kJump).I32(0);
    Data(s);
    const int32_t a = s.Here();
    s.Op(0x0AB0).I8('A');
    s.Op(kReturn);
    const int32_t b = s.Here();
    s.SetJumpTarget(0, -b);
    s.Op(kGosub).I32(static_cast<uint32_t>(-a));
    s.Op(0x0AB0).I8('B');
    s.Op(kEndScript);
    const ScanResult r = ScanWith(s, FlowTable());
    EXPECT_EQ(KeysFound(r), (std::vector<int32_t>{'A', 'B'}));
    EXPECT_EQ(r.summary.dataBlocks, (std::vector<DataBlock>{{7, a}}));
    EXPECT_FALSE(r.summary.HasUnknown());
}

TEST(ScanDataBlocks, AMainScriptsLabelsArePositiveAndItsMissionsNegative) {
    const test::MainScript main(kGameSanAndreas, 1);
    // main: jump @code (positive); DATA; code: key A; end
    ScriptBuilder code = main.Code();
    code.Op(kJump).I32(0);
    Data(code);
    const int32_t codeAt = main.CodeStart() + code.Here();
    code.SetJumpTarget(0, codeAt);
    code.Op(0x0AB0).I8('A');
    code.Op(kEndScript);
    // mission: call @m (negative, from the mission's start); return; DATA; m: key B; cleo return
    ScriptBuilder mission = main.Code();
    mission.Op(kCall).I32(0).EndOfList();
    mission.Op(kReturn);
    Data(mission);
    mission.SetJumpTarget(0, -mission.Here());
    mission.Op(0x0AB0).I8('B');
    mission.Op(kCleoReturn).I8(0).EndOfList();
    ScriptImage image;
    image.game = kGameSanAndreas;
    const std::vector<uint8_t> bytes = main.Build(code.Bytes(), {mission.Bytes()});
    image.LoadFromBytes(bytes.data(), bytes.size());
    std::vector<KeyTest> found;
    const ScanSummary summary = ScanKeyTests(image, FlowTable(), HeaderSkip::Always, found, nullptr);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].key, 'A');
    EXPECT_EQ(found[1].key, 'B');
    EXPECT_FALSE(summary.HasUnknown());
    EXPECT_EQ(summary.dataBlocks.size(), 2u);
}

TEST(ScanDataBlocks, AScriptWithoutUnknownOpcodesReadsAsOneRunOfInstructions) {
    // The same walk whether or not the table knows the flow opcodes.
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kJump).I32(static_cast<uint32_t>(-12));
    b.Op(0x0AB0).I8('A');
    b.Op(kReturn);
    b.Op(0x0AB0).I8('B');
    OpcodeTable plain;
    ParseOpcodeIni("[x]\n0002=1\n0051=0\n0AB0=1\n", kGameSanAndreas, plain);
    EXPECT_EQ(ScanWith(b, FlowTable()).found, ScanWith(b, plain).found);
    EXPECT_EQ(KeysFound(ScanWith(b, FlowTable())), (std::vector<int32_t>{'A', 'B'}));
    EXPECT_TRUE(ScanWith(b, FlowTable()).summary.dataBlocks.empty());
}

TEST(ScanDebugFooter, TheWalkStopsWhereTheFooterStarts) {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(0x0AB0).I8('A');
    const int32_t footer = b.Here();
    b.Raw({0x12, 0x3F, 0xB0, 0x0A, 0x04, 'Z'});  // debug data: an unknown opcode, what reads as a key test
    for (int i = 0; i < 4; ++i) b.Raw({static_cast<uint8_t>(footer >> (8 * i))});
    b.Raw({'_', '_', 'S', 'B', 'F', 'T', 'R', 0});
    const ScanResult r = ScanWith(b, FlowTable());
    EXPECT_EQ(KeysFound(r), (std::vector<int32_t>{'A'}));
    EXPECT_FALSE(r.summary.HasUnknown());
    EXPECT_EQ(r.summary.code.end, footer);
    EXPECT_EQ(r.endPosition, footer);
}

TEST(ScanUnknown, TheSummaryNamesTheFirstFiveDistinctUnknownOpcodes) {
    ScriptBuilder b(kGameSanAndreas);
    for (uint16_t op : {0x3F12, 0x3F03, 0x3F12, 0x3F04, 0x3F05, 0x3F06}) b.Op(op);
    ScanSummary summary = ScanWith(b, FlowTable()).summary;
    EXPECT_EQ(UnknownInstructionsText(summary),
              "6 unknown instructions, the first at offset 0 (opcodes 3F12, 3F03, 3F04, 3F05, 3F06)");
    b.Op(0x3F07);
    summary = ScanWith(b, FlowTable()).summary;
    EXPECT_EQ(UnknownOpcodesText(summary), "3F12, 3F03, 3F04, 3F05, 3F06, ...");
}
