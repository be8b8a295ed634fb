#include "io/SafeWrite.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/ReadFile.h"
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
        case ENOENT: return "folder does not exist";
        case ENOTDIR: return "a part of the path is not a folder";
        case EACCES:
        case EPERM: return "no permission to write in the folder";
        case EROFS: return "the file system is read-only";
        case ENOSPC: return "disk full";
        case EDQUOT: return "disk quota exceeded";
        case EFBIG: return "larger than this process may write (file size limit, ulimit -f)";
        default: return SystemReason(error);
    }
}

Status WriteAll(int fd, const uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(fd, bytes + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return Failure{WriteCause(errno)};
        if (written == 0) return Failure{"the disk took no more bytes"};
        done += static_cast<std::size_t>(written);
    }
    return {};
}

// A link is followed, so that the file it names is replaced and the link stays.
Result<std::string> ResolveTarget(const std::string& path) {
    struct stat linkInfo {};
    if (lstat(path.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode)) return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        return Failure{"is a link that cannot be followed (" + SystemReason(errno) + ")"};
    return std::string(resolved);
}

// Checks the target (or its absence); sets `exists` and `info`.
Status CheckTarget(const std::string& target, bool& exists, struct stat& info) {
    exists = stat(target.c_str(), &info) == 0;
    if (!exists) {
        if (errno == ENOENT) return {};  // a new file; whether its folder exists is told by mkstemp
        return Failure{WriteCause(errno)};
    }
    if (S_ISDIR(info.st_mode)) return Failure{"is a folder"};
    if (!S_ISREG(info.st_mode)) return Failure{"is not a regular file"};
    if ((info.st_mode & kAnyWriteBit) == 0) return Failure{"is write-protected"};
    if (access(target.c_str(), W_OK) != 0)
        return Failure{errno == EROFS ? "the file system is read-only" : "no permission"};
    return {};
}

// Everything after the temporary file is made: its mode and owner, the bytes,
// the flush and the close. The descriptor is closed in every case.
Status FillTemporary(int fd, const struct stat* existing, const uint8_t* bytes, std::size_t size) {
    const mode_t mode = existing != nullptr ? (existing->st_mode & kPermissionBits) : (kNewFileMode & ~CurrentUmask());
    Status filled = fchmod(fd, mode) == 0 ? Status() : Failure{SystemReason(errno)};
    if (filled && existing != nullptr && (existing->st_uid != geteuid() || existing->st_gid != getegid())) {
        // Keeping the owner is best effort: only a privileged user may.
        if (fchown(fd, existing->st_uid, existing->st_gid) != 0) { /* the file keeps the writer as owner */
        }
    }
    if (filled) filled = WriteAll(fd, bytes, size);
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

Status WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size) {
    if (path.empty() || path.back() == '/') return Failure{"no file name"};
    const Result<std::string> target = ResolveTarget(path);
    if (!target) return Failure{target.Cause()};
    struct stat existing {};
    bool exists = false;
    if (Status checked = CheckTarget(*target, exists, existing); !checked) return checked;

    const std::lock_guard<std::mutex> oneSave(gSaveMutex);
    const SignalGuard signals;

    // Named apart from the target, so that a target name of any length leaves room for it.
    std::string temporary = FolderOf(*target) + "/" + kTemporaryPrefix + "XXXXXX";
    int fd = -1;
    {
        const SignalBlock held;
        fd = mkstemp(&temporary[0]);
        if (fd < 0) return Failure{WriteCause(errno)};
        gTemporary.store(temporary.c_str());
    }
    Reached(SaveStep::TemporaryMade);

    Status saved = FillTemporary(fd, exists ? &existing : nullptr, bytes, size);
    if (saved) Reached(SaveStep::Written);
    {
        const SignalBlock held;
        if (saved && rename(temporary.c_str(), target->c_str()) != 0)
            saved = Failure{"cannot replace it (" + SystemReason(errno) + ")"};
        if (!saved) unlink(temporary.c_str());
        gTemporary.store(nullptr);
    }
    if (!saved) return saved;
    Reached(SaveStep::Renamed);
    const int folder = open(FolderOf(*target).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return {};
}

}  // namespace morvane
