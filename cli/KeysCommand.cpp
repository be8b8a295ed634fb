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
#include "i18n/Translate.h"
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
    // TRANSLATORS: a typed cheat code in the key map; {code} is the code.
    if (key.IsCheat()) return Fill(Tr("Cheat {code}"), {{"code", PlainText(key.code)}});
    // TRANSLATORS: a chord of keys pressed together in the key map; {keys} is it as typed ("Alt+O").
    if (key.IsChord()) return Fill(Tr("Hotkey {keys}"), {{"keys", key.shown}});
    if (key.IsZone() || key.IsWidget()) return TestedKeyName(key);
    if (key.IsVKey())
        // TRANSLATORS: a key of the keyboard in the key map: {number} is its code, {name} its name.
        return Fill(Tr("VKey {number}  {name}"), {{"number", std::to_string(key.key)}, {"name", TestedKeyName(key)}});
    // TRANSLATORS: a pad's button in the key map: {pad} is the pad ("Pad 1"), {number} the button's number, {name}
    // its control and action ("Cross: Sprint | Accelerate").
    const std::string button = Tr("{pad} button {number}  {name}");
    return Fill(
        button,
        {{"pad", TrC("key", kPadNames[key.pad])}, {"number", std::to_string(key.key)}, {"name", TestedKeyName(key)}});
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
        if (!script.read) leftOut.push_back({script.path, Fill(Tr("cannot open: {cause}"), {{"cause", script.cause}})});
    leftOut.insert(leftOut.end(), search.problems.begin(), search.problems.end());
    return leftOut;
}

