// morvane-cli list: the key tests of scripts as text, TSV or JSON, with the
// instructions around them when asked.

#include <algorithm>

#include <nlohmann/json.hpp>

#include "cli/Escape.h"
#include "cli/CliSupport.h"
#include "cli/JsonText.h"
#include "fixtures/MainScriptBuilder.h"
#include "fixtures/ScriptBuilder.h"

using namespace morvane;
using namespace morvane::test;

namespace {
class ListTest : public CliTest {};
}  // namespace

TEST_F(ListTest, TsvJsonAndText) {
    CliRun tsv = Run({"list", "--game", "sa", "--format", "tsv", "sa_keys.cs"});
    EXPECT_EQ(tsv.status, 0);
    EXPECT_EQ(tsv.out, kSaKeysTsv);
    EXPECT_EQ(tsv.err, "");

    CliRun json = Run({"list", "--game=gta3", "--format=json", "gta3_keys.cs"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              "[\n"
              " {\"file\": \"gta3_keys.cs\", \"offset\": 19, \"kind\": \"vkey\", \"wide\": 0, \"pad\": -1, \"key\": "
              "116, \"name\": \"F5\", \"opcode\": \"05EE\", \"chord\": null, \"set_at\": null},\n"
              " {\"file\": \"gta3_keys.cs\", \"offset\": 49, \"kind\": \"button\", \"wide\": 0, \"pad\": 0, \"key\": "
              "17, \"name\": \"Circle: Fire\", \"opcode\": \"00E1\", \"chord\": null, \"set_at\": null}\n"
              "]\n");

    CliRun text = Run({"list", "--game", "vc", "vc_keys.cs"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out,
              "FILE        OFFSET  KIND    WIDE    PAD  KEY  NAME                          OPCODE\n"
              "vc_keys.cs      19  vkey       0      -   78  N Key                         05EE\n"
              "vc_keys.cs      46  vkey       0      -   16  Shift                         05EE\n"
              "vc_keys.cs      76  button     0  Pad 1    4  L1: Action/Secondary fire     00E1\n"
              "vc_keys.cs     113  button     0  Pad 2   14  Square: Jump | Brake/Reverse  00E1\n");
}

TEST_F(ListTest, ContextShowsTheDecodedInstructionsAroundEachTest) {
    CliRun text = Run({"list", "--game", "gta3", "--context", "2", "gta3_keys.cs"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out,
              "FILE          OFFSET  KIND    WIDE    PAD  KEY  NAME          OPCODE\n"
              "gta3_keys.cs      19  vkey       0      -  116  F5            05EE\n"
              "      10  0001: wait 250 ms\n"
              "      15  00D6: if 0\n"
              "    > 19  05EE: key 116 pressed\n"
              "      23  004D: jump if false @-40\n"
              "      30  0109: player $2 add money 1000\n"
              "gta3_keys.cs      49  button     0  Pad 1   17  Circle: Fire  00E1\n"
              "      40  0001: wait 250 ms\n"
              "      45  00D6: if 0\n"
              "    > 49  00E1: Pad 1 button 17 pressed\n"
              "      55  004D: jump if false @-77\n"
              "      62  00BC: print text \"FIRED\" for 1000 ms style 1\n");

    CliRun json = Run({"list", "--game", "vc", "--format", "json", "--context=1", "vc_keys.cs"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"opcode\": \"00E1\", \"chord\": null, \"set_at\": null, \"context\": [{\"offset\": 72, "
                            "\"text\": \"00D6: if 0\"}, "
                            "{\"offset\": 76, \"text\": \"00E1: Pad 1 button 4 pressed\"}, "
                            "{\"offset\": 82, \"text\": \"004D: jump if false @-104\"}]}"),
              std::string::npos)
        << json.out;
    // Quotes of the script's strings are escaped in JSON.
    CliRun strings = Run({"list", "--game", "vc", "--format", "json", "--context=3", "vc_keys.cs"});
    EXPECT_NE(strings.out.find("print text \\\"PAD2\\\" for 2000 ms style 1"), std::string::npos) << strings.out;

    // The header of a main script is stepped over as the scan does, and a
    // context stops at the ends of the walk.
    CliRun main = Run({"list", "--game", "sa", "--context", "1000", "main.scm"});
    EXPECT_EQ(main.status, 0);
    const std::size_t firstContextLine = main.out.find('\n', main.out.find('\n') + 1) + 1;
    EXPECT_EQ(main.out.substr(firstContextLine, main.out.find('\n', firstContextLine) - firstContextLine),
              "       88  03A4: name this script \"MAIN\"");
    EXPECT_EQ(main.out.find("X Key"), std::string::npos);

    EXPECT_EQ(Run({"list", "--game", "sa", "--context", "0", "sa_keys.cs"}).out,
              Run({"list", "--game", "sa", "sa_keys.cs"}).out);
}

TEST_F(ListTest, FollowsArgumentOrderAndEscapesJson) {
    dir.Write("we\"ird.cs", std::vector<uint8_t>{0xEE, 0x05, 0x04, 0x41});
    CliRun json = Run({"list", "--game", "vc", "--format", "json", "we\"ird.cs", "vc_keys.cs"});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("{\"file\": \"we\\\"ird.cs\", \"offset\": 0,"), std::string::npos) << json.out;
    EXPECT_LT(json.out.find("we\\\"ird"), json.out.find("vc_keys"));

    // A name that is not UTF-8 still gives valid JSON.
    dir.Write("caf\xE9.cs", std::vector<uint8_t>{0xEE, 0x05, 0x04, 0x41});
    CliRun latin1 = Run({"list", "--game", "vc", "--format", "json", "caf\xE9.cs"});
    EXPECT_EQ(nlohmann::json::parse(latin1.out).at(0).at("file"), "caf\xEF\xBF\xBD.cs");

    dir.Write("quiet.cs", std::vector<uint8_t>{0x01, 0x00, 0x04, 0x00});
    CliRun none = Run({"list", "--format", "json", "--game", "vc", "quiet.cs"});
    EXPECT_EQ(none.out, "[]\n");
}

TEST_F(ListTest, MachineReadableOutputSurvivesOddFileNames) {
    const std::vector<uint8_t> script = {0xEE, 0x05, 0x04, 0x41};  // one VKey test, "A Key"
    const std::vector<std::string> names = {"tab\there.cs", "new\nline.cs", "back\\slash.cs",
                                            "cr\rhere.cs",  "caf\xE9.cs",   "caf\xC3\xA9.cs"};
    for (const auto& name : names) dir.Write(name, script);
    std::vector<std::string> args = {"list", "--game", "vc", "--format", "tsv"};
    args.insert(args.end(), names.begin(), names.end());

    const CliRun tsv = Run(args);
    EXPECT_EQ(tsv.status, 0) << tsv.err;
    const std::string row = "\t0\tvkey\t0\t-1\t65\tA Key\t05EE\t\t\n";
    EXPECT_EQ(tsv.out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
              "tab\\there.cs" +
                  row + "new\\nline.cs" + row + "back\\\\slash.cs" + row + "cr\\rhere.cs" + row + "caf\xE9.cs" + row +
                  "caf\xC3\xA9.cs" + row);

    args[4] = "json";
    const CliRun json = Run(args);
    EXPECT_EQ(json.status, 0) << json.err;
    const auto parsed = nlohmann::json::parse(json.out, nullptr, /*allow_exceptions=*/false);
    ASSERT_FALSE(parsed.is_discarded()) << json.out;
    ASSERT_EQ(parsed.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i == 4) continue;  // not UTF-8
        EXPECT_EQ(parsed[i]["file"], names[i]);
        EXPECT_FALSE(parsed[i].contains("file_bytes")) << names[i];
    }
    EXPECT_EQ(parsed[4]["file"], "caf\xEF\xBF\xBD.cs");  // U+FFFD for the byte that is not UTF-8
    EXPECT_EQ(parsed[4]["file_bytes"], "636166e92e6373");
}

// In the text table and in messages a file name's newline is written \n
// (a row stays one line), and the columns line up by characters.
TEST_F(ListTest, TextAndMessagesEscapeOddNamesAndAlignByCharacters) {
    const std::vector<uint8_t> script = {0xEE, 0x05, 0x04, 0x41};
    dir.Write("new\nline.cs", script);
    dir.Write("cl\xC3\xA9.cs", script);
    const CliRun text = Run({"list", "--game", "vc", "new\nline.cs", "cl\xC3\xA9.cs", "gone\n.cs"});
    EXPECT_EQ(text.out,
              "FILE          OFFSET  KIND  WIDE  PAD  KEY  NAME   OPCODE\n"
              "new\\nline.cs       0  vkey     0    -   65  A Key  05EE\n"
              "cl\xC3\xA9.cs             0  vkey     0    -   65  A Key  05EE\n");
    EXPECT_EQ(text.err, "gone\\n.cs: cannot open: not found\n");
}

// An 8-bit key byte of 0x80 or more is the negative number the game reads:
// listed so, never named as a key.
TEST_F(ListTest, AnEightBitByteOfTheHighHalfIsANegativeNumber) {
    dir.Write("high.cs", std::vector<uint8_t>{0xB0, 0x0A, 0x04, 0x80, 0xB0, 0x0A, 0x05, 0x80, 0x00});
    const CliRun run = Run({"list", "--game", "sa", "--format", "tsv", "high.cs"});
    EXPECT_EQ(run.out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
              "high.cs\t0\tvkey\t0\t-1\t-128\t-128\t0AB0\t\t\n"
              "high.cs\t4\tvkey\t1\t-1\t128\tF17\t0AB0\t\t\n");
}

TEST(Escape, JsonIsAlwaysValidUtf8AndTsvFieldsStayOneField) {
    using cli::IsValidUtf8;
    auto JsonString = [](const std::string& text) { return cli::OneLine(cli::Json(text)); };
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x91"));
    for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xC3",
                            "\xE2\x82", "\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_EQ(JsonString("a\"b\\c\x01\t"), "\"a\\\"b\\\\c\\u0001\\t\"");
    EXPECT_EQ(JsonString("\xED\xA0\x80!"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD!\"");  // a surrogate, byte by byte
    EXPECT_EQ(JsonString("\xE2\x82\xAC"), "\"\xE2\x82\xAC\"");
    EXPECT_EQ(cli::TsvField("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
}

TEST_F(CliTest, AFileTooSmallToReadIsSaidSo) {
    dir.Write("empty.cs", std::string());
    dir.Write("short.scm", std::string("\x02\x00\x01", 3));
    const struct {
        const char* file;
        int status;
        const char* said;
    } kCases[] = {
        {"empty.cs", 1, "empty.cs: not a script: the file is empty"},
        {"short.scm", 1, "short.scm: not a script: too short for a main script"},
        {"main.scm", 0, ""},
    };
    for (const auto& c : kCases) {
        const CliRun run = Run({"list", "--game", "sa", c.file});
        EXPECT_EQ(run.status, c.status) << c.file << run.err;
        EXPECT_EQ(run.err.substr(0, std::string(c.said).size()), c.said) << c.file << run.err;
        if (*c.said == 0) {
            EXPECT_EQ(run.err, "") << c.file;
        }
    }
}

TEST_F(CliTest, AMainScriptCutShortIsToldAndNotWrittenUnlessAllowed) {
    // A main script whose one mission was lost, as a copy that stopped
    // early leaves it: its header names the mission's start past the end.
    const test::MainScript main(kGameSanAndreas, 1);
    test::ScriptBuilder code = main.Code();
    code.Op(0x0AB0).I8(77).Op(0x0001).I8(0);
    test::ScriptBuilder mission = main.Code();
    mission.Op(0x0AB0).I8(78).Op(0x004E);
    const std::vector<uint8_t> whole = main.Build(code.Bytes(), {mission.Bytes()});
    const std::size_t cutAt = static_cast<std::size_t>(main.MissionStart(code.Here()));
    dir.Write("cut.scm", std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cutAt)));
    const CliRun list = Run({"list", "--game", "sa", "cut.scm"});
    EXPECT_EQ(list.status, 1) << list.err;
    EXPECT_NE(list.err.find("cut.scm: warning: cut short: its header names 1 offset past the file's end"),
              std::string::npos)
        << list.err;
    EXPECT_NE(list.out.find("M Key"), std::string::npos) << list.out;  // what is there is still listed

    const CliRun refused = Run({"remap", "--game", "sa", "--vkey", "M Key=N Key", "cut.scm", "-o", "out.scm"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("cut.scm: refused: the main script is cut short; nothing written"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.scm")));
    const CliRun allowed =
        Run({"remap", "--game", "sa", "--allow-unknown", "--vkey", "M Key=N Key", "cut.scm", "-o", "out.scm"});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_EQ(ReadBytes(dir.File("out.scm")).size(), cutAt);
    // The whole script: no word of it.
    dir.Write("whole.scm", whole);
    const CliRun wholeList = Run({"list", "--game", "sa", "whole.scm"});
    EXPECT_EQ(wholeList.status, 0);
    EXPECT_EQ(wholeList.err, "");
}

// Bytes after a jump that no label reaches are data to the walk; when they
// are most of the file, they may be code the labels do not reach, and the
// listing says so. A small block after a jump is no cause for a word.
TEST_F(ListTest, DataAfterAJumpThatSwallowsMostOfTheFileIsWarnedOf) {
    ScriptBuilder swallowing(kGameSanAndreas);
    swallowing.Op(0x0AB0).I8(0x41);  // the one test the walk reads
    swallowing.Op(0x0002).I32(0);    // jump back to the start
    swallowing.Raw({0xFF, 0x7F});    // no opcode: data
    for (int i = 0; i < 500; ++i) swallowing.Op(0x0AB0).I8(0x42);
    dir.Write("swallowing.cs", swallowing.Bytes());
    const CliRun run = Run({"list", "--game", "sa", "--format", "tsv", "swallowing.cs"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);  // the heading and the one test
    EXPECT_NE(run.err.find("swallowing.cs: warning: offsets 11 to 2,013 (2,002 bytes, after 11 bytes of code) were "
                           "taken for data, since no label leads there after a jump; they may be code the labels do "
                           "not reach, whose tests are not listed\n"),
              std::string::npos)
        << run.err;

    ScriptBuilder small(kGameSanAndreas);
    small.Op(0x0AB0).I8(0x41).Op(0x0002).I32(0).Raw({0xFF, 0x7F});
    for (int i = 0; i < 10; ++i) small.Op(0x0AB0).I8(0x42);
    dir.Write("small.cs", small.Bytes());
    EXPECT_EQ(Run({"list", "--game", "sa", "small.cs"}).err.find("taken for data"), std::string::npos);
}

// An IMG archive (script.img, or a file marked as San Andreas's archives
// are) is said to be one, and neither listed nor changed.
TEST_F(ListTest, AnImgArchiveIsSaidToBeOneAndNeitherListedNorChanged) {
    std::vector<uint8_t> marked = {'V', 'E', 'R', '2', 1, 0, 0, 0};
    const std::vector<uint8_t> keys = Demo("sa_keys.cs");
    marked.insert(marked.end(), keys.begin(), keys.end());
    const std::pair<const char*, std::vector<uint8_t>> archives[] = {
        {"script.img", keys}, {"SCRIPT.IMG", keys}, {"marked.cs", marked}};
    for (const auto& [name, bytes] : archives) {
        dir.Write(name, bytes);
        const std::string cause =
            std::string(name) +
            ": cannot open: it is an IMG archive of scripts (as script.img is), not a script: "
            "its bytes are no code; take the scripts out of it with an IMG tool, then open those\n";
        const CliRun list = Run({"list", "--game", "sa", name});
        EXPECT_EQ(list.status, 1) << name;
        EXPECT_EQ(list.err, cause);
        const CliRun remap = Run({"remap", "--game", "sa", "--vkey", "Y Key=Z Key", name, "--in-place"});
        EXPECT_EQ(remap.status, 1) << name;
        EXPECT_EQ(remap.err, cause);
        EXPECT_EQ(ReadBytes(dir.File(name)), bytes) << name;
    }
}

// The keys one condition tests together are one hotkey: tsv and json give
// each test of a chord the offset of its first key test, and each key kept
// in a variable the offset of its assignment; text names the hotkey.
TEST_F(ListTest, ChordsAndKeysKeptInVariablesHaveTheirColumns) {
    std::filesystem::copy_file(DemoPath("sa_chords.cs"), dir.File("sa_chords.cs"));
    const CliRun tsv = Run({"list", "--game", "sa", "--format", "tsv", "sa_chords.cs"});
    EXPECT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_EQ(tsv.out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
              "sa_chords.cs\t27\tvkey\t0\t-1\t18\tAlt\t0AB0\t27\t\n"
              "sa_chords.cs\t31\tvkey\t0\t-1\t79\tO Key\t0AB0\t27\t\n"
              "sa_chords.cs\t62\tvkey\t0\t-1\t80\tP Key\t0AB0\t\t\n"  // alternatives, no chord
              "sa_chords.cs\t66\tvkey\t0\t-1\t81\tQ Key\t0AB0\t\t\n"
              "sa_chords.cs\t93\tvkey\t0\t-1\t91\tLeft Windows Key\t0AB0\t93\t\n"
              "sa_chords.cs\t97\tvkey\t0\t-1\t18\tAlt\t0AB0\t93\t\n"
              "sa_chords.cs\t101\tvkey\t0\t-1\t66\tB Key\t0AB0\t93\t\n"
              "sa_chords.cs\t128\tvkey\t0\t-1\t86\tV Key\t0AB0\t\t11\n"
              "sa_chords.cs\t160\tvkey\t0\t-1\t86\tV Key\t0E3D\t\t11\n");
    const CliRun json = Run({"list", "--game", "sa", "--format", "json", "sa_chords.cs"});
    const nlohmann::json rows = nlohmann::json::parse(json.out);
    EXPECT_EQ(rows.at(0).at("chord"), 27);
    EXPECT_TRUE(rows.at(2).at("chord").is_null());
    EXPECT_EQ(rows.at(7).at("set_at"), 11);

    const CliRun text = Run({"list", "--game", "sa", "sa_chords.cs"});
    std::istringstream lines(text.out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 10u);
    EXPECT_NE(got[0].find("CHORD"), std::string::npos);
    EXPECT_NE(got[0].find("SET AT"), std::string::npos);
    EXPECT_NE(got[1].find("Alt+O"), std::string::npos) << got[1];
    EXPECT_NE(got[3].find("P or Q"), std::string::npos) << got[3];
    EXPECT_NE(got[5].find("Win+B, not Alt"), std::string::npos) << got[5];
    EXPECT_NE(got[8].find("11 in 0@"), std::string::npos) << got[8];
    // Without chords or variables, text output has neither column.
    EXPECT_EQ(Run({"list", "--game", "sa", "sa_keys.cs"}).out.find("CHORD"), std::string::npos);
}
