#include <gtest/gtest.h>

#include <set>

#include "keys/KeyCodes.h"
#include "keys/KeyNames.h"

using namespace morvane;

namespace {

// The key's VKey by its name, so a failure reads as "A Key", not 65.
std::string NameOf(std::optional<int32_t> vkey) { return vkey ? VKeyName(*vkey) : std::string("(none)"); }
std::string Key(int code, uint32_t raw = 0) { return NameOf(VKeyForToolkitKey(code, raw, 0, KeySystem::X11)); }

}  // namespace

TEST(KeyCodes, LettersAndDigitsAreTheirOwnVKeys) {
    EXPECT_EQ(Key('A'), "A Key");
    EXPECT_EQ(Key('z'), "Z Key");  // a lower-case character names the same key
    EXPECT_EQ(Key('0'), "0 Key");
    EXPECT_EQ(Key('9'), "9 Key");
    EXPECT_EQ(Key('!'), "1 Key");  // shifted: still the digit's key
}

TEST(KeyCodes, FunctionKeysUpToF24) {
    EXPECT_EQ(Key(toolkit::kF1), "F1");
    EXPECT_EQ(Key(toolkit::kF1 + 11), "F12");
    EXPECT_EQ(Key(toolkit::kF1 + 23), "F24");
    EXPECT_EQ(VKeyForToolkitKey(toolkit::kF1 + 23, 0), 0x87);
}

TEST(KeyCodes, TheNumericPadWithAndWithoutNumLock) {
    EXPECT_EQ(Key(toolkit::kNumpad0), "Numpad 0");
    EXPECT_EQ(Key(toolkit::kNumpad0 + 9), "Numpad 9");
    EXPECT_EQ(Key(toolkit::kNumpadEnd), "Numpad 1");  // the same key, Num Lock off
    EXPECT_EQ(Key(toolkit::kNumpadUp), "Numpad 8");
    EXPECT_EQ(Key(toolkit::kNumpadMultiply), "Numpad *");
    EXPECT_EQ(Key(toolkit::kDivide), "Numpad /");
    EXPECT_EQ(Key(toolkit::kNumpadDecimal), "Numpad .");
    EXPECT_EQ(Key(toolkit::kNumLock), VKeyName(0x90));
}

TEST(KeyCodes, ArrowsAndTheNavigationBlock) {
    EXPECT_EQ(Key(toolkit::kLeft), "Left Arrow");
    EXPECT_EQ(Key(toolkit::kUp), "Up Arrow");
    EXPECT_EQ(Key(toolkit::kRight), "Right Arrow");
    EXPECT_EQ(Key(toolkit::kDown), "Down Arrow");
    EXPECT_EQ(VKeyForToolkitKey(toolkit::kPageUp, 0), 0x21);
    EXPECT_EQ(VKeyForToolkitKey(toolkit::kInsert, 0), 0x2D);
    EXPECT_EQ(VKeyForToolkitKey(toolkit::kDelete, 0), 0x2E);
}

TEST(KeyCodes, EachSideOfAModifierAndTheWindowsAndMenuKeysFromTheSystemsKeyCode) {
    // The toolkit's code says only Shift, Ctrl or Alt (and Alt for the
    // Windows keys); the system's own code tells which key was pressed.
    const struct {
        const char* what;
        int keyCode;
        uint32_t keysym;  // X11
        uint32_t vkey;    // Windows: the key message's VKey
        uint32_t flags;   // Windows: its scan code and extended-key flag
        int32_t expected;
    } keys[] = {
        {"left Shift", toolkit::kShift, 0xFFE1, 0x10, 0x2A << 16, 0xA0},
        {"right Shift", toolkit::kShift, 0xFFE2, 0x10, 0x36 << 16, 0xA1},
        {"left Ctrl", toolkit::kControl, 0xFFE3, 0x11, 0x1D << 16, 0xA2},
        {"right Ctrl", toolkit::kControl, 0xFFE4, 0x11, (0x1D << 16) | (1u << 24), 0xA3},
        {"left Alt", toolkit::kAlt, 0xFFE9, 0x12, 0x38 << 16, 0xA4},
        {"right Alt", toolkit::kAlt, 0xFFEA, 0x12, (0x38 << 16) | (1u << 24), 0xA5},
        {"left Windows key", toolkit::kAlt, 0xFFEB, 0x5B, (0x5B << 16) | (1u << 24), 0x5B},
        {"right Windows key", toolkit::kAlt, 0xFFEC, 0x5C, (0x5C << 16) | (1u << 24), 0x5C},
        {"Menu key", toolkit::kWindowsMenu, 0xFF67, 0x5D, (0x5D << 16) | (1u << 24), 0x5D},
        {"Enter", toolkit::kReturn, 0xFF0D, 0x0D, 0x1C << 16, 0x0D},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(VKeyForToolkitKey(k.keyCode, k.keysym, 0, KeySystem::X11), k.expected) << k.what << " on X11";
        EXPECT_EQ(VKeyForToolkitKey(k.keyCode, k.vkey, k.flags, KeySystem::Windows), k.expected)
            << k.what << " on Windows";
    }
    // Without the system's code only the side-less key is known.
    EXPECT_EQ(VKeyForToolkitKey(toolkit::kShift, 0, 0, KeySystem::X11), 0x10);
    EXPECT_EQ(VKeyForToolkitKey(toolkit::kControl, 0, 0, KeySystem::Windows), 0x11);
}

TEST(KeyCodes, PunctuationKeysOfTheUsLayoutAreTheirOemKeys) {
    EXPECT_EQ(VKeyForToolkitKey(';', 0), 0xBA);
    EXPECT_EQ(VKeyForToolkitKey(':', 0), 0xBA);
    EXPECT_EQ(VKeyForToolkitKey('=', 0), 0xBB);
    EXPECT_EQ(VKeyForToolkitKey(',', 0), 0xBC);
    EXPECT_EQ(VKeyForToolkitKey('-', 0), 0xBD);
    EXPECT_EQ(VKeyForToolkitKey('/', 0), 0xBF);
    EXPECT_EQ(VKeyForToolkitKey('`', 0), 0xC0);
    EXPECT_EQ(VKeyForToolkitKey('[', 0), 0xDB);
    EXPECT_EQ(VKeyForToolkitKey('\\', 0), 0xDC);
    EXPECT_EQ(VKeyForToolkitKey('"', 0), 0xDE);
}

TEST(KeyCodes, KeysWithoutAVKeyAndMouseButtons) {
    EXPECT_EQ(VKeyForToolkitKey(0, 0), std::nullopt);
    EXPECT_EQ(VKeyForToolkitKey(0x00E9, 0), std::nullopt);  // é: no key of the US layout
    // Each mouse button is a key of its own, the first three named after it.
    EXPECT_EQ(VKeyName(VKeyForMouseButton(MouseButton::Left)), "Left mouse button");
    EXPECT_EQ(VKeyName(VKeyForMouseButton(MouseButton::Right)), "Right mouse button");
    EXPECT_EQ(VKeyName(VKeyForMouseButton(MouseButton::Middle)), "Middle mouse button");
    std::set<int32_t> buttons;
    for (const MouseButton b :
         {MouseButton::Left, MouseButton::Right, MouseButton::Middle, MouseButton::Extra1, MouseButton::Extra2})
        buttons.insert(VKeyForMouseButton(b));
    EXPECT_EQ(buttons.size(), 5u);
}
