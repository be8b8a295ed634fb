#include <gtest/gtest.h>

#include "fixtures/DemoScripts.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/KeyScan.h"
#include "support/Printers.h"
#include "fixtures/TempDir.h"
#include "keys/KeyNames.h"

using namespace morvane;

namespace {

std::string Demo(const std::string& name) { return std::string(MORVANE_SOURCE_DIR) + "/demo/" + name; }

std::vector<std::string> ScanLabels(const std::string& name, GameId game, HeaderSkip header = HeaderSkip::ByName) {
    OpcodeTable table;
    EXPECT_TRUE(LoadOpcodeFile(Demo(OpcodeIniFileName(game)), game, table));
    ScriptImage image;
    image.game = game;
    EXPECT_TRUE(image.LoadFromFile(Demo(name)));
    std::vector<KeyTest> found;
    ScanKeyTests(image, table, header, found, nullptr);
    std::vector<std::string> labels;
    for (const KeyTest& o : found)
        labels.push_back(KeyTestLabel(o) + (o.IsCheat()  ? " (room " + std::to_string(o.room) + ")"
                                            : o.IsVKey() ? (o.wide ? " (16)" : " (8)")
                                                         : " pad " + std::to_string(o.pad)));
    return labels;
}

}  // namespace

TEST(DemoFiles, AreWhatTheGeneratorMakes) {
    for (const auto& [name, bytes] : demo::DemoScripts())
        EXPECT_EQ(test::ReadBytes(Demo(name)), bytes) << name << " is stale: rebuild it with build/make_demo";
    for (const auto& [name, bytes] : demo::DemoMobileScripts())
        EXPECT_EQ(test::ReadBytes(Demo(name)), bytes) << name << " is stale: rebuild it with build/make_demo";
    for (const auto& [name, bytes] : demo::DemoGameFolder())
        EXPECT_EQ(test::ReadBytes(std::string(MORVANE_SOURCE_DIR) + "/demo-game/" + name), bytes)
            << name << " is stale: rebuild it with build/make_demo";
    for (const auto& [name, bytes] : demo::DemoMobileFolder())
        EXPECT_EQ(test::ReadBytes(std::string(MORVANE_SOURCE_DIR) + "/demo-mobile/" + name), bytes)
            << name << " is stale: rebuild it with build/make_demo";
}

TEST(DemoFiles, EachScriptListsItsKeysWithTheDemoOpcodeFiles) {
    EXPECT_EQ(ScanLabels("gta3_keys.cs", kGameGta3), (std::vector<std::string>{"F5 (8)", "Circle: Fire pad 0"}));
    EXPECT_EQ(ScanLabels("vc_keys.cs", kGameViceCity),
              (std::vector<std::string>{"N Key (8)", "Shift (8)", "L1: Action/Secondary fire pad 0",
                                        "Square: Jump | Brake/Reverse pad 1"}));
    EXPECT_EQ(ScanLabels("sa_keys.cs", kGameSanAndreas),
              (std::vector<std::string>{"Y Key (8)", "Left Shift (16)", "F2 (16)", "Cross: Sprint | Accelerate pad 0",
                                        "R1: Aim Weapon | Hand Brake pad 1"}));
    EXPECT_EQ(ScanLabels("main.scm", kGameSanAndreas),
              (std::vector<std::string>{"M Key (8)", "Triangle: Enter/Exit vehicle pad 0"}));
    // A test of each current library; the debug block's bytes are stepped over.
    EXPECT_EQ(
        ScanLabels("sa_libraries.cs", kGameSanAndreas),
        (std::vector<std::string>{"F6 (8)", "Left Ctrl (16)", "K Key (8)", "R3: Look Behind | Submission pad 0"}));
    EXPECT_EQ(ScanLabels("sa_hotkeys.cs", kGameSanAndreas),
              (std::vector<std::string>{"F2 (8)", "Shift (8)", "F2 (8)", "K Key (8)", "F17 (16)",
                                        "Cross: Sprint | Accelerate pad 0", "Circle: Fire pad 1"}));
    // A cheat test of each string form; the codes held in variables are left out.
    EXPECT_EQ(ScanLabels("sa_cheats.cs", kGameSanAndreas),
              (std::vector<std::string>{"Cheat BOOM (room 7)", "Cheat FLYINGCARS (room 15)", "Cheat TANK (room 4)",
                                        "F2 (8)"}));
    for (GameId older : {kGameGta3, kGameViceCity})
        EXPECT_EQ(ScanLabels("vc_cheats.cs", older),
                  (std::vector<std::string>{"Cheat GUNS (room 7)", "Cheat MONEYUP (room 7)"}));
    // Debug data after the code, CLEO's strings, data inside the code: only
    // the code's tests.
    EXPECT_EQ(ScanLabels("sa_debug_footer.cs", kGameSanAndreas), (std::vector<std::string>{"F7 (8)"}));
    EXPECT_EQ(ScanLabels("vc_cleo.cs", kGameViceCity),
              (std::vector<std::string>{"Cheat GESUNDHEIT (room 10)", "J Key (8)"}));
    EXPECT_EQ(ScanLabels("sa_data_block.cs", kGameSanAndreas), (std::vector<std::string>{"U Key (8)"}));
    // Without the header skip the header's segments are data after their
    // jumps: the bytes in the first that look like a test of X are not one.
    EXPECT_EQ(ScanLabels("main.scm", kGameSanAndreas, HeaderSkip::Never), ScanLabels("main.scm", kGameSanAndreas));
}
