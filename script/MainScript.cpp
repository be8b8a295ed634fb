#include "script/MainScript.h"

namespace morvane {

namespace {

constexpr const char* kMainScriptExtension = "scm";

#ifdef _WIN32
constexpr const char* kFolderSeparators = "/\\";
#else
constexpr const char* kFolderSeparators = "/";
#endif

}  // namespace

bool IsMainScriptPath(const std::string& path) {
    const std::size_t slash = path.find_last_of(kFolderSeparators);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    // A name that only starts with a dot (".scm") is a hidden file without extension.
    if (dot == std::string::npos || dot == 0) return false;
    return name.compare(dot + 1, std::string::npos, kMainScriptExtension) == 0;
}

}  // namespace morvane
