// Safe whole-file writing on Windows: a temporary file beside the target,
// marked for deletion while it is written (so the system removes it if the
// program ends before it is complete), flushed, then moved over the target in
// one step.

#include "io/SafeWrite.h"

#include <windows.h>

#include <mutex>
#include <string>

#include "i18n/Translate.h"
#include "io/ReadFile.h"
#include "io/SaveLeftovers.h"
#include "io/SafeWriteSteps.h"

namespace morvane {

namespace {

constexpr int kTemporaryNameTries = 16;

std::string WindowsReason(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return Tr("folder does not exist");
        case ERROR_ACCESS_DENIED: return Tr("no permission");
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return Tr("disk full");
        case ERROR_WRITE_PROTECT: return Tr("the disk is write-protected");
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return Tr("another program has the file open");
        default: break;
    }
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 && text != nullptr
                             ? std::string(text, length)
                             : Fill(Tr("system error {number}"), {{"number", std::to_string(error)}});
    if (text != nullptr) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return reason;
}

Status WriteAll(HANDLE file, const uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(size - done > 0x40000000u ? 0x40000000u : size - done);
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr)) return Failure{WindowsReason(GetLastError())};
        if (written == 0) return Failure{Tr("the disk took no more bytes")};
        done += written;
    }
    return {};
}

// Marks an open file for deletion when its last handle closes, or clears the mark.
bool MarkForDeletion(HANDLE file, bool deleteIt) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleteIt ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Puts the temporary file in the target's place. A file there is replaced
// by ReplaceFileW, which gives the new file the old one's attributes,
// security settings and alternate data streams; should it fail (a file
// system without them, settings the writer may not set), both files still
// have their names and the temporary file is moved over the target, which
// then keeps none of them: said in `notes`.
Status Replace(const std::wstring& target, const std::wstring& temporary, bool exists, SaveNotes& notes) {
    if (exists && ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)) return {};
    const DWORD refused = GetLastError();
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::string reason = WindowsReason(GetLastError());  // before Tr, which may change the last error
        return Failure{Fill(Tr("cannot replace it ({reason})"), {{"reason", reason}})};
    }
    if (exists) {
        const std::string reason = WindowsReason(refused);
        notes.notKept.push_back(
            Fill(Tr("its attributes, security settings and alternate data streams ({reason})"), {{"reason", reason}}));
    }
    return {};
}

std::mutex gSaveMutex;

SaveStepHook gStepHook = nullptr;  // set by tests only (io/SafeWriteSteps.h)

void Reached(SaveStep step) {
    if (gStepHook != nullptr) gStepHook(step);
}

}  // namespace

void SetSaveStepHookForTests(SaveStepHook hook) { gStepHook = hook; }

bool SaveStillWriting(const std::string& path) {
    std::wstring wide;
    if (!WidenUtf8(path, wide)) return false;
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}

Result<SaveNotes> WriteFileSafely(const std::string& path, const uint8_t* bytes, std::size_t size) {
    std::wstring target;
    if (path.empty() || path.back() == '/' || path.back() == '\\') return Failure{Tr("no file name")};
    if (!WidenUtf8(path, target)) return Failure{Tr("the name is not UTF-8")};

    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Failure{Tr("is a folder")};
        if (attributes & FILE_ATTRIBUTE_READONLY) return Failure{Tr("is write-protected")};
        if (attributes & FILE_ATTRIBUTE_DEVICE) return Failure{Tr("is not a regular file")};
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return Failure{WindowsReason(GetLastError())};
    }

    const std::lock_guard<std::mutex> oneSave(gSaveMutex);
    const std::size_t slash = target.find_last_of(L"/\\");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
    const std::size_t nameStart = path.find_last_of("/\\");
    const std::string targetName = nameStart == std::string::npos ? path : path.substr(nameStart + 1);
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kTemporaryNameTries && file == INVALID_HANDLE_VALUE; ++attempt) {
        // Named after the target, so that one a save leaves says whose it is.
        const std::string unique =
            std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount() + static_cast<DWORD>(attempt));
        std::wstring name;
        if (!WidenUtf8(TemporaryFileName(unique, targetName), name)) return Failure{Tr("the name is not UTF-8")};
        temporary = folder + L"\\" + name;
        // Open to this save alone, which is how FindSaveLeftovers tells it is running.
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return Failure{WindowsReason(GetLastError())};
    }
    if (file == INVALID_HANDLE_VALUE) return Failure{Tr("no free name for a temporary file")};

    // Should the program end during the write, closing the handle deletes the file.
    const bool marked = MarkForDeletion(file, true);
    Reached(SaveStep::TemporaryMade);
    Status saved = WriteAll(file, bytes, size);
    if (saved && !FlushFileBuffers(file)) saved = Failure{WindowsReason(GetLastError())};
    if (saved && marked && !MarkForDeletion(file, false)) saved = Failure{WindowsReason(GetLastError())};
    // When still marked, closing deletes the file.
    if (!CloseHandle(file) && saved) saved = Failure{WindowsReason(GetLastError())};
    if (saved) Reached(SaveStep::Written);
    SaveNotes notes;
    if (saved) saved = Replace(target, temporary, exists, notes);
    if (!saved) {
        DeleteFileW(temporary.c_str());
        return Failure{saved.Cause()};
    }
    Reached(SaveStep::Renamed);
    return notes;
}

}  // namespace morvane
