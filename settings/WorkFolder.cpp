#include "settings/WorkFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "i18n/Translate.h"
#include "io/ReadFile.h"
#include "opcodes/GameId.h"
#include "opcodes/IniLoader.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace morvane {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
std::string EnvironmentUtf8(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value == nullptr ? std::string() : NarrowToUtf8(value);
}
#else
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}
#endif

}  // namespace

std::string UserDataFolder() {
#ifdef _WIN32
    const std::string appData = EnvironmentUtf8(L"APPDATA");
    return appData.empty() ? std::string() : (fs::u8path(appData) / "Morvane").u8string();
#else
    // Relative values are invalid under the XDG rules and are ignored.
    std::string base = Environment("XDG_DATA_HOME");
    if (base.empty() || base[0] != '/') {
        const std::string home = Environment("HOME");
        if (home.empty()) return std::string();
        base = (fs::path(home) / ".local" / "share").string();
    }
    return (fs::path(base) / "morvane").string();
#endif
}

std::string WorkingFolder() {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return error ? std::string() : current.u8string();
}

std::vector<std::string> MissingOpcodeIniFiles(const std::string& folder) {
    const fs::path base = fs::u8path(folder);
    std::vector<std::string> missing;
    for (const GameId game : kPcGames) {
        std::error_code error;
        if (!fs::is_regular_file(base / OpcodeIniFileName(game), error)) missing.push_back(OpcodeIniFileName(game));
    }
    return missing;
}

bool HoldsOpcodeIniFiles(const std::string& folder) { return MissingOpcodeIniFiles(folder).empty(); }

WorkFolder EnterWorkFolder(const std::string& userDataFolder) {
    if (HoldsOpcodeIniFiles(std::string())) return WorkFolder::Current;
    if (userDataFolder.empty() || !HoldsOpcodeIniFiles(userDataFolder)) return WorkFolder::Missing;
    std::error_code error;
    fs::current_path(fs::u8path(userDataFolder), error);
    return error ? WorkFolder::Missing : WorkFolder::UserData;
}

namespace {

// "SCM.ini, VICESCM.ini and SASCM.ini": every game's INI file.
std::string AllIniFileNames() {
    std::string list;
    std::string last;
    for (const GameId game : kPcGames) {
        if (!last.empty()) list += (list.empty() ? "" : ", ") + last;
        last = OpcodeIniFileName(game);
    }
    // TRANSLATORS: a list of file names, {list} "SCM.ini, VICESCM.ini", {last} "SASCM.ini".
    return Fill(Tr("{list} and {last}"), {{"list", list}, {"last", last}});
}

// "\n(missing there: SCM.ini, SASCM.ini)" for a folder that lacks some.
std::string MissingThere(const std::string& folder) {
    const std::vector<std::string> missing = MissingOpcodeIniFiles(folder);
    if (missing.empty()) return std::string();
    std::string files;
    for (std::size_t i = 0; i < missing.size(); ++i) files += (i ? ", " : "") + missing[i];
    // TRANSLATORS: after a folder's path; {files} are the opcode files it lacks, "SCM.ini, SASCM.ini".
    return "\n" + Fill(Tr("(missing there: {files})"), {{"files", files}});
}

}  // namespace

std::string MissingIniFilesMessage(const std::string& workingFolder, const std::string& userDataFolder) {
    // TRANSLATORS: in place of the folder Morvane started in, when it cannot be told.
    const std::string start = workingFolder.empty() ? Tr("(unknown)") : workingFolder + MissingThere(workingFolder);
#ifdef _WIN32
    // TRANSLATORS: in place of Morvane's data folder; APPDATA is the name of a setting of Windows.
    const std::string none = Tr("(none: APPDATA is not set)");
#else
    // TRANSLATORS: in place of Morvane's data folder; XDG_DATA_HOME and HOME are names of settings of the system.
    const std::string none = Tr("(none: neither XDG_DATA_HOME nor HOME is set)");
#endif
    const std::string data = userDataFolder.empty() ? none : userDataFolder + MissingThere(userDataFolder);
    // TRANSLATORS: {files} is "SCM.ini, VICESCM.ini and SASCM.ini"; {start} and {data} are folders, each on a line
    // of its own.
    const std::string where = Fill(Tr("{files} are read from the folder Morvane starts in:\n{start}\nor in "
                                      "Morvane's data folder:\n{data}"),
                                   {{"files", AllIniFileNames()}, {"start", start}, {"data", data}});
    return Tr("Couldn't find opcodes ini files.") + "\n\n" + where + "\n\n" +
           Tr("For the games whose file is missing Morvane can use its built-in opcode tables (the games' own "
              "opcodes and CLEO 4's), or read the opcode files of Sanny Builder's folder.");
}

WorkFolder EnterFolderForChosenTables(const std::string& userDataFolder) {
    if (MissingOpcodeIniFiles(std::string()).size() < static_cast<std::size_t>(kPcGameCount))
        return WorkFolder::Current;
    if (userDataFolder.empty()) return WorkFolder::Current;
    std::error_code error;
    fs::create_directories(fs::u8path(userDataFolder), error);
    fs::current_path(fs::u8path(userDataFolder), error);
    return error ? WorkFolder::Current : WorkFolder::UserData;
}

std::string DefaultSannyBuilderFolder() {
    std::vector<fs::path> programFolders;
#ifdef _WIN32
    for (const wchar_t* name : {L"ProgramFiles(x86)", L"ProgramFiles", L"LOCALAPPDATA"}) {
        const std::string folder = EnvironmentUtf8(name);
        if (folder.empty()) continue;
        programFolders.push_back(fs::u8path(folder));
        programFolders.push_back(fs::u8path(folder) / "Programs");
    }
#else
    std::string prefix = Environment("WINEPREFIX");
    if (prefix.empty() && !Environment("HOME").empty()) prefix = (fs::path(Environment("HOME")) / ".wine").string();
    if (!prefix.empty()) {
        programFolders.push_back(fs::path(prefix) / "drive_c" / "Program Files (x86)");
        programFolders.push_back(fs::path(prefix) / "drive_c" / "Program Files");
    }
#endif
    for (const fs::path& programs : programFolders) {
        for (const char* name : {"Sanny Builder 4", "Sanny Builder 3", "Sanny Builder"}) {
            std::error_code error;
            if (fs::is_directory(programs / name, error)) return (programs / name).u8string();
        }
    }
    return std::string();
}

}  // namespace morvane
