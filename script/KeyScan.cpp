#include "script/KeyScan.h"

#include "i18n/Translate.h"
#include "opcodes/OpcodeSources.h"
#include "script/KeyVariables.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace morvane {

namespace {

// Walks over the whole script again with more labels known, at most this
// often: each walk may reach code after data that only labels in code after
// that data lead to.
constexpr int kMostLabelRounds = 8;

// The key as the game reads it: a signed number, so that an 8-bit byte of
// 0x80 or more is a negative value, no key at all.
// A key held in a variable is listed with the variable; what the script
// sets it to is found after the walk (ResolveKeyVariables).
void ScanKeyInstruction(ScriptReader& reader, int32_t offset, uint16_t opcode, std::vector<KeyTest>& tests) {
    const int type = reader.PeekByte();
    if (type == TypeByte(ParamType::LocalVar) || type == TypeByte(ParamType::GlobalVar)) {
        Variable variable;
        if (!reader.ReadVariableParam(variable)) return;
        KeyTest test = KeyTest::VKey(offset, kNoKey, true, opcode);
        test.variable = variable;
        tests.push_back(std::move(test));
        return;
    }
    const bool wide = type != TypeByte(ParamType::Int8);
    int32_t key = 0;
    if (reader.ReadSignedParam(key)) tests.push_back(KeyTest::VKey(offset, key, wide, opcode));
}

void ScanButtonInstruction(ScriptReader& reader, int32_t offset, uint16_t opcode, std::vector<KeyTest>& tests) {
    const int padType = reader.PeekByte();
    int32_t pad = 0;
    if (!reader.ReadUnsignedParam(pad)) {
        // An invalid San Andreas type byte has been consumed alone; the walk
        // goes on from the byte after it.
        if (!(HasTypedStrings(RulesForGame(reader.Game())) && padType >= kFirstInvalidSaTypeByte)) reader.SkipParam();
        return;
    }
    if (static_cast<uint32_t>(pad) > static_cast<uint32_t>(kHighestPad)) {
        reader.SkipParam();
        return;
    }
    int32_t key = 0;
    if (reader.ReadUnsignedParam(key)) tests.push_back(KeyTest::Button(offset, pad, key, opcode));
}

void ScanCheatInstruction(ScriptReader& reader, int32_t offset, uint16_t opcode, std::vector<KeyTest>& tests) {
    StringConstant code;
    if (reader.ReadStringParam(code)) tests.push_back(KeyTest::Cheat(offset, std::move(code), opcode));
}

// A touch test's zones or widget, read with a reader of its own: the walk
// steps over the instruction by its count, as over any other.
void ScanTouchInstruction(ScriptReader reader, int32_t offset, uint16_t opcode, const OpcodeEntry& entry,
                          std::vector<KeyTest>& tests) {
    int32_t index = 0;
    for (const TouchParameter& parameter : kTouchParameters) {
        if (parameter.role != entry.role) continue;
        if (entry.parameterCount != kVariableParameterCount && parameter.index >= entry.parameterCount) return;
        for (; index < parameter.index; ++index)
            if (!reader.SkipParam()) return;
        const bool wide = reader.PeekByte() != TypeByte(ParamType::Int8);
        int32_t value = 0;
        ++index;
        if (reader.ReadSignedParam(value))
            tests.push_back(KeyTest::Touch(parameter.kind, offset, value, wide, opcode));
        else if (!reader.Inside())
            return;
    }
}

inline const OpcodeEntry* Step(ScriptReader& reader, const OpcodeTable& table, uint16_t& opcode,
                               std::vector<KeyTest>& tests) {
    const int32_t offset = reader.Position();
    opcode = reader.ReadOpcode();
    const OpcodeEntry* entry = table.Find(opcode);
    if (entry == nullptr) return nullptr;
    switch (entry->role) {
        case OpcodeRole::Plain:
        case OpcodeRole::Jump:
        case OpcodeRole::EndsPath:
        case OpcodeRole::Branch:
        case OpcodeRole::Condition: reader.SkipParams(entry->parameterCount); break;
        case OpcodeRole::VKeyTest: ScanKeyInstruction(reader, offset, opcode, tests); break;
        case OpcodeRole::ButtonTest: ScanButtonInstruction(reader, offset, opcode, tests); break;
        case OpcodeRole::SkipsData: reader.SkipBytes(kSkippedDataBytes); break;
        case OpcodeRole::CheatTest: ScanCheatInstruction(reader, offset, opcode, tests); break;
        case OpcodeRole::TouchTest:
        case OpcodeRole::SlideTest:
        case OpcodeRole::WidgetTest:
            ScanTouchInstruction(reader, offset, opcode, *entry, tests);
            reader.SkipParams(entry->parameterCount);
            break;
    }
    return entry;
}

// The offsets labels lead to: those known before a walk and those its
// instructions named so far.
class Labels {
public:
    explicit Labels(std::vector<int32_t> known) : known_(std::move(known)) {}

