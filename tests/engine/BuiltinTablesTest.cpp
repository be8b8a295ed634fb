#include <gtest/gtest.h>

#include "DemoScripts.h"
#include "Gta3scCommands.h"
#include "opcodes/BuiltinTables.h"
#include "opcodes/IniLoader.h"
#include "script/KeyScan.h"

using namespace morvane;

TEST(BuiltinTables, AreWhatGta3scsCommandDefinitionsGive) {
    for (const GameId game : kAllGames) {
        std::vector<tools::Gta3scCommand> expected;
        std::string error;
        ASSERT_TRUE(tools::ReadGta3scCommands(std::string(MORVANE_SOURCE_DIR) + "/tools/gta3sc", game, expected, error))
            << error;
        std::vector<tools::Gta3scCommand> built;
        for (const BuiltinCommand& command : BuiltinCommandsOf(game))
            built.push_back(tools::Gta3scCommand{command.id, command.count, command.description});
        EXPECT_EQ(built, expected) << GameName(game)
                                   << ": opcodes/BuiltinTables.cpp is stale: rebuild it with build/make_builtin_tables";
    }
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
            LoadOpcodeTable(std::string(MORVANE_SOURCE_DIR) + "/demo/" + OpcodeIniFileName(game), game, demoIni));
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
