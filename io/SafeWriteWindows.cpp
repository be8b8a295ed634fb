// Safe whole-file writing on Windows: a temporary file beside the target,
// marked for deletion while it is written (so the system removes it if the
// program ends before it is complete), flushed, then moved over the target in
// one step.

#include "io/SafeWrite.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "io/ReadFile.h"

namespace morvane {

namespace {

constexpr int kTemporaryNameTries = 16;

std::string WindowsReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return "folder does not exist";
        case ERROR_ACCESS_DENIED: return "no permission";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "disk full";
        case ERROR_WRITE_PROTECT: return "the disk is write-protected";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return "another program has the file open";
        default: break;
    }
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason =
        length > 0 && text != nullptr ? std::string(text, length) : "system error " + std::to_string(error);
    if (text != nullptr) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return reason;
}

bool WriteAll(HANDLE file, const uint8_t* bytes, std::size_t size, std::string& cause) {
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(size - done > 0x40000000u ? 0x40000000u : size - done);
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr)) {
            cause = WindowsReason(GetLastError());
            return false;
        }
        if (written == 0) {
            cause = "the disk took no more bytes";
            return false;
        }
        done += written;
    }
    return true;
}

// Marks an open file for deletion when its last handle closes, or clears the mark.
bool MarkForDeletion(HANDLE file, bool deleteIt) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleteIt ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

std::mutex gSaveMutex;

}  // namespace

bool WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size, std::string& cause) {
    std::wstring target;
    if (path.empty() || path.back() == '/' || path.back() == '\\') {
        cause = "no file name";
        return false;
    }
    if (!WidenUtf8(path, target)) {
        cause = "the name is not UTF-8";
        return false;
    }

    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            cause = "is a folder";
            return false;
        }
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            cause = "is write-protected";
            return false;
        }
        if (attributes & FILE_ATTRIBUTE_DEVICE) {
            cause = "is not a regular file";
            return false;
        }
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        cause = WindowsReason(GetLastError());
        return false;
    }

    const std::lock_guard<std::mutex> oneSave(gSaveMutex);
    const std::size_t slash = target.find_last_of(L"/\\");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
    const std::wstring prefix(kTemporaryPrefix, kTemporaryPrefix + std::char_traits<char>::length(kTemporaryPrefix));
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kTemporaryNameTries && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + L"\\" + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(GetTickCount() + static_cast<DWORD>(attempt));
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            cause = WindowsReason(GetLastError());
            return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        cause = "no free name for a temporary file";
        return false;
    }

    // Should the program end during the write, closing the handle deletes the file.
    const bool marked = MarkForDeletion(file, true);
    bool ok = WriteAll(file, bytes, size, cause);
    if (ok && !FlushFileBuffers(file)) {
        cause = WindowsReason(GetLastError());
        ok = false;
    }
    if (ok && marked && !MarkForDeletion(file, false)) {
        cause = WindowsReason(GetLastError());
        ok = false;
    }
    ok = CloseHandle(file) && ok;  // when still marked, this deletes the file
    if (ok && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        cause = "cannot replace it (" + WindowsReason(GetLastError()) + ")";
        ok = false;
    }
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

bool WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size) {
    std::string ignored;
    return WriteFileSafely(path, bytes, size, ignored);
}

}  // namespace morvane
