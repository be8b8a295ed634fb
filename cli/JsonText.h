#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace morvane::cli {

// The command line's JSON: members in the order they were added.
using Json = nlohmann::ordered_json;

// A value written on one line as the command line writes JSON: ": " after a
// member's name, ", " between members and between items. Strings are always
// valid UTF-8 JSON: each byte that is not part of well-formed UTF-8 becomes
// U+FFFD.
std::string OneLine(const Json& value);

}  // namespace morvane::cli
