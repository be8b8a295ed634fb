#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io/Result.h"

namespace morvane {

// A language Morvane speaks: its catalog's code and its name in itself.
struct Language {
    const char* code;
    const char* name;
};

// English (the texts of the code, no catalog) first, then each language of
// po/LINGUAS.
extern const std::vector<Language> kLanguages;
constexpr const char* kEnglish = "en";
// The catalog's name in each language's folder.
constexpr const char* kCatalogName = "morvane";

// Morvane's language for a locale name as systems write it ("ru_RU.UTF-8",
// "pt-BR", "de_AT@euro", "Russian_Russia.1251" is not one): the language
// and country when Morvane has that one ("pt_BR"), else the language
// alone ("de", and "pt" for every Portuguese); English for "C", "POSIX",
// and every language it does not speak.
std::string MatchLanguage(std::string_view locale);

// The language the system asks for. On Linux as gettext reads it: the
// first of LC_ALL, LC_MESSAGES and LANG that is set, and before it the
// list in LANGUAGE ("ru:de"), unless the locale is "C"; on Windows the
// user's language of the system's own texts.
std::string SystemLanguage();

// The folder of the running program; empty when the system does not tell.
std::string ProgramFolder();

// A folder of catalogs looked in before all others (for a build's own
// catalogs, or a translator's): MORVANE_LOCALEDIR=build/locale
constexpr const char* kCatalogFolderVariable = "MORVANE_LOCALEDIR";

// Where the catalogs may be, in the order they are looked for: the folder
// of MORVANE_LOCALEDIR when it is set, then beside the
// program (<folder>/<code>/LC_MESSAGES/morvane.mo, as the Windows zip
// holds them), in its build folder's locale/, and in ../share/locale (as
// /usr/bin/morvane finds /usr/share/locale).
std::vector<std::string> CatalogFolders(const std::string& programFolder);
// The catalog of a language in one of those folders.
std::string CatalogPath(const std::string& folder, const std::string& code);

// Speaks a language from now on: English at once, another by its catalog,
// the first found in the folders; English where none is found. The first
// catalog found unusable (cut short, not UTF-8, a bad plural rule) is a
// failure that names its path and cause, and leaves English.
Result<void> UseLanguage(const std::string& code, const std::vector<std::string>& folders);
// The language spoken now ("en" until another is used).
std::string CurrentLanguage();

}  // namespace morvane
