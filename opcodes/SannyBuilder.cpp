#include "opcodes/SannyBuilder.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "io/ReadFile.h"
#include "opcodes/OpcodeJson.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kModeFile = "mode.xml";
constexpr const char* kDataFolder = "data";
constexpr const char* kSannyFolderMark = "@sb:";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// Whether a name matches a pattern of "*" and "?", without regard to case.
bool Matches(const std::string& pattern, const std::string& name) {
    const std::string p = Lower(pattern);
    const std::string n = Lower(name);
    std::size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// The entries of a folder whose names match, exactly first, then without
// regard to case; files only, or folders only.
std::vector<fs::path> Entries(const fs::path& folder, const std::string& name, bool folders) {
    std::vector<fs::path> found;
    std::error_code error;
    const fs::path exact = folder / fs::u8path(name);
    if (!HasWildcard(name) && (folders ? fs::is_directory(exact, error) : fs::is_regular_file(exact, error)))
        return {exact};
    fs::directory_iterator it(folder, error);
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        const bool isFolder = fs::is_directory(it->path(), statusError);
        const bool isFile = fs::is_regular_file(it->path(), statusError);
        if (folders ? !isFolder : !isFile) continue;
        const std::string entry = it->path().filename().u8string();
        if (HasWildcard(name) ? Matches(name, entry) : SameName(name, entry)) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return Lower(a.filename().u8string()) < Lower(b.filename().u8string());
    });
    return found;
}

// Splits "a\b/c" into its names.
std::vector<std::string> Names(const std::string& path) {
    std::vector<std::string> names;
    std::string name;
    for (const char c : path) {
        if (c == '\\' || c == '/') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

// Sanny Builder's own folder for a folder the user chose: the folder that
// holds data\, or the data folder's parent.
fs::path ProgramFolder(const std::string& chosen) {
    const fs::path folder = fs::u8path(chosen);
    if (!Entries(folder, kDataFolder, true).empty()) return folder;
    if (SameName(folder.filename().u8string(), kDataFolder)) return folder.parent_path();
    const fs::path parent = folder.parent_path();
    if (folder.filename().empty() && SameName(parent.filename().u8string(), kDataFolder)) return parent.parent_path();
    return folder;
}

// The one file a path under the program's folder names, or nothing.
std::vector<std::string> Find(const fs::path& program, const std::vector<std::string>& names) {
    fs::path folder = program;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        const std::vector<fs::path> next = Entries(folder, names[i], true);
        if (next.empty()) return {};
        folder = next.front();
    }
    std::vector<std::string> files;
    if (names.empty()) return files;
    for (const fs::path& file : Entries(folder, names.back(), false)) files.push_back(file.u8string());
    return files;
}

// What a mode gave: nothing (the next mode is tried), a table, or a failure.
using ModeRead = std::optional<Status>;

// The entries of a mode file, or why it cannot be read.
Result<std::vector<std::string>> ReadMode(const std::string& path, const char* tag) {
    const Result<std::string> text = ReadWholeFile(path, kLargestOpcodeFile);
    if (!text) return Failure{path + ": " + text.Cause()};
    Result<std::vector<std::string>> entries = ReadModeEntries(*text, tag);
    if (!entries) return Failure{path + ": " + entries.Cause()};
    return entries;
}

// The command library of the game's library mode, when it is there.
ModeRead LoadLibraryMode(const fs::path& program, GameId game, SannyBuilderTable& read) {
    const std::vector<std::string> mode = Find(program, {kDataFolder, SannyLibraryModeFolder(game), kModeFile});
    if (mode.empty()) return std::nullopt;
    const Result<std::vector<std::string>> libraries = ReadMode(mode.front(), "library");
    if (!libraries) return Status(Failure{libraries.Cause()});
    for (const std::string& entry : *libraries) {
        const std::vector<std::string> files = ResolveModePath(program.u8string(), entry);
        if (files.empty()) {
            read.missing.push_back(entry);
            continue;
        }
        const Status loaded = LoadOpcodeFile(files.front(), game, read.table);
        if (!loaded) return Status(Failure{files.front() + ": " + loaded.Cause()});
        read.files = {files.front()};
        read.library = true;
        return Status();
    }
    return std::nullopt;  // no library there: the classic mode's files
}

// The <opcodes> files of the game's mode, merged in order.
ModeRead LoadClassicMode(const fs::path& program, GameId game, SannyBuilderTable& read) {
    const std::vector<std::string> mode = Find(program, {kDataFolder, SannyModeFolder(game), kModeFile});
    if (mode.empty()) return std::nullopt;
    const Result<std::vector<std::string>> entries = ReadMode(mode.front(), "opcodes");
    if (!entries) return Status(Failure{entries.Cause()});
    OpcodeTable merged;
    merged.Reset(game);
    std::vector<std::string> files;
    for (const std::string& entry : *entries) {
        const std::vector<std::string> named = ResolveModePath(program.u8string(), entry);
        if (named.empty() && !HasWildcard(entry)) read.missing.push_back(entry);
        for (const std::string& file : named) {
            if (std::find(files.begin(), files.end(), file) != files.end()) continue;  // each file once
            OpcodeTable one;
            const Status loaded = LoadOpcodeFile(file, game, one);
            if (!loaded) {
                read.missing.push_back(entry + " (" + loaded.Cause() + ")");
                continue;
            }
            merged.MergeFrom(one);
            files.push_back(file);
        }
    }
    if (files.empty()) return Status(Failure{mode.front() + ": no file it names could be read"});
    read.table = std::move(merged);
    read.files = files;
    return Status();
}

}  // namespace

