#include "cli/Options.h"

#include "cli/KeyArgument.h"
#include "script/KnownOpcodes.h"
#include "keys/KeyNames.h"

namespace morvane::cli {

const char* const kUsage =
    "usage: morvane-cli list  [--game gta3|vc|sa] [--ini PATH] [--header auto|on|off]\n"
    "                         [--format text|tsv|json] [--context N] FILE...\n"
    "       morvane-cli remap [--game gta3|vc|sa] [--ini PATH] [--header auto|on|off]\n"
    "                         [--allow-unknown] RULE... FILE... (-o OUT | --in-place)\n"
    "       morvane-cli keys  [--game gta3|vc|sa] [--ini PATH] [--header auto|on|off]\n"
    "                         [--format text|tsv|json] [--svg FILE] PATH...\n"
    "  keys: the keys and cheat codes the scripts test, and which two scripts share one; a PATH is a\n"
    "        script or a folder searched for .cs, .cs3, .cs4, .cm and .scm files\n"
    "  --ini PATH: an opcode INI file, or a command library as JSON (sa.json)\n"
    "  --context N: the N instructions before and after each test, decoded (text and json)\n"
    "  rules: --vkey FROM=TO   --button FROM=TO   --pad FROM=TO   --cheat FROM=TO\n"
    "         --at OFFSET:KEY  --at OFFSET:PAD:KEY  --at OFFSET:CODE\n"
    "  keys and pads: decimal, 0x hexadecimal, or a name as the window shows it (\"A Key\", F16, Fire, \"Pad 2\")\n"
    "  cheat codes: letters A-Z and digits, written in upper case; a new code fits the old one's room\n"
    "       morvane-cli --help | --version\n";

namespace {

// More context than this is a whole script, not the neighbourhood of a test.
constexpr int64_t kMostContext = 1000;

struct Parser {
    const std::vector<std::string>& args;
    std::size_t next = 0;
    std::string& error;

    bool Fail(const std::string& message) {
        error = message;
        return false;
    }

    // The value of an option given as "--name value" or "--name=value".
    bool Value(const std::string& arg, const std::string& name, std::string& value) {
        if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
            value = arg.substr(name.size() + 1);
            return true;
        }
        if (next >= args.size()) return Fail(name + " needs a value");
        value = args[next++];
        return true;
    }
};

std::optional<GameId> GameByName(const std::string& name) {
    if (name == "gta3") return kGameGta3;
    if (name == "vc") return kGameViceCity;
    if (name == "sa") return kGameSanAndreas;
    return std::nullopt;
}

// FROM=TO, split at the one `=` that leaves a key on both sides, so that the
// VKey named "= Key" can be written on either side ("= Key=A Key").
bool ParsePair(const std::string& text, KeyKind kind, int32_t& from, int32_t& to) {
    int splits = 0;
    for (std::size_t equals = text.find('='); equals != std::string::npos; equals = text.find('=', equals + 1)) {
        const auto a = ParseKey(text.substr(0, equals), kind);
        const auto b = ParseKey(text.substr(equals + 1), kind);
        if (!a || !b) continue;
        from = *a;
        to = *b;
        ++splits;
    }
    return splits == 1;
}

bool ParseRule(const std::string& option, const std::string& value, Rule& rule, std::string& error) {
    rule.text = option + " " + value;
    if (option == "--at") {
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (std::size_t colon; (colon = value.find(':', start)) != std::string::npos; start = colon + 1)
            parts.push_back(value.substr(start, colon - start));
        parts.push_back(value.substr(start));
        const auto offset = parts.size() >= 2 && parts.size() <= 3 ? ParseNumber(parts[0]) : std::nullopt;
        if (!offset || *offset < 0) {
            error = "--at takes OFFSET:KEY or OFFSET:PAD:KEY: " + value;
            return false;
        }
        rule.kind = Rule::Kind::At;
        rule.offset = *offset;
        if (parts.size() == 3) {
            rule.pad = ParseKey(parts[1], KeyKind::Pad);
            if (!rule.pad || CheckRange(KeyKind::Pad, *rule.pad) != KeyRefusal::Accepted) {
                error = "a pad is 0 or 1 (\"Pad 1\" or \"Pad 2\"): " + value;
                return false;
            }
        }
        rule.key = parts.back();
        return true;
    }
    if (option == "--cheat") {
        const std::size_t equals = value.find('=');
        rule.kind = Rule::Kind::Cheat;
        if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
            error = "--cheat takes FROM=TO, each a cheat code: " + value;
            return false;
        }
        rule.fromCode = value.substr(0, equals);
        rule.toCode = value.substr(equals + 1);
        return true;
    }
    KeyKind kind = KeyKind::VKey;
    if (option == "--vkey")
        rule.kind = Rule::Kind::VKey;
    else if (option == "--button") {
        rule.kind = Rule::Kind::Button;
        kind = KeyKind::GameKey;
    } else {
        rule.kind = Rule::Kind::Pad;
        kind = KeyKind::Pad;
    }
    if (!ParsePair(value, kind, rule.from, rule.to)) {
        error = option + " takes FROM=TO, each a number or a name: " + value;
        return false;
    }
    // FROM is checked like TO: a value no key test can hold would match nothing.
    for (const int32_t key : {rule.from, rule.to}) {
        if (CheckRange(kind, key) == KeyRefusal::Accepted) continue;
        error = option + ": " +
                (kind == KeyKind::Pad ? std::string("a pad is 0 or 1")
                                      : std::string(key == rule.from ? "the key to look for" : "the new key") +
                                            " must lie between 0 and " + std::to_string(HighestValue(kind))) +
                ": " + value;
        return false;
    }
    return true;
}

}  // namespace

