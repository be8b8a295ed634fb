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

// The code point of the valid sequence of `length` bytes at `at`.
uint32_t CodePoint(const std::string& text, std::size_t at, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(text[at + i])); };
    if (length == 1) return byte(0);
    uint32_t point = byte(0) & (length == 2 ? 0x1Fu : length == 3 ? 0x0Fu : 0x07u);
    for (std::size_t i = 1; i < length; ++i) point = (point << 6) | (byte(i) & 0x3Fu);
    return point;
}

void AppendUtf8(uint32_t point, std::string& text) {
    if (point < 0x80) {
        text += static_cast<char>(point);
    } else if (point < 0x800) {
        text += static_cast<char>(0xC0 | (point >> 6));
        text += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        text += static_cast<char>(0xE0 | (point >> 12));
        text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (point >> 18));
        text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The small letter of a capital of the scripts Morvane's languages write:
// Latin (with Latin-1 and Latin Extended-A, Polish's letters among them)
// and Cyrillic; any other code point as it is.
uint32_t SmallLetter(uint32_t point) {
    if (point >= 'A' && point <= 'Z') return point + 0x20;
    if (point >= 0xC0 && point <= 0xDE && point != 0xD7) return point + 0x20;  // À-Þ, not ×
    // Latin Extended-A pairs its letters, capital first: at even code points
    // up to U+0137 and from U+014A, at odd ones between (Ĺ-Ň) and at the end
    // (Ź-Ž); Ÿ apart, and Turkish's İ and ı, which are no pair, as they are.
    if ((point >= 0x100 && point <= 0x12F) || (point >= 0x132 && point <= 0x137) || (point >= 0x14A && point <= 0x177))
        return point % 2 == 0 ? point + 1 : point;
    if ((point >= 0x139 && point <= 0x148) || (point >= 0x179 && point <= 0x17E))
        return point % 2 == 1 ? point + 1 : point;
    if (point == 0x178) return 0xFF;                            // Ÿ
    if (point >= 0x410 && point <= 0x42F) return point + 0x20;  // А-Я
    if (point >= 0x400 && point <= 0x40F) return point + 0x50;  // Ѐ-Џ, Ё among them
    return point;
}

}  // namespace

std::string SmallLetters(const std::string& text) {
    std::string small;
    small.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            small += text[at++];  // a byte that is no character stays as it is
            continue;
        }
        AppendUtf8(SmallLetter(CodePoint(text, at, length)), small);
        at += length;
    }
    return small;
}

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
