#include "cli/ScriptFile.h"

#include <cstdio>

#include "settings/Settings.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "script/ScriptFiles.h"
#include "cli/Escape.h"

namespace morvane::cli {

namespace {

// "0AB0", "05EE or 0AB0", "0AB0, 0E3D, 2080 or 0C89".
std::string OpcodeList(const std::vector<uint16_t>& opcodes) {
    std::string list;
    for (std::size_t i = 0; i < opcodes.size(); ++i)
        list += (i == 0 ? "" : i + 1 == opcodes.size() ? " or " : ", ") + OpcodeText(opcodes[i]);
    return list;
}

// A table that knows none of a game's key tests (or button tests) finds none:
// the listing would be silently empty of them.
void WarnMissingTests(const Setup& setup, std::ostream& err) {
    const struct {
        OpcodeRole role;
        const char* what;
    } kinds[] = {{OpcodeRole::VKeyTest, "VKey tests"}, {OpcodeRole::ButtonTest, "button tests"}};
    for (const auto& kind : kinds) {
        if (setup.table.DescribesAnyOf(kind.role)) continue;
        const std::vector<uint16_t> opcodes = OpcodesOfRole(setup.game, kind.role);
        err << "warning: " << setup.iniPath << " does not describe " << OpcodeList(opcodes) << "; " << kind.what
            << " are not found\n";
    }
}

}  // namespace

Setup PrepareSetup(const Options& options, std::ostream& err) {
    Setup setup;
    if (options.game) {
        setup.game = *options.game;
    } else if (const auto saved = ReadSavedGame()) {
        setup.game = *saved;
    } else {
        setup.game = kGameGta3;
        err << "assuming " << GameName(kGameGta3) << ": no " << kSettingsFileName << " here and no --game\n";
    }
    setup.iniPath = options.ini.empty() ? OpcodeIniFileName(setup.game) : options.ini;
    setup.tableLoaded = LoadOpcodeFile(setup.iniPath, setup.game, setup.table, setup.tableError);
    if (setup.tableLoaded) WarnMissingTests(setup, err);
    return setup;
}

bool LoadScript(const Setup& setup, const Options& options, const std::string& path, ScriptFile& file,
                std::ostream& err) {
    if (!setup.tableLoaded) {
        err << path << ": opcode table cannot be loaded (" << setup.iniPath << ": " << setup.tableError << ")\n";
        return false;
    }
    file.path = path;
    std::string cause;
    if (!ReadAndScan(path, setup.game, setup.table, options.header, file, cause)) {
        err << path << ": cannot open: " << cause << "\n";
        return false;
    }
    return true;
}

void WarnUnknown(const ScriptFile& file, std::ostream& err) {
    if (!file.summary.HasUnknown()) return;
    err << PlainText(file.path) << ": warning: " << UnknownInstructionsText(file.summary) << "\n";
}

}  // namespace morvane::cli
