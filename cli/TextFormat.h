#pragma once

#include <string>

namespace morvane::cli {

// Text as a JSON string, quotes included: quotes, backslashes and control
// characters escaped, and bytes that are not UTF-8 (file names on Linux are
// bytes) replaced by U+FFFD, so the output is always valid JSON.
std::string JsonString(const std::string& text);

// Text as one field of a tab-separated line: backslash, tab, line feed and
// carriage return written as \\, \t, \n and \r, other control bytes as \xNN.
std::string TsvField(const std::string& text);

// Text for a line of plain output: control bytes written as in TsvField,
// backslashes as they are.
std::string PlainText(const std::string& text);

}  // namespace morvane::cli
