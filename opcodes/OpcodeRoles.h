#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "i18n/Translate.h"
#include "opcodes/GameId.h"

namespace morvane {

// What the walk does with an instruction besides stepping over it.
enum class OpcodeRole : uint8_t {
    Plain,       // parameters stepped over by the table's count
    VKeyTest,    // one parameter: a Windows virtual-key code
    ButtonTest,  // two parameters: a pad number, then a game key (pad button) number
    SkipsData,   // the game steps over kSkippedDataBytes raw bytes after the opcode
    CheatTest,   // one parameter: a typed cheat code as a string constant
    // Control flow; the parameters are stepped over by the table's count.
    Jump,      // goes to a label and never on: what follows is reached only through a label
    EndsPath,  // a return or an end of script: what follows is reached only through a label
    Branch,    // may go to a label (a conditional jump, a call, a new script) and goes on
    // One integer parameter: how many conditions follow and how they join.
    Condition,
    // The mobile editions' touch screen (see script/TouchZones.h).
    TouchTest,   // a variable that gets the state, a touch zone, a least time
    SlideTest,   // a variable that gets the state, the zones a slide starts and ends in, a least and a most time
    WidgetTest,  // one parameter: a widget of San Andreas mobile's touch interface
};

// The integer of a Condition instruction (00D6, `if`): 0 for one
// condition; 1 to 7 for 2 to 8 that must all hold (`if and`); 21 to 27 for
// 2 to 8 of which one must (`if or`).
constexpr int32_t kFirstAllConditions = 1;
constexpr int32_t kLastAllConditions = 7;
constexpr int32_t kFirstAnyConditions = 21;
constexpr int32_t kLastAnyConditions = 27;
constexpr int32_t kAnyConditionsBase = 20;

// Raw bytes after an opcode of role SkipsData (San Andreas keeps debug text there).
constexpr int kSkippedDataBytes = 128;

// Which parameters of a Jump or Branch are labels: bit n for parameter n.
constexpr uint32_t kFirstParameter = 1u << 0;
// A switch's labels: its default and one after each case value (0871: the
// default is parameter 3, then cases from parameter 4; 0872: cases only).
constexpr uint32_t kSwitchStartLabels = 0x2AAA8u;      // parameters 3, 5, 7, ... 17
constexpr uint32_t kSwitchContinuedLabels = 0x2AAAAu;  // parameters 1, 3, 5, ... 17

struct SpecialOpcode {
    uint8_t games;  // GameSet
    uint16_t opcode;
    OpcodeRole role;
    uint32_t labels = 0;  // Jump and Branch: which parameters are labels
};

// Every opcode that tests a key or a cheat code, skips data or steers the
// script's control flow, per game: the one list the scan, the window, the
// command line and the tests read. An opcode counts only where the opcode
// table of that game knows it.
inline constexpr SpecialOpcode kSpecialOpcodes[] = {
    // Key tests, button tests and typed cheat codes.
    {kInSanAndreas, 0x0AB0, OpcodeRole::VKeyTest},          // CLEO is_key_pressed
    {kInSanAndreas, 0x0E3D, OpcodeRole::VKeyTest},          // CLEO+ is_key_just_pressed
    {kInSanAndreas, 0x2080, OpcodeRole::VKeyTest},          // CLEO 5 is_key_just_pressed
    {kInSanAndreas, 0x0C89, OpcodeRole::VKeyTest},          // SAMPFUNCS is_key_just_pressed
    {kInOlderGames, 0x05EE, OpcodeRole::VKeyTest},          // is_key_pressed of the script libraries
    {kInOlderGames, 0x0AB0, OpcodeRole::VKeyTest},          // CLEO is_key_pressed
    {kInEveryGame, 0x00E1, OpcodeRole::ButtonTest},         // is_button_pressed
    {kInSanAndreas, 0x0E3E, OpcodeRole::ButtonTest},        // CLEO+ is_button_just_pressed
    {kInEveryGame, 0x0ADC, OpcodeRole::CheatTest},          // test_cheat of the script libraries
    {kInMobileGames, 0x0DE0, OpcodeRole::TouchTest},        // CLEO Android get_touch_point_state
    {kInMobileGames, 0x0DE1, OpcodeRole::SlideTest},        // CLEO Android get_touch_slide_state
    {kInSanAndreasMobile, 0x0A51, OpcodeRole::WidgetTest},  // is_widget_pressed
    {kInSanAndreasMobile, 0x0A52, OpcodeRole::WidgetTest},  // is_widget_released
    {kInSanAndreasMobile, 0x0A53, OpcodeRole::WidgetTest},  // is_widget_double_tapped
    {kInSanAndreasMobile, 0x0A54, OpcodeRole::WidgetTest},  // is_widget_swiped
    {kInSanAndreasMobile, 0x0A55, OpcodeRole::WidgetTest},  // is_widget_swiped_left
    {kInSanAndreasMobile, 0x0A56, OpcodeRole::WidgetTest},  // is_widget_swiped_right
    {kInSanAndreas, 0x05B6, OpcodeRole::SkipsData},         // 128 bytes the game skips (debug text)
    {kInEveryGame, 0x00D6, OpcodeRole::Condition},          // if: the conditions that follow
    // Control flow: where the path ends, and which labels lead to code.
    {kInEveryGame, 0x0002, OpcodeRole::Jump, kFirstParameter},            // goto
    {kInEveryGame, 0x004E, OpcodeRole::EndsPath},                         // terminate_this_script
    {kInEveryGame, 0x0051, OpcodeRole::EndsPath},                         // return
    {kInEveryGame, 0x0A93, OpcodeRole::EndsPath},                         // CLEO terminate_this_custom_script
    {kInEveryGame, 0x0AB2, OpcodeRole::EndsPath},                         // CLEO cleo_return
    {kInSanAndreas, 0x2002, OpcodeRole::EndsPath},                        // CLEO 5 cleo_return_with
    {kInSanAndreas, 0x2003, OpcodeRole::EndsPath},                        // CLEO 5 cleo_return_fail
    {kInEveryGame, 0x004C, OpcodeRole::Branch, kFirstParameter},          // goto_if_true
    {kInEveryGame, 0x004D, OpcodeRole::Branch, kFirstParameter},          // goto_if_false
    {kInEveryGame, 0x004F, OpcodeRole::Branch, kFirstParameter},          // start_new_script
    {kInEveryGame, 0x0050, OpcodeRole::Branch, kFirstParameter},          // gosub
    {kInEveryGame, 0x00D7, OpcodeRole::Branch, kFirstParameter},          // launch_mission
    {kInEveryGame, 0x02CD, OpcodeRole::Branch, 0x3u},                     // gosub_file: both parameters
    {kInEveryGame, 0x0416, OpcodeRole::Branch, kFirstParameter},          // load_and_launch_mission
    {kInSanAndreas, 0x0707, OpcodeRole::Branch, kFirstParameter},         // skip_cutscene_start
    {kInSanAndreas, 0x0871, OpcodeRole::Branch, kSwitchStartLabels},      // switch_start
    {kInSanAndreas, 0x0872, OpcodeRole::Branch, kSwitchContinuedLabels},  // switch_continued
    {kInEveryGame, 0x0AA0, OpcodeRole::Branch, kFirstParameter},          // CLEO gosub_if_false
    {kInEveryGame, 0x0AB1, OpcodeRole::Branch, kFirstParameter},          // CLEO cleo_call
};

// The row of an opcode in a game, or null.
constexpr const SpecialOpcode* SpecialOpcodeOf(GameId game, uint16_t opcode) {
    for (const SpecialOpcode& special : kSpecialOpcodes)
        if (special.opcode == opcode && GameSetHas(special.games, game)) return &special;
    return nullptr;
}

// The role of an opcode in a game's byte code.
constexpr OpcodeRole RoleOf(GameId game, uint16_t opcode) {
    const SpecialOpcode* special = SpecialOpcodeOf(game, opcode);
    return special != nullptr ? special->role : OpcodeRole::Plain;
}

// Which parameters of an opcode are labels of code (0 for any opcode that is no Jump or Branch).
constexpr uint32_t CodeLabelsOf(GameId game, uint16_t opcode) {
    const SpecialOpcode* special = SpecialOpcodeOf(game, opcode);
    return special != nullptr ? special->labels : 0;
}

// The opcodes of one role in a game, in the list's order.
inline std::vector<uint16_t> OpcodesOfRole(GameId game, OpcodeRole role) {
    std::vector<uint16_t> opcodes;
    for (const SpecialOpcode& special : kSpecialOpcodes)
        if (special.role == role && GameSetHas(special.games, game)) opcodes.push_back(special.opcode);
    return opcodes;
}

// Whether what follows an instruction of this role is reached only through a label.
constexpr bool EndsThePath(OpcodeRole role) { return role == OpcodeRole::Jump || role == OpcodeRole::EndsPath; }

// The usual opcode of a role in a game: the first row of that role in the
// list above, which is the one the game's own scripts use (0x0000 for a role
// the game has no row of). The listing names the others.
constexpr uint16_t UsualOpcodeFor(GameId game, OpcodeRole role) {
    for (const SpecialOpcode& special : kSpecialOpcodes)
        if (special.role == role && GameSetHas(special.games, game)) return special.opcode;
    return 0x0000;
}

// The key tests and the button test each game's own scripts use, and the
// jump (each header segment of a main script opens with one to the next).
constexpr uint16_t kKeyOpcodeClassic = UsualOpcodeFor(kGameViceCity, OpcodeRole::VKeyTest);
constexpr uint16_t kKeyOpcodeSanAndreas = UsualOpcodeFor(kGameSanAndreas, OpcodeRole::VKeyTest);
constexpr uint16_t kButtonOpcode = UsualOpcodeFor(kGameSanAndreas, OpcodeRole::ButtonTest);

constexpr uint16_t kJumpOpcode = UsualOpcodeFor(kGameSanAndreas, OpcodeRole::Jump);

// Whether every game uses the same opcode for a role.
constexpr bool UsualOpcodeIsShared(OpcodeRole role) {
    for (const GameId game : kPcGames)
        if (UsualOpcodeFor(game, role) != UsualOpcodeFor(kGameSanAndreas, role)) return false;
    return true;
}
static_assert(UsualOpcodeFor(kGameGta3, OpcodeRole::VKeyTest) == kKeyOpcodeClassic,
              "GTA III and Vice City test keys with the same opcode");
static_assert(UsualOpcodeIsShared(OpcodeRole::ButtonTest) && UsualOpcodeIsShared(OpcodeRole::Jump),
              "every game tests buttons and jumps with the same opcodes");

// Pads a button test accepts: 0 ("Pad 1") and 1 ("Pad 2").
constexpr int32_t kHighestPad = 1;
// A pad as a person reads it, wherever it is shown: pad 0 is "Pad 1", the
// first controller. Only tsv and json output give the pad's number. Shown
// in the language chosen with TrC("key", kPadNames[pad]); the instruction
// texts of the context view, and the names the command line reads back,
// keep them in English.
inline constexpr const char* kPadNames[kHighestPad + 1] = {NC_("key", "Pad 1"), NC_("key", "Pad 2")};
// Which of a button test's parameters is its pad (the game key follows it).
constexpr std::size_t kButtonTestPadParam = 0;

}  // namespace morvane
