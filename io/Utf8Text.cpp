#include "io/Utf8Text.h"

#include <cstdint>
#include <cstdio>

namespace morvane {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid sequence at `at`, or 0.
std::size_t SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    uint32_t lowest = 0;
    uint32_t point = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        lowest = 0x80;
        point = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        lowest = 0x800;
        point = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        lowest = 0x10000;
        point = lead & 0x07u;
    } else
        return 0;
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        point = (point << 6) | (byte(at + i) & 0x3Fu);
    }
    if (point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string ValidUtf8(const std::string& text) {
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            valid += kReplacement;
            ++at;
        } else {
            valid.append(text, at, length);
            at += length;
        }
    }
    return valid;
}

bool IsValidUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::size_t CodePointCount(const std::string& text) {
    constexpr unsigned char kContinuationMask = 0xC0;
    constexpr unsigned char kContinuation = 0x80;
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & kContinuationMask) != kContinuation) ++count;
    return count;
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

}  // namespace morvane
