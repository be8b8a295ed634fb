#pragma once

#include <string>

namespace morvane {

// Whether a path names a main script, whose header segments the scan steps
// over: its extension (the text after the last dot of the file name) is
// exactly "scm", in lower case. "MAIN.SCM", "x.cs" and "x.cm" are not.
bool IsMainScriptPath(const std::string& path);

}  // namespace morvane
