#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "script/KeyTest.h"

namespace morvane {

// The key tests one condition joins, as a player presses them: the tests of
// an `if and` are a chord (pressed together), those of an `if or`
// alternatives; a test alone in its condition is a hotkey of one key. Cheat
// tests are typed, not pressed: they belong to no hotkey.
//
// Tests are given in file order (as a scan lists them), so that the tests of
// one condition stand together.

// The tests of the hotkey test `index` belongs to, in file order, itself
// included; only itself for a cheat test or a test alone.
std::vector<std::size_t> HotkeyOf(const std::vector<KeyTest>& tests, std::size_t index);

// Whether test `index` is one of a chord of two keys or more (an `if and`).
bool InChord(const std::vector<KeyTest>& tests, std::size_t index);

// The hotkey as players write it: modifiers first, in the order Ctrl, Shift,
// Alt, Win, then the other keys in the file's order ("Ctrl+Shift+M",
// "Left Ctrl+M" where a side is tested, "Crouch+Action" for buttons);
// negated tests after it ("Ctrl+M, not Shift"); an `if or` as alternatives
// ("M or N"). Empty for a cheat test.
std::string HotkeyText(const std::vector<KeyTest>& tests, std::size_t index);

// A key as a hotkey names it: "Ctrl", "Left Shift", "M", "F5", "Crouch".
std::string HotkeyKeyName(const KeyTest& test);

// Where a VKey stands in a hotkey: Ctrl, Shift, Alt, Win, then every other.
int ModifierRank(int32_t vkey);

// A hotkey read from text ("Ctrl+Shift+M", "Alt+F5"): its parts split at
// "+", each a short name above or else whatever `parseKey` reads as a VKey
// (a "+" that leaves no name on one side belongs to the name: "Numpad +").
// Its VKeys in hotkey order; none when a part names no VKey or a key is
// named twice.
std::optional<std::vector<int32_t>> ParseHotkey(
    const std::string& text, const std::function<std::optional<int32_t>(const std::string&)>& parseKey);

// The same keys put in hotkey order.
std::vector<int32_t> InHotkeyOrder(std::vector<int32_t> vkeys);

}  // namespace morvane
