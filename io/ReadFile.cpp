#include "io/ReadFile.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "i18n/Translate.h"

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

std::string NarrowToUtf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
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
    // TRANSLATORS: the cause of a failure, after the file's name: "x.cs: is a folder".
    if (IsFolder(path)) return Tr("is a folder");
    switch (error) {
        case ENOENT:
        case ENOTDIR: return Tr(kNotFoundCause);
        case EACCES:
        case EPERM: return Tr("no permission");
        case EISDIR: return Tr("is a folder");
        case 0: return Tr("cannot be opened");  // a name the system cannot take
        default: return SystemReason(error);
    }
}

namespace {

// "is a FIFO, not a file": why a path that is not a regular file is
// refused, or nothing for one that is.
#ifndef _WIN32
std::optional<std::string> NotAFile(mode_t mode) {
    if (S_ISREG(mode)) return std::nullopt;
    if (S_ISDIR(mode)) return Tr("is a folder");
    if (S_ISFIFO(mode)) return Tr("is a FIFO, not a file");
    if (S_ISSOCK(mode)) return Tr("is a socket, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return Tr("is a device, not a file");
    return Tr("is not a regular file");
}
#endif

// "is larger than 64 MB": the cause for a file of more than `largest` bytes.
std::string LargerThan(std::size_t largest) {
    if (largest >= kMegabyte)
        return Fill(Tr("is larger than {size} MB"), {{"size", std::to_string(largest / kMegabyte)}});
    return Fill(TrN("is larger than {count} byte", "is larger than {count} bytes", largest),
                {{"count", std::to_string(largest)}});
}

#ifndef _WIN32
// OpenRegularFile for `name` looked up in the open folder `folder` (or the
// current folder, AT_FDCWD); `path` names the file in the causes.
Result<OpenedFile> OpenRegularFileIn(int folder, const char* name, const std::string& path, std::size_t largest) {
    errno = 0;
    // What is no regular file is refused before it is opened (opening a
    // device may act on it); what is opened is opened without waiting (a
    // FIFO put there since would otherwise block until a writer comes) and
    // checked to be the file looked at.
    struct stat named {};
    if (::fstatat(folder, name, &named, 0) != 0) return Failure{OpenFailureCause(path, errno)};
    auto refusal = [](mode_t mode) -> std::optional<Failure> {
        std::optional<std::string> cause = NotAFile(mode);
        if (!cause) return std::nullopt;
        return Failure{std::move(*cause)};
    };
    if (auto refused = refusal(named.st_mode)) return std::move(*refused);
    const int fd = ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Failure{OpenFailureCause(path, errno)};
    // The cause is taken before the descriptor is closed, which may change errno.
    auto closing = [fd](Failure failure) {
        ::close(fd);
        return failure;
    };
    struct stat status {};
    if (::fstat(fd, &status) != 0) return closing(Failure{OpenFailureCause(path, errno)});
    if (auto refused = refusal(status.st_mode)) return closing(std::move(*refused));
    if (status.st_dev != named.st_dev || status.st_ino != named.st_ino)
        return closing(Failure{Tr("changed while it was opened")});
    const int flags = ::fcntl(fd, F_GETFL);
    FileHandle file(flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? nullptr : ::fdopen(fd, "rb"));
    if (!file) return closing(Failure{OpenFailureCause(path, errno)});
    const auto bytes = static_cast<unsigned long long>(status.st_size);
    if (bytes > largest) return Failure{LargerThan(largest)};
    return OpenedFile{std::move(file), static_cast<std::size_t>(bytes)};
}
#endif

}  // namespace

Result<OpenedFile> OpenRegularFile(const std::string& path, std::size_t largest) {
    if (path.empty()) return Failure{Tr("no file name")};
#ifdef _WIN32
    errno = 0;
    FileHandle file(OpenFile(path, "rb"));
    if (!file) return Failure{OpenFailureCause(path, errno)};
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get())));
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK)
        return Failure{type == FILE_TYPE_PIPE ? Tr("is a pipe, not a file") : Tr("is a device, not a file")};
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(handle, &length)) return Failure{Tr("its size cannot be read")};
    const auto bytes = static_cast<unsigned long long>(length.QuadPart);
    if (bytes > largest) return Failure{LargerThan(largest)};
    return OpenedFile{std::move(file), static_cast<std::size_t>(bytes)};
#else
    return OpenRegularFileIn(AT_FDCWD, path.c_str(), path, largest);
#endif
}

FolderOpener::~FolderOpener() { Close(); }

void FolderOpener::Close() {
#ifndef _WIN32
    if (folderFd_ >= 0) ::close(folderFd_);
#endif
    folderFd_ = -1;
    folder_.clear();
}

Result<OpenedFile> FolderOpener::OpenRegularFile(const std::string& path, std::size_t largest) {
#ifdef _WIN32
    return morvane::OpenRegularFile(path, largest);
#else
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return morvane::OpenRegularFile(path, largest);
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    if (folderFd_ < 0 || folder != folder_) {
        Close();
#ifdef O_PATH
        constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read permission
#else
        constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
        folderFd_ = ::open(folder.c_str(), kFolderFlags);
        if (folderFd_ < 0) return morvane::OpenRegularFile(path, largest);  // the path says why
        folder_ = folder;
    }
    return OpenRegularFileIn(folderFd_, path.c_str() + slash + 1, path, largest);
#endif
}

Result<std::string> ReadWholeFile(const std::string& path, std::size_t largest) {
    Result<OpenedFile> opened = OpenRegularFile(path, largest);
    if (!opened) return Failure{opened.Cause()};
    std::FILE* file = opened->file.get();
    // What the size said, and no more than the limit even if the file grows.
    std::string text;
    char chunk[16384];
    for (;;) {
        const std::size_t room = largest + 1 - text.size();
        const std::size_t got = std::fread(chunk, 1, std::min(sizeof chunk, room), file);
        text.append(chunk, got);
        if (got == 0 || text.size() > largest) break;
    }
    if (std::ferror(file)) return Failure{OpenFailureCause(path, errno)};
    if (text.size() > largest) return Failure{LargerThan(largest)};
    return {std::move(text)};
}

}  // namespace morvane
