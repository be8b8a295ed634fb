#include "io/ReadFile.h"

#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace morvane {

#ifdef _WIN32
bool WidenUtf8(const std::string& text, std::wstring& wide) {
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return false;
    wide.assign(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return true;
}
#endif

std::FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
    std::wstring wide;
    if (!WidenUtf8(path, wide)) return nullptr;
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(wide.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::string SystemReason(int error) {
    std::string reason = std::strerror(error);
    if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
}

bool IsFolder(const std::string& path) {
    std::error_code ignored;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::u8path(path), ignored);
}

std::string OpenFailureCause(const std::string& path, int error) {
    if (IsFolder(path)) return "is a folder";
    switch (error) {
        case ENOENT:
        case ENOTDIR: return "not found";
        case EACCES:
        case EPERM: return "no permission";
        case EISDIR: return "is a folder";
        case 0: return "cannot be opened";  // a name the system cannot take
        default: return SystemReason(error);
    }
}

bool ReadWholeFile(const std::string& path, std::string& contents, std::string& cause) {
    if (path.empty()) {
        cause = "no file name";
        return false;
    }
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(path, "rb"), &std::fclose);
    if (!file) {
        cause = OpenFailureCause(path, errno);
        return false;
    }
    std::string text;
    char chunk[16384];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        text.append(chunk, got);
        if (got < sizeof chunk) break;
    }
    if (std::ferror(file.get())) {
        cause = OpenFailureCause(path, errno);
        return false;
    }
    contents.swap(text);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::string ignored;
    return ReadWholeFile(path, contents, ignored);
}

}  // namespace morvane
