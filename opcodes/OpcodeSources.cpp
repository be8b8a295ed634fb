#include "opcodes/OpcodeSources.h"

#include <filesystem>
#include <system_error>

#include "i18n/Translate.h"
#include "io/ReadFile.h"
#include "opcodes/BuiltinTables.h"
#include "opcodes/IniLoader.h"
#include "opcodes/OpcodeJson.h"
#include "opcodes/SannyBuilder.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

std::string FileName(const std::string& path) { return fs::u8path(path).filename().u8string(); }

std::vector<std::string> SannyNotes(const SannyBuilderTable& sanny) {
    std::vector<std::string> notes;
    for (const SannyIgnored& ignored : sanny.ignored) notes.push_back(SannyIgnoredText(ignored));
    for (const SannySkipped& skipped : sanny.skipped) notes.push_back(SannySkippedText(skipped));
    return notes;
}

}  // namespace

std::string GroupedNumber(int64_t number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    // TRANSLATORS: what parts the thousands of a number in the language: "2,477" in
    // English; "." in German, a no-break space (U+00A0) in Russian.
    const std::string separator = TrC("number", ",");
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), separator);
    return (number < 0 ? "-" : "") + digits;
}

std::size_t GameTable::OwnCount() const {
    std::size_t count = table.KnownCount();
    for (const FilledOpcodes& more : filled) count -= more.count;
    return count;
}

std::string GameTable::Description() const {
    const std::string text = SourceDescription();
    if (!fromPcEdition) return text;
    // TRANSLATORS: {table} is where an opcode table came from, "SASCM.ini, 2,477 commands".
    return Fill(Tr("{table}, read for the mobile edition with its touch tests"), {{"table", text}});
}

std::string GameTable::SourceDescription() const {
    if (source == OpcodeSource::BuiltIn) return Tr(kBuiltinTableWords);
    std::string read = files.empty() ? std::string() : FileName(files.front());
    if (files.size() > 1) {
        // TRANSLATORS: the opcode files read, {file} the first one's name, {count} how many more.
        read = Fill(TrN("{file} + {count} file", "{file} + {count} files", files.size() - 1),
                    {{"file", read}, {"count", std::to_string(files.size() - 1)}});
    }
    if (source == OpcodeSource::SannyBuilder) read = "Sanny Builder, " + read;
    const std::size_t own = OwnCount();
    // TRANSLATORS: an opcode table, {files} the files it was read from; {count} commands (opcodes) they describe.
    std::string text = Fill(TrN("{files}, {count} command", "{files}, {count} commands", own),
                            {{"files", read}, {"count", GroupedNumber(static_cast<int64_t>(own))}});
    for (const FilledOpcodes& more : filled) {
        const std::string count = GroupedNumber(static_cast<int64_t>(more.count));
        if (more.source == OpcodeSource::SannyBuilder) {
            // TRANSLATORS: after the commands an opcode table's files describe: "SASCM.ini, 1,953 commands; 58 more
            // from Sanny Builder".
            text += "; " + Fill(TrN("{count} more from Sanny Builder", "{count} more from Sanny Builder", more.count),
                                {{"count", count}});
        } else {
            // TRANSLATORS: after the commands an opcode table's files describe: "SASCM.ini, 1,953 commands; 2,011 more
            // from the built-in table".
            text += "; " + Fill(TrN("{count} more from the built-in table", "{count} more from the built-in table",
                                    more.count),
                                {{"count", count}});
        }
    }
    return text;
}

void FillFrom(GameTable& loaded, const OpcodeTable& next, OpcodeSource source) {
    const std::size_t taken = loaded.table.FillFrom(next);
    if (taken > 0) loaded.filled.push_back({source, taken});
}

void FillFromBuiltin(GameTable& loaded) {
    OpcodeTable builtin;
    LoadBuiltinTable(loaded.table.Game(), builtin);
    FillFrom(loaded, builtin, OpcodeSource::BuiltIn);
}