std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::string& error) {
    Options options;
    Parser p{args, 0, error};
    if (args.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::string& command = args[p.next++];
    if (command == "--help" || command == "-h" || command == "help") {
        options.command = Command::Help;
        return options;
    }
    if (command == "--version") {
        options.command = Command::Version;
        return options;
    }
    if (command == "list")
        options.command = Command::List;
    else if (command == "remap")
        options.command = Command::Remap;
    else if (command == "keys")
        options.command = Command::Keys;
    else {
        error = "unknown command: " + command;
        return std::nullopt;
    }

    bool onlyFiles = false;
    while (p.next < args.size()) {
        const std::string arg = args[p.next++];
        std::string value;
        auto is = [&](const char* name) {
            const std::string n = name;
            return arg == n || arg.compare(0, n.size() + 1, n + "=") == 0;
        };
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            options.files.push_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help" || arg == "-h") {
            options.command = Command::Help;
            return options;
        } else if (is("--game")) {
            if (!p.Value(arg, "--game", value)) return std::nullopt;
            options.game = GameByName(value);
            if (!options.game) {
                error = "--game is gta3, vc or sa: " + value;
                return std::nullopt;
            }
        } else if (is("--ini")) {
            if (!p.Value(arg, "--ini", options.ini)) return std::nullopt;
            if (options.ini.empty()) {
                error = "--ini needs a path";
                return std::nullopt;
            }
        } else if (is("--header")) {
            if (!p.Value(arg, "--header", value)) return std::nullopt;
            if (value == "auto")
                options.header = HeaderMode::Auto;
            else if (value == "on")
                options.header = HeaderMode::On;
            else if (value == "off")
                options.header = HeaderMode::Off;
            else {
                error = "--header is auto, on or off: " + value;
                return std::nullopt;
            }
        } else if (is("--format") && (options.command == Command::List || options.command == Command::Keys)) {
            if (!p.Value(arg, "--format", value)) return std::nullopt;
            if (value == "text")
                options.format = Format::Text;
            else if (value == "tsv")
                options.format = Format::Tsv;
            else if (value == "json")
                options.format = Format::Json;
            else {
                error = "--format is text, tsv or json: " + value;
                return std::nullopt;
            }
        } else if (options.command == Command::Keys && is("--svg")) {
            if (!p.Value(arg, "--svg", options.svg)) return std::nullopt;
            if (options.svg.empty()) {
                error = "--svg needs a path";
                return std::nullopt;
            }
        } else if (is("--context") && options.command == Command::List) {
            if (!p.Value(arg, "--context", value)) return std::nullopt;
            const auto lines = ParseNumber(value);
            if (!lines || *lines < 0 || *lines > kMostContext) {
                error =
                    "--context takes a number of instructions from 0 to " + std::to_string(kMostContext) + ": " + value;
                return std::nullopt;
            }
            options.context = static_cast<int>(*lines);
        } else if (options.command == Command::Remap &&
                   (is("--vkey") || is("--button") || is("--pad") || is("--cheat") || is("--at"))) {
            const std::string name = arg.substr(0, arg.find('='));
            if (!p.Value(arg, name, value)) return std::nullopt;
            Rule rule;
            if (!ParseRule(name, value, rule, error)) return std::nullopt;
            options.rules.push_back(rule);
        } else if (options.command == Command::Remap && (arg == "-o" || is("--output"))) {
            if (!p.Value(arg, arg == "-o" ? "-o" : "--output", options.output)) return std::nullopt;
            if (options.output.empty()) {
                error = "-o needs a path";
                return std::nullopt;
            }
        } else if (options.command == Command::Remap && arg == "--in-place") {
            options.inPlace = true;
        } else if (options.command == Command::Remap && arg == "--allow-unknown") {
            options.allowUnknown = true;
        } else {
            error = "unknown option for " + command + ": " + arg;
            return std::nullopt;
        }
    }

    if (options.files.empty()) {
        error = options.command == Command::Keys ? "no script or folder given" : "no script file given";
        return std::nullopt;
    }
    if (options.context > 0 && options.format == Format::Tsv) {
        error = "--context goes with --format text or json: a tsv row is one key test";
        return std::nullopt;
    }
    if (options.command == Command::Remap) {
        if (options.rules.empty()) {
            error = "remap needs at least one rule";
            return std::nullopt;
        }
        if (options.inPlace == !options.output.empty()) {
            error = "remap needs either -o OUT or --in-place";
            return std::nullopt;
        }
        if (!options.output.empty() && options.files.size() != 1) {
            error = "-o takes exactly one script";
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace morvane::cli
