#include "cli/KeyArgument.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "i18n/Translate.h"
#include "io/Utf8Text.h"
#include "script/KnownOpcodes.h"
#include "keys/KeyNames.h"

namespace morvane::cli {

namespace {

// The text in small letters (of every language's names: "ПРОБЕЛ" is
// "пробел"), without the spaces around it or around a "|"
// (names of earlier versions wrote "Aim Weapon|Hand Brake").
std::string Folded(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    std::string folded;
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] == '|') {
            while (!folded.empty() && folded.back() == ' ') folded.pop_back();
            folded += '|';
            while (i + 1 < end && text[i + 1] == ' ') ++i;
            continue;
        }
        folded += text[i];
    }
    return SmallLetters(folded);
}

// Whether a table name answers to `wanted`: the whole name, or for a game
// key either side of kControlSeparator ("Cross", "Sprint | Accelerate").
bool NameMatches(const std::string& name, const std::string& wanted) {
    if (Folded(name) == wanted) return true;
    const std::size_t separator = name.find(kControlSeparator);
    if (separator == std::string::npos) return false;
    return Folded(name.substr(0, separator)) == wanted ||
           Folded(name.substr(separator + std::string(kControlSeparator).size())) == wanted;
}

// The one entry of [first, first + count) that answers to `wanted`.
std::optional<int32_t> FindName(const std::string& wanted, int first, int count) {
    std::optional<int32_t> found;
    for (int i = 0; i < count; ++i) {
        if (!NameMatches(TrC("key", kKeyNameTable[first + i]), wanted)) continue;
        if (found) return std::nullopt;  // shared by several keys
        found = i;
    }
    return found;
}

// Names earlier versions showed, still read so that scripts of commands keep
// working. (Names that only lost a leading space match anyway: names are
// compared trimmed.)
struct FormerName {
    const char* name;
    KeyKind kind;
    int32_t key;
};
constexpr FormerName kFormerNames[] = {
    {"APPLICATIN Key", KeyKind::VKey, 0x5D},                 // now "Application Key"
    {"?", KeyKind::GameKey, 12},                             // now "Start"
    {"Left Menu", KeyKind::VKey, 0xA4},                      // now "Left Alt"
    {"Right Menu", KeyKind::VKey, 0xA5},                     // now "Right Alt"
    {"Square: Jump | Brake/Reserve", KeyKind::GameKey, 14},  // now "... Brake/Reverse"
};

// A VKey as the VKey list offers it: "F2 (0x71)", or "VKey 0xE8" for one
// without a name; nothing for any other text.
std::optional<int32_t> FindListEntry(const std::string& wanted) {
    for (int32_t code = 0; code < kVKeyCount; ++code)
        if (Folded(VKeyEntryName(code)) == wanted) return code;
    return std::nullopt;
}

std::optional<int32_t> FindFormerName(const std::string& wanted, KeyKind kind) {
    for (const FormerName& former : kFormerNames)
        if (former.kind == kind && Folded(former.name) == wanted) return former.key;
    return std::nullopt;
}

}  // namespace

std::optional<int64_t> ParseNumber(const std::string& text) {
    std::string digits = Folded(text);
    bool negative = false;
    if (!digits.empty() && digits[0] == '-') {
        negative = true;
        digits.erase(0, 1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && digits[1] == 'x') {
        base = 16;
        digits.erase(0, 2);
    }
    if (digits.empty() || digits.size() > 18) return std::nullopt;
    for (char c : digits)
        if (!(base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return std::nullopt;
    const int64_t value = std::strtoll(digits.c_str(), nullptr, base);
    return negative ? -value : value;
}

namespace {

// A key by its number or by its name in the language spoken now.
std::optional<int32_t> ParseKeyNamed(const std::string& text, KeyKind kind) {
    if (const auto number = ParseNumber(text)) {
        if (*number < INT32_MIN || *number > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(*number);
    }
    const std::string wanted = Folded(text);
    if (wanted.empty()) return std::nullopt;
    if (const auto former = FindFormerName(wanted, kind)) return former;
    switch (kind) {
        case KeyKind::VKey:
            if (const auto entry = FindListEntry(wanted)) return entry;
            return FindName(wanted, 0, kVKeyCount);
        case KeyKind::GameKey: return FindName(wanted, kVKeyCount, kGameKeyCount);
        case KeyKind::Pad:
            for (int32_t pad = 0; pad <= kHighestPad; ++pad)
                if (Folded(TrC("key", kPadNames[pad])) == wanted) return pad;
            return std::nullopt;
        case KeyKind::TouchZone:
            for (int32_t zone = kLowestTouchZone; zone <= kHighestTouchZone; ++zone)
                if (Folded(TouchZoneName(zone)) == wanted || Folded(TouchZoneEntryName(zone)) == wanted) return zone;
            return std::nullopt;
        case KeyKind::Widget:
            for (int32_t widget = 0; widget <= kHighestWidget; ++widget)
                if ((!WidgetName(widget).empty() && Folded(WidgetName(widget)) == wanted) ||
                    Folded(WidgetEntryName(widget)) == wanted)
                    return widget;
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::optional<int32_t> ParseKey(const std::string& text, KeyKind kind) {
    // The English names first, as scripts of commands and the examples
    // write them whatever the player's language; then the names the window
    // and the text output show in it.
    {
        const EnglishTexts english;
        if (const auto key = ParseKeyNamed(text, kind)) return key;
    }
    return ParseKeyNamed(text, kind);
}

}  // namespace morvane::cli
