#pragma once

#include <string>

#include "keymap/KeyMap.h"
#include "keymap/KeyboardPicture.h"

namespace morvane {

// Draws a key map as a standalone SVG 1.1 document: the picture that
// LayOutKeyboard lays out (see KeyboardPicture), each key's scripts in its
// <title> tooltip, a conflict hatched.
std::string KeyboardSvg(const KeyMap& map, const KeyboardCaption& caption);

}  // namespace morvane
