#pragma once

#include <wx/string.h>

#include <cstdint>
#include <string>

#include "i18n/Translate.h"

// The window's texts in the player's language, as wxString. xgettext finds
// WxTr and WxTrN as it finds Tr and TrN.
inline wxString WxTr(const char* text) { return wxString::FromUTF8(morvane::Tr(text)); }
inline wxString WxTrN(const char* one, const char* other, std::uint64_t count) {
    return wxString::FromUTF8(morvane::TrN(one, other, count));
}
// Text already made in UTF-8 (a Fill of a Tr, a key's name) as wxString.
inline wxString WxText(const std::string& utf8) { return wxString::FromUTF8(utf8); }
