#pragma once

#include <cstdio>
#include <string>

namespace morvane {

// Opens a file named by a path in the program's own encoding: bytes as given
// on Linux, UTF-8 on Windows (where it is widened for the system).
std::FILE* OpenFile(const std::string& path, const char* mode);

#ifdef _WIN32
// A UTF-8 path as Windows takes it; false for text that is not UTF-8.
bool WidenUtf8(const std::string& text, std::wstring& wide);
#endif

// Reads a whole file as raw bytes. False when it cannot be opened or read
// (a folder counts as unreadable); `contents` is then left as it was.
bool ReadWholeFile(const std::string& path, std::string& contents);
// The same, with the cause of a failure in `cause` (see OpenFailureCause).
bool ReadWholeFile(const std::string& path, std::string& contents, std::string& cause);

// Why a file could not be opened or read, in plain words for a message:
// "not found", "is a folder", "no permission", or the system's reason for
// `error` (an errno value).
std::string OpenFailureCause(const std::string& path, int error);

// Whether a path names a folder.
bool IsFolder(const std::string& path);

// The system's reason for an errno value, in lower case ("input/output error").
std::string SystemReason(int error);

}  // namespace morvane
