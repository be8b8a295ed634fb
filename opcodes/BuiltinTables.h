#pragma once

#include <cstddef>
#include <cstdint>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// A command of the built-in tables: the games whose table holds it (a
// GameSet), its opcode, its parameter count (kVariableParameterCount for a
// variable list) and its description. A command that differs between games
// is one row per form.
struct BuiltinCommand {
    uint8_t games;
    uint16_t id;
    int16_t count;
    const char* description;
};

struct BuiltinCommands {
    const BuiltinCommand* rows;
    std::size_t count;
    const BuiltinCommand* begin() const { return rows; }
    const BuiltinCommand* end() const { return rows + count; }
};

// The commands Morvane carries for the three games, sorted by opcode, each
// game holding an opcode in at most one row: the games' own and CLEO 4's,
// from gta3sc's command definitions (MIT licence), and the key tests of the
// script libraries gta3sc lacks (05EE in GTA III and Vice City; 0E3D, 0E3E,
// 2080 and 0C89 in San Andreas).
BuiltinCommands AllBuiltinCommands();

// The touch tests of the mobile editions (0DE0, 0DE1 and San Andreas
// mobile's widget tests 0A51 to 0A56).
BuiltinCommands MobileCommands();
// Sets the mobile commands of the table's game in it, in place of what it held for their opcodes.
void SetMobileCommands(OpcodeTable& table);

// Fills the table with a game's built-in commands: the rows that hold for it,
// and for a mobile edition its PC edition's with the mobile commands.
void LoadBuiltinTable(GameId game, OpcodeTable& table);

}  // namespace morvane