    bool LeadsTo(int32_t offset) const {
        return std::binary_search(known_.begin(), known_.end(), offset) || named_.count(offset) > 0;
    }
    // The nearest offset after `offset` a label leads to.
    std::optional<int32_t> NextAfter(int32_t offset) const {
        std::optional<int32_t> next;
        const auto known = std::upper_bound(known_.begin(), known_.end(), offset);
        if (known != known_.end()) next = *known;
        const auto named = named_.upper_bound(offset);
        if (named != named_.end() && (!next || *named < *next)) next = *named;
        return next;
    }
    void Add(int32_t offset) {
        if (!std::binary_search(known_.begin(), known_.end(), offset)) named_.insert(offset);
    }
    // Every offset, known or named, ascending; whether the walk named new ones.
    std::vector<int32_t> All() const {
        std::vector<int32_t> all;
        std::merge(known_.begin(), known_.end(), named_.begin(), named_.end(), std::back_inserter(all));
        return all;
    }
    bool NamedNew() const { return !named_.empty(); }

private:
    std::vector<int32_t> known_;  // ascending
    std::set<int32_t> named_;
};

// Gathers the labels of the code a Jump or Branch instruction at `offset`
// names, reading its parameters with a reader of its own (a copy of the walk's).
void NameLabels(ScriptReader reader, const CodeLayout& code, int32_t offset, uint16_t opcode, Labels& labels) {
    uint32_t mask = CodeLabelsOf(reader.Game(), opcode);
    reader.Seek(static_cast<int64_t>(offset) + kOpcodeWordSize);
    for (; mask != 0; mask >>= 1) {
        int32_t value = 0;
        if ((mask & 1u) == 0) {
            if (!reader.SkipParam()) break;
        } else if (reader.ReadSignedParam(value)) {
            if (const auto target = LabelTarget(code, offset, value)) labels.Add(*target);
        } else if (!reader.Inside()) {
            break;
        }
    }
}

// After an `if` at `offset`: the conditions that follow it and how they
// join. An `if` of one condition, or of a count no game writes, joins none.
void OpenCondition(ScriptReader reader, int32_t offset, int32_t& condition, Joined& joined, int32_t& left) {
    int32_t count = 0;
    left = 0;
    if (!reader.Seek(static_cast<int64_t>(offset) + kOpcodeWordSize) || !reader.ReadSignedParam(count)) return;
    if (count >= kFirstAllConditions && count <= kLastAllConditions) {
        joined = Joined::All;
        left = count + 1;
    } else if (count >= kFirstAnyConditions && count <= kLastAnyConditions) {
        joined = Joined::Any;
        left = count - kAnyConditionsBase + 1;
    }
    condition = offset;
}

// One walk over the code. Without `labels` it is the plain walk, which only
// notes whether it met an unknown opcode right after an instruction that ends
// the path; with them, such bytes are data up to the next offset a label
// leads to, and the labels of the walk's instructions are gathered until the
// walk meets an unknown instruction (from there on it may be lost).
struct Walk {
    ScanSummary summary;
    bool metDataCandidate = false;
};

// Whether the walk steps over an instruction of this role by its count alone.
constexpr bool SteppedByCount(OpcodeRole role) {
    return role == OpcodeRole::Plain || role == OpcodeRole::Jump || role == OpcodeRole::EndsPath ||
           role == OpcodeRole::Branch;
}

Walk WalkCode(const ScriptImage& image, const OpcodeTable& table, const CodeLayout& code, Labels* labels,
              std::vector<KeyTest>& tests, const ScanProgress& progress) {
    Walk walk;
    ScanSummary& summary = walk.summary;
    summary.code = code;
    ScriptReader reader(image);
    reader.LimitTo(code.end);

    // The inner loop keeps the walk's state in locals and steps over the
    // instructions it only passes by itself; every other one goes through
    // the reader (Step), which then hands the position back.
    const uint8_t* const bytes = image.Data();
    const auto end = static_cast<std::size_t>(code.end);
    const ParamSizeTable& sizes = kParamSizeTables[static_cast<std::size_t>(RulesForGame(image.game))];
    const OpcodeEntry* const entries = table.Size() == kOpcodeTableSize ? table.Entries() : nullptr;
    std::size_t at = static_cast<std::size_t>(code.start);
    bool onTrack = true;        // no unknown instruction met yet
    bool afterPathEnd = false;  // the instruction before ended the path
    // The `if` whose conditions the walk is in, and how many are still to come.
    int32_t condition = -1;
    Joined joined = Joined::Alone;
    int32_t conditionsLeft = 0;
    int sinceReport = 0;
    int64_t instructions = 0;
    while (at < end) {
        // After every kProgressInterval steps, while the walk goes on.
        if (progress && sinceReport++ == kProgressInterval) {
            sinceReport = 1;
            progress(static_cast<int32_t>(at));
        }
        if (entries != nullptr && end - at >= kOpcodeWordSize) {
            const OpcodeEntry& entry = entries[(bytes[at] | (bytes[at + 1] << 8)) & kOpcodeMask];
            if (entry.known && SteppedByCount(entry.role) && (labels == nullptr || !onTrack)) {
                ++instructions;
                if (conditionsLeft > 0) --conditionsLeft;
                afterPathEnd = EndsThePath(entry.role);
                int32_t stepped = 0;
                at = entry.parameterCount == 0
                         ? at + kOpcodeWordSize
                         : StepOverParams(bytes, at + kOpcodeWordSize, end, sizes, entry.parameterCount, stepped);
                continue;
            }
        }
        const auto offset = static_cast<int32_t>(at);
        reader.Seek(offset);
        uint16_t opcode = 0;
        const std::size_t found = tests.size();
        const OpcodeEntry* entry = Step(reader, table, opcode, tests);
        at = static_cast<std::size_t>(reader.Position());
        if (opcode == kTruncatedOpcode) break;  // a lone last byte is no instruction
        if (entry != nullptr) {
            ++instructions;
            for (std::size_t t = found; t < tests.size(); ++t) {
                tests[t].negated = (bytes[offset + 1] & (kNegationFlag >> 8)) != 0;
                if (conditionsLeft > 0) {
                    tests[t].condition = condition;
                    tests[t].joined = joined;
                }
            }
            if (conditionsLeft > 0) --conditionsLeft;
            if (entry->role == OpcodeRole::Condition) OpenCondition(reader, offset, condition, joined, conditionsLeft);
            afterPathEnd = EndsThePath(entry->role);
            if (labels != nullptr && onTrack && (entry->role == OpcodeRole::Jump || entry->role == OpcodeRole::Branch))
                NameLabels(reader, code, offset, opcode, *labels);
            continue;
        }
        if (onTrack && afterPathEnd && (labels == nullptr || !labels->LeadsTo(offset))) {
            walk.metDataCandidate = true;
            if (labels != nullptr) {
                const int32_t resume = labels->NextAfter(offset).value_or(code.end);
                summary.dataBlocks.push_back(DataBlock{offset, resume});
                at = static_cast<std::size_t>(resume);
                afterPathEnd = false;
                continue;
            }
        }
        ++instructions;
        conditionsLeft = 0;  // what follows an unknown instruction is no condition known
        if (summary.unknownInstructions++ == 0) summary.firstUnknownOffset = offset;
        const auto named = std::find(summary.unknownOpcodes.begin(), summary.unknownOpcodes.end(), opcode);
        if (named == summary.unknownOpcodes.end()) {
            if (summary.unknownOpcodes.size() < kUnknownOpcodesNamed)
                summary.unknownOpcodes.push_back(opcode);
            else
                summary.moreUnknownOpcodes = true;
        }
        onTrack = false;
        afterPathEnd = false;
    }
    summary.instructions = instructions;
    return walk;
}

}  // namespace

