// Mods, not scripts, fight over keys: scripts grouped as the game loads
// them, copies counted once, overlaps told from equal keys, pad buttons as
// the game's shared controls.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "fixtures/ScriptBuilder.h"
#include "fixtures/TempDir.h"
#include "keymap/KeyMap.h"
#include "keymap/ScriptSearch.h"
#include "opcodes/BuiltinTables.h"

using namespace morvane;
using morvane::test::ScriptBuilder;
using morvane::test::TempDir;

namespace {

constexpr uint16_t kKey = 0x0AB0;
constexpr uint16_t kWait = 0x0001;
constexpr uint16_t kButton = 0x00E1;
constexpr uint16_t kIf = 0x00D6;
constexpr uint16_t kCheat = 0x0ADC;
constexpr uint16_t kStartScript = 0x0A92;
constexpr uint16_t kLaunchMission = 0x0A94;

// The mod names of a key's scripts, each once, sorted.
std::vector<std::string> ModsOf(const KeyMap& map, const TestedKey& key) {
    std::vector<std::string> names;
    if (const KeyEntry* entry = map.Find(key))
        for (const KeyUse& use : entry->uses) names.push_back(map.mods[map.scripts[use.script].mod].name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace

TEST(Mods, ConflictsAreBetweenModsAsTheGameLoadsThem) {
    TempDir dir;
    const auto write = [&](const std::string& name, const ScriptBuilder& b) {
        std::filesystem::create_directories(std::filesystem::path(dir.File(name)).parent_path());
        dir.Write(name, b.Bytes());
    };
    const auto script = [](const std::function<void(ScriptBuilder&)>& body) {
        ScriptBuilder b(kGameSanAndreas);
        body(b);
        return b;
    };
    // A cleo mod that starts two scripts of its subfolder, by either form of name.
    write("cleo/spider.cs", script([](ScriptBuilder& b) {
              b.Op(kStartScript).VarString("CLEO\\Spider\\web.cs").EndOfList();
              b.Op(kLaunchMission).VarString("SPIDER/swing").EndOfList();
              b.Op(kKey).I8('F');
              b.Op(kIf).I8(1).Op(kButton).I8(0).I8(16).Op(kButton).I8(0).I8(17);  // a button chord
          }));
    write("cleo/Spider/web.cs", script([](ScriptBuilder& b) { b.Op(kKey).I8('F'); }));
    write("cleo/Spider/swing.cm", script([](ScriptBuilder& b) { b.Op(kKey).I8('F').Op(kWait).I8(0); }));
    // A subfolder no name starts: a mod of its own.
    write("cleo/Other/x.cs", script([](ScriptBuilder& b) {
              b.Op(kKey).I8('F');
              b.Op(kIf).I8(1).Op(kKey).I8(0x11).Op(kKey).I8('X');                 // Ctrl+X
              b.Op(kCheat).String8("ABOOM");                                      // ends with BOOM
              b.Op(kIf).I8(1).Op(kButton).I8(0).I8(16).Op(kButton).I8(0).I8(17);  // the same button chord
          }));
    // Two mod loader mods, and one of them copied into cleo.
    const ScriptBuilder a = script([](ScriptBuilder& b) {
        b.Op(kKey).I8('G');
        b.Op(kButton).I8(0).I8(16);  // a control: shared
        b.Op(kCheat).String8("BOOM");
    });
    write("modloader/ModA/a.cs", a);
    write("cleo/copy_of_a.cs", a);
    write("modloader/ModB/sub/b.cs", script([](ScriptBuilder& b) {
              b.Op(kKey).I8('G').Op(kKey).I8('X');
              b.Op(kButton).I8(0).I8(16);
          }));

    OpcodeTable table;
    LoadBuiltinTable(kGameSanAndreas, table);
    const KeyMap map = BuildKeyMap(FindScripts({dir.Path()}).scripts, table, kGameSanAndreas, HeaderSkip::ByName);

    std::vector<std::string> mods;
    for (const Mod& mod : map.mods) mods.push_back(mod.name + (mod.copies.empty() ? "" : " = " + mod.copies.front()));
    std::sort(mods.begin(), mods.end());
    // The copy found first keeps the name; the other is named as its copy.
    EXPECT_EQ(mods, (std::vector<std::string>{"ModB", "Other", "copy_of_a = ModA", "spider"}));

    // F: the spider mod's three scripts are one use; Other is a second mod.
    EXPECT_EQ(ModsOf(map, TestedKey::VKey('F')), (std::vector<std::string>{"Other", "spider"}));
    EXPECT_TRUE(map.Find(TestedKey::VKey('F'))->IsConflict());
    EXPECT_EQ(map.Find(TestedKey::VKey('F'))->mods, 2u);
    // G: the two mod loader mods, ModA under the name of its copy: one use.
    EXPECT_EQ(ModsOf(map, TestedKey::VKey('G')), (std::vector<std::string>{"ModB", "copy_of_a"}));
    EXPECT_EQ(map.Find(TestedKey::VKey('G'))->contenders, 2u);
    // A pad button alone is a shared control; a chord of buttons in two mods conflicts.
    EXPECT_FALSE(map.Find(TestedKey::Button(0, 16))->IsConflict());
    const KeyEntry* chord = map.Find(TestedKey::Chord("Sprint+Fire"));
    ASSERT_NE(chord, nullptr);
    EXPECT_TRUE(chord->IsConflict());

    // Overlaps: Ctrl+X holds ModB's lone X; ABOOM ends with ModA's BOOM.
    std::vector<std::string> overlaps;
    for (const Overlap& o : map.overlaps)
        overlaps.push_back(TestedKeyName(map.keys[o.wider].key) + " > " + TestedKeyName(map.keys[o.within].key));
    std::sort(overlaps.begin(), overlaps.end());
    EXPECT_EQ(overlaps, (std::vector<std::string>{"ABOOM > BOOM", "Ctrl+X > X Key"}));
}
