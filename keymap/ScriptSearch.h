#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "opcodes/GameId.h"

namespace morvane {

// A path that could not be searched, or a file named directly that is not a
// script, with the cause in plain words.
struct SearchProblem {
    std::string path;
    std::string cause;
};

// The scripts found under some paths.
struct ScriptSearch {
    // Each script file once, even when links or repeated paths reach it
    // again: the paths in the order given, a folder's entries by name.
    std::vector<std::string> scripts;
    std::vector<SearchProblem> problems;
    int64_t otherFiles = 0;  // files in the folders that are not scripts, left out
};

// Finds the scripts of `game` named by `paths`: a file is taken when its
// name is a script's (a file of another name is a problem), a folder is
// searched through all its subfolders for the scripts the game runs
// (IsScriptFileNameOf: a PC edition's mods folder may hold a mobile mod's
// files, and the other way round). Links are followed, but no folder is entered
// twice, so a link loop ends. Entries whose names begin with a dot (hidden
// files and folders, editors' backups, version control) are left out of the
// search. Folders that cannot be listed or whose entries cannot be examined,
// paths that do not exist or are too long for the system, links that lead
// nowhere or in a loop, and scripts' names on what is no regular file (a
// FIFO, a device) are problems, each with its cause; the rest is still
// searched.
ScriptSearch FindScripts(const std::vector<std::string>& paths, GameId game = kGameSanAndreas);

}  // namespace morvane