std::string SannyModeFolder(GameId game) { return InfoOf(game).sannyModeFolder; }

std::string SannyLibraryModeFolder(GameId game) { return InfoOf(game).sannyLibraryModeFolder; }

std::string SannyClassicIniName(GameId game) { return InfoOf(game).sannyClassicIni; }

Result<std::vector<std::string>> ReadModeEntries(const std::string& text, const char* tag) {
    tinyxml2::XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        return Failure{std::string("not a mode file: ") +
                       (document.ErrorStr() != nullptr ? document.ErrorStr() : "the XML cannot be read")};
    std::vector<std::string> entries;
    // Depth first, in document order, without recursion: the nesting of a
    // hostile file cannot exhaust the stack.
    std::vector<const tinyxml2::XMLElement*> pending;
    if (const tinyxml2::XMLElement* root = document.FirstChildElement()) pending.push_back(root);
    while (!pending.empty()) {
        const tinyxml2::XMLElement* element = pending.back();
        pending.pop_back();
        if (element->NextSiblingElement() != nullptr) pending.push_back(element->NextSiblingElement());
        if (std::string(element->Name()) == tag) {
            const char* value = element->GetText();
            if (value != nullptr) {
                std::string entry = value;
                const std::size_t first = entry.find_first_not_of(" \t\r\n");
                const std::size_t last = entry.find_last_not_of(" \t\r\n");
                if (first != std::string::npos) entries.push_back(entry.substr(first, last - first + 1));
            }
        }
        if (element->FirstChildElement() != nullptr) pending.push_back(element->FirstChildElement());
    }
    return entries;
}

std::vector<std::string> ResolveModePath(const std::string& folder, const std::string& entry) {
    std::string path = entry;
    if (path.size() < std::string(kSannyFolderMark).size() ||
        !SameName(path.substr(0, std::string(kSannyFolderMark).size()), kSannyFolderMark))
        return Find(fs::u8path(folder), Names(path));  // taken as lying under Sanny Builder's folder too
    path.erase(0, std::string(kSannyFolderMark).size());
    return Find(fs::u8path(folder), Names(path));
}

Result<SannyBuilderTable> LoadSannyBuilderTable(const std::string& folder, GameId game) {
    if (!IsFolder(folder))
        return Failure{folder + ": " + (fs::exists(fs::u8path(folder)) ? "not a folder" : "not found")};
    const fs::path program = ProgramFolder(folder);
    SannyBuilderTable read;
    for (auto mode : {LoadLibraryMode, LoadClassicMode}) {
        const ModeRead loaded = mode(program, game, read);
        if (!loaded) continue;
        if (!*loaded) return Failure{loaded->Cause()};
        return read;
    }
    const std::vector<std::string> ini = Find(program, {kDataFolder, SannyModeFolder(game), SannyClassicIniName(game)});
    if (ini.empty())
        return Failure{"no opcode files of " + std::string(GameName(game)) + " in " + folder + " (looked for data\\" +
                       SannyModeFolder(game) + "\\mode.xml and data\\" + SannyModeFolder(game) + "\\" +
                       SannyClassicIniName(game) + ")"};
    const Status loaded = LoadOpcodeFile(ini.front(), game, read.table);
    if (!loaded) return Failure{ini.front() + ": " + loaded.Cause()};
    read.files = ini;
    return read;
}

}  // namespace morvane
