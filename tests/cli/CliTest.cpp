// morvane-cli end to end: the real executable run in a scratch folder.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <tinyxml2.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <fstream>
#include <regex>
#include <sstream>

#include "MorvaneVersion.h"
#include <nlohmann/json.hpp>

#include "cli/Escape.h"
#include "cli/KeyArgument.h"
#include "cli/Options.h"
#include "script/FileLock.h"
#include "support/Printers.h"
#include "support/ScriptBuilder.h"
#include "script/SafeWrite.h"
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

    std::string Command(const std::vector<std::string>& args, const std::string& output) {
        std::string command = "cd " + Quote(dir.Path()) + " && " + runner + Quote(MORVANE_CLI);
        for (const auto& a : args) command += " " + Quote(a);
        return command + " >" + Quote(output) + " 2>" + Quote(dir.File(".err"));
    }

    // Runs morvane-cli in the scratch folder; its standard output goes to
    // `output` when given.
    CliRun Cli(const std::vector<std::string>& args, const std::string& output = "") {
        const int raw = std::system(Command(args, output.empty() ? dir.File(".out") : output).c_str());
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
    std::string runner;  // a command the program is run through, with its trailing space
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

    // A name that is not UTF-8 still gives valid JSON.
    dir.Write("caf\xE9.cs", std::vector<uint8_t>{0xEE, 0x05, 0x04, 0x41});
    CliRun latin1 = Cli({"list", "--game", "vc", "--format", "json", "caf\xE9.cs"});
    EXPECT_EQ(nlohmann::json::parse(latin1.out).at(0).at("file"), "caf\xEF\xBF\xBD.cs");

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
    EXPECT_EQ(missing.err, "sa_keys.cs: opcode table cannot be loaded (SASCM.ini: not found)\n"
                           "vc_keys.cs: opcode table cannot be loaded (SASCM.ini: not found)\n");
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
    EXPECT_EQ(many.err, "gone.cs: cannot open: not found\n");
    EXPECT_EQ(many.out, "vc_keys.cs: 1 changed\nvc2.cs: 1 changed\n");
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), With("vc_keys.cs", {{22, 0x4D}}));
    EXPECT_EQ(ReadBytes(dir.File("vc2.cs")), With("vc_keys.cs", {{22, 0x4D}}));

    CliRun unsaved = Cli({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "no/such/folder.cs"});
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_EQ(unsaved.err, "no/such/folder.cs: cannot save: folder does not exist; nothing written\n");

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
        {"remap", "--vkey", "300=1", "x.cs", "--in-place"},   // FROM is checked like TO
        {"remap", "--vkey", "-1=2", "x.cs", "-o", "y.cs"},
        {"remap", "--button", "25=1", "x.cs", "--in-place"},
        {"remap", "--pad", "2=0", "x.cs", "--in-place"},
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

// ---- morvane-cli keys ----

namespace {

class KeysTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        std::filesystem::create_directories(dir.File("mods/sub"));
        for (const char* name : {"sa_keys.cs", "sa_libraries.cs", "main.scm"})
            std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/" + name, dir.File(std::string("mods/") + name));
        std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/sa_hotkeys.cs", dir.File("mods/sub/HOT.CS"));
    }
};

