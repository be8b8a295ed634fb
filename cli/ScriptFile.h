#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "opcodes/OpcodeSources.h"
#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"

namespace morvane::cli {

// The game and opcode table a run works with, chosen as the window would:
// the game from the settings file, its INI file in the working folder, else
// the built-in table; unless the options name the game, opcode files or a
// Sanny Builder folder.
struct Setup {
    GameId game = kGameGta3;
    GameTable opcodes;
    std::string tableName;  // the table in messages: its file, or what it is
    bool tableLoaded = false;
    std::string tableError;         // why the table could not be loaded: the file and the cause
    std::vector<std::string> read;  // every file read for the table and the game: none may be an output

    const OpcodeTable& Table() const { return opcodes.table; }
};

// Says once on `err` what was assumed or is missing: the game when neither
// a settings file nor --game names one, the built-in table when no opcode
// file is there, files a Sanny Builder mode file names that are not there,
// and the key tests or button tests the loaded table knows none of.
Setup PrepareSetup(const Options& options, std::ostream& err);

// The one of `inputs` that `output` names (through any path or link to the
// same file), or nothing: an output that is an input would destroy it.
std::optional<std::string> InputNamedBy(const std::string& output, const std::vector<std::string>& inputs);

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
