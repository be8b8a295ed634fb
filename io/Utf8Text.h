#pragma once

#include <string>

namespace morvane {

// The text with every byte sequence that is not UTF-8 (a stray byte, a cut
// or overlong sequence, a surrogate, a code point above U+10FFFF) replaced
// by U+FFFD. File names on Linux are bytes; JSON and XML must be UTF-8.
std::string ValidUtf8(const std::string& text);

// Whether the text is well-formed UTF-8 throughout.
bool IsValidUtf8(const std::string& text);

// The text with the capitals of Latin (Latin-1 and Latin Extended-A
// too) and of Cyrillic made small, for comparing names without regard to
// case in every language Morvane speaks ("ПРОБЕЛ", "Łódź" -> "пробел",
// "łódź"); every other character, and bytes that are not UTF-8, as they are.
std::string SmallLetters(const std::string& text);

// How many characters valid UTF-8 text holds (its bytes that start one).
std::size_t CodePointCount(const std::string& text);

// Text for a line of plain output or a message (file names, cheat codes):
// tab, newline and carriage return as \t, \n and \r, other control bytes as
// \xNN, every other byte (backslashes too) as it is.
std::string PlainText(const std::string& text);

}  // namespace morvane
