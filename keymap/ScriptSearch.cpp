#include "keymap/ScriptSearch.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "i18n/Translate.h"
#include "io/FileIdentity.h"
#include "io/FolderListing.h"
#include "io/ReadFile.h"
#include "script/ScriptFiles.h"

namespace morvane {

namespace fs = std::filesystem;

namespace {

bool IsHidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

// A path as the system writes it (its own separators), in UTF-8.
std::string Display(fs::path path) { return path.make_preferred().u8string(); }

bool EndsInSeparator(const std::string& path) {
    if (path.empty()) return false;
    const char last = path.back();
    return last == '/' || static_cast<fs::path::value_type>(last) == fs::path::preferred_separator ||
           (fs::path::preferred_separator != '/' && last == ':');  // "C:" on Windows
}

// An entry's path from its folder's, as `folder / name` would be but
// without taking the folder's path apart again, which costs as much as
// its depth.
std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (!EndsInSeparator(folder)) path += static_cast<char>(fs::path::preferred_separator);
    path += name;
    return path;
}

// What a path is that cannot be examined, in plain words: a link to nothing,
// a link loop, a path too long for the system, or the system's reason.
std::string Unreachable(bool link, const std::error_code& error) {
    if (error == std::errc::no_such_file_or_directory)
        return link ? Tr("the link leads nowhere") : Tr("no such file or folder");
    if (error == std::errc::too_many_symbolic_link_levels) return Tr("the link is a loop (it leads back to itself)");
    if (error == std::errc::filename_too_long) return Tr("the path is longer than the system allows");
    if (error == std::errc::permission_denied) return Tr("cannot be reached: permission denied");
    return Fill(Tr("cannot be examined: {reason}"), {{"reason", SystemReason(error.value())}});
}

bool IsLink(const fs::path& path) {
    std::error_code ignored;
    return fs::is_symlink(fs::symlink_status(path, ignored));
}

// What a path is that is no folder and no regular file ("is a FIFO, not a
// file"), or nothing.
std::optional<std::string> NotAFile(const fs::file_status& status) {
    switch (status.type()) {
        case fs::file_type::regular:
        case fs::file_type::directory: return std::nullopt;
        case fs::file_type::fifo: return Tr("is a FIFO, not a file");
        case fs::file_type::socket: return Tr("is a socket, not a file");
        case fs::file_type::block:
        case fs::file_type::character: return Tr("is a device, not a file");
        default: return Tr("is not a regular file");
    }
}

// "cannot be searched: no permission": why a folder cannot be searched.
std::string NotSearched(const std::string& cause) {
    // TRANSLATORS: after a folder's path; {cause} is "no permission", "not found" or the system's reason.
    return Fill(Tr("cannot be searched: {cause}"), {{"cause", cause}});
}

// The walk keeps, for the folder it is in, only the folder's path and its
// entries' names: an entry costs the same at any depth, and so does each
// step down (see ListFolder), apart from the paths of what it finds.
class Search {
public:
    ScriptSearch result;
    GameId game = kGameSanAndreas;

    void Argument(const std::string& text) {
        const fs::path path = fs::u8path(text);
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (error || !fs::exists(status)) {
            Problem(
                Display(path),
                Unreachable(IsLink(path), error ? error : std::make_error_code(std::errc::no_such_file_or_directory)));
        } else if (fs::is_directory(status)) {
            errno = 0;
            const std::optional<FileIdentity> identity = IdentifyFile(path.u8string());
            if (!identity)
                Problem(Display(path), NotSearched(OpenFailureCause(path.u8string(), errno)));
            else
                Folder(Display(path), *identity);
        } else if (!IsScriptFileName(text)) {
            // TRANSLATORS: after a file's path; {extensions} is ".cs, .cs3, .cs4, .cm, .scm, .csa or .csi".
            Problem(Display(path), Fill(Tr("not a script (a script's name ends in {extensions})"),
                                        {{"extensions", ScriptExtensionsText()}}));
        } else if (const std::optional<std::string> what = NotAFile(status)) {
            Problem(Display(path), *what);
        } else {
            errno = 0;
            const std::optional<FileIdentity> identity = IdentifyFile(path.u8string());
            if (!identity) {
                const std::string cause =
                    OpenFailureCause(path.u8string(), errno);  // before Tr, which may change errno
                // TRANSLATORS: after a script's path; {cause} is "no permission", "not found" or the system's reason.
                Problem(Display(path), Fill(Tr("cannot be read: {cause}"), {{"cause", cause}}));
            } else {
                Script(Display(path), *identity);
            }
        }
    }

private:
    void Problem(std::string path, std::string cause) {
        result.problems.push_back({std::move(path), std::move(cause)});
    }

    void Script(std::string path, const FileIdentity& identity) {
        if (files_.insert(identity).second) result.scripts.push_back(std::move(path));
    }

    void Folder(const std::string& folder, const FileIdentity& identity) {
        if (!folders_.insert(identity).second) return;  // met before: a link loop or a repeated path
        Result<FolderListing> listing = ListFolder(folder);
        if (!listing) {
            Problem(folder, NotSearched(listing.Cause()));
            return;
        }
        std::vector<FolderEntry>& entries = listing->entries;
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [](const FolderEntry& entry) { return IsHidden(entry.name); }),
                      entries.end());
        std::sort(entries.begin(), entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        // Its names can be listed but none of its entries examined (a folder
        // without search permission): the folder is said once.
        for (const FolderEntry& entry : entries) {
            if (entry.error == std::errc::permission_denied && !entry.itselfExamined) {
                Problem(folder, Tr("cannot be searched: its entries cannot be examined (permission denied)"));
                return;
            }
        }

        for (const FolderEntry& entry : entries) {
            const bool script = IsScriptFileNameOf(entry.name, game);
            if (entry.error == std::errc::permission_denied) {
                // A link into a folder that cannot be searched.
                Problem(Join(folder, entry.name), Unreachable(entry.link, entry.error));
            } else if (entry.type == fs::file_type::directory) {
                Folder(Join(folder, entry.name), entry.identity);
            } else if (entry.error && entry.error != std::errc::no_such_file_or_directory) {
                // A loop, a path too long: whatever it is.
                Problem(Join(folder, entry.name), Unreachable(entry.link, entry.error));
            } else if (!script) {
                ++result.otherFiles;
            } else if (entry.error) {
                Problem(Join(folder, entry.name), Unreachable(entry.link, entry.error));
            } else if (const std::optional<std::string> what = NotAFile(fs::file_status(entry.type))) {
                Problem(Join(folder, entry.name), *what);
            } else {
                Script(Join(folder, entry.name), entry.identity);
            }
        }
    }

    std::set<FileIdentity> files_;
    std::set<FileIdentity> folders_;
};

}  // namespace

ScriptSearch FindScripts(const std::vector<std::string>& paths, GameId game) {
    Search search;
    search.game = game;
    for (const std::string& path : paths) search.Argument(path);
    return std::move(search.result);
}

}  // namespace morvane
