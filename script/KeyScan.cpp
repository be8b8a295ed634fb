#include "script/KeyScan.h"

namespace morvane {

namespace {

void ScanKeyInstruction(ScriptImage& image, int32_t offset, uint16_t opcode, std::vector<KeyOccurrence>& occurrences) {
    const bool wide = image.PeekByte() != TypeByte(ParamType::Int8);
    int32_t key = 0;
    if (image.ReadUnsignedParam(key)) occurrences.push_back(KeyOccurrence::VKeyTest(offset, key, wide, opcode));
}

void ScanButtonInstruction(ScriptImage& image, int32_t offset, uint16_t opcode,
                           std::vector<KeyOccurrence>& occurrences) {
    const int padType = image.PeekByte();
    int32_t pad = 0;
    if (!image.ReadUnsignedParam(pad)) {
        // An invalid San Andreas type byte has been consumed alone; the walk
        // goes on from the byte after it.
        if (!(image.game == kGameSanAndreas && padType >= kFirstInvalidSaTypeByte)) image.SkipParam();
        return;
    }
    if (static_cast<uint32_t>(pad) > static_cast<uint32_t>(kHighestPad)) {
        image.SkipParam();
        return;
    }
    int32_t key = 0;
    if (image.ReadUnsignedParam(key)) occurrences.push_back(KeyOccurrence::ButtonTest(offset, pad, key, opcode));
}

void ScanCheatInstruction(ScriptImage& image, int32_t offset, uint16_t opcode,
                          std::vector<KeyOccurrence>& occurrences) {
    StringConstant code;
    if (image.ReadStringParam(code)) occurrences.push_back(KeyOccurrence::CheatTest(offset, std::move(code), opcode));
}

}  // namespace

const OpcodeEntry* WalkInstruction(ScriptImage& image, const OpcodeTable& table, uint16_t& opcode,
                                   std::vector<KeyOccurrence>& occurrences) {
    const int32_t offset = image.Position();
    opcode = image.ReadOpcode();
    const OpcodeEntry* entry = table.Find(opcode);
    if (entry == nullptr) return nullptr;
    switch (entry->role) {
        case OpcodeRole::Plain: image.SkipParams(entry->parameterCount); break;
        case OpcodeRole::VKeyTest: ScanKeyInstruction(image, offset, opcode, occurrences); break;
        case OpcodeRole::ButtonTest: ScanButtonInstruction(image, offset, opcode, occurrences); break;
        case OpcodeRole::SkipsData: image.SkipBytes(kSkippedDataBytes); break;
        case OpcodeRole::CheatTest: ScanCheatInstruction(image, offset, opcode, occurrences); break;
    }
    return entry;
}

ScanSummary ScanKeyOccurrences(ScriptImage& image, const OpcodeTable& table, bool skipHeader,
                               std::vector<KeyOccurrence>& occurrences, const ScanProgress& progress) {
    ScanSummary summary;
    if (skipHeader) image.SkipHeader();
    if (!image.CursorInside()) return summary;
    int instructions = 0;
    for (;;) {
        const int32_t offset = image.Position();
        uint16_t opcode = 0;
        const OpcodeEntry* entry = WalkInstruction(image, table, opcode, occurrences);
        if (opcode != kTruncatedOpcode) ++summary.instructions;
        if (entry == nullptr && opcode != kTruncatedOpcode) {
            // A lone last byte is no instruction; anything else the table lacks is.
            if (summary.unknownInstructions++ == 0) summary.firstUnknownOffset = offset;
        }
        if (!image.CursorInside()) return summary;
        if (++instructions == kProgressInterval) {
            instructions = 0;
            if (progress) progress(image.Position());
        }
    }
}

}  // namespace morvane
