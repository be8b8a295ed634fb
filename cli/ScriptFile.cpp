#include "cli/ScriptFile.h"

#include "settings/Settings.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/MainScript.h"

namespace morvane::cli {

Setup PrepareSetup(const Options& options) {
    Setup setup;
    setup.game = options.game ? *options.game : LoadSavedGame();
    setup.iniPath = options.ini.empty() ? OpcodeIniFileName(setup.game) : options.ini;
    setup.tableLoaded = LoadOpcodeFile(setup.iniPath, setup.game, setup.table, setup.tableError);
    return setup;
}

bool LoadScript(const Setup& setup, const Options& options, const std::string& path, ScriptFile& file,
                std::ostream& err) {
    if (!setup.tableLoaded) {
        err << path << ": opcode table cannot be loaded (" << setup.iniPath << ": " << setup.tableError << ")\n";
        return false;
    }
    file.path = path;
    file.image.game = setup.game;
    if (!file.image.LoadFromFile(path)) {
        err << path << ": cannot open\n";
        return false;
    }
    file.header = options.header == HeaderMode::On ||
                  (options.header == HeaderMode::Auto && IsMainScriptPath(path));
    file.summary = ScanKeyOccurrences(file.image, setup.table, file.header, file.occurrences, nullptr);
    return true;
}

void WarnUnknown(const ScriptFile& file, std::ostream& err) {
    if (!file.summary.HasUnknown()) return;
    err << file.path << ": warning: " << file.summary.unknownInstructions << " unknown instructions, the first at offset "
        << file.summary.firstUnknownOffset << "\n";
}

}  // namespace morvane::cli
