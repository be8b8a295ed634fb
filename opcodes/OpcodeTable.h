#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeRoles.h"

namespace morvane {

// Number of opcodes a table describes: 0x0000 to 0x7FFF (bit 15 of an opcode
// word is the negation flag, never part of the number).
constexpr int kOpcodeTableSize = 0x8000;
constexpr int kHighestOpcode = kOpcodeTableSize - 1;

// Parameter count of an opcode that takes a list ended by a 0 type byte.
constexpr int32_t kVariableParameterCount = -1;

struct OpcodeEntry {
    int32_t parameterCount = 0;
    bool known = false;
    OpcodeRole role = OpcodeRole::Plain;  // kept here so the walk needs no search
};

// Parameter counts of one game's opcodes, indexed directly by opcode number.
// Empty until the first load that could open its file; from then on exactly
// kOpcodeTableSize entries.
class OpcodeTable {
public:
    // Sets every entry to count 0, unknown, for the opcodes of `game`
    // (allocating on first use).
    void Reset(GameId game);

    // Records the count of an opcode, with its role in the table's game;
    // opcodes outside 0..kHighestOpcode are ignored.
    void Set(int opcode, int32_t parameterCount);

    // The entry of an opcode that is in the table, or nullptr.
    const OpcodeEntry* Find(uint32_t opcode) const {
        if (opcode >= entries_.size()) return nullptr;
        const OpcodeEntry& entry = entries_[opcode];
        return entry.known ? &entry : nullptr;
    }

    // How many opcodes the table describes.
    std::size_t KnownCount() const;
    // Whether it describes at least one opcode of `role` in its game.
    bool DescribesAnyOf(OpcodeRole role) const;

    GameId Game() const { return game_; }
    std::size_t size() const { return entries_.size(); }
    const OpcodeEntry& operator[](std::size_t opcode) const { return entries_[opcode]; }

private:
    GameId game_ = kGameGta3;
    std::vector<OpcodeEntry> entries_;
};

}  // namespace morvane
