#include "opcodes/SannyBuilder.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "i18n/Translate.h"
#include "io/FolderListing.h"
#include "io/ReadFile.h"
#include "opcodes/OpcodeJson.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kModeFile = "mode.xml";
constexpr const char* kDataFolder = "data";
constexpr const char* kSannyFolderMark = "@sb:";
// How many of the entries that gave nothing a failure names with their causes.
constexpr std::size_t kEntriesNamed = 5;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// Whether a name matches a pattern of "*" and "?", both in lower case.
bool Matches(const std::string& p, const std::string& n) {
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

// What a path is that a mode file names as a file but is none, in words
// that follow its name ("is a FIFO, not a file").
std::string NotAFile(fs::file_type type) {
    switch (type) {
        case fs::file_type::directory: return Tr("is a folder, not a file");
        case fs::file_type::fifo: return Tr("is a FIFO, not a file");
        case fs::file_type::socket: return Tr("is a socket, not a file");
        case fs::file_type::block:
        case fs::file_type::character: return Tr("is a device, not a file");
        default: return Tr("is not a regular file");
    }
}

// One entry of a listed folder.
struct Listed {
    std::string name;
    std::string lower;                         // the name in lower case, for matching
    fs::file_type type = fs::file_type::none;  // links followed
    std::string unusable;                      // why it cannot be examined ("is a link that leads nowhere")
};

// The folders a load looks into, each listed once however many entries of
// the mode file name it: a thousand wildcard entries over a folder of
// thousands of files cost one listing.
class Folders {
public:
    // A folder's entries in the order of their names without regard to case;
    // none when it cannot be listed.
    const std::vector<Listed>& Of(const fs::path& folder) {
        const std::string key = folder.u8string();
        if (const auto found = listed_.find(key); found != listed_.end()) return found->second;
        std::vector<Listed>& entries = listed_[key];
        const Result<FolderListing> listing = ListFolder(key);
        if (!listing) return entries;
        for (const FolderEntry& entry : listing->entries) {
            Listed listed{entry.name, Lower(entry.name), entry.type, {}};
            if (entry.error == std::errc::no_such_file_or_directory && entry.link) {
                listed.unusable = Tr("is a link that leads nowhere");
            } else if (entry.error == std::errc::too_many_symbolic_link_levels) {
                listed.unusable = Tr("is a link that leads back to itself");
            } else if (entry.error) {
                listed.unusable =
                    Fill(Tr("cannot be examined ({reason})"), {{"reason", SystemReason(entry.error.value())}});
            }
            entries.push_back(std::move(listed));
        }
        std::sort(entries.begin(), entries.end(), [](const Listed& a, const Listed& b) {
            return a.lower != b.lower ? a.lower < b.lower : a.name < b.name;
        });
        return entries;
    }

private:
    std::map<std::string, std::vector<Listed>> listed_;
};

enum class Want { Folders, Files };

// What a name of a mode file's path matches in a folder.
struct Matched {
    std::vector<fs::path> found;  // the folders, or the regular files, in the order of their names
    // Only when files are wanted: what matched but is no regular file, with what it is.
    std::vector<std::pair<fs::path, std::string>> refused;
};

// The entries of a folder whose names match: exactly first, then without
// regard to case, "*" and "?" matching in a name that has them.
Matched Match(Folders& folders, const fs::path& folder, const std::string& name, Want want) {
    const auto wanted = [want](fs::file_type type) {
        return type == (want == Want::Folders ? fs::file_type::directory : fs::file_type::regular);
    };
    Matched matched;
    if (!HasWildcard(name)) {
        std::error_code error;
        const fs::path exact = folder / fs::u8path(name);
        if (wanted(fs::status(exact, error).type())) {
            matched.found.push_back(exact);
            return matched;
        }
    }
    const std::string pattern = Lower(name);
    for (const Listed& entry : folders.Of(folder)) {
        if (!(HasWildcard(name) ? Matches(pattern, entry.lower) : entry.lower == pattern)) continue;
        if (wanted(entry.type))
            matched.found.push_back(folder / fs::u8path(entry.name));
        else if (want == Want::Files)
            matched.refused.emplace_back(folder / fs::u8path(entry.name),
                                         entry.unusable.empty() ? NotAFile(entry.type) : entry.unusable);
    }
    return matched;
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
fs::path ProgramFolder(Folders& folders, const std::string& chosen) {
    const fs::path folder = fs::u8path(chosen);
    if (!Match(folders, folder, kDataFolder, Want::Folders).found.empty()) return folder;
    if (SameName(folder.filename().u8string(), kDataFolder)) return folder.parent_path();
    const fs::path parent = folder.parent_path();
    if (folder.filename().empty() && SameName(parent.filename().u8string(), kDataFolder)) return parent.parent_path();
    return folder;
}

// The files a path under the program's folder names (each folder on the
// way the first that matches), and what it names that is no file.
Matched Find(Folders& folders, const fs::path& program, const std::vector<std::string>& names) {
    if (names.empty()) return {};
    fs::path folder = program;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        const Matched next = Match(folders, folder, names[i], Want::Folders);
        if (next.found.empty()) return {};
        folder = next.found.front();
    }
    return Match(folders, folder, names.back(), Want::Files);
}

// The same for a path as a mode file writes it: "@sb:" first, or not.
Matched Resolve(Folders& folders, const fs::path& program, const std::string& entry) {
    const std::string mark = kSannyFolderMark;
    const bool marked = entry.size() >= mark.size() && SameName(entry.substr(0, mark.size()), mark);
    return Find(folders, program, Names(marked ? entry.substr(mark.size()) : entry));  // unmarked: under it too
}

// An entry of the classic mode that gave no file, or a file of it that
// could not be read; `told` when it is said even though other files are read
// (a wildcard that matches nothing is not).
struct Unread {
    SannySkipped skipped;
    bool told = true;
};

// The failure of a mode file none of whose files could be read, naming the
// first few entries with their causes.
Failure NoneRead(const std::string& mode, const std::vector<Unread>& unread) {
    if (unread.empty()) {
        // TRANSLATORS: {mode} is the path of a mode file of Sanny Builder.
        const std::string form = Tr("{mode}: no file it names could be read (it names none)");
        return Failure{Fill(form, {{"mode", mode}})};
    }
    // Each entry as "@sb:\data\sa\x.ini is not there", a wildcard's file after it: "...\*.ini: y.ini is ...".
    std::string entries;
    for (std::size_t i = 0; i < unread.size() && i < kEntriesNamed; ++i) {
        const SannySkipped& skipped = unread[i].skipped;
        entries += (i == 0 ? "" : "; ") + skipped.entry + (skipped.file.empty() ? "" : ": " + skipped.file) + " " +
                   skipped.cause;
    }
    if (unread.size() <= kEntriesNamed) {
        // TRANSLATORS: {mode} is the path of a mode file of Sanny Builder; {entries} its entries with their causes.
        const std::string form = Tr("{mode}: no file it names could be read: {entries}");
        return Failure{Fill(form, {{"mode", mode}, {"entries", entries}})};
    }
    const std::size_t more = unread.size() - kEntriesNamed;
    // TRANSLATORS: {mode} is the path of a mode file of Sanny Builder; {entries} the first of its entries with their
    // causes, {count} how many more there are.
    const std::string form = TrN("{mode}: no file it names could be read: {entries}; and {count} more",
                                 "{mode}: no file it names could be read: {entries}; and {count} more", more);
    return Failure{Fill(form, {{"mode", mode}, {"entries", entries}, {"count", std::to_string(more)}})};
}

// What a mode gave: nothing (the next mode is tried), a table, or a failure.
using ModeRead = std::optional<Status>;

// The mode file of a mode folder, or nothing; a mode file's name on what is
// no file is told in `read` and passed over.
std::optional<std::string> FindMode(Folders& folders, const fs::path& program, const std::string& modeFolder,
                                    SannyBuilderTable& read) {
    const Matched mode = Find(folders, program, {kDataFolder, modeFolder, kModeFile});
    if (!mode.found.empty()) return mode.found.front().u8string();
    for (const auto& [path, what] : mode.refused) read.ignored.push_back({path.u8string(), what});
    return std::nullopt;
}

// The entries of a mode file, or why it cannot be read.
Result<std::vector<std::string>> ReadMode(const std::string& path, const char* tag) {
    const Result<std::string> text = ReadWholeFile(path, kLargestOpcodeFile);
    if (!text) return Failure{path + ": " + text.Cause()};
    Result<std::vector<std::string>> entries = ReadModeEntries(*text, tag);
    if (!entries) return Failure{path + ": " + entries.Cause()};
    return entries;
}

// What an entry of a mode file found that is no file (each such path once,
// in `said`, however many entries match it), or nothing at all.
std::vector<Unread> NothingUsable(const std::string& entry, const Matched& named, std::set<fs::path>& said) {
    std::vector<Unread> unread;
    const bool wildcard = HasWildcard(entry);
    for (const auto& [path, what] : named.refused)
        if (said.insert(path).second)
            unread.push_back({{entry, wildcard ? path.filename().u8string() : std::string(), what}});
    if (named.found.empty() && named.refused.empty())
        unread.push_back(wildcard ? Unread{{entry, {}, Tr("matches no file")}, false}
                                  : Unread{{entry, {}, Tr(kSannyNotThere)}});
    return unread;
}

// The command library of the game's library mode, when it is there.
ModeRead LoadLibraryMode(Folders& folders, const fs::path& program, GameId game, SannyBuilderTable& read) {
    const std::optional<std::string> mode = FindMode(folders, program, SannyLibraryModeFolder(game), read);
    if (!mode) return std::nullopt;
    const Result<std::vector<std::string>> libraries = ReadMode(*mode, "library");
    if (!libraries) return Status(Failure{libraries.Cause()});
    std::set<fs::path> said;
    for (const std::string& entry : *libraries) {
        const Matched named = Resolve(folders, program, entry);
        if (named.found.empty()) {
            for (const Unread& unread : NothingUsable(entry, named, said))
                if (unread.told) read.skipped.push_back(unread.skipped);
            continue;
        }
        const std::string file = named.found.front().u8string();
        const Status loaded = LoadOpcodeFile(file, game, read.table);
        if (!loaded) return Status(Failure{file + ": " + loaded.Cause()});
        read.files = {file};
        read.library = true;
        return Status();
    }
    return std::nullopt;  // no library there: the classic mode's files
}

// The <opcodes> files of the game's mode, merged in order.
ModeRead LoadClassicMode(Folders& folders, const fs::path& program, GameId game, SannyBuilderTable& read) {
    const std::optional<std::string> mode = FindMode(folders, program, SannyModeFolder(game), read);
    if (!mode) return std::nullopt;
    const Result<std::vector<std::string>> entries = ReadMode(*mode, "opcodes");
    if (!entries) return Status(Failure{entries.Cause()});
    OpcodeTable merged;
    merged.Reset(game);
    std::vector<std::string> files;
    std::set<std::string> taken;  // each file once
    std::vector<Unread> unread;
    std::set<fs::path> said;
    for (const std::string& entry : *entries) {
        const Matched named = Resolve(folders, program, entry);
        const std::vector<Unread> nothing = NothingUsable(entry, named, said);
        unread.insert(unread.end(), nothing.begin(), nothing.end());
        for (const fs::path& path : named.found) {
            const std::string file = path.u8string();
            if (!taken.insert(file).second) continue;
            OpcodeTable one;
            const Status loaded = LoadOpcodeFile(file, game, one);
            if (!loaded) {
                unread.push_back({{entry, HasWildcard(entry) ? path.filename().u8string() : std::string(),
                                   Fill(Tr("cannot be read ({cause})"), {{"cause", loaded.Cause()}})}});
                continue;
            }
            merged.MergeFrom(one);
            files.push_back(file);
        }
    }
    if (files.empty()) return Status(NoneRead(*mode, unread));
    for (const Unread& each : unread)
        if (each.told) read.skipped.push_back(each.skipped);
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
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) {
        // The XML reader's own words, in English.
        const std::string error =
            document.ErrorStr() != nullptr ? std::string(document.ErrorStr()) : Tr("the XML cannot be read");
        // TRANSLATORS: {error} is why an XML file cannot be read, in English.
        return Failure{Fill(Tr("not a mode file: {error}"), {{"error", error}})};
    }
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
    Folders folders;
    std::vector<std::string> files;
    for (const fs::path& file : Resolve(folders, fs::u8path(folder), entry).found) files.push_back(file.u8string());
    return files;
}

