#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "opcodes/GameId.h"

namespace morvane {

// Type byte in front of every parameter.
enum class ParamType : uint8_t {
    EndOfList = 0,  // ends a variable parameter list; no payload
    Int32 = 1,
    GlobalVar = 2,
    LocalVar = 3,
    Int8 = 4,
    Int16 = 5,
    Float = 6,  // 16-bit fixed point in GTA III, 32-bit float later
    // San Andreas; in GTA III and Vice City a byte of 7 or more starts an
    // 8-byte inline string instead, except VarLengthString (CLEO's strings).
    GlobalArray = 7,
    LocalArray = 8,
    String8 = 9,
    GlobalString8Var = 10,
    LocalString8Var = 11,
    GlobalString8Array = 12,
    LocalString8Array = 13,
    VarLengthString = 14,  // length byte n, then n characters; in every game
    String16 = 15,
    GlobalString16Var = 16,
    LocalString16Var = 17,
    GlobalString16Array = 18,
    LocalString16Array = 19,
};

// A variable of the byte code: a local one of the script (`0@`, its index)
// or a global one (`$123`, its offset in the variable space).
struct Variable {
    enum class Scope : uint8_t { None, Local, Global };
    Scope scope = Scope::None;
    int32_t index = 0;
    bool IsSet() const { return scope != Scope::None; }
    bool operator==(const Variable& other) const { return scope == other.scope && index == other.index; }
    bool operator!=(const Variable& other) const { return !(*this == other); }
    bool operator<(const Variable& other) const {
        return scope != other.scope ? scope < other.scope : index < other.index;
    }
};

// A global variable takes this many bytes of the variable space.
constexpr int32_t kGlobalVariableBytes = 4;

// The variable as a script writer writes it: "0@", "$123".
std::string VariableName(const Variable& variable);

constexpr uint8_t TypeByte(ParamType type) { return static_cast<uint8_t>(type); }

// First byte that is no type byte of the older games (an inline string starts).
constexpr uint8_t kFirstInlineStringByte = TypeByte(ParamType::GlobalArray);
// Size of such an inline string; it has no type byte of its own.
constexpr int kInlineStringSize = 8;
// First invalid type byte of San Andreas.
constexpr uint8_t kFirstInvalidSaTypeByte = TypeByte(ParamType::LocalString16Array) + 1;

// Special sizes in the per-game size table.
constexpr uint8_t kSizeEndOfList = 0;
constexpr uint8_t kSizeInvalid = 0xFF;
constexpr uint8_t kSizeLengthPrefixed = 0xFE;
// Bytes in front of a length-prefixed string's characters: type and length.
constexpr int kLengthPrefixedHeader = 2;

// Which of the size rule sets (ParamRules, opcodes/GameId.h) a game uses.
constexpr ParamRules RulesForGame(GameId game) { return InfoOf(game).paramRules; }

// Whether type 6 is a 16-bit fixed-point number (GTA III) rather than a 32-bit float.
constexpr bool FloatIsFixedPoint(ParamRules rules) { return rules == ParamRules::Gta3; }
// Whether bytes of 7 and above are type bytes (San Andreas) rather than the
// start of an inline string.
constexpr bool HasTypedStrings(ParamRules rules) { return rules == ParamRules::SanAndreas; }

// Whether a byte where a type byte is expected starts an older game's 8-byte
// inline string: 7 or more, but not the type byte of a length-prefixed
// string, which scripts compiled for CLEO hold in every game.
constexpr bool StartsInlineString(ParamRules rules, uint8_t typeByte) {
    return !HasTypedStrings(rules) && typeByte >= kFirstInlineStringByte &&
           typeByte != static_cast<uint8_t>(ParamType::VarLengthString);
}

// Size of a parameter, type byte included, by its type byte: the one place
// where the byte code's size rules are written down.
constexpr uint8_t ParamSize(ParamRules rules, uint8_t typeByte) {
    if (StartsInlineString(rules, typeByte)) return kInlineStringSize;
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::EndOfList: return kSizeEndOfList;
        case ParamType::Int32: return 5;
        case ParamType::GlobalVar:
        case ParamType::LocalVar: return 3;
        case ParamType::Int8: return 2;
        case ParamType::Int16: return 3;
        case ParamType::Float: return FloatIsFixedPoint(rules) ? 3 : 5;
        case ParamType::GlobalArray:
        case ParamType::LocalArray: return 7;
        case ParamType::String8: return 9;
        case ParamType::GlobalString8Var:
        case ParamType::LocalString8Var: return 3;
        case ParamType::GlobalString8Array:
        case ParamType::LocalString8Array: return 7;
        case ParamType::VarLengthString: return kSizeLengthPrefixed;
        case ParamType::String16: return 17;
        case ParamType::GlobalString16Var:
        case ParamType::LocalString16Var: return 3;
        case ParamType::GlobalString16Array:
        case ParamType::LocalString16Array: return 7;
    }
    return kSizeInvalid;
}

