// Hotkeys as players press them: the key tests one condition joins, and keys
// that a script keeps in a variable.

#include <gtest/gtest.h>

#include <functional>

#include "fixtures/ScriptBuilder.h"
#include "keys/Hotkeys.h"
#include "keys/RemapRules.h"
#include "opcodes/BuiltinTables.h"
#include "script/KeyScan.h"
#include "script/KeyVariables.h"
#include "script/Patch.h"
#include "support/Printers.h"

using namespace morvane;
using namespace morvane::test;

namespace {

constexpr uint16_t kIf = 0x00D6;
constexpr uint16_t kKey = 0x0AB0;
constexpr uint16_t kButton = 0x00E1;
constexpr uint16_t kWait = 0x0001;
constexpr uint16_t kCompare = 0x0038;  // a condition that tests no key
constexpr uint16_t kJumpIfFalse = 0x004D;
constexpr uint16_t kAdd = 0x0008;

struct Scanned {
    ScriptImage image;
    std::vector<KeyTest> tests;
    ScanSummary summary;
};

Scanned ScanOf(const ScriptBuilder& b) {
    static OpcodeTable table = [] {
        OpcodeTable t;
        LoadBuiltinTable(kGameSanAndreas, t);
        return t;
    }();
    Scanned s;
    s.image.game = kGameSanAndreas;
    EXPECT_TRUE(s.image.LoadFromBytes(b.Bytes().data(), b.Bytes().size()));
    s.summary = ScanKeyTests(s.image, table, HeaderSkip::ByName, s.tests, nullptr);
    return s;
}

// One condition: `if` of `joined`, then each part: a VKey (positive), its
// negation (negative: not), a button (1000 + game key), or 0 for a condition
// that tests no key.
void Condition(ScriptBuilder& b, int32_t joined, const std::vector<int32_t>& parts) {
    b.Op(kIf).I8(static_cast<uint8_t>(joined));
    for (const int32_t part : parts) {
        if (part == 0)
            b.Op(kCompare).GlobalVar(8).I8(1);
        else if (part >= 1000)
            b.Op(kButton).I8(0).I8(static_cast<uint8_t>(part - 1000));
        else if (part < 0)
            b.NotOp(kKey).I8(static_cast<uint8_t>(-part));
        else if (part > 0x7F)  // a key an 8-bit parameter cannot hold
            b.Op(kKey).I16(static_cast<uint16_t>(part));
        else
            b.Op(kKey).I8(static_cast<uint8_t>(part));
    }
    b.Op(kJumpIfFalse).I32(0);
}

std::vector<std::string> Hotkeys(const std::vector<KeyTest>& tests) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < tests.size(); ++i) texts.push_back(HotkeyText(tests, i));
    return texts;
}

}  // namespace

TEST(Hotkeys, AConditionJoinsItsKeyTestsIntoAChordOrAlternatives) {
    constexpr int32_t kCtrl = 0x11, kShift = 0x10, kAlt = 0x12, kLeftCtrl = 0xA2;
    struct Case {
        int32_t joined;
        std::vector<int32_t> parts;
        std::vector<std::string> hotkeys;  // each key test's
        bool chord;
    };
    const Case cases[] = {
        {0, {'M'}, {"M"}, false},
        {1, {'M', kCtrl}, {"Ctrl+M", "Ctrl+M"}, true},  // modifiers first
        {2, {'M', kShift, kCtrl}, {"Ctrl+Shift+M", "Ctrl+Shift+M", "Ctrl+Shift+M"}, true},
        {1, {kLeftCtrl, 'M'}, {"Left Ctrl+M", "Left Ctrl+M"}, true},
        {2, {kCtrl, -kShift, 'M'}, {"Ctrl+M, not Shift", "Ctrl+M, not Shift", "Ctrl+M, not Shift"}, true},
        {21, {'M', 'N'}, {"M or N", "M or N"}, false},
        {22, {'M', 0, -'N'}, {"M or not N", "M or not N"}, false},
        {1, {0, 'M'}, {"M"}, false},  // the other condition tests no key
        {2, {1018, 0, 1004}, {"Crouch+Action/Secondary fire", "Crouch+Action/Secondary fire"}, true},
        {7,
         {'A', 'B', 'C', 'D', 'E', 'F', 'G', kAlt},
         std::vector<std::string>(8, "Alt+A+B+C+D+E+F+G"),
         true},  // eight conditions, the most
    };
    for (const Case& c : cases) {
        ScriptBuilder b(kGameSanAndreas);
        b.Op(kWait).I8(0);
        Condition(b, c.joined, c.parts);
        b.Op(kKey).I8('Z');  // after the condition: alone again
        const Scanned s = ScanOf(b);
        ASSERT_EQ(s.tests.size(), c.hotkeys.size() + 1) << c.joined;
        std::vector<std::string> expected = c.hotkeys;
        expected.push_back("Z");
        EXPECT_EQ(Hotkeys(s.tests), expected) << c.joined;
        EXPECT_EQ(InChord(s.tests, 0), c.chord) << c.joined;
        EXPECT_FALSE(InChord(s.tests, s.tests.size() - 1));
        EXPECT_EQ(s.tests.back().condition, -1);
    }

    // Two conditions one after the other are two hotkeys.
    ScriptBuilder b(kGameSanAndreas);
    Condition(b, 1, {kCtrl, 'M'});
    Condition(b, 1, {kCtrl, 'N'});
    const Scanned two = ScanOf(b);
    EXPECT_EQ(Hotkeys(two.tests), (std::vector<std::string>{"Ctrl+M", "Ctrl+M", "Ctrl+N", "Ctrl+N"}));
    EXPECT_EQ(HotkeyOf(two.tests, 3), (std::vector<std::size_t>{2, 3}));
}

