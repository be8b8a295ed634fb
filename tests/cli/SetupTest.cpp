// What every command works with: the game and opcode table, taken from the
// working folder as the window takes them unless the options say otherwise,
// and the scripts read as the window opens them.

#include <filesystem>
#include <sstream>

#include "cli/CliSupport.h"
#include "support/SannyFolder.h"

using namespace morvane;
using namespace morvane::test;

namespace {
class SetupTest : public CliTest {};
}  // namespace

TEST_F(SetupTest, DefaultsComeFromTheWorkingFolderAsInTheWindow) {
    // No settings file: GTA III and SCM.ini, whose rules misread a Vice City script.
    const CliRun asGta3 = Run({"list", "--game", "gta3", "--format", "tsv", "vc_keys.cs"});
    const CliRun asDefault = Run({"list", "--format", "tsv", "vc_keys.cs"});
    EXPECT_EQ(asDefault.out, asGta3.out);
    EXPECT_NE(asDefault.out, Run({"list", "--game", "vc", "--format", "tsv", "vc_keys.cs"}).out);
    dir.Write("cfg", "2");
    EXPECT_EQ(Run({"list", "--format", "tsv", "sa_keys.cs"}).out, kSaKeysTsv);

    // A main script (.scm in any case) steps over its header unless asked
    // not to: read as code, the header's segment data holds instructions no
    // table knows.
    std::filesystem::copy_file(dir.File("main.scm"), dir.File("MAIN.SCM"));
    std::filesystem::copy_file(dir.File("main.scm"), dir.File("main.cs"));
    auto readsHeaderAsCode = [&](std::vector<std::string> args) {
        return Run(args).err.find("unknown instructions") != std::string::npos;
    };
    EXPECT_FALSE(readsHeaderAsCode({"list", "main.scm"}));
    EXPECT_FALSE(readsHeaderAsCode({"list", "MAIN.SCM"}));
    EXPECT_TRUE(readsHeaderAsCode({"list", "main.cs"}));
    EXPECT_FALSE(readsHeaderAsCode({"list", "--header", "on", "main.cs"}));
    EXPECT_TRUE(readsHeaderAsCode({"list", "--header", "off", "MAIN.SCM"}));

    // Another opcode file, or none here: the built-in table, with a note.
    std::filesystem::rename(dir.File("SASCM.ini"), dir.File("other.ini"));
    const CliRun builtin = Run({"list", "--format", "tsv", "sa_keys.cs"});
    EXPECT_EQ(builtin.status, 0);
    EXPECT_EQ(builtin.err,
              "note: no SASCM.ini here and no --ini or --sanny: using the built-in opcode table of San Andreas "
              "(game and CLEO 4)\n");
    EXPECT_EQ(builtin.out, kSaKeysTsv);
    EXPECT_EQ(Run({"list", "--ini", "other.ini", "--format", "tsv", "sa_keys.cs"}).out, kSaKeysTsv);
}

