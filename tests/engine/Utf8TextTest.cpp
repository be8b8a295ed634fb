#include <gtest/gtest.h>

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
