#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <sys/stat.h>

#include "opcodes/BuiltinTables.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeSources.h"
#include "opcodes/SannyBuilder.h"
#include "support/SannyFolder.h"
#include "fixtures/TempDir.h"

using namespace morvane;
using morvane::test::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(fs::path(path).filename().string());
    return names;
}

}  // namespace

TEST(SannyBuilder, TheModeFilesOpcodeFilesAreMergedInOrderWithTheWildcardsRest) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir);
    const Result<SannyBuilderTable> read = LoadSannyBuilderTable(folder, kGameSanAndreas);
    ASSERT_TRUE(read) << read.Cause();
    const OpcodeTable& table = read->table;
    // Each file once, in the mode file's order, names matched in any case.
    EXPECT_EQ(Names(read->files),
              (std::vector<std::string>{"SASCM.ini", "SASCM.CLEO.ini", "SASCM.CLEO+.ini", "sascm.newopcodes.ini"}));
    ASSERT_EQ(read->skipped.size(), 1u);
    EXPECT_EQ(SannySkippedText(read->skipped[0]),
              "Sanny Builder's mode file names @sb:\\data\\sa\\SASCM.Clipboard.ini, which is not there: skipped");
    EXPECT_TRUE(read->ignored.empty());
    EXPECT_FALSE(read->library);
    for (const uint16_t opcode : {0x0001, 0x00E1, 0x0AB0, 0x0ADC, 0x0E3D, 0x0E3E, 0x0C89, 0x2080})
        EXPECT_NE(table.Find(opcode), nullptr) << OpcodeText(opcode);
    EXPECT_EQ(table.Find(0x0003)->parameterCount, 2);  // a later file wins
    EXPECT_EQ(table.Find(0x0AB0)->role, OpcodeRole::VKeyTest);

    // The data folder chosen instead of Sanny Builder's own gives the same.
    const Result<SannyBuilderTable> fromData = LoadSannyBuilderTable(folder + "/data", kGameSanAndreas);
    ASSERT_TRUE(fromData) << fromData.Cause();
    EXPECT_EQ(fromData->files, read->files);
}

TEST(SannyBuilder, TheLibraryModeComesFirstAndTheClassicIniLast) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir, true);
    const Result<SannyBuilderTable> library = LoadSannyBuilderTable(folder, kGameSanAndreas);
    ASSERT_TRUE(library) << library.Cause();
    EXPECT_EQ(Names(library->files), (std::vector<std::string>{"sa.json"}));
    EXPECT_TRUE(library->library);
    EXPECT_EQ(library->table.KnownCount(), 2u);

    // Vice City has no mode file here: its single INI.
    const Result<SannyBuilderTable> single = LoadSannyBuilderTable(folder, kGameViceCity);
    ASSERT_TRUE(single) << single.Cause();
    EXPECT_EQ(Names(single->files), (std::vector<std::string>{"VCSCM.ini"}));
    EXPECT_NE(single->table.Find(0x05EE), nullptr);

    // GTA III has nothing: the cause says what was looked for.
    const Result<SannyBuilderTable> none = LoadSannyBuilderTable(folder, kGameGta3);
    EXPECT_FALSE(none);
    EXPECT_NE(none.Cause().find("data\\gta3\\mode.xml"), std::string::npos) << none.Cause();
    const Result<SannyBuilderTable> nowhere = LoadSannyBuilderTable(dir.File("nowhere"), kGameGta3);
    EXPECT_NE(nowhere.Cause().find("not found"), std::string::npos) << nowhere.Cause();
}

TEST(SannyBuilder, AModeFileThatIsNoXmlIsAnErrorWithItsCause) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir);
    for (const char* text :
         {"<mode><opcodes>@sb:\\data\\sa\\SASCM.ini</opcodes>", "", "\xFF\xFE<\0m\0", "<a><b></a>"}) {
        std::ofstream(folder + "/data/sa/mode.xml", std::ios::binary) << text;
        const Result<SannyBuilderTable> read = LoadSannyBuilderTable(folder, kGameSanAndreas);
        EXPECT_FALSE(read) << text;
        EXPECT_NE(read.Cause().find("mode.xml: not a mode file"), std::string::npos) << read.Cause();
    }
    const Result<std::vector<std::string>> entries =
        ReadModeEntries("<mode><x><opcodes> a.ini </opcodes></x><opcodes>b.ini</opcodes></mode>", "opcodes");
    ASSERT_TRUE(entries) << entries.Cause();
    EXPECT_EQ(*entries, (std::vector<std::string>{"a.ini", "b.ini"}));
}

