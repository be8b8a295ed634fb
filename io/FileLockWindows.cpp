#include "io/FileLock.h"

#include <windows.h>

#include <string>

#include "io/ReadFile.h"

namespace morvane {

std::optional<FileIdentity> IdentifyFile(const std::string& path) {
    std::wstring wide;
    if (path.empty() || !WidenUtf8(path, wide)) return std::nullopt;
    HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

FileLock::Outcome FileLock::Take(const std::string& path, Wait wait) {
    Unlock();
    for (;;) {
        const auto identity = IdentifyFile(path);
        if (!identity) return Outcome::Failed;
        const std::wstring name =
            L"Local\\morvane-file-" + std::to_wstring(identity->device) + L"-" + std::to_wstring(identity->file);
        HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
        if (mutex == nullptr) return Outcome::Failed;
        const DWORD waited = WaitForSingleObject(mutex, wait == Wait::No ? 0 : INFINITE);
        if (waited == WAIT_TIMEOUT) {
            CloseHandle(mutex);
            return Outcome::Busy;
        }
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {  // abandoned: its holder ended, it is ours
            CloseHandle(mutex);
            return Outcome::Failed;
        }
        // The holder may have replaced the file meanwhile: then lock the new one.
        if (IdentifyFile(path) == identity) {
            mutex_ = mutex;
            return Outcome::Locked;
        }
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

void FileLock::Unlock() {
    if (mutex_ == nullptr) return;
    ReleaseMutex(static_cast<HANDLE>(mutex_));
    CloseHandle(static_cast<HANDLE>(mutex_));
    mutex_ = nullptr;
}

}  // namespace morvane
