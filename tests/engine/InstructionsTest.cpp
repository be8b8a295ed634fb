#include <gtest/gtest.h>

#include "fixtures/DemoScripts.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/Instructions.h"
#include "script/KeyScan.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using morvane::test::ScriptBuilder;

namespace {

const char* const kIni =
    "[OPCODES]\n"
    "0001=1,wait %1d% ms\n"
    "0002=1,jump %1p%\n"
    "0004=2,%1d% = %2d% (global int)\n"
    "0005=2,%2d% is put in %1d%, 100% sure\n"
    "0051=0\n"
    "0077=-1,values\n"
    "0078=-1\n"
    "0079=3,three %1d% %2d% %3d%\n"
    "004F=-1,start script %1p% with arguments\n"
    "00E1=2,pad %1d% button %2d% pressed\n"
    "05B6=0,debug text\n"
    "05EE=1,key %1d% pressed\n"
    "0AB0=1,key %1d% pressed\n";

OpcodeTable Table(GameId game) {
    OpcodeTable table;
    ParseOpcodeIni(kIni, game, table);
    return table;
}

ScriptImage Image(const ScriptBuilder& b) {
    ScriptImage image;
    image.game = b.Game();
    image.LoadFromBytes(b.Bytes().data(), b.Bytes().size());
    return image;
}

// What the scan's walk of the image met, for the view that follows it.
ScanSummary Walked(ScriptImage& image, const OpcodeTable& table, HeaderSkip header) {
    std::vector<KeyTest> tests;
    return ScanKeyTests(image, table, header, tests, nullptr);
}

// The one instruction at offset 0 of a script.
DecodedInstruction First(const ScriptBuilder& b) {
    ScriptImage image = Image(b);
    const auto around =
        InstructionsAround(image, Table(b.Game()), Walked(image, Table(b.Game()), HeaderSkip::Never), 0, 0, 0);
    EXPECT_EQ(around.size(), 1u);
    return around.empty() ? DecodedInstruction{} : around.front();
}

std::vector<int32_t> Offsets(const std::vector<DecodedInstruction>& instructions) {
    std::vector<int32_t> offsets;
    for (const DecodedInstruction& i : instructions) offsets.push_back(i.offset);
    return offsets;
}

std::vector<std::string> Texts(const std::vector<DecodedInstruction>& instructions) {
    std::vector<std::string> texts;
    for (const DecodedInstruction& i : instructions) texts.push_back(i.text);
    return texts;
}

}  // namespace

TEST(DecodedParameters, SanAndreasShowsEachKindAsAScriptWriterWritesIt) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0077)
        .I8(0xFB)
        .I16(300)
        .I32(static_cast<uint32_t>(-70000))
        .Float(2.5f)
        .Float(-0.1f)
        .GlobalVar(48)
        .GlobalVar(13)
        .LocalVar(3)
        .String8("MENU")
        .String16("A LONGER TEXT")
        .VarString("menu.cs")
        .VarSlot(ParamType::GlobalString8Var, 40)
        .VarSlot(ParamType::LocalString8Var, 2)
        .VarSlot(ParamType::GlobalString16Var, 44)
        .VarSlot(ParamType::LocalString16Var, 5)
        .Array(ParamType::GlobalArray, 40, 3, 10, 0x00)  // $10(3@,10i)
        .Array(ParamType::LocalArray, 2, 8, 5, 0x81)     // 2@($2,5f): a global index
        .Array(ParamType::GlobalString8Array, 400, 1, 4, 0x02)
        .Array(ParamType::LocalString16Array, 7, 0, 3, 0x03)
        .EndOfList();
    const DecodedInstruction i = First(sa);
    EXPECT_EQ(i.params, (std::vector<std::string>{"-5", "300", "-70000", "2.5", "-0.1", "$12", "&13", "3@", "\"MENU\"",
                                                  "\"A LONGER TEXT\"", "\"menu.cs\"", "s$10", "2@s", "v$11", "5@v",
                                                  "$10(3@,10i)", "2@($2,5f)", "s$100(1@,4s)", "7@v(0@,3v)"}));
    EXPECT_EQ(i.size, static_cast<int32_t>(sa.Bytes().size()));  // the list's 0 byte included
    EXPECT_EQ(i.text.substr(0, 24), "0077: values -5 300 -700");
}

