#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "keymap/KeyMap.h"
#include "keymap/KeyboardPicture.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "support/Printers.h"
#include "fixtures/ScriptBuilder.h"
#include "fixtures/TempDir.h"

namespace morvane {
inline void PrintTo(const TestedKey& key, std::ostream* out) {
    if (key.IsCheat())
        *out << "cheat " << key.code;
    else
        *out << (key.IsVKey() ? "vkey " : "button pad " + std::to_string(key.pad) + " ") << key.key;
}
}  // namespace morvane

using namespace morvane;
using morvane::test::ScriptBuilder;
using morvane::test::TempDir;

namespace {

constexpr uint16_t kWait = 0x0001;
constexpr uint16_t kButton = 0x00E1;
constexpr uint16_t kSaKey = 0x0AB0;
constexpr uint16_t kUnknown = 0x0123;
constexpr int32_t kF2 = 0x71;

KeyTest Key(int32_t code) { return KeyTest::VKey(0, code, false, kSaKey); }
KeyTest Button(int32_t pad, int32_t key) { return KeyTest::Button(0, pad, key, kButton); }
KeyTest Cheat(const std::string& code) {
    return KeyTest::Cheat(0, StringConstant{StringForm::Fixed8, code, FixedStringRoom(StringForm::Fixed8)}, 0x0ADC);
}

ScriptKeys Script(const std::string& path, const std::vector<KeyTest>& tests) {
    return CountKeyTests(path, tests, ScanSummary{});
}

// "path:tests" for each script that tests the key, in order.
std::vector<std::string> Users(const KeyMap& map, const TestedKey& key) {
    std::vector<std::string> users;
    if (const KeyEntry* entry = map.Find(key))
        for (const KeyUse& use : entry->uses)
            users.push_back(map.scripts[use.script].path + ":" + std::to_string(use.tests));
    return users;
}

OpcodeTable SaTable() {
    OpcodeTable table;
    ParseOpcodeIni("[OPCODES]\n0001=1\n0002=1\n00E1=2\n0AB0=1\n", kGameSanAndreas, table);
    return table;
}

}  // namespace

TEST(KeyMap, AKeyTestedByTwoScriptsIsAConflictAndEachScriptsTestsAreCounted) {
    const KeyMap map = AggregateKeyMap({Script("a.cs", {Key(kF2), Key(kF2), Key(0x59)}), Script("b.cs", {Key(kF2)})});
    EXPECT_EQ(Users(map, TestedKey::VKey(kF2)), (std::vector<std::string>{"a.cs:2", "b.cs:1"}));
    EXPECT_TRUE(map.Find(TestedKey::VKey(kF2))->IsConflict());
    EXPECT_EQ(map.Find(TestedKey::VKey(kF2))->Tests(), 3);
    // Two tests in one script are no conflict.
    EXPECT_EQ(Users(map, TestedKey::VKey(0x59)), (std::vector<std::string>{"a.cs:1"}));
    EXPECT_FALSE(map.Find(TestedKey::VKey(0x59))->IsConflict());
    EXPECT_EQ(map.ConflictCount(), 1u);
    EXPECT_EQ(map.Find(TestedKey::VKey(0x41)), nullptr);
}

// Mods read pad buttons as the game's controls: a button alone is shared by
// nature, on either pad, and no VKey of the same number.
TEST(KeyMap, APadButtonAloneIsASharedControlAndNeverTheVKeyOfItsNumber) {
    const KeyMap map = AggregateKeyMap(
        {Script("a.cs", {Button(0, 16), Key(16)}), Script("b.cs", {Button(1, 16)}), Script("c.cs", {Button(0, 16)})});
    EXPECT_EQ(Users(map, TestedKey::Button(0, 16)), (std::vector<std::string>{"a.cs:1", "c.cs:1"}));
    EXPECT_EQ(map.Find(TestedKey::Button(0, 16))->mods, 2u);
    EXPECT_FALSE(map.Find(TestedKey::Button(0, 16))->IsConflict());
    EXPECT_EQ(Users(map, TestedKey::Button(1, 16)), (std::vector<std::string>{"b.cs:1"}));
    EXPECT_EQ(Users(map, TestedKey::VKey(16)), (std::vector<std::string>{"a.cs:1"}));
    EXPECT_EQ(map.ConflictCount(), 0u);
}

