#pragma once

#include <string>
#include <vector>

#include "cli/Options.h"
#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"
#include "script/ScriptImage.h"

namespace morvane::cli {

// The game and opcode table a run works with, chosen as the window would:
// the game from the settings file and its INI file in the working folder,
// unless the options say otherwise.
struct Setup {
    GameId game = kGameGta3;
    std::string iniPath;
    OpcodeTable table;
    bool tableLoaded = false;
};

Setup PrepareSetup(const Options& options);

// One script read and scanned exactly as the window opens it.
struct ScriptFile {
    std::string path;
    ScriptImage image;
    std::vector<KeyOccurrence> occurrences;
};

// False (with the cause) when the file cannot be read.
bool LoadScript(const Setup& setup, const Options& options, const std::string& path, ScriptFile& file,
                std::string& cause);

}  // namespace morvane::cli
