#include <gtest/gtest.h>

#include "opcodes/BuiltinTables.h"
#include "session/GameGuess.h"
#include "support/Printers.h"

using namespace morvane;

namespace {

const OpcodeTable* BuiltinTable(GameId game) {
    static const auto tables = [] {
        std::array<OpcodeTable, kGameCount> made;
        for (const GameId g : kAllGames) LoadBuiltinTable(g, made[GameNumber(g)]);
        return made;
    }();
    return &tables[GameNumber(game)];
}

ScannedScript ReadAs(const std::string& demo, GameId game) {
    Result<ScannedScript> script =
        ReadAndScan(std::string(MORVANE_SOURCE_DIR) + "/demo/" + demo, game, *BuiltinTable(game), HeaderSkip::ByName);
    EXPECT_TRUE(script) << script.Cause();
    return script ? std::move(*script) : ScannedScript();
}

}  // namespace

// A script read with its own game's table is offered nothing; read with
// another game's, it is offered a game that reads it as well as its own
// whenever much of it is unknown.
TEST(BetterGame, OffersTheGameWhoseTableReadsTheScriptAndOnlyWhenMuchIsUnknown) {
    const struct {
        const char* demo;
        GameId game;
    } kDemos[] = {{"gta3_keys.cs", kGameGta3},
                  {"vc_keys.cs", kGameViceCity},
                  {"sa_keys.cs", kGameSanAndreas},
                  {"sa_hotkeys.cs", kGameSanAndreas},
                  {"vc_cleo.cs", kGameViceCity},
                  {"main.scm", kGameSanAndreas}};  // a main script: its header stepped over each time
    int offers = 0;
    for (const auto& demo : kDemos) {
        for (const GameId read : kAllGames) {
            const ScannedScript script = ReadAs(demo.demo, read);
            const std::optional<BetterReading> better = BetterGame(script, BuiltinTable);
            if (read == demo.game || !ReadsPoorly(script.summary)) {
                EXPECT_FALSE(better) << demo.demo << " read as " << GameName(read);
                continue;
            }
            // Its own game, or one that reads it as well (GTA III and Vice
            // City share most opcodes).
            ASSERT_TRUE(better) << demo.demo << " read as " << GameName(read);
            const ScannedScript again = ReadAs(demo.demo, better->game);
            EXPECT_EQ(better->unknownInstructions, again.summary.unknownInstructions);
            EXPECT_LE(again.summary.unknownInstructions, ReadAs(demo.demo, demo.game).summary.unknownInstructions)
                << demo.demo << " read as " << GameName(read) << " offered " << GameName(better->game);
            ++offers;
        }
    }
    EXPECT_GE(offers, 6);
}
