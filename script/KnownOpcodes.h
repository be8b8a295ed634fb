#pragma once

#include <cstdint>

#include "opcodes/GameId.h"

namespace morvane {

// Bit 15 of an opcode word negates a condition; it never names another opcode.
constexpr uint16_t kNegationFlag = 0x8000;
constexpr uint16_t kOpcodeMask = 0x7FFF;
constexpr int kOpcodeWordSize = 2;

// Jump; each header segment of a main script starts with one to the next.
constexpr uint16_t kJumpOpcode = 0x0002;
constexpr int kHeaderLinksClassic = 3;
constexpr int kHeaderLinksSanAndreas = 6;

// Tests a keyboard key by its Windows virtual-key code.
constexpr uint16_t kKeyOpcodeClassic = 0x05EE;
constexpr uint16_t kKeyOpcodeSanAndreas = 0x0AB0;

// Tests a pad button: parameters pad number, game key number.
constexpr uint16_t kButtonOpcode = 0x00E1;
constexpr int32_t kHighestPad = 1;

constexpr uint16_t KeyOpcodeFor(GameId game) {
    return game == kGameSanAndreas ? kKeyOpcodeSanAndreas : kKeyOpcodeClassic;
}

constexpr int HeaderLinksFor(GameId game) {
    return game == kGameSanAndreas ? kHeaderLinksSanAndreas : kHeaderLinksClassic;
}

}  // namespace morvane
