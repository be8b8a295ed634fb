// morvane-cli end to end: the real executable run in a scratch folder.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "MorvaneVersion.h"
#include "cli/KeyArgument.h"
#include "support/Printers.h"
#include "support/ScriptBuilder.h"
#include "support/TempDir.h"

using namespace morvane;
using namespace morvane::test;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<uint8_t> Demo(const std::string& name) { return ReadBytes(std::string(MORVANE_SOURCE_DIR) + "/demo/" + name); }

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"SCM.ini", "VICESCM.ini", "SASCM.ini", "gta3_keys.cs", "vc_keys.cs", "sa_keys.cs", "main.scm", "sa_libraries.cs"})
            std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/" + name, dir.File(name));
    }

    CliRun Cli(const std::vector<std::string>& args) {
        std::string command = "cd " + Quote(dir.Path()) + " && " + Quote(MORVANE_CLI);
        for (const auto& a : args) command += " " + Quote(a);
        command += " >" + Quote(dir.File(".out")) + " 2>" + Quote(dir.File(".err"));
        const int raw = std::system(command.c_str());
        CliRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = Slurp(dir.File(".out"));
        run.err = Slurp(dir.File(".err"));
        std::filesystem::remove(dir.File(".out"));
        std::filesystem::remove(dir.File(".err"));
        return run;
    }

    // The demo file with bytes changed at the given positions.
    static std::vector<uint8_t> With(const std::string& demo, std::vector<std::pair<std::size_t, uint8_t>> changes) {
        std::vector<uint8_t> bytes = Demo(demo);
        for (const auto& [at, value] : changes) bytes.at(at) = value;
        return bytes;
    }

    TempDir dir;
};

const char* const kSaKeysTsv =
    "file\toffset\tkind\twide\tpad\tkey\tname\topcode\n"
    "sa_keys.cs\t20\tvkey\t0\t-1\t89\tY Key\t0AB0\n"
    "sa_keys.cs\t54\tvkey\t1\t-1\t160\tLeft Shift\t0AB0\n"
    "sa_keys.cs\t83\tvkey\t1\t-1\t113\tF2\t0AB0\n"
    "sa_keys.cs\t153\tbutton\t0\t0\t16\tCross: Sprint | Accelerate\t00E1\n"
    "sa_keys.cs\t185\tbutton\t0\t1\t6\tR1: Aim Weapon|Hand Brake\t00E1\n";

}  // namespace

