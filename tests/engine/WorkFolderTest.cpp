// Where the window works: the working folder or the user's data folder.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/WorkFolder.h"
#include "support/ScopedEnvironment.h"
#include "fixtures/TempDir.h"

using namespace morvane;
using namespace morvane::test;

namespace {

void WriteIniFiles(const TempDir& dir, const std::string& sub, const std::vector<std::string>& names) {
    std::filesystem::create_directories(dir.File(sub));
    for (const auto& name : names) dir.Write(sub + "/" + name, "[OPCODES]\n0001=1\n");
}

const std::vector<std::string> kAllIni = {"SCM.ini", "VICESCM.ini", "SASCM.ini"};

// Runs each test in an empty working folder of its own and goes back after.
class WorkFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::create_directory(dir.File("start"));
        std::filesystem::current_path(dir.File("start"));
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    TempDir dir;
    std::filesystem::path previous;
    ScopedEnvironment env;
};

}  // namespace

TEST_F(WorkFolderTest, DataFolderFollowsXdgDataHomeElseHome) {
    env.Set("HOME", "/home/player");
    env.Set("XDG_DATA_HOME", "/data/xdg");
    EXPECT_EQ(UserDataFolder(), "/data/xdg/morvane");
    env.Unset("XDG_DATA_HOME");
    EXPECT_EQ(UserDataFolder(), "/home/player/.local/share/morvane");
    // Empty and relative values are ignored, as the XDG rules say.
    env.Set("XDG_DATA_HOME", "");
    EXPECT_EQ(UserDataFolder(), "/home/player/.local/share/morvane");
    env.Set("XDG_DATA_HOME", "relative/share");
    EXPECT_EQ(UserDataFolder(), "/home/player/.local/share/morvane");
    env.Unset("HOME");
    EXPECT_EQ(UserDataFolder(), "");
    env.Set("XDG_DATA_HOME", "/only/xdg");
    EXPECT_EQ(UserDataFolder(), "/only/xdg/morvane");
}

TEST_F(WorkFolderTest, WorkingFolderWithTheThreeFilesIsKept) {
    WriteIniFiles(dir, "start", kAllIni);
    WriteIniFiles(dir, "data", kAllIni);
    EXPECT_TRUE(HoldsOpcodeIniFiles(""));
    EXPECT_EQ(EnterWorkFolder(dir.File("data")), WorkFolder::Current);
    EXPECT_EQ(WorkingFolder(), dir.File("start"));
}

TEST_F(WorkFolderTest, DataFolderWithTheThreeFilesBecomesTheWorkingFolder) {
    WriteIniFiles(dir, "start", {"SCM.ini", "VICESCM.ini"});
    WriteIniFiles(dir, "data", kAllIni);
    EXPECT_FALSE(HoldsOpcodeIniFiles(""));
    EXPECT_TRUE(HoldsOpcodeIniFiles(dir.File("data")));
    EXPECT_EQ(EnterWorkFolder(dir.File("data")), WorkFolder::UserData);
    EXPECT_EQ(WorkingFolder(), dir.File("data"));
    EXPECT_TRUE(HoldsOpcodeIniFiles(""));
}

TEST_F(WorkFolderTest, NeitherFolderCompleteLeavesTheWorkingFolderAlone) {
    for (const std::string& missing : kAllIni) {
        const std::string data = "data-without-" + missing;
        std::vector<std::string> others;
        for (const auto& name : kAllIni)
            if (name != missing) others.push_back(name);
        WriteIniFiles(dir, data, others);
        EXPECT_EQ(EnterWorkFolder(dir.File(data)), WorkFolder::Missing) << missing;
        EXPECT_EQ(WorkingFolder(), dir.File("start")) << missing;
    }
    // A folder under an INI file's name does not count; no data folder, a
    // missing one, or one that is a file do not either.
    WriteIniFiles(dir, "folder-named-ini", {"SCM.ini", "VICESCM.ini"});
    std::filesystem::create_directory(dir.File("folder-named-ini/SASCM.ini"));
    EXPECT_FALSE(HoldsOpcodeIniFiles(dir.File("folder-named-ini")));
    EXPECT_EQ(EnterWorkFolder(dir.File("folder-named-ini")), WorkFolder::Missing);
    EXPECT_EQ(EnterWorkFolder(""), WorkFolder::Missing);
    EXPECT_EQ(EnterWorkFolder(dir.File("no-such-folder")), WorkFolder::Missing);
    EXPECT_EQ(EnterWorkFolder(dir.Write("a-file", "x")), WorkFolder::Missing);
    EXPECT_EQ(WorkingFolder(), dir.File("start"));
}

