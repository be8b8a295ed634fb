#include <gtest/gtest.h>

#include <set>
#include <string>

#include "opcodes/GameId.h"
#include "opcodes/IniLoader.h"
#include "opcodes/SannyBuilder.h"
#include "script/ParamType.h"

using namespace morvane;

// A mobile edition reads its PC edition's INI file, and has Sanny Builder
// modes of its own.
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
        sannyFolders.insert(SannyModeFolder(game));
        sannyFolders.insert(SannyLibraryModeFolder(game));
        if (IsMobile(game)) {
            EXPECT_FALSE(IsMobile(PcEditionOf(game)));
            EXPECT_EQ(OpcodeIniFileName(game), OpcodeIniFileName(PcEditionOf(game)));
            EXPECT_EQ(RulesForGame(game), RulesForGame(PcEditionOf(game)));
            EXPECT_EQ(SannyModeFolder(game), std::string(SannyModeFolder(PcEditionOf(game))) + "_mobile");
        } else {
            iniFiles.insert(OpcodeIniFileName(game));
        }
    }
    EXPECT_EQ(names.size(), std::size_t{kGameCount});
    EXPECT_EQ(shortNames.size(), std::size_t{kGameCount});
    EXPECT_EQ(iniFiles.size(), std::size_t{kPcGameCount});
    // A mobile mode's folder holds its INI files or its library alike.
    EXPECT_EQ(sannyFolders.size(), std::size_t{2 * kPcGameCount + kGameCount - kPcGameCount});
    // Short names are exact: no other case, no long name, nothing empty.
    for (const char* other : {"SA", "San Andreas", "", "gta"})
        EXPECT_EQ(GameFromShortName(other), std::nullopt) << other;
}
