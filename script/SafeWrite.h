#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace morvane {

// Writes `size` bytes as the whole content of the file at `path` without ever
// leaving a partly written file there: the bytes go to a temporary file in the
// same folder, which replaces the target only after every byte has been
// written and flushed. False on any failure (missing or unwritable folder, a
// write-protected or non-regular target, disk full, short write, refused
// rename); whatever was at `path` is then exactly as it was.
bool WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size);

}  // namespace morvane
