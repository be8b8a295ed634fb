// morvane-cli keys: which keys and cheat codes the scripts of some folders
// test, by key, with the ones two or more scripts share; optionally drawn on a
// keyboard with the codes beside it.

#include <algorithm>
#include <map>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ScriptFile.h"
#include "cli/Escape.h"
#include "cli/JsonText.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyboardSvg.h"
#include "keymap/ScriptSearch.h"
#include "keys/KeyNames.h"
#include "io/SafeWrite.h"

namespace morvane::cli {

namespace {

// "VKey 113  F2", "Pad 2 button 6  R1: Aim Weapon | Hand Brake", "Cheat BOOM",
// "Zone 7 (right top)" or "Widget 31 (sprint)".
std::string KeyTitle(const TestedKey& key) {
    if (key.IsCheat()) return "Cheat " + PlainText(key.code);
    if (key.IsChord()) return "Hotkey " + key.code;
    if (key.IsZone() || key.IsWidget()) return TestedKeyName(key);
    if (key.IsVKey()) return "VKey " + std::to_string(key.key) + "  " + TestedKeyName(key);
    return std::string(kPadNames[key.pad]) + " button " + std::to_string(key.key) + "  " + TestedKeyName(key);
}

// The pad and key columns: -1 where the kind has none.
int32_t PadColumn(const TestedKey& key) { return key.IsButton() ? key.pad : -1; }
int32_t KeyColumn(const TestedKey& key) { return key.IsCheat() || key.IsChord() ? -1 : key.key; }
// The kind in tsv and json: a chord is a "hotkey"; a zone of the screen,
// touched or slid from or to, a "zone".
std::string KindColumn(const TestedKey& key) {
    if (key.IsZone()) return "zone";
    return key.IsChord() ? "hotkey" : KindName(key.kind);
}

bool HasWidgets(const KeyMap& map) {
    return std::any_of(map.keys.begin(), map.keys.end(), [](const KeyEntry& entry) { return entry.key.IsWidget(); });
}

int64_t MappedScripts(const KeyMap& map) {
    return std::count_if(map.scripts.begin(), map.scripts.end(), [](const ScriptKeys& script) { return script.read; });
}

// What could not be mapped, and why: files that could not be read, and the
// search's problems.
std::vector<SearchProblem> LeftOut(const KeyMap& map, const ScriptSearch& search) {
    std::vector<SearchProblem> leftOut;
    for (const ScriptKeys& script : map.scripts)
        if (!script.read) leftOut.push_back({script.path, "cannot open: " + script.cause});
    leftOut.insert(leftOut.end(), search.problems.begin(), search.problems.end());
    return leftOut;
}

void WriteText(const KeyMap& map, const ScriptSearch& search, std::ostream& out) {
    const auto codes = static_cast<int64_t>(
        std::count_if(map.keys.begin(), map.keys.end(), [](const KeyEntry& entry) { return entry.key.IsCheat(); }));
    const auto keys = static_cast<int64_t>(map.keys.size()) - codes;
    out << "Key map: " << Plural(MappedScripts(map), "script", "scripts") << ", " << Plural(keys, "key", "keys")
        << (codes > 0 ? " and " + Plural(codes, "cheat code", "cheat codes") : std::string()) << " tested, "
        << Plural(static_cast<int64_t>(map.ConflictCount()), "conflict", "conflicts") << "\n";

    // A key's mods, a line each: the mod's name, then its scripts' tests.
    const auto writeUses = [&](const KeyEntry& entry, const char* indent) {
        std::map<std::size_t, std::vector<const KeyUse*>> byMod;
        for (const KeyUse& use : entry.uses) byMod[map.scripts[use.script].mod].push_back(&use);
        for (const auto& [mod, uses] : byMod) {
            // A script that is a mod of its own is named by its path alone.
            out << indent;
            if (!map.IsLoneScript(mod)) out << PlainText(map.mods[mod].name) << ": ";
            for (std::size_t u = 0; u < uses.size(); ++u)
                out << (u ? ", " : "") << PlainText(map.scripts[uses[u]->script].path) << " ("
                    << Plural(uses[u]->tests, "test", "tests") << ")";
            out << "\n";
        }
    };
    const auto modCount = [](const KeyEntry& entry) { return Plural(static_cast<int64_t>(entry.mods), "mod", "mods"); };
    bool any = false;
    for (const KeyEntry& entry : map.keys) {
        if (!entry.IsConflict()) continue;
        if (!any) out << "\nConflicts: keys that two or more mods test\n";
        any = true;
        out << "  " << KeyTitle(entry.key) << ": " << modCount(entry) << "\n";
        writeUses(entry, "      ");
    }
    if (!map.overlaps.empty()) {
        out << "\nOverlaps: keys of different mods that fire together\n";
        for (const Overlap& overlap : map.overlaps) {
            const KeyEntry& wider = map.keys[overlap.wider];
            const KeyEntry& within = map.keys[overlap.within];
            out << "  " << KeyTitle(wider.key) << " and " << KeyTitle(within.key)
                << (wider.key.IsCheat() ? ": typing the one types the other\n"
                                        : ": pressing the one presses the other\n");
            writeUses(wider, "      ");
            writeUses(within, "      ");
        }
    }
    any = false;
    for (const KeyEntry& entry : map.keys) {
        if (entry.IsConflict() || !IsGameControl(entry.key) || entry.mods < 2) continue;
        if (!any)
            out << (entry.key.IsWidget() || HasWidgets(map)
                        ? "\nShared controls: pad buttons and widgets mods read as the game's controls\n"
                        : "\nShared controls: pad buttons mods read as the game's controls\n");
        any = true;
        out << "  " << KeyTitle(entry.key) << ": " << modCount(entry) << "\n";
        writeUses(entry, "      ");
    }
    any = false;
    for (const KeyEntry& entry : map.keys) {
        if (entry.IsConflict() || (IsGameControl(entry.key) && entry.mods >= 2)) continue;
        if (!any) out << "\nKeys without a conflict\n";
        any = true;
        if (entry.mods > 1) {
            out << "  " << KeyTitle(entry.key) << ": " << modCount(entry)
                << (TestsNoKey(entry.key) ? ", no key the game reads" : "") << "\n";
            writeUses(entry, "      ");
        } else {
            out << "  " << KeyTitle(entry.key) << ": ";
            writeUses(entry, "");
        }
    }
    for (const Mod& mod : map.mods)
        if (!mod.copies.empty()) {
            out << "\nInstalled twice: " << PlainText(mod.name);
            for (const std::string& copy : mod.copies) out << ", " << PlainText(copy);
            out << " (the same scripts, counted once)\n";
        }

    std::vector<const ScriptKeys*> incomplete;
    for (const ScriptKeys& script : map.scripts)
        if (script.IsIncomplete()) incomplete.push_back(&script);
    if (!incomplete.empty()) {
        out << "\nIncomplete: " << Plural(static_cast<int64_t>(incomplete.size()), "script", "scripts")
            << " with unknown instructions, whose keys the map may lack\n";
        for (const ScriptKeys* script : incomplete)
            out << "  " << PlainText(script->path) << ": " << UnknownInstructionsText(script->summary) << "\n";
    }
    const std::vector<SearchProblem> leftOut = LeftOut(map, search);
    if (!leftOut.empty()) {
        out << "\nLeft out: " << leftOut.size() << "\n";
        for (const SearchProblem& problem : leftOut)
            out << "  " << PlainText(problem.path) << ": " << problem.cause << "\n";
    }
}

// The columns of a row of the tsv output, one row a key and script.
struct TsvColumn {
    const char* name;
    std::function<std::string(const KeyEntry&, const KeyUse&, const KeyMap&)> value;
};

const std::vector<TsvColumn>& TsvColumns() {
    static const std::vector<TsvColumn> columns = {
        {"kind", [](const KeyEntry& e, const KeyUse&, const KeyMap&) { return KindColumn(e.key); }},
        {"pad", [](const KeyEntry& e, const KeyUse&, const KeyMap&) { return std::to_string(PadColumn(e.key)); }},
        {"key", [](const KeyEntry& e, const KeyUse&, const KeyMap&) { return std::to_string(KeyColumn(e.key)); }},
        {"name", [](const KeyEntry& e, const KeyUse&, const KeyMap&) { return TestedKeyName(e.key); }},
        {"file", [](const KeyEntry&, const KeyUse& u, const KeyMap& m) { return m.scripts[u.script].path; }},
        {"mod", [](const KeyEntry&, const KeyUse& u, const KeyMap& m) { return m.mods[m.scripts[u.script].mod].name; }},
        {"tests", [](const KeyEntry&, const KeyUse& u, const KeyMap&) { return std::to_string(u.tests); }},
        {"conflict", [](const KeyEntry& e, const KeyUse&, const KeyMap&) { return e.IsConflict() ? "1" : "0"; }},
    };
    return columns;
}

void WriteTsv(const KeyMap& map, std::ostream& out) {
    const std::vector<TsvColumn>& columns = TsvColumns();
    for (std::size_t c = 0; c < columns.size(); ++c) out << (c ? "\t" : "") << columns[c].name;
    out << "\n";
    for (const KeyEntry& entry : map.keys)
        for (const KeyUse& use : entry.uses) {
            for (std::size_t c = 0; c < columns.size(); ++c)
                out << (c ? "\t" : "") << TsvField(columns[c].value(entry, use, map));
            out << "\n";
        }
}

// A list of objects, one a line.
std::string JsonLines(const std::vector<Json>& items) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? ",\n  " : "\n  ") + OneLine(items[i]);
    return text + (items.empty() ? "]" : "\n ]");
}

