#pragma once

#include <cstdint>
#include <string>

#include "script/KeyScan.h"

namespace morvane {

constexpr int kVKeyCount = 256;
constexpr int kGameKeyCount = 20;
constexpr int kKeyNameCount = kVKeyCount + kGameKeyCount;
// Highest virtual-key code an 8-bit key parameter may hold.
constexpr int32_t kHighestNarrowVKey = 127;

// The names: entries 0-255 are virtual-key codes, 256-275 game keys 0-19.
extern const char* const kKeyNameTable[kKeyNameCount];

// The name of a key; a key outside the table shows as its decimal number.
std::string vkeyName(int32_t code);
std::string gameKeyName(int32_t number);
// The text of an occurrence's line in the list.
std::string occurrenceLabel(const KeyOccurrence& occurrence);

}  // namespace morvane
