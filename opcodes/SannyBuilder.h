#pragma once

#include <string>
#include <vector>

#include "io/Result.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// Sanny Builder's data folder as it is today: each game's opcodes split over
// several files that a mode file lists. `data\sa\mode.xml` names them in
// <opcodes> lines, in order (`@sb:\data\sa\SASCM.ini`, `...\SASCM.CLEO.ini`,
// a last line `@sb:\data\sa\SASCM*.ini`; `@sb:` is Sanny Builder's own
// folder); Sanny Builder 4's default modes (`data\sa_sbl\mode.xml`) name a
// command library in JSON instead (`<library>@sb:\data\sa_sbl\sa.json`).

// The folder of a game's classic mode ("gta3", "vc", "sa") and of its
// library mode ("gta3_sbl", ...), and the single INI file of the classic
// mode ("SCM.ini", "VCSCM.ini", "SASCM.ini"), as the game's GameInfo row says.
std::string SannyModeFolder(GameId game);
std::string SannyLibraryModeFolder(GameId game);
std::string SannyClassicIniName(GameId game);

// The text of every element named `tag` in a mode file, in document order
// (mode files nest them in a <mode> element); a failure when the text is not
// well-formed XML.
Result<std::vector<std::string>> ReadModeEntries(const std::string& text, const char* tag);

// The files a path of a mode file names under the Sanny Builder folder
// `folder`: "@sb:" stands for that folder, "\" and "/" separate names, each
// name matches without regard to case (the files are Windows files, also on
// Linux), and "*" and "?" in the last name match any characters and any one
// character; several files in the order of their names. Empty when none.
std::vector<std::string> ResolveModePath(const std::string& folder, const std::string& entry);

// What a Sanny Builder folder gave for a game.
struct SannyBuilderTable {
    OpcodeTable table;
    std::vector<std::string> files;    // read, in order
    std::vector<std::string> missing;  // named by the mode file but not there
    bool library = false;              // the files are a command library in JSON
};

// Loads a game's opcode table from a Sanny Builder folder (`folder` is the
// program's folder, which holds data\; its data folder will do too): the
// command library of the game's library mode when it is there, else the
// <opcodes> files of the game's mode.xml in their order (wildcards
// expanded, each file read once, a later file's opcodes winning, a missing
// file skipped and told in `missing`), else the classic single INI. A
// failure when the folder has none of these for the game, its mode.xml
// cannot be read, or no file it names could be read.
Result<SannyBuilderTable> LoadSannyBuilderTable(const std::string& folder, GameId game);

}  // namespace morvane