const char* const kModsText =
    "Key map: 4 scripts, 14 keys tested, 3 conflicts\n"
    "\n"
    "Conflicts: keys tested by two or more scripts\n"
    "  VKey 75  K Key: 2 scripts\n"
    "      mods/sa_libraries.cs (1 test)\n"
    "      mods/sub/HOT.CS (1 test)\n"
    "  VKey 113  F2: 2 scripts\n"
    "      mods/sa_keys.cs (1 test)\n"
    "      mods/sub/HOT.CS (2 tests)\n"
    "  Pad 1 button 16  Cross: Sprint | Accelerate: 2 scripts\n"
    "      mods/sa_keys.cs (1 test)\n"
    "      mods/sub/HOT.CS (1 test)\n"
    "\n"
    "Keys tested by one script\n"
    "  VKey 16  Shift: mods/sub/HOT.CS (1 test)\n"
    "  VKey 77  M Key: mods/main.scm (1 test)\n"
    "  VKey 89  Y Key: mods/sa_keys.cs (1 test)\n"
    "  VKey 117  F6: mods/sa_libraries.cs (1 test)\n"
    "  VKey 128  F17: mods/sub/HOT.CS (1 test)\n"
    "  VKey 160  Left Shift: mods/sa_keys.cs (1 test)\n"
    "  VKey 162  Left Ctrl: mods/sa_libraries.cs (1 test)\n"
    "  Pad 1 button 15  Triangle: Enter/Exit vehicle: mods/main.scm (1 test)\n"
    "  Pad 1 button 19  R3: Look Behind | Submission: mods/sa_libraries.cs (1 test)\n"
    "  Pad 2 button 6  R1: Aim Weapon|Hand Brake: mods/sa_keys.cs (1 test)\n"
    "  Pad 2 button 17  Circle: Fire: mods/sub/HOT.CS (1 test)\n";

}  // namespace

