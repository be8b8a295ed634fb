#pragma once

#include <cstdint>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeRoles.h"

namespace morvane {

// Bit 15 of an opcode word negates a condition; it never names another opcode.
constexpr uint16_t kNegationFlag = 0x8000;
constexpr uint16_t kOpcodeMask = 0x7FFF;
constexpr int kOpcodeWordSize = 2;

// Jump; each header segment of a main script starts with one to the next.
constexpr uint16_t kJumpOpcode = 0x0002;
constexpr int kHeaderLinksClassic = 3;
constexpr int kHeaderLinksSanAndreas = 6;

constexpr int HeaderLinksFor(GameId game) {
    return game == kGameSanAndreas ? kHeaderLinksSanAndreas : kHeaderLinksClassic;
}

}  // namespace morvane
