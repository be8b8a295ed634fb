#include "script/Instructions.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <numeric>

#include "script/KeyScan.h"
#include "i18n/Translate.h"
#include "io/LittleEndian.h"

namespace morvane {

namespace {

// GTA III keeps a float as a 16-bit count of sixteenths.
constexpr float kFixedPointScale = 16.0f;
// A global variable is named by its number, its byte offset / 4, written
// "$12"; an offset that is no multiple of 4 is written as the address "&13".
constexpr int kVariableSlotBytes = 4;
// A San Andreas array's last payload byte: the element type in the low
// bits, and whether the index variable is a global one in the top bit.
constexpr uint8_t kArrayIndexIsGlobal = 0x80;
constexpr uint8_t kArrayElementTypeMask = 0x7F;
// The element types' letters after an array's size, as script compilers write them.
constexpr char kArrayElementLetters[] = {'i', 'f', 's', 'v'};
// The placeholder letter of a parameter that is a label, shown as an offset.
constexpr char kLabelLetter = 'p';
constexpr char kPlaceholderMark = '%';
// TRANSLATORS: in place of an opcode's description, after its number: "0DDD: unknown opcode".
constexpr const char* kUnknownOpcodeText = N_("unknown opcode");
// The script language's word, the same in every language.
constexpr const char* kNegatedText = "not ";
constexpr const char* kMissingParameterText = "?";

// One "%Nx%" in a description.
struct Placeholder {
    std::size_t begin = 0;      // of the first '%'
    std::size_t end = 0;        // after the last '%'
    std::size_t parameter = 0;  // N - 1
    char letter = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Every well-formed placeholder, in order; a '%' that starts none is text.
std::vector<Placeholder> Placeholders(std::string_view description) {
    std::vector<Placeholder> found;
    for (std::size_t at = 0; at < description.size(); ++at) {
        if (description[at] != kPlaceholderMark) continue;
        std::size_t pos = at + 1;
        std::size_t number = 0;
        while (pos < description.size() && IsDigit(description[pos]) &&
               number < static_cast<std::size_t>(kOpcodeTableSize))
            number = number * 10 + static_cast<std::size_t>(description[pos++] - '0');
        if (pos == at + 1 || number == 0 || pos + 1 >= description.size() || !IsLetter(description[pos]) ||
            description[pos + 1] != kPlaceholderMark)
            continue;
        found.push_back(Placeholder{at, pos + 2, number - 1, description[pos]});
        at = pos + 1;
    }
    return found;
}

// Characters in double quotes: trailing zero bytes dropped, a quote or
// backslash escaped, other bytes outside printable ASCII as \xNN.
std::string Quoted(const uint8_t* chars, std::size_t count) {
    while (count > 0 && chars[count - 1] == 0) --count;
    std::string text = "\"";
    for (std::size_t i = 0; i < count; ++i) {
        const uint8_t c = chars[i];
        if (c == '"' || c == '\\') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
            text += escaped;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text + "\"";
}

// The shortest text that reads back as the same float, with a decimal
// point so it reads as one ("2.5", "9.0"); the same in every locale.
std::string FloatText(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    std::string shortest(text, result.ptr);
    if (shortest.find_first_of(".e") == std::string::npos) shortest += ".0";
    return shortest;
}

// "$12", "s$12" or "v$12" for a global variable at byte offset 48.
std::string GlobalText(uint16_t byteOffset, const char* kind) {
    if (byteOffset % kVariableSlotBytes != 0) return "&" + std::to_string(byteOffset);
    return kind + ("$" + std::to_string(byteOffset / kVariableSlotBytes));
}

// "3@", "3@s" or "3@v" for local variable 3.
std::string LocalText(uint16_t index, const char* kind) { return std::to_string(index) + "@" + kind; }

// "$12(3@,10i)": the array, its index variable, its size and element type.
std::string ArrayText(const std::string& base, const uint8_t* payload) {
    const uint16_t index = ReadLe16(payload + 2);
    const uint8_t size = payload[4];
    const uint8_t flags = payload[5];
    const uint8_t elementType = flags & kArrayElementTypeMask;
    const std::string indexText = (flags & kArrayIndexIsGlobal) ? GlobalText(index, "") : LocalText(index, "");
    const std::string element = elementType < sizeof kArrayElementLetters
                                    ? std::string(1, kArrayElementLetters[elementType])
                                    : ":" + std::to_string(elementType);
    return base + "(" + indexText + "," + std::to_string(size) + element + ")";
}

// A parameter whose type byte no type has: "<invalid type 48>".
std::string InvalidTypeText(uint8_t typeByte) {
    // TRANSLATORS: in place of a parameter of a script's instruction; {type} is a number.
    return Fill(Tr("<invalid type {type}>"), {{"type", std::to_string(typeByte)}});
}

// How the parameters of one instruction are written: its game, where it
// lies and how its labels read.
struct ParamContext {
    GameId game = kGameGta3;
    int32_t offset = 0;  // of the instruction
    const CodeLayout* code = nullptr;
    LabelForm labels = LabelForm::Raw;
};

// A label parameter: "@-45" as the byte code holds it, or "@0x1F" for the
// file offset it leads to (its number when it leads nowhere in the code).
std::string LabelText(int32_t value, const ParamContext& context) {
    if (context.labels == LabelForm::FileOffset && context.code != nullptr) {
        if (const std::optional<int32_t> target = LabelTarget(*context.code, context.offset, value))
            return "@" + HexOffsetText(*target);
    }
    return "@" + std::to_string(value);
}

// The text of a parameter whose `size` bytes (type byte included) lie at `p`;
// a button test's pad, when a constant pad, by its name ("Pad 1").
std::string ParamText(const uint8_t* p, int size, const ParamContext& context, char letter, bool pad) {
    const GameId game = context.game;
    const uint8_t typeByte = p[0];
    const uint8_t* payload = p + 1;
    if (StartsInlineString(RulesForGame(game), typeByte)) return Quoted(p, kInlineStringSize);
    auto integer = [letter, pad, &context](int32_t value) {
        if (pad && value >= 0 && value <= kHighestPad) return std::string(kPadNames[value]);
        return letter == kLabelLetter ? LabelText(value, context) : std::to_string(value);
    };
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::Int8: return integer(static_cast<int8_t>(payload[0]));
        case ParamType::Int16: return integer(static_cast<int16_t>(ReadLe16(payload)));
        case ParamType::Int32: return integer(static_cast<int32_t>(ReadLe32(payload)));
        case ParamType::Float: {
            if (FloatIsFixedPoint(RulesForGame(game)))
                return FloatText(static_cast<int16_t>(ReadLe16(payload)) / kFixedPointScale);
            const uint32_t bits = ReadLe32(payload);
            float value = 0;
            std::memcpy(&value, &bits, sizeof value);
            return FloatText(value);
        }
        case ParamType::GlobalVar: return GlobalText(ReadLe16(payload), "");
        case ParamType::LocalVar: return LocalText(ReadLe16(payload), "");
        case ParamType::GlobalString8Var: return GlobalText(ReadLe16(payload), "s");
        case ParamType::LocalString8Var: return LocalText(ReadLe16(payload), "s");
        case ParamType::GlobalString16Var: return GlobalText(ReadLe16(payload), "v");
        case ParamType::LocalString16Var: return LocalText(ReadLe16(payload), "v");
        case ParamType::GlobalArray: return ArrayText(GlobalText(ReadLe16(payload), ""), payload);
        case ParamType::LocalArray: return ArrayText(LocalText(ReadLe16(payload), ""), payload);
        case ParamType::GlobalString8Array: return ArrayText(GlobalText(ReadLe16(payload), "s"), payload);
        case ParamType::LocalString8Array: return ArrayText(LocalText(ReadLe16(payload), "s"), payload);
        case ParamType::GlobalString16Array: return ArrayText(GlobalText(ReadLe16(payload), "v"), payload);
        case ParamType::LocalString16Array: return ArrayText(LocalText(ReadLe16(payload), "v"), payload);
        case ParamType::String8:
        case ParamType::String16: return Quoted(payload, static_cast<std::size_t>(size - 1));
        case ParamType::VarLengthString:
            return Quoted(p + kLengthPrefixedHeader, static_cast<std::size_t>(size - kLengthPrefixedHeader));
        case ParamType::EndOfList: break;
    }
    return InvalidTypeText(typeByte);
}

// Decodes the instruction the walk found at [offset, offset + size).
DecodedInstruction Decode(const ScriptImage& image, const OpcodeTable& table, const CodeLayout& code, LabelForm labels,
                          int32_t offset, int32_t size) {
    DecodedInstruction instruction;
    instruction.offset = offset;
    instruction.size = size;
    const uint8_t* data = image.Data();
    const uint16_t word = ReadLe16(data + offset);
    instruction.opcode = word & kOpcodeMask;
    instruction.negated = (word & kNegationFlag) != 0;
    const OpcodeEntry* entry = table.Find(instruction.opcode);
    instruction.known = entry != nullptr;
    const std::string_view description = table.Description(instruction.opcode);

    bool cut = false;
    if (entry != nullptr && entry->role == OpcodeRole::SkipsData) {
        cut = size < kOpcodeWordSize + kSkippedDataBytes;
    } else if (entry != nullptr) {
        std::vector<char> letters;
        for (const Placeholder& placeholder : Placeholders(description)) {
            if (placeholder.parameter >= letters.size()) letters.resize(placeholder.parameter + 1, 0);
            letters[placeholder.parameter] = placeholder.letter;
        }
        const ParamRules rules = RulesForGame(image.game);
        const ParamContext context{image.game, offset, &code, labels};
        const int32_t end = offset + size;
        int32_t at = offset + kOpcodeWordSize;
        while (at < end) {
            const uint8_t typeByte = data[at];
            int paramSize = ParamSize(rules, typeByte);
            if (paramSize == kSizeEndOfList) break;  // a list's end: the walk consumed it
            if (paramSize == kSizeInvalid) {
                instruction.params.push_back(InvalidTypeText(typeByte));
                break;
            }
            if (paramSize == kSizeLengthPrefixed) {
                if (end - at < kLengthPrefixedHeader) {
                    cut = true;
                    break;
                }
                paramSize = kLengthPrefixedHeader + data[at + 1];
            }
            if (end - at < paramSize) {
                cut = true;
                break;
            }
            const std::size_t number = instruction.params.size();
            const bool pad = entry->role == OpcodeRole::ButtonTest && number == kButtonTestPadParam;
            instruction.params.push_back(
                ParamText(data + at, paramSize, context, number < letters.size() ? letters[number] : 0, pad));
            if (pad) {
                const std::string& shown = instruction.params.back();
                instruction.padNamed =
                    std::find(std::begin(kPadNames), std::end(kPadNames), shown) != std::end(kPadNames);
            }
            at += paramSize;
        }
    }
    instruction.text = FormatInstruction(instruction, description, cut);
    return instruction;
}

// Takes `word` and the space after it off the end of a text, in any case.
void DropTrailingWord(std::string& text, std::string_view word) {
    const std::size_t size = word.size() + 1;
    if (text.size() < size || text.back() != ' ') return;
    const std::size_t at = text.size() - size;
    if (at > 0 && text[at - 1] != ' ') return;  // part of a longer word
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return;
    text.erase(at);
}

// Where the walk found an instruction.
struct Bounds {
    int32_t offset = 0;
    int32_t size = 0;
};

}  // namespace

std::string HexOffsetText(int32_t offset) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(offset));
    return text;
}

