#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "i18n/Translate.h"
#include "io/Result.h"

namespace morvane {

// Opens a file named by a path in the program's own encoding: bytes as given
// on Linux, UTF-8 on Windows (where it is widened for the system).
std::FILE* OpenFile(const std::string& path, const char* mode);

#ifdef _WIN32
// A UTF-8 path as Windows takes it; false for text that is not UTF-8.
bool WidenUtf8(const std::string& text, std::wstring& wide);
// Text as Windows gives it (a path, a variable, a locale name) in UTF-8.
std::string NarrowToUtf8(const wchar_t* wide);
#endif

// The most bytes each kind of input may have, checked before it is read:
// far beyond any real one, so that an endless or absurd input is refused
// instead of filling the memory.
constexpr std::size_t kMegabyte = 1024 * 1024;
constexpr std::size_t kLargestOpcodeFile = 64 * kMegabyte;  // INI, JSON, Sanny Builder's files
constexpr std::size_t kLargestScript = 64 * kMegabyte;      // a main script is 3 MB at most
constexpr std::size_t kLargestSettingsFile = 64;            // one game's number

// Closes a file when its handle ends, however its scope is left.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A file opened for reading and its size when it was opened.
struct OpenedFile {
    FileHandle file;
    std::size_t size = 0;
};

// Opens a file for reading in binary mode only when it is a regular file:
// anything else (a FIFO, a device, a socket, a folder) is refused at once,
// without waiting on it, with its cause ("is a FIFO, not a file"), and so is
// a file larger than `largest` bytes ("is larger than 64 MB"). The failure
// names the cause when it cannot be opened.
Result<OpenedFile> OpenRegularFile(const std::string& path, std::size_t largest);

// Opens regular files as OpenRegularFile does, one after another, keeping
// the folder of the last one open: on POSIX systems a file is looked up by
// its name in that folder (openat) instead of along its whole path again,
// so that reading the files of a deep folder costs what it costs in a
// shallow one. A folder that cannot be kept open leaves its files to
// OpenRegularFile. For one thread; the folder is closed when the opener
// ends. On Windows each file is opened by its path.
class FolderOpener {
public:
    FolderOpener() = default;
    ~FolderOpener();
    FolderOpener(const FolderOpener&) = delete;
    FolderOpener& operator=(const FolderOpener&) = delete;

    Result<OpenedFile> OpenRegularFile(const std::string& path, std::size_t largest);

private:
    void Close();

    std::string folder_;  // the path of the folder held open, as the files' paths give it
    int folderFd_ = -1;
};

// Reads a whole regular file of at most `largest` bytes as raw bytes. The
// failure names the cause (see OpenRegularFile and OpenFailureCause) when it
// cannot be opened or read.
Result<std::string> ReadWholeFile(const std::string& path, std::size_t largest);

// Why a file could not be opened or read, in plain words for a message:
// Tr(kNotFoundCause), "is a folder", "no permission", or the system's reason
// for `error` (an errno value). Causes are in the language chosen: compare
// one with Tr(kNotFoundCause), never with the English text.
constexpr const char* kNotFoundCause = N_("not found");
std::string OpenFailureCause(const std::string& path, int error);

// Whether a path names a folder.
bool IsFolder(const std::string& path);

// The system's reason for an errno value, in lower case ("input/output error").
std::string SystemReason(int error);

}  // namespace morvane
