#include <optional>

#include "MorvaneVersion.h"
#include "cli/Commands.h"
#include "i18n/Translate.h"

namespace morvane::cli {

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto options = ParseArguments(args, error);
    if (!options) {
        err << "morvane-cli: " << error << "\n" << Usage();
        return kExitUsage;
    }
    // What a run in tsv or json writes is read by programs: all of it, its
    // messages too, in English, whatever the system's language.
    std::optional<EnglishTexts> english;
    if (options->format != Format::Text) english.emplace();
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
