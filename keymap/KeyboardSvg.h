#pragma once

#include <string>

#include "keymap/KeyMap.h"

namespace morvane {

// What the picture's heading says besides the map itself.
struct KeyboardCaption {
    std::string folder;  // the folder or files mapped, as the user knows them
    std::string date;    // the day the map was made, as the caller writes dates
};

// Draws a key map as a standalone SVG 1.1 document: a full-size keyboard
// (US layout labels) with the five mouse buttons beside it, each key coloured
// by how many scripts test it (none, one, two or more; a conflict is also
// hatched and carries its number), the number of scripts on the key and the
// scripts in its tooltip; the keys the keyboard lacks in a strip below; the
// twenty buttons of each pad as chips; the cheat codes typed, when any, in a
// list right of the keyboard, coloured the same way; a legend, the caption
// and the totals.
// Shift, Ctrl and Alt keys also show the tests of their either-side code.
std::string KeyboardSvg(const KeyMap& map, const KeyboardCaption& caption);

}  // namespace morvane
