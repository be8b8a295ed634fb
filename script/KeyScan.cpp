#include "script/KeyScan.h"

namespace morvane {

namespace {

void ScanKeyInstruction(ScriptImage& image, int32_t offset, std::vector<KeyOccurrence>& occurrences) {
    KeyOccurrence occurrence;
    occurrence.isVKey = true;
    occurrence.offset = offset;
    occurrence.pad = -1;
    occurrence.wide = !(image.CursorInside() && *image.cursor == TypeByte(ParamType::Int8));
    if (image.ReadIntParam(occurrence.key, true)) occurrences.push_back(occurrence);
}

void ScanButtonInstruction(ScriptImage& image, int32_t offset, std::vector<KeyOccurrence>& occurrences) {
    const uint8_t padType = image.CursorInside() ? *image.cursor : TypeByte(ParamType::EndOfList);
    KeyOccurrence occurrence;
    occurrence.isVKey = false;
    occurrence.offset = offset;
    occurrence.wide = false;
    if (!image.ReadIntParam(occurrence.pad, true)) {
        // An invalid San Andreas type byte has been consumed alone; the walk
        // goes on from the byte after it.
        if (!(image.game == kGameSanAndreas && padType >= kFirstInvalidSaTypeByte)) image.SkipParam();
        return;
    }
    if (static_cast<uint32_t>(occurrence.pad) > static_cast<uint32_t>(kHighestPad)) {
        image.SkipParam();
        return;
    }
    if (image.ReadIntParam(occurrence.key, true)) occurrences.push_back(occurrence);
}

}  // namespace

void ScanKeyOccurrences(ScriptImage& image, const OpcodeTable& table, bool skipHeader,
                        std::vector<KeyOccurrence>& occurrences, const ScanProgress& progress) {
    if (skipHeader) image.SkipHeader();
    const uint16_t keyOpcode = KeyOpcodeFor(image.game);
    if (!image.CursorInside()) return;
    int instructions = 0;
    for (;;) {
        const int32_t offset = image.Position();
        const uint16_t opcode = image.ReadOpcode(true);
        if (const OpcodeEntry* entry = table.Find(opcode)) {
            if (opcode == keyOpcode) {
                ScanKeyInstruction(image, offset, occurrences);
            } else if (opcode == kButtonOpcode) {
                ScanButtonInstruction(image, offset, occurrences);
            } else {
                image.SkipParams(entry->parameterCount);
            }
        }
        if (!image.CursorInside()) return;
        if (++instructions == kProgressInterval) {
            instructions = 0;
            if (progress) progress(image.Position());
        }
    }
}

}  // namespace morvane
