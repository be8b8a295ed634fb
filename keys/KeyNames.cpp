#include "keys/KeyNames.h"

#include <cstdio>

#include "i18n/Translate.h"

namespace morvane {

// Virtual-key codes 0x00-0xFF, eight a row, then the game keys 0-19. The
// names a keyboard, a mouse or the game shows in the player's language are
// marked for the catalogs with the context "key" and shown translated
// (TrC); letter, digit, F- and sign keys are named alike in every language
// and left unmarked. The table itself stays English: the command line reads
// key names by it.
// clang-format off
const char* const kKeyNameTable[kKeyNameCount] = {
    /* 0x00 */ "?", NC_("key", "Left mouse button"), NC_("key", "Right mouse button"), NC_("key", "Cancel"),
               NC_("key", "Middle mouse button"), "?", "?", "?",
    /* 0x08 */ NC_("key", "Backspace"), NC_("key", "Tab"), "?", "?", NC_("key", "Clear"), NC_("key", "Enter"), "?", "?",
    /* 0x10 */ NC_("key", "Shift"), NC_("key", "Ctrl"), NC_("key", "Alt"), NC_("key", "Pause"), NC_("key", "Caps Lock"),
               "?", "?", "?",
    /* 0x18 */ "?", "?", "?", NC_("key", "ESC"), "?", "?", "?", "?",
    /* 0x20 */ NC_("key", "Space Bar"), NC_("key", "Page Up"), NC_("key", "Page Down"), NC_("key", "END Key"),
               NC_("key", "HOME Key"), NC_("key", "Left Arrow"), NC_("key", "Up Arrow"), NC_("key", "Right Arrow"),
    /* 0x28 */ NC_("key", "Down Arrow"), NC_("key", "SELECT Key"), NC_("key", "PRINT Key"), NC_("key", "EXECUTE key"),
               NC_("key", "PRINT SCREEN Key"), NC_("key", "INSERT Key"), NC_("key", "DELETE Key"),
               NC_("key", "HELP Key"),
    /* 0x30 */ "0 Key", "1 Key", "2 Key", "3 Key", "4 Key", "5 Key", "6 Key", "7 Key",
    /* 0x38 */ "8 Key", "9 Key", "?", "?", "?", "?", "?", "?",
    /* 0x40 */ "?", "A Key", "B Key", "C Key", "D Key", "E Key", "F Key", "G Key",
    /* 0x48 */ "H Key", "I Key", "J Key", "K Key", "L Key", "M Key", "N Key", "O Key",
    /* 0x50 */ "P Key", "Q Key", "R Key", "S Key", "T Key", "U Key", "V Key", "W Key",
    /* 0x58 */ "X Key", "Y Key", "Z Key", NC_("key", "Left Windows Key"), NC_("key", "Right Windows Key"),
               NC_("key", "Application Key"), "?", "?",
    /* 0x60 */ NC_("key", "Numpad 0"), NC_("key", "Numpad 1"), NC_("key", "Numpad 2"), NC_("key", "Numpad 3"),
               NC_("key", "Numpad 4"), NC_("key", "Numpad 5"), NC_("key", "Numpad 6"), NC_("key", "Numpad 7"),
    /* 0x68 */ NC_("key", "Numpad 8"), NC_("key", "Numpad 9"), NC_("key", "Numpad *"), NC_("key", "Numpad +"),
               NC_("key", "Numpad Separator"), NC_("key", "Numpad -"), NC_("key", "Numpad ."), NC_("key", "Numpad /"),
    /* 0x70 */ "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8",
    /* 0x78 */ "F9", "F10", "F11", "F12", "F13", "F14", "F15", "F16",
    /* 0x80 */ "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24",
    /* 0x88 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0x90 */ NC_("key", "Num lock"), NC_("key", "Scroll lock"), "?", "?", "?", "?", "?", "?",
    /* 0x98 */ "?", "?", "?", "?", "?", "?", "?", "?",
    /* 0xA0 */ NC_("key", "Left Shift"), NC_("key", "Right Shift"), NC_("key", "Left Ctrl"), NC_("key", "Right Ctrl"),
               NC_("key", "Left Alt"), NC_("key", "Right Alt"), "?", "?",
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
    /* 0xF8 */ "?", "?", NC_("key", "Play key"), NC_("key", "Zoom key"), "?", "?", "?", "?",
    // TRANSLATORS: a pad's control, then after ": " what it does in the game; " | " parts what it does on foot
    // from what it does in a car. Keep ": " and " | " where they are: a hotkey shows the part after ": " up to
    // " | " ("Sprint"), and the key map breaks the line at "|".
    /* game key  0 */ NC_("key", "Left Stick X: Left/Right"),
    /* game key  1 */ NC_("key", "Left Stick Y: Forward/Backward"),
    /* game key  2 */ NC_("key", "Right Stick X: Special ctrl left/right"),
    /* game key  3 */ NC_("key", "Right Stick Y: Special ctrl up/down"),
    /* game key  4 */ NC_("key", "L1: Action/Secondary fire"),
    /* game key  5 */ NC_("key", "L2: Prev Weapon | Look Left"),
    /* game key  6 */ NC_("key", "R1: Aim Weapon | Hand Brake"),
    /* game key  7 */ NC_("key", "R2: Next Weapon | Look Right"),
    /* game key  8 */ NC_("key", "D-pad Up: Grp Ctrl Frwd | Next Radio"),
    /* game key  9 */ NC_("key", "D-pad Down: Grp Ctrl Back | Prev Radio"),
    /* game key 10 */ NC_("key", "D-pad Left: Conversation No"),
    /* game key 11 */ NC_("key", "D-pad Right: Conversation Yes"),
    /* game key 12 */ NC_("key", "Start"),
    /* game key 13 */ NC_("key", "Select: Change camera"),
    /* game key 14 */ NC_("key", "Square: Jump | Brake/Reverse"),
    /* game key 15 */ NC_("key", "Triangle: Enter/Exit vehicle"),
    /* game key 16 */ NC_("key", "Cross: Sprint | Accelerate"),
    /* game key 17 */ NC_("key", "Circle: Fire"),
    /* game key 18 */ NC_("key", "L3: Crouch | Horn"),
    /* game key 19 */ NC_("key", "R3: Look Behind | Submission"),
};
// clang-format on

namespace {

std::string NameOrNumber(int32_t key, int32_t count, int first) {
    if (key >= 0 && key < count) return TrC("key", kKeyNameTable[first + key]);
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
    // TRANSLATORS: a key the list of keys has no name for, by its virtual-key code: "VKey 0xE8".
    if (name == kUnnamedKey) return Fill(Tr("VKey {code}"), {{"code", hex}});
    // TRANSLATORS: a key by its name and its code: "F2 (0x71)".
    return Fill(Tr("{key} ({code})"), {{"key", name}, {"code", hex}});
}

namespace {

// The zones' places, by columns from the left, each from the top: zone 1
// is "left top", zone 5 "centre".
constexpr const char* kZonePlaces[kTouchZoneColumns * kTouchZoneRows] = {
    // TRANSLATORS: a touch zone's place on a phone's screen held sideways: its column, then its row.
    NC_("key", "left top"),   NC_("key", "left centre"),  NC_("key", "left bottom"),
    NC_("key", "centre top"), NC_("key", "centre"),       NC_("key", "centre bottom"),
    NC_("key", "right top"),  NC_("key", "right centre"), NC_("key", "right bottom"),
};

// The widgets whose use is known.
struct NamedWidget {
    int32_t number;
    const char* name;
};
constexpr NamedWidget kNamedWidgets[] = {
    // TRANSLATORS: what a widget of San Andreas mobile's touch interface does, in lower case.
    {0, NC_("key", "enter car")},   {1, NC_("key", "attack")},    {2, NC_("key", "accelerate")},
    {3, NC_("key", "brake")},       {4, NC_("key", "handbrake")}, {5, NC_("key", "steer left")},
    {6, NC_("key", "steer right")}, {7, NC_("key", "horn")},      {8, NC_("key", "phone")},
    {31, NC_("key", "sprint")},     {32, NC_("key", "crouch")},
};

}  // namespace

std::string TouchZoneName(int32_t zone) {
    if (zone < kLowestTouchZone || zone > kHighestTouchZone) return std::to_string(zone);
    return TrC("key", kZonePlaces[zone - kLowestTouchZone]);
}

namespace {

// A zone's label: `inGrid` ("Zone {zone} ({place})") for a zone of the
// grid, `outside` ("Zone {zone}") for any other number.
std::string ZoneText(const std::string& inGrid, const std::string& outside, int32_t zone) {
    if (zone < kLowestTouchZone || zone > kHighestTouchZone) return Fill(outside, {{"zone", std::to_string(zone)}});
    return Fill(inGrid, {{"zone", std::to_string(zone)}, {"place", TouchZoneName(zone)}});
}

}  // namespace

std::string TouchZoneEntryName(int32_t zone) {
    // TRANSLATORS: a touch zone of a phone's screen: {zone} its number, {place} "right top".
    return ZoneText(Tr("Zone {zone} ({place})"), Tr("Zone {zone}"), zone);
}

std::string WidgetName(int32_t widget) {
    for (const NamedWidget& named : kNamedWidgets)
        if (named.number == widget) return TrC("key", named.name);
    return std::string();
}

std::string WidgetEntryName(int32_t widget) {
    const std::string name = WidgetName(widget);
    const std::string number = std::to_string(widget);
    // TRANSLATORS: a widget of a phone's touch interface: {widget} its number, {name} what it does ("sprint").
    if (!name.empty()) return Fill(Tr("Widget {widget} ({name})"), {{"widget", number}, {"name", name}});
    return Fill(Tr("Widget {widget}"), {{"widget", number}});
}

std::string KeyTestLabel(const KeyTest& test) {
    switch (test.kind) {
        case KeyTestKind::VKey:
            if (test.Changeable()) return VKeyName(test.key);
            // TRANSLATORS: a key kept in a variable whose value cannot be told: "Key in 3@".
            return Fill(Tr("Key in {variable}"), {{"variable", VariableName(test.variable)}});
        case KeyTestKind::Button: return GameKeyName(test.key);
        // TRANSLATORS: a cheat code a script tests, {code} the letters typed: "Cheat HESOYAM".
        case KeyTestKind::Cheat: return Fill(Tr("Cheat {code}"), {{"code", test.code}});
        case KeyTestKind::Touch:
            // TRANSLATORS: a test of a touch zone: {zone} its number, {place} "right top".
            return ZoneText(Tr("Touch zone {zone} ({place})"), Tr("Touch zone {zone}"), test.key);
        case KeyTestKind::SlideFrom:
            // TRANSLATORS: a test of a slide that starts in a touch zone: {zone} its number, {place} "right top".
            return ZoneText(Tr("Slide from zone {zone} ({place})"), Tr("Slide from zone {zone}"), test.key);
        case KeyTestKind::SlideTo:
            // TRANSLATORS: a test of a slide that ends in a touch zone: {zone} its number, {place} "right top".
            return ZoneText(Tr("Slide to zone {zone} ({place})"), Tr("Slide to zone {zone}"), test.key);
        case KeyTestKind::Widget: return WidgetEntryName(test.key);
    }
    return std::string();
}

}  // namespace morvane
