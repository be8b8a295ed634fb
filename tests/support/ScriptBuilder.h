#pragma once

// Assembles byte code from readable pieces: an opcode, then typed parameters.
//   ScriptBuilder sa(kGameSanAndreas);
//   sa.Op(0x0AB0).I8(0x41);             // B0 0A 04 41

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeRoles.h"
#include "script/ParamType.h"

namespace morvane::test {

class ScriptBuilder {
public:
    explicit ScriptBuilder(GameId game = kGameSanAndreas) : game_(game) {}

    ScriptBuilder& Op(uint16_t opcode) { return Le(opcode, 2); }
    ScriptBuilder& NotOp(uint16_t opcode) { return Le(static_cast<uint16_t>(opcode | 0x8000), 2); }

    ScriptBuilder& I8(uint8_t value) { return Type(ParamType::Int8).Le(value, 1); }
    ScriptBuilder& I16(uint16_t value) { return Type(ParamType::Int16).Le(value, 2); }
    ScriptBuilder& I32(uint32_t value) { return Type(ParamType::Int32).Le(value, 4); }
    ScriptBuilder& GlobalVar(uint16_t index) { return Type(ParamType::GlobalVar).Le(index, 2); }
    ScriptBuilder& LocalVar(uint16_t index) { return Type(ParamType::LocalVar).Le(index, 2); }
    // A float in the game's width: 16-bit fixed point in GTA III, 32-bit after.
    ScriptBuilder& Float(float value) {
        Type(ParamType::Float);
        if (game_ == kGameGta3) return Le(static_cast<uint16_t>(static_cast<int16_t>(value * 16.0f)), 2);
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return Le(bits, 4);
    }
    // GTA III / Vice City: 8 characters with no type byte (the first must be 7 or more).
    ScriptBuilder& InlineString(const std::string& text) { return Chars(text, 8); }
    // San Andreas strings and arrays.
    ScriptBuilder& String8(const std::string& text) { return Type(ParamType::String8).Chars(text, 8); }
    ScriptBuilder& String16(const std::string& text) { return Type(ParamType::String16).Chars(text, 16); }
    ScriptBuilder& VarString(const std::string& text) {
        Type(ParamType::VarLengthString).Le(static_cast<uint8_t>(text.size()), 1);
        return Chars(text, text.size());
    }
    ScriptBuilder& Array(ParamType type, uint16_t base, uint16_t index, uint8_t elementType, uint8_t flags) {
        return Type(type).Le(base, 2).Le(index, 2).Le(elementType, 1).Le(flags, 1);
    }
    ScriptBuilder& VarSlot(ParamType type, uint16_t index) { return Type(type).Le(index, 2); }
    ScriptBuilder& EndOfList() { return Type(ParamType::EndOfList); }
    ScriptBuilder& Raw(std::initializer_list<uint8_t> raw) {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }

    // A jump whose 32-bit target can be set later with SetJumpTarget.
    std::size_t Jump(int32_t target = 0) {
        const std::size_t at = bytes_.size();
        Op(kJumpOpcode).I32(static_cast<uint32_t>(target));
        return at;
    }
    void SetJumpTarget(std::size_t jumpAt, int32_t target) {
        for (int i = 0; i < 4; ++i)
            bytes_[jumpAt + 3 + static_cast<std::size_t>(i)] =
                static_cast<uint8_t>(static_cast<uint32_t>(target) >> (8 * i));
    }

    int32_t Here() const { return static_cast<int32_t>(bytes_.size()); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    GameId Game() const { return game_; }

private:
    ScriptBuilder& Type(ParamType type) {
        bytes_.push_back(TypeByte(type));
        return *this;
    }
    ScriptBuilder& Le(uint32_t value, int width) {
        for (int i = 0; i < width; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    ScriptBuilder& Chars(const std::string& text, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) bytes_.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
        return *this;
    }

    GameId game_;
    std::vector<uint8_t> bytes_;
};

}  // namespace morvane::test
