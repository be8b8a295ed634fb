#include "io/ReadFile.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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
        case ENOTDIR: return kNotFoundCause;
        case EACCES:
        case EPERM: return "no permission";
        case EISDIR: return "is a folder";
        case 0: return "cannot be opened";  // a name the system cannot take
        default: return SystemReason(error);
    }
}

namespace {

// "a FIFO", "a device": what a path is that is not a regular file, or
// nothing for one that is.
#ifndef _WIN32
const char* NotAFile(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}
#endif

std::string SizeText(std::size_t bytes) {
    return bytes >= kMegabyte ? std::to_string(bytes / kMegabyte) + " MB" : std::to_string(bytes) + " bytes";
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, std::size_t largest, std::size_t& size, std::string& cause) {
    if (path.empty()) {
        cause = "no file name";
        return nullptr;
    }
    errno = 0;
#ifdef _WIN32
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        cause = OpenFailureCause(path, errno);
        return nullptr;
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
        std::fclose(file);
        cause = type == FILE_TYPE_PIPE ? "is a pipe, not a file" : "is a device, not a file";
        return nullptr;
    }
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(handle, &length)) {
        std::fclose(file);
        cause = "its size cannot be read";
        return nullptr;
    }
    const auto bytes = static_cast<unsigned long long>(length.QuadPart);
#else
    // What is no regular file is refused before it is opened (opening a
    // device may act on it); what is opened is opened without waiting (a
    // FIFO put there since would otherwise block until a writer comes) and
    // checked to be the file looked at.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) {
        cause = OpenFailureCause(path, errno);
        return nullptr;
    }
    auto refuse = [&cause](mode_t mode) {
        const char* what = NotAFile(mode);
        if (what != nullptr) cause = std::string("is ") + what + (S_ISDIR(mode) ? "" : ", not a file");
        return what != nullptr;
    };
    if (refuse(named.st_mode)) return nullptr;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        cause = OpenFailureCause(path, errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        cause = OpenFailureCause(path, errno);
        ::close(fd);
        return nullptr;
    }
    if (refuse(status.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    if (status.st_dev != named.st_dev || status.st_ino != named.st_ino) {
        cause = "changed while it was opened";
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    std::FILE* file = flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? nullptr : ::fdopen(fd, "rb");
    if (file == nullptr) {
        cause = OpenFailureCause(path, errno);
        ::close(fd);
        return nullptr;
    }
    const auto bytes = static_cast<unsigned long long>(status.st_size);
#endif
    if (bytes > largest) {
        std::fclose(file);
        cause = "is larger than " + SizeText(largest);
        return nullptr;
    }
    size = static_cast<std::size_t>(bytes);
    return file;
}

bool ReadWholeFile(const std::string& path, std::size_t largest, std::string& contents, std::string& cause) {
    std::size_t size = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenRegularFile(path, largest, size, cause), &std::fclose);
    if (!file) return false;
    // What the size said, and no more than the limit even if the file grows.
    std::string text;
    char chunk[16384];
    for (;;) {
        const std::size_t room = largest + 1 - text.size();
        const std::size_t got = std::fread(chunk, 1, std::min(sizeof chunk, room), file.get());
        text.append(chunk, got);
        if (got == 0 || text.size() > largest) break;
    }
    if (std::ferror(file.get())) {
        cause = OpenFailureCause(path, errno);
        return false;
    }
    if (text.size() > largest) {
        cause = "is larger than " + SizeText(largest);
        return false;
    }
    contents.swap(text);
    return true;
}

bool ReadWholeFile(const std::string& path, std::size_t largest, std::string& contents) {
    std::string ignored;
    return ReadWholeFile(path, largest, contents, ignored);
}

}  // namespace morvane