namespace {

// How many opcodes of the built-in table a table lacks: what it takes from it.
std::size_t BuiltinOpcodesNotIn(const OpcodeTable& table) {
    OpcodeTable builtin;
    LoadBuiltinTable(table.Game(), builtin);
    std::size_t missing = 0;
    for (uint32_t opcode = 0; opcode < static_cast<uint32_t>(kOpcodeTableSize); ++opcode)
        missing += builtin.Find(opcode) != nullptr && table.Find(opcode) == nullptr ? 1 : 0;
    return missing;
}

}  // namespace

TEST(OpcodeSources, EachSourceGivesWhatTheOnesBeforeItDoNotDescribe) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir);
    // Vice City's work-folder INI: two opcodes, one with a count of its own.
    dir.Write("VICESCM.ini", "[OPCODES]\n0001=3\n05EE=1\n");
    const OpcodeChoice sanny{OpcodeChoice::Kind::SannyBuilder, folder};
    OpcodeTable vcOwn;
    ParseOpcodeIni("[OPCODES]\n0001=3\n05EE=1\n", kGameViceCity, vcOwn);
    const Result<GameTable> vc = LoadGameTable(kGameViceCity, dir.Path(), sanny);
    ASSERT_TRUE(vc) << vc.Cause();
    EXPECT_EQ(vc->source, OpcodeSource::WorkFolder);
    EXPECT_EQ(vc->table.Find(0x0001)->parameterCount, 3);  // the first source wins
    EXPECT_NE(vc->table.Find(0x0004), nullptr);            // the built-in table fills the rest
    // Sanny Builder's Vice City INI has nothing the work folder's lacks.
    EXPECT_EQ(vc->Description(), "VICESCM.ini, 2 commands; " +
                                     GroupedNumber(static_cast<int64_t>(BuiltinOpcodesNotIn(vcOwn))) +
                                     " more from the built-in table");

    const Result<GameTable> sa = LoadGameTable(kGameSanAndreas, dir.Path(), sanny);
    ASSERT_TRUE(sa) << sa.Cause();
    EXPECT_EQ(sa->source, OpcodeSource::SannyBuilder);
    EXPECT_EQ(sa->OwnCount(), 34u);
    EXPECT_EQ(sa->table.Find(0x0003)->parameterCount, 2);  // Sanny Builder's, not the built-in one
    const Result<SannyBuilderTable> saOwn = LoadSannyBuilderTable(folder, kGameSanAndreas);
    EXPECT_EQ(sa->Description(), "Sanny Builder, SASCM.ini + 3 files, 34 commands; " +
                                     GroupedNumber(static_cast<int64_t>(BuiltinOpcodesNotIn(saOwn->table))) +
                                     " more from the built-in table");

    // A work-folder INI before the chosen folder: both give what the INI lacks.
    dir.Write("SASCM.ini", "[OPCODES]\n0001=1\n");
    const Result<GameTable> both = LoadGameTable(kGameSanAndreas, dir.Path(), sanny);
    ASSERT_TRUE(both) << both.Cause();
    ASSERT_EQ(both->filled.size(), 2u);
    EXPECT_EQ(both->filled[0].source, OpcodeSource::SannyBuilder);
    EXPECT_EQ(both->filled[0].count, 33u);
    EXPECT_EQ(both->table.Find(0x0003)->parameterCount, 2);

    const Result<GameTable> gta3 = LoadGameTable(kGameGta3, dir.Path(), sanny);
    ASSERT_TRUE(gta3) << gta3.Cause();
    EXPECT_EQ(gta3->source, OpcodeSource::BuiltIn);  // the folder has no GTA III files
    EXPECT_FALSE(gta3->sannyFailure.empty());
    EXPECT_EQ(gta3->Description(), "built-in (game and CLEO 4)");
    // Without a choice a missing INI file is an error, as before.
    const Result<GameTable> none = LoadGameTable(kGameGta3, dir.Path(), OpcodeChoice{});
    EXPECT_EQ(none.Cause(), "SCM.ini: not found");
    EXPECT_EQ(GroupedNumber(2477), "2,477");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
}

