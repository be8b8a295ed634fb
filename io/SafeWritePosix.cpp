#include "io/SafeWrite.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

#include "i18n/Translate.h"
#include "io/ReadFile.h"
#include "io/SaveLeftovers.h"
#include "io/SafeWriteSteps.h"

namespace morvane {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kNewFileMode = S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH;
constexpr mode_t kPermissionBits = 07777;

// ---- what a save does when a signal would end the program ----

// The signals that end a program at the user's request; a save removes its
// temporary file before the program ends of one of them.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kEndingSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

// The temporary file of the save in progress, or null: all the handler reads.
std::atomic<const char*> gTemporary{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free, "the signal handler needs a lock-free pointer");
// The dispositions the save replaced, restored by the handler before it re-raises.
struct sigaction gPrevious[kEndingSignalCount];

extern "C" void RemoveTemporaryAndReraise(int signal) {
    // Only async-signal-safe calls: unlink, sigaction, raise.
    const char* temporary = gTemporary.load();
    if (temporary != nullptr) unlink(temporary);
    for (std::size_t i = 0; i < kEndingSignalCount; ++i)
        if (kEndingSignals[i] == signal) sigaction(signal, &gPrevious[i], nullptr);
    raise(signal);  // delivered with the previous disposition once this handler returns
}

// For the duration of a save: SIGXFSZ ignored, and the ending signals
// routed through RemoveTemporaryAndReraise. Everything is put back at the end.
class SignalGuard {
public:
    SignalGuard() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &previousFileSize_);

        struct sigaction cleanup {};
        cleanup.sa_handler = RemoveTemporaryAndReraise;
        sigemptyset(&cleanup.sa_mask);
        for (const int signal : kEndingSignals) sigaddset(&cleanup.sa_mask, signal);
        for (std::size_t i = 0; i < kEndingSignalCount; ++i) {
            sigaction(kEndingSignals[i], nullptr, &gPrevious[i]);
            installed_[i] = gPrevious[i].sa_handler != SIG_IGN;  // an ignored signal stays ignored
            if (installed_[i]) sigaction(kEndingSignals[i], &cleanup, nullptr);
        }
    }
    ~SignalGuard() {
        gTemporary.store(nullptr);
        for (std::size_t i = 0; i < kEndingSignalCount; ++i)
            if (installed_[i]) sigaction(kEndingSignals[i], &gPrevious[i], nullptr);
        sigaction(SIGXFSZ, &previousFileSize_, nullptr);
    }
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

private:
    struct sigaction previousFileSize_ {};
    bool installed_[kEndingSignalCount] = {};
};

// Holds the ending signals back while the temporary file comes and goes, so
// that the handler never misses a file that exists.
class SignalBlock {
public:
    SignalBlock() {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int signal : kEndingSignals) sigaddset(&ending, signal);
        pthread_sigmask(SIG_BLOCK, &ending, &previous_);
    }
    ~SignalBlock() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t previous_{};
};

// ---- the save ----

// What mkstemps makes unique in the temporary file's name.
constexpr const char* kUniquePattern = "XXXXXX";

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

// A failure to create or write the temporary file in plain words.
std::string WriteCause(int error) {
    switch (error) {
        case ENOENT: return Tr("folder does not exist");
        case ENOTDIR: return Tr("a part of the path is not a folder");
        case EACCES:
        case EPERM: return Tr("no permission to write in the folder");
        case EROFS: return Tr("the file system is read-only");
        case ENOSPC: return Tr("disk full");
        case EDQUOT: return Tr("disk quota exceeded");
        // TRANSLATORS: "ulimit -f" is a command; leave it as it is.
        case EFBIG: return Tr("larger than this process may write (file size limit, ulimit -f)");
        default: return SystemReason(error);
    }
}

Status WriteAll(int fd, const uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(fd, bytes + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return Failure{WriteCause(errno)};
        if (written == 0) return Failure{Tr("the disk took no more bytes")};
        done += static_cast<std::size_t>(written);
    }
    return {};
}

// A link is followed, so that the file it names is replaced and the link stays.
Result<std::string> ResolveTarget(const std::string& path) {
    struct stat linkInfo {};
    if (lstat(path.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode)) return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
        const std::string reason = SystemReason(errno);  // before Tr, which may change errno
        return Failure{Fill(Tr("is a link that cannot be followed ({reason})"), {{"reason", reason}})};
    }
    return std::string(resolved);
}

// Checks the target (or its absence); sets `exists` and `info`.
Status CheckTarget(const std::string& target, bool& exists, struct stat& info) {
    exists = stat(target.c_str(), &info) == 0;
    if (!exists) {
        if (errno == ENOENT) return {};  // a new file; whether its folder exists is told by mkstemps
        return Failure{WriteCause(errno)};
    }
    if (S_ISDIR(info.st_mode)) return Failure{Tr("is a folder")};
    if (!S_ISREG(info.st_mode)) return Failure{Tr("is not a regular file")};
    if ((info.st_mode & kAnyWriteBit) == 0) return Failure{Tr("is write-protected")};
    if (access(target.c_str(), W_OK) != 0)
        return Failure{errno == EROFS ? Tr("the file system is read-only") : Tr("no permission")};
    return {};
}

