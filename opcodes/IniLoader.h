#pragma once

#include <string>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// "SCM.ini", "VICESCM.ini" or "SASCM.ini"; an empty name for any other game.
std::string OpcodeIniFileName(GameId game);

// Reads the first section of an opcode INI file into the table.
// False when the file cannot be read (the table is left untouched) or when the
// section names an opcode above kHighestOpcode (the lines before it stay set).
bool LoadOpcodeTable(const std::string& fileName, OpcodeTable& table);

// Parses INI text already in memory; the table is reset first.
bool ParseOpcodeIni(const std::string& text, OpcodeTable& table);

}  // namespace morvane