// A main script's buttons are the game's controls: a mod that tests one too
// shares it with the game, not with another mod. Its keyboard keys and cheat
// codes still conflict.
TEST(KeyMap, ButtonsTheMainScriptAndModsShareAreNoConflictButKeysAre) {
    const KeyMap map =
        AggregateKeyMap({Script("data/MAIN.SCM", {Button(0, 16), Button(0, 17), Key(kF2)}),
                         Script("a.cs", {Button(0, 16), Button(0, 17), Key(kF2)}), Script("b.cs", {Button(0, 17)})});
    EXPECT_EQ(Users(map, TestedKey::Button(0, 16)), (std::vector<std::string>{"data/MAIN.SCM:1", "a.cs:1"}));
    EXPECT_FALSE(map.Find(TestedKey::Button(0, 16))->IsConflict());
    EXPECT_FALSE(map.Find(TestedKey::Button(0, 17))->IsConflict());
    EXPECT_TRUE(map.Find(TestedKey::VKey(kF2))->IsConflict());
    EXPECT_EQ(map.ConflictCount(), 1u);
}

// A negative VKey (an 8-bit byte of 0x80 or more) tests no key: two scripts
// with it do not conflict, in the map and in its picture.
TEST(KeyMap, AKeyTheGameReadsAsNoKeyIsNoConflict) {
    const KeyMap map = AggregateKeyMap({Script("a.cs", {Key(-112)}), Script("b.cs", {Key(-112)})});
    EXPECT_EQ(Users(map, TestedKey::VKey(-112)), (std::vector<std::string>{"a.cs:1", "b.cs:1"}));
    EXPECT_FALSE(map.Find(TestedKey::VKey(-112))->IsConflict());
    EXPECT_EQ(map.ConflictCount(), 0u);
    const KeyboardPicture picture = LayOutKeyboard(map, KeyboardCaption{"mods", "today"});
    const auto chip = std::find_if(picture.keys.begin(), picture.keys.end(),
                                   [](const PictureKey& key) { return key.tooltip.rfind("-112", 0) == 0; });
    ASSERT_NE(chip, picture.keys.end());
    EXPECT_EQ(chip->shade, KeyShade::One);
    EXPECT_NE(chip->tooltip.find("2 scripts, no key the game reads:"), std::string::npos) << chip->tooltip;
}

TEST(KeyMap, ListsConflictsFirstThenVKeysByCodeThenButtonsByPadAndKey) {
    const KeyMap map = AggregateKeyMap({Script("a.cs", {Button(1, 2), Button(0, 19), Key(0x80), Key(0x41), Key(kF2)}),
                                        Script("b.cs", {Button(0, 19), Key(kF2)})});
    std::vector<TestedKey> order;
    for (const KeyEntry& entry : map.keys) order.push_back(entry.key);
    EXPECT_EQ(order, (std::vector<TestedKey>{TestedKey::VKey(kF2), TestedKey::VKey(0x41), TestedKey::VKey(0x80),
                                             TestedKey::Button(0, 19), TestedKey::Button(1, 2)}));
}

TEST(KeyMap, AScriptGivenTwiceCountsOnce) {
    const KeyMap map = AggregateKeyMap({Script("a.cs", {Key(kF2)}), Script("a.cs", {Key(kF2)})});
    EXPECT_EQ(map.scripts.size(), 1u);
    EXPECT_EQ(Users(map, TestedKey::VKey(kF2)), (std::vector<std::string>{"a.cs:1"}));
}

TEST(KeyMap, NamesKeysWithoutTheTablesStraySpaces) {
    EXPECT_EQ(TestedKeyName(TestedKey::VKey(0xA0)), "Left Shift");
    EXPECT_EQ(TestedKeyName(TestedKey::VKey(kF2)), "F2");
    EXPECT_EQ(TestedKeyName(TestedKey::Button(1, 17)), "Circle: Fire");
    EXPECT_EQ(TestedKeyName(TestedKey::VKey(300)), "300");
}

