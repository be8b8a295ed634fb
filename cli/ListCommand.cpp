// morvane-cli list: every key and cheat test of the scripts, in file order,
// and with --context the instructions around each.

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Escape.h"
#include "cli/JsonText.h"
#include "cli/ScriptFile.h"
#include "i18n/Translate.h"
#include "keys/Hotkeys.h"
#include "keys/KeyNames.h"
#include "script/Instructions.h"

namespace morvane::cli {

namespace {

// In JSON, beside "file" when the file's name is not UTF-8: its bytes in hexadecimal.
constexpr const char* kFileBytesField = "file_bytes";

// One line of the listing: a test and the file it is in.
struct Row {
    std::string file;
    KeyTest test;
    const std::vector<KeyTest>* tests = nullptr;  // the file's, in file order
    std::size_t index = 0;                        // the test's among them
};

// Each test of a script read, with the instructions around it when `lines`
// is more than 0, one test at a time in the file's order: a test's context
// is decoded when it is written and dropped after.
void ForEachRow(const ScriptFile& file, const Setup& setup, int lines,
                const std::function<void(const Row&, const std::vector<DecodedInstruction>&)>& write) {
    const std::vector<DecodedInstruction> none;
    if (lines <= 0) {
        for (std::size_t i = 0; i < file.tests.size(); ++i) write(Row{file.path, file.tests[i], &file.tests, i}, none);
        return;
    }
    std::vector<int32_t> offsets;
    for (const KeyTest& test : file.tests) offsets.push_back(test.offset);
    // The walk hands contexts over as it passes them, which may be out of
    // the tests' order: those ahead wait here for the ones before them.
    std::map<std::size_t, std::vector<DecodedInstruction>> ahead;
    std::size_t next = 0;
    ForEachInstructionsAround(file.image, setup.Table(), file.summary, offsets, lines, lines, LabelForm::Raw,
                              [&](std::size_t index, std::vector<DecodedInstruction> context) {
                                  ahead.emplace(index, std::move(context));
                                  for (auto it = ahead.find(next); it != ahead.end(); it = ahead.find(next)) {
                                      write(Row{file.path, file.tests[next], &file.tests, next}, it->second);
                                      ahead.erase(it);
                                      ++next;
                                  }
                              });
}

// A column: its name in tsv and json, its heading in text output (marked
// for the catalogs with kHeadingContext), and what it holds for a row, a
// number or text, or a number that a row may lack (empty in tsv, null in
// json).
struct Column {
    const char* name;
    const char* heading;
    std::function<int64_t(const Row&)> number;                // for a column of numbers
    std::function<std::string(const Row&, Format)> text;      // for a column of text, as the format writes it
    std::function<std::string(const Row&)> read;              // a number as a person reads it, in text output
    std::function<std::optional<int64_t>(const Row&)> maybe;  // for a column of numbers some rows lack

