// morvane-cli keys: which keys and cheat codes the scripts of some folders
// test, by key, with the ones two or more scripts share; optionally drawn on a
// keyboard with the codes beside it.

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ScriptFile.h"
#include "cli/Escape.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyboardSvg.h"
#include "keymap/ScriptSearch.h"
#include "keys/KeyNames.h"
#include "script/SafeWrite.h"

namespace morvane::cli {

namespace {

HeaderSkip HeaderSkipOf(HeaderMode mode) {
    switch (mode) {
        case HeaderMode::On: return HeaderSkip::Always;
        case HeaderMode::Off: return HeaderSkip::Never;
        case HeaderMode::Auto: break;
    }
    return HeaderSkip::ByName;
}

std::string Plural(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "VKey 113 F2", "Pad 2 button 6 Aim Weapon|Hand Brake" or "Cheat BOOM".
std::string KeyTitle(const MapKey& key) {
    if (key.IsCheat()) return "Cheat " + PlainText(key.code);
    if (key.IsVKey()) return "VKey " + std::to_string(key.key) + "  " + MapKeyName(key);
    return std::string(kPadNames[key.pad]) + " button " + std::to_string(key.key) + "  " + MapKeyName(key);
}

std::string KindText(const MapKey& key) {
    switch (key.kind) {
        case KeyTestKind::VKey: return "vkey";
        case KeyTestKind::Button: return "button";
        case KeyTestKind::Cheat: return "cheat";
    }
    return std::string();
}

// The pad and key columns: -1 where the kind has none.
int32_t PadColumn(const MapKey& key) { return key.IsButton() ? key.pad : -1; }
int32_t KeyColumn(const MapKey& key) { return key.IsCheat() ? -1 : key.key; }

void WriteText(const KeyMap& map, const ScriptSearch& search, std::ostream& out) {
    int64_t mapped = 0;
    for (const ScriptKeys& script : map.scripts) mapped += script.read ? 1 : 0;
    const auto codes = static_cast<int64_t>(
        std::count_if(map.keys.begin(), map.keys.end(), [](const KeyEntry& entry) { return entry.key.IsCheat(); }));
    const auto keys = static_cast<int64_t>(map.keys.size()) - codes;
    out << "Key map: " << Plural(mapped, "script", "scripts") << ", " << Plural(keys, "key", "keys")
        << (codes > 0 ? " and " + Plural(codes, "cheat code", "cheat codes") : std::string()) << " tested, "
        << Plural(static_cast<int64_t>(map.ConflictCount()), "conflict", "conflicts") << "\n";

    bool inConflicts = false;
    bool inSingles = false;
    for (const KeyEntry& entry : map.keys) {
        if (entry.IsConflict() && !inConflicts) {
            out << "\nConflicts: keys tested by two or more scripts\n";
            inConflicts = true;
        } else if (!entry.IsConflict() && !inSingles) {
            out << "\nKeys tested by one script\n";
            inSingles = true;
        }
        if (entry.IsConflict()) {
            out << "  " << KeyTitle(entry.key) << ": "
                << Plural(static_cast<int64_t>(entry.uses.size()), "script", "scripts") << "\n";
            for (const KeyUse& use : entry.uses)
                out << "      " << PlainText(map.scripts[use.script].path) << " (" << Plural(use.tests, "test", "tests")
                    << ")\n";
        } else {
            const KeyUse& use = entry.uses.front();
            out << "  " << KeyTitle(entry.key) << ": " << PlainText(map.scripts[use.script].path) << " ("
                << Plural(use.tests, "test", "tests") << ")\n";
        }
    }

    std::vector<const ScriptKeys*> incomplete;
    std::vector<std::string> leftOut;
    for (const ScriptKeys& script : map.scripts) {
        if (script.IsIncomplete()) incomplete.push_back(&script);
        if (!script.read) leftOut.push_back(PlainText(script.path) + ": cannot open");
    }
    for (const SearchProblem& problem : search.problems)
        leftOut.push_back(PlainText(problem.path) + ": " + problem.cause);
    if (!incomplete.empty()) {
        out << "\nIncomplete: " << Plural(static_cast<int64_t>(incomplete.size()), "script", "scripts")
            << " with unknown instructions, whose keys the map may lack\n";
        for (const ScriptKeys* script : incomplete)
            out << "  " << PlainText(script->path) << ": " << UnknownInstructionsText(script->summary) << "\n";
    }
    if (!leftOut.empty()) {
        out << "\nLeft out: " << leftOut.size() << "\n";
        for (const std::string& line : leftOut) out << "  " << line << "\n";
    }
}

void WriteTsv(const KeyMap& map, std::ostream& out) {
    out << "kind\tpad\tkey\tname\tfile\ttests\tconflict\n";
    for (const KeyEntry& entry : map.keys)
        for (const KeyUse& use : entry.uses)
            out << KindText(entry.key) << "\t" << PadColumn(entry.key) << "\t" << KeyColumn(entry.key) << "\t"
                << TsvField(MapKeyName(entry.key)) << "\t" << TsvField(map.scripts[use.script].path) << "\t"
                << use.tests << "\t" << (entry.IsConflict() ? 1 : 0) << "\n";
}

void WriteJson(const KeyMap& map, const ScriptSearch& search, std::ostream& out) {
    int64_t mapped = 0;
    for (const ScriptKeys& script : map.scripts) mapped += script.read ? 1 : 0;
    out << "{\"scripts\": " << mapped << ", \"conflicts\": " << map.ConflictCount() << ",\n \"keys\": [";
    for (std::size_t k = 0; k < map.keys.size(); ++k) {
        const KeyEntry& entry = map.keys[k];
        out << (k ? ",\n  " : "\n  ") << "{\"kind\": " << JsonString(KindText(entry.key))
            << ", \"pad\": " << PadColumn(entry.key) << ", \"key\": " << KeyColumn(entry.key)
            << ", \"name\": " << JsonString(MapKeyName(entry.key))
            << ", \"conflict\": " << (entry.IsConflict() ? "true" : "false") << ", \"tests\": " << entry.Tests()
            << ", \"files\": [";
        for (std::size_t u = 0; u < entry.uses.size(); ++u)
            out << (u ? ", " : "") << "{\"file\": " << JsonString(map.scripts[entry.uses[u].script].path)
                << ", \"tests\": " << entry.uses[u].tests << "}";
        out << "]}";
    }
    out << (map.keys.empty() ? "],\n" : "\n ],\n") << " \"incomplete\": [";
    bool first = true;
    for (const ScriptKeys& script : map.scripts) {
        if (!script.IsIncomplete()) continue;
        out << (first ? "\n  " : ",\n  ") << "{\"file\": " << JsonString(script.path)
            << ", \"unknownInstructions\": " << script.summary.unknownInstructions
            << ", \"firstUnknownOffset\": " << script.summary.firstUnknownOffset << "}";
        first = false;
    }
    out << (first ? "],\n" : "\n ],\n") << " \"leftOut\": [";
    first = true;
    auto leftOut = [&](const std::string& path, const std::string& cause) {
        out << (first ? "\n  " : ",\n  ") << "{\"file\": " << JsonString(path) << ", \"cause\": " << JsonString(cause)
            << "}";
        first = false;
    };
    for (const ScriptKeys& script : map.scripts)
        if (!script.read) leftOut(script.path, "cannot open");
    for (const SearchProblem& problem : search.problems) leftOut(problem.path, problem.cause);
    out << (first ? "]}\n" : "\n ]}\n");
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
        err << "morvane-cli: opcode table cannot be loaded (" << setup.iniPath << ": " << setup.tableError << ")\n";
        return kExitFileFailed;
    }
    const ScriptSearch search = FindScripts(options.files);
    const KeyMap map = BuildKeyMap(search.scripts, setup.table, setup.game, HeaderSkipOf(options.header));

    int status = kExitDone;
    for (const SearchProblem& problem : search.problems) {
        err << PlainText(problem.path) << ": " << problem.cause << "\n";
        status = kExitFileFailed;
    }
    for (const ScriptKeys& script : map.scripts) {
        if (!script.read) {
            err << PlainText(script.path) << ": cannot open\n";
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
        if (!WriteFileSafely(options.svg, reinterpret_cast<const uint8_t*>(svg.data()), svg.size())) {
            err << PlainText(options.svg) << ": cannot save the picture\n";
            status = kExitFileFailed;
        }
    }
    return status;
}

}  // namespace morvane::cli
