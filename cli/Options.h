#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keys/RemapRules.h"
#include "opcodes/GameId.h"
#include "script/ScriptFiles.h"

namespace morvane::cli {

enum class Command { List, Remap, Keys, Help, Version };
enum class Format { Text, Tsv, Json };

// One change asked for on the command line: the engine's remap rule.
using Rule = morvane::RemapRule;

struct Options {
    Command command = Command::Help;
    std::optional<GameId> game;
    std::vector<std::string> ini;  // opcode files, merged in order
    std::string sanny;             // a Sanny Builder folder
    bool onlyIni = false;          // the --ini files' opcodes and no others
    HeaderSkip header = HeaderSkip::ByName;
    Format format = Format::Text;
    int context = 0;  // list: instructions shown before and after each test
    std::vector<Rule> rules;
    std::vector<std::string> files;  // keys: scripts and folders
    std::string svg;                 // keys: where to draw the map
    std::string output;
    bool inPlace = false;
    bool allowUnknown = false;  // remap files whose walk met unknown instructions
    bool force = false;         // -o may replace another script
};

// Reads the arguments after the program name. On a usage error returns
// nothing and sets `error`.
std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::string& error);

// The help: the forms of the command line and what their words stand for,
// in the language chosen.
std::string Usage();

}  // namespace morvane::cli
