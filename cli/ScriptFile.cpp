#include "cli/ScriptFile.h"

#include <cstdio>

#include "io/FileIdentity.h"

#include "settings/Settings.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "opcodes/SannyBuilder.h"
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
        if (setup.Table().DescribesAnyOf(kind.role)) continue;
        const std::vector<uint16_t> opcodes = OpcodesOfRole(setup.game, kind.role);
        err << "warning: " << setup.tableName << " does not describe " << OpcodeList(opcodes) << "; " << kind.what
            << " are not found\n";
    }
}

// The table the options name: opcode files merged in order, a Sanny Builder
// folder's, or the game's INI file here; what it does not describe comes
// from the Sanny Builder folder, then the built-in table (not with
// --only-ini).
Status LoadTable(const Options& options, Setup& setup, std::ostream& err) {
    const GameId game = setup.game;
    // A mobile edition's --sanny is its mobile mode, else its PC edition's table.
    if (options.ini.empty() && (options.sanny.empty() || IsMobile(game))) {
        const OpcodeChoice choice = options.sanny.empty()
                                        ? OpcodeChoice{OpcodeChoice::Kind::BuiltIn, {}}
                                        : OpcodeChoice{OpcodeChoice::Kind::SannyBuilder, options.sanny};
        Result<GameTable> loaded = LoadGameTable(game, std::string(), choice);
        if (!loaded) return Failure{loaded.Cause()};
        setup.opcodes = std::move(*loaded);
        if (!setup.opcodes.sannyFailure.empty()) return Failure{setup.opcodes.sannyFailure};
        for (const std::string& note : setup.opcodes.sannyNotes) err << "note: " << note << "\n";
        if (setup.opcodes.source == OpcodeSource::BuiltIn)
            err << "note: no " << OpcodeIniFileName(game) << " here and no --ini or --sanny: using the built-in "
                << "opcode table of " << GameName(PcEditionOf(game)) << " (game and CLEO 4)\n";
        if (setup.opcodes.fromPcEdition) err << "note: " << PcEditionTableNote(game) << "\n";
        return {};
    }
    std::optional<SannyBuilderTable> sanny;
    if (!options.sanny.empty()) {
        Result<SannyBuilderTable> read = LoadSannyBuilderTable(options.sanny, game);
        if (!read) return Failure{read.Cause()};
        for (const SannyIgnored& ignored : read->ignored) err << "note: " << SannyIgnoredText(ignored) << "\n";
        for (const SannySkipped& skipped : read->skipped) err << "note: " << SannySkippedText(skipped) << "\n";
        setup.read.insert(setup.read.end(), read->files.begin(), read->files.end());
        sanny = std::move(*read);
    }
    if (options.ini.empty()) {
        setup.opcodes.table = std::move(sanny->table);
        setup.opcodes.source = OpcodeSource::SannyBuilder;
        setup.opcodes.files = sanny->files;
    } else {
        Result<GameTable> named = LoadNamedFiles(options.ini, game);
        if (!named) return Failure{named.Cause()};
        setup.opcodes = std::move(*named);
        if (sanny) FillFrom(setup.opcodes, sanny->table, OpcodeSource::SannyBuilder);
        if (options.onlyIni) return {};
    }
    FillFromBuiltin(setup.opcodes);
    return {};
}

}  // namespace

Setup PrepareSetup(const Options& options, std::ostream& err) {
    Setup setup;
    const Result<std::optional<GameId>> saved = options.game ? std::optional<GameId>() : ReadSavedGame();
    const std::string& problem = saved.Cause();
    if (options.game) {
        setup.game = *options.game;
    } else if (saved && *saved) {
        setup.game = **saved;
    } else {
        setup.game = kGameGta3;
        if (problem.empty())
            err << "assuming " << GameName(kGameGta3) << ": no " << kSettingsFileName << " here and no --game\n";
        else
            err << "assuming " << GameName(kGameGta3) << ": " << kSettingsFileName << " cannot be read (" << problem
                << "); no --game\n";
    }
    if (!options.game) setup.read.push_back(kSettingsFileName);
    const Status loaded = LoadTable(options, setup, err);
    setup.read.insert(setup.read.end(), setup.opcodes.files.begin(), setup.opcodes.files.end());
    setup.tableLoaded = loaded.Ok();
    setup.tableError = loaded.Cause();
    if (!setup.tableLoaded) return setup;
    const std::vector<std::string>& files = setup.opcodes.files;
    setup.tableName =
        files.size() == 1 && setup.opcodes.source != OpcodeSource::SannyBuilder && setup.opcodes.filled.empty()
            ? files.front()
            : setup.opcodes.Description();
    WarnMissingTests(setup, err);
    return setup;
}

std::optional<std::string> InputNamedBy(const std::string& output, const std::vector<std::string>& inputs) {
    const std::optional<FileIdentity> target = IdentifyFile(output);
    if (!target) return std::nullopt;  // nothing there yet: no input
    for (const std::string& input : inputs)
        if (IdentifyFile(input) == target) return input;
    return std::nullopt;
}

bool LoadScript(const Setup& setup, const Options& options, const std::string& path, ScriptFile& file,
                std::ostream& err) {
    if (!setup.tableLoaded) {
        err << PlainText(path) << ": opcode table cannot be loaded (" << setup.tableError << ")\n";
        return false;
    }
    file.path = path;
    Result<ScannedScript> read = ReadAndScan(path, setup.game, setup.Table(), options.header);
    if (!read) {
        err << PlainText(path) << ": cannot open: " << read.Cause() << "\n";
        return false;
    }
    static_cast<ScannedScript&>(file) = std::move(*read);
    if (const auto cause = TooLittleToRead(file.summary.code, file.image.Size())) {
        err << PlainText(path) << ": not a script: " << *cause << "\n";
        return false;
    }
    if (file.summary.code.CutShort())
        err << PlainText(path) << ": warning: " << CutShortText(file.summary.code, file.image.Size()) << "\n";
    if (const std::optional<DataBlock> swallowed = file.summary.SwallowingBlock())
        err << PlainText(path) << ": warning: " << SwallowedText(*swallowed, file.summary) << "\n";
    return true;
}

void WarnUnknown(const ScriptFile& file, std::ostream& err) {
    if (!file.summary.HasUnknown()) return;
    err << PlainText(file.path) << ": warning: " << UnknownInstructionsText(file.summary) << "\n";
}

}  // namespace morvane::cli