TEST_F(CliTest, ListTsvJsonAndText) {
    CliRun tsv = Cli({"list", "--game", "sa", "--format", "tsv", "sa_keys.cs"});
    EXPECT_EQ(tsv.status, 0);
    EXPECT_EQ(tsv.out, kSaKeysTsv);
    EXPECT_EQ(tsv.err, "");

    CliRun json = Cli({"list", "--game=gta3", "--format=json", "gta3_keys.cs"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              "[\n"
              " {\"file\": \"gta3_keys.cs\", \"offset\": 19, \"kind\": \"vkey\", \"wide\": 0, \"pad\": -1, \"key\": 116, \"name\": \"F5\", \"opcode\": \"05EE\"},\n"
              " {\"file\": \"gta3_keys.cs\", \"offset\": 49, \"kind\": \"button\", \"wide\": 0, \"pad\": 0, \"key\": 17, \"name\": \"Circle: Fire\", \"opcode\": \"00E1\"}\n"
              "]\n");

    CliRun text = Cli({"list", "--game", "vc", "vc_keys.cs"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out,
              "FILE        OFFSET  KIND    WIDE  PAD  KEY  NAME                          OPCODE\n"
              "vc_keys.cs      19  vkey       0   -1   78  N Key                         05EE\n"
              "vc_keys.cs      46  vkey       0   -1   16  Shift                         05EE\n"
              "vc_keys.cs      76  button     0    0    4  L1: Action/Secondary fire     00E1\n"
              "vc_keys.cs     113  button     0    1   14  Square: Jump | Brake/Reserve  00E1\n");
}

TEST_F(CliTest, ListContextShowsTheDecodedInstructionsAroundEachTest) {
    CliRun text = Cli({"list", "--game", "gta3", "--context", "2", "gta3_keys.cs"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out,
              "FILE          OFFSET  KIND    WIDE  PAD  KEY  NAME          OPCODE\n"
              "gta3_keys.cs      19  vkey       0   -1  116  F5            05EE\n"
              "      10  0001: wait 250 ms\n"
              "      15  00D6: if 0\n"
              "    > 19  05EE: key 116 pressed\n"
              "      23  004D: jump if false @-40\n"
              "      30  0109: player $2 add money 1000\n"
              "gta3_keys.cs      49  button     0    0   17  Circle: Fire  00E1\n"
              "      40  0001: wait 250 ms\n"
              "      45  00D6: if 0\n"
              "    > 49  00E1: pad 0 button 17 pressed\n"
              "      55  004D: jump if false @-77\n"
              "      62  00BC: print text \"FIRED\" for 1000 ms style 1\n");

    CliRun json = Cli({"list", "--game", "vc", "--format", "json", "--context=1", "vc_keys.cs"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"opcode\": \"00E1\", \"context\": [{\"offset\": 72, \"text\": \"00D6: if 0\"}, "
                            "{\"offset\": 76, \"text\": \"00E1: pad 0 button 4 pressed\"}, "
                            "{\"offset\": 82, \"text\": \"004D: jump if false @-104\"}]}"),
              std::string::npos)
        << json.out;
    // Quotes of the script's strings are escaped in JSON.
    CliRun strings = Cli({"list", "--game", "vc", "--format", "json", "--context=3", "vc_keys.cs"});
    EXPECT_NE(strings.out.find("print text \\\"PAD2\\\" for 2000 ms style 1"), std::string::npos) << strings.out;

    // The header of a main script is stepped over as the scan does, and a
    // context stops at the ends of the walk.
    CliRun main = Cli({"list", "--game", "sa", "--context", "1000", "main.scm"});
    EXPECT_EQ(main.status, 0);
    const std::size_t firstContextLine = main.out.find('\n', main.out.find('\n') + 1) + 1;
    EXPECT_EQ(main.out.substr(firstContextLine, main.out.find('\n', firstContextLine) - firstContextLine),
              "       88  03A4: name this script \"MAIN\"");
    EXPECT_EQ(main.out.find("X Key"), std::string::npos);

    EXPECT_EQ(Cli({"list", "--game", "sa", "--context", "0", "sa_keys.cs"}).out,
              Cli({"list", "--game", "sa", "sa_keys.cs"}).out);
}

TEST_F(CliTest, ListFollowsArgumentOrderAndEscapesJson) {
    dir.Write("we\"ird.cs", std::vector<uint8_t>{0xEE, 0x05, 0x04, 0x41});
    CliRun json = Cli({"list", "--game", "vc", "--format", "json", "we\"ird.cs", "vc_keys.cs"});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("{\"file\": \"we\\\"ird.cs\", \"offset\": 0,"), std::string::npos) << json.out;
    EXPECT_LT(json.out.find("we\\\"ird"), json.out.find("vc_keys"));

    dir.Write("quiet.cs", std::vector<uint8_t>{0x01, 0x00, 0x04, 0x00});
    CliRun none = Cli({"list", "--format", "json", "--game", "vc", "quiet.cs"});
    EXPECT_EQ(none.out, "[]\n");
}

TEST_F(CliTest, DefaultsComeFromTheWorkingFolderAsInTheWindow) {
    // No settings file: GTA III and SCM.ini, whose rules misread a Vice City script.
    const CliRun asGta3 = Cli({"list", "--game", "gta3", "--format", "tsv", "vc_keys.cs"});
    const CliRun asDefault = Cli({"list", "--format", "tsv", "vc_keys.cs"});
    EXPECT_EQ(asDefault.out, asGta3.out);
    EXPECT_NE(asDefault.out, Cli({"list", "--game", "vc", "--format", "tsv", "vc_keys.cs"}).out);
    dir.Write("cfg", "2");
    EXPECT_EQ(Cli({"list", "--format", "tsv", "sa_keys.cs"}).out, kSaKeysTsv);

    // main.scm steps over its header; MAIN.SCM does not, unless asked.
    std::filesystem::copy_file(dir.File("main.scm"), dir.File("MAIN.SCM"));
    EXPECT_EQ(Cli({"list", "--format", "tsv", "main.scm"}).out.find("X Key"), std::string::npos);
    EXPECT_NE(Cli({"list", "--format", "tsv", "MAIN.SCM"}).out.find("X Key"), std::string::npos);
    EXPECT_EQ(Cli({"list", "--header", "on", "--format", "tsv", "MAIN.SCM"}).out.find("X Key"), std::string::npos);
    EXPECT_NE(Cli({"list", "--header", "off", "--format", "tsv", "main.scm"}).out.find("X Key"), std::string::npos);

    // Another opcode file, or none.
    std::filesystem::rename(dir.File("SASCM.ini"), dir.File("other.ini"));
    CliRun missing = Cli({"list", "sa_keys.cs", "vc_keys.cs"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "sa_keys.cs: opcode table cannot be loaded (SASCM.ini: cannot be read)\n"
                           "vc_keys.cs: opcode table cannot be loaded (SASCM.ini: cannot be read)\n");
    EXPECT_EQ(Cli({"list", "--ini", "other.ini", "--format", "tsv", "sa_keys.cs"}).out, kSaKeysTsv);
}

TEST_F(CliTest, RemapRulesWriteExactlyTheExpectedBytes) {
    CliRun byName = Cli({"remap", "--game", "sa", "--vkey", "y key=Z Key", "--vkey", " left shift = Right Shift ",
                      "sa_keys.cs", "-o", "out.cs"});
    EXPECT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(byName.out, "sa_keys.cs: 2 changed -> out.cs\n");
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), With("sa_keys.cs", {{23, 0x5A}, {57, 0xA1}}));

    CliRun buttons = Cli({"remap", "--game", "sa", "--button", "Sprint | Accelerate=fire", "--pad", "1=0", "--button",
                       "6=0x13", "sa_keys.cs", "-o", "buttons.cs"});
    EXPECT_EQ(buttons.status, 0) << buttons.err;
    EXPECT_EQ(ReadBytes(dir.File("buttons.cs")), With("sa_keys.cs", {{158, 17}, {188, 0}, {190, 19}}));

    CliRun at = Cli({"remap", "--game", "sa", "--at", "83:F16", "--at", "0x99:Pad 2:Fire", "sa_keys.cs", "-o", "at.cs"});
    EXPECT_EQ(at.status, 0) << at.err;
    EXPECT_EQ(ReadBytes(dir.File("at.cs")), With("sa_keys.cs", {{86, 0x7F}, {156, 1}, {158, 17}}));

    // Rules read the values as they were in the file, so two rules can swap keys.
    CliRun swap = Cli({"remap", "--game", "vc", "--vkey", "N Key=Shift", "--vkey", "Shift=N Key", "vc_keys.cs", "-o", "swap.cs"});
    EXPECT_EQ(swap.status, 0) << swap.err;
    EXPECT_EQ(ReadBytes(dir.File("swap.cs")), With("vc_keys.cs", {{22, 0x10}, {49, 0x4E}}));

    // A 16-bit parameter takes a high VKey.
    CliRun wide = Cli({"remap", "--game", "sa", "--vkey", "0xA0=0xFB", "sa_keys.cs", "-o", "wide.cs"});
    EXPECT_EQ(wide.status, 0) << wide.err;
    EXPECT_EQ(ReadBytes(dir.File("wide.cs")), With("sa_keys.cs", {{57, 0xFB}}));
}

TEST_F(CliTest, RefusedFilesAreNotWrittenAndOthersGoOn) {
    CliRun narrow = Cli({"remap", "--game", "sa", "--vkey", "Y Key=F17", "sa_keys.cs", "--in-place"});
    EXPECT_EQ(narrow.status, 1);
    EXPECT_EQ(narrow.err, "sa_keys.cs: refused: offset 20: VKey 128 needs 16 bits and the key parameter there has 8; "
                          "nothing written\n");
    EXPECT_EQ(ReadBytes(dir.File("sa_keys.cs")), Demo("sa_keys.cs"));

    CliRun nowhere = Cli({"remap", "--game", "sa", "--at", "21:A Key", "sa_keys.cs", "-o", "x.cs"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("no key test at offset 21"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.cs")));

    CliRun padOnKey = Cli({"remap", "--game", "sa", "--at", "20:Pad 1:A Key", "sa_keys.cs", "-o", "x.cs"});
    EXPECT_EQ(padOnKey.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.cs")));

    // In place over several files: the missing one fails, the others are done.
    std::filesystem::copy_file(dir.File("vc_keys.cs"), dir.File("vc2.cs"));
    CliRun many = Cli({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "gone.cs", "vc2.cs", "--in-place"});
    EXPECT_EQ(many.status, 1);
    EXPECT_EQ(many.err, "gone.cs: cannot open\n");
    EXPECT_EQ(many.out, "vc_keys.cs: 1 changed\nvc2.cs: 1 changed\n");
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), With("vc_keys.cs", {{22, 0x4D}}));
    EXPECT_EQ(ReadBytes(dir.File("vc2.cs")), With("vc_keys.cs", {{22, 0x4D}}));

    CliRun unsaved = Cli({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "no/such/folder.cs"});
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_EQ(unsaved.err, "no/such/folder.cs: cannot save; the file is as it was\n");

    CliRun unchanged = Cli({"remap", "--game", "vc", "--vkey", "Z Key=A Key", "vc2.cs", "--in-place"});
    EXPECT_EQ(unchanged.status, 0);
    EXPECT_EQ(unchanged.out, "vc2.cs: 0 changed (file left as it was)\n");
}

TEST_F(CliTest, ListsKeyTestsOfCurrentLibrariesFromAnIniOrACommandLibrary) {
    const char* const expected =
        "file\toffset\tkind\twide\tpad\tkey\tname\topcode\n"
        "sa_libraries.cs\t150\tvkey\t0\t-1\t117\tF6\t0E3D\n"
        "sa_libraries.cs\t181\tvkey\t1\t-1\t162\tLeft Ctrl\t2080\n"
        "sa_libraries.cs\t209\tvkey\t0\t-1\t75\tK Key\t0C89\n"
        "sa_libraries.cs\t241\tbutton\t0\t0\t19\tR3: Look Behind | Submission\t0E3E\n";
    CliRun ini = Cli({"list", "--game", "sa", "--format", "tsv", "sa_libraries.cs"});
    EXPECT_EQ(ini.status, 0);
    EXPECT_EQ(ini.out, expected);
    EXPECT_EQ(ini.err, "");

    // The same opcodes as a command library in JSON.
    std::string commands;
    for (const char* line : {"0001,1", "0002,1", "0004,2", "004D,1", "00D6,1", "00E1,2", "0109,2", "03A4,1",
                             "03E5,1", "05B6,0", "0AB0,1", "0C89,1", "0E3D,1", "0E3E,2", "2080,1"}) {
        const std::string text(line);
        commands += std::string(commands.empty() ? "" : ",") + "{\"id\": \"" + text.substr(0, 4) +
                    "\", \"name\": \"X\", \"num_params\": " + text.substr(5) + "}";
    }
    commands += R"(,{"id": "0A92", "name": "STREAM_CUSTOM_SCRIPT", "num_params": 1,
                    "input": [{"name": "scriptFileName", "type": "string"}, {"name": "args", "type": "arguments"}]})";
    dir.Write("sa.json", "{\"meta\": {\"version\": \"1\"}, \"extensions\": [{\"name\": \"default\", \"commands\": [" +
                             commands + "]}]}");
    CliRun json = Cli({"list", "--game", "sa", "--ini", "sa.json", "--format", "tsv", "sa_libraries.cs"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, expected);

    dir.Write("broken.json", "{\"extensions\": [");
    CliRun broken = Cli({"list", "--game", "sa", "--ini", "broken.json", "sa_libraries.cs"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err, "sa_libraries.cs: opcode table cannot be loaded (broken.json: not valid JSON)\n");
}

TEST_F(CliTest, UnknownInstructionsWarnOnListAndRefuseRemapUnlessAllowed) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x41);
    sa.Op(0x0DDD).Op(0x0EEE).Op(0x0FFF);  // not in the demo's SASCM.ini
    sa.Op(0x0AB0).I8(0x42);
    const std::vector<uint8_t> original = sa.Bytes();
    dir.Write("odd.cs", original);

    CliRun list = Cli({"list", "--game", "sa", "--format", "tsv", "odd.cs", "sa_keys.cs"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.err, "odd.cs: warning: 3 unknown instructions, the first at offset 4\n");
    EXPECT_EQ(list.out.substr(list.out.find('\n') + 1, 60).substr(0, 30), "odd.cs\t0\tvkey\t0\t-1\t65\tA Key\t0A");

    CliRun refused = Cli({"remap", "--game", "sa", "--vkey", "A Key=C Key", "odd.cs", "sa_keys.cs", "--in-place"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "odd.cs: warning: 3 unknown instructions, the first at offset 4\n"
              "odd.cs: refused: key tests after offset 4 may be data read as code; nothing written "
              "(--allow-unknown writes it all the same)\n");
    EXPECT_EQ(refused.out, "sa_keys.cs: 0 changed (file left as it was)\n");
    EXPECT_EQ(ReadBytes(dir.File("odd.cs")), original);

    CliRun allowed = Cli({"remap", "--game", "sa", "--allow-unknown", "--vkey", "B Key=D Key", "odd.cs", "-o", "out.cs"});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_EQ(allowed.out, "odd.cs: 1 changed -> out.cs\n");
    std::vector<uint8_t> expected = original;
    expected[13] = 0x44;
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), expected);
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate", "x.cs"},
        {"list"},
        {"list", "--game", "gta4", "x.cs"},
        {"list", "--format", "xml", "x.cs"},
        {"list", "--header", "maybe", "x.cs"},
        {"list", "--vkey", "1=2", "x.cs"},
        {"list", "--context", "-1", "x.cs"},
        {"list", "--context", "some", "x.cs"},
        {"list", "--context", "1001", "x.cs"},
        {"list", "--context"},
        {"list", "--format", "tsv", "--context", "2", "x.cs"},
        {"remap", "--context", "2", "--vkey", "1=2", "x.cs", "--in-place"},
        {"remap", "x.cs", "-o", "y.cs"},
        {"remap", "--vkey", "1=2", "x.cs"},
        {"remap", "--vkey", "1=2", "x.cs", "-o", "y.cs", "--in-place"},
        {"remap", "--vkey", "1=2", "a.cs", "b.cs", "-o", "y.cs"},
        {"remap", "--vkey", "1=256", "x.cs", "--in-place"},
        {"remap", "--vkey", "?=A Key", "x.cs", "--in-place"},
        {"remap", "--vkey", "1", "x.cs", "--in-place"},
        {"remap", "--button", "1=20", "x.cs", "--in-place"},
        {"remap", "--pad", "0=2", "x.cs", "--in-place"},
        {"remap", "--at", "12", "x.cs", "--in-place"},
        {"remap", "--at", "-1:5", "x.cs", "--in-place"},
        {"remap", "--vkey"},
    };
    for (const auto& args : bad) {
        CliRun run = Cli(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_NE(run.err.find("usage: morvane-cli"), std::string::npos) << joined;
        EXPECT_EQ(run.out, "") << joined;
    }
    EXPECT_EQ(Cli({"--help"}).status, 0);
    EXPECT_NE(Cli({"--help"}).out.find("usage:"), std::string::npos);
    EXPECT_EQ(Cli({"--version"}).out, "morvane-cli " MORVANE_VERSION "\n");
}

TEST(Version, IsMajorMinorPatchAndTheTitlesShortFormIsItsStart) {
    const std::string version = MORVANE_VERSION;
    EXPECT_TRUE(std::regex_match(version, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << version;
    EXPECT_EQ(version, MORVANE_VERSION_SHORT "." + std::to_string(MORVANE_VERSION_PATCH));
    EXPECT_EQ(std::string(MORVANE_VERSION_SHORT),
              std::to_string(MORVANE_VERSION_MAJOR) + "." + std::to_string(MORVANE_VERSION_MINOR));
}

TEST(KeyArgument, NumbersAndNames) {
    using cli::KeyKind;
    using cli::ParseKey;
    EXPECT_EQ(ParseKey("65", KeyKind::VKey), 65);
    EXPECT_EQ(ParseKey("0x41", KeyKind::VKey), 65);
    EXPECT_EQ(ParseKey("0X4a", KeyKind::VKey), 0x4A);
    EXPECT_EQ(ParseKey("a key", KeyKind::VKey), 0x41);
    EXPECT_EQ(ParseKey("  F16 ", KeyKind::VKey), 0x7F);
    EXPECT_EQ(ParseKey("left shift", KeyKind::VKey), 0xA0);
    EXPECT_EQ(ParseKey("` Key", KeyKind::VKey), 0xC0);
    EXPECT_EQ(ParseKey("fire", KeyKind::GameKey), 17);
    EXPECT_EQ(ParseKey("Circle: Fire", KeyKind::GameKey), 17);
    EXPECT_EQ(ParseKey("circle", KeyKind::GameKey), 17);
    EXPECT_EQ(ParseKey("Cross", KeyKind::GameKey), 16);
    EXPECT_EQ(ParseKey("Sprint | Accelerate", KeyKind::GameKey), 16);
    EXPECT_EQ(ParseKey("start", KeyKind::GameKey), 12);
    EXPECT_EQ(ParseKey("Left Stick X", KeyKind::GameKey), 0);
    EXPECT_EQ(ParseKey("Cross: Fire", KeyKind::GameKey), std::nullopt);  // two keys' halves
    EXPECT_EQ(ParseKey("Start", KeyKind::VKey), std::nullopt);
    // Names of earlier versions.
    EXPECT_EQ(ParseKey("APPLICATIN Key", KeyKind::VKey), 0x5D);
    EXPECT_EQ(ParseKey("Application Key", KeyKind::VKey), 0x5D);
    EXPECT_EQ(ParseKey(" Left Shift", KeyKind::VKey), 0xA0);
    EXPECT_EQ(ParseKey(" ; Key", KeyKind::VKey), 0xBA);
    EXPECT_EQ(ParseKey("APPLICATIN Key", KeyKind::GameKey), std::nullopt);
    EXPECT_EQ(ParseKey("Fire", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("Ctrl", KeyKind::GameKey), std::nullopt);
    EXPECT_EQ(ParseKey("?", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("?", KeyKind::GameKey), 12);  // the one unnamed game key
    EXPECT_EQ(ParseKey("Pad 2", KeyKind::Pad), 1);
    EXPECT_EQ(ParseKey("", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("0x", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("12abc", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("99999999999", KeyKind::VKey), std::nullopt);
    EXPECT_EQ(ParseKey("-3", KeyKind::VKey), -3);
}
