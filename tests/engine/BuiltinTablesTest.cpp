#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures/DemoScripts.h"
#include "fixtures/Gta3scCommands.h"
#include "opcodes/BuiltinTables.h"
#include "opcodes/OpcodeJson.h"
#include "opcodes/IniLoader.h"
#include "script/KeyScan.h"

using namespace morvane;

// Each game's loaded table, opcode by opcode, is what gta3sc's definitions
// give for that game: no command missing, none extra, none taken from
// another game's row.
TEST(BuiltinTables, LoadForEachGameWhatGta3scsCommandDefinitionsGive) {
    for (const GameId game : kPcGames) {
        std::vector<tools::Gta3scCommand> expected;
        std::string error;
        ASSERT_TRUE(tools::ReadGta3scCommands(std::string(MORVANE_SOURCE_DIR) + "/tools/gta3sc", game, expected, error))
            << error;
        OpcodeTable table;
        LoadBuiltinTable(game, table);
        std::vector<tools::Gta3scCommand> loaded;
        for (uint32_t opcode = 0; opcode < static_cast<uint32_t>(kOpcodeTableSize); ++opcode)
            if (const OpcodeEntry* entry = table.Find(opcode))
                loaded.push_back(tools::Gta3scCommand{static_cast<uint16_t>(opcode), entry->parameterCount,
                                                      std::string(table.Description(opcode))});
        EXPECT_EQ(loaded, expected)
            << GameName(game) << ": opcodes/BuiltinTables.cpp is stale: rebuild it with build/make_builtin_tables";
    }
}

// One list for the three games: a command the games share is written once,
// and no game holds an opcode in two rows.
TEST(BuiltinTables, AreOneListWithEachGamesOpcodesOnce) {
    std::size_t shared = 0;
    for (const GameId game : kAllGames) {
        std::vector<uint16_t> ids;
        for (const BuiltinCommand& command : AllBuiltinCommands())
            if (GameSetHas(command.games, game)) ids.push_back(command.id);
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end())) << GameName(game);
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << GameName(game);
    }
    for (const BuiltinCommand& command : AllBuiltinCommands()) {
        EXPECT_NE(command.games, 0) << OpcodeText(command.id);
        if (command.games == kInEveryGame) ++shared;
    }
    EXPECT_GT(shared, 1000u);  // gta3sc's GTA III commands live on in the later games
}

TEST(BuiltinTables, ReadEveryDemoScriptAsItsOpcodeFileDoes) {
    for (const auto& [name, bytes] : demo::DemoScripts()) {
        const GameId game = name.rfind("gta3", 0) == 0 ? kGameGta3
                            : name.rfind("vc", 0) == 0 ? kGameViceCity
                                                       : kGameSanAndreas;
        OpcodeTable builtin;
        LoadBuiltinTable(game, builtin);
        OpcodeTable demoIni;
        ASSERT_TRUE(
            LoadOpcodeFile(std::string(MORVANE_SOURCE_DIR) + "/demo/" + OpcodeIniFileName(game), game, demoIni));
        auto scan = [&](const OpcodeTable& table, ScanSummary& summary) {
            ScriptImage image;
            image.game = game;
            image.LoadFromBytes(bytes.data(), bytes.size());
            std::vector<KeyTest> tests;
            summary =
                ScanKeyTests(image, table, name == "main.scm" ? HeaderSkip::Always : HeaderSkip::Never, tests, nullptr);
            return tests;
        };
        ScanSummary withBuiltin;
        ScanSummary withIni;
        EXPECT_EQ(scan(builtin, withBuiltin), scan(demoIni, withIni)) << name;
        EXPECT_FALSE(withBuiltin.HasUnknown()) << name << ": " << UnknownInstructionsText(withBuiltin);
    }
}
