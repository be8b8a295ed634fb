#include "cli/Options.h"

#include <functional>
#include <utility>

#include "cli/KeyArgument.h"
#include "keys/Hotkeys.h"
#include "keys/KeyNames.h"
#include "keys/KeyRules.h"

namespace morvane::cli {

const char* const kUsage =
    "usage: morvane-cli list  [--game GAME] [--ini PATH]... [--only-ini] [--sanny DIR] [--header auto|on|off]\n"
    "                         [--format text|tsv|json] [--context N] FILE...\n"
    "       morvane-cli remap [--game GAME] [--ini PATH]... [--only-ini] [--sanny DIR] [--header auto|on|off]\n"
    "                         [--allow-unknown] RULE... FILE... (-o OUT [--force] | --in-place)\n"
    "       morvane-cli keys  [--game GAME] [--ini PATH]... [--only-ini] [--sanny DIR] [--header auto|on|off]\n"
    "                         [--format text|tsv|json] [--svg FILE] PATH...\n"
    "  GAME: gta3, vc, sa, or the mobile editions gta3-mobile, vc-mobile, sa-mobile\n"
    "  keys: the keys and cheat codes the scripts test, and which two scripts share one; a PATH is a\n"
    "        script or a folder searched for the game's scripts: .cs, .cs3, .cs4, .cm and .scm files\n"
    "        (for a mobile edition .csa, .csi and .scm)\n"
    "  --ini PATH: an opcode INI file, or a command library as JSON (sa.json); several are merged in order,\n"
    "              and what they do not describe is taken from --sanny, then from the built-in table\n"
    "  --only-ini: the --ini files' opcodes only (and --sanny's); nothing from the built-in table\n"
    "  --sanny DIR: the opcode files of Sanny Builder's folder DIR, as its mode files list them\n"
    "  without --ini or --sanny: the game's INI file here (SASCM.ini ...), else the built-in table\n"
    "  --context N: the N instructions before and after each test, decoded (text and json)\n"
    "  -o OUT: where the remapped script goes; --force lets it replace another script\n"
    "  rules: --vkey FROM=TO   --button FROM=TO   --pad FROM=TO   --cheat FROM=TO\n"
    "         --hotkey FROM=TO (keys pressed together: --hotkey \"Ctrl+M=Alt+F5\")\n"
    "         --at OFFSET:KEY  --at OFFSET:PAD:KEY  --at OFFSET:CODE\n"
    "  mobile: --touch FROM=TO (zones 1-9: 1 left top ... 5 centre ... 9 right bottom)  --widget FROM=TO\n"
    "         --at OFFSET:KIND:VALUE (KIND touch, slide-from, slide-to or widget)\n"
    "  keys and pads: decimal, 0x hexadecimal, or a name as the window shows it (\"A Key\", F16, Fire, \"Pad 2\")\n"
    "  cheat codes: letters A-Z and digits, written in upper case; a new code fits the old one's room\n"
    "       morvane-cli --help | --version\n";

namespace {

// More context than this is a whole script, not the neighbourhood of a test.
constexpr int64_t kMostContext = 1000;

// Which commands take an option.
enum CommandSet : unsigned {
    kForList = 1u << 0,
    kForRemap = 1u << 1,
    kForKeys = 1u << 2,
    kForEvery = kForList | kForRemap | kForKeys,
};

unsigned SetOf(Command command) {
    switch (command) {
        case Command::List: return kForList;
        case Command::Remap: return kForRemap;
        case Command::Keys: return kForKeys;
        case Command::Help:
        case Command::Version: break;
    }
    return 0;
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

// The kinds --at names before a zone or widget: OFFSET:KIND:VALUE.
constexpr KeyTestKind kAtKinds[] = {KeyTestKind::Touch, KeyTestKind::SlideFrom, KeyTestKind::SlideTo,
                                    KeyTestKind::Widget};

// OFFSET:KIND:VALUE for a touch test: the zone or widget, by number or name.
bool ParseAtKind(const std::string& value, const std::string& rest, Rule& rule, std::string& error) {
    const std::size_t colon = rest.find(':');
    for (const KeyTestKind kind : kAtKinds) {
        if (rest.compare(0, colon, KindName(kind)) != 0 || colon == std::string::npos) continue;
        const std::string wanted = rest.substr(colon + 1);
        const KeyKind keyKind = kind == KeyTestKind::Widget ? KeyKind::Widget : KeyKind::TouchZone;
        const std::optional<int32_t> parsed = ParseKey(wanted, keyKind);
        if (!parsed || CheckRange(keyKind, *parsed) != KeyRefusal::Accepted) {
            error = "--at: " + wanted + " is no " +
                    (keyKind == KeyKind::Widget ? "widget (0 to 255 or a name)" : "touch zone (1 to 9 or a name)") +
                    ": " + value;
            return false;
        }
        rule.atKind = kind;
        (keyKind == KeyKind::Widget ? rule.widget : rule.zone) = *parsed;
        return true;
    }
    return false;
}

// OFFSET:KEY, OFFSET:PAD:KEY, OFFSET:CODE or OFFSET:KIND:VALUE, split only at
// the colons after a number and a pad or kind, so that a key's name may hold
// colons of its own ("153:Circle: Fire", "153:Pad 2:Circle: Fire").
bool ParseAtRule(const std::string& value, Rule& rule, std::string& error) {
    rule.kind = Rule::Kind::At;
    const std::size_t colon = value.find(':');
    const std::string offsetText = value.substr(0, colon);
    const bool negative = offsetText.find('-') != std::string::npos;  // not even "-0"
    const auto offset = colon == std::string::npos ? std::nullopt : ParseNumber(offsetText);
    if (!offset || *offset < 0 || negative || colon + 1 == value.size()) {
        error = "--at takes OFFSET:KEY, OFFSET:PAD:KEY or OFFSET:CODE: " + value;
        return false;
    }
    rule.offset = *offset;
    std::string rest = value.substr(colon + 1);
    if (ParseAtKind(value, rest, rule, error)) return true;
    if (!error.empty()) return false;
    const std::size_t padColon = rest.find(':');
    if (padColon != std::string::npos) {
        const std::string pad = rest.substr(0, padColon);
        const bool isPad = ParseNumber(pad) || ParseKey(pad, KeyKind::Pad);
        if (isPad) {
            rule.pad = ParseKey(pad, KeyKind::Pad);
            if (!rule.pad || CheckRange(KeyKind::Pad, *rule.pad) != KeyRefusal::Accepted) {
                error = "a pad is 0 or 1 (\"Pad 1\" or \"Pad 2\"): " + value;
                return false;
            }
            rest = rest.substr(padColon + 1);
        }
    }
    if (rest.empty()) {
        error = "--at takes OFFSET:KEY, OFFSET:PAD:KEY or OFFSET:CODE: " + value;
        return false;
    }
    rule.vkey = ParseKey(rest, KeyKind::VKey);
    rule.gameKey = ParseKey(rest, KeyKind::GameKey);
    rule.zone = ParseKey(rest, KeyKind::TouchZone);
    rule.widget = ParseKey(rest, KeyKind::Widget);
    rule.toCode = rest;
    // A key or a cheat code; whether it fits the test at the offset (a
    // button after a pad) is the rule's answer for that test.
    if (!rule.vkey && !rule.gameKey && !rule.zone && !rule.widget && !IsCheatCodeText(rest)) {
        error = "--at: " + rest + " is no key and no cheat code: " + value;
        return false;
    }
    return true;
}

bool ParseCheatRule(const std::string& value, Rule& rule, std::string& error) {
    const std::size_t equals = value.find('=');
    rule.kind = Rule::Kind::Cheat;
    if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
        error = "--cheat takes FROM=TO, each a cheat code: " + value;
        return false;
    }
    rule.fromCode = value.substr(0, equals);
    rule.toCode = value.substr(equals + 1);
    // A code the new one cannot take is each test's answer; a code to look
    // for that no test can hold would silently match nothing.
    if (!IsCheatCodeText(rule.fromCode)) {
        error = "--cheat: a cheat code is letters A-Z and digits 0-9: " + rule.fromCode + " in " + value;
        return false;
    }
    return true;
}

// --hotkey FROM=TO: two hotkeys of as many keys, split at the one "=" that
// leaves a hotkey on both sides ("= Key" is a key's name).
bool ParseHotkeyRule(const std::string& value, Rule& rule, std::string& error) {
    rule.kind = Rule::Kind::Hotkey;
    const auto parseKey = [](const std::string& name) { return ParseKey(name, KeyKind::VKey); };
    int splits = 0;
    for (std::size_t equals = value.find('='); equals != std::string::npos; equals = value.find('=', equals + 1)) {
        const auto from = ParseHotkey(value.substr(0, equals), parseKey);
        const auto to = ParseHotkey(value.substr(equals + 1), parseKey);
        if (!from || !to) continue;
        rule.fromKeys = *from;
        rule.toKeys = *to;
        ++splits;
    }
    if (splits != 1) {
        error = "--hotkey takes FROM=TO, each keys joined by + (Ctrl+Shift+M): " + value;
        return false;
    }
    if (rule.fromKeys.size() != rule.toKeys.size()) {
        error = "--hotkey: " + value + " gives a hotkey of " + std::to_string(rule.fromKeys.size()) +
                (rule.fromKeys.size() == 1 ? " key" : " keys") + " another of " + std::to_string(rule.toKeys.size()) +
                "; each test keeps its place, so both need as many keys";
        return false;
    }
    for (const int32_t key : rule.toKeys)
        if (CheckRange(KeyKind::VKey, key) != KeyRefusal::Accepted) {
            error = "--hotkey: a VKey lies between 0 and " + std::to_string(HighestValue(KeyKind::VKey)) + ": " + value;
            return false;
        }
    return true;
}

// --vkey, --button and --pad: FROM=TO of one kind of key.
bool ParseKeyRule(const std::string& option, const std::string& value, Rule::Kind ruleKind, KeyKind kind, Rule& rule,
                  std::string& error) {
    rule.kind = ruleKind;
    if (!ParsePair(value, kind, rule.from, rule.to)) {
        error = option + " takes FROM=TO, each a number or a name: " + value;
        return false;
    }
    // FROM is checked like TO: a value no key test can hold would match nothing.
    for (const int32_t key : {rule.from, rule.to}) {
        if (CheckRange(kind, key) == KeyRefusal::Accepted) continue;
        error = option + ": " +
                (kind == KeyKind::Pad
                     ? std::string("a pad is 0 or 1")
                     : std::string(key == rule.from ? "the " : "the new ") +
                           (kind == KeyKind::TouchZone ? "zone"
                            : kind == KeyKind::Widget  ? "widget"
                                                       : "key") +
                           (key == rule.from ? " to look for" : "") + " must lie between " +
                           std::to_string(LowestValue(kind)) + " and " + std::to_string(HighestValue(kind))) +
                ": " + value;
        return false;
    }
    return true;
}

// A rule option's value read into a rule added to the options.
using RuleParser = std::function<bool(const std::string& option, const std::string& value, Rule&, std::string&)>;

std::function<bool(const std::string&, Options&, std::string&)> AddRule(const std::string& option, RuleParser parse) {
    return [option, parse](const std::string& value, Options& options, std::string& error) {
        Rule rule;
        rule.text = option + " " + value;
        if (!parse(option, value, rule, error)) return false;
        options.rules.push_back(rule);
        return true;
    };
}

RuleParser KeyRule(Rule::Kind ruleKind, KeyKind kind) {
    return [ruleKind, kind](const std::string& option, const std::string& value, Rule& rule, std::string& error) {
        return ParseKeyRule(option, value, ruleKind, kind, rule, error);
    };
}

// An option, the commands that take it and what its value does; an option
// without a value (a switch) is given "".
struct OptionRow {
    std::vector<std::string> names;
    unsigned commands = kForEvery;
    bool takesValue = true;
    std::function<bool(const std::string& value, Options&, std::string& error)> apply;
};

// A switch: given, it sets its field.
std::function<bool(const std::string&, Options&, std::string&)> Switch(bool Options::*field) {
    return [field](const std::string&, Options& options, std::string&) {
        options.*field = true;
        return true;
    };
}

// A value that must not be empty, stored as it is.
std::function<bool(const std::string&, Options&, std::string&)> Path(std::string Options::*field,
                                                                     const std::string& name) {
    return [field, name](const std::string& value, Options& options, std::string& error) {
        if (value.empty()) {
            error = name + " needs a path";
            return false;
        }
        options.*field = value;
        return true;
    };
}

// A value that is one of a few words, each standing for a value of the field.
template <typename Value>
std::function<bool(const std::string&, Options&, std::string&)> OneOf(
    Value Options::*field, const std::string& usage, std::vector<std::pair<std::string, Value>> words) {
    return [field, usage, words](const std::string& value, Options& options, std::string& error) {
        for (const auto& [word, meaning] : words)
            if (value == word) {
                options.*field = meaning;
                return true;
            }
        error = usage + value;
        return false;
    };
}

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> rows = {
        {{"--game"},
         kForEvery,
         true,
         [](const std::string& value, Options& options, std::string& error) {
             options.game = GameFromShortName(value);
             if (!options.game) error = "--game is gta3, vc, sa, gta3-mobile, vc-mobile or sa-mobile: " + value;
             return options.game.has_value();
         }},
        {{"--ini"},
         kForEvery,
         true,
         [](const std::string& value, Options& options, std::string& error) {
             if (value.empty()) error = "--ini needs a path";
             options.ini.push_back(value);
             return error.empty();
         }},
        {{"--only-ini"}, kForEvery, false, Switch(&Options::onlyIni)},
        {{"--sanny"}, kForEvery, true, Path(&Options::sanny, "--sanny")},
        {{"--header"},
         kForEvery,
         true,
         OneOf<HeaderSkip>(&Options::header, "--header is auto, on or off: ",
                           {{"auto", HeaderSkip::ByName}, {"on", HeaderSkip::Always}, {"off", HeaderSkip::Never}})},
        {{"--format"},
         kForList | kForKeys,
         true,
         OneOf<Format>(&Options::format, "--format is text, tsv or json: ",
                       {{"text", Format::Text}, {"tsv", Format::Tsv}, {"json", Format::Json}})},
        {{"--svg"}, kForKeys, true, Path(&Options::svg, "--svg")},
        {{"--context"},
         kForList,
         true,
         [](const std::string& value, Options& options, std::string& error) {
             const auto lines = ParseNumber(value);
             if (!lines || *lines < 0 || *lines > kMostContext) {
                 error = "--context takes a number of instructions from 0 to " + std::to_string(kMostContext) + ": " +
                         value;
                 return false;
             }
             options.context = static_cast<int>(*lines);
             return true;
         }},
        {{"--vkey"}, kForRemap, true, AddRule("--vkey", KeyRule(Rule::Kind::VKey, KeyKind::VKey))},
        {{"--button"}, kForRemap, true, AddRule("--button", KeyRule(Rule::Kind::Button, KeyKind::GameKey))},
        {{"--pad"}, kForRemap, true, AddRule("--pad", KeyRule(Rule::Kind::Pad, KeyKind::Pad))},
        {{"--touch"}, kForRemap, true, AddRule("--touch", KeyRule(Rule::Kind::Touch, KeyKind::TouchZone))},
        {{"--widget"}, kForRemap, true, AddRule("--widget", KeyRule(Rule::Kind::Widget, KeyKind::Widget))},
        {{"--cheat"},
         kForRemap,
         true,
         AddRule("--cheat", [](const std::string&, const std::string& value, Rule& rule,
                               std::string& error) { return ParseCheatRule(value, rule, error); })},
        {{"--hotkey"},
         kForRemap,
         true,
         AddRule("--hotkey", [](const std::string&, const std::string& value, Rule& rule,
                                std::string& error) { return ParseHotkeyRule(value, rule, error); })},
        {{"--at"},
         kForRemap,
         true,
         AddRule("--at", [](const std::string&, const std::string& value, Rule& rule,
                            std::string& error) { return ParseAtRule(value, rule, error); })},
        {{"-o", "--output"}, kForRemap, true, Path(&Options::output, "-o")},
        {{"--in-place"}, kForRemap, false, Switch(&Options::inPlace)},
        {{"--allow-unknown"}, kForRemap, false, Switch(&Options::allowUnknown)},
        {{"--force"}, kForRemap, false, Switch(&Options::force)},
    };
    return rows;
}

// The option an argument names for a command, the name it was given by, and
// the value written into the argument itself ("--game=sa"), when any.
const OptionRow* FindOption(const std::string& arg, Command command, std::string& name,
                            std::optional<std::string>& inlineValue) {
    for (const OptionRow& row : OptionTable()) {
        if ((row.commands & SetOf(command)) == 0) continue;
        for (const std::string& candidate : row.names) {
            name = candidate;
            if (arg == candidate) return &row;
            // "-o" takes its value only as the next argument.
            if (row.takesValue && candidate.rfind("--", 0) == 0 &&
                arg.compare(0, candidate.size() + 1, candidate + "=") == 0) {
                inlineValue = arg.substr(candidate.size() + 1);
                return &row;
            }
        }
    }
    return nullptr;
}

std::optional<Command> CommandNamed(const std::string& word) {
    if (word == "--help" || word == "-h" || word == "help") return Command::Help;
    if (word == "--version") return Command::Version;
    if (word == "list") return Command::List;
    if (word == "remap") return Command::Remap;
    if (word == "keys") return Command::Keys;
    return std::nullopt;
}

// What no single option can check: the files and the options together.
bool CheckTogether(const Options& options, std::string& error) {
    if (options.files.empty())
        error = options.command == Command::Keys ? "no script or folder given" : "no script file given";
    else if (options.onlyIni && options.ini.empty())
        error = "--only-ini goes with --ini: it keeps the table to the files --ini names";
    else if (options.context > 0 && options.format == Format::Tsv)
        error = "--context goes with --format text or json: a tsv row is one key test";
    else if (options.command == Command::Remap && options.rules.empty())
        error = "remap needs at least one rule";
    else if (options.command == Command::Remap && options.inPlace == !options.output.empty())
        error = "remap needs either -o OUT or --in-place";
    else if (options.command == Command::Remap && !options.output.empty() && options.files.size() != 1)
        error = "-o takes exactly one script";
    else if (options.force && options.output.empty())
        error = "--force goes with -o: it lets -o replace another script";
    return error.empty();
}

}  // namespace

std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::string& error) {
    Options options;
    if (args.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::optional<Command> command = CommandNamed(args[0]);
    if (!command) {
        error = "unknown command: " + args[0];
        return std::nullopt;
    }
    options.command = *command;
    if (*command == Command::Help || *command == Command::Version) return options;

    bool onlyFiles = false;
    for (std::size_t next = 1; next < args.size();) {
        const std::string& arg = args[next++];
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.command = Command::Help;
            return options;
        }
        std::string name;
        std::optional<std::string> value;
        const OptionRow* row = FindOption(arg, options.command, name, value);
        if (row == nullptr) {
            error = "unknown option for " + args[0] + ": " + arg;
            return std::nullopt;
        }
        if (row->takesValue && !value) {
            if (next >= args.size()) {
                error = name + " needs a value";
                return std::nullopt;
            }
            value = args[next++];
        }
        if (!row->apply(value.value_or(std::string()), options, error)) return std::nullopt;
    }
    if (!CheckTogether(options, error)) return std::nullopt;
    return options;
}

}  // namespace morvane::cli
