// morvane-cli: lists and remaps the key tests of compiled scripts without the
// window, for batches of files and scripted checks, and maps the keys of
// whole folders.

#include <iostream>
#include <string>
#include <vector>

#include "MorvaneVersion.h"
#include "cli/Commands.h"
#include "cli/Options.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>
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

}  // namespace

int main(int argc, char** argv) {
    using namespace morvane::cli;
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args = Arguments(argc, argv);
    std::string error;
    const auto options = ParseArguments(args, error);
    if (!options) {
        std::cerr << "morvane-cli: " << error << "\n" << kUsage;
        return kExitUsage;
    }
    switch (options->command) {
        case Command::Help:
            std::cout << kUsage;
            return kExitDone;
        case Command::Version:
            std::cout << "morvane-cli " << MORVANE_VERSION << "\n";
            return kExitDone;
        case Command::List:
            return RunList(*options, std::cout, std::cerr);
        case Command::Remap:
            return RunRemap(*options, std::cout, std::cerr);
        case Command::Keys:
            return RunKeys(*options, std::cout, std::cerr);
    }
    return kExitUsage;
}
