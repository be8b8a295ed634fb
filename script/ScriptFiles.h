#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "opcodes/GameId.h"

namespace morvane {

// The extensions of compiled scripts, in lower case: custom scripts ".cs"
// (".cs3" and ".cs4" in the compatibility modes of current CLEO versions),
// custom missions ".cm", main scripts ".scm", and the mobile editions'
// custom scripts ".csa" (started with the game) and ".csi" (started from
// the mod menu). The one list the window's
// Open, the key map's folder search and the command line read.
extern const std::vector<std::string> kScriptExtensions;

// The extensions as a list that offers one of them, in the language chosen:
// ".cs, .cs3, .cs4, .cm, .scm, .csa or .csi".
std::string ScriptExtensionsText();

// Whether a file name has one of those extensions, in any case.
bool IsScriptFileName(const std::string& path);
// Whether a file of a game's mods folder is a script the game runs: a PC
// edition's .cs, .cs3, .cs4, .cm and .scm, a mobile edition's .csa, .csi and
// .scm, in any case.
bool IsScriptFileNameOf(const std::string& path, GameId game);

// Why the file at `path` whose first bytes are `data` is an archive of
// scripts and no script, or nothing: an IMG archive (script.img holds a
// main script's missions; San Andreas's starts with "VER2", those of GTA III
// and Vice City have no mark but their name). Its bytes are no code: the
// scripts in it are read once taken out of it.
std::optional<std::string> ArchiveCause(const std::string& path, const uint8_t* data, std::size_t size);

// Whether a path names a main script, whose header segments the scan steps
// over: its extension (the text after the last dot of the file name) is
// exactly "scm", in lower case. "MAIN.SCM", "x.cs" and "x.cm" are not.
bool IsMainScriptPath(const std::string& path);

// Whether a walk steps over the header segments of a main script.
enum class HeaderSkip {
    ByName,  // when the file's name is a main script's (IsMainScriptPath)
    Always,
    Never,
};

// Whether the walk of the file at `path` steps over the header.
bool StepsOverHeader(HeaderSkip skip, const std::string& path);

}  // namespace morvane
