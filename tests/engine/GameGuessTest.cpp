#include <gtest/gtest.h>

#include "fixtures/ScriptBuilder.h"
#include "opcodes/BuiltinTables.h"
#include "opcodes/IniLoader.h"
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

// A San Andreas script of 100 instructions, `unknown` of them opcodes the San
// Andreas table lacks; the Vice City and GTA III tables know the first
// `viceCityKnows` and `gta3Knows` of those. The numbers are worked out by
// hand from the rule: more than 5 of 100 unknown, and another game leaving
// at most a quarter of them.
TEST(BetterGame, TheRuleOfTheOfferOnScriptsWhoseCountsAreKnown) {
    const struct {
        int unknown;
        int viceCityKnows;
        int gta3Knows;
        std::optional<GameId> offered;
        int64_t left;
    } kCases[] = {
        {5, 5, 5, std::nullopt, 0},   // 5 of 100 is a small share: nothing offered
        {6, 6, 0, kGameViceCity, 0},  // 6 of 100, and Vice City knows them all
        {8, 6, 7, kGameGta3, 1},      // both leave at most 2 of 8: the fewest wins
        {8, 5, 0, std::nullopt, 0},   // 3 left of 8 is more than a quarter
        {40, 30, 0, kGameViceCity, 10},
    };
    for (const auto& c : kCases) {
        test::ScriptBuilder sa(kGameSanAndreas);
        std::string saIni = "[x]\n0001=0\n", vcIni = saIni, gta3Ini = saIni;
        for (int i = 0; i < 100 - c.unknown; ++i) sa.Op(0x0001);
        for (int i = 0; i < c.unknown; ++i) {
            const uint16_t opcode = static_cast<uint16_t>(0x0A01 + i);
            sa.Op(opcode);
            const std::string line = OpcodeText(opcode) + "=0\n";
            if (i < c.viceCityKnows) vcIni += line;
            if (i < c.gta3Knows) gta3Ini += line;
        }
        std::array<OpcodeTable, kGameCount> tables;
        ParseOpcodeIni(saIni, kGameSanAndreas, tables[GameNumber(kGameSanAndreas)]);
        ParseOpcodeIni(vcIni, kGameViceCity, tables[GameNumber(kGameViceCity)]);
        ParseOpcodeIni(gta3Ini, kGameGta3, tables[GameNumber(kGameGta3)]);
        ScannedScript script;
        script.image.game = kGameSanAndreas;
        ASSERT_TRUE(script.image.LoadFromBytes(sa.Bytes().data(), sa.Bytes().size()));
        script.summary =
            ScanKeyTests(script.image, tables[GameNumber(kGameSanAndreas)], HeaderSkip::Never, script.tests, nullptr);
        ASSERT_EQ(script.summary.unknownInstructions, c.unknown);
        const std::optional<BetterReading> better =
            BetterGame(script, [&](GameId game) { return &tables[GameNumber(game)]; });
        ASSERT_EQ(better.has_value(), c.offered.has_value()) << c.unknown << " unknown";
        if (!better) continue;
        EXPECT_EQ(better->game, *c.offered) << c.unknown << " unknown";
        EXPECT_EQ(better->unknownInstructions, c.left) << c.unknown << " unknown";
    }
}

TEST(BetterGame, ADemoScriptReadWithItsOwnGamesTableIsOfferedNothing) {
    const struct {
        const char* demo;
        GameId game;
    } kDemos[] = {{"gta3_keys.cs", kGameGta3},        {"vc_keys.cs", kGameViceCity}, {"sa_keys.cs", kGameSanAndreas},
                  {"sa_hotkeys.cs", kGameSanAndreas}, {"vc_cleo.cs", kGameViceCity}, {"main.scm", kGameSanAndreas}};
    for (const auto& demo : kDemos) EXPECT_FALSE(BetterGame(ReadAs(demo.demo, demo.game), BuiltinTable)) << demo.demo;
}