std::string FormatInstruction(const DecodedInstruction& instruction, std::string_view description, bool cut) {
    std::string text = OpcodeText(instruction.opcode) + ":";
    const std::string cutMark = cut ? " " + Tr(kCutMark) : std::string();
    if (!instruction.known) return text + " " + Tr(kUnknownOpcodeText) + cutMark;
    std::string body = instruction.negated ? kNegatedText : "";
    std::vector<bool> named(instruction.params.size(), false);
    std::size_t copied = 0;
    for (const Placeholder& placeholder : Placeholders(description)) {
        body.append(description.substr(copied, placeholder.begin - copied));
        if (placeholder.parameter < instruction.params.size()) {
            // "pad %1d%" with the pad's name: "Pad 2", not "pad Pad 2".
            if (instruction.padNamed && placeholder.parameter == kButtonTestPadParam) DropTrailingWord(body, "pad");
            body += instruction.params[placeholder.parameter];
            named[placeholder.parameter] = true;
        } else {
            body += kMissingParameterText;
        }
        copied = placeholder.end;
    }
    body.append(description.substr(copied));
    for (std::size_t i = 0; i < instruction.params.size(); ++i)
        if (!named[i]) body += (body.empty() || body.back() == ' ' ? "" : " ") + instruction.params[i];
    while (!body.empty() && body.back() == ' ') body.pop_back();
    if (!body.empty()) text += " " + body;
    return text + cutMark;
}

