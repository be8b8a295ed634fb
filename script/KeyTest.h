#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "opcodes/OpcodeRoles.h"
#include "script/ParamType.h"
#include "script/ScriptImage.h"

namespace morvane {

// In Morvane's words a key is what an instruction of a script can test: a
// keyboard key (its Windows virtual-key code, "VKey"), a pad button (its pad
// and game key number), a typed cheat code, or on the mobile editions a
// touch zone of the screen or a widget of the game's touch interface; and a
// key test is such an instruction found in a script. A touch slide is two
// tests at one offset: the zone it starts in and the zone it ends in.
enum class KeyTestKind : uint8_t { VKey, Button, Cheat, Touch, SlideFrom, SlideTo, Widget };

// The kind's name in the command line's data formats: "vkey", "button",
// "cheat", "touch", "slide-from", "slide-to", "widget".
const char* KindName(KeyTestKind kind);

// Where the touch zone or widget of a touch test stands among its
// instruction's parameters (0DE0: variable, zone, least time; 0DE1:
// variable, start zone, end zone, least and most time; a widget test: the
// widget alone). The one place the scan and the patch read it from.
struct TouchParameter {
    OpcodeRole role;
    KeyTestKind kind;
    int32_t index;
};
inline constexpr TouchParameter kTouchParameters[] = {
    {OpcodeRole::TouchTest, KeyTestKind::Touch, 1},
    {OpcodeRole::SlideTest, KeyTestKind::SlideFrom, 1},
    {OpcodeRole::SlideTest, KeyTestKind::SlideTo, 2},
    {OpcodeRole::WidgetTest, KeyTestKind::Widget, 0},
};
// The parameter of a kind of touch test, or -1 for the other kinds.
constexpr int32_t TouchParameterIndex(KeyTestKind kind) {
    for (const TouchParameter& parameter : kTouchParameters)
        if (parameter.kind == kind) return parameter.index;
    return -1;
}

// How a test's condition joins it with the conditions beside it: alone (no
// `if` of several conditions), all of them must hold (`if and`: the keys
// tested together are a chord), or any one (`if or`: alternatives).
enum class Joined : uint8_t { Alone, All, Any };

// The key of a VKey test whose key cannot be told.
constexpr int32_t kNoKey = -1;

// One instruction that tests a key, with what it tests.
struct KeyTest {
    KeyTestKind kind = KeyTestKind::VKey;
    int32_t offset = 0;   // byte position of the opcode word
    uint16_t opcode = 0;  // the instruction's opcode, negation flag cleared
    bool wide = false;    // VKey and widget tests: the key is not held in an 8-bit parameter
    int32_t pad = 0;      // button tests: 0 or 1
    // VKey and button tests: read unsigned in the parameter's width; touch
    // tests: the zone (1 to 9) or widget number, read signed.
    int32_t key = 0;
    // Cheat tests: the code as the file holds it, the form of its string and
    // the characters that fit there (see StringConstant).
    std::string code;
    StringForm form = StringForm::Fixed8;
    int32_t room = 0;
    // Its condition: the offset of the `if` (00D6) that opens it (-1 when it
    // stands alone), how that joins it to the others, and whether the test is
    // negated (`not`).
    int32_t condition = -1;
    Joined joined = Joined::Alone;
    bool negated = false;
    // VKey tests whose key is kept in a variable: the variable; where the
    // script sets it (the offsets of its assignments of one constant, and of
    // each constant's parameter, which a new key is written to); and, when
    // the key cannot be told, why (then `key` is -1 and the test is left
    // alone).
    Variable variable;
    std::vector<int32_t> setAt;
    std::vector<int32_t> keyAt;
    std::string unresolved;

    static KeyTest VKey(int32_t offset, int32_t key, bool wide, uint16_t opcode) {
        KeyTest t;
        t.kind = KeyTestKind::VKey;
        t.offset = offset;
        t.opcode = opcode;
        t.wide = wide;
        t.key = key;
        return t;
    }
    static KeyTest Button(int32_t offset, int32_t pad, int32_t key, uint16_t opcode) {
        KeyTest t;
        t.kind = KeyTestKind::Button;
        t.offset = offset;
        t.opcode = opcode;
        t.pad = pad;
        t.key = key;
        return t;
    }
    static KeyTest Cheat(int32_t offset, StringConstant string, uint16_t opcode) {
        KeyTest t;
        t.kind = KeyTestKind::Cheat;
        t.offset = offset;
        t.opcode = opcode;
        t.code = std::move(string.text);
        t.form = string.form;
        t.room = string.room;
        return t;
    }

    // A touch zone or widget test of the kind given.
    static KeyTest Touch(KeyTestKind kind, int32_t offset, int32_t value, bool wide, uint16_t opcode) {
        KeyTest t;
        t.kind = kind;
        t.offset = offset;
        t.opcode = opcode;
        t.wide = wide;
        t.key = value;
        return t;
    }

    bool IsVKey() const { return kind == KeyTestKind::VKey; }
    // A test of a zone of the screen: a touch, or a slide's start or end.
    bool IsZone() const {
        return kind == KeyTestKind::Touch || kind == KeyTestKind::SlideFrom || kind == KeyTestKind::SlideTo;
    }
    bool IsWidget() const { return kind == KeyTestKind::Widget; }
    // A test of the mobile editions' touch screen.
    bool IsTouch() const { return IsZone() || IsWidget(); }
    bool IsButton() const { return kind == KeyTestKind::Button; }
    bool IsCheat() const { return kind == KeyTestKind::Cheat; }
    // Whether the key is in a variable the script sets elsewhere.
    bool KeyInVariable() const { return variable.IsSet(); }
    // Whether a new key can be written: not for a key in a variable whose
    // value cannot be told.
    bool Changeable() const { return unresolved.empty(); }

    // What the test holds and where its key is kept; where it stands in its
    // condition, which no edit changes, is not compared.
    bool operator==(const KeyTest& other) const {
        return kind == other.kind && offset == other.offset && opcode == other.opcode && wide == other.wide &&
               pad == other.pad && key == other.key && code == other.code && form == other.form && room == other.room &&
               variable == other.variable && setAt == other.setAt && keyAt == other.keyAt &&
               unresolved == other.unresolved;
    }
    bool operator!=(const KeyTest& other) const { return !(*this == other); }
};

}  // namespace morvane