// The set-ID bits, kept only for the owner and group they were for.
constexpr mode_t kSetUserId = S_ISUID;
constexpr mode_t kSetGroupId = S_ISGID;

// Gives the temporary file the owner and group of the file it replaces, as
// far as the writer may (a privileged one both; anyone a group of theirs).
void KeepOwner(int fd, const struct stat& existing, struct stat& now, SaveNotes& notes) {
    if ((now.st_uid != existing.st_uid || now.st_gid != existing.st_gid) &&
        fchown(fd, existing.st_uid, existing.st_gid) != 0 && now.st_gid != existing.st_gid &&
        fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
        // The group could not be kept either: what is kept is told below.
    }
    if (fstat(fd, &now) != 0) return;
    if (now.st_uid != existing.st_uid) {
        // TRANSLATORS: what a save could not keep of the file it replaced; {was} and {now} are user numbers.
        notes.notKept.push_back(Fill(Tr("its owner, user {was} (it now belongs to user {now})"),
                                     {{"was", std::to_string(existing.st_uid)}, {"now", std::to_string(now.st_uid)}}));
    }
    if (now.st_gid != existing.st_gid) {
        // TRANSLATORS: what a save could not keep of the file it replaced; {was} and {now} are group numbers.
        notes.notKept.push_back(Fill(Tr("its group, group {was} (it is now group {now}'s)"),
                                     {{"was", std::to_string(existing.st_gid)}, {"now", std::to_string(now.st_gid)}}));
    }
}

#ifdef __linux__
// The names in a list of extended attributes as listxattr gives it.
std::vector<std::string> AttributeNames(const std::vector<char>& list) {
    std::vector<std::string> names;
    for (std::size_t at = 0; at < list.size();) {
        const std::string name(&list[at]);
        at += name.size() + 1;
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

// Gives the temporary file the extended attributes of the file it replaces
// (user.*, the access control lists in system.*, security.* as far as the
// writer may), each one it cannot given with its cause.
void KeepAttributes(int fd, const std::string& target, SaveNotes& notes) {
    std::vector<char> list;
    for (;;) {
        const ssize_t size = listxattr(target.c_str(), nullptr, 0);
        if (size <= 0) return;  // none, or a file system without them
        list.resize(static_cast<std::size_t>(size));
        const ssize_t got = listxattr(target.c_str(), list.data(), list.size());
        if (got >= 0) {
            list.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) return;  // grew meanwhile: again
    }
    for (const std::string& name : AttributeNames(list)) {
        std::vector<char> value;
        ssize_t got = -1;
        for (;;) {
            const ssize_t size = getxattr(target.c_str(), name.c_str(), nullptr, 0);
            if (size < 0) break;
            value.resize(static_cast<std::size_t>(size));
            got = getxattr(target.c_str(), name.c_str(), value.data(), value.size());
            if (got >= 0 || errno != ERANGE) break;
        }
        if (got < 0) {
            const std::string reason = SystemReason(errno);
            notes.notKept.push_back(Fill(Tr("the extended attribute {name} (it cannot be read: {reason})"),
                                         {{"name", name}, {"reason", reason}}));
            continue;
        }
        value.resize(static_cast<std::size_t>(got));
        if (fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) == 0) continue;
        const int error = errno;
        // One the system gave the new file already (a security label) is kept all the same.
        std::vector<char> has(value.size() + 1);
        const ssize_t same = fgetxattr(fd, name.c_str(), has.data(), has.size());
        if (same == got && std::equal(value.begin(), value.end(), has.begin())) continue;
        notes.notKept.push_back(
            Fill(Tr("the extended attribute {name} ({reason})"), {{"name", name}, {"reason", SystemReason(error)}}));
    }
}
#endif

// Gives the temporary file the permissions of the file it replaces; a
// set-ID bit only while the file has the owner or group it was for.
void KeepMode(int fd, const struct stat& existing, const struct stat& now, SaveNotes& notes) {
    mode_t mode = existing.st_mode & kPermissionBits;
    if ((mode & kSetUserId) && now.st_uid != existing.st_uid) {
        mode &= ~kSetUserId;
        notes.notKept.push_back(Fill(Tr("the set-user-ID bit (the file now belongs to user {now}, not to user {was})"),
                                     {{"now", std::to_string(now.st_uid)}, {"was", std::to_string(existing.st_uid)}}));
    }
    if ((mode & kSetGroupId) && now.st_gid != existing.st_gid) {
        mode &= ~kSetGroupId;
        notes.notKept.push_back(
            Fill(Tr("the set-group-ID bit (the file now belongs to group {now}, not to group {was})"),
                 {{"now", std::to_string(now.st_gid)}, {"was", std::to_string(existing.st_gid)}}));
    }
    struct stat after {};
    if (fchmod(fd, mode) != 0 || fstat(fd, &after) != 0) {
        const std::string reason = SystemReason(errno);
        notes.notKept.push_back(Fill(Tr("its permissions ({reason})"), {{"reason", reason}}));
        return;
    }
    // The system may clear a set-group-ID bit for a writer outside the group.
    const mode_t lost = mode & ~after.st_mode & kPermissionBits;
    if (lost & kSetUserId) notes.notKept.push_back(Tr("the set-user-ID bit (the system did not let it be set)"));
    if (lost & kSetGroupId) notes.notKept.push_back(Tr("the set-group-ID bit (the system did not let it be set)"));
    if (lost & ~(kSetUserId | kSetGroupId)) notes.notKept.push_back(Tr("some of its permissions"));
}

// Everything after the temporary file is made: the bytes, then the owner,
// the extended attributes and the mode of the file it replaces (after the
// bytes, since a write clears the set-ID bits), the flush and the close.
// The descriptor is closed in every case.
Status FillTemporary(int fd, const std::string& target, const struct stat* existing, const uint8_t* bytes,
                     std::size_t size, SaveNotes& notes) {
    Status filled = WriteAll(fd, bytes, size);
    if (filled && existing == nullptr && fchmod(fd, kNewFileMode & ~CurrentUmask()) != 0)
        filled = Failure{SystemReason(errno)};
    if (filled && existing != nullptr) {
        struct stat now {};
        if (fstat(fd, &now) != 0) {
            filled = Failure{SystemReason(errno)};
        } else {
            KeepOwner(fd, *existing, now, notes);
#ifdef __linux__
            KeepAttributes(fd, target, notes);
#endif
            KeepMode(fd, *existing, now, notes);
        }
    }
    if (filled && fsync(fd) != 0) filled = Failure{WriteCause(errno)};
    if (close(fd) != 0 && filled) filled = Failure{WriteCause(errno)};
    return filled;
}

SaveStepHook gStepHook = nullptr;  // set by tests only (io/SafeWriteSteps.h)

void Reached(SaveStep step) {
    if (gStepHook != nullptr) gStepHook(step);
}

std::mutex gSaveMutex;  // the signal handler knows one temporary file at a time

}  // namespace