// A mode file of many wildcard entries over a folder of many files: each
// entry takes the files it matches that no entry before it took, in the
// order of their names without regard to case, from its own folder.
TEST(SannyBuilder, ManyWildcardEntriesOverOneFolderEachTakeTheirOwnFiles) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir);
    const fs::path sa = fs::path(folder) / "data" / "sa";
    fs::create_directories(fs::path(folder) / "data" / "extra");
    constexpr int kFiles = 300;
    auto name = [](int i) {
        std::string digits = std::to_string(i);
        digits.insert(0, 3 - digits.size(), '0');
        return (i % 2 == 0 ? "EXT." : "ext.") + digits + ".ini";  // in both cases
    };
    for (int i = 0; i < kFiles; ++i) {
        std::ofstream(sa / name(i)) << "[X]\n" << OpcodeText(static_cast<uint16_t>(0x1000 + i)) << "=1,x\n";
    }
    std::ofstream(fs::path(folder) / "data" / "extra" / "ext.999.ini") << "[X]\n1999=1,x\n";
    // By last digit, then all of them again, then the other folder's.
    std::string mode = "<mode>";
    for (int digit = 0; digit < 10; ++digit)
        mode += "<opcodes>@sb:\\data\\sa\\EXT.??" + std::to_string(digit) + ".ini</opcodes>";
    for (int again = 0; again < 200; ++again) mode += "<opcodes>@sb:\\data\\sa\\ext.*.INI</opcodes>";
    mode += "<opcodes>@sb:\\data\\extra\\ext.*.ini</opcodes></mode>";
    std::ofstream(sa / "mode.xml") << mode;

    const Result<SannyBuilderTable> read = LoadSannyBuilderTable(folder, kGameSanAndreas);
    ASSERT_TRUE(read) << read.Cause();
    std::vector<std::string> expected;
    for (int digit = 0; digit < 10; ++digit)
        for (int i = digit; i < kFiles; i += 10) expected.push_back(name(i));
    expected.push_back("ext.999.ini");
    EXPECT_EQ(Names(read->files), expected);
    EXPECT_EQ(fs::path(read->files.back()).parent_path().filename(), "extra");
    for (int i = 0; i < kFiles; ++i) EXPECT_NE(read->table.Find(static_cast<uint16_t>(0x1000 + i)), nullptr) << i;
    EXPECT_NE(read->table.Find(0x1999), nullptr);
    EXPECT_TRUE(read->skipped.empty());
}

