#include "io/FolderListing.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "i18n/Translate.h"
#include "io/ReadFile.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

fs::file_type TypeOf(mode_t mode) {
    if (S_ISREG(mode)) return fs::file_type::regular;
    if (S_ISDIR(mode)) return fs::file_type::directory;
    if (S_ISLNK(mode)) return fs::file_type::symlink;
    if (S_ISFIFO(mode)) return fs::file_type::fifo;
    if (S_ISSOCK(mode)) return fs::file_type::socket;
    if (S_ISBLK(mode)) return fs::file_type::block;
    if (S_ISCHR(mode)) return fs::file_type::character;
    return fs::file_type::unknown;
}

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

// Why a folder cannot be opened or read, in plain words.
std::string ListingCause(int error) {
    if (error == ENOENT || error == ENOTDIR) return Tr(kNotFoundCause);
    return SystemReason(error);
}

FolderEntry Examine(int folder, const char* name, unsigned char listedType, bool pathTooLong) {
    FolderEntry entry;
    entry.name = name;
    struct stat info {};
    if (pathTooLong) {
        entry.error = std::make_error_code(std::errc::filename_too_long);
    } else if (fstatat(folder, name, &info, 0) == 0) {
        entry.type = TypeOf(info.st_mode);
        entry.identity = IdentityOf(info);
        return entry;
    } else {
        entry.error = std::error_code(errno, std::generic_category());
    }
    // What the entry itself is, for the cause: the listing may have said.
    if (listedType == DT_LNK) {
        entry.link = true;
    } else if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        entry.link = S_ISLNK(info.st_mode);
    } else {
        entry.itselfExamined = false;
    }
    return entry;
}

}  // namespace

Result<FolderListing> ListFolder(const std::string& path) {
    if (path.empty()) return Failure{Tr(kNotFoundCause)};
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Failure{ListingCause(errno)};
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        const int error = errno;
        close(fd);
        return Failure{ListingCause(error)};
    }
    const std::unique_ptr<DIR, FolderCloser> folder(fdopendir(fd));  // owns fd from here
    if (!folder) {
        const int error = errno;
        close(fd);
        return Failure{ListingCause(error)};
    }
    FolderListing listing;
    listing.identity = IdentityOf(info);
    // An entry's whole path must stay within what the system takes, since
    // the entry will be opened by it: longer ones are said, not searched.
    const std::size_t used = path.size() + (path.back() == '/' ? 0 : 1);
    const std::size_t room = used < PATH_MAX ? PATH_MAX - 1 - used : 0;
    for (;;) {
        errno = 0;
        const struct dirent* found = readdir(folder.get());
        if (found == nullptr) {
            if (errno != 0) return Failure{ListingCause(errno)};
            break;
        }
        if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0) continue;
        const bool tooLong = std::strlen(found->d_name) > room;
        listing.entries.push_back(Examine(fd, found->d_name, found->d_type, tooLong));
    }
    return listing;
}

}  // namespace morvane
