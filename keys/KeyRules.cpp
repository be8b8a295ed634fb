#include "keys/KeyRules.h"

#include <algorithm>

#include "i18n/Translate.h"
#include "keys/KeyNames.h"

namespace morvane {

int32_t LowestValue(KeyKind kind) { return kind == KeyKind::TouchZone ? kLowestTouchZone : 0; }

int32_t HighestValue(KeyKind kind) {
    switch (kind) {
        case KeyKind::VKey: return kVKeyCount - 1;
        case KeyKind::GameKey: return kGameKeyCount - 1;
        case KeyKind::Pad: return kHighestPad;
        case KeyKind::TouchZone: return kHighestTouchZone;
        case KeyKind::Widget: return kHighestWidget;
    }
    return 0;
}

KeyKind KeyKindOf(const KeyTest& test) {
    if (test.IsZone()) return KeyKind::TouchZone;
    if (test.IsWidget()) return KeyKind::Widget;
    return test.IsButton() ? KeyKind::GameKey : KeyKind::VKey;
}

KeyRefusal CheckRange(KeyKind kind, int32_t value) {
    if (value >= LowestValue(kind) && value <= HighestValue(kind)) return KeyRefusal::Accepted;
    switch (kind) {
        case KeyKind::VKey: return KeyRefusal::VKeyOutOfRange;
        case KeyKind::GameKey: return KeyRefusal::GameKeyOutOfRange;
        case KeyKind::Pad: return KeyRefusal::PadOutOfRange;
        case KeyKind::TouchZone: return KeyRefusal::ZoneOutOfRange;
        case KeyKind::Widget: return KeyRefusal::WidgetOutOfRange;
    }
    return KeyRefusal::VKeyOutOfRange;
}

KeyRefusal CheckTouchValue(const KeyTest& test, int32_t value) {
    const KeyRefusal range = CheckRange(KeyKindOf(test), value);
    if (range != KeyRefusal::Accepted) return range;
    if (test.IsWidget() && !test.wide && value > kHighestNarrowVKey && value != test.key)
        return KeyRefusal::WidgetNeedsWide;
    return KeyRefusal::Accepted;
}

KeyRefusal CheckVKey(const KeyTest& test, int32_t vkey) {
    if (!test.Changeable()) return KeyRefusal::KeyUntold;
    const KeyRefusal range = CheckRange(KeyKind::VKey, vkey);
    if (range != KeyRefusal::Accepted) return range;
    if (!test.wide && vkey > kHighestNarrowVKey && vkey != test.key) return KeyRefusal::NeedsWideParameter;
    return KeyRefusal::Accepted;
}

std::string RefusalText(KeyRefusal refusal, int32_t value, VKeyNaming naming) {
    const std::string number = std::to_string(value);
    const auto filled = [&number](const std::string& text) { return Fill(text, {{"number", number}}); };
    switch (refusal) {
        case KeyRefusal::Accepted: return std::string();
        // TRANSLATORS: a VKey is a key's virtual-key code, {number} one given.
        case KeyRefusal::VKeyOutOfRange: return filled(Tr("VKey {number} is not between 0 and 255"));
        case KeyRefusal::GameKeyOutOfRange: return filled(Tr("game key {number} is not between 0 and 19"));
        case KeyRefusal::PadOutOfRange: return filled(Tr("pad {number} is not 0 or 1"));
        case KeyRefusal::NeedsWideParameter: {
            std::string vkey = VKeyEntryName(value);
            // TRANSLATORS: a VKey is a key's virtual-key code: "VKey 160".
            if (naming == VKeyNaming::ByNumber) vkey = filled(Tr("VKey {number}"));
            // TRANSLATORS: {vkey} is "VKey 160" or "Left Shift (0xA0)".
            return Fill(Tr("{vkey} needs 16 bits and the key parameter there has 8"), {{"vkey", vkey}});
        }
        // TRANSLATORS: {number} is the number of a test the user gave.
        case KeyRefusal::NoSuchTest: return filled(Tr("there is no such key test ({number})"));
        case KeyRefusal::KeyUntold: return Tr("its key is kept in a variable whose value cannot be told");
        case KeyRefusal::ZoneOutOfRange: return filled(Tr("touch zone {number} is not between 1 and 9"));
        case KeyRefusal::WidgetOutOfRange: return filled(Tr("widget {number} is not between 0 and 255"));
        case KeyRefusal::WidgetNeedsWide:
            return filled(Tr("widget {number} needs 16 bits and the parameter there has 8"));
    }
    return std::string();
}

namespace {

bool IsCodeCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// `form` (a TrN text) with {count} the room of a cheat test's string.
std::string WithRoom(const std::string& form, const KeyTest& test) {
    return Fill(form, {{"count", std::to_string(test.room)}});
}

uint64_t Room(const KeyTest& test) { return static_cast<uint64_t>(std::max<int32_t>(test.room, 0)); }

}  // namespace

std::string CheatCodeToWrite(const std::string& typed) {
    std::string code = typed;
    for (char& c : code)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return code;
}

bool IsCheatCodeText(const std::string& typed) {
    const std::string code = CheatCodeToWrite(typed);
    return !code.empty() && std::all_of(code.begin(), code.end(), IsCodeCharacter);
}

bool IsSameCheatCode(const std::string& held, const std::string& typed) {
    return CheatCodeToWrite(held) == CheatCodeToWrite(typed);
}

CheatRefusal CheckCheatCode(const KeyTest& test, const std::string& typed) {
    const std::string code = CheatCodeToWrite(typed);
    if (IsSameCheatCode(test.code, typed)) return CheatRefusal::Accepted;
    if (!std::all_of(code.begin(), code.end(), IsCodeCharacter)) return CheatRefusal::NotLettersAndDigits;
    const auto length = static_cast<int64_t>(code.size());
    if (test.form == StringForm::LengthPrefixed) {
        if (length != test.room) return CheatRefusal::WrongLength;
    } else {
        if (length == 0) return CheatRefusal::Empty;
        if (length > test.room) return CheatRefusal::TooLong;
    }
    return CheatRefusal::Accepted;
}

std::string CheatRefusalText(CheatRefusal refusal, const KeyTest& test) {
    switch (refusal) {
        case CheatRefusal::Accepted: return std::string();
        case CheatRefusal::NotLettersAndDigits: return Tr("a cheat code has only letters A-Z and digits");
        case CheatRefusal::TooLong:
            return WithRoom(TrN("this code may have at most {count} character",
                                "this code may have at most {count} characters", Room(test)),
                            test);
        case CheatRefusal::WrongLength:
            return WithRoom(TrN("this code must have exactly {count} character",
                                "this code must have exactly {count} characters", Room(test)),
                            test);
        case CheatRefusal::Empty:
            return WithRoom(TrN("this code must have 1 to {count} character",
                                "this code must have 1 to {count} characters", Room(test)),
                            test);
        case CheatRefusal::NoSuchTest: return Tr("there is no such cheat test");
    }
    return std::string();
}

}  // namespace morvane