const OpcodeEntry* WalkInstruction(ScriptReader& reader, const OpcodeTable& table, uint16_t& opcode,
                                   std::vector<KeyTest>& tests) {
    return Step(reader, table, opcode, tests);
}

ScanSummary ScanKeyTests(const ScriptImage& image, const OpcodeTable& table, HeaderSkip header,
                         std::vector<KeyTest>& tests, const ScanProgress& progress) {
    const std::size_t before = tests.size();
    const CodeLayout code = FindCode(image, header);
    Walk walk = WalkCode(image, table, code, nullptr, tests, progress);
    if (walk.metDataCandidate) {
        // Some unknown opcode may start data: walk again, gathering where the
        // labels of the code lead, until a walk names no label the one before
        // did not know.
        std::vector<int32_t> known = code.missions;
        for (int round = 0; round < kMostLabelRounds; ++round) {
            tests.resize(before);
            Labels labels(known);
            walk = WalkCode(image, table, code, &labels, tests, nullptr);
            if (!labels.NamedNew()) break;
            known = labels.All();
        }
    }
    ResolveKeyVariables(image, table, walk.summary, tests, before);
    return walk.summary;
}

void WalkScannedCode(const ScriptImage& image, const ScanSummary& walked,
                     const std::function<bool(ScriptReader& reader)>& step) {
    ScriptReader reader(image);
    if (!image.IsLoaded() || !reader.LimitTo(walked.code.end) || !reader.Seek(walked.code.start)) return;
    auto block = walked.dataBlocks.begin();
    while (reader.Inside()) {
        while (block != walked.dataBlocks.end() && block->begin < reader.Position()) ++block;
        if (block != walked.dataBlocks.end() && block->begin == reader.Position()) {
            reader.Seek(block->end);
            continue;
        }
        const int32_t start = reader.Position();
        if (!step(reader) || reader.Position() <= start) return;
    }
}

