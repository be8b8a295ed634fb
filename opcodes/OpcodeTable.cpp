#include "opcodes/OpcodeTable.h"

namespace morvane {

void OpcodeTable::Reset(GameId game) {
    game_ = game;
    entries_.assign(kOpcodeTableSize, OpcodeEntry{});
}

void OpcodeTable::Set(int opcode, int32_t parameterCount) {
    if (opcode < 0 || static_cast<std::size_t>(opcode) >= entries_.size()) return;
    entries_[static_cast<std::size_t>(opcode)] =
        OpcodeEntry{parameterCount, true, RoleOf(game_, static_cast<uint16_t>(opcode))};
}

std::size_t OpcodeTable::KnownCount() const {
    std::size_t known = 0;
    for (const OpcodeEntry& entry : entries_) known += entry.known ? 1 : 0;
    return known;
}

bool OpcodeTable::DescribesAnyOf(OpcodeRole role) const {
    for (const uint16_t opcode : OpcodesOfRole(game_, role))
        if (Find(opcode) != nullptr) return true;
    return false;
}

}  // namespace morvane
