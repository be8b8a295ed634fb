#pragma once

#include <string>
#include <vector>

namespace morvane {

// The window works in the folder that holds the three opcode INI files and
// keeps its settings file there. Started from a desktop menu it runs in a
// folder of the desktop's choosing (usually the home folder), so the user's
// data folder for Morvane is the second place to look.

// Morvane's data folder, in UTF-8: on Linux $XDG_DATA_HOME/morvane, or
// $HOME/.local/share/morvane when XDG_DATA_HOME is unset, empty or relative
// (the XDG base directory rules); on Windows %APPDATA%\Morvane. Empty when
// the environment names neither base folder.
std::string UserDataFolder();

// The working folder, in UTF-8 ("" when it cannot be read).
std::string WorkingFolder();

// Which of "SCM.ini", "VICESCM.ini" and "SASCM.ini" are not files in
// `folder` ("" is the working folder), in that order.
std::vector<std::string> MissingOpcodeIniFiles(const std::string& folder);
// True when all three are there.
bool HoldsOpcodeIniFiles(const std::string& folder);

enum class WorkFolder {
    Current,   // the working folder holds the INI files: nothing changed
    UserData,  // it did not; the data folder does and is now the working folder
    Missing,   // neither holds all three (or the data folder could not be entered)
};

// Chooses where to work and, for UserData, changes into that folder.
WorkFolder EnterWorkFolder(const std::string& userDataFolder);

// Where to work when neither folder holds all three INI files and the user
// chose where the missing games' opcodes come from (the built-in tables or
// a Sanny Builder folder): the working folder when it holds one of the INI
// files, else the user's data folder, made when missing (Current when it
// cannot be made or entered). Its settings file is kept there.
WorkFolder EnterFolderForChosenTables(const std::string& userDataFolder);

// The start-up message when the INI files are in neither folder: its first
// line is "Couldn't find opcodes ini files."; then it names the files, both
// folders and which files each one lacks, and the other ways to the opcodes.
std::string MissingIniFilesMessage(const std::string& workingFolder, const std::string& userDataFolder);

// Where Sanny Builder's installers put it (on Linux: under a Wine prefix's
// drive_c, $WINEPREFIX or ~/.wine), the first that is there; empty when none.
std::string DefaultSannyBuilderFolder();

}  // namespace morvane
