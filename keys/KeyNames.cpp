#include "keys/KeyNames.h"

#include <cstdio>

namespace morvane {

// Virtual-key codes 0x00-0xFF, eight a line, then the game keys 0-19.
// clang-format off
const char* const kKeyNameTable[kKeyNameCount] = {
    /* 0x00 */ "?", "Left mouse button", "Right mouse button", "Cancel", "Middle mouse button", "?", "?", "?",
    /* 0x08 */ "Backspace", "Tab", "?", "?", "Clear", "Enter", "?", "?",
    /* 0x10 */ "Shift", "Ctrl", "Alt", "Pause", "Caps Lock", "?", "?", "?",
    /* 0x18 */ "?", "?", "?", "ESC", "?", "?", "?", "?",
    /* 0x20 */ "Space Bar", "Page Up", "Page Down", "END Key", "HOME Key", "Left Arrow", "Up Arrow", "Right Arrow",
    /* 0x28 */ "Down Arrow", "SELECT Key", "PRINT Key", "EXECUTE key", "PRINT SCREEN Key", "INSERT Key", "DELETE Key", "HELP Key",
    /* 0x30 */ "0 Key", "1 Key", "2 Key", "3 Key", "4 Key", "5 Key", "6 Key", "7 Key",
    /* 0x38 */ "8 Key", "9 Key", "?", "?", "?", "?", "?", "?",
    /* 0x40 */ "?", "A Key", "B Key", "C Key", "D Key", "E Key", "F Key", "G Key",
    /* 0x48 */ "H Key", "I Key", "J Key", "K Key", "L Key", "M Key", "N Key", "O Key",
    /* 0x50 */ "P Key", "Q Key", "R Key", "S Key", "T Key", "U Key", "V Key", "W Key",
    /* 0x58 */ "X Key", "Y Key", "Z Key", "Left Windows Key", "Right Windows Key", "Application Key", "?", "?",
    /* 0x60 */ "Numpad 0", "Numpad 1", "Numpad 2", "Numpad 3", "Numpad 4", "Numpad 5", "Numpad 6", "Numpad 7",
    /* 0x68 */ "Numpad 8", "Numpad 9", "Numpad *", "Numpad +", "Numpad Separator", "Numpad -", "Numpad .", "Numpad /",
    /* 0x70 */ "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8",
    /* 0x78 */ "F9", "F10", "F11", "F12", "F13", "F14", "F15", "F16",
    /* 0x80 */ "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24",
    /* 0x88 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0x90 */ "Num lock", "Scroll lock", "?", "?", "?", "?", "?", "?",
    /* 0x98 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xA0 */ "Left Shift", "Right Shift", "Left Ctrl", "Right Ctrl", "Left Alt", "Right Alt", "?", "?",
    /* 0xA8 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xB0 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xB8 */ "?", "?", "; Key", "= Key", ", Key", "- Key", ". Key", "/ Key",
    /* 0xC0 */ "` Key", "?", "?", "?", "?", "?", "?", "?",
    /* 0xC8 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xD0 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xD8 */ "?", "?", "?", "[ Key", "\\ Key", "] Key", "' Key", "?",
    /* 0xE0 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xE8 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xF0 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xF8 */ "?", "?", "Play key", "Zoom key", "?", "?", "?", "?",
    /* game key  0 */ "Left Stick X: Left/Right",
    /* game key  1 */ "Left Stick Y: Forward/Backward",
    /* game key  2 */ "Right Stick X: Special ctrl left/right",
    /* game key  3 */ "Right Stick Y: Special ctrl up/down",
    /* game key  4 */ "L1: Action/Secondary fire",
    /* game key  5 */ "L2: Prev Weapon | Look Left",
    /* game key  6 */ "R1: Aim Weapon | Hand Brake",
    /* game key  7 */ "R2: Next Weapon | Look Right",
    /* game key  8 */ "D-pad Up: Grp Ctrl Frwd | Next Radio",
    /* game key  9 */ "D-pad Down: Grp Ctrl Back | Prev Radio",
    /* game key 10 */ "D-pad Left: Conversation No",
    /* game key 11 */ "D-pad Right: Conversation Yes",
    /* game key 12 */ "Start",
    /* game key 13 */ "Select: Change camera",
    /* game key 14 */ "Square: Jump | Brake/Reverse",
    /* game key 15 */ "Triangle: Enter/Exit vehicle",
    /* game key 16 */ "Cross: Sprint | Accelerate",
    /* game key 17 */ "Circle: Fire",
    /* game key 18 */ "L3: Crouch | Horn",
    /* game key 19 */ "R3: Look Behind | Submission",
};
// clang-format on

namespace {

std::string NameOrNumber(int32_t key, int32_t count, int first) {
    if (key >= 0 && key < count) return kKeyNameTable[first + key];
    return std::to_string(key);
}

}  // namespace

std::string VKeyName(int32_t code) { return NameOrNumber(code, kVKeyCount, 0); }

std::string GameKeyName(int32_t number) { return NameOrNumber(number, kGameKeyCount, kVKeyCount); }

std::string VKeyCodeText(int32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(code));
    return hex;
}

