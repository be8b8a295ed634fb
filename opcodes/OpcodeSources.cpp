#include "opcodes/OpcodeSources.h"

#include <filesystem>
#include <system_error>

#include "opcodes/BuiltinTables.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "opcodes/SannyBuilder.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

std::string FileName(const std::string& path) { return fs::u8path(path).filename().u8string(); }

}  // namespace

std::string GroupedNumber(int64_t number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return (number < 0 ? "-" : "") + digits;
}

std::string GameTable::Description() const {
    if (source == OpcodeSource::BuiltIn) return kBuiltinTableWords;
    std::string text = source == OpcodeSource::SannyBuilder ? "Sanny Builder, " : "";
    if (!files.empty()) text += FileName(files.front());
    if (files.size() > 1) text += " + " + std::to_string(files.size() - 1) + (files.size() == 2 ? " file" : " files");
    return text + ", " + GroupedNumber(static_cast<int64_t>(table.KnownCount())) + " commands";
}

bool LoadGameTable(GameId game, const std::string& workFolder, const OpcodeChoice& choice, GameTable& loaded,
                   std::string& error) {
    GameTable result;
    const fs::path ini = fs::u8path(workFolder) / OpcodeIniFileName(game);
    std::error_code ignored;
    if (fs::exists(ini, ignored)) {
        const Status read = LoadOpcodeFile(ini.u8string(), game, result.table);
        if (!read) {
            error = OpcodeIniFileName(game) + ": " + read.Cause();
            return false;
        }
        result.source = OpcodeSource::WorkFolder;
        result.files = {ini.u8string()};
        loaded = std::move(result);
        return true;
    }
    switch (choice.kind) {
        case OpcodeChoice::Kind::None: error = OpcodeIniFileName(game) + ": not found"; return false;
        case OpcodeChoice::Kind::SannyBuilder: {
            SannyBuilderTable read;
            if (LoadSannyBuilderTable(choice.sannyFolder, game, result.table, read, result.sannyFailure)) {
                result.source = OpcodeSource::SannyBuilder;
                result.files = read.files;
                result.missing = read.missing;
                loaded = std::move(result);
                return true;
            }
            break;
        }
        case OpcodeChoice::Kind::BuiltIn: break;
    }
    LoadBuiltinTable(game, result.table);
    result.source = OpcodeSource::BuiltIn;
    loaded = std::move(result);
    return true;
}

bool LoadNamedFiles(const std::vector<std::string>& paths, GameId game, GameTable& loaded, std::string& error) {
    GameTable result;
    result.table.Reset(game);
    for (const std::string& path : paths) {
        OpcodeTable one;
        const Status read = LoadOpcodeFile(path, game, one);
        if (!read) {
            error = path + ": " + read.Cause();
            return false;
        }
        result.table.MergeFrom(one);
        result.files.push_back(path);
    }
    result.source = OpcodeSource::NamedFiles;
    loaded = std::move(result);
    return true;
}

}  // namespace morvane
