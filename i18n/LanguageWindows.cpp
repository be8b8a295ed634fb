#include <windows.h>

#include <string>

#include "i18n/Language.h"
#include "io/ReadFile.h"

namespace morvane {

std::string SystemLanguage() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) == 0)
        return kEnglish;
    return MatchLanguage(NarrowToUtf8(name));  // "ru-RU"
}

std::string ProgramFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::string();
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::string();
    path.resize(slash);
    return NarrowToUtf8(path.c_str());
}

}  // namespace morvane
