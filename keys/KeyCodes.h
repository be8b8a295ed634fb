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

// The Windows virtual-key code of a key the toolkit reports, or nothing for
// a key that has none. `rawKeyCode` is the key's code in the system's own
// terms: on Linux an X keysym, which tells the left Shift, Ctrl and Alt from
// the right ones (0 when unknown); on Windows it already is the VKey and is
// taken as it is.
std::optional<int32_t> VKeyForToolkitKey(int keyCode, uint32_t rawKeyCode);

// The mouse buttons a key test can test, and their VKeys.
enum class MouseButton { Left, Right, Middle, Extra1, Extra2 };
int32_t VKeyForMouseButton(MouseButton button);

}  // namespace morvane
