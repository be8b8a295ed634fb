#include "cli/Options.h"

#include <array>
#include <functional>
#include <utility>

#include "cli/KeyArgument.h"
#include "i18n/Translate.h"
#include "io/Utf8Text.h"
#include "keys/Hotkeys.h"
#include "keys/KeyNames.h"
#include "keys/KeyRules.h"

namespace morvane::cli {

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
            std::string reason;
            if (keyKind == KeyKind::Widget)
                // TRANSLATORS: {value} is what --at was given for the widget.
                reason = Fill(Tr("{value} is no widget (0 to 255 or a name)"), {{"value", wanted}});
            else
                // TRANSLATORS: {value} is what --at was given for the touch zone.
                reason = Fill(Tr("{value} is no touch zone (1 to 9 or a name)"), {{"value", wanted}});
            error = "--at: " + reason + ": " + value;
            return false;
        }
        rule.atKind = kind;
        (keyKind == KeyKind::Widget ? rule.widget : rule.zone) = *parsed;
        return true;
    }
    return false;
}

// The message for an --at value that is none of its forms.
std::string AtFormsText(const std::string& value) {
    // TRANSLATORS: {option} is --at; OFFSET, PAD, KEY and CODE stand for what the user types: keep them.
    return Fill(Tr("{option} takes OFFSET:KEY, OFFSET:PAD:KEY or OFFSET:CODE: {value}"),
                {{"option", "--at"}, {"value", value}});
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
        error = AtFormsText(value);
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
                // TRANSLATORS: {first} and {second} are the pads' names as typed ("Pad 1").
                error = Fill(Tr("a pad is 0 or 1 ({first} or {second})"),
                             {{"first", "\"Pad 1\""}, {"second", "\"Pad 2\""}}) +
                        ": " + value;
                return false;
            }
            rest = rest.substr(padColon + 1);
        }
    }
    if (rest.empty()) {
        error = AtFormsText(value);
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
        // TRANSLATORS: {value} is what --at was given after the offset (and pad).
        error = "--at: " + Fill(Tr("{value} is no key and no cheat code"), {{"value", rest}}) + ": " + value;
        return false;
    }
    return true;
}

bool ParseCheatRule(const std::string& value, Rule& rule, std::string& error) {
    const std::size_t equals = value.find('=');
    rule.kind = Rule::Kind::Cheat;
    if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
        // TRANSLATORS: {option} is --cheat; FROM and TO stand for what the user types: keep them.
        const std::string takes = Tr("{option} takes FROM=TO, each a cheat code: {value}");
        error = Fill(takes, {{"option", "--cheat"}, {"value", value}});
        return false;
    }
    rule.fromCode = value.substr(0, equals);
    rule.toCode = value.substr(equals + 1);
    // A code the new one cannot take is each test's answer; a code to look
    // for that no test can hold would silently match nothing.
    if (!IsCheatCodeText(rule.fromCode)) {
        // TRANSLATORS: {code} is the code to look for, {value} the whole rule FROM=TO.
        const std::string reason = Fill(Tr("a cheat code is letters A-Z and digits 0-9: {code} in {value}"),
                                        {{"code", rule.fromCode}, {"value", value}});
        error = "--cheat: " + reason;
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
        // TRANSLATORS: {option} is --hotkey, {example} a hotkey as typed; FROM and TO stand for what the user
        // types: keep them.
        error = Fill(Tr("{option} takes FROM=TO, each keys joined by + ({example}): {value}"),
                     {{"option", "--hotkey"}, {"example", "Ctrl+Shift+M"}, {"value", value}});
        return false;
    }
    if (rule.fromKeys.size() != rule.toKeys.size()) {
        const std::size_t fromKeys = rule.fromKeys.size();
        const std::string from =
            Fill(TrN("{count} key", "{count} keys", fromKeys), {{"count", std::to_string(fromKeys)}});
        // TRANSLATORS: {value} is the rule FROM=TO, {from} the keys of FROM ("2 keys"), {to} the number of
        // TO's keys alone ("1").
        const std::string reason = Fill(Tr("{value} gives a hotkey of {from} another of {to}; each test keeps its "
                                           "place, so both need as many keys"),
                                        {{"value", value}, {"from", from}, {"to", std::to_string(rule.toKeys.size())}});
        error = "--hotkey: " + reason;
        return false;
    }
    for (const int32_t key : rule.toKeys)
        if (CheckRange(KeyKind::VKey, key) != KeyRefusal::Accepted) {
            error = "--hotkey: " +
                    Fill(Tr("a VKey lies between 0 and {highest}"),
                         {{"highest", std::to_string(HighestValue(KeyKind::VKey))}}) +
                    ": " + value;
            return false;
        }
    return true;
}

