#pragma once

#include <cstdint>
#include <string>

#include "script/KeyScan.h"

namespace morvane {

constexpr int kVKeyCount = 256;
constexpr int kGameKeyCount = 20;
// Highest virtual-key code an 8-bit key parameter may hold (and widget number).
constexpr int32_t kHighestNarrowVKey = 127;
// The touch zones of the mobile editions: 1 to 9, a 3x3 grid of the screen
// numbered by columns from the left, each from the top (1 left top, 2 left
// centre, 3 left bottom, 4 centre top ... 9 right bottom).
constexpr int32_t kLowestTouchZone = 1;
constexpr int32_t kHighestTouchZone = 9;
constexpr int32_t kTouchZoneRows = 3;
constexpr int32_t kTouchZoneColumns = 3;
// Widget numbers of San Andreas mobile's touch interface a parameter may
// hold: 0 to 255, up to kHighestNarrowVKey in an 8-bit parameter.
constexpr int32_t kHighestWidget = 255;

// Why a key test cannot take a value, or Accepted.
enum class KeyRefusal {
    Accepted,
    VKeyOutOfRange,      // a VKey is 0 to 255
    GameKeyOutOfRange,   // a game key is 0 to 19
    PadOutOfRange,       // a pad is 0 or 1
    NeedsWideParameter,  // VKey 128 or more in an 8-bit key parameter
    NoSuchTest,          // the number names no test of that kind
    KeyUntold,           // the key is kept in a variable whose value cannot be told
    ZoneOutOfRange,      // a touch zone is 1 to 9
    WidgetOutOfRange,    // a widget is 0 to 255
    WidgetNeedsWide,     // widget 128 or more in an 8-bit parameter
};

// The kinds of number a key test holds.
enum class KeyKind { VKey, GameKey, Pad, TouchZone, Widget };

// The lowest and the highest value of a kind.
int32_t LowestValue(KeyKind kind);
int32_t HighestValue(KeyKind kind);

// The kind of number the key of a test is: a VKey, a game key, a touch zone or a widget.
KeyKind KeyKindOf(const KeyTest& test);

// Whether a value lies in its kind's range.
KeyRefusal CheckRange(KeyKind kind, int32_t value);

// Whether a key test may take a new VKey: in range, and a narrow (8-bit)
// parameter holds VKeys up to 127 (a key it already holds above that may stay).
KeyRefusal CheckVKey(const KeyTest& test, int32_t vkey);

// Whether a touch test may take a new zone or widget: a zone 1 to 9; a
// widget 0 to 255, up to 127 in an 8-bit parameter (one it already holds
// above that may stay).
KeyRefusal CheckTouchValue(const KeyTest& test, int32_t value);

// How a refusal names a VKey: by its number, as the command line takes keys
// ("VKey 160"), or as the window's VKey list names it ("Left Shift (0xA0)").
enum class VKeyNaming { ByNumber, AsListed };

// The refusal in plain words ("VKey 128 needs 16 bits and the key parameter
// there has 8"); empty for Accepted. `value` is the key, pad or (for
// NoSuchTest) the test's number; a VKey out of range is always its number.
std::string RefusalText(KeyRefusal refusal, int32_t value, VKeyNaming naming = VKeyNaming::ByNumber);

// ---- cheat codes ----

// Why a cheat test cannot take a code, or Accepted.
enum class CheatRefusal {
    Accepted,
    NotLettersAndDigits,  // a code is the letters A-Z and the digits 0-9
    TooLong,              // a fixed string holds up to its room
    WrongLength,          // a length-prefixed string keeps its length
    Empty,                // a fixed string's code needs one character at least
    NoSuchTest,           // the number names no cheat test
};

// The code as it would be written for what the user typed: letters a-z in
// upper case, anything else as typed.
std::string CheatCodeToWrite(const std::string& typed);
// Whether a code as typed is letters (in any case) and digits only, and not
// empty: what a cheat code can be.
bool IsCheatCodeText(const std::string& typed);
// Whether a typed code is the code a test holds, in any case: the game's
// cheat check reads typed letters in one case, so giving a test its own code
// in another case changes nothing.
bool IsSameCheatCode(const std::string& held, const std::string& typed);

// Whether a cheat test may take the code the user typed, as CheatCodeToWrite
// makes it: letters A-Z and digits only, at most the room of a fixed string
// (the rest is padded with zero bytes) and exactly the length of a
// length-prefixed one. The code the test already holds may always stay.
CheatRefusal CheckCheatCode(const KeyTest& test, const std::string& typed);

// The refusal in plain words, saying what would fit ("this code must have
// exactly 4 characters"); empty for Accepted.
std::string CheatRefusalText(CheatRefusal refusal, const KeyTest& test);

}  // namespace morvane
