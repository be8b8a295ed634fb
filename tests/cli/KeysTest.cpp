// morvane-cli keys: which keys the scripts of folders test, the keys two
// scripts share first, as text, TSV, JSON and a picture.

#include <unistd.h>

#include <nlohmann/json.hpp>
#include <tinyxml2.h>

#include <algorithm>
#include <regex>

#include "cli/CliSupport.h"

using namespace morvane;
using namespace morvane::test;

namespace {

class KeysTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        std::filesystem::create_directories(dir.File("mods/sub"));
        for (const char* name : {"sa_keys.cs", "sa_libraries.cs", "main.scm"})
            std::filesystem::copy_file(DemoPath(name), dir.File(std::string("mods/") + name));
        std::filesystem::copy_file(DemoPath("sa_hotkeys.cs"), dir.File("mods/sub/HOT.CS"));
    }
};

const char* const kModsText =
    "Key map: 4 scripts, 14 keys tested, 2 conflicts\n"
    "\n"
    "Conflicts: keys that two or more mods test\n"
    "  VKey 75  K Key: 2 mods\n"
    "      mods/sa_libraries.cs (1 test)\n"
    "      mods/sub/HOT.CS (1 test)\n"
    "  VKey 113  F2: 2 mods\n"
    "      mods/sa_keys.cs (1 test)\n"
    "      mods/sub/HOT.CS (2 tests)\n"
    "\n"
    "Shared controls: pad buttons mods read as the game's controls\n"
    "  Pad 1 button 16  Cross: Sprint | Accelerate: 2 mods\n"
    "      mods/sa_keys.cs (1 test)\n"
    "      mods/sub/HOT.CS (1 test)\n"
    "\n"
    "Keys without a conflict\n"
    "  VKey 16  Shift: mods/sub/HOT.CS (1 test)\n"
    "  VKey 77  M Key: mods/main.scm (1 test)\n"
    "  VKey 89  Y Key: mods/sa_keys.cs (1 test)\n"
    "  VKey 117  F6: mods/sa_libraries.cs (1 test)\n"
    "  VKey 128  F17: mods/sub/HOT.CS (1 test)\n"
    "  VKey 160  Left Shift: mods/sa_keys.cs (1 test)\n"
    "  VKey 162  Left Ctrl: mods/sa_libraries.cs (1 test)\n"
    "  Pad 1 button 15  Triangle: Enter/Exit vehicle: mods/main.scm (1 test)\n"
    "  Pad 1 button 19  R3: Look Behind | Submission: mods/sa_libraries.cs (1 test)\n"
    "  Pad 2 button 6  R1: Aim Weapon | Hand Brake: mods/sa_keys.cs (1 test)\n"
    "  Pad 2 button 17  Circle: Fire: mods/sub/HOT.CS (1 test)\n";

}  // namespace