void WriteJson(const KeyMap& map, const ScriptSearch& search, std::ostream& out) {
    std::vector<Json> keys;
    for (const KeyEntry& entry : map.keys) {
        Json files = Json::array();
        for (const KeyUse& use : entry.uses)
            files.push_back({{"file", map.scripts[use.script].path},
                             {"mod", map.mods[map.scripts[use.script].mod].name},
                             {"tests", use.tests}});
        keys.push_back({{"kind", KindColumn(entry.key)},
                        {"pad", PadColumn(entry.key)},
                        {"key", KeyColumn(entry.key)},
                        {"name", TestedKeyName(entry.key)},
                        {"conflict", entry.IsConflict()},
                        {"tests", entry.Tests()},
                        {"files", files}});
    }
    std::vector<Json> incomplete;
    for (const ScriptKeys& script : map.scripts)
        if (script.IsIncomplete())
            incomplete.push_back({{"file", script.path},
                                  {"unknownInstructions", script.summary.unknownInstructions},
                                  {"firstUnknownOffset", *script.summary.firstUnknownOffset}});
    std::vector<Json> leftOut;
    for (const SearchProblem& problem : LeftOut(map, search))
        leftOut.push_back({{"file", problem.path}, {"cause", problem.cause}});
    out << "{\"scripts\": " << MappedScripts(map) << ", \"conflicts\": " << map.ConflictCount()
        << ",\n \"keys\": " << JsonLines(keys) << ",\n \"incomplete\": " << JsonLines(incomplete)
        << ",\n \"leftOut\": " << JsonLines(leftOut) << "}\n";
}

