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
        std::filesystem::copy_file(DemoPath("sa_chords.cs"), dir.File("mods/chords.cs"));
        // A file the key map leaves out, with its cause.
        std::filesystem::create_symlink("nowhere.cs", dir.File("mods/broken.cs"));
    }
    // The executable run as under a system of that locale.
    CliRun In(const std::string& locale, const std::vector<std::string>& args) {
        runner = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + Quote(locale) + " ";
        return Binary(args);
    }
};

// What a tsv or json run writes, its messages too, is English in every
// language: names, kinds, the causes of files left out.
TEST_F(LanguageTest, TsvAndJsonAreTheSameInEveryLanguage) {
    const std::vector<std::vector<std::string>> commands = {
        {"list", "--game", "sa", "--format", "tsv", "sa_keys.cs", "sa_libraries.cs"},
        {"list", "--game", "sa", "--format", "json", "--context", "1", "sa_keys.cs"},
        {"keys", "--game", "sa", "--format", "tsv", "mods"},
        {"keys", "--game", "sa", "--format", "json", "mods"},
    };
    for (const std::vector<std::string>& args : commands) {
        const CliRun english = In("C", args);
        ASSERT_NE(english.out, "") << english.err;
        for (const Language& language : kLanguages) {
            const CliRun spoken = In(std::string(language.code) + ".UTF-8", args);
            EXPECT_EQ(spoken.status, english.status) << language.code << " " << args[0];
            EXPECT_EQ(spoken.out, english.out) << language.code << " " << args[0] << " " << args[4];
            EXPECT_EQ(spoken.err, english.err) << language.code << " " << args[0] << " " << args[4];
        }
    }
}

// One message or line of each command in Russian and German, read back
// from the executable as a player's system runs it.
TEST_F(LanguageTest, EachCommandSpeaksTheSystemsLanguage) {
    struct Case {
        const char* locale;
        std::vector<std::string> args;
        bool onStandardError;
        std::string expected;  // a line of the output
    };
    const std::vector<std::string> remap = {"remap",       "--game",     "sa", "--vkey",
                                            "Y Key=Z Key", "sa_keys.cs", "-o", "o.cs"};
    const std::vector<std::string> keys = {"keys", "--game", "sa", "mods"};
    const std::vector<std::string> list = {"list", "--game", "sa", "sa_keys.cs"};
    const std::vector<Case> cases = {
        {"ru_RU.UTF-8",
         {"--help"},
         false,
         "использование: morvane-cli list  [--game GAME] [--ini PATH]... [--only-ini] "
         "[--sanny DIR] [--header auto|on|off]"},
        {"de_DE.UTF-8",
         {"--help"},
         false,
         "Aufruf: morvane-cli list  [--game GAME] [--ini PATH]... [--only-ini] "
         "[--sanny DIR] [--header auto|on|off]"},
        {"ru_RU.UTF-8", list, false,
         "sa_keys.cs        54  vkey         1          -      160  Левый Shift                      0AB0"},
        {"de_DE.UTF-8", list, false,
         "sa_keys.cs      54  vkey        1      -    160  Umschalt links               0AB0"},
        {"ru_RU.UTF-8", remap, false, "sa_keys.cs: 1 изменение -> o.cs"},
        {"de_DE.UTF-8", remap, false, "sa_keys.cs: 1 geändert -> o.cs"},
        {"ru_RU.UTF-8", keys, false, "Карта клавиш: 3 скрипта; проверяются: 14 клавиш; 1 конфликт"},
        {"de_DE.UTF-8", keys, false, "Tastenbelegung: 3 Skripte, 14 Tasten abgefragt, 1 Konflikt"},
        {"ru_RU.UTF-8", keys, false, "  Сочетание Win+B, но не Alt: mods/chords.cs (1 проверка)"},
        {"de_DE.UTF-8", keys, false, "  Hotkey Win+B, nicht Alt: mods/chords.cs (1 Abfrage)"},
        {"ru_RU.UTF-8", keys, true, "mods/broken.cs: ссылка никуда не ведёт"},
        {"de_DE.UTF-8", keys, true, "mods/broken.cs: der Link führt ins Leere"},
        {"ru_RU.UTF-8", {"list", "--bogus"}, true, "morvane-cli: неизвестный параметр команды list: --bogus"},
        {"de_DE.UTF-8", {"list", "--bogus"}, true, "morvane-cli: unbekannte Option für list: --bogus"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir.File("o.cs"));
        const CliRun run = In(c.locale, c.args);
        const std::string& output = c.onStandardError ? run.err : run.out;
        EXPECT_NE(("\n" + output).find("\n" + c.expected + "\n"), std::string::npos)
            << c.locale << " " << c.args[0] << ":\n"
            << output;
    }
}

// Rules take key names in English, as scripts of commands write them in
// any language, and as the player's language shows them, in either case;
// counts take the language's plural forms.
TEST_F(LanguageTest, RulesReadKeyNamesInEnglishAndInTheLanguageShown) {
    const CliRun russian = In("ru_RU.UTF-8", {"remap", "--game", "sa", "--vkey", "ЛЕВЫЙ SHIFT=правый shift", "--vkey",
                                              "F2=F3", "sa_keys.cs", "-o", "ru.cs"});
    EXPECT_EQ(russian.status, 0) << russian.err;
    EXPECT_EQ(russian.out, "sa_keys.cs: 2 изменения -> ru.cs\n");
    const CliRun english = In("ru_RU.UTF-8", {"remap", "--game", "sa", "--vkey", "Left Shift=Right Shift", "--vkey",
                                              "F2=F3", "sa_keys.cs", "-o", "en.cs"});
    EXPECT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(Slurp(dir.File("ru.cs")), Slurp(dir.File("en.cs")));
    EXPECT_NE(Slurp(dir.File("ru.cs")), Slurp(dir.File("sa_keys.cs")));
    // A name of another language is no name.
    const CliRun german =
        In("ru_RU.UTF-8", {"remap", "--game", "sa", "--vkey", "Umschalt links=F3", "sa_keys.cs", "-o", "de.cs"});
    EXPECT_EQ(german.status, cli::kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(dir.File("de.cs")));
}

}  // namespace
}  // namespace morvane::test
