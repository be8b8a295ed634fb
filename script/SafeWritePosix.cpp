#include "script/SafeWrite.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kNewFileMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
constexpr mode_t kPermissionBits = 07777;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

bool WriteAll(int fd, const uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(fd, bytes + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// A link is followed, so that the file it names is replaced and the link stays.
bool ResolveTarget(const std::string& path, std::string& target) {
    struct stat linkInfo {};
    if (lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr) return false;
        target = resolved;
    } else {
        target = path;
    }
    return true;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size) {
    if (path.empty() || path.back() == '/') return false;
    std::string target;
    if (!ResolveTarget(path, target)) return false;

    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) return false;
        if ((existing.st_mode & kAnyWriteBit) == 0 || access(target.c_str(), W_OK) != 0) return false;
    } else if (errno != ENOENT) {
        return false;
    }

    // Named apart from the target, so that a target name of any length leaves room for it.
    std::string temporary = FolderOf(target) + "/.morvane-save-XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) return false;

    const mode_t mode = exists ? (existing.st_mode & kPermissionBits) : (kNewFileMode & ~CurrentUmask());
    bool ok = fchmod(fd, mode) == 0;
    if (ok && exists && (existing.st_uid != geteuid() || existing.st_gid != getegid())) {
        // Keeping the owner is best effort: only a privileged user may.
        if (fchown(fd, existing.st_uid, existing.st_gid) != 0) { /* the file keeps the writer as owner */ }
    }
    ok = ok && WriteAll(fd, bytes, size) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

}  // namespace morvane