std::string SannySkippedText(const SannySkipped& skipped) {
    if (skipped.file.empty()) {
        // TRANSLATORS: {entry} is a path as a mode file writes it; {cause} is "is not there", "is a FIFO, not a file".
        return Fill(Tr("Sanny Builder's mode file names {entry}, which {cause}: skipped"),
                    {{"entry", skipped.entry}, {"cause", skipped.cause}});
    }
    // TRANSLATORS: {entry} is a path with a wildcard, {file} a file it found; {cause} is "is a FIFO, not a file".
    return Fill(Tr("Sanny Builder's mode file names {entry}, whose {file} {cause}: skipped"),
                {{"entry", skipped.entry}, {"file", skipped.file}, {"cause", skipped.cause}});
}

std::string SannyIgnoredText(const SannyIgnored& ignored) {
    // TRANSLATORS: {path} is a mode file's path; {cause} is "is a FIFO, not a file".
    return Fill(Tr("Sanny Builder's {path} {cause}: ignored"), {{"path", ignored.path}, {"cause", ignored.cause}});
}

Result<SannyBuilderTable> LoadSannyBuilderTable(const std::string& folder, GameId game) {
    if (!IsFolder(folder))
        return Failure{folder + ": " + (fs::exists(fs::u8path(folder)) ? Tr("not a folder") : Tr(kNotFoundCause))};
    Folders folders;
    const fs::path program = ProgramFolder(folders, folder);
    SannyBuilderTable read;
    for (auto mode : {LoadLibraryMode, LoadClassicMode}) {
        const ModeRead loaded = mode(folders, program, game, read);
        if (!loaded) continue;
        if (!*loaded) return Failure{loaded->Cause()};
        return read;
    }
    const Matched ini = Find(folders, program, {kDataFolder, SannyModeFolder(game), SannyClassicIniName(game)});
    if (ini.found.empty()) {
        const std::string modeFolder = std::string(kDataFolder) + "\\" + SannyModeFolder(game) + "\\";
        // TRANSLATORS: {game} is a game's name, {folder} Sanny Builder's folder; {mode} and {ini} are paths in it.
        std::string text = Fill(Tr("no opcode files of {game} in {folder} (looked for {mode} and {ini})"),
                                {{"game", GameName(game)},
                                 {"folder", folder},
                                 {"mode", modeFolder + kModeFile},
                                 {"ini", modeFolder + SannyClassicIniName(game)}});
        for (const SannyIgnored& ignored : read.ignored) text += "; " + ignored.path + " " + ignored.cause;
        for (const auto& [path, what] : ini.refused) text += "; " + path.u8string() + " " + what;
        return Failure{text};
    }
    const std::string file = ini.found.front().u8string();
    const Status loaded = LoadOpcodeFile(file, game, read.table);
    if (!loaded) return Failure{file + ": " + loaded.Cause()};
    read.files = {file};
    return read;
}

}  // namespace morvane
