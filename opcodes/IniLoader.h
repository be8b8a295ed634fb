#pragma once

#include <string>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// The game's opcode INI file in the work folder: "SCM.ini", "VICESCM.ini" or
// "SASCM.ini" (GameInfo::iniName).
std::string OpcodeIniFileName(GameId game);

// Reads the first section of opcode INI text into the table, as the opcodes
// of `game`: lines "opcode=count,description" such as "0AB0=1,key %1d%
// pressed" (the description may be missing); the table is reset first. Any
// text reads: a line whose opcode is negative or above kHighestOpcode is
// passed over like any other unusable line. Files are read with
// LoadOpcodeFile (opcodes/OpcodeJson.h), which says why one cannot be used.
void ParseOpcodeIni(const std::string& text, GameId game, OpcodeTable& table);

}  // namespace morvane