TEST(DecodedParameters, GtaThreeFloatsAreFixedPointAndOlderGamesHaveInlineStrings) {
    ScriptBuilder gta3(kGameGta3);
    gta3.Op(0x0077).Float(2.5f).Float(-0.75f).InlineString("KEYMONY").GlobalVar(8).EndOfList();
    EXPECT_EQ(First(gta3).params, (std::vector<std::string>{"2.5", "-0.75", "\"KEYMONY\"", "$2"}));

    ScriptBuilder vc(kGameViceCity);
    vc.Op(0x0077).Float(9.0f).Raw({'A', '"', 0x01, '\\', 'z', 0, 0, 0}).Raw({'X', 0, 'Y', 0, 0, 0, 0, 0}).EndOfList();
    EXPECT_EQ(First(vc).params, (std::vector<std::string>{"9.0", "\"A\\\"\\x01\\\\z\"", "\"X\\x00Y\""}));

    // Scripts compiled for CLEO also hold length-prefixed strings.
    for (const GameId older : {kGameGta3, kGameViceCity}) {
        ScriptBuilder cleo(older);
        cleo.Op(0x0077).VarString("GESUNDHEIT").InlineString("SHORT").EndOfList();
        EXPECT_EQ(First(cleo).params, (std::vector<std::string>{"\"GESUNDHEIT\"", "\"SHORT\""})) << GameNumber(older);
    }
}

TEST(DecodedText, PlaceholdersTakeTheirParameterAndTheRestFollow) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0005).GlobalVar(4).Float(1.5f);
    EXPECT_EQ(First(sa).text, "0005: 1.5 is put in $1, 100% sure");

    ScriptBuilder vc(kGameViceCity);
    vc.Op(0x004F).I32(1234).I8(1).Float(9.0f).EndOfList();  // a variable list after the placeholders
    EXPECT_EQ(First(vc).text, "004F: start script @1234 with arguments 1 9.0");

    ScriptBuilder none(kGameSanAndreas);
    none.Op(0x0078).I8(1).LocalVar(2).EndOfList();  // no description at all
    EXPECT_EQ(First(none).text, "0078: 1 2@");
    ScriptBuilder nothing(kGameSanAndreas);
    nothing.Op(0x0051);
    EXPECT_EQ(First(nothing).text, "0051:");
}

TEST(DecodedText, AButtonTestsPadIsCountedAsPeopleCountPads) {
    const struct {
        const char* what;
        ScriptBuilder script;
        const char* text;
    } cases[] = {
        {"the first pad", ScriptBuilder(kGameSanAndreas).Op(0x00E1).I8(0).I8(16), "00E1: Pad 1 button 16 pressed"},
        {"the second", ScriptBuilder(kGameViceCity).Op(0x00E1).I16(1).I8(4), "00E1: Pad 2 button 4 pressed"},
        {"no pad: its number", ScriptBuilder(kGameSanAndreas).Op(0x00E1).I8(2).I8(4), "00E1: pad 2 button 4 pressed"},
        {"a variable", ScriptBuilder(kGameSanAndreas).Op(0x00E1).GlobalVar(8).I8(4), "00E1: pad $2 button 4 pressed"},
        {"a negated test", ScriptBuilder(kGameGta3).NotOp(0x00E1).I8(1).I8(4), "00E1: not Pad 2 button 4 pressed"},
        {"not a button test", ScriptBuilder(kGameSanAndreas).Op(0x0079).I8(0).I8(0).I8(0), "0079: three 0 0 0"},
    };
    for (const auto& c : cases) EXPECT_EQ(First(c.script).text, c.text) << c.what;

    // A description without the word "pad" gets the name all the same.
    OpcodeTable other;
    ParseOpcodeIni("[x]\n00E1=2,is_button_pressed %1d% %2d%\n", kGameSanAndreas, other);
    ScriptBuilder plain(kGameSanAndreas);
    plain.Op(0x00E1).I8(0).I8(16);
    ScriptImage image = Image(plain);
    const auto around = InstructionsAround(image, other, Walked(image, other, HeaderSkip::Never), 0, 0, 0);
    ASSERT_EQ(around.size(), 1u);
    EXPECT_EQ(around.front().text, "00E1: is_button_pressed Pad 1 16");
}

