#pragma once

#include <cstdint>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeRoles.h"

namespace morvane {

// Bit 15 of an opcode word negates a condition; it never names another opcode.
constexpr uint16_t kNegationFlag = 0x8000;
constexpr uint16_t kOpcodeMask = 0x7FFF;
constexpr int kOpcodeWordSize = 2;

// How many header segments a main script of the game has, each opened by a
// jump (kJumpOpcode) to the next.
constexpr int HeaderLinksFor(GameId game) { return InfoOf(game).headerLinks; }

}  // namespace morvane
