#include "keymap/ScriptSearch.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

#include "io/FileIdentity.h"
#include "script/ScriptFiles.h"

namespace morvane {

namespace fs = std::filesystem;

namespace {

bool IsHidden(const fs::path& name) {
    const std::string text = name.filename().string();
    return !text.empty() && text[0] == '.';
}

std::string Display(const fs::path& path) { return path.generic_string(); }

class Search {
public:
    ScriptSearch result;

    void Argument(const std::string& text) {
        const fs::path path(text);
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (error || !fs::exists(status)) {
            Problem(path, fs::is_symlink(fs::symlink_status(path, error)) ? "the link leads nowhere"
                                                                          : "no such file or folder");
        } else if (fs::is_directory(status)) {
            Folder(path);
        } else if (!IsScriptFileName(text)) {
            Problem(path, "not a script (a script's name ends in " + ScriptExtensionsText("or") + ")");
        } else {
            Script(path);
        }
    }

private:
    void Problem(const fs::path& path, const std::string& cause) { result.problems.push_back({Display(path), cause}); }

    void Script(const fs::path& path) {
        const std::optional<FileIdentity> identity = IdentifyFile(path.u8string());
        if (!identity) {
            Problem(path, "cannot be read");
            return;
        }
        if (files_.insert(*identity).second) result.scripts.push_back(Display(path));
    }

    void Folder(const fs::path& folder) {
        const std::optional<FileIdentity> identity = IdentifyFile(folder.u8string());
        if (!identity) {
            Problem(folder, "cannot be read");
            return;
        }
        if (!folders_.insert(*identity).second) return;  // met before: a link loop or a repeated path

        std::vector<fs::path> entries;
        std::error_code error;
        fs::directory_iterator it(folder, error);
        for (const fs::directory_iterator end; !error && it != end; it.increment(error))
            if (!IsHidden(it->path())) entries.push_back(it->path());
        if (error) {
            Problem(folder, "cannot be searched: " + error.message());
            return;
        }
        std::sort(entries.begin(), entries.end());

        for (const fs::path& entry : entries) {
            std::error_code statusError;
            const fs::file_status status = fs::status(entry, statusError);
            if (fs::is_directory(status)) {
                Folder(entry);
            } else if (!IsScriptFileName(entry.string())) {
                ++result.otherFiles;
            } else if (statusError || !fs::exists(status)) {
                Problem(entry, "the link leads nowhere");
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
