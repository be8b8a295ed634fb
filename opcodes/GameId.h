#pragma once

#include <cstdint>

namespace morvane {

// The game whose byte code and opcode table are in use. The value is also the
// item index of the game choice and the number kept in the settings file.
using GameId = int32_t;

constexpr GameId kGameGta3 = 0;
constexpr GameId kGameViceCity = 1;
constexpr GameId kGameSanAndreas = 2;
constexpr GameId kGameCount = 3;

}  // namespace morvane
