#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvane {

// Number of opcodes a table describes: 0x000 to 0xBFF.
constexpr int kOpcodeTableSize = 3072;
constexpr int kHighestOpcode = kOpcodeTableSize - 1;

// Parameter count of an opcode that takes a list ended by a 0 type byte.
constexpr int32_t kVariableParameterCount = -1;

struct OpcodeEntry {
    int32_t parameterCount = 0;
    bool known = false;
};

// Parameter counts indexed directly by opcode number. Empty until the first
// load that could open its file; from then on exactly kOpcodeTableSize entries.
class OpcodeTable {
public:
    // Sets every entry to count 0, unknown (allocating on first use).
    void Reset();

    // Records the count of an opcode; opcodes outside 0..kHighestOpcode are ignored.
    void Set(int opcode, int32_t parameterCount);

    // The entry of an opcode that is in the table, or nullptr.
    const OpcodeEntry* Find(uint32_t opcode) const {
        if (opcode >= entries_.size()) return nullptr;
        const OpcodeEntry& entry = entries_[opcode];
        return entry.known ? &entry : nullptr;
    }

    std::size_t size() const { return entries_.size(); }
    const OpcodeEntry& operator[](std::size_t opcode) const { return entries_[opcode]; }

private:
    std::vector<OpcodeEntry> entries_;
};

// The one table the window works with.
OpcodeTable& ProcessOpcodeTable();

}  // namespace morvane
