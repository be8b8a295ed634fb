#pragma once

#include <string>

#include "io/Utf8Text.h"

namespace morvane::cli {

using morvane::IsValidUtf8;  // io/Utf8Text.h: well-formed UTF-8 throughout

// The bytes as lower-case hexadecimal digits, two a byte ("a.cs" -> "612e6373").
std::string HexBytes(const std::string& bytes);

// A field of a tab-separated line: tab, newline, carriage return and
// backslash written as \t, \n, \r and \\; every other byte as it is.
std::string TsvField(const std::string& text);

using morvane::PlainText;  // io/Utf8Text.h: control bytes escaped for a line of text

}  // namespace morvane::cli
