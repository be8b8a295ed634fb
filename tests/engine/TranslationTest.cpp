// The translations: the plural rules of catalogs, the reading of .mo files,
// the filling of placeholders, the choice of language, and the catalogs of
// po/ themselves (every text of the template translated, every placeholder
// kept).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/Catalog.h"
#include "i18n/Language.h"
#include "i18n/PluralRule.h"
#include "i18n/Translate.h"
#include "keys/KeyNames.h"
#include "opcodes/OpcodeSources.h"
#include "fixtures/TempDir.h"
#include "support/ScopedEnvironment.h"

namespace morvane {
namespace {

using namespace std::string_literals;

constexpr const char* kRussianRule =
    "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";
constexpr const char* kPolishRule =
    "nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";

TEST(PluralRuleTest, GivesEachLanguageItsFormForEachNumber) {
    struct Case {
        const char* rule;
        std::vector<std::pair<std::uint64_t, int>> forms;
    };
    const std::vector<Case> cases = {
        {"nplurals=2; plural=(n != 1);", {{0, 1}, {1, 0}, {2, 1}, {21, 1}}},
        {"nplurals=2; plural=(n > 1);", {{0, 0}, {1, 0}, {2, 1}}},  // Portuguese (Brazil)
        {kRussianRule, {{1, 0}, {2, 1}, {4, 1}, {5, 2}, {11, 2}, {12, 2}, {21, 0}, {22, 1}, {111, 2}, {1001, 0}}},
        {kPolishRule, {{1, 0}, {2, 1}, {5, 2}, {21, 2}, {22, 1}, {112, 2}}},
        {"nplurals=1; plural=0;", {{0, 0}, {7, 0}}},
        {"nplurals=2; plural=!(n == 1);", {{1, 0}, {3, 1}}},
        {"nplurals=2;plural=n/0+n%0;", {{5, 0}}},         // a division by zero gives 0
        {"nplurals=2; plural=n*3-1;", {{1, 0}, {0, 0}}},  // a form past the last one gives the first
    };
    for (const Case& c : cases) {
        Result<PluralRule> rule = PluralRule::Parse(c.rule);
        ASSERT_TRUE(rule) << c.rule << ": " << rule.Cause();
        for (const auto& [n, form] : c.forms) EXPECT_EQ(rule->FormOf(n), form) << c.rule << " n=" << n;
    }
    EXPECT_EQ(PluralRule().FormOf(1), 0);
    EXPECT_EQ(PluralRule().FormOf(2), 1);
}

TEST(PluralRuleTest, RefusesABadRuleWithItsCause) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plural=(n != 1);", "no \"nplurals=\""},
        {"nplurals=x; plural=n;", "a bad \"nplurals=\""},
        {"nplurals=0; plural=n;", "a bad \"nplurals=\""},
        {"nplurals=2; plural=(n != 1;", "\"(\" without \")\""},
        {"nplurals=2; plural=n ? 1;", "\"?\" without \":\""},
        {"nplurals=2; plural=n $ 1;", "unexpected \"$\""},
        {"nplurals=2; plural=n ==;", "the rule ends too early"},
        {"nplurals=2; plural=" + std::string(200, '(') + "n" + std::string(200, ')') + ";", "nested too deeply"},
        {"nplurals=2; plural=n" +
             [] {
                 std::string sum;
                 for (int i = 0; i < 600; ++i) sum += "+n";
                 return sum;
             }() +
             ";",
         "too long"},
    };
    for (const auto& [text, cause] : cases) {
        Result<PluralRule> rule = PluralRule::Parse(text);
        ASSERT_FALSE(rule) << text;
        EXPECT_NE(rule.Cause().find(cause), std::string::npos) << text << ": " << rule.Cause();
    }
}

// A .mo file of the given entries (key: context\x04text, or one\0other for
// counted texts), in little or big byte order.
std::string MoFile(const std::map<std::string, std::string>& entries, bool bigEndian = false) {
    std::string bytes;
    const auto word = [&](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    };
    const auto count = static_cast<std::uint32_t>(entries.size());
    word(0x950412de);
    word(0);
    word(count);
    word(28);
    word(28 + 8 * count);
    word(0);
    word(0);
    std::string strings;
    std::uint32_t at = 28 + 16 * count;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> originals, translations;
    for (const auto& entry : entries) {
        originals.emplace_back(static_cast<std::uint32_t>(entry.first.size()), at);
        strings += entry.first + '\0';
        at += static_cast<std::uint32_t>(entry.first.size() + 1);
    }
    for (const auto& entry : entries) {
        translations.emplace_back(static_cast<std::uint32_t>(entry.second.size()), at);
        strings += entry.second + '\0';
        at += static_cast<std::uint32_t>(entry.second.size() + 1);
    }
    for (const auto& [length, offset] : originals) word(length), word(offset);
    for (const auto& [length, offset] : translations) word(length), word(offset);
    return bytes + strings;
}

