// morvane-cli list: every key and cheat test of the scripts, in file order,
// and with --context the instructions around each.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Escape.h"
#include "cli/ScriptFile.h"
#include "keys/KeyNames.h"
#include "script/Instructions.h"

namespace morvane::cli {

namespace {

const std::vector<std::string> kFields = {"file", "offset", "kind", "wide", "pad", "key", "name", "opcode"};
constexpr std::size_t kFileField = 0;
// In JSON, beside "file" when the file's name is not UTF-8: its bytes in hexadecimal.
constexpr const char* kFileBytesField = "file_bytes";

std::string KindText(KeyTestKind kind) {
    switch (kind) {
        case KeyTestKind::VKey: return "vkey";
        case KeyTestKind::Button: return "button";
        case KeyTestKind::Cheat: return "cheat";
    }
    return std::string();
}

// A cheat code as read from the file, made safe for the text listing's
// lines (the tsv and json writers escape every field themselves).
std::string CodeText(const std::string& code, Format format) { return format == Format::Text ? PlainText(code) : code; }

// A cheat test has no key and no pad: its code is its name.
std::vector<std::string> Record(const std::string& file, const KeyOccurrence& o, Format format) {
    return {file,
            std::to_string(o.offset),
            KindText(o.kind),
            o.wide ? "1" : "0",
            std::to_string(o.IsButton() ? o.pad : -1),
            std::to_string(o.IsCheat() ? -1 : o.key),
            o.IsCheat() ? CodeText(o.code, format) : OccurrenceLabel(o),
            OpcodeText(o.opcode)};
}

// Fields that are numbers in JSON: offset, wide, pad, key.
bool IsNumberField(std::size_t field) { return field == 1 || field == 3 || field == 4 || field == 5; }

using Context = std::vector<DecodedInstruction>;

// The context of a test in text: one line an instruction, indented, the
// test's own line marked with '>', offsets aligned.
void WriteContext(const Context& context, int32_t testOffset, std::ostream& out) {
    std::size_t width = 0;
    for (const DecodedInstruction& i : context) width = std::max(width, std::to_string(i.offset).size());
    for (const DecodedInstruction& i : context) {
        const std::string offset = std::to_string(i.offset);
        out << (i.offset == testOffset ? "    > " : "      ") << std::string(width - offset.size(), ' ') << offset
            << "  " << i.text << "\n";
    }
}

std::string JsonContext(const Context& context) {
    std::string json = "[";
    for (std::size_t n = 0; n < context.size(); ++n)
        json += (n ? ", " : "") + std::string("{\"offset\": ") + std::to_string(context[n].offset) +
                ", \"text\": " + JsonString(context[n].text) + "}";
    return json + "]";
}

// `contexts` is empty, or holds one context a record.
void WriteRecords(const std::vector<std::vector<std::string>>& records, const std::vector<Context>& contexts,
                  Format format, std::ostream& out) {
    switch (format) {
        case Format::Tsv:
            for (std::size_t i = 0; i < kFields.size(); ++i) out << (i ? "\t" : "") << kFields[i];
            out << "\n";
            for (const auto& r : records) {
                for (std::size_t i = 0; i < r.size(); ++i) out << (i ? "\t" : "") << TsvField(r[i]);
                out << "\n";
            }
            break;
        case Format::Json:
            out << "[";
            for (std::size_t n = 0; n < records.size(); ++n) {
                out << (n ? ",\n " : "\n ") << "{";
                for (std::size_t i = 0; i < kFields.size(); ++i)
                    out << (i ? ", " : "") << JsonString(kFields[i]) << ": "
                        << (IsNumberField(i) ? records[n][i] : JsonString(records[n][i]));
                // A name that is not UTF-8 is shown with U+FFFD above, and exactly here.
                const std::string& file = records[n][kFileField];
                if (!IsValidUtf8(file))
                    out << ", " << JsonString(kFileBytesField) << ": " << JsonString(HexBytes(file));
                if (!contexts.empty()) out << ", \"context\": " << JsonContext(contexts[n]);
                out << "}";
            }
            out << (records.empty() ? "]\n" : "\n]\n");
            break;
        case Format::Text: {
            std::vector<std::size_t> width(kFields.size());
            for (std::size_t i = 0; i < kFields.size(); ++i) width[i] = kFields[i].size();
            for (const auto& r : records)
                for (std::size_t i = 0; i < r.size(); ++i) width[i] = std::max(width[i], r[i].size());
            auto row = [&](const std::vector<std::string>& cells) {
                std::string line;
                for (std::size_t i = 0; i < cells.size(); ++i) {
                    const bool right = IsNumberField(i);
                    const std::string pad(width[i] - cells[i].size(), ' ');
                    line += (i ? "  " : "") + (right ? pad + cells[i] : cells[i] + (i + 1 < cells.size() ? pad : ""));
                }
                out << line << "\n";
            };
            std::vector<std::string> heading;
            for (const auto& f : kFields) {
                std::string h = f;
                std::transform(h.begin(), h.end(), h.begin(),
                               [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
                heading.push_back(h);
            }
            row(heading);
            for (std::size_t n = 0; n < records.size(); ++n) {
                row(records[n]);
                if (!contexts.empty()) WriteContext(contexts[n], std::stoi(records[n][1]), out);
            }
            break;
        }
    }
}

}  // namespace

int RunList(const Options& options, std::ostream& out, std::ostream& err) {
    const Setup setup = PrepareSetup(options, err);
    int status = kExitDone;
    std::vector<std::vector<std::string>> records;
    std::vector<Context> contexts;
    for (const std::string& path : options.files) {
        ScriptFile file;
        if (!LoadScript(setup, options, path, file, err)) {
            status = kExitFileFailed;
            continue;
        }
        WarnUnknown(file, err);
        for (const KeyOccurrence& o : file.occurrences) records.push_back(Record(path, o, options.format));
        if (options.context > 0) {
            std::vector<int32_t> offsets;
            for (const KeyOccurrence& o : file.occurrences) offsets.push_back(o.offset);
            for (Context& c : InstructionsAroundEach(file.image, setup.table, file.summary, offsets, options.context,
                                                     options.context))
                contexts.push_back(std::move(c));
        }
    }
    WriteRecords(records, contexts, options.format, out);
    return status;
}

}  // namespace morvane::cli