void ForEachInstructionsAround(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked,
                               const std::vector<int32_t>& offsets, int before, int after, LabelForm labels,
                               const std::function<void(std::size_t, std::vector<DecodedInstruction>)>& done) {
    const std::size_t keepBefore = before > 0 ? static_cast<std::size_t>(before) : 0;
    const std::size_t keepAfter = after > 0 ? static_cast<std::size_t>(after) : 0;
    std::vector<std::size_t> order(offsets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });

    // Only where the instructions are is kept while walking: the last
    // before + 1 + after of them. A test's instructions are decoded when the
    // last of them has been walked, so that no more than one test's context
    // is ever held as text.
    struct Waiting {
        std::size_t index;  // into `offsets`
        uint64_t walkedAt;  // how many instructions had been walked before the test's own
    };
    std::deque<Waiting> waiting;
    std::deque<Bounds> recent;
    uint64_t count = 0;          // instructions walked
    std::vector<KeyTest> tests;  // found by the step and not wanted here
    std::size_t next = 0;        // into `order`
    const auto emit = [&](const Waiting& w) {
        // The ring's first instruction is instruction count - recent.size().
        const uint64_t first = count - recent.size();
        const uint64_t from = w.walkedAt >= keepBefore ? w.walkedAt - keepBefore : 0;
        std::vector<DecodedInstruction> context;
        for (uint64_t i = std::max(from, first); i < count && i <= w.walkedAt + keepAfter; ++i) {
            const Bounds& b = recent[static_cast<std::size_t>(i - first)];
            context.push_back(Decode(image, table, walked.code, labels, b.offset, b.size));
        }
        done(w.index, std::move(context));
    };

    // The scan took the bytes of its data blocks for data: so does the view.
    WalkScannedCode(image, walked, [&](ScriptReader& reader) {
        if (next >= order.size() && waiting.empty()) return false;  // every test handed over
        const int32_t start = reader.Position();
        uint16_t opcode = 0;
        WalkInstruction(reader, table, opcode, tests);
        tests.clear();
        if (opcode == kTruncatedOpcode) return false;  // a lone last byte is no instruction
        if (recent.size() == keepBefore + 1 + keepAfter) recent.pop_front();
        recent.push_back(Bounds{start, reader.Position() - start});
        ++count;

        while (next < order.size() && offsets[order[next]] < start) done(order[next++], {});  // inside an instruction
        for (; next < order.size() && offsets[order[next]] == start; ++next)
            waiting.push_back(Waiting{order[next], count - 1});
        while (!waiting.empty() && waiting.front().walkedAt + keepAfter < count) {
            emit(waiting.front());
            waiting.pop_front();
        }
        return true;
    });
    // The code ended first: what each still waiting test has.
    for (; !waiting.empty(); waiting.pop_front()) emit(waiting.front());
    for (; next < order.size(); ++next) done(order[next], {});
}

std::vector<std::vector<DecodedInstruction>> InstructionsAroundEach(const ScriptImage& image, const OpcodeTable& table,
                                                                    const ScanSummary& walked,
                                                                    const std::vector<int32_t>& offsets, int before,
                                                                    int after, LabelForm labels) {
    std::vector<std::vector<DecodedInstruction>> results(offsets.size());
    ForEachInstructionsAround(
        image, table, walked, offsets, before, after, labels,
        [&](std::size_t index, std::vector<DecodedInstruction> context) { results[index] = std::move(context); });
    return results;
}

std::vector<DecodedInstruction> InstructionsAround(const ScriptImage& image, const OpcodeTable& table,
                                                   const ScanSummary& walked, int32_t offset, int before, int after,
                                                   LabelForm labels) {
    return InstructionsAroundEach(image, table, walked, {offset}, before, after, labels).front();
}

}  // namespace morvane
