#pragma once

#include <cstdint>
#include <string>

#include "script/KeyScan.h"
#include "script/KnownOpcodes.h"

namespace morvane {

constexpr int kVKeyCount = 256;
constexpr int kGameKeyCount = 20;
constexpr int kKeyNameCount = kVKeyCount + kGameKeyCount;
// Highest virtual-key code an 8-bit key parameter may hold.
constexpr int32_t kHighestNarrowVKey = 127;

// The pad choice's items: pad 0 is "Pad 1", pad 1 is "Pad 2".
extern const char* const kPadNames[kHighestPad + 1];

// The names: entries 0-255 are virtual-key codes, 256-275 game keys 0-19.
extern const char* const kKeyNameTable[kKeyNameCount];

// The name of a key; a key outside the table shows as its decimal number.
std::string vkeyName(int32_t code);
std::string gameKeyName(int32_t number);
// The text of an occurrence's line in the list.
std::string occurrenceLabel(const KeyOccurrence& occurrence);

}  // namespace morvane