TEST(DecodedText, LabelsAreOffsetsNegatedTestsSayNotAndUnknownOpcodesSaySo) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0002).I32(static_cast<uint32_t>(-1234));
    EXPECT_EQ(First(sa).text, "0002: jump @-1234");
    EXPECT_EQ(First(sa).params, (std::vector<std::string>{"@-1234"}));

    ScriptBuilder negated(kGameSanAndreas);
    negated.NotOp(0x0AB0).I16(0xA0);
    const DecodedInstruction n = First(negated);
    EXPECT_TRUE(n.negated);
    EXPECT_EQ(n.opcode, 0x0AB0);
    EXPECT_EQ(n.text, "0AB0: not key 160 pressed");

    ScriptBuilder unknown(kGameSanAndreas);
    unknown.Op(0x0DDD).I8(1);
    const DecodedInstruction u = First(unknown);
    EXPECT_FALSE(u.known);
    EXPECT_EQ(u.size, 2);
    EXPECT_TRUE(u.params.empty());
    EXPECT_EQ(u.text, "0DDD: unknown opcode");
}

TEST(DecodedText, AnInstructionCutByTheEndOfTheFileShowsWhatIsThereAndSaysSo) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0079).I8(7).I16(8).Raw({TypeByte(ParamType::Int32), 1, 2});
    const DecodedInstruction i = First(sa);
    EXPECT_EQ(i.params, (std::vector<std::string>{"7", "8"}));
    EXPECT_EQ(i.text, "0079: three 7 8 ? (cut off by the end of the file)");
    EXPECT_EQ(i.size, static_cast<int32_t>(sa.Bytes().size()));

    ScriptBuilder key(kGameSanAndreas);
    key.Op(0x0AB0).Raw({TypeByte(ParamType::Int16), 0x41});  // a key test's payload cut short
    EXPECT_EQ(First(key).text, "0AB0: key ? pressed (cut off by the end of the file)");

    ScriptBuilder data(kGameSanAndreas);
    data.Op(0x05B6).Raw({1, 2, 3});  // fewer than the 128 bytes the game skips
    EXPECT_EQ(First(data).text, "05B6: debug text (cut off by the end of the file)");

    ScriptBuilder string(kGameSanAndreas);
    string.Op(0x0077).Raw({TypeByte(ParamType::VarLengthString)});
    EXPECT_EQ(First(string).text, "0077: values (cut off by the end of the file)");
}

TEST(DecodedText, AnInvalidSanAndreasTypeEndsTheInstructionWhereTheWalkDoes) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0079).I8(1).Raw({0x30}).Op(0x0001).I16(250);
    ScriptImage image = Image(sa);
    const auto around = InstructionsAround(image, Table(kGameSanAndreas),
                                           Walked(image, Table(kGameSanAndreas), HeaderSkip::Never), 0, 0, 1);
    EXPECT_EQ(Texts(around), (std::vector<std::string>{"0079: three 1 <invalid type 48> ?", "0001: wait 250 ms"}));
}

