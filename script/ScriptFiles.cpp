#include "script/ScriptFiles.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "i18n/Translate.h"

namespace morvane {

namespace {

constexpr const char* kMainScriptExtension = "scm";
constexpr const char* kArchiveExtension = "img";
// The mark San Andreas's IMG archives start with.
constexpr char kImgVersion2[] = {'V', 'E', 'R', '2'};

#ifdef _WIN32
constexpr const char* kFolderSeparators = "/\\";
#else
constexpr const char* kFolderSeparators = "/";
#endif

// The extension of a path's file name in lower case, without its dot; empty when there is
// none (a name that only starts with a dot, ".scm", is a hidden file without one).
std::string Extension(const std::string& path) {
    const std::size_t slash = path.find_last_of(kFolderSeparators);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return std::string();
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace

const std::vector<std::string> kScriptExtensions = {"cs", "cs3", "cs4", "cm", "scm", "csa", "csi"};

std::string ScriptExtensionsText() {
    std::string list;
    for (std::size_t i = 0; i + 1 < kScriptExtensions.size(); ++i) list += (i > 0 ? ", ." : ".") + kScriptExtensions[i];
    // TRANSLATORS: a list of file name extensions, {list} ".cs, .cs3, .cs4, .cm, .scm, .csa", {last} ".csi".
    return Fill(Tr("{list} or {last}"), {{"list", list}, {"last", "." + kScriptExtensions.back()}});
}

bool IsScriptFileName(const std::string& path) {
    const std::string extension = Extension(path);
    return std::find(kScriptExtensions.begin(), kScriptExtensions.end(), extension) != kScriptExtensions.end();
}

bool IsScriptFileNameOf(const std::string& path, GameId game) {
    const std::string extension = Extension(path);
    const bool mobile = extension == "csa" || extension == "csi";
    return IsScriptFileName(path) && (extension == "scm" || mobile == IsMobile(game));
}

std::optional<std::string> ArchiveCause(const std::string& path, const uint8_t* data, std::size_t size) {
    const bool marked = data != nullptr && size >= sizeof kImgVersion2 &&
                        std::equal(std::begin(kImgVersion2), std::end(kImgVersion2), data);
    if (!marked && Extension(path) != kArchiveExtension) return std::nullopt;
    return Tr(
        "it is an IMG archive of scripts (as script.img is), not a script: its bytes are no code; "
        "take the scripts out of it with an IMG tool, then open those");
}

bool IsMainScriptPath(const std::string& path) { return Extension(path) == kMainScriptExtension; }

bool StepsOverHeader(HeaderSkip skip, const std::string& path) {
    switch (skip) {
        case HeaderSkip::Always: return true;
        case HeaderSkip::Never: return false;
        case HeaderSkip::ByName: break;
    }
    return IsMainScriptPath(path);
}

}  // namespace morvane
