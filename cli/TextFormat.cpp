#include "cli/TextFormat.h"

#include <cstdio>

#include "keymap/Utf8Text.h"

namespace morvane::cli {

namespace {

enum class Backslash { Escaped, AsIs };

std::string EscapeControls(const std::string& text, Backslash backslash) {
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' && backslash == Backslash::Escaped) escaped += "\\\\";
        else if (c == '\t') escaped += "\\t";
        else if (c == '\n') escaped += "\\n";
        else if (c == '\r') escaped += "\\r";
        else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : ValidUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string TsvField(const std::string& text) { return EscapeControls(text, Backslash::Escaped); }

std::string PlainText(const std::string& text) { return EscapeControls(text, Backslash::AsIs); }

}  // namespace morvane::cli