TEST(InstructionsAround, TakesWhatThereIsAtEitherEndAndNothingOffABoundary) {
    ScriptBuilder sa(kGameSanAndreas);
    for (int i = 0; i < 5; ++i) sa.Op(0x0001).I16(static_cast<uint16_t>(i));  // 5 bytes each
    sa.Raw({0x01});                                                           // a lone last byte is no instruction
    ScriptImage image = Image(sa);
    const OpcodeTable table = Table(kGameSanAndreas);
    EXPECT_EQ(Offsets(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 0, 4, 2)),
              (std::vector<int32_t>{0, 5, 10}));
    EXPECT_EQ(Offsets(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 10, 1, 1)),
              (std::vector<int32_t>{5, 10, 15}));
    EXPECT_EQ(Offsets(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 20, 2, 8)),
              (std::vector<int32_t>{10, 15, 20}));
    EXPECT_EQ(Texts(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 20, 0, 0)),
              (std::vector<std::string>{"0001: wait 4 ms"}));
    for (int32_t off : {-5, 1, 7, 24, 25, 26, 1000})
        EXPECT_TRUE(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), off, 4, 8).empty())
            << off;
    // Negative counts take none.
    EXPECT_EQ(Offsets(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 10, -3, -1)),
              (std::vector<int32_t>{10}));
}

TEST(InstructionsAround, ManyOffsetsInOneWalkGiveWhatEachAloneGives) {
    ScriptImage image;
    image.game = kGameSanAndreas;
    const auto bytes = demo::SanAndreasCustomScript();
    image.LoadFromBytes(bytes.data(), bytes.size());
    OpcodeTable table;
    ASSERT_TRUE(LoadOpcodeFile(std::string(MORVANE_SOURCE_DIR) + "/demo/SASCM.ini", kGameSanAndreas, table));
    const std::vector<int32_t> offsets = {153, 20, 21, 54, 20, 185};
    const auto each = InstructionsAroundEach(image, table, Walked(image, table, HeaderSkip::Never), offsets, 4, 8);
    ASSERT_EQ(each.size(), offsets.size());
    for (std::size_t n = 0; n < offsets.size(); ++n)
        EXPECT_EQ(Texts(each[n]),
                  Texts(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), offsets[n], 4, 8)))
            << offsets[n];
    EXPECT_TRUE(each[2].empty());
    EXPECT_FALSE(each[0].empty());
}

TEST(InstructionsAround, TheDemoScriptsKeyTestsReadAsTheirSourceWritesThem) {
    OpcodeTable table;
    ASSERT_TRUE(LoadOpcodeFile(std::string(MORVANE_SOURCE_DIR) + "/demo/SASCM.ini", kGameSanAndreas, table));
    ScriptImage image;
    image.game = kGameSanAndreas;
    const auto bytes = demo::SanAndreasCustomScript();
    image.LoadFromBytes(bytes.data(), bytes.size());
    // The Left Shift test, four instructions before and eight after, as the window shows it.
    EXPECT_EQ(Texts(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 54, 4, 8)),
              (std::vector<std::string>{
                  "004D: jump if false @-45",
                  "0A92: create custom script \"menu.cs\" with arguments 1",
                  "0001: wait 250 ms",
                  "00D6: if 0",
                  "0AB0: key 160 pressed",
                  "004D: jump if false @-74",
                  "0004: $10 = 300 (global int)",
                  "0001: wait 250 ms",
                  "00D6: if 0",
                  "0AB0: key 113 pressed",
                  "004D: jump if false @-113",
                  "00BC: print text \"HELP\" for 3000 ms style 1",
                  "0001: wait 250 ms",
              }));
    EXPECT_EQ(Texts(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 185, 0, 8)),
              (std::vector<std::string>{"00E1: not Pad 2 button 6 pressed", "004D: jump if false @-205",
                                        "0004: $12 = 0 (global int)", "0002: jump @-11"}));
    // As the window shows them: each label the file offset it leads to; a
    // label that leads past the end of the code keeps its number.
    EXPECT_EQ(Texts(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 185, 0, 3,
                                       LabelForm::FileOffset)),
              (std::vector<std::string>{"00E1: not Pad 2 button 6 pressed", "004D: jump if false @0xCD",
                                        "0004: $12 = 0 (global int)", "0002: jump @0xB"}));
    const std::vector<uint8_t> nowhere = {0x02, 0x00, 0x01, 0x00, 0xF0, 0xFF, 0xFF};  // jump @-4096
    image.LoadFromBytes(nowhere.data(), nowhere.size());
    EXPECT_EQ(Texts(InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 0, 0, 0,
                                       LabelForm::FileOffset)),
              (std::vector<std::string>{"0002: jump @-4096"}));
}

