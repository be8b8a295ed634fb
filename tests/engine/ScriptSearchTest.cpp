#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

#include "keymap/ScriptSearch.h"
#include "support/Child.h"
#include "fixtures/TempDir.h"

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

// Each path the search cannot take is said with its own cause, and the
// search goes on; nothing waits on a FIFO. Run in a child, under a time
// limit and (for the permission) as an unprivileged user.
TEST(ScriptSearch, SaysWhyEachPathCouldNotBeTaken) {
    TempDir dir;
    fs::create_directories(dir.File("mods/locked"));
    dir.Write("mods/good.cs", "x");
    dir.Write("mods/locked/inside.cs", "x");
    fs::create_symlink(dir.File("mods/b.cs"), dir.File("mods/a.cs"));  // a.cs -> b.cs -> a.cs
    fs::create_symlink(dir.File("mods/a.cs"), dir.File("mods/b.cs"));
    ASSERT_EQ(mkfifo(dir.File("mods/pipe.cs").c_str(), 0644), 0);
    // A link into a folder nobody may search, sorted before good.cs: the
    // link alone is said, the rest of its folder still searched.
    fs::create_directories(dir.File("private"));
    dir.Write("private/x.cs", "x");
    ASSERT_EQ(chmod(dir.File("private").c_str(), 0700), 0);
    fs::create_symlink(dir.File("private/x.cs"), dir.File("mods/a_link.cs"));
    // Deeper than the system's longest path: folders of 200-letter names.
    const std::string name(200, 'd');
    std::string deep = dir.File("mods/deep");
    fs::create_directories(deep);
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(deep.c_str()), 0);
    for (int level = 0; level < 25; ++level) {
        ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
        ASSERT_EQ(chdir(name.c_str()), 0);
    }
    ASSERT_EQ(chdir(previous), 0);
    for (const char* folder : {"", "/mods"}) ASSERT_EQ(chmod((dir.Path() + folder).c_str(), 0755), 0);
    ASSERT_EQ(chmod(dir.File("mods/locked").c_str(), 0644), 0);  // its names listed, none examined

    const struct {
        const char* path;
        const char* cause;
    } kProblems[] = {{"mods/a_link.cs", "cannot be reached: permission denied"},
                     {"mods/a.cs", "the link is a loop (it leads back to itself)"},
                     {"mods/b.cs", "the link is a loop (it leads back to itself)"},
                     {"mods/locked", "cannot be searched: its entries cannot be examined (permission denied)"},
                     {"mods/pipe.cs", "is a FIFO, not a file"}};
    const int status = test::InChildWithin(20, [&] {
        return test::InChildWithoutPrivileges([&] {
            const ScriptSearch search = FindScripts({dir.File("mods"), dir.File("mods/pipe.cs")});
            if (Found(search, dir) != std::vector<std::string>{"mods/good.cs"}) return 1;
            std::size_t expected = 0;
            bool tooLong = false;
            for (const SearchProblem& problem : search.problems) {
                if (problem.cause == "the path is longer than the system allows" ||
                    problem.cause == "cannot be searched: file name too long") {
                    tooLong = true;
                    continue;
                }
                bool known = false;
                for (const auto& p : kProblems)
                    known = known || (problem.path == dir.File(p.path) && problem.cause == p.cause);
                if (!known) return 2;
                ++expected;
            }
            return tooLong && expected == std::size(kProblems) + 1 ? 0 : 3;  // the FIFO named twice
        });
    });
    EXPECT_EQ(status, 0);
    fs::permissions(dir.File("mods/locked"), fs::perms::owner_all);
}

// Each folder of a deep tree is searched once and each script found once, in
// the order of the names, with a path that walks down to it; a link back to
// the top from the bottom ends the walk instead of starting it again.
TEST(ScriptSearch, FindsEveryScriptOfADeepTreeOnce) {
    constexpr int kLevels = 200;
    TempDir dir;
    // Depth first by name: each level's a.cs and m.cs, then the level below
    // ("n"), then its z.cs on the way back up.
    std::vector<std::string> expected;
    std::vector<std::string> onTheWayUp;
    std::string folder = "deep";
    for (int level = 0; level < kLevels; ++level) {
        fs::create_directories(dir.File(folder));
        for (const char* name : {"a.cs", "m.cs", "z.cs", "notes.txt", ".hidden.cs"})
            dir.Write(folder + "/" + name, "x");
        expected.push_back(folder + "/a.cs");
        expected.push_back(folder + "/m.cs");
        onTheWayUp.insert(onTheWayUp.begin(), folder + "/z.cs");
        folder += "/n";
    }
    expected.insert(expected.end(), onTheWayUp.begin(), onTheWayUp.end());
    fs::create_directory_symlink(dir.File("deep"), dir.File(folder));  // the deepest "n" leads back up
    // The folder named with a separator at its end gives the same paths.
    const ScriptSearch search = FindScripts({dir.File("deep") + "/"});
    EXPECT_EQ(Found(search, dir), expected);
    EXPECT_EQ(search.otherFiles, kLevels);
    EXPECT_TRUE(search.problems.empty());
}