void SetSaveStepHookForTests(SaveStepHook hook) { gStepHook = hook; }

bool SaveStillWriting(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;  // it cannot be told: taken as left over
    const bool locked = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);  // and with it the lock just taken
    return locked;
}

Result<SaveNotes> WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size) {
    if (path.empty() || path.back() == '/') return Failure{Tr("no file name")};
    const Result<std::string> target = ResolveTarget(path);
    if (!target) return Failure{target.Cause()};
    struct stat existing {};
    bool exists = false;
    if (Status checked = CheckTarget(*target, exists, existing); !checked) return Failure{checked.Cause()};

    const std::lock_guard<std::mutex> oneSave(gSaveMutex);
    const SignalGuard signals;

    // Named after the target, so that one a killed save leaves says whose it is.
    const std::string name = TemporaryFileName(kUniquePattern, NameOf(*target));
    std::string temporary = FolderOf(*target) + "/" + name;
    const int suffix = static_cast<int>(name.size() - std::strlen(kTemporaryPrefix) - std::strlen(kUniquePattern));
    int fd = -1;
    {
        const SignalBlock held;
        fd = mkstemps(&temporary[0], suffix);
        if (fd < 0) return Failure{WriteCause(errno)};
        gTemporary.store(temporary.c_str());
    }
    // Locked while it exists, so that FindSaveLeftovers passes it over; the
    // lock lives in a second descriptor, which stays open past the rename.
    flock(fd, LOCK_EX | LOCK_NB);
    const int lockHeld = dup(fd);
    Reached(SaveStep::TemporaryMade);

    SaveNotes notes;
    Status saved = FillTemporary(fd, *target, exists ? &existing : nullptr, bytes, size, notes);
    if (saved) Reached(SaveStep::Written);
    {
        const SignalBlock held;
        if (saved && rename(temporary.c_str(), target->c_str()) != 0) {
            const std::string reason = SystemReason(errno);
            saved = Failure{Fill(Tr("cannot replace it ({reason})"), {{"reason", reason}})};
        }
        if (!saved) unlink(temporary.c_str());
        gTemporary.store(nullptr);
    }
    if (lockHeld >= 0) close(lockHeld);
    if (!saved) return Failure{saved.Cause()};
    Reached(SaveStep::Renamed);
    const int folder = open(FolderOf(*target).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return notes;
}

}  // namespace morvane
