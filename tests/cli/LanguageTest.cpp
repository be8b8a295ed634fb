// morvane-cli in the languages it speaks: its messages and text output in
// the system's language, its tsv and json the same in every language.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliSupport.h"
#include "i18n/Language.h"

namespace morvane::test {
namespace {

class LanguageTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        std::filesystem::create_directories(dir.File("mods"));
        std::filesystem::copy_file(DemoPath("sa_keys.cs"), dir.File("mods/sa_keys.cs"));
        std::filesystem::copy_file(DemoPath("sa_hotkeys.cs"), dir.File("mods/hot.cs"));
    }
    // The executable run as under a system of that locale.
    CliRun In(const std::string& locale, const std::vector<std::string>& args) {
        runner = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + Quote(locale) + " ";
        return Binary(args);
    }
};

TEST_F(LanguageTest, TsvAndJsonAreTheSameInEveryLanguage) {
    const std::vector<std::vector<std::string>> commands = {
        {"list", "--game", "sa", "--format", "tsv", "sa_keys.cs", "sa_libraries.cs"},
        {"list", "--game", "sa", "--format", "json", "--context", "1", "sa_keys.cs"},
        {"keys", "--game", "sa", "--format", "tsv", "mods"},
        {"keys", "--game", "sa", "--format", "json", "mods"},
    };
    for (const std::vector<std::string>& args : commands) {
        const CliRun english = In("C", args);
        ASSERT_EQ(english.status, 0) << english.err;
        for (const Language& language : kLanguages) {
            const CliRun spoken = In(std::string(language.code) + ".UTF-8", args);
            EXPECT_EQ(spoken.status, 0) << language.code << " " << args[0];
            EXPECT_EQ(spoken.out, english.out) << language.code << " " << args[0] << " " << args[4];
        }
    }
}

}  // namespace
}  // namespace morvane::test
