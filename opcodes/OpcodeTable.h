#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

// Description number of an entry that has none.
constexpr uint16_t kNoDescription = 0xFFFF;

// An opcode as script compilers write it: four upper-case hexadecimal digits ("0AB0").
std::string OpcodeText(uint16_t opcode);

struct OpcodeEntry {
    int32_t parameterCount = 0;
    bool known = false;
    OpcodeRole role = OpcodeRole::Plain;  // kept here so the walk needs no search
    // Which of the table's descriptions is this opcode's. It fills what would
    // be padding: the walk indexes these entries per instruction, so they
    // stay eight bytes. A table has fewer opcodes than kNoDescription.
    uint16_t description = kNoDescription;
};
static_assert(sizeof(OpcodeEntry) == 8, "the walk's table entry stays eight bytes");

// Parameter counts of one game's opcodes, indexed directly by opcode number,
// with each known opcode's description: the text a script writer reads, with
// %Nx% placeholders for its parameters ("key %1d% pressed").
// Empty until the first load that could open its file; from then on exactly
// kOpcodeTableSize entries.
class OpcodeTable {
public:
    // Sets every entry to count 0, unknown, for the opcodes of `game`
    // (allocating on first use), and drops every description.
    void Reset(GameId game);

    // Records the count and description of an opcode, with its role in the
    // table's game; opcodes outside 0..kHighestOpcode are ignored. A second
    // call for the same opcode replaces the first.
    void Set(int opcode, int32_t parameterCount, std::string_view description = {});

    // Takes every opcode the other table describes, with its count and
    // description, in place of what this one had for it.
    void MergeFrom(const OpcodeTable& other);
    // Takes only the opcodes the other table describes and this one does
    // not; how many it took.
    std::size_t FillFrom(const OpcodeTable& other);

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
    // The description of a known opcode; empty for an unknown one or one the
    // file described with nothing. Valid until the table next changes.
    std::string_view Description(uint32_t opcode) const;

    // Every entry, indexed by opcode: kOpcodeTableSize of them once loaded,
    // none before. For the walk's inner loop; Find is the checked way in.
    const OpcodeEntry* Entries() const { return entries_.data(); }

    GameId Game() const { return game_; }
    std::size_t Size() const { return entries_.size(); }

private:
    // Where a description lies in the pool.
    struct Span {
        uint32_t begin = 0;
        uint32_t length = 0;
    };

    GameId game_ = kGameGta3;
    std::vector<OpcodeEntry> entries_;
    // Every description, one after another, and where each lies: memory in
    // proportion to the text, not to the 32768 entries.
    std::string descriptionPool_;
    std::vector<Span> descriptions_;
};

}  // namespace morvane