TEST_F(KeysTest, TextGroupsByKeyWithTheConflictsFirst) {
    const CliRun run = Cli({"keys", "--game", "sa", "mods"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kModsText);
    EXPECT_EQ(run.err, "");
    // A trailing slash, and the folder named twice, change nothing.
    EXPECT_EQ(Cli({"keys", "--game", "sa", "mods/", "mods"}).out, kModsText);
}

TEST_F(KeysTest, TsvHasOneRowPerKeyAndScript) {
    const CliRun run = Cli({"keys", "--game", "sa", "--format", "tsv", "mods/sa_keys.cs", "mods/sub"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "kind\tpad\tkey\tname\tfile\ttests\tconflict\n"
              "vkey\t-1\t113\tF2\tmods/sa_keys.cs\t1\t1\n"
              "vkey\t-1\t113\tF2\tmods/sub/HOT.CS\t2\t1\n"
              "button\t0\t16\tCross: Sprint | Accelerate\tmods/sa_keys.cs\t1\t1\n"
              "button\t0\t16\tCross: Sprint | Accelerate\tmods/sub/HOT.CS\t1\t1\n"
              "vkey\t-1\t16\tShift\tmods/sub/HOT.CS\t1\t0\n"
              "vkey\t-1\t75\tK Key\tmods/sub/HOT.CS\t1\t0\n"
              "vkey\t-1\t89\tY Key\tmods/sa_keys.cs\t1\t0\n"
              "vkey\t-1\t128\tF17\tmods/sub/HOT.CS\t1\t0\n"
              "vkey\t-1\t160\tLeft Shift\tmods/sa_keys.cs\t1\t0\n"
              "button\t1\t6\tR1: Aim Weapon|Hand Brake\tmods/sa_keys.cs\t1\t0\n"
              "button\t1\t17\tCircle: Fire\tmods/sub/HOT.CS\t1\t0\n");

    // Names that would break the columns are escaped.
    std::filesystem::create_directories(dir.File("odd"));
    std::filesystem::copy_file(dir.File("sa_keys.cs"), dir.File("odd/tab\there\nnew\\line.cs"));
    const CliRun odd = Cli({"keys", "--game", "sa", "--format", "tsv", "odd"});
    EXPECT_NE(odd.out.find("\todd/tab\\there\\nnew\\\\line.cs\t1\t0\n"), std::string::npos) << odd.out;
    EXPECT_EQ(std::count(odd.out.begin(), odd.out.end(), '\n'), 6);
}

TEST_F(KeysTest, JsonIsAnObjectPerKeyWithIncompleteAndLeftOutFilesApart) {
    dir.Write("mods/garbage.cs", std::string("\x23\x01\x77\x77\xB0\x0A\x04\x41", 8));  // unknown, then a test of A
    dir.Write("mods/caf\xC3\xA9\xFF.cs", Demo("sa_keys.cs"));
    dir.Write("notes.txt", "named, but not a script");
    const CliRun run = Cli({"keys", "--game", "sa", "--format", "json", "mods", "notes.txt"});
    EXPECT_EQ(run.status, 1);
    const nlohmann::json json = nlohmann::json::parse(run.out);  // throws when not valid JSON
    EXPECT_EQ(json["scripts"], 6);
    EXPECT_EQ(json["conflicts"], 6);
    const nlohmann::json& f2 = json["keys"][2];
    EXPECT_EQ(f2["kind"], "vkey");
    EXPECT_EQ(f2["pad"], -1);
    EXPECT_EQ(f2["key"], 113);
    EXPECT_EQ(f2["name"], "F2");
    EXPECT_EQ(f2["conflict"], true);
    EXPECT_EQ(f2["tests"], 4);
    EXPECT_EQ(f2["files"].size(), 3u);
    EXPECT_EQ(f2["files"][0]["file"], "mods/caf\xC3\xA9\xEF\xBF\xBD.cs");
    EXPECT_EQ(json["incomplete"], nlohmann::json::parse(
        R"([{"file": "mods/garbage.cs", "unknownInstructions": 2, "firstUnknownOffset": 0}])"));
    EXPECT_EQ(json["leftOut"][0]["file"], "notes.txt");
    EXPECT_EQ(run.err,
              "notes.txt: not a script (a script's name ends in .cs, .cs3, .cs4, .cm or .scm)\n"
              "mods/garbage.cs: warning: 2 unknown instructions, the first at offset 0\n");
}

TEST_F(KeysTest, TheWalkSkipsHiddenAndOtherFilesAndEndsInLinkLoops) {
    dir.Write("mods/.backup.cs", Demo("gta3_keys.cs"));
    std::filesystem::create_directories(dir.File("mods/.git"));
    dir.Write("mods/.git/x.cs", Demo("gta3_keys.cs"));
    dir.Write("mods/readme.txt", "not a script");
    dir.Write("mods/SASCM.ini", "[OPCODES]\n");
    std::filesystem::create_directory_symlink("..", dir.File("mods/sub/up"));
    std::filesystem::create_symlink("sa_keys.cs", dir.File("mods/same.cs"));
    const CliRun run = Cli({"keys", "--game", "sa", "mods"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kModsText);
    EXPECT_EQ(run.err, "");
}

TEST_F(KeysTest, AFolderThatCannotBeReadIsReportedAndTheRestMapped) {
    std::filesystem::create_directories(dir.File("mods/locked"));
    dir.Write("mods/locked/secret.cs", Demo("sa_keys.cs"));
    std::filesystem::permissions(dir.File("mods/locked"), std::filesystem::perms::none);
    // Permissions do not stop root: run the program as nobody then, in a
    // folder nobody can enter.
    if (geteuid() == 0) {
        runner = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
        std::filesystem::permissions(dir.Path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                     std::filesystem::perm_options::add);
    }
    const CliRun run = Cli({"keys", "--game", "sa", "mods"});
    std::filesystem::permissions(dir.File("mods/locked"), std::filesystem::perms::owner_all);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "mods/locked: cannot be searched: Permission denied\n");
    EXPECT_EQ(run.out, std::string(kModsText) + "\nLeft out: 1\n  mods/locked: cannot be searched: Permission denied\n");
}

TEST_F(KeysTest, SvgDrawsTheMapAndAPictureThatCannotBeSavedIsReported) {
    const CliRun run = Cli({"keys", "--game", "sa", "--format", "tsv", "--svg", "map.svg", "mods"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    tinyxml2::XMLDocument svg;
    ASSERT_EQ(svg.LoadFile(dir.File("map.svg").c_str()), tinyxml2::XML_SUCCESS);
    EXPECT_STREQ(svg.RootElement()->Name(), "svg");
    const std::string text = Slurp(dir.File("map.svg"));
    EXPECT_NE(text.find("Key map of mods</text>"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("\\b20[0-9][0-9]-[01][0-9]-[0-3][0-9]\\b")));

    std::filesystem::create_directories(dir.File("pictures"));
    const CliRun dated = Cli({"keys", "--game", "sa", "--svg=pictures/map.svg", "mods"});
    EXPECT_EQ(dated.status, 0);
    EXPECT_EQ(dated.out, kModsText);  // the picture is extra; the map is still printed

    const CliRun nowhere = Cli({"keys", "--game", "sa", "--svg", "missing/map.svg", "mods"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(nowhere.err, "missing/map.svg: cannot save the picture\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST_F(KeysTest, UsageErrorsAndAMissingOpcodeTable) {
    EXPECT_EQ(Cli({"keys", "--game", "sa"}).status, 2);
    EXPECT_NE(Cli({"keys", "--game", "sa"}).err.find("no script or folder given"), std::string::npos);
    EXPECT_EQ(Cli({"keys", "--svg", "", "mods"}).status, 2);
    EXPECT_EQ(Cli({"list", "--svg", "x.svg", "sa_keys.cs"}).status, 2);
    EXPECT_EQ(Cli({"keys", "--format", "xml", "mods"}).status, 2);
    const CliRun noTable = Cli({"keys", "--game", "sa", "--ini", "none.ini", "mods"});
    EXPECT_EQ(noTable.status, 1);
    EXPECT_EQ(noTable.out, "");
    EXPECT_NE(noTable.err.find("opcode table cannot be loaded (none.ini"), std::string::npos) << noTable.err;
}

TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailureWithItsCause) {
    const std::string kFull = "/dev/full";
    const std::string kCause = "morvane-cli: cannot write the output: no space left on device\n";
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"--version"}, {"list", "--game", "sa", "sa_keys.cs"},
             {"list", "--game", "sa", "--format", "json", "sa_keys.cs", "sa_libraries.cs"}}) {
        const CliRun run = Cli(args, kFull);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.err, kCause) << args[0];
    }
    // The file is written; the report of it is not, and that is said.
    const CliRun remap = Cli({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "out.cs"}, kFull);
    EXPECT_EQ(remap.status, 1);
    EXPECT_EQ(remap.err, kCause);
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), With("vc_keys.cs", {{22, 0x4D}}));
}

