#include "opcodes/IniLoader.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace morvane {

namespace {

constexpr char kSectionStart = '[';
constexpr char kCommentStart = ';';
constexpr char kSkippedLineStart = ' ';
constexpr int kOpcodeBase = 16;
constexpr int kCountBase = 10;

bool IsFieldSeparator(char c) { return c == '=' || c == ','; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsTrailingSpace(char c) { return c == ' ' || c == '\t'; }

// A field converts as a 32-bit strtol does on every system: leading white
// space, a sign, an optional 0x prefix in base 16, digits up to the first
// non-digit; no digits give 0; a value beyond 32 bits clamps to the nearest end.
int32_t ConvertField(const std::string& text, std::size_t begin, std::size_t end, int base) {
    const std::string field = text.substr(begin, end - begin);
    const long long value = std::strtoll(field.c_str(), nullptr, base);
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

std::size_t FieldEnd(const std::string& text, std::size_t pos, std::size_t lineEnd) {
    while (pos < lineEnd && !IsFieldSeparator(text[pos])) ++pos;
    return pos;
}

}  // namespace

std::string OpcodeIniFileName(GameId game) { return InfoOf(game).iniName; }

void ParseOpcodeIni(const std::string& text, GameId game, OpcodeTable& table) {
    table.Reset(game);
    bool inSection = false;
    std::size_t pos = 0;
    const std::size_t size = text.size();
    while (pos < size) {
        std::size_t lineEnd = pos;
        while (lineEnd < size && !IsLineEnd(text[lineEnd])) ++lineEnd;
        std::size_t next = lineEnd;
        if (next < size) next += (text[next] == '\r' && next + 1 < size && text[next + 1] == '\n') ? 2 : 1;

        const char first = pos < lineEnd ? text[pos] : '\n';
        if (pos == lineEnd || first == kSkippedLineStart || first == kCommentStart) {
            // empty, indented or comment line
        } else if (first == kSectionStart) {
            if (inSection) return;
            inSection = true;
        } else if (inSection) {
            const std::size_t opcodeEnd = FieldEnd(text, pos, lineEnd);
            const int32_t opcode = ConvertField(text, pos, opcodeEnd, kOpcodeBase);
            std::size_t countBegin = opcodeEnd;
            while (countBegin < lineEnd && IsFieldSeparator(text[countBegin])) ++countBegin;
            const std::size_t countEnd = FieldEnd(text, countBegin, lineEnd);
            const int32_t count = ConvertField(text, countBegin, countEnd, kCountBase);
            // The description is the rest of the line after the count's separator.
            std::size_t descriptionBegin = countEnd < lineEnd ? countEnd + 1 : lineEnd;
            std::size_t descriptionEnd = lineEnd;
            while (descriptionEnd > descriptionBegin && IsTrailingSpace(text[descriptionEnd - 1])) --descriptionEnd;
            const std::string_view description =
                std::string_view(text).substr(descriptionBegin, descriptionEnd - descriptionBegin);
            // An opcode outside the table names no entry: the line is passed over.
            if (opcode >= 0 && opcode <= kHighestOpcode) table.Set(opcode, count, description);
        }
        pos = next;
    }
}

}  // namespace morvane
