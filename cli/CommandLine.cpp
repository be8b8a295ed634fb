#include "MorvaneVersion.h"
#include "cli/Commands.h"

namespace morvane::cli {

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto options = ParseArguments(args, error);
    if (!options) {
        err << "morvane-cli: " << error << "\n" << Usage();
        return kExitUsage;
    }
    switch (options->command) {
        case Command::Help: out << Usage(); return kExitDone;
        case Command::Version: out << "morvane-cli " << MORVANE_VERSION << "\n"; return kExitDone;
        case Command::List: return RunList(*options, out, err);
        case Command::Remap: return RunRemap(*options, out, err);
        case Command::Keys: return RunKeys(*options, out, err);
    }
    return kExitUsage;
}

}  // namespace morvane::cli
