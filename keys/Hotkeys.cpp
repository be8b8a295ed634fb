#include "keys/Hotkeys.h"

#include <algorithm>
#include <cctype>

#include "i18n/Translate.h"
#include "keys/KeyNames.h"

namespace morvane {

namespace {

// The VKeys of the modifiers, either side and each side.
constexpr int32_t kShift = 0x10, kCtrl = 0x11, kAlt = 0x12;
constexpr int32_t kLeftShift = 0xA0, kRightShift = 0xA1, kLeftCtrl = 0xA2, kRightCtrl = 0xA3, kLeftAlt = 0xA4,
                  kRightAlt = 0xA5;
constexpr int32_t kLeftWin = 0x5B, kRightWin = 0x5C;
constexpr int kOtherRank = 4;

// The names of the modifiers in a hotkey: shown in the language chosen
// (TrC("key", name)), read in English.
struct ShortName {
    int32_t vkey;
    const char* name;
};
constexpr ShortName kShortNames[] = {
    {kCtrl, NC_("key", "Ctrl")},
    {kShift, NC_("key", "Shift")},
    {kAlt, NC_("key", "Alt")},
    {kLeftCtrl, NC_("key", "Left Ctrl")},
    {kRightCtrl, NC_("key", "Right Ctrl")},
    {kLeftShift, NC_("key", "Left Shift")},
    {kRightShift, NC_("key", "Right Shift")},
    {kLeftAlt, NC_("key", "Left Alt")},
    {kRightAlt, NC_("key", "Right Alt")},
    {kLeftWin, NC_("key", "Win")},
    {kLeftWin, NC_("key", "Left Win")},
    {kRightWin, NC_("key", "Right Win")},
};

std::string Folded(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsKeyTest(const KeyTest& test) { return !test.IsCheat() && !test.IsTouch(); }

// The part of a game key's name that says what it does on foot: "Sprint" of
// "Cross: Sprint | Accelerate"; the control where it says nothing ("Start").
std::string ActionOf(const std::string& name) {
    const std::size_t colon = name.find(kControlSeparator);
    std::string action =
        colon == std::string::npos ? name : name.substr(colon + std::char_traits<char>::length(kControlSeparator));
    const std::size_t bar = action.find(" |");
    if (bar != std::string::npos) action.erase(bar);
    return action;
}

}  // namespace

int ModifierRank(int32_t vkey) {
    switch (vkey) {
        case kCtrl:
        case kLeftCtrl:
        case kRightCtrl: return 0;
        case kShift:
        case kLeftShift:
        case kRightShift: return 1;
        case kAlt:
        case kLeftAlt:
        case kRightAlt: return 2;
        case kLeftWin:
        case kRightWin: return 3;
        default: return kOtherRank;
    }
}

std::vector<int32_t> InHotkeyOrder(std::vector<int32_t> vkeys) {
    std::stable_sort(vkeys.begin(), vkeys.end(),
                     [](int32_t a, int32_t b) { return ModifierRank(a) < ModifierRank(b); });
    return vkeys;
}

std::vector<std::size_t> HotkeyOf(const std::vector<KeyTest>& tests, std::size_t index) {
    const KeyTest& test = tests[index];
    if (!IsKeyTest(test) || test.condition < 0 || test.joined == Joined::Alone) return {index};
    std::size_t first = index;
    while (first > 0 && tests[first - 1].condition == test.condition) --first;
    std::vector<std::size_t> members;
    for (std::size_t i = first; i < tests.size() && tests[i].condition == test.condition; ++i)
        if (IsKeyTest(tests[i])) members.push_back(i);
    return members;
}

bool InChord(const std::vector<KeyTest>& tests, std::size_t index) {
    return tests[index].joined == Joined::All && HotkeyOf(tests, index).size() >= 2;
}

std::string HotkeyKeyName(const KeyTest& test) {
    if (test.IsButton()) return ActionOf(GameKeyName(test.key));
    // TRANSLATORS: a key kept in a variable whose value cannot be told, in a hotkey: "Ctrl+key in 3@".
    if (!test.Changeable()) return Fill(Tr("key in {variable}"), {{"variable", VariableName(test.variable)}});
    for (const ShortName& name : kShortNames)
        if (name.vkey == test.key) return TrC("key", name.name);
    const bool letterOrDigit = (test.key >= 'A' && test.key <= 'Z') || (test.key >= '0' && test.key <= '9');
    if (letterOrDigit) return std::string(1, static_cast<char>(test.key));
    return VKeyName(test.key);
}

std::string HotkeyText(const std::vector<KeyTest>& tests, std::size_t index) {
    if (!IsKeyTest(tests[index])) return std::string();
    const std::vector<std::size_t> members = HotkeyOf(tests, index);
    // TRANSLATORS: a key that must not be pressed, in a hotkey: "M or not N".
    const auto notPressed = [](const std::string& key) { return Fill(Tr("not {key}"), {{"key", key}}); };
    if (tests[index].joined == Joined::Any && members.size() > 1) {
        std::string text;
        for (const std::size_t i : members) {
            const std::string key = tests[i].negated ? notPressed(HotkeyKeyName(tests[i])) : HotkeyKeyName(tests[i]);
            // TRANSLATORS: keys of which one is pressed: {keys} "M or N", {key} "P".
            text = text.empty() ? key : Fill(Tr("{keys} or {key}"), {{"keys", text}, {"key", key}});
        }
        return text;
    }
    // Modifiers first, in their order; buttons and other keys as they come.
    std::vector<std::size_t> pressed;
    std::vector<std::size_t> negated;
    for (const std::size_t i : members) (tests[i].negated ? negated : pressed).push_back(i);
    const auto rank = [&](std::size_t i) { return tests[i].IsVKey() ? ModifierRank(tests[i].key) : kOtherRank; };
    std::stable_sort(pressed.begin(), pressed.end(), [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    std::string text;
    for (const std::size_t i : pressed) text += (text.empty() ? "" : "+") + HotkeyKeyName(tests[i]);
    for (const std::size_t i : negated) {
        const std::string key = HotkeyKeyName(tests[i]);
        // TRANSLATORS: a hotkey and a key that must not be pressed with it: {hotkey} "Ctrl+M", {key} "Shift".
        text = text.empty() ? notPressed(key) : Fill(Tr("{hotkey}, not {key}"), {{"hotkey", text}, {"key", key}});
    }
    return text;
}

std::optional<std::vector<int32_t>> ParseHotkey(
    const std::string& text, const std::function<std::optional<int32_t>(const std::string&)>& parseKey) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    for (std::size_t plus = text.find('+'); plus != std::string::npos; plus = text.find('+', plus + 1)) {
        parts.push_back(text.substr(begin, plus - begin));
        begin = plus + 1;
    }
    parts.push_back(text.substr(begin));
    // "Numpad ++M" or "Ctrl+Numpad +": the "+" after which no name stands
    // belongs to the name before it.
    std::vector<std::string> names;
    for (const std::string& part : parts) {
        if (Folded(part).empty() && !names.empty()) {
            names.back() += "+" + part;
            continue;
        }
        names.push_back(part);
    }
    std::vector<int32_t> vkeys;
    for (const std::string& name : names) {
        const std::string folded = Folded(name);
        std::optional<int32_t> vkey;
        for (const ShortName& shortName : kShortNames)
            if (folded == Folded(shortName.name)) vkey = shortName.vkey;
        if (!vkey && folded.size() == 1 && std::isalnum(static_cast<unsigned char>(folded[0])))
            vkey = std::toupper(static_cast<unsigned char>(folded[0]));
        if (!vkey) {
            std::string trimmed = name;
            trimmed.erase(0, trimmed.find_first_not_of(' '));
            trimmed.erase(trimmed.find_last_not_of(' ') + 1);
            vkey = parseKey(trimmed);
        }
        if (!vkey || std::find(vkeys.begin(), vkeys.end(), *vkey) != vkeys.end()) return std::nullopt;
        vkeys.push_back(*vkey);
    }
    return InHotkeyOrder(vkeys);
}

}  // namespace morvane