TEST_F(CliTest, MachineReadableOutputSurvivesOddFileNames) {
    const std::vector<uint8_t> script = {0xEE, 0x05, 0x04, 0x41};  // one VKey test, "A Key"
    const std::vector<std::string> names = {"tab\there.cs", "new\nline.cs", "back\\slash.cs", "cr\rhere.cs",
                                            "caf\xE9.cs", "caf\xC3\xA9.cs"};
    for (const auto& name : names) dir.Write(name, script);
    std::vector<std::string> args = {"list", "--game", "vc", "--format", "tsv"};
    args.insert(args.end(), names.begin(), names.end());

    const CliRun tsv = Cli(args);
    EXPECT_EQ(tsv.status, 0) << tsv.err;
    const std::string row = "\t0\tvkey\t0\t-1\t65\tA Key\t05EE\n";
    EXPECT_EQ(tsv.out, "file\toffset\tkind\twide\tpad\tkey\tname\topcode\n"
                       "tab\\there.cs" + row + "new\\nline.cs" + row + "back\\\\slash.cs" + row +
                       "cr\\rhere.cs" + row + "caf\xE9.cs" + row + "caf\xC3\xA9.cs" + row);

    args[4] = "json";
    const CliRun json = Cli(args);
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

TEST(Escape, JsonIsAlwaysValidUtf8AndTsvFieldsStayOneField) {
    using cli::IsValidUtf8;
    using cli::JsonString;
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x91"));
    for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                            "\xC3", "\xE2\x82", "\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_EQ(JsonString("a\"b\\c\x01\x7F"), "\"a\\\"b\\\\c\\u0001\\u007f\"");
    EXPECT_EQ(JsonString("\xED\xA0\x80!"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD!\"");  // a surrogate, byte by byte
    EXPECT_EQ(JsonString("\xE2\x82\xAC"), "\"\xE2\x82\xAC\"");
    EXPECT_EQ(cli::TsvField("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
}

TEST(Options, TheEqualsKeyCanStandOnEitherSideOfARule) {
    auto rule = [](const std::string& value) {
        std::string error;
        const auto options = cli::ParseArguments({"remap", "--vkey", value, "x.cs", "--in-place"}, error);
        return options ? std::make_pair(options->rules[0].from, options->rules[0].to) : std::make_pair(-1, -1);
    };
    EXPECT_EQ(rule("= Key=A Key"), std::make_pair(0xBB, 0x41));
    EXPECT_EQ(rule("A Key== Key"), std::make_pair(0x41, 0xBB));
    EXPECT_EQ(rule("= Key== Key"), std::make_pair(0xBB, 0xBB));
    EXPECT_EQ(rule("=Key=1"), std::make_pair(-1, -1));  // not the key's name
    EXPECT_EQ(rule("61=="), std::make_pair(-1, -1));
}

TEST_F(CliTest, MessagesNameTheFileAndTheCause) {
    std::filesystem::create_directory(dir.File("folder.cs"));
    const CliRun folder = Cli({"list", "--game", "vc", "folder.cs"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "folder.cs: cannot open: is a folder\n");

    // Into a folder that does not exist there was no file to keep; over a
    // write-protected file there was.
    const CliRun nowhere = Cli({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "none/out.cs"});
    EXPECT_EQ(nowhere.err, "none/out.cs: cannot save: folder does not exist; nothing written\n");
    const std::string kept = dir.Write("kept.cs", std::string("keep"));
    ASSERT_EQ(chmod(kept.c_str(), 0444), 0);
    const CliRun protectedFile = Cli({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "kept.cs"});
    EXPECT_EQ(protectedFile.status, 1);
    EXPECT_EQ(protectedFile.err, "kept.cs: cannot save: is write-protected; the file is as it was\n");

    // Opcode files that cannot be used, each with its reason.
    const struct { const char* name; std::string text; const char* cause; } bad[] = {
        {"empty.ini", "", "the file is empty"},
        {"nosection.ini", "0001=1\n05EE=1\n", "describes no opcode: there is no [section] line"},
        {"utf16.ini", std::string("\xFF\xFE[\0x\0]\0\n\0" "0\0" "0\0" "0\0" "1\0=\0" "1\0\n\0", 24),
         "describes no opcode: the text is UTF-16 or not text at all (save it as ANSI or UTF-8)"},
        {"folder", "", "is a folder"},
    };
    std::filesystem::create_directory(dir.File("folder"));
    for (const auto& b : bad) {
        if (std::string(b.name) != "folder") dir.Write(b.name, b.text);
        const CliRun run = Cli({"list", "--game", "vc", "--ini", b.name, "vc_keys.cs"});
        EXPECT_EQ(run.status, 1) << b.name;
        EXPECT_EQ(run.out, "FILE  OFFSET  KIND  WIDE  PAD  KEY  NAME  OPCODE\n") << b.name;
        EXPECT_EQ(run.err, "vc_keys.cs: opcode table cannot be loaded (" + std::string(b.name) + ": " + b.cause + ")\n");
    }
}

TEST_F(CliTest, AssumptionsAndMissingKeyTestsAreSaidOnce) {
    const CliRun assumed = Cli({"list", "--format", "tsv", "gta3_keys.cs", "gta3_keys.cs"});
    EXPECT_EQ(assumed.status, 0);
    EXPECT_EQ(assumed.err, "assuming GTA III: no cfg here and no --game\n");
    EXPECT_EQ(Cli({"list", "--game", "gta3", "gta3_keys.cs"}).err, "");
    dir.Write("cfg", "0");
    EXPECT_EQ(Cli({"list", "gta3_keys.cs"}).err, "");

    // A table without any of the game's VKey tests, then without its button test.
    auto without = [&](const std::string& demoIni, const std::vector<std::string>& opcodes) {
        std::istringstream in(Slurp(dir.File(demoIni)));
        std::string kept;
        for (std::string line; std::getline(in, line);) {
            bool drop = false;
            for (const auto& opcode : opcodes) drop = drop || line.rfind(opcode + "=", 0) == 0;
            if (!drop) kept += line + "\n";
        }
        return kept;
    };
    dir.Write("quiet.cs", std::vector<uint8_t>{0x01, 0x00, 0x04, 0x00});  // no key test at all
    dir.Write("nokeys.ini", without("SASCM.ini", {"0AB0", "0E3D", "2080", "0C89"}));
    const CliRun noKeys = Cli({"list", "--game", "sa", "--ini", "nokeys.ini", "--format", "tsv", "quiet.cs", "quiet.cs"});
    EXPECT_EQ(noKeys.status, 0);
    EXPECT_EQ(noKeys.err, "warning: nokeys.ini does not describe 0AB0, 0E3D, 2080 or 0C89; VKey tests are not found\n");
    dir.Write("nobuttons.ini", without("VICESCM.ini", {"00E1"}));
    EXPECT_EQ(Cli({"list", "--game", "vc", "--ini", "nobuttons.ini", "quiet.cs"}).err,
              "warning: nobuttons.ini does not describe 00E1; button tests are not found\n");
    // One of several is enough: a table without the newer libraries' tests is usual.
    dir.Write("some.ini", without("SASCM.ini", {"0E3D", "2080", "0C89"}));
    EXPECT_EQ(Cli({"list", "--game", "sa", "--ini", "some.ini", "quiet.cs"}).err, "");
}

TEST_F(CliTest, AFileNamedTwiceIsDoneOnce) {
    ASSERT_EQ(symlink("vc_keys.cs", dir.File("link.cs").c_str()), 0);
    ASSERT_EQ(link(dir.File("vc_keys.cs").c_str(), dir.File("hard.cs").c_str()), 0);
    const CliRun run = Cli({"remap", "--game", "vc", "--vkey", "N Key=M Key", "--vkey", "M Key=N Key", "vc_keys.cs",
                            "./vc_keys.cs", "link.cs", "hard.cs", "--in-place"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "vc_keys.cs: 1 changed\n");
    EXPECT_EQ(run.err, "./vc_keys.cs: the same file as vc_keys.cs, done once\n"
                       "link.cs: the same file as vc_keys.cs, done once\n"
                       "hard.cs: the same file as vc_keys.cs, done once\n");
    // Done twice, the swap would have undone itself.
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), With("vc_keys.cs", {{22, 0x4D}}));
}

TEST_F(CliTest, ASecondRemapOfOneFileWaitsForTheFirstAndKeepsItsChanges) {
    const std::string path = dir.File("vc_keys.cs");
    FileLock first;
    ASSERT_EQ(first.Lock(path), FileLock::Outcome::Locked);

    const std::string command =
        Command({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "--in-place"}, dir.File(".out"));
    const pid_t second = fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        // exec, so that the copy of the lock's descriptor closes (it is close-on-exec)
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string waiting = "vc_keys.cs: waiting for another program that is changing it\n";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Slurp(dir.File(".err")) != waiting && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Slurp(dir.File(".err")), waiting);

    // The first changes another key and saves while the second waits.
    const std::vector<uint8_t> firstResult = With("vc_keys.cs", {{49, 0x11}});
    ASSERT_TRUE(WriteFileSafely(path, firstResult.data(), firstResult.size()));
    first.Unlock();

    int status = 0;
    ASSERT_EQ(waitpid(second, &status, 0), second);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Slurp(dir.File(".out")), "vc_keys.cs: 1 changed\n");
    EXPECT_EQ(ReadBytes(path), With("vc_keys.cs", {{22, 0x4D}, {49, 0x11}}));
}

