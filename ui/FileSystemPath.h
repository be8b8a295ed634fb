#pragma once

#include <wx/string.h>

#include <string>

// A path as the engine takes it: the file system's bytes, UTF-8 on Windows.
std::string FileSystemPath(const wxString& path);
// A path the engine found, as the window shows and opens it.
wxString WindowPath(const std::string& path);