const std::map<std::string, std::string> kRussianEntries = {
    {"", std::string("Content-Type: text/plain; charset=UTF-8\nPlural-Forms: ") + kRussianRule + "\n"},
    {"Open", "Открыть"},
    {std::string("key\x04Space Bar"), "Пробел"},
    {"{count} file\0{count} files"s, "{count} файл\0{count} файла\0{count} файлов"s},
    {"Untranslated", ""},
};

TEST(CatalogTest, FindsTextsContextsAndFormsInEitherByteOrder) {
    for (bool bigEndian : {false, true}) {
        Result<Catalog> catalog = Catalog::FromMo(MoFile(kRussianEntries, bigEndian));
        ASSERT_TRUE(catalog) << catalog.Cause();
        ASSERT_NE(catalog->Find("", "Open"), nullptr);
        EXPECT_EQ(*catalog->Find("", "Open"), "Открыть");
        ASSERT_NE(catalog->Find("key", "Space Bar"), nullptr);
        EXPECT_EQ(*catalog->Find("key", "Space Bar"), "Пробел");
        EXPECT_EQ(catalog->Find("", "Space Bar"), nullptr);  // the context tells them apart
        EXPECT_EQ(catalog->Find("", "Untranslated"), nullptr);
        EXPECT_EQ(catalog->Find("", "Close"), nullptr);
        const std::vector<std::pair<std::uint64_t, std::string>> forms = {
            {1, "{count} файл"}, {3, "{count} файла"}, {5, "{count} файлов"}, {21, "{count} файл"}};
        for (const auto& [n, form] : forms) {
            ASSERT_NE(catalog->FindForm("{count} file", n), nullptr);
            EXPECT_EQ(*catalog->FindForm("{count} file", n), form) << n;
        }
    }
}

TEST(CatalogTest, RefusesBytesThatAreNoCatalogOrCutShortAtEveryLength) {
    EXPECT_EQ(Catalog::FromMo("").Cause(), "is not a message catalog");
    EXPECT_EQ(Catalog::FromMo("GIF89a and more bytes of a picture").Cause(), "is not a message catalog");
    const std::string whole = MoFile(kRussianEntries);
    for (std::size_t length = 4; length < whole.size(); ++length) {
        // The last string may lose its closing NUL and stay whole: any shorter is cut.
        Result<Catalog> cut = Catalog::FromMo(std::string_view(whole).substr(0, length));
        if (length < whole.size() - 1) {
            EXPECT_FALSE(cut) << length;
        }
        if (!cut) {
            EXPECT_EQ(cut.Cause(), "is cut short") << length;
        }
    }
    std::string hugeCount = whole;
    hugeCount[8] = hugeCount[9] = hugeCount[10] = hugeCount[11] = '\xFF';
    EXPECT_EQ(Catalog::FromMo(hugeCount).Cause(), "is cut short");

    std::map<std::string, std::string> latin1 = kRussianEntries;
    latin1[""] = "Content-Type: text/plain; charset=ISO-8859-1\n";
    EXPECT_EQ(Catalog::FromMo(MoFile(latin1)).Cause(), "is not in UTF-8 (charset ISO-8859-1)");
    std::map<std::string, std::string> strayByte = kRussianEntries;
    strayByte["Open"] =
        "\xC4"
        "ffnen";
    EXPECT_EQ(Catalog::FromMo(MoFile(strayByte)).Cause(), "holds text that is not UTF-8");

    std::map<std::string, std::string> badRule = kRussianEntries;
    badRule[""] = "Plural-Forms: nplurals=3; plural=(n%10==1 ? 0;\n";
    EXPECT_NE(Catalog::FromMo(MoFile(badRule)).Cause().find("has a bad \"plural=\""), std::string::npos);
}

TEST(TranslateTest, FillsEachNamedPlaceholderOnce) {
    const std::vector<std::tuple<std::string, std::string>> cases = {
        {"{count} of {all} key tests", "12 of 704 key tests"},
        {"{all}: {all}", "704: 704"},
        {"{unknown} and {", "{unknown} and {"},
        {"{count", "{count"},
        {"{}", "{}"},
        {"no placeholder", "no placeholder"},
        {"{count}{count}", "1212"},
    };
    for (const auto& [text, filled] : cases) EXPECT_EQ(Fill(text, {{"count", "12"}, {"all", "704"}}), filled) << text;
    // A value is put in as it is, never read again for placeholders.
    EXPECT_EQ(Fill("{a}", {{"a", "{b}"}, {"b", "x"}}), "{b}");
}

