#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "io/FileIdentity.h"
#include "io/Result.h"

namespace morvane {

// One entry of a folder, examined through the folder itself: on POSIX
// systems its name is looked up in the open folder (fstatat), so that the
// cost of an entry does not grow with the depth of its folder.
struct FolderEntry {
    std::string name;  // the entry's name alone, as the system gives it
    // What the entry leads to, links followed (none when it cannot be
    // examined), and that file's identity.
    std::filesystem::file_type type = std::filesystem::file_type::none;
    FileIdentity identity;
    // Why it cannot be examined, when it cannot: ENOENT for a link that leads
    // nowhere, ELOOP for a link loop, ENAMETOOLONG for an entry whose path
    // would be longer than the system takes, EACCES when the folder may be
    // listed but not searched.
    std::error_code error;
    // Only when it cannot be examined: whether the entry itself is a link,
    // and whether the entry itself (not what it leads to) could be looked at.
    bool link = false;
    bool itselfExamined = true;
};

// A folder's identity and its entries ("." and ".." left out), in the order
// the system lists them.
struct FolderListing {
    FileIdentity identity;
    std::vector<FolderEntry> entries;
};

// Lists the folder at `path` (links followed) and examines each entry. A
// Failure, with the cause in plain words ("not found", "permission denied",
// "file name too long"), when the folder cannot be opened or read; an entry
// that cannot be examined is no failure, it carries its own error. The
// folder is open only during the call.
Result<FolderListing> ListFolder(const std::string& path);

}  // namespace morvane
