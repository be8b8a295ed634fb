#include "keys/KeyCodes.h"

#include <array>
#include <utility>

namespace morvane {

namespace {

using Pair = std::pair<int, int32_t>;

// The one table from toolkit key codes to VKeys, besides the runs that map
// one to one (letters, digits, numpad digits, F1 to F24).
constexpr Pair kToolkitToVKey[] = {
    {toolkit::kBack, 0x08},
    {toolkit::kTab, 0x09},
    {toolkit::kReturn, 0x0D},
    {toolkit::kEscape, 0x1B},
    {toolkit::kSpace, 0x20},
    {toolkit::kDelete, 0x2E},
    {toolkit::kLeftButton, 0x01},
    {toolkit::kRightButton, 0x02},
    {toolkit::kCancel, 0x03},
    {toolkit::kMiddleButton, 0x04},
    {toolkit::kClear, 0x0C},
    {toolkit::kShift, 0x10},
    {toolkit::kAlt, 0x12},
    {toolkit::kControl, 0x11},
    {toolkit::kMenu, 0x12},
    {toolkit::kPause, 0x13},
    {toolkit::kCapital, 0x14},
    {toolkit::kEnd, 0x23},
    {toolkit::kHome, 0x24},
    {toolkit::kLeft, 0x25},
    {toolkit::kUp, 0x26},
    {toolkit::kRight, 0x27},
    {toolkit::kDown, 0x28},
    {toolkit::kSelect, 0x29},
    {toolkit::kPrint, 0x2A},
    {toolkit::kExecute, 0x2B},
    {toolkit::kSnapshot, 0x2C},
    {toolkit::kInsert, 0x2D},
    {toolkit::kHelp, 0x2F},
    {toolkit::kMultiply, 0x6A},
    {toolkit::kAdd, 0x6B},
    {toolkit::kSeparator, 0x6C},
    {toolkit::kSubtract, 0x6D},
    {toolkit::kDecimal, 0x6E},
    {toolkit::kDivide, 0x6F},
    {toolkit::kNumLock, 0x90},
    {toolkit::kScroll, 0x91},
    {toolkit::kPageUp, 0x21},
    {toolkit::kPageDown, 0x22},
    {toolkit::kNumpadSpace, 0x20},
    {toolkit::kNumpadTab, 0x09},
    {toolkit::kNumpadEnter, 0x0D},
    {toolkit::kNumpadHome, 0x67},
    {toolkit::kNumpadLeft, 0x64},
    {toolkit::kNumpadUp, 0x68},
    {toolkit::kNumpadRight, 0x66},
    {toolkit::kNumpadDown, 0x62},
    {toolkit::kNumpadPageUp, 0x69},
    {toolkit::kNumpadPageDown, 0x63},
    {toolkit::kNumpadEnd, 0x61},
    {toolkit::kNumpadBegin, 0x65},
    {toolkit::kNumpadInsert, 0x60},
    {toolkit::kNumpadDelete, 0x6E},
    {toolkit::kNumpadMultiply, 0x6A},
    {toolkit::kNumpadAdd, 0x6B},
    {toolkit::kNumpadSeparator, 0x6C},
    {toolkit::kNumpadSubtract, 0x6D},
    {toolkit::kNumpadDecimal, 0x6E},
    {toolkit::kNumpadDivide, 0x6F},
    {toolkit::kWindowsLeft, 0x5B},
    {toolkit::kWindowsRight, 0x5C},
    {toolkit::kWindowsMenu, 0x5D},
    // The keys that type punctuation (US layout), unshifted and shifted.
    {';', 0xBA},
    {':', 0xBA},
    {'=', 0xBB},
    {'+', 0xBB},
    {',', 0xBC},
    {'<', 0xBC},
    {'-', 0xBD},
    {'_', 0xBD},
    {'.', 0xBE},
    {'>', 0xBE},
    {'/', 0xBF},
    {'?', 0xBF},
    {'`', 0xC0},
    {'~', 0xC0},
    {'[', 0xDB},
    {'{', 0xDB},
    {'\\', 0xDC},
    {'|', 0xDC},
    {']', 0xDD},
    {'}', 0xDD},
    {'\'', 0xDE},
    {'"', 0xDE},
    // The digits' shifted characters.
    {'!', '1'},
    {'@', '2'},
    {'#', '3'},
    {'$', '4'},
    {'%', '5'},
    {'^', '6'},
    {'&', '7'},
    {'*', '8'},
    {'(', '9'},
    {')', '0'},
};

// X keysyms of the keys whose toolkit code does not tell which key it was
// (the toolkit reports Shift, Ctrl or Alt for either side, and Alt for the
// Windows keys too), and their VKeys.
constexpr Pair kX11KeysOfASide[] = {
    {0xFFE1, 0xA0},  // Shift_L
    {0xFFE2, 0xA1},  // Shift_R
    {0xFFE3, 0xA2},  // Control_L
    {0xFFE4, 0xA3},  // Control_R
    {0xFFE9, 0xA4},  // Alt_L
    {0xFFEA, 0xA5},  // Alt_R
    {0xFE03, 0xA5},  // ISO_Level3_Shift (AltGr)
    {0xFFE7, 0xA4},  // Meta_L
    {0xFFE8, 0xA5},  // Meta_R
    {0xFFEB, 0x5B},  // Super_L: the left Windows key
    {0xFFEC, 0x5C},  // Super_R
    {0xFF67, 0x5D},  // Menu: the Application key
};

// Windows: the VKeys that stand for either side, and the scan code of the
// right Shift; the right Ctrl and Alt are extended keys.
constexpr uint32_t kVKeyShift = 0x10;
constexpr uint32_t kVKeyControl = 0x11;
constexpr uint32_t kVKeyMenu = 0x12;  // Alt
constexpr uint32_t kRightShiftScanCode = 0x36;
constexpr int kScanCodeShift = 16;
constexpr uint32_t kScanCodeMask = 0xFF;
constexpr uint32_t kExtendedKeyFlag = 1u << 24;
constexpr int32_t kHighestVKey = 0xFF;

std::optional<int32_t> WindowsVKey(uint32_t vkey, uint32_t flags) {
    const bool extended = (flags & kExtendedKeyFlag) != 0;
    switch (vkey) {
        case kVKeyShift: return ((flags >> kScanCodeShift) & kScanCodeMask) == kRightShiftScanCode ? 0xA1 : 0xA0;
        case kVKeyControl: return extended ? 0xA3 : 0xA2;
        case kVKeyMenu: return extended ? 0xA5 : 0xA4;
        default: break;
    }
    if (vkey > 0 && vkey <= static_cast<uint32_t>(kHighestVKey)) return static_cast<int32_t>(vkey);
    return std::nullopt;
}

constexpr int kVKeyF1 = 0x70;
constexpr int kVKeyNumpad0 = 0x60;
constexpr int kFunctionKeys = 24;

}  // namespace

std::optional<int32_t> VKeyForToolkitKey(int keyCode, uint32_t rawKeyCode, uint32_t rawKeyFlags, KeySystem system) {
    if (system == KeySystem::Windows && rawKeyCode != 0) return WindowsVKey(rawKeyCode, rawKeyFlags);
    if (system == KeySystem::X11) {
        for (const Pair& key : kX11KeysOfASide)
            if (static_cast<uint32_t>(key.first) == rawKeyCode) return key.second;
    }
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9')) return keyCode;
    if (keyCode >= 'a' && keyCode <= 'z') return keyCode - 'a' + 'A';
    if (keyCode >= toolkit::kNumpad0 && keyCode <= toolkit::kNumpad0 + 9)
        return kVKeyNumpad0 + (keyCode - toolkit::kNumpad0);
    if (keyCode >= toolkit::kF1 && keyCode < toolkit::kF1 + kFunctionKeys) return kVKeyF1 + (keyCode - toolkit::kF1);
    if (keyCode >= toolkit::kNumpadF1 && keyCode <= toolkit::kNumpadF1 + 3)
        return kVKeyF1 + (keyCode - toolkit::kNumpadF1);
    for (const Pair& pair : kToolkitToVKey)
        if (pair.first == keyCode) return pair.second;
    return std::nullopt;
}

int32_t VKeyForMouseButton(MouseButton button) {
    switch (button) {
        case MouseButton::Left: return 0x01;
        case MouseButton::Right: return 0x02;
        case MouseButton::Middle: return 0x04;
        case MouseButton::Extra1: return 0x05;
        case MouseButton::Extra2: return 0x06;
    }
    return 0x01;
}

}  // namespace morvane
