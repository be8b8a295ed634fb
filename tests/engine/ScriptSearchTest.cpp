#include <gtest/gtest.h>

#include <filesystem>

#include "keymap/ScriptSearch.h"
#include "support/TempDir.h"

using namespace morvane;
using morvane::test::TempDir;
namespace fs = std::filesystem;

namespace {

// The found scripts relative to the folder.
std::vector<std::string> Found(const ScriptSearch& search, const TempDir& dir) {
    std::vector<std::string> names;
    for (const std::string& path : search.scripts)
        names.push_back(fs::path(path).lexically_relative(dir.Path()).generic_string());
    return names;
}

}  // namespace

TEST(ScriptSearch, SearchesSubfoldersByNameAndLeavesOutHiddenAndOtherFiles) {
    TempDir dir;
    fs::create_directories(dir.File("mods/b"));
    fs::create_directories(dir.File("mods/.git"));
    for (const char* name : {"mods/z.cs", "mods/a.CM", "mods/b/c.cs4", "mods/.hidden.cs", "mods/.git/d.cs",
                             "mods/notes.txt", "mods/SASCM.ini"})
        dir.Write(name, "x");
    const ScriptSearch search = FindScripts({dir.File("mods")});
    EXPECT_EQ(Found(search, dir), (std::vector<std::string>{"mods/a.CM", "mods/b/c.cs4", "mods/z.cs"}));
    EXPECT_EQ(search.otherFiles, 2);
    EXPECT_TRUE(search.problems.empty());
}

TEST(ScriptSearch, ReachesEachFileOnceThroughLinksAndRepeatedPaths) {
    TempDir dir;
    fs::create_directories(dir.File("mods/sub"));
    const std::string script = dir.Write("mods/a.cs", "x");
    fs::create_symlink(script, dir.File("mods/sub/link.cs"));
    fs::create_hard_link(script, dir.File("mods/sub/hard.cs"));
    fs::create_directory_symlink(dir.File("mods"), dir.File("mods/sub/loop"));  // a loop back up
    const ScriptSearch search = FindScripts({dir.File("mods"), script, dir.File("mods/sub/../a.cs")});
    EXPECT_EQ(Found(search, dir), (std::vector<std::string>{"mods/a.cs"}));
    EXPECT_TRUE(search.problems.empty());
}

TEST(ScriptSearch, FollowsALinkToAFolderOutside) {
    TempDir dir;
    fs::create_directories(dir.File("elsewhere"));
    fs::create_directories(dir.File("mods"));
    dir.Write("elsewhere/far.cs", "x");
    fs::create_directory_symlink(dir.File("elsewhere"), dir.File("mods/linked"));
    EXPECT_EQ(Found(FindScripts({dir.File("mods")}), dir), (std::vector<std::string>{"mods/linked/far.cs"}));
}

TEST(ScriptSearch, NamesWhatItCouldNotSearchAndGoesOn) {
    TempDir dir;
    fs::create_directories(dir.File("mods"));
    dir.Write("mods/good.cs", "x");
    fs::create_symlink(dir.File("gone.cs"), dir.File("mods/broken.cs"));
    const std::string notes = dir.Write("notes.txt", "x");
    const ScriptSearch search = FindScripts({dir.File("missing"), notes, dir.File("mods")});
    EXPECT_EQ(Found(search, dir), (std::vector<std::string>{"mods/good.cs"}));
    ASSERT_EQ(search.problems.size(), 3u);
    EXPECT_EQ(search.problems[0].path, dir.File("missing"));
    EXPECT_EQ(search.problems[0].cause, "no such file or folder");
    EXPECT_EQ(search.problems[1].path, notes);
    EXPECT_NE(search.problems[1].cause.find("not a script"), std::string::npos);
    EXPECT_EQ(search.problems[2].path, dir.File("mods/broken.cs"));
    EXPECT_EQ(search.problems[2].cause, "the link leads nowhere");
}
