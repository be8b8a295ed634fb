#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "opcodes/GameId.h"
#include "script/ScriptFiles.h"

namespace morvane::cli {

enum class Command { List, Remap, Keys, Help, Version };
enum class Format { Text, Tsv, Json };

// One change asked for on the command line.
struct Rule {
    enum class Kind { VKey, Button, Pad, Cheat, At };
    Kind kind = Kind::VKey;
    int32_t from = 0;            // VKey, Button, Pad: the value to look for
    int32_t to = 0;              // VKey, Button, Pad: the value to write
    int64_t offset = 0;          // At: the test's byte position
    std::optional<int32_t> pad;  // At: the new pad, when given
    std::string key;             // At: the new key or cheat code as written (read by the test's kind)
    std::string fromCode;        // Cheat: the code to look for, letters in either case
    std::string toCode;          // Cheat: the code to write, as typed
    std::string text;            // the rule as written, for messages
};

struct Options {
    Command command = Command::Help;
    std::optional<GameId> game;
    std::vector<std::string> ini;  // opcode files, merged in order
    std::string sanny;             // a Sanny Builder folder
    HeaderSkip header = HeaderSkip::ByName;
    Format format = Format::Text;
    int context = 0;  // list: instructions shown before and after each test
    std::vector<Rule> rules;
    std::vector<std::string> files;  // keys: scripts and folders
    std::string svg;                 // keys: where to draw the map
    std::string output;
    bool inPlace = false;
    bool allowUnknown = false;  // remap files whose walk met unknown instructions
};

// Reads the arguments after the program name. On a usage error returns
// nothing and sets `error`.
std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

}  // namespace morvane::cli