std::string VKeyEntryName(int32_t code) {
    if (code < 0 || code >= kVKeyCount) return VKeyName(code);  // no key of the table: its number
    const std::string hex = VKeyCodeText(code);
    const std::string name = VKeyName(code);
    return name == kUnnamedKey ? "VKey " + hex : name + " (" + hex + ")";
}

namespace {

// Columns from the left, rows from the top.
constexpr const char* kZoneColumns[kTouchZoneColumns] = {"left", "centre", "right"};
constexpr const char* kZoneRows[kTouchZoneRows] = {"top", "centre", "bottom"};

// The widgets whose use is known.
struct NamedWidget {
    int32_t number;
    const char* name;
};
constexpr NamedWidget kNamedWidgets[] = {
    {0, "enter car"},   {1, "attack"}, {2, "accelerate"}, {3, "brake"},   {4, "handbrake"}, {5, "steer left"},
    {6, "steer right"}, {7, "horn"},   {8, "phone"},      {31, "sprint"}, {32, "crouch"},
};

}  // namespace

std::string TouchZoneName(int32_t zone) {
    if (zone < kLowestTouchZone || zone > kHighestTouchZone) return std::to_string(zone);
    const int32_t column = (zone - kLowestTouchZone) / kTouchZoneRows;
    const int32_t row = (zone - kLowestTouchZone) % kTouchZoneRows;
    if (column == 1 && row == 1) return "centre";
    return std::string(kZoneColumns[column]) + " " + kZoneRows[row];
}

namespace {

// "zone 7 (right top)" after the words given.
std::string ZoneText(const char* words, int32_t zone) {
    const std::string number = words + std::to_string(zone);
    if (zone < kLowestTouchZone || zone > kHighestTouchZone) return number;
    return number + " (" + TouchZoneName(zone) + ")";
}

}  // namespace

std::string TouchZoneEntryName(int32_t zone) { return ZoneText("Zone ", zone); }

std::string WidgetName(int32_t widget) {
    for (const NamedWidget& named : kNamedWidgets)
        if (named.number == widget) return named.name;
    return std::string();
}

std::string WidgetEntryName(int32_t widget) {
    const std::string name = WidgetName(widget);
    return "Widget " + std::to_string(widget) + (name.empty() ? "" : " (" + name + ")");
}

std::string KeyTestLabel(const KeyTest& test) {
    switch (test.kind) {
        case KeyTestKind::VKey: return test.Changeable() ? VKeyName(test.key) : "Key in " + VariableName(test.variable);
        case KeyTestKind::Button: return GameKeyName(test.key);
        case KeyTestKind::Cheat: return "Cheat " + test.code;
        case KeyTestKind::Touch: return ZoneText("Touch zone ", test.key);
        case KeyTestKind::SlideFrom: return ZoneText("Slide from zone ", test.key);
        case KeyTestKind::SlideTo: return ZoneText("Slide to zone ", test.key);
        case KeyTestKind::Widget: return WidgetEntryName(test.key);
    }
    return std::string();
}

std::string Plural(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace morvane
