#pragma once

#include <cstddef>
#include <cstdint>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// A command of a built-in table: its opcode, its parameter count
// (kVariableParameterCount for a variable list) and its description.
struct BuiltinCommand {
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

// The commands Morvane carries for a game, sorted by opcode: the game's own
// and CLEO 4's, from gta3sc's command definitions (MIT licence), and the key
// tests of the script libraries gta3sc lacks (05EE in GTA III and Vice City;
// 0E3D, 0E3E, 2080 and 0C89 in San Andreas).
BuiltinCommands BuiltinCommandsOf(GameId game);

// Fills the table with a game's built-in commands.
void LoadBuiltinTable(GameId game, OpcodeTable& table);

}  // namespace morvane