// ---- cheat codes ----

namespace {

class CheatTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        for (const char* name : {"sa_cheats.cs", "vc_cheats.cs"})
            std::filesystem::copy_file(std::string(MORVANE_SOURCE_DIR) + "/demo/" + name, dir.File(name));
    }

    // The demo file with its bytes from `at` on replaced.
    static std::vector<uint8_t> Overwritten(const std::string& demo, std::size_t at, const std::string& bytes) {
        std::vector<uint8_t> result = Demo(demo);
        for (std::size_t i = 0; i < bytes.size(); ++i) result.at(at + i) = static_cast<uint8_t>(bytes[i]);
        return result;
    }
};

}  // namespace

TEST_F(CheatTest, ListShowsEachCodeAsACheatWithNoKeyOrPad) {
    const CliRun tsv = Cli({"list", "--game", "sa", "--format", "tsv", "sa_cheats.cs"});
    EXPECT_EQ(tsv.status, 0);
    EXPECT_EQ(tsv.err, "");
    EXPECT_EQ(tsv.out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\n"
              "sa_cheats.cs\t20\tcheat\t0\t-1\t-1\tBOOM\t0ADC\n"
              "sa_cheats.cs\t57\tcheat\t0\t-1\t-1\tFLYINGCARS\t0ADC\n"
              "sa_cheats.cs\t99\tcheat\t0\t-1\t-1\tTANK\t0ADC\n"
              "sa_cheats.cs\t167\tvkey\t0\t-1\t113\tF2\t0AB0\n");

    const CliRun text = Cli({"list", "--game", "vc", "vc_cheats.cs"});
    EXPECT_EQ(text.out,
              "FILE          OFFSET  KIND   WIDE  PAD  KEY  NAME     OPCODE\n"
              "vc_cheats.cs      19  cheat     0   -1   -1  GUNS     0ADC\n"
              "vc_cheats.cs      55  cheat     0   -1   -1  MONEYUP  0ADC\n");

    // A code read from a file is any bytes: escaped in TSV, valid in JSON.
    ScriptBuilder odd(kGameSanAndreas);
    odd.Op(0x0ADC).String8("A\tB\n\xFF");
    dir.Write("odd.cs", odd.Bytes());
    EXPECT_EQ(Cli({"list", "--game", "sa", "--format", "tsv", "odd.cs"}).out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\n"
              "odd.cs\t0\tcheat\t0\t-1\t-1\tA\\tB\\n\xFF\t0ADC\n");
    const nlohmann::json json = nlohmann::json::parse(Cli({"list", "--game", "sa", "--format", "json", "odd.cs"}).out);
    EXPECT_EQ(json.at(0).at("name"), "A\tB\n\xEF\xBF\xBD");
    EXPECT_EQ(json.at(0).at("kind"), "cheat");
    EXPECT_EQ(json.at(0).at("key"), -1);
}

