#pragma once

#include <ostream>

#include "script/KeyScan.h"

namespace morvane {

// Readable occurrences in test failure messages.
inline void PrintTo(const KeyOccurrence& o, std::ostream* out) {
    *out << "{" << (o.isVKey ? "vkey" : "button") << " @" << o.offset << " pad " << o.pad << " key " << o.key
         << (o.wide ? " wide" : "") << "}";
}

}  // namespace morvane
