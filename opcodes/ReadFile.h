#pragma once

#include <string>

namespace morvane {

// Reads a whole file as raw bytes. False when it cannot be opened or read
// (a folder counts as unreadable); `contents` is then left as it was.
bool ReadWholeFile(const std::string& path, std::string& contents);

}  // namespace morvane
