#include "keys/KeyRules.h"

namespace morvane {

int32_t HighestValue(KeyKind kind) {
    switch (kind) {
        case KeyKind::VKey: return kVKeyCount - 1;
        case KeyKind::GameKey: return kGameKeyCount - 1;
        case KeyKind::Pad: return kHighestPad;
    }
    return 0;
}

KeyRefusal CheckRange(KeyKind kind, int32_t value) {
    if (value >= 0 && value <= HighestValue(kind)) return KeyRefusal::Accepted;
    switch (kind) {
        case KeyKind::VKey: return KeyRefusal::VKeyOutOfRange;
        case KeyKind::GameKey: return KeyRefusal::GameKeyOutOfRange;
        case KeyKind::Pad: return KeyRefusal::PadOutOfRange;
    }
    return KeyRefusal::VKeyOutOfRange;
}

KeyRefusal CheckVKey(const KeyOccurrence& occurrence, int32_t vkey) {
    const KeyRefusal range = CheckRange(KeyKind::VKey, vkey);
    if (range != KeyRefusal::Accepted) return range;
    if (!occurrence.wide && vkey > kHighestNarrowVKey && vkey != occurrence.key) return KeyRefusal::NeedsWideParameter;
    return KeyRefusal::Accepted;
}

std::string RefusalText(KeyRefusal refusal, int32_t value) {
    const std::string number = std::to_string(value);
    switch (refusal) {
        case KeyRefusal::Accepted: return std::string();
        case KeyRefusal::VKeyOutOfRange: return "VKey " + number + " is not between 0 and 255";
        case KeyRefusal::GameKeyOutOfRange: return "game key " + number + " is not between 0 and 19";
        case KeyRefusal::PadOutOfRange: return "pad " + number + " is not 0 or 1";
        case KeyRefusal::NeedsWideParameter:
            return "VKey " + number + " needs 16 bits and the key parameter there has 8";
    }
    return std::string();
}

}  // namespace morvane