// The folder's own name for a path given as "demo/", "." or "../mods/sa".
std::string FolderName(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) absolute = path;
    absolute = absolute.lexically_normal();
    if (absolute.filename().empty()) absolute = absolute.parent_path();
    const std::string name = absolute.filename().string();
    return name.empty() ? absolute.string() : name;
}

std::string Caption(const std::vector<std::string>& paths) {
    std::string caption;
    for (const std::string& path : paths) caption += (caption.empty() ? "" : ", ") + FolderName(path);
    return caption;
}

// Today as YYYY-MM-DD; SOURCE_DATE_EPOCH, when set, stands for now, so a
// picture can be made again identically.
std::string Today() {
    std::time_t now = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (end != epoch && *end == '\0') now = static_cast<std::time_t>(seconds);
    }
    char text[16] = "";
    if (const std::tm* day = std::gmtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%d", day);
    return text;
}

}  // namespace

int RunKeys(const Options& options, std::ostream& out, std::ostream& err) {
    const Setup setup = PrepareSetup(options, err);
    if (!setup.tableLoaded) {
        err << "morvane-cli: opcode table cannot be loaded (" << setup.tableError << ")\n";
        return kExitFileFailed;
    }
    const ScriptSearch search = FindScripts(options.files, setup.game);
    if (!options.svg.empty()) {
        // The picture must not take the place of anything read.
        std::vector<std::string> inputs = setup.read;
        inputs.insert(inputs.end(), search.scripts.begin(), search.scripts.end());
        inputs.insert(inputs.end(), options.files.begin(), options.files.end());
        if (const std::optional<std::string> input = InputNamedBy(options.svg, inputs)) {
            err << "morvane-cli: --svg " << PlainText(options.svg) << " is " << PlainText(*input)
                << ", which this run reads; nothing written\n";
            return kExitUsage;
        }
    }
    const KeyMap map = BuildKeyMap(search.scripts, setup.Table(), setup.game, options.header);

    int status = kExitDone;
    for (const SearchProblem& problem : search.problems) {
        err << PlainText(problem.path) << ": " << problem.cause << "\n";
        status = kExitFileFailed;
    }
    for (const ScriptKeys& script : map.scripts) {
        if (!script.read) {
            err << PlainText(script.path) << ": cannot open: " << script.cause << "\n";
            status = kExitFileFailed;
        } else if (script.IsIncomplete()) {
            err << PlainText(script.path) << ": warning: " << UnknownInstructionsText(script.summary) << "\n";
        }
    }

    switch (options.format) {
        case Format::Text: WriteText(map, search, out); break;
        case Format::Tsv: WriteTsv(map, out); break;
        case Format::Json: WriteJson(map, search, out); break;
    }

    if (!options.svg.empty()) {
        const std::string svg = KeyboardSvg(map, KeyboardCaption{Caption(options.files), Today()});
        const Result<SaveNotes> saved =
            WriteFileSafely(options.svg, reinterpret_cast<const uint8_t*>(svg.data()), svg.size());
        if (!saved) {
            err << PlainText(options.svg) << ": cannot save the picture: " << saved.Cause() << "\n";
            status = kExitFileFailed;
        } else if (!saved->notKept.empty()) {
            err << PlainText(options.svg) << ": warning: " << NotKeptText(*saved) << "\n";
        }
    }
    return status;
}

}  // namespace morvane::cli