void WriteText(const KeyMap& map, const ScriptSearch& search, std::ostream& out) {
    const auto codes = static_cast<int64_t>(
        std::count_if(map.keys.begin(), map.keys.end(), [](const KeyEntry& entry) { return entry.key.IsCheat(); }));
    const auto keys = static_cast<int64_t>(map.keys.size()) - codes;
    const int64_t scripts = MappedScripts(map);
    const auto conflicts = static_cast<int64_t>(map.ConflictCount());
    const std::string scriptCount = Fill(TrN("{count} script", "{count} scripts", static_cast<uint64_t>(scripts)),
                                         {{"count", std::to_string(scripts)}});
    const std::string keyCount =
        Fill(TrN("{count} key", "{count} keys", static_cast<uint64_t>(keys)), {{"count", std::to_string(keys)}});
    const std::string conflictCount =
        Fill(TrN("{count} conflict", "{count} conflicts", static_cast<uint64_t>(conflicts)),
             {{"count", std::to_string(conflicts)}});
    if (codes > 0) {
        const std::string codeCount =
            Fill(TrN("{count} cheat code", "{count} cheat codes", static_cast<uint64_t>(codes)),
                 {{"count", std::to_string(codes)}});
        // TRANSLATORS: the first line of the key map: {scripts} ("4 scripts"), {keys} ("14 keys"), {codes} ("2 cheat
        // codes") and {conflicts} ("2 conflicts") are counted words.
        out << Fill(Tr("Key map: {scripts}, {keys} and {codes} tested, {conflicts}"),
                    {{"scripts", scriptCount}, {"keys", keyCount}, {"codes", codeCount}, {"conflicts", conflictCount}})
            << "\n";
    } else {
        // TRANSLATORS: the first line of the key map: {scripts} ("4 scripts"), {keys} ("14 keys") and {conflicts}
        // ("2 conflicts") are counted words.
        out << Fill(Tr("Key map: {scripts}, {keys} tested, {conflicts}"),
                    {{"scripts", scriptCount}, {"keys", keyCount}, {"conflicts", conflictCount}})
            << "\n";
    }

    // A key's mods, a line each: the mod's name, then its scripts' tests.
    const auto writeUses = [&](const KeyEntry& entry, const char* indent) {
        std::map<std::size_t, std::vector<const KeyUse*>> byMod;
        for (const KeyUse& use : entry.uses) byMod[map.scripts[use.script].mod].push_back(&use);
        for (const auto& [mod, uses] : byMod) {
            // A script that is a mod of its own is named by its path alone.
            out << indent;
            if (!map.IsLoneScript(mod)) out << PlainText(map.mods[mod].name) << ": ";
            for (std::size_t u = 0; u < uses.size(); ++u) {
                const int64_t tests = uses[u]->tests;
                out << (u ? ", " : "") << PlainText(map.scripts[uses[u]->script].path) << " ("
                    << Fill(TrN("{count} test", "{count} tests", static_cast<uint64_t>(tests)),
                            {{"count", std::to_string(tests)}})
                    << ")";
            }
            out << "\n";
        }
    };
    const auto modCount = [](const KeyEntry& entry) {
        return Fill(TrN("{count} mod", "{count} mods", static_cast<uint64_t>(entry.mods)),
                    {{"count", std::to_string(entry.mods)}});
    };
    bool any = false;
    for (const KeyEntry& entry : map.keys) {
        if (!entry.IsConflict()) continue;
        if (!any) out << "\n" << Tr("Conflicts: keys that two or more mods test") << "\n";
        any = true;
        out << "  " << KeyTitle(entry.key) << ": " << modCount(entry) << "\n";
        writeUses(entry, "      ");
    }
    if (!map.overlaps.empty()) {
        out << "\n" << Tr("Overlaps: keys of different mods that fire together") << "\n";
        for (const Overlap& overlap : map.overlaps) {
            const KeyEntry& wider = map.keys[overlap.wider];
            const KeyEntry& within = map.keys[overlap.within];
            const std::string both =
                wider.key.IsCheat()
                    // TRANSLATORS: two cheat codes, one within the other ("Cheat BOOM and Cheat OOM").
                    ? Tr("{wider} and {within}: typing the one types the other")
                    // TRANSLATORS: two keys, one pressed with the other ("VKey 16  Shift and VKey 160  Left Shift").
                    : Tr("{wider} and {within}: pressing the one presses the other");
            out << "  " << Fill(both, {{"wider", KeyTitle(wider.key)}, {"within", KeyTitle(within.key)}}) << "\n";
            writeUses(wider, "      ");
            writeUses(within, "      ");
        }
    }
    any = false;
    for (const KeyEntry& entry : map.keys) {
        if (entry.IsConflict() || !IsGameControl(entry.key) || entry.mods < 2) continue;
        if (!any)
            out << "\n"
                << (entry.key.IsWidget() || HasWidgets(map)
                        ? Tr("Shared controls: pad buttons and widgets mods read as the game's controls")
                        : Tr("Shared controls: pad buttons mods read as the game's controls"))
                << "\n";
        any = true;
        out << "  " << KeyTitle(entry.key) << ": " << modCount(entry) << "\n";
        writeUses(entry, "      ");
    }
    any = false;
    for (const KeyEntry& entry : map.keys) {
        if (entry.IsConflict() || (IsGameControl(entry.key) && entry.mods >= 2)) continue;
        if (!any) out << "\n" << Tr("Keys without a conflict") << "\n";
        any = true;
        if (entry.mods > 1) {
            // TRANSLATORS: after a key in the key map; {mods} is the mods that test it ("2 mods").
            const std::string noKey = Tr("{mods}, no key the game reads");
            out << "  " << KeyTitle(entry.key) << ": "
                << (TestsNoKey(entry.key) ? Fill(noKey, {{"mods", modCount(entry)}}) : modCount(entry)) << "\n";
            writeUses(entry, "      ");
        } else {
            out << "  " << KeyTitle(entry.key) << ": ";
            writeUses(entry, "");
        }
    }
    for (const Mod& mod : map.mods)
        if (!mod.copies.empty()) {
            std::string names = PlainText(mod.name);
            for (const std::string& copy : mod.copies) names += ", " + PlainText(copy);
            // TRANSLATORS: {mods} is the names of a mod and its copies, each after ", ".
            const std::string twice = Tr("Installed twice: {mods} (the same scripts, counted once)");
            out << "\n" << Fill(twice, {{"mods", names}}) << "\n";
        }

    std::vector<const ScriptKeys*> incomplete;
    for (const ScriptKeys& script : map.scripts)
        if (script.IsIncomplete()) incomplete.push_back(&script);
    if (!incomplete.empty()) {
        out << "\n"
            << Fill(TrN("Incomplete: {count} script with unknown instructions, whose keys the map may lack",
                        "Incomplete: {count} scripts with unknown instructions, whose keys the map may lack",
                        incomplete.size()),
                    {{"count", std::to_string(incomplete.size())}})
            << "\n";
        for (const ScriptKeys* script : incomplete)
            out << "  " << PlainText(script->path) << ": " << UnknownInstructionsText(script->summary) << "\n";
    }
    const std::vector<SearchProblem> leftOut = LeftOut(map, search);
    if (!leftOut.empty()) {
        // TRANSLATORS: the heading of the paths the key map could not read or search; {count} is how many.
        out << "\n" << Fill(Tr("Left out: {count}"), {{"count", std::to_string(leftOut.size())}}) << "\n";
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
    const EnglishTexts english;  // key names as programs read them
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
    const EnglishTexts english;  // key names and causes as programs read them
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
        err << "morvane-cli: " << Fill(Tr("opcode table cannot be loaded ({cause})"), {{"cause", setup.tableError}})
            << "\n";
        return kExitFileFailed;
    }
    const ScriptSearch search = FindScripts(options.files, setup.game);
    if (!options.svg.empty()) {
        // The picture must not take the place of anything read.
        std::vector<std::string> inputs = setup.read;
        inputs.insert(inputs.end(), search.scripts.begin(), search.scripts.end());
        inputs.insert(inputs.end(), options.files.begin(), options.files.end());
        if (const std::optional<std::string> input = InputNamedBy(options.svg, inputs)) {
            // TRANSLATORS: {option} is --svg or -o, {path} the file it names, {input} the name it was read by.
            const std::string reads = Tr("{option} {path} is {input}, which this run reads; nothing written");
            err << "morvane-cli: "
                << Fill(reads, {{"option", "--svg"}, {"path", PlainText(options.svg)}, {"input", PlainText(*input)}})
                << "\n";
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
            err << PlainText(script.path) << ": " << Fill(Tr("cannot open: {cause}"), {{"cause", script.cause}})
                << "\n";
            status = kExitFileFailed;
        } else if (script.IsIncomplete()) {
            err << PlainText(script.path) << ": "
                << Fill(Tr("warning: {warning}"), {{"warning", UnknownInstructionsText(script.summary)}}) << "\n";
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
            err << PlainText(options.svg) << ": "
                << Fill(Tr("cannot save the picture: {cause}"), {{"cause", saved.Cause()}}) << "\n";
            status = kExitFileFailed;
        } else if (!saved->notKept.empty()) {
            err << PlainText(options.svg) << ": " << Fill(Tr("warning: {warning}"), {{"warning", NotKeptText(*saved)}})
                << "\n";
        }
    }
    return status;
}

}  // namespace morvane::cli
