#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "keys/KeyRules.h"

namespace morvane::cli {

using morvane::KeyKind;  // what a key argument names, and so which names it accepts

// Reads a number in decimal or 0x hexadecimal (an optional minus sign
// before either), the whole text and nothing else.
std::optional<int64_t> ParseNumber(const std::string& text);

// Reads a key: a number, or a key's name as the window shows it, matched
// without regard to case or surrounding spaces ("A Key", "f16"). A game key
// also answers to its pad control or its action alone ("Circle: Fire",
// "Circle", "Fire"), a VKey also to the window's list entry ("F2 (0x71)",
// "VKey 0xE8"), and a few names of earlier versions still count
// ("APPLICATIN Key", "Left Menu"). Pads also take their names ("Pad 1" is pad
// 0). A touch zone answers to its place ("right top", "Zone 7 (right
// top)"), a widget to its use or list entry ("sprint", "Widget 31
// (sprint)"). A name several keys share ("?" of the VKeys) names none.
std::optional<int32_t> ParseKey(const std::string& text, KeyKind kind);

}  // namespace morvane::cli