namespace {

// A mobile edition's table: Sanny Builder's mobile mode when that folder is
// chosen and has it, else the PC edition's table as it loads, read for the
// mobile edition (whose special opcodes it then knows) with the touch tests.
Result<GameTable> LoadMobileTable(GameId game, const std::string& workFolder, const OpcodeChoice& choice) {
    std::string modeFailure;
    if (choice.kind == OpcodeChoice::Kind::SannyBuilder) {
        Result<SannyBuilderTable> sanny = LoadSannyBuilderTable(choice.sannyFolder, game);
        if (sanny) {
            GameTable result;
            result.table = std::move(sanny->table);
            result.source = OpcodeSource::SannyBuilder;
            result.files = sanny->files;
            result.sannyNotes = SannyNotes(*sanny);
            FillFromBuiltin(result);
            return result;
        }
        modeFailure = sanny.Cause();
    }
    Result<GameTable> pc = LoadGameTable(PcEditionOf(game), workFolder, choice);
    if (!pc) return pc;
    GameTable result = std::move(*pc);
    OpcodeTable mobile;
    mobile.Reset(game);
    mobile.MergeFrom(result.table);
    SetMobileCommands(mobile);
    result.table = std::move(mobile);
    result.fromPcEdition = true;
    if (!modeFailure.empty()) {
        result.sannyNotes.push_back(
            Fill(Tr("no mobile mode in Sanny Builder's folder: {cause}"), {{"cause", modeFailure}}));
    }
    return result;
}

}  // namespace

std::string PcEditionTableNote(GameId game) {
    // TRANSLATORS: {pc} and {mobile} are games' names, "San Andreas" and "San Andreas mobile"; "--ini" is an option
    // of the command line, as it is written.
    return Fill(Tr("the opcode table is {pc}'s with the touch tests of {mobile}: opcodes only the mobile edition has "
                   "may be unknown (give its table with --ini, or Sanny Builder's mobile mode)"),
                {{"pc", GameName(PcEditionOf(game))}, {"mobile", GameName(game)}});
}

Result<GameTable> LoadGameTable(GameId game, const std::string& workFolder, const OpcodeChoice& choice) {
    if (IsMobile(game)) return LoadMobileTable(game, workFolder, choice);
    GameTable result;
    result.table.Reset(game);
    const fs::path ini = fs::u8path(workFolder) / OpcodeIniFileName(game);
    std::error_code ignored;
    const bool iniHere = fs::exists(ini, ignored);
    if (iniHere) {
        const Status read = LoadOpcodeFile(ini.u8string(), game, result.table);
        if (!read) return Failure{OpcodeIniFileName(game) + ": " + read.Cause()};
        result.source = OpcodeSource::WorkFolder;
        result.files = {ini.u8string()};
    } else if (choice.kind == OpcodeChoice::Kind::None) {
        return Failure{OpcodeIniFileName(game) + ": " + Tr(kNotFoundCause)};
    }
    if (choice.kind == OpcodeChoice::Kind::SannyBuilder) {
        Result<SannyBuilderTable> sanny = LoadSannyBuilderTable(choice.sannyFolder, game);
        if (!sanny) {
            result.sannyFailure = sanny.Cause();
        } else if (iniHere) {
            FillFrom(result, sanny->table, OpcodeSource::SannyBuilder);
            result.sannyNotes = SannyNotes(*sanny);
        } else {
            result.table = std::move(sanny->table);
            result.source = OpcodeSource::SannyBuilder;
            result.files = sanny->files;
            result.sannyNotes = SannyNotes(*sanny);
        }
    }
    if (result.source == OpcodeSource::BuiltIn) {
        LoadBuiltinTable(game, result.table);
        return result;
    }
    FillFromBuiltin(result);
    return result;
}

Result<GameTable> LoadNamedFiles(const std::vector<std::string>& paths, GameId game) {
    GameTable result;
    result.table.Reset(game);
    for (const std::string& path : paths) {
        OpcodeTable one;
        const Status read = LoadOpcodeFile(path, game, one);
        if (!read) return Failure{path + ": " + read.Cause()};
        result.table.MergeFrom(one);
        result.files.push_back(path);
    }
    result.source = OpcodeSource::NamedFiles;
    return result;
}

}  // namespace morvane