TEST_F(CheatTest, RemapChangesCodesInPlaceUpperCasedAndZeroPadded) {
    // BOOM's characters start at 23, FLYINGCARS's at 60, TANK's at 103.
    const CliRun byCode = Cli({"remap", "--game", "sa", "--cheat", "boom=bang2", "--cheat", "FlyingCars=SKY",
                               "sa_cheats.cs", "-o", "out.cs"});
    EXPECT_EQ(byCode.status, 0) << byCode.err;
    EXPECT_EQ(byCode.out, "sa_cheats.cs: 2 changed -> out.cs\n");
    std::vector<uint8_t> expected = Overwritten("sa_cheats.cs", 23, "BANG2");
    const std::string sky("SKY\0\0\0\0\0\0\0", 10);
    for (std::size_t i = 0; i < sky.size(); ++i) expected.at(60 + i) = static_cast<uint8_t>(sky[i]);
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), expected);

    const CliRun at = Cli({"remap", "--game", "sa", "--at", "99:tony", "sa_cheats.cs", "--in-place"});
    EXPECT_EQ(at.status, 0) << at.err;
    EXPECT_EQ(ReadBytes(dir.File("sa_cheats.cs")), Overwritten("sa_cheats.cs", 103, "TONY"));

    const CliRun older = Cli({"remap", "--game", "vc", "--at", "55:CASH", "vc_cheats.cs", "-o", "vc.cs"});
    EXPECT_EQ(older.status, 0) << older.err;
    EXPECT_EQ(ReadBytes(dir.File("vc.cs")), Overwritten("vc_cheats.cs", 57, std::string("CASH\0\0\0", 7)));

    // The code it has already: nothing changes.
    const CliRun same = Cli({"remap", "--game", "vc", "--cheat", "GUNS=guns", "vc_cheats.cs", "--in-place"});
    EXPECT_EQ(same.out, "vc_cheats.cs: 0 changed (file left as it was)\n");
    EXPECT_EQ(ReadBytes(dir.File("vc_cheats.cs")), Demo("vc_cheats.cs"));
}

