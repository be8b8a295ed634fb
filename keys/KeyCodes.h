#pragma once

#include <cstdint>
#include <optional>

namespace morvane {

// Key codes as the window's toolkit (wxWidgets) reports them: a character
// code for the keys that type one (letters in upper case), and the numbers
// of its WXK_ names for the others. The window checks at compile time that
// these are the toolkit's own values.
namespace toolkit {
constexpr int kBack = 8;
constexpr int kTab = 9;
constexpr int kReturn = 13;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kDelete = 127;
constexpr int kLeftButton = 301;
constexpr int kRightButton = 302;
constexpr int kCancel = 303;
constexpr int kMiddleButton = 304;
constexpr int kClear = 305;
constexpr int kShift = 306;
constexpr int kAlt = 307;
constexpr int kControl = 308;
constexpr int kMenu = 309;
constexpr int kPause = 310;
constexpr int kCapital = 311;
constexpr int kEnd = 312;
constexpr int kHome = 313;
constexpr int kLeft = 314;
constexpr int kUp = 315;
constexpr int kRight = 316;
constexpr int kDown = 317;
constexpr int kSelect = 318;
constexpr int kPrint = 319;
constexpr int kExecute = 320;
constexpr int kSnapshot = 321;
constexpr int kInsert = 322;
constexpr int kHelp = 323;
constexpr int kNumpad0 = 324;  // to kNumpad0 + 9
constexpr int kMultiply = 334;
constexpr int kAdd = 335;
constexpr int kSeparator = 336;
constexpr int kSubtract = 337;
constexpr int kDecimal = 338;
constexpr int kDivide = 339;
constexpr int kF1 = 340;  // to kF1 + 23 (F24)
constexpr int kNumLock = 364;
constexpr int kScroll = 365;
constexpr int kPageUp = 366;
constexpr int kPageDown = 367;
constexpr int kNumpadSpace = 368;
constexpr int kNumpadTab = 369;
constexpr int kNumpadEnter = 370;
constexpr int kNumpadF1 = 371;  // to kNumpadF1 + 3
constexpr int kNumpadHome = 375;
constexpr int kNumpadLeft = 376;
constexpr int kNumpadUp = 377;
constexpr int kNumpadRight = 378;
constexpr int kNumpadDown = 379;
constexpr int kNumpadPageUp = 380;
constexpr int kNumpadPageDown = 381;
constexpr int kNumpadEnd = 382;
constexpr int kNumpadBegin = 383;
constexpr int kNumpadInsert = 384;
constexpr int kNumpadDelete = 385;
constexpr int kNumpadEqual = 386;
constexpr int kNumpadMultiply = 387;
constexpr int kNumpadAdd = 388;
constexpr int kNumpadSeparator = 389;
constexpr int kNumpadSubtract = 390;
constexpr int kNumpadDecimal = 391;
constexpr int kNumpadDivide = 392;
constexpr int kWindowsLeft = 393;
constexpr int kWindowsRight = 394;
constexpr int kWindowsMenu = 395;
}  // namespace toolkit

// The system whose raw key codes a key event carries.
enum class KeySystem {
    X11,      // the raw code is the X keysym: Shift_R, Super_L, Menu ... (0 when unknown)
    Windows,  // the raw code is the VKey of the key message, the raw flags its lParam
};

#ifdef _WIN32
constexpr KeySystem kThisKeySystem = KeySystem::Windows;
#else
constexpr KeySystem kThisKeySystem = KeySystem::X11;
#endif

// The Windows virtual-key code of the key pressed, side included, or nothing
// for a key that has none. `keyCode` is the toolkit's key code; `rawKeyCode`
// and `rawKeyFlags` are the system's own: on X11 the keysym tells the left
// Shift, Ctrl, Alt and Windows keys from the right ones, and the Menu key from
// Alt; on Windows the key message's VKey says only "Shift", "Ctrl" or "Alt",
// and its scan code (bits 16-23 of the flags) and extended-key flag (bit 24)
// tell the side.
std::optional<int32_t> VKeyForToolkitKey(int keyCode, uint32_t rawKeyCode, uint32_t rawKeyFlags = 0,
                                         KeySystem system = kThisKeySystem);

// The mouse buttons a key test can test, and their VKeys.
enum class MouseButton { Left, Right, Middle, Extra1, Extra2 };
int32_t VKeyForMouseButton(MouseButton button);

}  // namespace morvane
