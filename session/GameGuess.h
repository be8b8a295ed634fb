#pragma once

#include <functional>
#include <optional>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"

namespace morvane {

// Whether a script was read with another game's opcodes than its own: more
// than a small share of what the walk met was unknown instructions, and
// another game's table knows far more of it.

// The share of unknown instructions above which another game is tried.
constexpr double kSmallUnknownShare = 0.05;
// Another game reads the script far better when its walk meets at most this
// share of the unknown instructions the chosen game's walk met.
constexpr double kFarFewerUnknown = 0.25;

// More than kSmallUnknownShare of the instructions walked were unknown.
bool ReadsPoorly(const ScanSummary& summary);

// Another game and the unknown instructions its table leaves.
struct BetterReading {
    GameId game = kGameGta3;
    int64_t unknownInstructions = 0;
};

// The game, other than the one `script` was read for, whose table reads it
// far better (the fewest unknown instructions among them), or nothing. Each
// other game's table comes from `tableFor` (null: that game has none); the
// script's header is stepped over as its first reading did.
std::optional<BetterReading> BetterGame(const ScannedScript& script,
                                        const std::function<const OpcodeTable*(GameId)>& tableFor);

}  // namespace morvane