TEST(KeyMap, BuiltFromFilesOnAnyNumberOfThreadsAlike) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        ScriptBuilder b(kGameSanAndreas);
        b.Op(kWait)
            .I8(0)
            .Op(kSaKey)
            .I8(static_cast<uint8_t>(0x41 + i % 5))
            .Op(kButton)
            .I8(static_cast<uint8_t>(i % 2))
            .I8(17);
        paths.push_back(dir.Write("s" + std::to_string(i) + ".cs", b.Bytes()));
    }
    paths.push_back(dir.File("missing.cs"));
    ScriptBuilder odd(kGameSanAndreas);
    odd.Op(kSaKey).I8(0x5A).Op(kUnknown).Op(kSaKey).I8(0x5A);
    paths.push_back(dir.Write("odd.cs", odd.Bytes()));

    const OpcodeTable table = SaTable();
    const KeyMap one = BuildKeyMap(paths, table, kGameSanAndreas, HeaderSkip::ByName, 1);
    const KeyMap four = BuildKeyMap(paths, table, kGameSanAndreas, HeaderSkip::ByName, 4);
    ASSERT_EQ(one.scripts.size(), 42u);
    EXPECT_EQ(one.keys.size(), four.keys.size());
    for (std::size_t k = 0; k < one.keys.size(); ++k) {
        EXPECT_EQ(one.keys[k].key, four.keys[k].key);
        EXPECT_EQ(Users(one, one.keys[k].key), Users(four, four.keys[k].key));
    }
    EXPECT_EQ(Users(one, TestedKey::VKey(0x41)).size(), 8u);
    EXPECT_EQ(Users(one, TestedKey::Button(0, 17)).size(), 20u);

    EXPECT_FALSE(one.scripts[40].read);
    EXPECT_FALSE(one.scripts[40].IsIncomplete());
    EXPECT_TRUE(one.scripts[41].read);
    EXPECT_TRUE(one.scripts[41].IsIncomplete());
    EXPECT_EQ(one.scripts[41].summary.firstUnknownOffset, 4);
    // Counted, though the second may be data read as code.
    EXPECT_EQ(Users(one, TestedKey::VKey(0x5A)), (std::vector<std::string>{dir.File("odd.cs") + ":2"}));
}

TEST(KeyMap, StepsOverTheHeaderOfMainScriptsByNameOrAsAsked) {
    // The demo main script has bytes in its header that look like a test of X.
    TempDir dir;
    const std::string demo = std::string(MORVANE_SOURCE_DIR) + "/demo/";
    const std::string main = dir.File("main.scm");
    const std::string copy = dir.File("copy.cs");
    std::filesystem::copy_file(demo + "main.scm", main);
    std::filesystem::copy_file(demo + "main.scm", copy);
    OpcodeTable table;
    ASSERT_TRUE(LoadOpcodeFile(demo + "SASCM.ini", kGameSanAndreas, table));

    auto headers = [&](HeaderSkip skip) {
        std::vector<bool> stepped;
        for (const ScriptKeys& script : BuildKeyMap({main, copy}, table, kGameSanAndreas, skip).scripts)
            stepped.push_back(script.summary.code.header);
        return stepped;
    };
    EXPECT_EQ(headers(HeaderSkip::ByName), (std::vector<bool>{true, false}));
    EXPECT_EQ(headers(HeaderSkip::Always), (std::vector<bool>{true, true}));
    EXPECT_EQ(headers(HeaderSkip::Never), (std::vector<bool>{false, false}));
    // Either way the header's bytes that look like a test of X are none.
    const KeyMap byName = BuildKeyMap({main, copy}, table, kGameSanAndreas, HeaderSkip::ByName);
    EXPECT_EQ(byName.Find(TestedKey::VKey(0x58)), nullptr);
    EXPECT_EQ(Users(byName, TestedKey::VKey(0x4D)).size(), 2u);
}

