#include <gtest/gtest.h>

#include <filesystem>

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
    OpcodeTable table;
    SannyBuilderTable read;
    std::string error;
    ASSERT_TRUE(LoadSannyBuilderTable(folder, kGameSanAndreas, table, read, error)) << error;
    // Each file once, in the mode file's order, names matched in any case.
    EXPECT_EQ(Names(read.files),
              (std::vector<std::string>{"SASCM.ini", "SASCM.CLEO.ini", "SASCM.CLEO+.ini", "sascm.newopcodes.ini"}));
    EXPECT_EQ(read.missing, (std::vector<std::string>{"@sb:\\data\\sa\\SASCM.Clipboard.ini"}));
    EXPECT_FALSE(read.library);
    for (const uint16_t opcode : {0x0001, 0x00E1, 0x0AB0, 0x0ADC, 0x0E3D, 0x0E3E, 0x0C89, 0x2080})
        EXPECT_NE(table.Find(opcode), nullptr) << OpcodeText(opcode);
    EXPECT_EQ(table.Find(0x0003)->parameterCount, 2);  // a later file wins
    EXPECT_EQ(table.Find(0x0AB0)->role, OpcodeRole::VKeyTest);

    // The data folder chosen instead of Sanny Builder's own gives the same.
    SannyBuilderTable fromData;
    ASSERT_TRUE(LoadSannyBuilderTable(folder + "/data", kGameSanAndreas, table, fromData, error)) << error;
    EXPECT_EQ(fromData.files, read.files);
}

TEST(SannyBuilder, TheLibraryModeComesFirstAndTheClassicIniLast) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir, true);
    OpcodeTable table;
    SannyBuilderTable read;
    std::string error;
    ASSERT_TRUE(LoadSannyBuilderTable(folder, kGameSanAndreas, table, read, error)) << error;
    EXPECT_EQ(Names(read.files), (std::vector<std::string>{"sa.json"}));
    EXPECT_TRUE(read.library);
    EXPECT_EQ(table.KnownCount(), 2u);

    // Vice City has no mode file here: its single INI.
    ASSERT_TRUE(LoadSannyBuilderTable(folder, kGameViceCity, table, read, error)) << error;
    EXPECT_EQ(Names(read.files), (std::vector<std::string>{"VCSCM.ini"}));
    EXPECT_NE(table.Find(0x05EE), nullptr);

    // GTA III has nothing: the cause says what was looked for.
    EXPECT_FALSE(LoadSannyBuilderTable(folder, kGameGta3, table, read, error));
    EXPECT_NE(error.find("data\\gta3\\mode.xml"), std::string::npos) << error;
    EXPECT_FALSE(LoadSannyBuilderTable(dir.File("nowhere"), kGameGta3, table, read, error));
    EXPECT_NE(error.find("not found"), std::string::npos) << error;
}

TEST(SannyBuilder, AModeFileThatIsNoXmlIsAnErrorWithItsCause) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir);
    for (const char* text :
         {"<mode><opcodes>@sb:\\data\\sa\\SASCM.ini</opcodes>", "", "\xFF\xFE<\0m\0", "<a><b></a>"}) {
        std::ofstream(folder + "/data/sa/mode.xml", std::ios::binary) << text;
        OpcodeTable table;
        SannyBuilderTable read;
        std::string error;
        EXPECT_FALSE(LoadSannyBuilderTable(folder, kGameSanAndreas, table, read, error)) << text;
        EXPECT_NE(error.find("mode.xml: not a mode file"), std::string::npos) << error;
    }
    std::vector<std::string> entries;
    std::string error;
    ASSERT_TRUE(ReadModeEntries("<mode><x><opcodes> a.ini </opcodes></x><opcodes>b.ini</opcodes></mode>", "opcodes",
                                entries, error));
    EXPECT_EQ(entries, (std::vector<std::string>{"a.ini", "b.ini"}));
}

TEST(OpcodeSources, TheWorkFoldersIniThenTheChosenSannyBuilderFolderThenTheBuiltInTable) {
    TempDir dir;
    const std::string folder = test::MakeSannyFolder(dir);
    dir.Write("VICESCM.ini", "[OPCODES]\n0001=1\n05EE=1\n");
    const OpcodeChoice sanny{OpcodeChoice::Kind::SannyBuilder, folder};
    GameTable loaded;
    std::string error;
    ASSERT_TRUE(LoadGameTable(kGameViceCity, dir.Path(), sanny, loaded, error)) << error;
    EXPECT_EQ(loaded.source, OpcodeSource::WorkFolder);
    EXPECT_EQ(loaded.Description(), "VICESCM.ini, 2 commands");
    ASSERT_TRUE(LoadGameTable(kGameSanAndreas, dir.Path(), sanny, loaded, error)) << error;
    EXPECT_EQ(loaded.source, OpcodeSource::SannyBuilder);
    EXPECT_EQ(loaded.Description(), "Sanny Builder, SASCM.ini + 3 files, 34 commands");
    ASSERT_TRUE(LoadGameTable(kGameGta3, dir.Path(), sanny, loaded, error)) << error;
    EXPECT_EQ(loaded.source, OpcodeSource::BuiltIn);  // the folder has no GTA III files
    EXPECT_FALSE(loaded.sannyFailure.empty());
    EXPECT_EQ(loaded.Description(), "built-in (game and CLEO 4)");
    // Without a choice a missing INI file is an error, as before.
    EXPECT_FALSE(LoadGameTable(kGameGta3, dir.Path(), OpcodeChoice{}, loaded, error));
    EXPECT_EQ(error, "SCM.ini: not found");
    EXPECT_EQ(GroupedNumber(2477), "2,477");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
}
