#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "io/Result.h"

namespace morvane {

// Writes `size` bytes as the whole content of the file at `path` without ever
// leaving a partly written file there: the bytes go to a temporary file in the
// same folder, which replaces the target only after every byte has been
// written and flushed. A Failure on any failure (missing or unwritable folder,
// a write-protected or non-regular target, disk full, a file size limit, short
// write, refused rename); whatever was at `path` is then exactly as it was,
// and the cause says why in plain words ("folder does not exist", "disk full",
// "is write-protected", the system's reason).
//
// Nothing is left behind either: on POSIX systems a file size limit makes the
// write fail like a full disk instead of ending the program (SIGXFSZ is
// ignored during the save), and SIGINT, SIGTERM or SIGHUP during the save
// remove the temporary file before the signal takes its usual course (a
// signal the program ignores stays ignored). On Windows the temporary file is
// deleted by the system if the program ends before it is complete. One save
// runs at a time; a second thread waits for the first.
Status WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size);

// The name every temporary file of a save begins with.
constexpr const char* kTemporaryPrefix = ".morvane-save-";

}  // namespace morvane
