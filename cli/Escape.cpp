#include "cli/Escape.h"

#include <cstdint>
#include <cstdio>

namespace morvane::cli {

namespace {

constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The length of the well-formed UTF-8 sequence at `at`, or 0 when the byte
// there does not begin one.
std::size_t SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    uint8_t low = 0x80;   // the range of the second byte, narrowed to refuse
    uint8_t high = 0xBF;  // overlong forms, surrogates and values past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead == 0xE0) {
        length = 3;
        low = 0xA0;
    } else if (lead >= 0xE1 && lead <= 0xEC)
        length = 3;
    else if (lead == 0xED) {
        length = 3;
        high = 0x9F;
    } else if (lead >= 0xEE && lead <= 0xEF)
        length = 3;
    else if (lead == 0xF0) {
        length = 4;
        low = 0x90;
    } else if (lead >= 0xF1 && lead <= 0xF3)
        length = 4;
    else if (lead == 0xF4) {
        length = 4;
        high = 0x8F;
    } else
        return 0;
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        const auto byte = static_cast<uint8_t>(text[at]);
        if (length == 0) {
            quoted += kReplacementCharacter;
            at += 1;
            continue;
        }
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += text[at];
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted.append(text, at, length);
        }
        at += length;
    }
    return quoted + "\"";
}

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

std::string PlainText(const std::string& text) {
    std::string plain;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t')
            plain += "\\t";
        else if (c == '\n')
            plain += "\\n";
        else if (c == '\r')
            plain += "\\r";
        else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            plain += hex;
        } else {
            plain += c;
        }
    }
    return plain;
}

}  // namespace morvane::cli
