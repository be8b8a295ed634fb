#pragma once

#include <wx/string.h>

#include <cstdint>
#include <string>

#include "i18n/Translate.h"
#include "io/Utf8Text.h"

// The window's texts in the player's language, as wxString. xgettext finds
// WxTr and WxTrN as it finds Tr and TrN.
inline wxString WxTr(const char* text) { return wxString::FromUTF8(morvane::Tr(text)); }
inline wxString WxTrN(const char* one, const char* other, std::uint64_t count) {
    return wxString::FromUTF8(morvane::TrN(one, other, count));
}
// Text made in UTF-8 (a Fill of a Tr, a key's name) as wxString; bytes of
// it that are not UTF-8 (a folder's name on Linux) shown as U+FFFD, not
// left to empty the whole text.
inline wxString WxText(const std::string& utf8) { return wxString::FromUTF8(morvane::ValidUtf8(utf8)); }