TEST(InstructionsAround, FollowsTheScanOverAMainScriptsHeader) {
    OpcodeTable table;
    ASSERT_TRUE(LoadOpcodeFile(std::string(MORVANE_SOURCE_DIR) + "/demo/SASCM.ini", kGameSanAndreas, table));
    ScriptImage image;
    image.game = kGameSanAndreas;
    const auto bytes = demo::SanAndreasMainScript();
    image.LoadFromBytes(bytes.data(), bytes.size());

    // Read as code from offset 0, the bytes after the first segment's jump
    // are data up to the next segment, where the jump leads: the view steps
    // over them as the scan did.
    const auto fromStart = InstructionsAround(image, table, Walked(image, table, HeaderSkip::Never), 0, 0, 1);
    ASSERT_EQ(fromStart.size(), 2u);
    EXPECT_EQ(fromStart[0].text, "0002: jump @" + std::to_string(fromStart[1].offset));
    EXPECT_GT(fromStart[1].offset, fromStart[0].offset + fromStart[0].size);

    // With the header stepped over, the first instruction is the main code's.
    const ScanSummary walked = Walked(image, table, HeaderSkip::Always);
    EXPECT_TRUE(InstructionsAround(image, table, walked, 0, 4, 8).empty());
    std::vector<KeyTest> tests;
    ScanKeyTests(image, table, HeaderSkip::Always, tests, nullptr);
    ASSERT_FALSE(tests.empty());
    const auto around = InstructionsAround(image, table, walked, tests.front().offset, 100, 0);
    ASSERT_FALSE(around.empty());
    EXPECT_EQ(around.front().text, "03A4: name this script \"MAIN\"");
    EXPECT_EQ(around.back().offset, tests.front().offset);
}

TEST(InstructionsAround, EveryTestTheScanFindsStartsAnInstructionOfTheWalkInEachDemo) {
    for (const auto& [name, bytes] : demo::DemoScripts()) {
        for (const GameId game : kAllGames) {
            OpcodeTable table;
            ASSERT_TRUE(
                LoadOpcodeFile(std::string(MORVANE_SOURCE_DIR) + "/demo/" + OpcodeIniFileName(game), game, table));
            ScriptImage image;
            image.game = game;
            image.LoadFromBytes(bytes.data(), bytes.size());
            std::vector<KeyTest> tests;
            ScanKeyTests(image, table, HeaderSkip::Never, tests, nullptr);
            std::vector<int32_t> offsets;
            for (const KeyTest& o : tests) offsets.push_back(o.offset);
            const auto each =
                InstructionsAroundEach(image, table, Walked(image, table, HeaderSkip::Never), offsets, 2, 2);
            for (std::size_t n = 0; n < offsets.size(); ++n) {
                ASSERT_FALSE(each[n].empty()) << name << " at " << offsets[n];
                // Instructions follow one another without gaps.
                for (std::size_t k = 1; k < each[n].size(); ++k)
                    EXPECT_EQ(each[n][k].offset, each[n][k - 1].offset + each[n][k - 1].size) << name;
            }
        }
    }
}
