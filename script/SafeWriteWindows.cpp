// Safe whole-file writing on Windows: a temporary file beside the target,
// flushed, then moved over the target in one step.

#include "script/SafeWrite.h"

#include <windows.h>

#include <string>

#include "opcodes/ReadFile.h"

namespace morvane {

namespace {

constexpr int kTemporaryNameTries = 16;

bool WriteAll(HANDLE file, const uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(size - done > 0x40000000u ? 0x40000000u : size - done);
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size) {
    std::wstring target;
    if (path.empty() || path.back() == '/' || path.back() == '\\' || !WidenUtf8(path, target)) return false;

    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE)) return false;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }

    const std::size_t slash = target.find_last_of(L"/\\");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kTemporaryNameTries && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + L"\\.morvane-save-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(GetTickCount() + static_cast<DWORD>(attempt));
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (file == INVALID_HANDLE_VALUE) return false;

    bool ok = WriteAll(file, bytes, size) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

}  // namespace morvane