// The forms a string constant takes, and how much text each holds. A
// string held in a variable or an array is no constant and has no form.
enum class StringForm : uint8_t {
    Inline8,         // GTA III and Vice City: 8 bytes with no type byte (see StartsInlineString)
    Fixed8,          // San Andreas type 9: type byte, 8 bytes
    Fixed16,         // San Andreas type 15: type byte, 16 bytes
    LengthPrefixed,  // type 14, in every game: type byte, length byte n, n characters
};

// The form of the string constant whose first byte is `typeByte`, or nothing.
constexpr std::optional<StringForm> StringFormOf(ParamRules rules, uint8_t typeByte) {
    if (StartsInlineString(rules, typeByte)) return StringForm::Inline8;
    if (static_cast<ParamType>(typeByte) == ParamType::VarLengthString) return StringForm::LengthPrefixed;
    if (!HasTypedStrings(rules)) return std::nullopt;
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::String8: return StringForm::Fixed8;
        case ParamType::String16: return StringForm::Fixed16;
        default: return std::nullopt;
    }
}

// Bytes in front of a string's characters.
constexpr int StringHeaderSize(StringForm form) {
    switch (form) {
        case StringForm::Inline8: return 0;
        case StringForm::Fixed8:
        case StringForm::Fixed16: return 1;
        case StringForm::LengthPrefixed: return kLengthPrefixedHeader;
    }
    return 0;
}

// The character bytes of a fixed form, by the size rules above; 0 for the
// length-prefixed form, whose length is its own.
constexpr int FixedStringBytes(StringForm form) {
    switch (form) {
        case StringForm::Inline8:
            return ParamSize(ParamRules::ViceCity, kFirstInlineStringByte) - StringHeaderSize(form);
        case StringForm::Fixed8:
            return ParamSize(ParamRules::SanAndreas, TypeByte(ParamType::String8)) - StringHeaderSize(form);
        case StringForm::Fixed16:
            return ParamSize(ParamRules::SanAndreas, TypeByte(ParamType::String16)) - StringHeaderSize(form);
        case StringForm::LengthPrefixed: return 0;
    }
    return 0;
}

// The most characters a fixed form holds: its bytes less one for the zero
// that ends the text (the rest is padded with zero bytes). A length-prefixed
// string holds exactly as many characters as its length byte says.
constexpr int FixedStringRoom(StringForm form) {
    return form == StringForm::LengthPrefixed ? 0 : FixedStringBytes(form) - 1;
}

using ParamSizeTable = std::array<uint8_t, 256>;

constexpr ParamSizeTable MakeParamSizeTable(ParamRules rules) {
    ParamSizeTable table{};
    for (int t = 0; t < 256; ++t) table[static_cast<std::size_t>(t)] = ParamSize(rules, static_cast<uint8_t>(t));
    return table;
}

// The size table of each rule set, indexed by ParamRules.
inline constexpr std::array<ParamSizeTable, kParamRulesCount> kParamSizeTables = {
    MakeParamSizeTable(ParamRules::Gta3),
    MakeParamSizeTable(ParamRules::ViceCity),
    MakeParamSizeTable(ParamRules::SanAndreas),
};

}  // namespace morvane
