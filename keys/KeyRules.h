#pragma once

#include <cstdint>
#include <string>

#include "script/KeyScan.h"

namespace morvane {

constexpr int kVKeyCount = 256;
constexpr int kGameKeyCount = 20;
// Highest virtual-key code an 8-bit key parameter may hold.
constexpr int32_t kHighestNarrowVKey = 127;

// Why a key test cannot take a value, or Accepted.
enum class KeyRefusal {
    Accepted,
    VKeyOutOfRange,     // a VKey is 0 to 255
    GameKeyOutOfRange,  // a game key is 0 to 19
    PadOutOfRange,      // a pad is 0 or 1
    NeedsWideParameter, // VKey 128 or more in an 8-bit key parameter
};

// The three kinds of number a key test holds.
enum class KeyKind { VKey, GameKey, Pad };

// The highest value of a kind (the lowest is 0).
int32_t HighestValue(KeyKind kind);

// Whether a value lies in its kind's range.
KeyRefusal CheckRange(KeyKind kind, int32_t value);

// Whether a key test may take a new VKey: in range, and a narrow (8-bit)
// parameter holds VKeys up to 127 (a key it already holds above that may stay).
KeyRefusal CheckVKey(const KeyOccurrence& occurrence, int32_t vkey);

// The refusal in plain words ("VKey 128 needs 16 bits and the key parameter
// there has 8"); empty for Accepted.
std::string RefusalText(KeyRefusal refusal, int32_t value);

}  // namespace morvane
