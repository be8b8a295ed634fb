#include "ui/WindowLanguage.h"

#include <wx/config.h>

#include <iostream>

#include "i18n/Language.h"

namespace {

const char* const kLanguageKey = "/View/Language";

}  // namespace

std::string ChosenLanguage() {
    const wxConfigBase* config = wxConfigBase::Get();
    if (config == nullptr) return std::string();
    const std::string code = config->Read(kLanguageKey, wxString()).utf8_string();
    for (const morvane::Language& language : morvane::kLanguages)
        if (code == language.code) return code;
    return std::string();  // none, or a code this version does not know
}

void RememberLanguage(const std::string& code) {
    wxConfigBase* config = wxConfigBase::Get();
    if (config == nullptr) return;
    config->Write(kLanguageKey, wxString::FromUTF8(code));
    config->Flush();
}

void StartChosenLanguage() {
    const std::string chosen = ChosenLanguage();
    const std::string code = chosen.empty() ? morvane::SystemLanguage() : chosen;
    const morvane::Result<void> used = morvane::UseLanguage(code, morvane::CatalogFolders(morvane::ProgramFolder()));
    if (!used) std::cerr << "morvane: speaking English: " << used.Cause() << "\n";
}
