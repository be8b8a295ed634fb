#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "io/Utf8Text.h"

using namespace morvane;

TEST(Utf8Text, KeepsValidTextAndReplacesEveryInvalidSequence) {
    const std::string valid = "mods/caf\xC3\xA9 \xE2\x86\x91 \xF0\x9F\x8E\xAE.cs";
    EXPECT_EQ(ValidUtf8(valid), valid);
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(ValidUtf8("a\xFF"
                        "b"),
              "a" + fffd + "b");                                          // a stray byte
    EXPECT_EQ(ValidUtf8("a\xC3"), "a" + fffd);                            // cut at the end
    EXPECT_EQ(ValidUtf8("\xC0\xAF"), fffd + fffd);                        // overlong "/"
    EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), fffd + fffd + fffd);             // a surrogate
    EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd);  // above U+10FFFF
    EXPECT_EQ(ValidUtf8("\xE2\x86"
                        "x"),
              fffd + fffd + "x");  // a lead byte without its tail
}

// Names compared without case in every language Morvane speaks.
TEST(Utf8Text, MakesTheCapitalsOfLatinAndCyrillicSmall) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Left Shift (0xA0)", "left shift (0xa0)"},
        {"ПРОБЕЛ Ёж", "пробел ёж"},                    // Cyrillic, Ё apart from А-Я
        {"ŁÓDŹ ŚĆIEŻKA Ę Ą Ń", "łódź śćieżka ę ą ń"},  // Polish: Latin Extended-A both ways of pairing
        {"ÄÖÜ ß Ç Ñ Ÿ ×", "äöü ß ç ñ ÿ ×"},            // Latin-1, × no letter
        {"łódź", "łódź"},                              // small letters stay
        {"İ ı ☃ 🎮", "İ ı ☃ 🎮"},                        // no pair, or no letter: as they are
        {"A\xFF"
         "B\xC3",
         "a\xFF"
         "b\xC3"},  // bytes that are no characters stay
    };
    for (const auto& [text, small] : cases) EXPECT_EQ(SmallLetters(text), small) << text;
}
