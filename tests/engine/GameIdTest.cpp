#include <gtest/gtest.h>

#include <set>
#include <string>

#include "opcodes/GameId.h"
#include "opcodes/IniLoader.h"
#include "opcodes/SannyBuilder.h"

using namespace morvane;

TEST(GameInfo, EachGameIsFoundByItsNumberAndShortNameAndNoTwoShareANameFileOrFolder) {
    std::set<std::string> names;
    std::set<std::string> shortNames;
    std::set<std::string> iniFiles;
    std::set<std::string> sannyFolders;
    for (const GameId game : kAllGames) {
        EXPECT_EQ(GameFromNumber(GameNumber(game)), game);
        EXPECT_EQ(GameFromShortName(GameShortName(game)), game);
        names.insert(GameName(game));
        shortNames.insert(GameShortName(game));
        iniFiles.insert(OpcodeIniFileName(game));
        sannyFolders.insert(SannyModeFolder(game));
        sannyFolders.insert(SannyLibraryModeFolder(game));
    }
    EXPECT_EQ(names.size(), std::size_t{kGameCount});
    EXPECT_EQ(shortNames.size(), std::size_t{kGameCount});
    EXPECT_EQ(iniFiles.size(), std::size_t{kGameCount});
    EXPECT_EQ(sannyFolders.size(), std::size_t{2 * kGameCount});
    // Short names are exact: no other case, no long name, nothing empty.
    for (const char* other : {"SA", "San Andreas", "", "gta"})
        EXPECT_EQ(GameFromShortName(other), std::nullopt) << other;
}
