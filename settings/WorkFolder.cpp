#include "settings/WorkFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

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
    if (value == nullptr || *value == L'\0') return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, value, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, -1, &text[0], length, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
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
    for (const GameId game : kAllGames) {
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

// "(missing there: SCM.ini, SASCM.ini)" for a folder that lacks some.
std::string MissingThere(const std::string& folder) {
    const std::vector<std::string> missing = MissingOpcodeIniFiles(folder);
    if (missing.empty()) return std::string();
    std::string text = "\n(missing there: ";
    for (std::size_t i = 0; i < missing.size(); ++i) text += (i ? ", " : "") + missing[i];
    return text + ")";
}

}  // namespace

std::string MissingIniFilesMessage(const std::string& workingFolder, const std::string& userDataFolder) {
    std::string text =
        "Couldn't find opcodes ini files.\nProgram will close.\n\n"
        "SCM.ini, VICESCM.ini and SASCM.ini must all be in the folder Morvane starts in:\n";
    text += workingFolder.empty() ? std::string("(unknown)") : workingFolder + MissingThere(workingFolder);
    text += "\nor in Morvane's data folder:\n";
#ifdef _WIN32
    text += userDataFolder.empty() ? std::string("(none: APPDATA is not set)") : userDataFolder;
#else
    text += userDataFolder.empty() ? std::string("(none: neither XDG_DATA_HOME nor HOME is set)") : userDataFolder;
#endif
    if (!userDataFolder.empty()) text += MissingThere(userDataFolder);
    return text;
}

}  // namespace morvane
