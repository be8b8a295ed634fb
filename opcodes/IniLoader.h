#pragma once

#include <string>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// The game's opcode INI file in the work folder: "SCM.ini", "VICESCM.ini" or
// "SASCM.ini" (GameInfo::iniName).
std::string OpcodeIniFileName(GameId game);

// Reads the first section of an opcode INI file into the table, as the
// opcodes of `game`: lines "opcode=count,description" such as
// "0AB0=1,key %1d% pressed" (the description may be missing). False when the file cannot be read (the table is left
// untouched). A line whose opcode is negative or above kHighestOpcode is
// passed over like any other unusable line.
bool LoadOpcodeTable(const std::string& fileName, GameId game, OpcodeTable& table);

// Parses INI text already in memory; the table is reset first.
bool ParseOpcodeIni(const std::string& text, GameId game, OpcodeTable& table);

}  // namespace morvane
