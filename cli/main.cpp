// morvane-cli: lists and remaps the key tests of compiled scripts without the
// window, for batches of files and scripted checks, and maps the keys of
// whole folders.

#include <cerrno>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/Commands.h"
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

// The arguments after the program name, as UTF-8 on every system.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const int length = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &arg[0], length, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        args.push_back(arg);
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

// Standard output that remembers why a write failed, so that output which
// could not be written (a full disk, /dev/full) is told as a failure with
// its cause instead of passing for success.
class CheckedOutput : public std::streambuf {
public:
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
        std::size_t done = 0;
        while (!failed_ && done < buffer_.size()) {
#ifdef _WIN32
            const int written = _write(1, buffer_.data() + done, static_cast<unsigned>(buffer_.size() - done));
#else
            const ssize_t written = write(1, buffer_.data() + done, buffer_.size() - done);
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

    std::string buffer_;
    bool failed_ = false;
    int error_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace morvane::cli;
    const std::vector<std::string> args = Arguments(argc, argv);
    CheckedOutput output;
    std::ostream out(&output);
    int status = RunCommandLine(args, out, std::cerr);
    out.flush();
    if (output.Failed()) {
        std::cerr << "morvane-cli: cannot write the output: "
                  << (output.Error() != 0 ? morvane::SystemReason(output.Error()) : "nothing more could be written")
                  << "\n";
        status = kExitFileFailed;
    }
    return status;
}