Result<ScannedScript> ReadAndScan(const std::string& path, GameId game, const OpcodeTable& table, HeaderSkip header,
                                  const ScanProgress& progress) {
    ScannedScript read;
    read.image.game = game;
    if (const Status loaded = read.image.LoadFromFile(path); !loaded) return Failure{loaded.Cause()};
    if (const auto archive = ArchiveCause(path, read.image.Data(), static_cast<std::size_t>(read.image.Size())))
        return Failure{*archive};
    read.summary = ScanKeyTests(read.image, table, header, read.tests, progress);
    return {std::move(read)};
}

const char* KindName(KeyTestKind kind) {
    switch (kind) {
        case KeyTestKind::VKey: return "vkey";
        case KeyTestKind::Button: return "button";
        case KeyTestKind::Cheat: return "cheat";
        case KeyTestKind::Touch: return "touch";
        case KeyTestKind::SlideFrom: return "slide-from";
        case KeyTestKind::SlideTo: return "slide-to";
        case KeyTestKind::Widget: return "widget";
    }
    return "";
}

std::optional<DataBlock> ScanSummary::SwallowingBlock() const {
    int64_t dataBefore = 0;
    for (const DataBlock& block : dataBlocks) {
        const int64_t bytes = static_cast<int64_t>(block.end) - block.begin;
        const int64_t codeBefore = static_cast<int64_t>(block.begin) - code.start - dataBefore;
        if (bytes >= kLeastSwallowedBytes && bytes > kSwallowedShare * codeBefore) return block;
        dataBefore += bytes;
    }
    return std::nullopt;
}

std::string SwallowedText(const DataBlock& block, const ScanSummary& summary) {
    const int64_t bytes = static_cast<int64_t>(block.end) - block.begin;
    int64_t codeBefore = static_cast<int64_t>(block.begin) - summary.code.start;
    for (const DataBlock& earlier : summary.dataBlocks)
        if (earlier.end <= block.begin) codeBefore -= static_cast<int64_t>(earlier.end) - earlier.begin;
    const auto count = [](int64_t n) {
        return Fill(TrN("{count} byte", "{count} bytes", static_cast<uint64_t>(std::max<int64_t>(n, 0))),
                    {{"count", GroupedNumber(n)}});
    };
    // TRANSLATORS: {begin} and {end} are file offsets; {size} and {code} are counts of bytes ("200,000 bytes").
    return Fill(Tr("offsets {begin} to {end} ({size}, after {code} of code) were taken for data, since no label "
                   "leads there after a jump; they may be code the labels do not reach, whose tests are not listed"),
                {{"begin", GroupedNumber(block.begin)},
                 {"end", GroupedNumber(block.end)},
                 {"size", count(bytes)},
                 {"code", count(codeBefore)}});
}

std::string UnknownOpcodesText(const ScanSummary& summary) {
    std::string text;
    for (std::size_t i = 0; i < summary.unknownOpcodes.size(); ++i)
        text += (i ? ", " : "") + OpcodeText(summary.unknownOpcodes[i]);
    return text + (summary.moreUnknownOpcodes ? ", ..." : "");
}

std::string UnknownInstructionsText(const ScanSummary& summary) {
    // TRANSLATORS: a warning after a script's name; {opcodes} is a list of opcodes, "3F12, 3F03".
    return Fill(TrN("{count} unknown instruction, the first at offset {offset} (opcodes {opcodes})",
                    "{count} unknown instructions, the first at offset {offset} (opcodes {opcodes})",
                    static_cast<uint64_t>(summary.unknownInstructions)),
                {{"count", std::to_string(summary.unknownInstructions)},
                 {"offset", std::to_string(summary.firstUnknownOffset.value_or(0))},
                 {"opcodes", UnknownOpcodesText(summary)}});
}

}  // namespace morvane