TEST_F(KeysTest, TextGroupsByKeyWithTheConflictsFirst) {
    const CliRun run = Run({"keys", "--game", "sa", "mods"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kModsText);
    EXPECT_EQ(run.err, "");
    // A trailing slash, and the folder named twice, change nothing.
    EXPECT_EQ(Run({"keys", "--game", "sa", "mods/", "mods"}).out, kModsText);
}

TEST_F(KeysTest, TsvHasOneRowPerKeyAndScript) {
    const CliRun run = Run({"keys", "--game", "sa", "--format", "tsv", "mods/sa_keys.cs", "mods/sub"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "kind\tpad\tkey\tname\tfile\tmod\ttests\tconflict\n"
              "vkey\t-1\t113\tF2\tmods/sa_keys.cs\tsa_keys.cs\t1\t1\n"
              "vkey\t-1\t113\tF2\tmods/sub/HOT.CS\tHOT.CS\t2\t1\n"
              "vkey\t-1\t16\tShift\tmods/sub/HOT.CS\tHOT.CS\t1\t0\n"
              "vkey\t-1\t75\tK Key\tmods/sub/HOT.CS\tHOT.CS\t1\t0\n"
              "vkey\t-1\t89\tY Key\tmods/sa_keys.cs\tsa_keys.cs\t1\t0\n"
              "vkey\t-1\t128\tF17\tmods/sub/HOT.CS\tHOT.CS\t1\t0\n"
              "vkey\t-1\t160\tLeft Shift\tmods/sa_keys.cs\tsa_keys.cs\t1\t0\n"
              // a pad's button two mods read is a shared control, no conflict
              "button\t0\t16\tCross: Sprint | Accelerate\tmods/sa_keys.cs\tsa_keys.cs\t1\t0\n"
              "button\t0\t16\tCross: Sprint | Accelerate\tmods/sub/HOT.CS\tHOT.CS\t1\t0\n"
              "button\t1\t6\tR1: Aim Weapon | Hand Brake\tmods/sa_keys.cs\tsa_keys.cs\t1\t0\n"
              "button\t1\t17\tCircle: Fire\tmods/sub/HOT.CS\tHOT.CS\t1\t0\n");

    // Names that would break the columns are escaped.
    std::filesystem::create_directories(dir.File("odd"));
    std::filesystem::copy_file(dir.File("sa_keys.cs"), dir.File("odd/tab\there\nnew\\line.cs"));
    const CliRun odd = Run({"keys", "--game", "sa", "--format", "tsv", "odd"});
    EXPECT_NE(odd.out.find("\todd/tab\\there\\nnew\\\\line.cs\ttab\\there\\nnew\\\\line.cs\t1\t0\n"), std::string::npos)
        << odd.out;
    EXPECT_EQ(std::count(odd.out.begin(), odd.out.end(), '\n'), 6);
}

TEST_F(KeysTest, JsonIsAnObjectPerKeyWithIncompleteAndLeftOutFilesApart) {
    dir.Write("mods/garbage.cs", std::string("\x23\x71\x77\x77\xB0\x0A\x04\x41", 8));  // unknown, then a test of A
    dir.Write("mods/caf\xC3\xA9\xFF.cs", Demo("sa_keys.cs"));
    dir.Write("notes.txt", "named, but not a script");
    const CliRun run = Run({"keys", "--game", "sa", "--format", "json", "mods", "notes.txt"});
    EXPECT_EQ(run.status, 1);
    const nlohmann::json json = nlohmann::json::parse(run.out);  // throws when not valid JSON
    EXPECT_EQ(json["scripts"], 6);
    EXPECT_EQ(json["conflicts"], 2);
    // The copy of sa_keys.cs is that mod installed twice: one use.
    nlohmann::json f2;
    for (const nlohmann::json& key : json["keys"])
        if (key["name"] == "F2") f2 = key;
    EXPECT_EQ(f2["kind"], "vkey");
    EXPECT_EQ(f2["pad"], -1);
    EXPECT_EQ(f2["key"], 113);
    EXPECT_EQ(f2["name"], "F2");
    EXPECT_EQ(f2["conflict"], true);
    EXPECT_EQ(f2["tests"], 4);
    EXPECT_EQ(f2["files"].size(), 3u);
    EXPECT_EQ(f2["files"][0]["file"], "mods/caf\xC3\xA9\xEF\xBF\xBD.cs");
    EXPECT_EQ(f2["files"][0]["mod"], f2["files"][1]["mod"]);  // the copy and sa_keys.cs
    EXPECT_EQ(f2["files"][2]["mod"], "HOT.CS");
    EXPECT_EQ(
        json["incomplete"],
        nlohmann::json::parse(R"([{"file": "mods/garbage.cs", "unknownInstructions": 2, "firstUnknownOffset": 0}])"));
    EXPECT_EQ(json["leftOut"][0]["file"], "notes.txt");
    EXPECT_EQ(run.err,
              "notes.txt: not a script (a script's name ends in .cs, .cs3, .cs4, .cm, .scm, .csa or .csi)\n"
              "mods/garbage.cs: warning: 2 unknown instructions, the first at offset 0 (opcodes 7123, 7777)\n");
}

TEST_F(KeysTest, TheWalkSkipsHiddenAndOtherFilesAndEndsInLinkLoops) {
    dir.Write("mods/.backup.cs", Demo("gta3_keys.cs"));
    std::filesystem::create_directories(dir.File("mods/.git"));
    dir.Write("mods/.git/x.cs", Demo("gta3_keys.cs"));
    dir.Write("mods/readme.txt", "not a script");
    dir.Write("mods/SASCM.ini", "[OPCODES]\n");
    std::filesystem::create_directory_symlink("..", dir.File("mods/sub/up"));
    std::filesystem::create_symlink("sa_keys.cs", dir.File("mods/same.cs"));
    const CliRun run = Run({"keys", "--game", "sa", "mods"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kModsText);
    EXPECT_EQ(run.err, "");
}

// Folders that cannot be listed, or listed but not searched (644), a file
// that cannot be read and a path past the system's limit are each reported
// with their cause, and fail the run; the rest is mapped.
TEST_F(KeysTest, AFolderThatCannotBeReadIsReportedAndTheRestMapped) {
    std::filesystem::create_directories(dir.File("mods/locked"));
    dir.Write("mods/locked/secret.cs", Demo("sa_keys.cs"));
    std::filesystem::permissions(dir.File("mods/locked"), std::filesystem::perms::none);
    std::filesystem::create_directories(dir.File("other/listed/inner"));
    dir.Write("other/listed/a.cs", Demo("sa_keys.cs"));
    std::filesystem::permissions(dir.File("other/listed"), std::filesystem::perms(0644));
    dir.Write("other/secret.cs", Demo("sa_keys.cs"));
    std::filesystem::permissions(dir.File("other/secret.cs"), std::filesystem::perms::owner_write);
    // Permissions do not stop root: run the program as nobody then, in a
    // folder nobody can enter.
    if (geteuid() == 0) {
        runner = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
        std::filesystem::permissions(dir.Path(),
                                     std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                     std::filesystem::perm_options::add);
    }
    const CliRun run = Binary({"keys", "--game", "sa", "mods"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "mods/locked: cannot be searched: permission denied\n");
    EXPECT_EQ(run.out,
              std::string(kModsText) + "\nLeft out: 1\n  mods/locked: cannot be searched: permission denied\n");

    std::filesystem::permissions(dir.File("other"), std::filesystem::perms(0755));
    const CliRun other = Binary({"keys", "--game", "sa", "--format", "tsv", "other"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err,
              "other/listed: cannot be searched: its entries cannot be examined (permission denied)\n"
              "other/secret.cs: cannot open: no permission\n");
    for (const char* folder : {"mods/locked", "other/listed"})
        std::filesystem::permissions(dir.File(folder), std::filesystem::perms::owner_all);
    std::filesystem::permissions(dir.File("other/secret.cs"), std::filesystem::perms::owner_all);

    // Folders nested past the longest path the system takes.
    std::string deep = "deep";
    for (int level = 0; level < 20; ++level) deep += "/" + std::string(250, 'd');
    std::filesystem::create_directories(dir.File("deep"));
    const std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.File("deep"));
    for (int level = 0; level < 20; ++level) {
        std::filesystem::create_directory(std::string(250, 'd'));
        std::filesystem::current_path(std::string(250, 'd'));
    }
    std::filesystem::current_path(previous);
    const CliRun tooDeep = Run({"keys", "--game", "sa", "deep"});
    EXPECT_EQ(tooDeep.status, 1);
    EXPECT_NE(tooDeep.err.find("the path is longer than the system allows"), std::string::npos) << tooDeep.err;
}

TEST_F(KeysTest, SvgDrawsTheMapAndAPictureThatCannotBeSavedIsReported) {
    const CliRun run = Run({"keys", "--game", "sa", "--format", "tsv", "--svg", "map.svg", "mods"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    tinyxml2::XMLDocument svg;
    ASSERT_EQ(svg.LoadFile(dir.File("map.svg").c_str()), tinyxml2::XML_SUCCESS);
    EXPECT_STREQ(svg.RootElement()->Name(), "svg");
    const std::string text = Slurp(dir.File("map.svg"));
    EXPECT_NE(text.find("Key map of mods</text>"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("\\b20[0-9][0-9]-[01][0-9]-[0-3][0-9]\\b")));

    std::filesystem::create_directories(dir.File("pictures"));
    const CliRun dated = Run({"keys", "--game", "sa", "--svg=pictures/map.svg", "mods"});
    EXPECT_EQ(dated.status, 0);
    EXPECT_EQ(dated.out, kModsText);  // the picture is extra; the map is still printed

    const CliRun nowhere = Run({"keys", "--game", "sa", "--svg", "missing/map.svg", "mods"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(nowhere.err, "missing/map.svg: cannot save the picture: folder does not exist\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST_F(KeysTest, UsageErrorsAndAMissingOpcodeTable) {
    EXPECT_EQ(Run({"keys", "--game", "sa"}).status, 2);
    EXPECT_NE(Run({"keys", "--game", "sa"}).err.find("no script or folder given"), std::string::npos);
    EXPECT_EQ(Run({"keys", "--svg", "", "mods"}).status, 2);
    EXPECT_EQ(Run({"list", "--svg", "x.svg", "sa_keys.cs"}).status, 2);
    EXPECT_EQ(Run({"keys", "--format", "xml", "mods"}).status, 2);
    const CliRun noTable = Run({"keys", "--game", "sa", "--ini", "none.ini", "mods"});
    EXPECT_EQ(noTable.status, 1);
    EXPECT_EQ(noTable.out, "");
    EXPECT_NE(noTable.err.find("opcode table cannot be loaded (none.ini"), std::string::npos) << noTable.err;
}
