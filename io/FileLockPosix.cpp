#include "io/FileLock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {

namespace {

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> IdentifyFile(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return std::nullopt;
    return IdentityOf(info);
}

FileLock::Outcome FileLock::Take(const std::string& path, Wait wait) {
    Unlock();
    for (;;) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not hold us up
        if (fd < 0) return Outcome::Failed;
        int locked;
        do {
            locked = flock(fd, LOCK_EX | (wait == Wait::No ? LOCK_NB : 0));
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const bool busy = errno == EWOULDBLOCK;
            close(fd);
            return busy ? Outcome::Busy : Outcome::Failed;
        }
        // The holder may have replaced the file meanwhile: then lock the new one.
        struct stat held {};
        struct stat named {};
        if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && IdentityOf(held) == IdentityOf(named)) {
            fd_ = fd;
            return Outcome::Locked;
        }
        close(fd);
        if (access(path.c_str(), F_OK) != 0) return Outcome::Failed;  // removed meanwhile
    }
}

void FileLock::Unlock() {
    if (fd_ < 0) return;
    close(fd_);  // closing releases the flock
    fd_ = -1;
}

}  // namespace morvane
