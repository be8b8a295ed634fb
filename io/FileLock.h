#pragma once

#include <string>

#include "io/FileIdentity.h"

namespace morvane {

// An exclusive advisory lock on one file, held from Lock() until the object
// ends: other programs that take the same lock wait or are told the file is
// busy; programs that take none are not stopped. A safe save replaces the
// file with a new one, so the lock follows the name: once taken, it is
// checked that the path still names the locked file, and taken again on the
// new file when it does not. On POSIX systems it is flock() on the file; on
// Windows a named mutex of the file's identity, since an open handle would
// keep the save from replacing the file.
class FileLock {
public:
    enum class Outcome {
        Locked,  // held
        Busy,    // another program holds it (only from TryLock)
        Failed,  // the file cannot be opened or locked; nothing is held
    };

    FileLock() = default;
    ~FileLock() { Unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock without waiting.
    Outcome TryLock(const std::string& path) { return Take(path, Wait::No); }
    // Takes the lock, waiting as long as another program holds it.
    Outcome Lock(const std::string& path) { return Take(path, Wait::Yes); }
    void Unlock();

private:
    enum class Wait { No, Yes };
    Outcome Take(const std::string& path, Wait wait);

#ifdef _WIN32
    void* mutex_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace morvane