// Why a key of a rule is refused for its kind, `lookedFor` for FROM (the key
// to look for), else for TO (the new one); {lowest} and {highest} left to fill.
std::string RangeText(KeyKind kind, bool lookedFor) {
    switch (kind) {
        case KeyKind::Pad: return Tr("a pad is 0 or 1");
        case KeyKind::TouchZone:
            return lookedFor ? Tr("the zone to look for must lie between {lowest} and {highest}")
                             : Tr("the new zone must lie between {lowest} and {highest}");
        case KeyKind::Widget:
            return lookedFor ? Tr("the widget to look for must lie between {lowest} and {highest}")
                             : Tr("the new widget must lie between {lowest} and {highest}");
        case KeyKind::VKey:
        case KeyKind::GameKey: break;
    }
    return lookedFor ? Tr("the key to look for must lie between {lowest} and {highest}")
                     : Tr("the new key must lie between {lowest} and {highest}");
}

// --vkey, --button and --pad: FROM=TO of one kind of key.
bool ParseKeyRule(const std::string& option, const std::string& value, Rule::Kind ruleKind, KeyKind kind, Rule& rule,
                  std::string& error) {
    rule.kind = ruleKind;
    if (!ParsePair(value, kind, rule.from, rule.to)) {
        // TRANSLATORS: {option} is --vkey, --button, --pad, --touch or --widget; FROM and TO stand for what the
        // user types: keep them.
        error = Fill(Tr("{option} takes FROM=TO, each a number or a name: {value}"),
                     {{"option", option}, {"value", value}});
        return false;
    }
    // FROM is checked like TO: a value no key test can hold would match nothing.
    for (const int32_t key : {rule.from, rule.to}) {
        if (CheckRange(kind, key) == KeyRefusal::Accepted) continue;
        error = option + ": " +
                Fill(RangeText(kind, key == rule.from),
                     {{"lowest", std::to_string(LowestValue(kind))}, {"highest", std::to_string(HighestValue(kind))}}) +
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
            error = Fill(Tr("{option} needs a path"), {{"option", name}});
            return false;
        }
        options.*field = value;
        return true;
    };
}

