// morvane-cli remap: the rules given change exactly the bytes they name,
// and a file that cannot be changed as asked is left as it was.

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "fixtures/ScriptBuilder.h"
#include "cli/CliSupport.h"

using namespace morvane;
using namespace morvane::test;

namespace {
class RemapTest : public CliTest {};
}  // namespace

TEST_F(RemapTest, RulesWriteExactlyTheExpectedBytes) {
    CliRun byName = Run({"remap", "--game", "sa", "--vkey", "y key=Z Key", "--vkey", " left shift = Right Shift ",
                         "sa_keys.cs", "-o", "out.cs"});
    EXPECT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(byName.out, "sa_keys.cs: 2 changed -> out.cs\n");
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), With("sa_keys.cs", {{23, 0x5A}, {57, 0xA1}}));

    CliRun buttons = Run({"remap", "--game", "sa", "--button", "Sprint | Accelerate=fire", "--pad", "1=0", "--button",
                          "6=0x13", "sa_keys.cs", "-o", "buttons.cs"});
    EXPECT_EQ(buttons.status, 0) << buttons.err;
    EXPECT_EQ(ReadBytes(dir.File("buttons.cs")), With("sa_keys.cs", {{158, 17}, {188, 0}, {190, 19}}));

    CliRun at =
        Run({"remap", "--game", "sa", "--at", "83:F16", "--at", "0x99:Pad 2:Fire", "sa_keys.cs", "-o", "at.cs"});
    EXPECT_EQ(at.status, 0) << at.err;
    EXPECT_EQ(ReadBytes(dir.File("at.cs")), With("sa_keys.cs", {{86, 0x7F}, {156, 1}, {158, 17}}));

    // Rules read the values as they were in the file, so two rules can swap keys.
    CliRun swap =
        Run({"remap", "--game", "vc", "--vkey", "N Key=Shift", "--vkey", "Shift=N Key", "vc_keys.cs", "-o", "swap.cs"});
    EXPECT_EQ(swap.status, 0) << swap.err;
    EXPECT_EQ(ReadBytes(dir.File("swap.cs")), With("vc_keys.cs", {{22, 0x10}, {49, 0x4E}}));

    // A 16-bit parameter takes a high VKey.
    CliRun wide = Run({"remap", "--game", "sa", "--vkey", "0xA0=0xFB", "sa_keys.cs", "-o", "wide.cs"});
    EXPECT_EQ(wide.status, 0) << wide.err;
    EXPECT_EQ(ReadBytes(dir.File("wide.cs")), With("sa_keys.cs", {{57, 0xFB}}));
}

