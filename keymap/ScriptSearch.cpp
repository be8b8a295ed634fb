#include "keymap/ScriptSearch.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "io/FileIdentity.h"
#include "io/ReadFile.h"
#include "script/ScriptFiles.h"

namespace morvane {

namespace fs = std::filesystem;

namespace {

bool IsHidden(const fs::path& name) {
    const std::string text = name.filename().u8string();
    return !text.empty() && text[0] == '.';
}

// A path as the system writes it (its own separators), in UTF-8.
std::string Display(fs::path path) { return path.make_preferred().u8string(); }

// What a path is that cannot be examined, in plain words: a link to nothing,
// a link loop, a path too long for the system, or the system's reason.
std::string Unreachable(const fs::path& path, const std::error_code& error) {
    std::error_code ignored;
    const bool link = fs::is_symlink(fs::symlink_status(path, ignored));
    if (error == std::errc::no_such_file_or_directory)
        return link ? "the link leads nowhere" : "no such file or folder";
    if (error == std::errc::too_many_symbolic_link_levels) return "the link is a loop (it leads back to itself)";
    if (error == std::errc::filename_too_long) return "the path is longer than the system allows";
    if (error == std::errc::permission_denied) return "cannot be reached: permission denied";
    return "cannot be examined: " + SystemReason(error.value());
}

// What a path is that is no folder and no regular file ("a FIFO"), or nothing.
const char* NotAFile(const fs::file_status& status) {
    switch (status.type()) {
        case fs::file_type::regular:
        case fs::file_type::directory: return nullptr;
        case fs::file_type::fifo: return "is a FIFO, not a file";
        case fs::file_type::socket: return "is a socket, not a file";
        case fs::file_type::block:
        case fs::file_type::character: return "is a device, not a file";
        default: return "is not a regular file";
    }
}

class Search {
public:
    ScriptSearch result;

    void Argument(const std::string& text) {
        const fs::path path = fs::u8path(text);
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (error || !fs::exists(status)) {
            Problem(path,
                    Unreachable(path, error ? error : std::make_error_code(std::errc::no_such_file_or_directory)));
        } else if (fs::is_directory(status)) {
            Folder(path);
        } else if (!IsScriptFileName(text)) {
            Problem(path, "not a script (a script's name ends in " + ScriptExtensionsText("or") + ")");
        } else if (const char* what = NotAFile(status)) {
            Problem(path, what);
        } else {
            Script(path);
        }
    }

private:
    void Problem(const fs::path& path, const std::string& cause) { result.problems.push_back({Display(path), cause}); }

    void Script(const fs::path& path) {
        errno = 0;
        const std::optional<FileIdentity> identity = IdentifyFile(path.u8string());
        if (!identity) {
            Problem(path, "cannot be read: " + OpenFailureCause(path.u8string(), errno));
            return;
        }
        if (files_.insert(*identity).second) result.scripts.push_back(Display(path));
    }

    void Folder(const fs::path& folder) {
        errno = 0;
        const std::optional<FileIdentity> identity = IdentifyFile(folder.u8string());
        if (!identity) {
            Problem(folder, "cannot be searched: " + OpenFailureCause(folder.u8string(), errno));
            return;
        }
        if (!folders_.insert(*identity).second) return;  // met before: a link loop or a repeated path

        std::vector<fs::path> entries;
        std::error_code error;
        fs::directory_iterator it(folder, error);
        for (const fs::directory_iterator end; !error && it != end; it.increment(error))
            if (!IsHidden(it->path())) entries.push_back(it->path());
        if (error) {
            Problem(folder, "cannot be searched: " + SystemReason(error.value()));
            return;
        }
        std::sort(entries.begin(), entries.end());

        for (const fs::path& entry : entries) {
            std::error_code statusError;
            const fs::file_status status = fs::status(entry, statusError);
            if (statusError == std::errc::permission_denied) {
                std::error_code linkError;
                if (!fs::exists(fs::symlink_status(entry, linkError)) || linkError) {
                    // Its names can be listed but none of its entries examined
                    // (a folder without search permission): the folder is said once.
                    Problem(folder, "cannot be searched: its entries cannot be examined (permission denied)");
                    return;
                }
                Problem(entry, Unreachable(entry, statusError));  // a link into a folder that cannot be searched
                continue;
            }
            if (fs::is_directory(status)) {
                Folder(entry);
            } else if (statusError && statusError != std::errc::no_such_file_or_directory) {
                Problem(entry, Unreachable(entry, statusError));  // a loop, a path too long: whatever it is
            } else if (!IsScriptFileName(entry.u8string())) {
                ++result.otherFiles;
            } else if (statusError || !fs::exists(status)) {
                Problem(entry,
                        Unreachable(entry, statusError ? statusError
                                                       : std::make_error_code(std::errc::no_such_file_or_directory)));
            } else if (const char* what = NotAFile(status)) {
                Problem(entry, what);
            } else {
                Script(entry);
            }
        }
    }

    std::set<FileIdentity> files_;
    std::set<FileIdentity> folders_;
};

}  // namespace

ScriptSearch FindScripts(const std::vector<std::string>& paths) {
    Search search;
    for (const std::string& path : paths) search.Argument(path);
    return search.result;
}

}  // namespace morvane
