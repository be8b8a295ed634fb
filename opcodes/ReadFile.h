#pragma once

#include <cstdio>
#include <string>

namespace morvane {

// Opens a file named by a path in the program's own encoding: bytes as given
// on Linux, UTF-8 on Windows (where it is widened for the system).
std::FILE* OpenFile(const std::string& path, const char* mode);

// Reads a whole file as raw bytes. False when it cannot be opened or read
// (a folder counts as unreadable); `contents` is then left as it was.
bool ReadWholeFile(const std::string& path, std::string& contents);

}  // namespace morvane
