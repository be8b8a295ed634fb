// morvane-cli list: every key and cheat test of the scripts, in file order.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ScriptFile.h"
#include "cli/TextFormat.h"
#include "keys/KeyNames.h"

namespace morvane::cli {

namespace {

// Four upper-case hexadecimal digits, as script compilers write opcodes.
std::string OpcodeText(uint16_t opcode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(opcode));
    return text;
}

const std::vector<std::string> kFields = {"file", "offset", "kind", "wide", "pad", "key", "name", "opcode"};

std::string KindText(KeyTestKind kind) {
    switch (kind) {
        case KeyTestKind::VKey: return "vkey";
        case KeyTestKind::Button: return "button";
        case KeyTestKind::Cheat: return "cheat";
    }
    return std::string();
}

// A cheat code as read from the file, made safe for the format's lines (JSON
// escapes it when it writes the record).
std::string CodeText(const std::string& code, Format format) {
    switch (format) {
        case Format::Tsv: return TsvField(code);
        case Format::Text: return PlainText(code);
        case Format::Json: break;
    }
    return code;
}

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

void WriteRecords(const std::vector<std::vector<std::string>>& records, Format format, std::ostream& out) {
    switch (format) {
        case Format::Tsv:
            for (std::size_t i = 0; i < kFields.size(); ++i) out << (i ? "\t" : "") << kFields[i];
            out << "\n";
            for (const auto& r : records) {
                for (std::size_t i = 0; i < r.size(); ++i) out << (i ? "\t" : "") << r[i];
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
                std::transform(h.begin(), h.end(), h.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
                heading.push_back(h);
            }
            row(heading);
            for (const auto& r : records) row(r);
            break;
        }
    }
}

}  // namespace

int RunList(const Options& options, std::ostream& out, std::ostream& err) {
    const Setup setup = PrepareSetup(options);
    int status = kExitDone;
    std::vector<std::vector<std::string>> records;
    for (const std::string& path : options.files) {
        ScriptFile file;
        if (!LoadScript(setup, options, path, file, err)) {
            status = kExitFileFailed;
            continue;
        }
        WarnUnknown(file, err);
        for (const KeyOccurrence& o : file.occurrences) records.push_back(Record(path, o, options.format));
    }
    WriteRecords(records, options.format, out);
    return status;
}

}  // namespace morvane::cli
