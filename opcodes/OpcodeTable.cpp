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

}  // namespace morvane
