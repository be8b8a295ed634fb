#include "ui/FileSystemPath.h"

#include <wx/strconv.h>

#include "io/Utf8Text.h"

std::string FileSystemPath(const wxString& path) {
#ifdef __WXMSW__
    return std::string(path.utf8_str());
#else
    const wxCharBuffer buffer = path.fn_str();
    return buffer.data() ? std::string(buffer.data()) : std::string();
#endif
}

wxString WindowPath(const std::string& path) {
#ifdef __WXMSW__
    return wxString::FromUTF8(morvane::ValidUtf8(path));
#else
    const wxString converted(path.c_str(), *wxConvFileName);
    // Bytes the file name encoding cannot read are shown replaced.
    return converted.empty() && !path.empty() ? wxString::FromUTF8(morvane::ValidUtf8(path)) : converted;
#endif
}