TEST_F(WorkFolderTest, WithTablesChosenItWorksWhereAnIniFileIsElseInTheDataFolder) {
    WriteIniFiles(dir, "start", {"SASCM.ini"});
    EXPECT_EQ(EnterFolderForChosenTables(dir.File("data")), WorkFolder::Current);
    EXPECT_EQ(WorkingFolder(), dir.File("start"));
    std::filesystem::remove(dir.File("start/SASCM.ini"));
    EXPECT_EQ(EnterFolderForChosenTables(dir.File("new/data")), WorkFolder::UserData);  // made
    EXPECT_EQ(WorkingFolder(), dir.File("new/data"));
}

TEST_F(WorkFolderTest, SannyBuilderIsLookedForWhereItsInstallersPutIt) {
    env.Set("WINEPREFIX", dir.File("prefix"));
    EXPECT_EQ(DefaultSannyBuilderFolder(), "");
    std::filesystem::create_directories(dir.File("prefix/drive_c/Program Files/Sanny Builder 3"));
    EXPECT_EQ(DefaultSannyBuilderFolder(), dir.File("prefix/drive_c/Program Files/Sanny Builder 3"));
    std::filesystem::create_directories(dir.File("prefix/drive_c/Program Files (x86)/Sanny Builder 4"));
    EXPECT_EQ(DefaultSannyBuilderFolder(), dir.File("prefix/drive_c/Program Files (x86)/Sanny Builder 4"));
}

TEST_F(WorkFolderTest, DataFolderThatCannotBeEnteredCountsAsMissing) {
    namespace fs = std::filesystem;
    WriteIniFiles(dir, "locked", kAllIni);
    // Its names can be read but it cannot be entered. Root enters any folder,
    // so the check runs in a child process as an ordinary user (nobody when
    // the tests run as root).
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(dir.File("start"), fs::perms::all);
    fs::permissions(dir.File("locked"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
        const bool missing = EnterWorkFolder(dir.File("locked")) == WorkFolder::Missing;
        const bool stayed = WorkingFolder() == dir.File("start");
        _exit(missing && stayed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: could not become an ordinary user; 1: the folder was taken";
    fs::permissions(dir.File("locked"), fs::perms::owner_all);
}

TEST_F(WorkFolderTest, MessageKeepsItsFirstLineNamesBothFoldersAndTheOtherWays) {
    const std::string text = MissingIniFilesMessage("/games/mods", "/home/player/.local/share/morvane");
    EXPECT_EQ(text.rfind("Couldn't find opcodes ini files.\n", 0), 0u) << text;
    EXPECT_NE(text.find("built-in opcode tables"), std::string::npos) << text;
    EXPECT_NE(text.find("Sanny Builder's folder"), std::string::npos) << text;
    EXPECT_NE(text.find("SCM.ini, VICESCM.ini and SASCM.ini"), std::string::npos);
    EXPECT_NE(text.find("\n/games/mods\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n/home/player/.local/share/morvane"), std::string::npos) << text;

    const std::string noData = MissingIniFilesMessage("/games/mods", "");
    EXPECT_NE(noData.find("(none: neither XDG_DATA_HOME nor HOME is set)"), std::string::npos) << noData;
    EXPECT_NE(MissingIniFilesMessage("", "/d").find("(unknown)"), std::string::npos);
}

TEST_F(WorkFolderTest, MessageSaysWhichFilesEachFolderLacks) {
    WriteIniFiles(dir, "start", {"SCM.ini", "SASCM.ini"});
    WriteIniFiles(dir, "data", {"SASCM.ini"});
    const std::string text = MissingIniFilesMessage(dir.File("start"), dir.File("data"));
    EXPECT_NE(text.find(dir.File("start") + "\n(missing there: VICESCM.ini)\n"), std::string::npos) << text;
    EXPECT_NE(text.find(dir.File("data") + "\n(missing there: SCM.ini, VICESCM.ini)"), std::string::npos) << text;
}