// What the folder cannot use is said for what it is, each case on a fresh
// copy of the folder: entries on a FIFO or a device, a wildcard's file on a
// FIFO, an entry that cannot be read, a mode file on a FIFO or a folder; and
// when nothing the mode file names can be read, the failure names the first
// entries with their causes. "ROOT" stands for Sanny Builder's folder.
TEST(SannyBuilder, SaysWhatItCannotUseIsAndWhy) {
    const std::string kEntry = "Sanny Builder's mode file names @sb:\\data\\sa\\SASCM.Clipboard.ini, which ";
    const std::string kModeXml = "ROOT/data/sa/mode.xml";
    const struct {
        const char* what;
        std::function<void(const fs::path& sa)> change;
        std::vector<std::string> notes;  // what it passed over, then what it skipped
        std::string failure;             // when nothing could be used
    } kCases[] = {
        {"an entry on a FIFO",
         [](const fs::path& sa) { ASSERT_EQ(mkfifo((sa / "SASCM.Clipboard.ini").c_str(), 0644), 0); },
         {kEntry + "is a FIFO, not a file: skipped"},
         ""},
        {"an entry on a device",
         [](const fs::path& sa) { fs::create_symlink("/dev/null", sa / "SASCM.Clipboard.ini"); },
         {kEntry + "is a device, not a file: skipped"},
         ""},
        {"an entry on a link to nothing",
         [](const fs::path& sa) { fs::create_symlink(sa / "gone.ini", sa / "sascm.clipboard.ini"); },
         {kEntry + "is a link that leads nowhere: skipped"},
         ""},
        {"an entry that cannot be read",
         [](const fs::path& sa) { std::ofstream(sa / "SASCM.Clipboard.ini"); },
         {kEntry + "cannot be read (the file is empty): skipped"},
         ""},
        {"a wildcard's file on a FIFO",
         [](const fs::path& sa) { ASSERT_EQ(mkfifo((sa / "SASCM.pipe.ini").c_str(), 0644), 0); },
         {kEntry + "is not there: skipped",
          "Sanny Builder's mode file names @sb:\\data\\sa\\SASCM*.ini, whose SASCM.pipe.ini is a FIFO, not a file: "
          "skipped"},
         ""},
        {"a mode file on a FIFO",
         [](const fs::path& sa) {
             fs::remove(sa / "mode.xml");
             ASSERT_EQ(mkfifo((sa / "mode.xml").c_str(), 0644), 0);
         },
         {"Sanny Builder's " + kModeXml + " is a FIFO, not a file: ignored"},
         ""},
        {"a mode file on a folder",
         [](const fs::path& sa) {
             fs::remove(sa / "mode.xml");
             fs::create_directory(sa / "mode.xml");
         },
         {"Sanny Builder's " + kModeXml + " is a folder, not a file: ignored"},
         ""},
        {"a mode file on a FIFO and no single INI",
         [](const fs::path& sa) {
             fs::remove(sa / "mode.xml");
             fs::remove(sa / "SASCM.ini");
             ASSERT_EQ(mkfifo((sa / "mode.xml").c_str(), 0644), 0);
         },
         {},
         "no opcode files of San Andreas in ROOT (looked for data\\sa\\mode.xml and data\\sa\\SASCM.ini); " + kModeXml +
             " is a FIFO, not a file"},
        {"nothing it names can be read",
         [](const fs::path& sa) {
             ASSERT_EQ(mkfifo((sa / "pipe.ini").c_str(), 0644), 0);
             std::ofstream(sa / "empty.ini");
             std::ofstream(sa / "mode.xml") << "<mode><opcodes>@sb:\\a.ini</opcodes><opcodes>@sb:\\data\\sa\\pipe.ini"
                                               "</opcodes><opcodes>@sb:\\data\\sa\\none*.ini</opcodes><opcodes>"
                                               "@sb:\\data\\sa\\EMPTY.ini</opcodes><opcodes>b.ini</opcodes><opcodes>"
                                               "c.ini</opcodes><opcodes>d.ini</opcodes></mode>";
         },
         {},
         kModeXml + ": no file it names could be read: @sb:\\a.ini is not there; @sb:\\data\\sa\\pipe.ini is a FIFO, "
                    "not a file; @sb:\\data\\sa\\none*.ini matches no file; @sb:\\data\\sa\\EMPTY.ini cannot be read "
                    "(the file is empty); b.ini is not there; and 2 more"},
    };
    for (const auto& c : kCases) {
        TempDir dir;
        const std::string root = test::MakeSannyFolder(dir);
        c.change(fs::path(root) / "data" / "sa");
        auto withRoot = [&](std::string text) {
            for (std::size_t at; (at = text.find("ROOT")) != std::string::npos;) text.replace(at, 4, root);
            return text;
        };
        const Result<SannyBuilderTable> read = LoadSannyBuilderTable(root, kGameSanAndreas);
        if (!c.failure.empty()) {
            EXPECT_FALSE(read) << c.what;
            EXPECT_EQ(read.Cause(), withRoot(c.failure)) << c.what;
            continue;
        }
        ASSERT_TRUE(read) << c.what << ": " << read.Cause();
        std::vector<std::string> notes;
        for (const SannyIgnored& ignored : read->ignored) notes.push_back(SannyIgnoredText(ignored));
        for (const SannySkipped& skipped : read->skipped) notes.push_back(SannySkippedText(skipped));
        std::vector<std::string> expected;
        for (const std::string& note : c.notes) expected.push_back(withRoot(note));
        EXPECT_EQ(notes, expected) << c.what;
    }
}
