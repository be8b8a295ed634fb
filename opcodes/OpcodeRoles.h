#pragma once

#include <cstdint>
#include <vector>

#include "opcodes/GameId.h"

namespace morvane {

// What the walk does with an instruction besides stepping over it.
enum class OpcodeRole : uint8_t {
    Plain,       // parameters stepped over by the table's count
    VKeyTest,    // one parameter: a Windows virtual-key code
    ButtonTest,  // two parameters: a pad number, then a game key (pad button) number
    SkipsData,   // the game steps over kSkippedDataBytes raw bytes after the opcode
    CheatTest,   // one parameter: a typed cheat code as a string constant
};

// Raw bytes after an opcode of role SkipsData (San Andreas keeps debug text there).
constexpr int kSkippedDataBytes = 128;

struct SpecialOpcode {
    GameId game;
    uint16_t opcode;
    OpcodeRole role;
};

// Every opcode that tests a key or a cheat code or skips data, per game: the one list the
// scan, the window, the command line and the tests read. An opcode counts
// only where the opcode table of that game knows it.
inline constexpr SpecialOpcode kSpecialOpcodes[] = {
    // San Andreas
    {kGameSanAndreas, 0x0AB0, OpcodeRole::VKeyTest},    // CLEO is_key_pressed
    {kGameSanAndreas, 0x0E3D, OpcodeRole::VKeyTest},    // CLEO+ is_key_just_pressed
    {kGameSanAndreas, 0x2080, OpcodeRole::VKeyTest},    // CLEO 5 is_key_just_pressed
    {kGameSanAndreas, 0x0C89, OpcodeRole::VKeyTest},    // SAMPFUNCS is_key_just_pressed
    {kGameSanAndreas, 0x00E1, OpcodeRole::ButtonTest},  // is_button_pressed
    {kGameSanAndreas, 0x0E3E, OpcodeRole::ButtonTest},  // CLEO+ is_button_just_pressed
    {kGameSanAndreas, 0x05B6, OpcodeRole::SkipsData},   // 128 bytes the game skips (debug text)
    {kGameSanAndreas, 0x0ADC, OpcodeRole::CheatTest},   // test_cheat of the script libraries
    // Vice City
    {kGameViceCity, 0x05EE, OpcodeRole::VKeyTest},    // is_key_pressed of the script libraries
    {kGameViceCity, 0x0AB0, OpcodeRole::VKeyTest},    // CLEO is_key_pressed
    {kGameViceCity, 0x00E1, OpcodeRole::ButtonTest},  // is_button_pressed
    {kGameViceCity, 0x0ADC, OpcodeRole::CheatTest},   // test_cheat of the script libraries
    // GTA III
    {kGameGta3, 0x05EE, OpcodeRole::VKeyTest},    // is_key_pressed of the script libraries
    {kGameGta3, 0x0AB0, OpcodeRole::VKeyTest},    // CLEO is_key_pressed
    {kGameGta3, 0x00E1, OpcodeRole::ButtonTest},  // is_button_pressed
    {kGameGta3, 0x0ADC, OpcodeRole::CheatTest},   // test_cheat of the script libraries
};

// The role of an opcode in a game's byte code.
constexpr OpcodeRole RoleOf(GameId game, uint16_t opcode) {
    for (const SpecialOpcode& special : kSpecialOpcodes)
        if (special.game == game && special.opcode == opcode) return special.role;
    return OpcodeRole::Plain;
}

// The opcodes of one role in a game, in the list's order.
inline std::vector<uint16_t> OpcodesOfRole(GameId game, OpcodeRole role) {
    std::vector<uint16_t> opcodes;
    for (const SpecialOpcode& special : kSpecialOpcodes)
        if (special.game == game && special.role == role) opcodes.push_back(special.opcode);
    return opcodes;
}

// The key test each game's own scripts use; others are named in the listing.
constexpr uint16_t kKeyOpcodeClassic = 0x05EE;
constexpr uint16_t kKeyOpcodeSanAndreas = 0x0AB0;
constexpr uint16_t kButtonOpcode = 0x00E1;

constexpr uint16_t UsualOpcodeFor(GameId game, OpcodeRole role) {
    if (role == OpcodeRole::ButtonTest) return kButtonOpcode;
    return game == kGameSanAndreas ? kKeyOpcodeSanAndreas : kKeyOpcodeClassic;
}

// Pads a button test accepts: 0 ("Pad 1") and 1 ("Pad 2").
constexpr int32_t kHighestPad = 1;

}  // namespace morvane