TEST(LanguageTest, MatchesLocaleNamesToTheLanguagesMorvaneSpeaks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ru_RU.UTF-8", "ru"},
        {"ru", "ru"},
        {"de_AT@euro", "de"},
        {"pt_BR.UTF-8", "pt_BR"},
        {"pt-BR", "pt_BR"},
        {"pt_PT", "pt_BR"},
        {"es_MX", "es"},
        {"pl_PL.ISO-8859-2", "pl"},
        {"C", "en"},
        {"POSIX", "en"},
        {"C.UTF-8", "en"},
        {"fr_FR.UTF-8", "en"},
        {"", "en"},
        {"en_GB", "en"},
        {"RU_ru", "ru"},
    };
    for (const auto& [locale, language] : cases) EXPECT_EQ(MatchLanguage(locale), language) << locale;
}

TEST(LanguageTest, ReadsTheSystemLanguageAsGettextDoes) {
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        const char* language;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"", "", "ru_RU.UTF-8", "", "ru"},
        {"de_DE.UTF-8", "", "ru_RU.UTF-8", "", "de"},  // LC_ALL before LANG
        {"", "pl_PL.UTF-8", "ru_RU.UTF-8", "", "pl"},  // LC_MESSAGES before LANG
        {"", "", "ru_RU.UTF-8", "fr:es:de", "es"},     // LANGUAGE first, its first one Morvane speaks
        {"", "", "ru_RU.UTF-8", "en_US:ru", "en"},     // English asked for by name
        {"", "", "C", "ru", "en"},                     // LANGUAGE counts only without the C locale
        {"", "", "", "", "en"},
    };
    for (const Case& c : cases) {
        test::ScopedEnvironment environment;
        const auto set = [&](const char* name, const char* value) {
            if (*value == '\0')
                environment.Unset(name);
            else
                environment.Set(name, value);
        };
        set("LC_ALL", c.all);
        set("LC_MESSAGES", c.messages);
        set("LANG", c.lang);
        set("LANGUAGE", c.language);
        EXPECT_EQ(SystemLanguage(), c.expected) << c.all << "|" << c.messages << "|" << c.lang << "|" << c.language;
    }
}

// Speaks a language for one test and English again after it.
class SpokenLanguage {
public:
    explicit SpokenLanguage(const std::string& code) { result_ = UseLanguage(code, {MORVANE_LOCALE_DIR}); }
    ~SpokenLanguage() { (void)UseLanguage(kEnglish, {}); }
    const Result<void>& Used() const { return result_; }

private:
    Result<void> result_;
};

TEST(LanguageTest, SpeaksALanguageByItsCatalogAndEnglishWithout) {
    {
        SpokenLanguage russian("ru");
        ASSERT_TRUE(russian.Used()) << russian.Used().Cause();
        EXPECT_EQ(CurrentLanguage(), "ru");
        EXPECT_EQ(TrC("key", "Space Bar"), "Пробел");
        EXPECT_EQ(Tr("No such text in any catalog"), "No such text in any catalog");
        {
            const EnglishTexts english;
            EXPECT_EQ(TrC("key", "Space Bar"), "Space Bar");
        }
        EXPECT_EQ(TrC("key", "Space Bar"), "Пробел");
    }
    EXPECT_EQ(CurrentLanguage(), "en");
    EXPECT_EQ(TrC("key", "Space Bar"), "Space Bar");
    EXPECT_EQ(TrN("{count} file", "{count} files", 1), "{count} file");
    EXPECT_EQ(TrN("{count} file", "{count} files", 0), "{count} files");

    // No catalog: English, and nothing to say. A bad one: English, and why.
    EXPECT_TRUE(UseLanguage("xx", {MORVANE_LOCALE_DIR}));
    EXPECT_EQ(CurrentLanguage(), "en");
    test::TempDir folder;
    std::filesystem::create_directories(folder.File("ru/LC_MESSAGES"));
    std::ofstream(folder.File("ru/LC_MESSAGES/morvane.mo"), std::ios::binary) << MoFile(kRussianEntries).substr(0, 40);
    const Result<void> cut = UseLanguage("ru", {folder.Path(), MORVANE_LOCALE_DIR});
    EXPECT_EQ(cut.Cause(), folder.File("ru/LC_MESSAGES/morvane.mo") + ": is cut short");
    EXPECT_EQ(CurrentLanguage(), "en");
}