TEST_F(SetupTest, SeveralIniFilesAreMergedInOrderAndASannyBuilderFolderAsItsModeFilesSay) {
    dir.Write("cfg", "2");
    // The game's own opcodes know no CLEO key test: the built-in table gives
    // what the file lacks, and sa_keys.cs lists whole.
    const std::string sanny = MakeSannyFolder(dir);
    const std::string own = sanny + "/data/sa/SASCM.ini";
    const CliRun alone = Run({"list", "--ini", own, "--format", "tsv", "sa_keys.cs"});
    EXPECT_EQ(alone.err, "");
    EXPECT_EQ(alone.out, kSaKeysTsv);
    // --only-ini keeps to the file: only the buttons, and a warning says why.
    const CliRun strict = Run({"list", "--ini", own, "--only-ini", "--format", "tsv", "sa_keys.cs"});
    EXPECT_EQ(strict.out.find("\tvkey\t"), std::string::npos) << strict.out;
    EXPECT_NE(strict.out.find("\tbutton\t"), std::string::npos) << strict.out;
    EXPECT_NE(strict.err.find("does not describe 0AB0"), std::string::npos) << strict.err;
    // SASCM.ini and its CLEO file, merged: every test.
    const CliRun merged =
        Run({"list", "--ini", own, "--ini", sanny + "/data/sa/SASCM.CLEO.ini", "--format", "tsv", "sa_keys.cs"});
    EXPECT_EQ(merged.err, "");
    EXPECT_EQ(merged.out, kSaKeysTsv);
    // The folder as Sanny Builder reads it: its mode file's files, and a
    // note for the one it names that is not there.
    const CliRun folder = Run({"list", "--sanny", sanny, "--format", "tsv", "sa_keys.cs", "sa_libraries.cs"});
    EXPECT_EQ(folder.status, 0) << folder.err;
    EXPECT_EQ(folder.err,
              "note: Sanny Builder's mode file names @sb:\\data\\sa\\SASCM.Clipboard.ini, which is not there: "
              "skipped\n");
    EXPECT_EQ(folder.out.rfind(kSaKeysTsv, 0), 0u) << folder.out;
    for (const char* opcode : {"\t0E3D\t\t\n", "\t0E3E\t\t\n", "\t0C89\t\t\n"})
        EXPECT_NE(folder.out.find(opcode), std::string::npos) << opcode << folder.out;
    // A folder that is not Sanny Builder's is told.
    const CliRun wrong = Run({"list", "--sanny", dir.Path(), "sa_keys.cs"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("sa_keys.cs: opcode table cannot be loaded (no opcode files of San Andreas in "),
              std::string::npos)
        << wrong.err;
}

TEST_F(SetupTest, AssumptionsAndMissingKeyTestsAreSaidOnce) {
    const CliRun assumed = Run({"list", "--format", "tsv", "gta3_keys.cs", "gta3_keys.cs"});
    EXPECT_EQ(assumed.status, 0);
    EXPECT_EQ(assumed.err, "assuming GTA III: no cfg here and no --game\n");
    // Said by every run that assumes it, not once for the process.
    EXPECT_EQ(Run({"list", "gta3_keys.cs"}).err, "assuming GTA III: no cfg here and no --game\n");
    EXPECT_EQ(Run({"list", "--game", "gta3", "gta3_keys.cs"}).err, "");
    dir.Write("cfg", "0");
    EXPECT_EQ(Run({"list", "gta3_keys.cs"}).err, "");

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
    const CliRun noKeys =
        Run({"list", "--game", "sa", "--ini", "nokeys.ini", "--only-ini", "--format", "tsv", "quiet.cs", "quiet.cs"});
    EXPECT_EQ(noKeys.status, 0);
    EXPECT_EQ(noKeys.err, "warning: nokeys.ini does not describe 0AB0, 0E3D, 2080 or 0C89; VKey tests are not found\n");
    dir.Write("nobuttons.ini", without("VICESCM.ini", {"00E1"}));
    EXPECT_EQ(Run({"list", "--game", "vc", "--ini", "nobuttons.ini", "--only-ini", "quiet.cs"}).err,
              "warning: nobuttons.ini does not describe 00E1; button tests are not found\n");
    // One of several is enough: a table without the newer libraries' tests is usual.
    dir.Write("some.ini", without("SASCM.ini", {"0E3D", "2080", "0C89"}));
    EXPECT_EQ(Run({"list", "--game", "sa", "--ini", "some.ini", "--only-ini", "quiet.cs"}).err, "");
    // Without --only-ini the built-in table fills in what the file lacks: no warning.
    EXPECT_EQ(Run({"list", "--game", "sa", "--ini", "nokeys.ini", "quiet.cs"}).err, "");
}

TEST_F(SetupTest, ListsKeyTestsOfCurrentLibrariesFromAnIniOrACommandLibrary) {
    const char* const expected =
        "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
        "sa_libraries.cs\t150\tvkey\t0\t-1\t117\tF6\t0E3D\t\t\n"
        "sa_libraries.cs\t181\tvkey\t1\t-1\t162\tLeft Ctrl\t2080\t\t\n"
        "sa_libraries.cs\t209\tvkey\t0\t-1\t75\tK Key\t0C89\t\t\n"
        "sa_libraries.cs\t241\tbutton\t0\t0\t19\tR3: Look Behind | Submission\t0E3E\t\t\n";
    CliRun ini = Run({"list", "--game", "sa", "--format", "tsv", "sa_libraries.cs"});
    EXPECT_EQ(ini.status, 0);
    EXPECT_EQ(ini.out, expected);
    EXPECT_EQ(ini.err, "");

    // The same opcodes as a command library in JSON.
    std::string commands;
    for (const char* line : {"0001,1", "0002,1", "0004,2", "004D,1", "00D6,1", "00E1,2", "0109,2", "03A4,1", "03E5,1",
                             "05B6,0", "0AB0,1", "0C89,1", "0E3D,1", "0E3E,2", "2080,1"}) {
        const std::string text(line);
        commands += std::string(commands.empty() ? "" : ",") + "{\"id\": \"" + text.substr(0, 4) +
                    "\", \"name\": \"X\", \"num_params\": " + text.substr(5) + "}";
    }
    commands += R"(,{"id": "0A92", "name": "STREAM_CUSTOM_SCRIPT", "num_params": 1,
                    "input": [{"name": "scriptFileName", "type": "string"}, {"name": "args", "type": "arguments"}]})";
    dir.Write("sa.json", "{\"meta\": {\"version\": \"1\"}, \"extensions\": [{\"name\": \"default\", \"commands\": [" +
                             commands + "]}]}");
    CliRun json = Run({"list", "--game", "sa", "--ini", "sa.json", "--format", "tsv", "sa_libraries.cs"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, expected);

    dir.Write("broken.json", "{\"extensions\": [");
    CliRun broken = Run({"list", "--game", "sa", "--ini", "broken.json", "sa_libraries.cs"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err, "sa_libraries.cs: opcode table cannot be loaded (broken.json: not valid JSON)\n");
}

TEST_F(SetupTest, ScriptsAndOpcodeFilesThatCannotBeReadAreNamedWithTheCause) {
    std::filesystem::create_directory(dir.File("folder.cs"));
    const CliRun folder = Run({"list", "--game", "vc", "folder.cs"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "folder.cs: cannot open: is a folder\n");

    // Opcode files that cannot be used, each with its reason.
    const struct {
        const char* name;
        std::string text;
        const char* cause;
    } bad[] = {
        {"empty.ini", "", "the file is empty"},
        {"nosection.ini", "0001=1\n05EE=1\n", "describes no opcode: there is no [section] line"},
        {"utf16.ini",
         std::string("\xFF\xFE[\0x\0]\0\n\0"
                     "0\0"
                     "0\0"
                     "0\0"
                     "1\0=\0"
                     "1\0\n\0",
                     24),
         "describes no opcode: the text is UTF-16 or not text at all (save it as ANSI or UTF-8)"},
        {"folder", "", "is a folder"},
    };
    std::filesystem::create_directory(dir.File("folder"));
    for (const auto& b : bad) {
        if (std::string(b.name) != "folder") dir.Write(b.name, b.text);
        const CliRun run = Run({"list", "--game", "vc", "--ini", b.name, "vc_keys.cs"});
        EXPECT_EQ(run.status, 1) << b.name;
        EXPECT_EQ(run.out, "FILE  OFFSET  KIND  WIDE  PAD  KEY  NAME  OPCODE\n") << b.name;
        EXPECT_EQ(run.err,
                  "vc_keys.cs: opcode table cannot be loaded (" + std::string(b.name) + ": " + b.cause + ")\n");
    }
}
