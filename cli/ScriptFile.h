#pragma once

#include <ostream>
#include <string>

#include "cli/Options.h"
#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"

namespace morvane::cli {

// The game and opcode table a run works with, chosen as the window would:
// the game from the settings file and its INI file in the working folder,
// unless the options say otherwise.
struct Setup {
    GameId game = kGameGta3;
    std::string iniPath;
    OpcodeTable table;
    bool tableLoaded = false;
    std::string tableError;  // why the table could not be loaded
};

// Says once on `err` what was assumed or is missing: the game when neither
// a settings file nor --game names one, and the key tests or button tests
// the loaded table knows none of.
Setup PrepareSetup(const Options& options, std::ostream& err);

// One script read and scanned by the same engine function as the window's.
struct ScriptFile : ScannedScript {
    std::string path;
};

// Reads and scans one script. False, with one line on `err` naming the file
// and the cause, when the opcode table or the file cannot be read.
bool LoadScript(const Setup& setup, const Options& options, const std::string& path, ScriptFile& file,
                std::ostream& err);

// The warning for a file whose walk met instructions the table lacks.
void WarnUnknown(const ScriptFile& file, std::ostream& err);

}  // namespace morvane::cli