TEST_F(CheatTest, ACodeThatDoesNotFitIsRefusedSayingWhatWould) {
    const struct { std::vector<std::string> rule; const char* cause; } refusals[] = {
        {{"--cheat", "TANK=TANKS"}, "offset 99: cheat code TANK cannot become TANKS: this code must have exactly 4 characters"},
        {{"--at", "20:EIGHTCHR"}, "offset 20: cheat code BOOM cannot become EIGHTCHR: this code may have at most 7 characters"},
        {{"--cheat", "BOOM=BO-OM"}, "offset 20: cheat code BOOM cannot become BO-OM: a cheat code has only letters A-Z and digits"},
        {{"--at", "57:SIXTEENCHARSWXYZ"},
         "offset 57: cheat code FLYINGCARS cannot become SIXTEENCHARSWXYZ: this code may have at most 15 characters"},
        {{"--at", "57:1:ABC"}, "--at 57:1:ABC: the cheat test at offset 57 has no pad"},
    };
    for (const auto& refusal : refusals) {
        std::vector<std::string> args = {"remap", "--game", "sa"};
        args.insert(args.end(), refusal.rule.begin(), refusal.rule.end());
        args.insert(args.end(), {"sa_cheats.cs", "-o", "x.cs"});
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 1) << refusal.cause;
        EXPECT_EQ(run.err, std::string("sa_cheats.cs: refused: ") + refusal.cause + "; nothing written\n");
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.cs")));
    }
    EXPECT_EQ(ReadBytes(dir.File("sa_cheats.cs")), Demo("sa_cheats.cs"));

    const CliRun usage = Cli({"remap", "--game", "sa", "--cheat", "BOOM", "sa_cheats.cs", "--in-place"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("--cheat takes FROM=TO, each a cheat code: BOOM"), std::string::npos) << usage.err;
}