// Names of keys and controls follow the language where a keyboard or the
// game shows them in it; letter keys, F-keys and numbers of VKeys without a
// name stay; numbers group their thousands as the language does.
TEST(LanguageTest, NamesKeysAndNumbersAsTheLanguageDoes) {
    struct Case {
        const char* code;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"en",
         {"Space Bar", "A Key", "F1", "Left Arrow", "Cross: Sprint | Accelerate", "Zone 7 (right top)",
          "Widget 31 (sprint)", "2,714,000", "VKey 0xE8"}},
        {"ru",
         {"Пробел", "A Key", "F1", "Стрелка влево", "Крестик: Бег | Газ", "Зона 7 (справа вверху)", "Виджет 31 (бег)",
          "2\u00a0714\u00a0000", "VKey 0xE8"}},
        {"de",
         {"Leertaste", "A Key", "F1", "Pfeil links", "Kreuz: Sprinten | Gas geben", "Zone 7 (rechts oben)",
          "Widget 31 (sprinten)", "2.714.000", "VKey 0xE8"}},
    };
    for (const Case& c : cases) {
        SpokenLanguage spoken(c.code);
        ASSERT_TRUE(spoken.Used()) << c.code;
        const std::vector<std::string> names = {VKeyName(0x20),      VKeyName(0x41),         VKeyName(0x70),
                                                VKeyName(0x25),      GameKeyName(16),        TouchZoneEntryName(7),
                                                WidgetEntryName(31), GroupedNumber(2714000), VKeyEntryName(0xE8)};
        EXPECT_EQ(names, c.names) << c.code;
        const EnglishTexts english;
        EXPECT_EQ(VKeyName(0x20), "Space Bar") << c.code;
    }
}

// The entries of po/morvane.pot: context, text and, for counted texts, the
// other form.
struct TemplateEntry {
    std::string context, text, other;
};

std::string Unquoted(const std::string& line) {
    const std::size_t open = line.find('"');
    const std::size_t close = line.rfind('"');
    std::string text;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (line[i] == '\\' && i + 1 < close) {
            const char c = line[++i];
            text += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            text += line[i];
        }
    }
    return text;
}

std::vector<TemplateEntry> TemplateEntries() {
    std::ifstream file(std::string(MORVANE_SOURCE_DIR) + "/po/morvane.pot");
    std::vector<TemplateEntry> entries;
    TemplateEntry entry;
    std::string* field = nullptr;
    std::string line;
    const auto finish = [&] {
        if (!entry.text.empty()) entries.push_back(entry);
        entry = TemplateEntry();
    };
    while (std::getline(file, line)) {
        if (line.rfind("msgctxt ", 0) == 0) {
            finish();
            field = &entry.context;
        } else if (line.rfind("msgid ", 0) == 0) {
            // A msgid after a msgctxt is the text of that context.
            if (!entry.text.empty() || entry.context.empty()) finish();
            field = &entry.text;
        } else if (line.rfind("msgid_plural ", 0) == 0) {
            field = &entry.other;
        } else if (line.rfind("msgstr", 0) == 0 || line.rfind("#", 0) == 0 || line.empty()) {
            field = nullptr;
            continue;
        } else if (line[0] != '"') {
            continue;
        }
        if (field != nullptr) *field += Unquoted(line);
    }
    finish();
    return entries;
}

// The {placeholders} of a text, and its printf conversions.
std::multiset<std::string> Placeholders(const std::string& text) {
    static const std::regex placeholder(R"(\{[A-Za-z]+\}|%[0-9.]*(zu|lld|llu|d|u|s|x|X))");
    std::multiset<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

TEST(CatalogsTest, EveryLanguageTranslatesEveryTextAndKeepsItsPlaceholders) {
    const std::vector<TemplateEntry> entries = TemplateEntries();
    ASSERT_GT(entries.size(), 100u) << "po/morvane.pot: too few texts";
    for (const Language& language : kLanguages) {
        if (std::string(language.code) == kEnglish) continue;
        const std::string path = CatalogPath(MORVANE_LOCALE_DIR, language.code);
        Result<Catalog> catalog = Catalog::Load(path);
        ASSERT_TRUE(catalog) << path << ": " << catalog.Cause();
        int missing = 0;
        for (const TemplateEntry& entry : entries) {
            std::vector<std::string> forms;
            if (entry.other.empty()) {
                const std::string* found = catalog->Find(entry.context, entry.text);
                if (found != nullptr) forms.push_back(*found);
            } else {
                for (std::uint64_t n = 0; n < 200; ++n) {
                    const std::string* found = catalog->FindForm(entry.text, n);
                    if (found == nullptr) {
                        forms.clear();
                        break;
                    }
                    forms.push_back(*found);
                }
            }
            if (forms.empty()) {
                if (++missing <= 5) ADD_FAILURE() << language.code << ": no translation of \"" << entry.text << "\"";
                continue;
            }
            const std::multiset<std::string> wanted = Placeholders(entry.other.empty() ? entry.text : entry.other);
            for (const std::string& form : forms)
                EXPECT_EQ(Placeholders(form), wanted)
                    << language.code << ": \"" << form << "\" for \"" << entry.text << "\"";
        }
        EXPECT_EQ(missing, 0) << language.code << ": texts without a translation";
    }
}

}  // namespace
}  // namespace morvane
