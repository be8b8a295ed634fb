#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "keymap/Mods.h"

#include "keys/KeyRules.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"
#include "script/ScriptFiles.h"

namespace morvane {

// A key as a key map counts it: a keyboard key by its virtual-key code, one
// pad's button by its game key, or a typed cheat code by its text. A VKey and
// a button are never the same key, and a game key on pad 1 is not the same
// key as on pad 2. On the mobile editions a zone of the screen is one key
// whether a script tests a touch there or a slide that starts or ends there;
// a widget of the game's touch interface is a key by its number.
struct TestedKey {
    KeyTestKind kind = KeyTestKind::VKey;
    int32_t pad = 0;     // buttons only; 0 for every VKey and cheat code
    int32_t key = 0;     // VKeys and buttons; 0 for every cheat code
    std::string code;    // cheat codes; a chord's hotkey ("Ctrl+M")
    bool chord = false;  // keys pressed together, one entry: kind VKey, key -1
    // A chord's VKeys pressed (not compared: the hotkey says them).
    std::vector<int32_t> chordKeys;
    // A chord's hotkey as people read it, in their language ("Strg+M");
    // `code` is its English name, which tsv and json write. Not compared.
    std::string shown;

    static TestedKey VKey(int32_t code) {
        return TestedKey{KeyTestKind::VKey, 0, code, std::string(), false, {}, std::string()};
    }
    static TestedKey Button(int32_t pad, int32_t gameKey) {
        return TestedKey{KeyTestKind::Button, pad, gameKey, std::string(), false, {}, std::string()};
    }
    static TestedKey Cheat(const std::string& code) {
        return TestedKey{KeyTestKind::Cheat, 0, 0, code, false, {}, std::string()};
    }
    // A chord by its hotkey's English name, and as people read it (the
    // English name when not given).
    static TestedKey Chord(const std::string& hotkey, std::vector<int32_t> keys = {}, std::string shown = {}) {
        if (shown.empty()) shown = hotkey;
        return TestedKey{KeyTestKind::VKey, 0, -1, hotkey, true, std::move(keys), std::move(shown)};
    }
    static TestedKey Zone(int32_t zone) {
        return TestedKey{KeyTestKind::Touch, 0, zone, std::string(), false, {}, std::string()};
    }
    static TestedKey Widget(int32_t widget) {
        return TestedKey{KeyTestKind::Widget, 0, widget, std::string(), false, {}, std::string()};
    }
    static TestedKey Of(const KeyTest& test) {
        switch (test.kind) {
            case KeyTestKind::VKey: return VKey(test.key);
            case KeyTestKind::Button: return Button(test.pad, test.key);
            case KeyTestKind::Cheat: return Cheat(CheatCodeToWrite(test.code));  // the game reads one case
            case KeyTestKind::Touch:
            case KeyTestKind::SlideFrom:
            case KeyTestKind::SlideTo: return Zone(test.key);
            case KeyTestKind::Widget: return Widget(test.key);
        }
        return VKey(test.key);
    }

    bool IsVKey() const { return kind == KeyTestKind::VKey && !chord; }
    bool IsChord() const { return chord; }
    bool IsButton() const { return kind == KeyTestKind::Button; }
    bool IsCheat() const { return kind == KeyTestKind::Cheat; }
    bool IsZone() const { return kind == KeyTestKind::Touch; }
    bool IsWidget() const { return kind == KeyTestKind::Widget; }
    bool operator<(const TestedKey& other) const;
    bool operator==(const TestedKey& other) const {
        return kind == other.kind && pad == other.pad && key == other.key && code == other.code && chord == other.chord;
    }
};

// The key's name as the window shows it; a cheat code's name is the code.
std::string TestedKeyName(const TestedKey& key);
// The same as people read it: a chord's hotkey in their language.
std::string ShownKeyName(const TestedKey& key);

// The keys one script tests, and how many times each.
struct ScriptKeys {
    std::string path;
    bool read = false;                                 // false: the file could not be read, and nothing else is known
    std::string cause;                                 // why it could not be read
    ScanSummary summary;                               // what the walk met besides key tests
    std::vector<std::pair<TestedKey, int32_t>> tests;  // by key, each key once
    std::vector<std::string> starts;                   // the scripts it starts by name
    uint64_t size = 0;                                 // its bytes, to tell copies apart
    uint64_t fingerprint = 0;
    std::size_t mod = 0;  // index into KeyMap::mods