TEST_F(CheatTest, KeysListsCodesAndTwoScriptsWithOneCodeConflict) {
    std::filesystem::create_directories(dir.File("mods"));
    std::filesystem::copy_file(dir.File("sa_cheats.cs"), dir.File("mods/sa_cheats.cs"));
    ScriptBuilder other(kGameSanAndreas);
    other.Op(0x0ADC).VarString("BOOM");  // the same code in another form
    other.Op(0x0ADC).String8("boom");    // not the same: the game's codes are upper case
    dir.Write("mods/other.cs", other.Bytes());
    const CliRun run = Cli({"keys", "--game", "sa", "mods", "--svg", "map.svg"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "Key map: 2 scripts, 1 key and 4 cheat codes tested, 1 conflict\n"
              "\n"
              "Conflicts: keys tested by two or more scripts\n"
              "  Cheat BOOM: 2 scripts\n"
              "      mods/other.cs (1 test)\n"
              "      mods/sa_cheats.cs (1 test)\n"
              "\n"
              "Keys tested by one script\n"
              "  VKey 113  F2: mods/sa_cheats.cs (1 test)\n"
              "  Cheat FLYINGCARS: mods/sa_cheats.cs (1 test)\n"
              "  Cheat TANK: mods/sa_cheats.cs (1 test)\n"
              "  Cheat boom: mods/other.cs (1 test)\n");
    EXPECT_NE(Cli({"keys", "--game", "sa", "--format", "tsv", "mods"}).out.find("cheat\t-1\t-1\tBOOM\tmods/other.cs\t1\t1\n"),
              std::string::npos);
    const nlohmann::json json = nlohmann::json::parse(Cli({"keys", "--game", "sa", "--format", "json", "mods"}).out);
    EXPECT_EQ(json["keys"][0]["kind"], "cheat");
    EXPECT_EQ(json["keys"][0]["name"], "BOOM");
    EXPECT_EQ(json["keys"][0]["conflict"], true);
    EXPECT_NE(Slurp(dir.File("map.svg")).find("Cheat codes typed"), std::string::npos);
}