TEST(KeyMap, TwoScriptsWithTheSameCheatCodeConflictAndCodesComeAfterKeys) {
    const KeyMap map = AggregateKeyMap({Script("a.cs", {Cheat("BOOM"), Key(0x42), Cheat("FLY")}),
                                        Script("b.cs", {Cheat("BOOM"), Cheat("BOOM"), Button(0, 3)}),
                                        Script("c.cs", {Cheat("BOOMS")})});
    EXPECT_EQ(Users(map, TestedKey::Cheat("BOOM")), (std::vector<std::string>{"a.cs:1", "b.cs:2"}));
    EXPECT_TRUE(map.Find(TestedKey::Cheat("BOOM"))->IsConflict());
    EXPECT_FALSE(map.Find(TestedKey::Cheat("BOOMS"))->IsConflict());  // another code, however alike
    EXPECT_EQ(map.Find(TestedKey::VKey(0x42))->uses.size(), 1u);      // a code's letters are no keys
    EXPECT_EQ(map.ConflictCount(), 1u);
    std::vector<TestedKey> order;
    for (const KeyEntry& entry : map.keys) order.push_back(entry.key);
    EXPECT_EQ(order, (std::vector<TestedKey>{TestedKey::Cheat("BOOM"), TestedKey::VKey(0x42), TestedKey::Button(0, 3),
                                             TestedKey::Cheat("BOOMS"), TestedKey::Cheat("FLY")}));
    EXPECT_EQ(TestedKeyName(TestedKey::Cheat("FLY")), "FLY");
}

// A chord is one entry by its hotkey, and its keys are no single keys; two
// scripts with the same chord conflict. A key set in a variable counts as
// its key; one that cannot be told counts as none. The picture shows chords
// as chips of their own.
TEST(KeyMap, AChordIsOneEntryAndKeysInVariablesCountAsTheirKeys) {
    const auto chord = [](int32_t condition, std::vector<int32_t> keys) {
        std::vector<KeyTest> tests;
        for (const int32_t key : keys) {
            KeyTest test = Key(key);
            test.condition = condition;
            test.joined = Joined::All;
            tests.push_back(test);
        }
        return tests;
    };
    std::vector<KeyTest> a = chord(4, {0x11, 'M'});
    KeyTest set = Key('V');
    set.variable = Variable{Variable::Scope::Local, 0};
    set.setAt = {0};
    set.keyAt = {5};
    a.push_back(set);
    KeyTest untold = KeyTest::VKey(0, kNoKey, true, kSaKey);
    untold.variable = Variable{Variable::Scope::Local, 3};
    untold.unresolved = "3@ is never set to a number in this file";
    a.push_back(untold);
    const KeyMap map = AggregateKeyMap({Script("a.cs", a), Script("b.cs", chord(8, {'M', 0x11}))});
    EXPECT_EQ(Users(map, TestedKey::Chord("Ctrl+M")), (std::vector<std::string>{"a.cs:1", "b.cs:1"}));
    EXPECT_TRUE(map.Find(TestedKey::Chord("Ctrl+M"))->IsConflict());
    EXPECT_EQ(map.Find(TestedKey::VKey('M')), nullptr);
    EXPECT_EQ(map.Find(TestedKey::VKey(0x11)), nullptr);
    EXPECT_EQ(Users(map, TestedKey::VKey('V')), (std::vector<std::string>{"a.cs:1"}));
    EXPECT_EQ(map.keys.size(), 2u);  // the chord and V: the untold key is none

    const KeyboardPicture picture = LayOutKeyboard(map, KeyboardCaption{"mods", "today"});
    const auto chip = std::find_if(picture.keys.begin(), picture.keys.end(),
                                   [](const PictureKey& key) { return key.tooltip.rfind("Hotkey Ctrl+M\n", 0) == 0; });
    ASSERT_NE(chip, picture.keys.end());
    EXPECT_EQ(chip->shade, KeyShade::Conflict);
    EXPECT_EQ(chip->labels.at(0).text, "Ctrl+M");
}
