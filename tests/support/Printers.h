#pragma once

#include <ostream>

#include "opcodes/GameId.h"
#include "script/KeyScan.h"

namespace morvane {

// Readable key tests in test failure messages.
inline void PrintTo(const KeyTest& o, std::ostream* out) {
    if (o.IsCheat()) {
        *out << "{cheat @" << o.offset << " \"" << o.code << "\" room " << o.room << "}";
        return;
    }
    *out << "{" << (o.IsVKey() ? "vkey" : "button") << " @" << o.offset << " pad " << o.pad << " key " << o.key
         << (o.wide ? " wide" : "") << "}";
}

}  // namespace morvane

namespace morvane {

// Games by name in test failure messages.
inline std::ostream& operator<<(std::ostream& out, GameId game) {
    const auto number = GameNumber(game);
    return out << (number >= 0 && number < kGameCount ? kGames[number].name : "no game");
}

}  // namespace morvane
