#pragma once

#include <cstdint>
#include <string>

#include "keys/KeyRules.h"
#include "script/KeyScan.h"

namespace morvane {

constexpr int kKeyNameCount = kVKeyCount + kGameKeyCount;

// The names: entries 0-255 are virtual-key codes, 256-275 game keys 0-19.
// A game key's name is its pad control, then after kControlSeparator what it
// does ("Cross: Sprint | Accelerate"), or the control alone ("Start").
// No name starts or ends with a space. The table is English (the command
// line reads names by it); the functions below give the names in the
// language chosen, TrC("key", name), and in English under EnglishTexts.
extern const char* const kKeyNameTable[kKeyNameCount];
constexpr const char* kControlSeparator = ": ";

// The name of a key; a key outside the table shows as its decimal number.
std::string VKeyName(int32_t code);
// The table's name of the VKeys it has no name for.
constexpr const char* kUnnamedKey = "?";
// A VKey as the VKey list offers it, with its code: "F2 (0x71)", or "VKey
// 0xE8" where the table has no name; a number no VKey has, as VKeyName
// gives it. morvane-cli reads these forms back in English.
std::string VKeyEntryName(int32_t code);
// A VKey's code as those names write it: "0x71".
std::string VKeyCodeText(int32_t code);
std::string GameKeyName(int32_t number);
// A touch zone's place on the screen: "left top" ... "right bottom"
// (column, then row; the middle one "centre"); a number outside 1 to 9 as
// itself.
std::string TouchZoneName(int32_t zone);
// "Zone 7 (right top)"; "Zone 12" outside the grid.
std::string TouchZoneEntryName(int32_t zone);
// What a widget of San Andreas mobile's touch interface does, as far as
// known ("sprint"); empty for a number without a known name.
std::string WidgetName(int32_t widget);
// "Widget 31 (sprint)", "Widget 40".
std::string WidgetEntryName(int32_t widget);

// The text of a test's line in the list: the key's name, "Key in 3@" for a
// key kept in a variable whose value cannot be told, "Cheat " and the
// code, "Touch zone 7 (right top)", "Slide from zone 1 (left top)", "Slide
// to zone 9 (right bottom)" or "Widget 31 (sprint)".
std::string KeyTestLabel(const KeyTest& test);

}  // namespace morvane
