// Folder listing on Windows, through the standard library: each entry is
// examined by its path (Windows has no lookup relative to an open folder
// that the standard library reaches), its identity from IdentifyFile.

#include "io/FolderListing.h"

#include "i18n/Translate.h"
#include "io/ReadFile.h"

namespace morvane {

namespace fs = std::filesystem;

Result<FolderListing> ListFolder(const std::string& path) {
    const std::optional<FileIdentity> identity = IdentifyFile(path);
    if (!identity) return Failure{IsFolder(path) ? Tr("cannot be opened") : Tr(kNotFoundCause)};
    FolderListing listing;
    listing.identity = *identity;
    std::error_code error;
    fs::directory_iterator it(fs::u8path(path), error);
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        FolderEntry entry;
        entry.name = it->path().filename().u8string();
        std::error_code statusError;
        const fs::file_status status = fs::status(it->path(), statusError);
        const std::optional<FileIdentity> found = statusError ? std::nullopt : IdentifyFile(it->path().u8string());
        if (!statusError && fs::exists(status) && (found || !fs::is_regular_file(status))) {
            entry.type = status.type();
            if (found) entry.identity = *found;
        } else if (!statusError && fs::exists(status)) {
            entry.error = std::make_error_code(std::errc::permission_denied);  // there, but it cannot be opened
        } else {
            entry.error = statusError ? statusError : std::make_error_code(std::errc::no_such_file_or_directory);
            std::error_code linkError;
            const fs::file_status itself = fs::symlink_status(it->path(), linkError);
            entry.link = !linkError && fs::is_symlink(itself);
            entry.itselfExamined = !linkError && fs::exists(itself);
        }
        listing.entries.push_back(std::move(entry));
    }
    if (error) return Failure{SystemReason(error.value())};
    return listing;
}

}  // namespace morvane