TEST(Hotkeys, AHotkeyIsReadAsPlayersWriteItWithModifiersFirst) {
    const auto parse = [](const std::string& name) -> std::optional<int32_t> {
        if (name == "F5") return 0x74;
        if (name == "Numpad +") return 0x6B;
        return std::nullopt;
    };
    struct Case {
        const char* text;
        std::optional<std::vector<int32_t>> keys;
    };
    const Case cases[] = {
        {"Ctrl+M", std::vector<int32_t>{0x11, 'M'}},
        {"m+shift+ctrl", std::vector<int32_t>{0x11, 0x10, 'M'}},
        {" Alt + F5 ", std::vector<int32_t>{0x12, 0x74}},
        {"Left Ctrl+Numpad +", std::vector<int32_t>{0xA2, 0x6B}},
        {"Win+7", std::vector<int32_t>{0x5B, '7'}},
        {"Ctrl+Ctrl", std::nullopt},
        {"Ctrl+Nothing", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseHotkey(c.text, parse), c.keys) << c.text;
}

TEST(KeyVariables, AKeyInAVariableIsTheConstantItIsSetToWhenThatIsTheOnlyValue) {
    enum class Set { Once, TwiceTheSame, TwoValues, Arithmetic, AfterTheTest, Never, Wide };
    struct Case {
        Set set;
        int32_t key;
        bool wide;
        std::string unresolved;
    };
    const Case cases[] = {
        {Set::Once, 'M', false, ""},
        {Set::TwiceTheSame, 'M', false, ""},
        {Set::TwoValues, kNoKey, true, "0@ is set to 77 at 0x0 and to 78 at 0x"},
        {Set::Arithmetic, kNoKey, true, "0@ is also set or used by 0008 at 0x"},
        {Set::AfterTheTest, 'M', false, ""},
        {Set::Never, kNoKey, true, "0@ is never set to a number in this file"},
        {Set::Wide, 0xA0, true, ""},
    };
    for (const Case& c : cases) {
        ScriptBuilder b(kGameSanAndreas);
        if (c.set == Set::Wide)
            b.Op(kSetLocalInt).LocalVar(0).I16(0xA0);
        else if (c.set != Set::AfterTheTest && c.set != Set::Never)
            b.Op(kSetLocalInt).LocalVar(0).I8('M');
        if (c.set == Set::TwiceTheSame) b.Op(kSetLocalInt).LocalVar(0).I8('M');
        if (c.set == Set::TwoValues) b.Op(kSetLocalInt).LocalVar(0).I8('N');
        if (c.set == Set::Arithmetic) b.Op(kAdd).LocalVar(0).I8(1);
        const int32_t test = b.Here();
        b.Op(kIf).I8(0).Op(kKey).LocalVar(0).Op(kJumpIfFalse).I32(0);
        if (c.set == Set::AfterTheTest) b.Op(kSetLocalInt).LocalVar(0).I8('M');
        const Scanned s = ScanOf(b);
        ASSERT_EQ(s.tests.size(), 1u);
        const KeyTest& t = s.tests[0];
        EXPECT_EQ(t.offset, test + 4);
        EXPECT_EQ(VariableName(t.variable), "0@");
        EXPECT_EQ(t.key, c.key) << static_cast<int>(c.set);
        EXPECT_EQ(t.wide, c.wide) << static_cast<int>(c.set);
        EXPECT_EQ(t.unresolved.substr(0, c.unresolved.size()), c.unresolved) << t.unresolved;
        EXPECT_EQ(t.Changeable(), c.unresolved.empty());
        EXPECT_EQ(t.setAt.size(), c.unresolved.empty() ? (c.set == Set::TwiceTheSame ? 2u : 1u) : 0u);
    }
}

TEST(KeyVariables, ScopesTimersAndCallsLeaveTheKeyUntold) {
    struct Case {
        std::function<void(ScriptBuilder&)> build;
        std::string unresolved;
    };
    const Case cases[] = {
        {[](ScriptBuilder& b) { b.Op(kSetLocalInt).LocalVar(32).I8('M').Op(kKey).LocalVar(32); },
         "32@ is a timer, which the game counts up"},
        {[](ScriptBuilder& b) { b.Op(kKey).GlobalVar(40); }, "$10 is a variable of the main script, which sets it"},
        {[](ScriptBuilder& b) {
             b.Op(0x0AB1).I32(0).I8(1).I8('N').EndOfList();  // a call that sets 0@ of what it calls
             b.Op(kSetLocalInt).LocalVar(0).I8('M').Op(kKey).LocalVar(0);
         },
         "0@ is also set or used by the call 0AB1 at 0x0"},
    };
    for (const Case& c : cases) {
        ScriptBuilder b(kGameSanAndreas);
        c.build(b);
        const Scanned s = ScanOf(b);
        ASSERT_EQ(s.tests.size(), 1u) << c.unresolved;
        EXPECT_EQ(s.tests[0].unresolved, c.unresolved);
        EXPECT_EQ(s.tests[0].key, kNoKey);
    }
}

// A new key of a key kept in a variable is written where the script sets
// it, for every test that reads it; one whose value cannot be told is
// refused. A hotkey rule changes exactly the chords of its keys.
TEST(KeyVariables, RemapWritesTheAssignmentAndHotkeyRulesChangeWholeChords) {
    ScriptBuilder b(kGameSanAndreas);
    b.Op(kSetLocalInt).LocalVar(0).I8('M');
    const int32_t valueAt = 5;  // the constant's parameter: after the opcode and 0@
    b.Op(kKey).LocalVar(0);
    b.Op(0x0E3D).LocalVar(0);
    Condition(b, 1, {0x11, 'M'});
    Condition(b, 2, {0x11, 0x10, 'M'});
    b.Op(kKey).LocalVar(1);  // never set
    Scanned s = ScanOf(b);
    ASSERT_EQ(s.tests.size(), 8u);

    // --at one reader of 0@: both readers take the key, in the assignment.
    RemapRule at;
    at.kind = RemapRule::Kind::At;
    at.offset = s.tests[0].offset;
    at.vkey = 'K';
    RemapResult one = ApplyRemapRules(s.tests, {at});
    EXPECT_EQ(one.outcomes[0].answer, RemapAnswer::Changed);
    EXPECT_EQ(one.outcomes[1].answer, RemapAnswer::Changed);
    EXPECT_EQ(one.tests[1].key, 'K');
    ScriptImage patched;
    patched.game = kGameSanAndreas;
    ASSERT_TRUE(patched.LoadFromBytes(b.Bytes().data(), b.Bytes().size()));
    PatchImage(patched, one.tests, s.summary.code.end);
    EXPECT_EQ(patched.Data()[valueAt + 1], 'K');
    std::vector<uint8_t> expected = b.Bytes();
    expected[valueAt + 1] = 'K';
    EXPECT_EQ(std::vector<uint8_t>(patched.Data(), patched.Data() + patched.Size()), expected);

    // Two rules that give 0@'s readers different keys are refused for both.
    RemapRule other = at;
    other.offset = s.tests[1].offset;
    other.vkey = 'L';
    const RemapResult clash = ApplyRemapRules(s.tests, {at, other});
    EXPECT_EQ(clash.outcomes[0].answer, RemapAnswer::Refused);
    EXPECT_EQ(clash.outcomes[1].answer, RemapAnswer::Refused);

    // The key that cannot be told is left alone.
    RemapRule untold = at;
    untold.offset = s.tests[7].offset;
    const RemapResult refused = ApplyRemapRules(s.tests, {untold});
    EXPECT_EQ(refused.outcomes[7].answer, RemapAnswer::Refused);
    EXPECT_NE(refused.outcomes[7].cause.find("1@ is never set to a number"), std::string::npos);

    // Ctrl+M=Alt+F5: the two-key chord only, key for key; --vkey M=N still
    // changes every M test, chords included.
    const RemapResult hotkey = ApplyRemapRules(s.tests, {RemapRule::ForHotkey({0x11, 'M'}, {0x12, 0x74})});
    EXPECT_EQ(hotkey.tests[2].key, 0x12);
    EXPECT_EQ(hotkey.tests[3].key, 0x74);
    EXPECT_EQ(hotkey.tests[5].key, 0x10);  // Ctrl+Shift+M is another hotkey
    EXPECT_EQ(hotkey.Count(RemapAnswer::Changed), 2u);
    EXPECT_EQ(ApplyRemapRules(s.tests, {RemapRule::ForVKey('M', 'N')}).Count(RemapAnswer::Changed), 4u);
}
