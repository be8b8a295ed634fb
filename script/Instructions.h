#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <functional>
#include <vector>

#include "i18n/Translate.h"
#include "opcodes/OpcodeTable.h"
#include "script/CodeLayout.h"
#include "script/KeyScan.h"
#include "script/ScriptImage.h"

namespace morvane {

// One instruction as a script writer reads it.
struct DecodedInstruction {
    int32_t offset = 0;               // of the opcode word
    int32_t size = 0;                 // bytes, opcode word included
    uint16_t opcode = 0;              // negation flag cleared
    bool negated = false;             // bit 15 of the word was set
    bool known = false;               // the opcode table knows the opcode
    std::vector<std::string> params;  // each parameter's text, in order
    bool padNamed = false;            // a button test's pad shown by its name ("Pad 2")
    std::string text;                 // the whole line without the offset: see FormatInstruction
};

// How an instruction's text writes a label, the place a jump leads to.
enum class LabelForm {
    Raw,         // its number as the byte code holds it: "@-45" (a script compiler reads it back)
    FileOffset,  // the file offset it leads to, in hexadecimal as offsets are shown: "@0x1F"
};

// An offset as the window shows every offset: "0x12BA6".
std::string HexOffsetText(int32_t offset);

// Walks the image as the key scan whose summary is `walked` did (its code,
// its data blocks stepped over) and returns up to `before` instructions
// before the one that starts at `offset`, that one, and up to `after` after
// it. Empty when no instruction of the walk starts at `offset`.
std::vector<DecodedInstruction> InstructionsAround(const ScriptImage& image, const OpcodeTable& table,
                                                   const ScanSummary& walked, int32_t offset, int before, int after,
                                                   LabelForm labels = LabelForm::Raw);

// The same for several offsets in one walk, as a listing of many key tests
// needs: one result per offset, in the order given (offsets in any order,
// repeats allowed).
std::vector<std::vector<DecodedInstruction>> InstructionsAroundEach(const ScriptImage& image, const OpcodeTable& table,
                                                                    const ScanSummary& walked,
                                                                    const std::vector<int32_t>& offsets, int before,
                                                                    int after, LabelForm labels = LabelForm::Raw);

// The same, handing each offset's instructions to `done` (its index in
// `offsets`, the instructions) as soon as the walk has passed them: every
// index once, an empty list for an offset no instruction starts at. Only one
// offset's instructions are held as text at a time.
void ForEachInstructionsAround(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked,
                               const std::vector<int32_t>& offsets, int before, int after, LabelForm labels,
                               const std::function<void(std::size_t, std::vector<DecodedInstruction>)>& done);

// The text of an instruction whose opcode, negation and parameter texts are
// filled in: the opcode as four upper-case hexadecimal digits and ": ", then
// "not " when negated, then the opcode's description with each %Nx%
// placeholder replaced by parameter N's text ("?" when there is no such
// parameter); parameters no placeholder names follow, separated by spaces
// (so a description without placeholders is followed by all of them).
// An opcode the table lacks reads "0123: unknown opcode". `cut` (the bytes
// run past the end of the file) adds a space and kCutMark. The opcode and
// the script's words ("not", the description) are the same in every
// language; "unknown opcode" and kCutMark are in the language chosen.
std::string FormatInstruction(const DecodedInstruction& instruction, std::string_view description, bool cut);

// Ends the text of an instruction the end of the file cuts off, after a
// space (translated where it is put: Tr(kCutMark)).
constexpr const char* kCutMark = N_("(cut off by the end of the file)");

}  // namespace morvane