    bool IsNumber() const { return static_cast<bool>(number); }
    std::string Text(const Row& row, Format format) const {
        if (format == Format::Text && read) return read(row);
        if (maybe) {
            const std::optional<int64_t> value = maybe(row);
            return value ? std::to_string(*value) : std::string();
        }
        return IsNumber() ? std::to_string(number(row)) : text(row, format);
    }
    Json ToJson(const Row& row) const {
        if (maybe) {
            const std::optional<int64_t> value = maybe(row);
            return value ? Json(*value) : Json(nullptr);
        }
        return IsNumber() ? Json(number(row)) : Json(text(row, Format::Json));
    }
};

// The context of the columns' headings in the catalogs.
constexpr const char* kHeadingContext = "list column";

Column NumberColumn(const char* name, const char* heading, std::function<int64_t(const Row&)> number,
                    std::function<std::string(const Row&)> read = {}) {
    return Column{name, heading, number, {}, read, {}};
}
Column TextColumn(const char* name, const char* heading, std::function<std::string(const Row&, Format)> text) {
    return Column{name, heading, {}, text, {}, {}};
}
Column MaybeColumn(const char* name, const char* heading, std::function<std::optional<int64_t>(const Row&)> maybe,
                   std::function<std::string(const Row&)> read) {
    return Column{name, heading, {}, {}, read, maybe};
}

// No pad (a VKey or cheat test), or no key (a cheat test), in text output.
constexpr const char* kNoPadText = "-";

// The listing's columns, in order: the one place that says what a row holds.
// A cheat test has no key and no pad: its code is its name, made safe for a
// line of text (the tsv and json writers escape every field themselves).
const std::vector<Column>& Columns() {
    static const std::vector<Column> columns = {
        // TRANSLATORS: the headings of the columns of morvane-cli list, in capitals: the script's file, the test's
        // offset in it, its kind (vkey, button, cheat...), whether its key is a 16-bit value (1) or 8-bit (0), the
        // pad, the key's number, its name, the opcode, the hotkey the test is one key of, and where the script sets
        // the variable that keeps the key.
        TextColumn("file", NC_("list column", "FILE"),
                   [](const Row& r, Format format) { return format == Format::Text ? PlainText(r.file) : r.file; }),
        NumberColumn("offset", NC_("list column", "OFFSET"), [](const Row& r) { return r.test.offset; }),
        TextColumn("kind", NC_("list column", "KIND"),
                   [](const Row& r, Format) { return std::string(KindName(r.test.kind)); }),
        NumberColumn("wide", NC_("list column", "WIDE"), [](const Row& r) { return r.test.wide ? 1 : 0; }),
        NumberColumn(
            "pad", NC_("list column", "PAD"), [](const Row& r) { return r.test.IsButton() ? r.test.pad : -1; },
            [](const Row& r) {
                const bool named = r.test.IsButton() && r.test.pad >= 0 && r.test.pad <= kHighestPad;
                if (named) return TrC("key", kPadNames[r.test.pad]);
                return std::string(r.test.IsButton() ? "?" : kNoPadText);
            }),
        NumberColumn(
            "key", NC_("list column", "KEY"), [](const Row& r) { return r.test.IsCheat() ? -1 : r.test.key; },
            [](const Row& r) { return r.test.IsCheat() ? std::string(kNoPadText) : std::to_string(r.test.key); }),
        TextColumn("name", NC_("list column", "NAME"),
                   [](const Row& r, Format format) {
                       if (!r.test.IsCheat()) return KeyTestLabel(r.test);
                       return format == Format::Text ? PlainText(r.test.code) : r.test.code;
                   }),
        TextColumn("opcode", NC_("list column", "OPCODE"),
                   [](const Row& r, Format) { return OpcodeText(r.test.opcode); }),
        // The offset of the first key test of the chord the test is one of;
        // text output names the hotkey of an `if and` or `if or` instead.
        MaybeColumn(
            "chord", NC_("list column", "CHORD"),
            [](const Row& r) -> std::optional<int64_t> {
                if (!InChord(*r.tests, r.index)) return std::nullopt;
                return (*r.tests)[HotkeyOf(*r.tests, r.index).front()].offset;
            },
            [](const Row& r) {
                return HotkeyOf(*r.tests, r.index).size() > 1 ? HotkeyText(*r.tests, r.index) : std::string();
            }),
        // Where the script sets the variable that keeps the key.
        MaybeColumn(
            "set_at", NC_("list column", "SET AT"),
            [](const Row& r) -> std::optional<int64_t> {
                if (r.test.setAt.empty()) return std::nullopt;
                return r.test.setAt.front();
            },
            [](const Row& r) {
                if (!r.test.KeyInVariable() || r.test.setAt.empty()) return std::string();
                // TRANSLATORS: where the script sets the variable that keeps a test's key: {offset} is the offset of
                // the assignment, {variable} the variable ("11 in 0@").
                return Fill(Tr("{offset} in {variable}"), {{"offset", std::to_string(r.test.setAt.front())},
                                                           {"variable", VariableName(r.test.variable)}});
            }),
    };
    return columns;
}

// The context of a test in text: one line an instruction, indented, the
// test's own line marked with '>', offsets aligned.
void WriteContext(const std::vector<DecodedInstruction>& context, int32_t testOffset, std::ostream& out) {
    std::size_t width = 0;
    for (const DecodedInstruction& i : context) width = std::max(width, std::to_string(i.offset).size());
    for (const DecodedInstruction& i : context) {
        const std::string offset = std::to_string(i.offset);
        out << (i.offset == testOffset ? "    > " : "      ") << std::string(width - offset.size(), ' ') << offset
            << "  " << i.text << "\n";
    }
}

void WriteTsv(const std::vector<ScriptFile>& files, const Setup& setup, std::ostream& out) {
    const EnglishTexts english;  // key names as programs read them
    const std::vector<Column>& columns = Columns();
    for (std::size_t c = 0; c < columns.size(); ++c) out << (c ? "\t" : "") << columns[c].name;
    out << "\n";
    for (const ScriptFile& file : files)
        ForEachRow(file, setup, 0, [&](const Row& row, const std::vector<DecodedInstruction>&) {
            for (std::size_t c = 0; c < columns.size(); ++c)
                out << (c ? "\t" : "") << TsvField(columns[c].Text(row, Format::Tsv));
            out << "\n";
        });
}

void WriteJson(const std::vector<ScriptFile>& files, const Setup& setup, int lines, std::ostream& out) {
    const EnglishTexts english;  // key names and instructions as programs read them
    out << "[";
    bool first = true;
    for (const ScriptFile& file : files)
        ForEachRow(file, setup, lines, [&](const Row& row, const std::vector<DecodedInstruction>& context) {
            Json record = Json::object();
            for (const Column& column : Columns()) record[column.name] = column.ToJson(row);
            // A name that is not UTF-8 is shown with U+FFFD, and exactly here.
            if (!IsValidUtf8(row.file)) record[kFileBytesField] = HexBytes(row.file);
            if (lines > 0) {
                Json instructions = Json::array();
                for (const DecodedInstruction& i : context)
                    instructions.push_back({{"offset", i.offset}, {"text", i.text}});
                record["context"] = instructions;
            }
            out << (first ? "\n " : ",\n ") << OneLine(record);
            first = false;
        });
    out << (first ? "]\n" : "\n]\n");
}

// Columns padded to their widest cell (in characters), numbers on the
// right, under their headings.
void WriteText(const std::vector<ScriptFile>& files, const Setup& setup, int lines, std::ostream& out) {
    std::vector<const Column*> columns;
    std::vector<std::string> heading;
    // A column some rows may lack is shown only when a row has it.
    for (const Column& column : Columns()) {
        bool any = !column.maybe;
        for (const ScriptFile& file : files)
            ForEachRow(file, setup, 0, [&](const Row& row, const std::vector<DecodedInstruction>&) {
                any = any || !column.Text(row, Format::Text).empty();
            });
        if (!any) continue;
        columns.push_back(&column);
        heading.push_back(TrC(kHeadingContext, column.heading));
    }
    const auto cellsOf = [&](const Row& row) {
        std::vector<std::string> cells;
        for (const Column* column : columns) cells.push_back(column->Text(row, Format::Text));
        return cells;
    };
    std::vector<std::size_t> width(columns.size(), 0);
    for (std::size_t c = 0; c < columns.size(); ++c) width[c] = CodePointCount(heading[c]);
    for (const ScriptFile& file : files)
        ForEachRow(file, setup, 0, [&](const Row& row, const std::vector<DecodedInstruction>&) {
            const std::vector<std::string> cells = cellsOf(row);
            for (std::size_t c = 0; c < columns.size(); ++c) width[c] = std::max(width[c], CodePointCount(cells[c]));
        });
    auto write = [&](const std::vector<std::string>& line) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            const std::string pad(width[c] - CodePointCount(line[c]), ' ');  // aligned by characters
            const bool number = columns[c]->IsNumber();
            text += (c ? "  " : "") + (number ? pad + line[c] : line[c] + pad);
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << "\n";
    };
    write(heading);
    for (const ScriptFile& file : files)
        ForEachRow(file, setup, lines, [&](const Row& row, const std::vector<DecodedInstruction>& context) {
            write(cellsOf(row));
            if (lines > 0) WriteContext(context, row.test.offset, out);
        });
}

}  // namespace

int RunList(const Options& options, std::ostream& out, std::ostream& err) {
    const Setup setup = PrepareSetup(options, err);
    int status = kExitDone;
    // The scripts are kept as read (their bytes and tests), so that the
    // instructions around each test are decoded only as it is written.
    std::vector<ScriptFile> files;
    for (const std::string& path : options.files) {
        ScriptFile file;
        if (!LoadScript(setup, options, path, file, err)) {
            status = kExitFileFailed;
            continue;
        }
        WarnUnknown(file, err);
        if (file.summary.code.CutShort()) status = kExitFileFailed;  // what it lists is not the whole script
        files.push_back(std::move(file));
    }
    switch (options.format) {
        case Format::Tsv: WriteTsv(files, setup, out); break;
        case Format::Json: WriteJson(files, setup, options.context, out); break;
        case Format::Text: WriteText(files, setup, options.context, out); break;
    }
    return status;
}

}  // namespace morvane::cli
