#include <gtest/gtest.h>

#include "opcodes/OpcodeRoles.h"

using namespace morvane;

TEST(UsualOpcode, IsTheOpcodeEachGamesOwnScriptsUseAndHasItsRoleThere) {
    struct Case {
        GameId game;
        OpcodeRole role;
        uint16_t usual;
    };
    const Case cases[] = {
        {kGameGta3, OpcodeRole::VKeyTest, 0x05EE},         {kGameViceCity, OpcodeRole::VKeyTest, 0x05EE},
        {kGameSanAndreas, OpcodeRole::VKeyTest, 0x0AB0},   {kGameViceCity, OpcodeRole::ButtonTest, 0x00E1},
        {kGameSanAndreas, OpcodeRole::ButtonTest, 0x00E1}, {kGameGta3, OpcodeRole::Jump, 0x0002},
        {kGameSanAndreas, OpcodeRole::Jump, 0x0002},       {kGameSanAndreas, OpcodeRole::SkipsData, 0x05B6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsualOpcodeFor(c.game, c.role), c.usual) << GameName(c.game);
        EXPECT_EQ(RoleOf(c.game, c.usual), c.role) << GameName(c.game);
    }
    // A role the game has no opcode of.
    EXPECT_EQ(UsualOpcodeFor(kGameGta3, OpcodeRole::SkipsData), 0x0000);
    EXPECT_EQ(kJumpOpcode, 0x0002);
}