// A value that is one of three words, each standing for a value of the field.
template <typename Value>
std::function<bool(const std::string&, Options&, std::string&)> OneOf(
    Value Options::*field, const std::string& name, std::array<std::pair<std::string, Value>, 3> words) {
    return [field, name, words](const std::string& value, Options& options, std::string& error) {
        for (const auto& [word, meaning] : words)
            if (value == word) {
                options.*field = meaning;
                return true;
            }
        // TRANSLATORS: {option} is --header or --format, {first}, {second} and {third} the words it takes
        // ("auto", "on", "off"), typed as they are.
        error = Fill(Tr("{option} is {first}, {second} or {third}: {value}"), {{"option", name},
                                                                               {"first", words[0].first},
                                                                               {"second", words[1].first},
                                                                               {"third", words[2].first},
                                                                               {"value", value}});
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
             if (!options.game)
                 // TRANSLATORS: {option} is --game, {names} and {last} the games' short names, typed as they are.
                 error = Fill(Tr("{option} is {names} or {last}: {value}"),
                              {{"option", "--game"},
                               {"names", "gta3, vc, sa, gta3-mobile, vc-mobile"},
                               {"last", "sa-mobile"},
                               {"value", value}});
             return options.game.has_value();
         }},
        {{"--ini"},
         kForEvery,
         true,
         [](const std::string& value, Options& options, std::string& error) {
             if (value.empty()) error = Fill(Tr("{option} needs a path"), {{"option", "--ini"}});
             options.ini.push_back(value);
             return error.empty();
         }},
        {{"--only-ini"}, kForEvery, false, Switch(&Options::onlyIni)},
        {{"--sanny"}, kForEvery, true, Path(&Options::sanny, "--sanny")},
        {{"--header"},
         kForEvery,
         true,
         OneOf<HeaderSkip>(&Options::header, "--header",
                           {{{"auto", HeaderSkip::ByName}, {"on", HeaderSkip::Always}, {"off", HeaderSkip::Never}}})},
        {{"--format"},
         kForList | kForKeys,
         true,
         OneOf<Format>(&Options::format, "--format",
                       {{{"text", Format::Text}, {"tsv", Format::Tsv}, {"json", Format::Json}}})},
        {{"--svg"}, kForKeys, true, Path(&Options::svg, "--svg")},
        {{"--context"},
         kForList,
         true,
         [](const std::string& value, Options& options, std::string& error) {
             const auto lines = ParseNumber(value);
             if (!lines || *lines < 0 || *lines > kMostContext) {
                 // TRANSLATORS: {option} is --context.
                 error = Fill(Tr("{option} takes a number of instructions from 0 to {most}: {value}"),
                              {{"option", "--context"}, {"most", std::to_string(kMostContext)}, {"value", value}});
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
        error = options.command == Command::Keys ? Tr("no script or folder given") : Tr("no script file given");
    else if (options.onlyIni && options.ini.empty())
        // TRANSLATORS: {onlyIni} is --only-ini, {ini} is --ini.
        error = Fill(Tr("{onlyIni} goes with {ini}: it keeps the table to the files {ini} names"),
                     {{"onlyIni", "--only-ini"}, {"ini", "--ini"}});
    else if (options.context > 0 && options.format == Format::Tsv)
        // TRANSLATORS: {context} is --context, {format} is --format; text, json and tsv are its values: keep
        // them.
        error = Fill(Tr("{context} goes with {format} text or json: a tsv row is one key test"),
                     {{"context", "--context"}, {"format", "--format"}});
    else if (options.command == Command::Remap && options.rules.empty())
        // TRANSLATORS: {command} is the command remap; a rule is an option such as --vkey FROM=TO.
        error = Fill(Tr("{command} needs at least one rule"), {{"command", "remap"}});
    else if (options.command == Command::Remap && options.inPlace == !options.output.empty())
        // TRANSLATORS: {command} is the command remap, {output} is -o OUT, {inPlace} is --in-place.
        error = Fill(Tr("{command} needs either {output} or {inPlace}"),
                     {{"command", "remap"}, {"output", "-o OUT"}, {"inPlace", "--in-place"}});
    else if (options.command == Command::Remap && !options.output.empty() && options.files.size() != 1)
        // TRANSLATORS: {option} is -o.
        error = Fill(Tr("{option} takes exactly one script"), {{"option", "-o"}});
    else if (options.force && options.output.empty())
        // TRANSLATORS: {force} is --force, {output} is -o.
        error = Fill(Tr("{force} goes with {output}: it lets {output} replace another script"),
                     {{"force", "--force"}, {"output", "-o"}});
    return error.empty();
}

// A line of the usage that says what a word or option stands for: "  LABEL:
// " and the text, each further line of the text (after a "\n" in it)
// indented to where its first line began.
std::string UsageEntry(const std::string& label, const std::string& text) {
    const std::string indent(CodePointCount(label) + 4, ' ');
    std::string entry = "  " + label + ": ";
    for (const char c : text) {
        entry += c;
        if (c == '\n') entry += indent;
    }
    return entry + "\n";
}

}  // namespace

std::string Usage() {
    // TRANSLATORS: the first word of the help, before the forms of the command line ("usage: morvane-cli list
    // [--game GAME] ..."), which are not translated; the forms below it are indented to its width.
    const std::string usage = Tr("usage:");
    const std::string indent(CodePointCount(usage) + 1, ' ');
    const std::string every = "[--game GAME] [--ini PATH]... [--only-ini] [--sanny DIR] [--header auto|on|off]\n";
    const std::string under = indent + std::string(std::string("morvane-cli list  ").size(), ' ');
    std::string text =
        usage + " morvane-cli list  " + every + under + "[--format text|tsv|json] [--context N] FILE...\n";
    text += indent + "morvane-cli remap " + every + under +
            "[--allow-unknown] RULE... FILE... (-o OUT [--force] | --in-place)\n";
    text += indent + "morvane-cli keys  " + every + under + "[--format text|tsv|json] [--svg FILE] PATH...\n";
    // TRANSLATORS: what --game takes; {pc} and {mobile} are the games' short names, typed as they are.
    text += UsageEntry("GAME", Fill(Tr("{pc}, or the mobile editions {mobile}"),
                                    {{"pc", "gta3, vc, sa"}, {"mobile", "gta3-mobile, vc-mobile, sa-mobile"}}));
    // TRANSLATORS: what the command keys does. In the help each \n starts a new line, which the program indents;
    // the words in capitals (PATH, DIR, N, OUT) stand for the values of the forms above it: keep them.
    text += UsageEntry("keys", Tr("the keys and cheat codes the scripts test, and which two scripts share one; a "
                                  "PATH is a\nscript or a folder searched for the game's scripts: .cs, .cs3, .cs4, "
                                  ".cm and .scm files\n(for a mobile edition .csa, .csi and .scm)"));
    // TRANSLATORS: what --ini PATH stands for; {sanny} is --sanny.
    text += UsageEntry("--ini PATH", Fill(Tr("an opcode INI file, or a command library as JSON (sa.json); several are "
                                             "merged in order,\nand what they do not describe is taken from {sanny}, "
                                             "then from the built-in table"),
                                          {{"sanny", "--sanny"}}));
    // TRANSLATORS: what --only-ini does; {ini} is --ini, {sanny} is --sanny.
    text += UsageEntry("--only-ini", Fill(Tr("the {ini} files' opcodes only (and {sanny}'s); nothing from the "
                                             "built-in table"),
                                          {{"ini", "--ini"}, {"sanny", "--sanny"}}));
    text +=
        UsageEntry("--sanny DIR", Tr("the opcode files of Sanny Builder's folder DIR, as its mode files list them"));
    // TRANSLATORS: {ini} is --ini, {sanny} is --sanny; the help goes on with the table taken without them.
    text += UsageEntry(Fill(Tr("without {ini} or {sanny}"), {{"ini", "--ini"}, {"sanny", "--sanny"}}),
                       Tr("the game's INI file here (SASCM.ini ...), else the built-in table"));
    // TRANSLATORS: what --context N does; {text} and {json} are values of --format, typed as they are.
    text += UsageEntry("--context N", Fill(Tr("the N instructions before and after each test, decoded ({text} and "
                                              "{json})"),
                                           {{"text", "text"}, {"json", "json"}}));
    // TRANSLATORS: what -o OUT does; {force} is --force.
    text += UsageEntry("-o OUT", Fill(Tr("where the remapped script goes; {force} lets it replace another script"),
                                      {{"force", "--force"}}));
    // TRANSLATORS: the heading of the rules of remap, options such as --vkey FROM=TO.
    text += UsageEntry(Tr("rules"),
                       "--vkey FROM=TO   --button FROM=TO   --pad FROM=TO   --cheat FROM=TO\n"
                       "--hotkey FROM=TO " +
                           // TRANSLATORS: after --hotkey FROM=TO; {example} is a rule as typed.
                           Fill(Tr("(keys pressed together: {example})"), {{"example", "--hotkey \"Ctrl+M=Alt+F5\""}}) +
                           "\n--at OFFSET:KEY  --at OFFSET:PAD:KEY  --at OFFSET:CODE");
    // TRANSLATORS: the heading of the rules of remap for the touch screens of mobile editions.
    const std::string mobile = Tr("mobile");
    // TRANSLATORS: after --touch FROM=TO; {zones} are the zones' numbers and names as typed.
    const std::string zones = Tr("(zones 1-9: {zones})");
    // TRANSLATORS: after --at OFFSET:KIND:VALUE; KIND stands for the word typed there: {touch}, {slideFrom},
    // {slideTo} and {widget} are those words, typed as they are.
    const std::string kinds = Tr("(KIND {touch}, {slideFrom}, {slideTo} or {widget})");
    text += UsageEntry(
        mobile,
        "--touch FROM=TO " + Fill(zones, {{"zones", "1 left top ... 5 centre ... 9 right bottom"}}) +
            "  --widget FROM=TO\n--at OFFSET:KIND:VALUE " +
            Fill(kinds,
                 {{"touch", "touch"}, {"slideFrom", "slide-from"}, {"slideTo", "slide-to"}, {"widget", "widget"}}));
    // TRANSLATORS: the heading of how keys and pads are written in rules.
    const std::string keysAndPads = Tr("keys and pads");
    // TRANSLATORS: how keys and pads are written in rules; {examples} are names as typed.
    const std::string keyForms = Tr("decimal, 0x hexadecimal, or a name as the window shows it ({examples})");
    text += UsageEntry(keysAndPads, Fill(keyForms, {{"examples", "\"A Key\", F16, Fire, \"Pad 2\""}}));
    // TRANSLATORS: the heading of how cheat codes are written in rules.
    text += UsageEntry(Tr("cheat codes"),
                       Tr("letters A-Z and digits, written in upper case; a new code fits the old one's room"));
    return text + indent + "morvane-cli --help | --version\n";
}

std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::string& error) {
    Options options;
    if (args.empty()) {
        error = Tr("no command given");
        return std::nullopt;
    }
    const std::optional<Command> command = CommandNamed(args[0]);
    if (!command) {
        error = Fill(Tr("unknown command: {command}"), {{"command", args[0]}});
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
            // TRANSLATORS: {command} is the command given (list, remap or keys), {option} the argument.
            error = Fill(Tr("unknown option for {command}: {option}"), {{"command", args[0]}, {"option", arg}});
            return std::nullopt;
        }
        if (row->takesValue && !value) {
            if (next >= args.size()) {
                error = Fill(Tr("{option} needs a value"), {{"option", name}});
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
