// morvane-cli: lists and remaps the key tests of compiled scripts without the
// window, for batches of files and scripted checks, and maps the keys of
// whole folders.

#include <algorithm>
#include <cerrno>
#include <cwctype>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "i18n/Language.h"
#include "i18n/Translate.h"
#include "io/ReadFile.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
std::string Utf8(const std::wstring& wide) { return morvane::NarrowToUtf8(wide.c_str()); }

// Whether a name matches a pattern of * and ?, without regard to case, as
// Windows compares names.
bool Matches(const wchar_t* name, const wchar_t* pattern) {
    if (*pattern == L'\0') return *name == L'\0';
    if (*pattern == L'*') return Matches(name, pattern + 1) || (*name != L'\0' && Matches(name + 1, pattern));
    if (*name == L'\0') return false;
    return (*pattern == L'?' || towlower(*pattern) == towlower(*name)) && Matches(name + 1, pattern + 1);
}

// A file argument with * or ? in its last part, as a Unix shell expands it
// (the Windows console does not): the names it matches, in order, each
// with the argument's folder; names that begin with a dot only when the
// pattern does; the argument itself when nothing matches. The system's
// search also matches short 8.3 names, so each long name is matched again.
std::vector<std::wstring> Expanded(const std::wstring& argument) {
    const std::size_t last = argument.find_last_of(L"\\/:");
    const std::size_t nameStart = last == std::wstring::npos ? 0 : last + 1;
    if (argument.find_first_of(L"*?", nameStart) == std::wstring::npos) return {argument};
    const std::wstring pattern = argument.substr(nameStart);
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(argument.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {argument};
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || (name[0] == L'.' && pattern[0] != L'.')) continue;
        if (Matches(name.c_str(), pattern.c_str())) names.push_back(argument.substr(0, nameStart) + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    if (names.empty()) return {argument};
    std::sort(names.begin(), names.end());
    return names;
}

// Whether an argument is an option that takes no value after it.
bool IsFlag(const std::wstring& argument) {
    for (const wchar_t* flag : {L"--in-place", L"--allow-unknown", L"--help", L"-h", L"--version"})
        if (argument == flag) return true;
    return false;
}
#endif

// The arguments after the program name, as UTF-8 on every system; on
// Windows, file names with wildcards expanded as a Unix shell would.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    // Options and their values are taken as they are; only file names are expanded.
    bool value = false;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const std::wstring arg = wide[i];
        const bool option = !arg.empty() && arg[0] == L'-';
        if (option || value) {
            args.push_back(Utf8(arg));
        } else {
            for (const std::wstring& name : Expanded(arg)) args.push_back(Utf8(name));
        }
        value = option && arg.find(L'=') == std::wstring::npos && !IsFlag(arg);
    }
    LocalFree(wide);
    // The same bytes as on Linux: no line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

// Standard output (or error) that remembers why a write failed, so that
// output which could not be written (a full disk, /dev/full) is told as a
// failure with its cause instead of passing for success. On Windows a
// console is written as text in its own characters, whatever its code page.
class CheckedOutput : public std::streambuf {
public:
    explicit CheckedOutput(int fd) : fd_(fd) {
#ifdef _WIN32
        const HANDLE handle = GetStdHandle(fd == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) console_ = handle;
#endif
    }
    ~CheckedOutput() override { Drain(); }
    int Error() const { return error_; }
    bool Failed() const { return failed_; }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            buffer_ += traits_type::to_char_type(c);
            if (buffer_.size() < kBufferSize) return c;
        }
        return Drain() ? traits_type::not_eof(c) : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        buffer_.append(text, static_cast<std::size_t>(count));
        if (buffer_.size() >= kBufferSize && !Drain()) return 0;
        return count;
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    static constexpr std::size_t kBufferSize = 65536;

    bool Drain() {
#ifdef _WIN32
        if (console_ != nullptr) return DrainToConsole();
#endif
        std::size_t done = 0;
        while (!failed_ && done < buffer_.size()) {
#ifdef _WIN32
            const int written = _write(fd_, buffer_.data() + done, static_cast<unsigned>(buffer_.size() - done));
#else
            const ssize_t written = write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (written < 0 && errno == EINTR) continue;
#endif
            if (written <= 0) {
                failed_ = true;
                error_ = written < 0 ? errno : 0;
            } else {
                done += static_cast<std::size_t>(written);
            }
        }
        buffer_.clear();
        return !failed_;
    }

#ifdef _WIN32
    // The UTF-8 text as the console's own characters; a character cut by the
    // end of the buffer waits for the rest.
    bool DrainToConsole() {
        std::size_t whole = buffer_.size();
        for (std::size_t back = 1; back <= 3 && back <= buffer_.size(); ++back) {
            const auto byte = static_cast<unsigned char>(buffer_[buffer_.size() - back]);
            if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            if (length > back) whole = buffer_.size() - back;
            break;
        }
        std::wstring text(whole, L'\0');
        const int length = whole == 0 ? 0
                                      : MultiByteToWideChar(CP_UTF8, 0, buffer_.data(), static_cast<int>(whole),
                                                            &text[0], static_cast<int>(whole));
        text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        DWORD written = 0;
        if (!text.empty() &&
            !WriteConsoleW(console_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            failed_ = true;
            error_ = EIO;
        }
        buffer_.erase(0, whole);
        return !failed_;
    }
    HANDLE console_ = nullptr;
#endif
    int fd_;
    std::string buffer_;
    bool failed_ = false;
    int error_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace morvane::cli;
    const std::vector<std::string> args = Arguments(argc, argv);
    // The messages in the system's language where Morvane speaks it; without
    // its catalog, in English.
    const morvane::Result<void> language =
        morvane::UseLanguage(morvane::SystemLanguage(), morvane::CatalogFolders(morvane::ProgramFolder()));
    CheckedOutput output(1);
    std::ostream out(&output);
    CheckedOutput errors(2);
    std::ostream err(&errors);
    err << std::unitbuf;  // each message as it comes, between the lines of the output
    if (!language) err << "morvane-cli: speaking English: " << language.Cause() << "\n";
    int status = RunCommandLine(args, out, err);
    out.flush();
    err.flush();
    if (output.Failed()) {
        // TRANSLATORS: the output went to a full disk or a closed pipe: {reason} is the system's reason, or
        // "nothing more could be written".
        const std::string cannotWrite = morvane::Tr("cannot write the output: {reason}");
        const std::string reason =
            output.Error() != 0 ? morvane::SystemReason(output.Error()) : morvane::Tr("nothing more could be written");
        err << "morvane-cli: " << morvane::Fill(cannotWrite, {{"reason", reason}}) << "\n";
        err.flush();
        status = kExitFileFailed;
    }
    return status;
}
