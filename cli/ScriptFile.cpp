#include "cli/ScriptFile.h"

#include <cstdio>

#include "io/FileIdentity.h"

#include "settings/Settings.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "opcodes/SannyBuilder.h"
#include "script/ScriptFiles.h"
#include "cli/Escape.h"
#include "i18n/Translate.h"

namespace morvane::cli {

namespace {

// "0AB0", "05EE or 0AB0", "0AB0, 0E3D, 2080 or 0C89".
std::string OpcodeList(const std::vector<uint16_t>& opcodes) {
    if (opcodes.empty()) return std::string();
    std::string list;
    for (std::size_t i = 0; i + 1 < opcodes.size(); ++i) list += (i == 0 ? "" : ", ") + OpcodeText(opcodes[i]);
    const std::string last = OpcodeText(opcodes.back());
    if (list.empty()) return last;
    // TRANSLATORS: a list of opcodes: {list} is all but the last, each after ", " ("0AB0, 0E3D, 2080"), {last} the
    // last ("0C89").
    return Fill(Tr("{list} or {last}"), {{"list", list}, {"last", last}});
}

// What a table that knows none of a game's key tests (or button tests) means:
// they are not found. Marked for the catalogs, translated where said.
// TRANSLATORS: {table} is the opcode table (its file, or what it is), {opcodes} the opcodes of the game's key
// tests ("0AB0, 0E3D, 2080 or 0C89").
constexpr const char* kNoVKeyTests = N_("{table} does not describe {opcodes}; VKey tests are not found");
// TRANSLATORS: {table} is the opcode table (its file, or what it is), {opcodes} the opcodes of the game's button
// tests ("00E1").
constexpr const char* kNoButtonTests = N_("{table} does not describe {opcodes}; button tests are not found");

// A table that knows none of a game's key tests (or button tests) finds none:
// the listing would be silently empty of them.
void WarnMissingTests(const Setup& setup, std::ostream& err) {
    const struct {
        OpcodeRole role;
        const char* warning;
    } kinds[] = {{OpcodeRole::VKeyTest, kNoVKeyTests}, {OpcodeRole::ButtonTest, kNoButtonTests}};
    for (const auto& kind : kinds) {
        if (setup.Table().DescribesAnyOf(kind.role)) continue;
        const std::vector<uint16_t> opcodes = OpcodesOfRole(setup.game, kind.role);
        const std::string warning =
            Fill(Tr(kind.warning), {{"table", setup.tableName}, {"opcodes", OpcodeList(opcodes)}});
        err << Fill(Tr("warning: {warning}"), {{"warning", warning}}) << "\n";
    }
}

// A note on the table or the game, as messages write it: "note: ...".
std::string NoteText(const std::string& note) {
    // TRANSLATORS: a message that is no warning; {note} is what it says.
    return Fill(Tr("note: {note}"), {{"note", note}});
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
        for (const std::string& note : setup.opcodes.sannyNotes) err << NoteText(note) << "\n";
        if (setup.opcodes.source == OpcodeSource::BuiltIn)
            // TRANSLATORS: {file} is the game's opcode file (SASCM.ini), {ini} is --ini, {sanny} is --sanny, {game}
            // the game's name.
            err << NoteText(Fill(Tr("no {file} here and no {ini} or {sanny}: using the built-in opcode table of {game} "
                                    "(game and CLEO 4)"),
                                 {{"file", OpcodeIniFileName(game)},
                                  {"ini", "--ini"},
                                  {"sanny", "--sanny"},
                                  {"game", GameName(PcEditionOf(game))}}))
                << "\n";
        if (setup.opcodes.fromPcEdition) err << NoteText(PcEditionTableNote(game)) << "\n";
        return {};
    }
    std::optional<SannyBuilderTable> sanny;
    if (!options.sanny.empty()) {
        Result<SannyBuilderTable> read = LoadSannyBuilderTable(options.sanny, game);
        if (!read) return Failure{read.Cause()};
        for (const SannyIgnored& ignored : read->ignored) err << NoteText(SannyIgnoredText(ignored)) << "\n";
        for (const SannySkipped& skipped : read->skipped) err << NoteText(SannySkippedText(skipped)) << "\n";
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
            // TRANSLATORS: {game} is the game's name, {file} the settings file (cfg), {option} is --game.
            err << Fill(Tr("assuming {game}: no {file} here and no {option}"),
                        {{"game", GameName(kGameGta3)}, {"file", kSettingsFileName}, {"option", "--game"}})
                << "\n";
        else
            // TRANSLATORS: {game} is the game's name, {file} the settings file (cfg), {cause} why it cannot be read,
            // {option} is --game.
            err << Fill(Tr("assuming {game}: {file} cannot be read ({cause}); no {option}"),
                        {{"game", GameName(kGameGta3)},
                         {"file", kSettingsFileName},
                         {"cause", problem},
                         {"option", "--game"}})
                << "\n";
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
        err << PlainText(path) << ": "
            << Fill(Tr("opcode table cannot be loaded ({cause})"), {{"cause", setup.tableError}}) << "\n";
        return false;
    }
    file.path = path;
    Result<ScannedScript> read = ReadAndScan(path, setup.game, setup.Table(), options.header);
    if (!read) {
        err << PlainText(path) << ": " << Fill(Tr("cannot open: {cause}"), {{"cause", read.Cause()}}) << "\n";
        return false;
    }
    static_cast<ScannedScript&>(file) = std::move(*read);
    if (const auto cause = TooLittleToRead(file.summary.code, file.image.Size())) {
        err << PlainText(path) << ": " << Fill(Tr("not a script: {cause}"), {{"cause", *cause}}) << "\n";
        return false;
    }
    if (file.summary.code.CutShort())
        err << PlainText(path) << ": "
            << Fill(Tr("warning: {warning}"), {{"warning", CutShortText(file.summary.code, file.image.Size())}})
            << "\n";
    if (const std::optional<DataBlock> swallowed = file.summary.SwallowingBlock())
        err << PlainText(path) << ": "
            << Fill(Tr("warning: {warning}"), {{"warning", SwallowedText(*swallowed, file.summary)}}) << "\n";
    return true;
}

void WarnUnknown(const ScriptFile& file, std::ostream& err) {
    if (!file.summary.HasUnknown()) return;
    err << PlainText(file.path) << ": "
        << Fill(Tr("warning: {warning}"), {{"warning", UnknownInstructionsText(file.summary)}}) << "\n";
}

}  // namespace morvane::cli
