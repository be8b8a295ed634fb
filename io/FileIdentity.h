#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace morvane {

// What names a file on its system, whatever path leads to it (a link, a
// second hard link, "./x" or "x"): device and inode on POSIX systems, volume
// and file index on Windows.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t file = 0;
    bool operator==(const FileIdentity& other) const { return device == other.device && file == other.file; }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
    bool operator<(const FileIdentity& other) const {
        return device != other.device ? device < other.device : file < other.file;
    }
};

// The identity of the file at `path` (links followed), or nothing when it
// cannot be opened. Defined beside the file lock of each system
// (FileLockPosix.cpp, FileLockWindows.cpp), which checks identities too.
std::optional<FileIdentity> IdentifyFile(const std::string& path);

}  // namespace morvane
