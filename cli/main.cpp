// morvane-cli: lists and remaps the key tests of compiled scripts without the
// window, for batches of files and scripted checks.

#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Options.h"

#ifndef MORVANE_VERSION
#define MORVANE_VERSION "0.1"
#endif

int main(int argc, char** argv) {
    using namespace morvane::cli;
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
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
    }
    return kExitUsage;
}
