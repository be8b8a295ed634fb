#include "cli/Escape.h"

#include <cstdint>
#include <cstdio>

#include "io/Utf8Text.h"

namespace morvane::cli {

std::string HexBytes(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::string TsvField(const std::string& text) {
    std::string field;
    for (const char c : text) {
        switch (c) {
            case '\t': field += "\\t"; break;
            case '\n': field += "\\n"; break;
            case '\r': field += "\\r"; break;
            case '\\': field += "\\\\"; break;
            default: field += c;
        }
    }
    return field;
}

}  // namespace morvane::cli