    // Whether the map may lack some of this script's keys: its walk met
    // instructions the opcode table does not know.
    bool IsIncomplete() const { return read && summary.HasUnknown(); }
};

// Counts a scanned script's key tests.
ScriptKeys CountKeyTests(const std::string& path, const std::vector<KeyTest>& tests, const ScanSummary& summary);

// One script's tests of one key.
struct KeyUse {
    std::size_t script = 0;  // index into KeyMap::scripts
    int32_t tests = 0;
};

// A key with the scripts that test it.
struct KeyEntry {
    TestedKey key;
    std::vector<KeyUse> uses;  // in the order of the scripts, each script once
    // The mods that fight over the key: those of its scripts that fight over
    // it (FightsOver), each mod once.
    std::size_t contenders = 0;
    std::size_t mods = 0;  // the mods that test it, each once

    // Two or more mods fight over the key: pressing it acts in all of them.
    bool IsConflict() const { return contenders >= 2; }
    int64_t Tests() const;
};

// Two keys of different mods that are not one but fire together: a lone key
// and a chord that holds it (pressing Ctrl+X also presses X), a cheat code
// and one it ends with (typing ABOOM also types BOOM).
struct Overlap {
    std::size_t wider = 0;   // into KeyMap::keys: the chord, the longer code
    std::size_t within = 0;  // the lone key, the shorter code
};

// Which keys the scripts of a folder or a set of files test.
struct KeyMap {
    std::vector<ScriptKeys> scripts;  // every script looked at, in the order given
    std::vector<Mod> mods;            // the mods the scripts make up (GroupIntoMods)
    std::vector<Overlap> overlaps;
    // Every key some script tests: the conflicts first, then the rest; in each
    // part VKeys by code, then buttons by pad and game key, then cheat codes
    // by their text.
    std::vector<KeyEntry> keys;
    // The scripts are a mobile edition's: the picture draws the screen's
    // touch zones in place of the keyboard.
    bool touchScreen = false;

    std::size_t ConflictCount() const;
    // Whether the picture draws the screen: a mobile edition's scripts, or
    // scripts that test a zone or a widget.
    bool ShowsTouchScreen() const;
    // Whether a mod is one script named after its own file, which lists
    // name by its path alone.
    bool IsLoneScript(std::size_t mod) const;
    // The key's entry, or null when no script tests it.
    const KeyEntry* Find(const TestedKey& key) const;
};

// A VKey the game reads as no key: a negative 8-bit value, or a number past
// the last VKey; a touch zone outside the grid.
bool TestsNoKey(const TestedKey& key);
// Whether a script's tests of a key can fight another's over it: not for a
// key the game reads as no key, nor for a pad button alone or a widget,
// which mods read as the game's own controls (shared by nature); a chord of
// buttons, or of a button and a key, can, and so can a zone of the screen. The one rule the map's conflicts and the
// picture's shades follow.
bool FightsOver(const TestedKey& key, const std::string& path);
// A pad button or a widget: one of the game's own controls, which mods share.
bool IsGameControl(const TestedKey& key);

// Builds the map from scripts already counted. A script listed twice (the
// same path) counts once.
KeyMap AggregateKeyMap(std::vector<ScriptKeys> scripts);

// Reads and scans the scripts with several threads (`threads` 0: one per
// processor) and builds their map (of the touch screen for a mobile
// edition). The table must be loaded for `game` and is only read. A file that cannot be read is in the map as not read.
KeyMap BuildKeyMap(const std::vector<std::string>& paths, const OpcodeTable& table, GameId game, HeaderSkip header,
                   unsigned threads = 0);

}  // namespace morvane
