#include "i18n/Language.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace morvane {

const std::vector<Language> kLanguages = {
    {kEnglish, "English"},           {"de", "Deutsch"}, {"es", "Español"}, {"pl", "Polski"},
    {"pt_BR", "Português (Brasil)"}, {"ru", "Русский"},
};

std::string MatchLanguage(std::string_view locale) {
    // "ru_RU.UTF-8@euro": the language, then the country, up to "." or "@".
    const std::size_t end = std::min(locale.find('.'), locale.find('@'));
    std::string name(locale.substr(0, end));
    std::replace(name.begin(), name.end(), '-', '_');
    const std::size_t underscore = name.find('_');
    std::string language = name.substr(0, underscore);
    for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string country = underscore == std::string::npos ? std::string() : name.substr(underscore + 1);
    for (char& c : country) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto known = [](const std::string& code) {
        return std::any_of(kLanguages.begin(), kLanguages.end(), [&](const Language& l) { return code == l.code; });
    };
    if (!country.empty() && known(language + "_" + country)) return language + "_" + country;
    if (known(language)) return language;
    // Portuguese of every country reads the Brazilian catalog rather than English.
    if (language == "pt") return "pt_BR";
    return kEnglish;
}

std::vector<std::string> CatalogFolders(const std::string& programFolder) {
    std::vector<std::string> folders;
    const char* chosen = std::getenv(kCatalogFolderVariable);
    if (chosen != nullptr && *chosen != '\0') folders.emplace_back(chosen);
    if (programFolder.empty()) return folders;
    for (const char* below : {"", "/locale", "/../share/locale"}) folders.push_back(programFolder + below);
    return folders;
}

std::string CatalogPath(const std::string& folder, const std::string& code) {
    return folder + "/" + code + "/LC_MESSAGES/" + kCatalogName + ".mo";
}

}  // namespace morvane
