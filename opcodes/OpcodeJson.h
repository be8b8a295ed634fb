#pragma once

#include <string>

#include "io/Result.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"

namespace morvane {

// Reads a command library in the JSON form current script compilers keep
// (`gta3.json`, `vc.json`, `sa.json`):
//   {"meta": {...}, "extensions": [{"name": "...", "commands": [
//       {"id": "0AB0", "name": "IS_KEY_PRESSED", "num_params": 1,
//        "input": [{"name": "keyCode", "type": "KeyCode"}]}, ...]}]}
// A command's parameter count is its `num_params`; one with an input or an
// output of type `arguments` takes a variable list. Its description is its name and a
// placeholder per input ("IS_KEY_PRESSED %1d%"; a `label` input is %Np%). On success the table holds every
// command of every extension (a later one wins); otherwise the result is a
// Failure that says why, and the table is as it was.
Status ParseOpcodeJson(const std::string& text, GameId game, OpcodeTable& table);

// Whether a path names such a JSON file (by its extension, in any case).
bool IsOpcodeJsonPath(const std::string& path);

// Loads an opcode table from an INI file or a JSON command library, by the
// path's extension. A Failure with the cause when it cannot be read
// ("not found", "is a folder", "no permission", the system's reason), is not
// a command library, or describes no opcode at all (an empty file, an INI
// without a [section], a file in UTF-16); the table is then as it was.
Status LoadOpcodeFile(const std::string& path, GameId game, OpcodeTable& table);

}  // namespace morvane