// The rules as a user reads them: the last rule for a test wins, and only
// the value it ends with must fit; a key's name holding colons is taken by
// --at; giving a test the cheat code it already has changes nothing.
TEST_F(RemapTest, TheLastRuleWinsNamesWithColonsAndOwnCodesChangeNothing) {
    const CliRun last =
        Run({"remap", "--game", "sa", "--vkey", "Y Key=F17", "--vkey", "Y Key=Z Key", "sa_keys.cs", "-o", "last.cs"});
    EXPECT_EQ(last.status, 0) << last.err;
    EXPECT_EQ(ReadBytes(dir.File("last.cs")), With("sa_keys.cs", {{23, 0x5A}}));
    const CliRun atLast =
        Run({"remap", "--game", "sa", "--at", "20:F17", "--at", "20:Z Key", "sa_keys.cs", "-o", "at-last.cs"});
    EXPECT_EQ(atLast.status, 0) << atLast.err;

    const CliRun named = Run({"remap", "--game", "sa", "--at", "153:Circle: Fire", "--at",
                              "185:Pad 1:L1: Action/Secondary fire", "sa_keys.cs", "-o", "named.cs"});
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(ReadBytes(dir.File("named.cs")), With("sa_keys.cs", {{158, 17}, {188, 0}, {190, 4}}));
    const CliRun usage = Run({"remap", "--game", "sa", "--at", "153", "sa_keys.cs", "-o", "x.cs"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("--at takes OFFSET:KEY, OFFSET:PAD:KEY or OFFSET:CODE: 153"), std::string::npos)
        << usage.err;

    ScriptBuilder lower(kGameSanAndreas);
    lower.Op(0x0001).I8(0);
    lower.Op(0x0ADC).String8("boom");
    dir.Write("lower.cs", lower.Bytes());
    for (const std::vector<std::string>& rule : {std::vector<std::string>{"--at", "4:boom"},
                                                 {"--at", "4:BOOM"},
                                                 {"--cheat", "BOOM=boom"},
                                                 {"--cheat", "boom=KABOOM", "--at", "4:Boom"}}) {
        std::vector<std::string> args = {"remap", "--game", "sa"};
        args.insert(args.end(), rule.begin(), rule.end());
        args.insert(args.end(), {"lower.cs", "--in-place"});
        const CliRun same = Run(args);
        EXPECT_EQ(same.out, "lower.cs: 0 changed (file left as it was)\n") << rule[1];
        EXPECT_EQ(ReadBytes(dir.File("lower.cs")), lower.Bytes()) << rule[1];
    }
}

TEST_F(RemapTest, RefusedFilesAreNotWrittenAndOthersGoOn) {
    CliRun narrow = Run({"remap", "--game", "sa", "--vkey", "Y Key=F17", "sa_keys.cs", "--in-place"});
    EXPECT_EQ(narrow.status, 1);
    EXPECT_EQ(narrow.err,
              "sa_keys.cs: refused: offset 20: VKey 128 needs 16 bits and the key parameter there has 8; "
              "nothing written\n");
    EXPECT_EQ(ReadBytes(dir.File("sa_keys.cs")), Demo("sa_keys.cs"));

    CliRun nowhere = Run({"remap", "--game", "sa", "--at", "21:A Key", "sa_keys.cs", "-o", "x.cs"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("no key test at offset 21"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.cs")));

    CliRun padOnKey = Run({"remap", "--game", "sa", "--at", "20:Pad 1:A Key", "sa_keys.cs", "-o", "x.cs"});
    EXPECT_EQ(padOnKey.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.cs")));

    // In place over several files: the missing one fails, the others are done.
    std::filesystem::copy_file(dir.File("vc_keys.cs"), dir.File("vc2.cs"));
    CliRun many =
        Run({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "gone.cs", "vc2.cs", "--in-place"});
    EXPECT_EQ(many.status, 1);
    EXPECT_EQ(many.err, "gone.cs: cannot open: not found\n");
    EXPECT_EQ(many.out, "vc_keys.cs: 1 changed\nvc2.cs: 1 changed\n");
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), With("vc_keys.cs", {{22, 0x4D}}));
    EXPECT_EQ(ReadBytes(dir.File("vc2.cs")), With("vc_keys.cs", {{22, 0x4D}}));

    CliRun unsaved = Run({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "no/such/folder.cs"});
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_EQ(unsaved.err, "no/such/folder.cs: cannot save: folder does not exist; nothing written\n");

    CliRun unchanged = Run({"remap", "--game", "vc", "--vkey", "Z Key=A Key", "vc2.cs", "--in-place"});
    EXPECT_EQ(unchanged.status, 0);
    EXPECT_EQ(unchanged.out, "vc2.cs: 0 changed (file left as it was)\n");
}

TEST_F(RemapTest, OnlyChangesAfterAnUnknownInstructionAreRefusedUnlessAllowed) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.Op(0x0AB0).I8(0x41);
    sa.Op(0x0DDD).Op(0x0EEE).Op(0x0FFF);  // not in the demo's SASCM.ini
    sa.Op(0x0AB0).I8(0x42);
    const std::vector<uint8_t> original = sa.Bytes();
    dir.Write("odd.cs", original);
    const std::string warning =
        "odd.cs: warning: 3 unknown instructions, the first at offset 4 (opcodes 0DDD, 0EEE, 0FFF)\n";

    CliRun list = Run({"list", "--game", "sa", "--format", "tsv", "odd.cs", "sa_keys.cs"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.err, warning);
    EXPECT_EQ(list.out.substr(list.out.find('\n') + 1, 60).substr(0, 30), "odd.cs\t0\tvkey\t0\t-1\t65\tA Key\t0A");

    // A test before the first unknown instruction was read as code for certain.
    CliRun before = Run({"remap", "--game", "sa", "--vkey", "A Key=C Key", "odd.cs", "-o", "before.cs"});
    EXPECT_EQ(before.status, 0) << before.err;
    EXPECT_EQ(before.err, warning);
    std::vector<uint8_t> expected = original;
    expected[3] = 0x43;
    EXPECT_EQ(ReadBytes(dir.File("before.cs")), expected);

    CliRun refused = Run({"remap", "--game", "sa", "--vkey", "B Key=D Key", "odd.cs", "sa_keys.cs", "--in-place"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, warning +
                               "odd.cs: refused: 1 changed test lies after the unknown instruction at offset 4 and "
                               "may be data read as code (the first at offset 10); nothing written (--allow-unknown "
                               "writes it all the same)\n");
    EXPECT_EQ(refused.out, "sa_keys.cs: 0 changed (file left as it was)\n");
    EXPECT_EQ(ReadBytes(dir.File("odd.cs")), original);

    CliRun allowed =
        Run({"remap", "--game", "sa", "--allow-unknown", "--vkey", "B Key=D Key", "odd.cs", "-o", "out.cs"});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_EQ(allowed.out, "odd.cs: 1 changed -> out.cs\n");
    expected = original;
    expected[13] = 0x44;
    EXPECT_EQ(ReadBytes(dir.File("out.cs")), expected);
}

TEST_F(RemapTest, AFileNamedTwiceIsDoneOnce) {
    ASSERT_EQ(symlink("vc_keys.cs", dir.File("link.cs").c_str()), 0);
    ASSERT_EQ(link(dir.File("vc_keys.cs").c_str(), dir.File("hard.cs").c_str()), 0);
    const CliRun run = Run({"remap", "--game", "vc", "--vkey", "N Key=M Key", "--vkey", "M Key=N Key", "vc_keys.cs",
                            "./vc_keys.cs", "link.cs", "hard.cs", "--in-place"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "vc_keys.cs: 1 changed\n");
    EXPECT_EQ(run.err,
              "./vc_keys.cs: the same file as vc_keys.cs, done once\n"
              "link.cs: the same file as vc_keys.cs, done once\n"
              "hard.cs: the same file as vc_keys.cs, done once\n");
    // Done twice, the swap would have undone itself.
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), With("vc_keys.cs", {{22, 0x4D}}));
}

TEST_F(RemapTest, ASaveThatFailsSaysWhetherTheTargetWasKept) {
    // Into a folder that does not exist there was no file to keep; over a
    // write-protected file there was.
    const CliRun nowhere = Run({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "none/out.cs"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(nowhere.err, "none/out.cs: cannot save: folder does not exist; nothing written\n");
    const std::string kept = dir.Write("kept.bin", std::string("keep"));
    ASSERT_EQ(chmod(kept.c_str(), 0444), 0);
    const CliRun protectedFile =
        Run({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "kept.bin"});
    EXPECT_EQ(protectedFile.status, 1);
    EXPECT_EQ(protectedFile.err, "kept.bin: cannot save: is write-protected; the file is as it was\n");
    EXPECT_EQ(Slurp(kept), "keep");
    // A folder is no file that was kept.
    std::filesystem::create_directory(dir.File("folder"));
    const CliRun folder = Run({"remap", "--game", "vc", "--vkey", "N Key=M Key", "vc_keys.cs", "-o", "folder"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err.rfind("folder: cannot save: ", 0), 0u) << folder.err;
    EXPECT_NE(folder.err.find("; nothing written\n"), std::string::npos) << folder.err;
}

TEST_F(RemapTest, ScriptsWithDebugDataCleoStringsAndDataInTheirCodeListCleanlyAndRemap) {
    for (const char* name : {"sa_debug_footer.cs", "vc_cleo.cs", "sa_data_block.cs"})
        std::filesystem::copy_file(DemoPath(name), dir.File(name));

    // Listed without a warning: the footer, the strings and the data are not read as code.
    const CliRun footer = Run({"list", "--game", "sa", "--format", "tsv", "sa_debug_footer.cs", "sa_data_block.cs"});
    EXPECT_EQ(footer.err, "");
    EXPECT_EQ(footer.out,
              "file\toffset\tkind\twide\tpad\tkey\tname\topcode\tchord\tset_at\n"
              "sa_debug_footer.cs\t20\tvkey\t0\t-1\t118\tF7\t0AB0\t\t\n"
              "sa_data_block.cs\t59\tvkey\t0\t-1\t85\tU Key\t0AB0\t\t\n");

    // The remapped file keeps its debug footer byte for byte.
    const CliRun remap = Run({"remap", "--game", "sa", "--vkey", "F7=F8", "sa_debug_footer.cs", "-o", "f8.cs"});
    EXPECT_EQ(remap.status, 0) << remap.err;
    EXPECT_EQ(ReadBytes(dir.File("f8.cs")), With("sa_debug_footer.cs", {{23, 0x77}}));

    // A ten-letter code in a CLEO string of Vice City: changed to ten others, never to nine.
    const CliRun cheat =
        Run({"remap", "--game", "vc", "--cheat", "gesundheit=blessyou12", "vc_cleo.cs", "-o", "bless.cs"});
    EXPECT_EQ(cheat.status, 0) << cheat.err;
    std::vector<std::pair<std::size_t, uint8_t>> code;
    const std::string to = "BLESSYOU12";
    for (std::size_t i = 0; i < to.size(); ++i) code.emplace_back(23 + i, static_cast<uint8_t>(to[i]));
    EXPECT_EQ(ReadBytes(dir.File("bless.cs")), With("vc_cleo.cs", code));
    const CliRun shorter = Run({"remap", "--game", "vc", "--at", "19:BLESSYOU1", "vc_cleo.cs", "-o", "no.cs"});
    EXPECT_EQ(shorter.status, 1);
    EXPECT_NE(shorter.err.find("this code must have exactly 10 characters"), std::string::npos) << shorter.err;
}

// What a command writes never takes the place of what it reads: a script,
// an opcode file, a script found in a folder. -o may not replace another
// script either (the shell makes "-o *.cs" into "-o a.cs b.cs"), unless it
// is the input itself or --force says so. Each refusal is a usage error
// that names both files and leaves everything as it was.
TEST_F(RemapTest, OutputsThatAreInputsOrOtherScriptsAreRefused) {
    std::filesystem::create_directory(dir.File("mods"));
    std::filesystem::copy_file(DemoPath("sa_keys.cs"), dir.File("mods/found.cs"));
    const std::vector<std::string> y = {"remap", "--game", "sa", "--vkey", "Y Key=Z Key", "sa_keys.cs"};
    const auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    struct Case {
        std::vector<std::string> args;
        std::string err;   // the start of the message, or nothing for a run that writes
        std::string kept;  // a file that must stay as it was
    };
    const Case cases[] = {
        {{"keys", "--game", "sa", "--svg", "sa_keys.cs", "sa_keys.cs"},
         "morvane-cli: --svg sa_keys.cs is sa_keys.cs, which this run reads; nothing written\n",
         "sa_keys.cs"},
        {{"keys", "--game", "sa", "--svg", "SASCM.ini", "sa_keys.cs"},
         "morvane-cli: --svg SASCM.ini is SASCM.ini, which this run reads",
         "SASCM.ini"},
        {{"keys", "--game", "sa", "--ini", "SCM.ini", "--svg", "./SCM.ini", "sa_keys.cs"},
         "morvane-cli: --svg ./SCM.ini is SCM.ini",
         "SCM.ini"},
        {{"keys", "--game", "sa", "--svg", "mods/found.cs", "mods"},
         "morvane-cli: --svg mods/found.cs is ",
         "mods/found.cs"},
        {with(y, {"-o", "SASCM.ini"}), "morvane-cli: -o SASCM.ini is SASCM.ini, which this run reads", "SASCM.ini"},
        {with(y, {"-o", "vc_keys.cs"}),
         "morvane-cli: -o vc_keys.cs would replace another script (148 bytes); nothing written. Name a new file, or "
         "give --force",
         "vc_keys.cs"},
        {with(y, {"-o", "SASCM.ini", "--force"}), "morvane-cli: -o SASCM.ini is SASCM.ini", "SASCM.ini"},
        {with(y, {"-o", "vc_keys.cs", "--force"}), "", ""},
        {with(y, {"-o", "./sa_keys.cs"}), "", ""},  // the input itself, as --in-place
        {with(y, {"-o", "new.cs"}), "", ""},
    };
    for (const Case& c : cases) {
        std::string command;
        for (const std::string& arg : c.args) command += arg + " ";
        const std::vector<uint8_t> before = c.kept.empty() ? std::vector<uint8_t>() : ReadBytes(dir.File(c.kept));
        const CliRun run = Run(c.args);
        if (c.err.empty()) {
            EXPECT_EQ(run.status, 0) << command << run.err;
            continue;
        }
        EXPECT_EQ(run.status, 2) << command;
        EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << command << "\n" << run.err;
        EXPECT_EQ(ReadBytes(dir.File(c.kept)), before) << command;
    }
    EXPECT_EQ(ReadBytes(dir.File("vc_keys.cs")), With("sa_keys.cs", {{23, 0x5A}}));
}

// --hotkey changes the chords of exactly its keys, key for key; a key kept in
// a variable is changed where the script sets it.
TEST_F(RemapTest, HotkeysChangeWholeChordsAndVariablesTheirAssignment) {
    std::filesystem::copy_file(DemoPath("sa_chords.cs"), dir.File("sa_chords.cs"));
    const CliRun chord = Run({"remap", "--game", "sa", "--hotkey", "Alt+O=Ctrl+F5", "sa_chords.cs", "-o", "a.cs"});
    EXPECT_EQ(chord.status, 0) << chord.err;
    EXPECT_EQ(chord.out, "sa_chords.cs: 2 changed -> a.cs\n");
    EXPECT_EQ(ReadBytes(dir.File("a.cs")), With("sa_chords.cs", {{30, 0x11}, {34, 0x74}}));

    const CliRun variable = Run({"remap", "--game", "sa", "--at", "160:K Key", "sa_chords.cs", "-o", "b.cs"});
    EXPECT_EQ(variable.status, 0) << variable.err;
    EXPECT_EQ(variable.out, "sa_chords.cs: 2 changed -> b.cs\n");  // both readers of 0@
    EXPECT_EQ(ReadBytes(dir.File("b.cs")), With("sa_chords.cs", {{17, 0x4B}}));

    // Hotkeys of different sizes, or keys no name gives, are usage errors.
    for (const char* bad : {"Alt+O=F5", "Alt+O", "Alt+Nothing=Ctrl+F5"})
        EXPECT_EQ(Run({"remap", "--game", "sa", "--hotkey", bad, "sa_chords.cs", "-o", "c.cs"}).status, 2) << bad;
}

// What a killed save left beside the files is said once for each folder a
// remap saves into, named after the file it was for, and left there.
TEST_F(RemapTest, ASaveIntoAFolderSaysWhatUnfinishedSavesLeftThere) {
    const std::string leftover = ".morvane-save-Ab12Cd-sa_keys.cs";
    dir.Write(leftover, "abc");
    std::filesystem::last_write_time(dir.File(leftover),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(50));
    std::filesystem::copy_file(dir.File("sa_keys.cs"), dir.File("second.cs"));
    std::filesystem::create_directories(dir.File("out"));

    const CliRun inPlace =
        Run({"remap", "--game", "sa", "--vkey", "Y Key=Z Key", "sa_keys.cs", "second.cs", "--in-place"});
    EXPECT_EQ(inPlace.status, 0) << inPlace.err;
    EXPECT_EQ(inPlace.out, "sa_keys.cs: 1 changed\nsecond.cs: 1 changed\n");
    EXPECT_EQ(inPlace.err, leftover +
                               ": warning: left by a save of sa_keys.cs that did not finish (3 bytes, 2 days old); "
                               "not removed: delete it when no program is saving into this folder\n");
    EXPECT_EQ(Slurp(dir.File(leftover)), "abc");

    // A folder without any says nothing.
    const CliRun elsewhere = Run({"remap", "--game", "sa", "--vkey", "Z Key=Y Key", "sa_keys.cs", "-o", "out/new.cs"});
    EXPECT_EQ(elsewhere.status, 0) << elsewhere.err;
    EXPECT_EQ(elsewhere.err, "");
}
