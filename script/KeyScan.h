#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "opcodes/OpcodeTable.h"
#include "script/CodeLayout.h"
#include "script/KeyTest.h"
#include "io/Result.h"
#include "script/ScriptImage.h"
#include "script/ScriptReader.h"

namespace morvane {

// Bytes inside the code that the walk took for data, not instructions: after
// an instruction that ends the path (a jump, a return, an end of script) up
// to the next offset the script's control flow reaches.
struct DataBlock {
    int32_t begin = 0;
    int32_t end = 0;
    bool operator==(const DataBlock& other) const { return begin == other.begin && end == other.end; }
};

// A data block larger than this many bytes, and this many times the code
// walked before it, is said to have swallowed the rest.
constexpr int32_t kLeastSwallowedBytes = 1024;
constexpr int64_t kSwallowedShare = 4;

// Unknown opcodes a summary names: the first this many distinct ones.
constexpr std::size_t kUnknownOpcodesNamed = 5;

// What a walk met besides key tests. After an instruction the opcode table
// does not know, the walk may be reading data as code: tests found after it
// may be false, and patching them could corrupt the file.
struct ScanSummary {
    int64_t instructions = 0;  // walked, unknown ones included, data blocks not
    int64_t unknownInstructions = 0;
    std::optional<int32_t> firstUnknownOffset;  // none when every instruction was known
    // The distinct unknown opcodes in the order first met, at most
    // kUnknownOpcodesNamed; `moreUnknownOpcodes` when there were more.
    std::vector<uint16_t> unknownOpcodes;
    bool moreUnknownOpcodes = false;
    CodeLayout code;                    // where the walk started and ended
    std::vector<DataBlock> dataBlocks;  // skipped, in file order

    bool HasUnknown() const { return unknownInstructions > 0; }
    // Whether the bytes read as this game's byte code: no more than half of
    // the instructions walked were unknown (a picture or random bytes are
    // almost all unknown instructions).
    bool LooksLikeScript() const { return unknownInstructions * 2 <= instructions; }
    // The first data block that holds far more bytes than the code walked
    // before it (at least kLeastSwallowedBytes and kSwallowedShare times as
    // many): bytes after a jump that no label reaches, which may be code the
    // walk did not read (a script that jumps back and then goes on, its
    // labels made at run time). None when no block is so large.
    std::optional<DataBlock> SwallowingBlock() const;
    // Whether a test lies after the first unknown instruction.
    bool IsDoubtful(const KeyTest& test) const { return firstUnknownOffset && test.offset > *firstUnknownOffset; }
};

// Instructions walked between two progress reports.
constexpr int kProgressInterval = 100;

// Receives the walk's byte position.
using ScanProgress = std::function<void(int32_t)>;

// One step of the walk: reads the instruction at the reader's position and
// steps over it exactly as ScanKeyTests does, appending the key test it
// holds. `opcode` gets the opcode read (negation flag cleared;
// kTruncatedOpcode for a lone last byte, which is no instruction). Returns
// the opcode's entry, or nullptr when the table does not know it; the reader
// then stands after the opcode word.
const OpcodeEntry* WalkInstruction(ScriptReader& reader, const OpcodeTable& table, uint16_t& opcode,
                                   std::vector<KeyTest>& tests);

// Walks the code of the image (see FindCode: from the end of a main script's
// header when `header` says so for the image's file, up to a debug footer) and appends every
// key and button test whose key is an integer constant, and every cheat test
// whose code is a string constant. The table must be loaded for the image's
// game. The image is only read: any number of scans may read it at once.
//
// Where the walk meets an opcode the table does not know right after an
// instruction that ends the path, and no label of the script leads there,
// the bytes up to the nearest offset a label of the script leads to (a jump,
// a call, a switch, a new script, a mission of a main script) are data: never
// read for tests, not counted as unknown. Any other unknown opcode counts,
// and from it on the walk may be lost. A script without unknown opcodes
// reads as one run of instructions from start to end.
ScanSummary ScanKeyTests(const ScriptImage& image, const OpcodeTable& table, HeaderSkip header,
                         std::vector<KeyTest>& tests, const ScanProgress& progress);

// Walks the code again as the scan whose summary is `walked` did: from its
// start to its end, stepping over the bytes it took for data. `step` is
// called with the reader at each instruction's start, must move it past the
// instruction, and returns false to end the walk (which also ends when a
// step does not move the reader).
void WalkScannedCode(const ScriptImage& image, const ScanSummary& walked,
                     const std::function<bool(ScriptReader& reader)>& step);

// A script file read and scanned: what the window shows and the command
// line lists.
struct ScannedScript {
    ScriptImage image;
    std::vector<KeyTest> tests;
    ScanSummary summary;
};

// Reads the file at `path` as a script of `game` and scans it with `table`
// (which must be loaded for that game), stepping over a main script's header
// as `header` says. The failure names the cause ("not found", ...) when the
// file cannot be read.
Result<ScannedScript> ReadAndScan(const std::string& path, GameId game, const OpcodeTable& table, HeaderSkip header,
                                  const ScanProgress& progress = nullptr);

// The unknown opcodes a walk met: "3F12, 3F03", then ", ..." when there were
// more than kUnknownOpcodesNamed.
std::string UnknownOpcodesText(const ScanSummary& summary);
// The warning's words for a walk that met unknown instructions: "3 unknown
// instructions, the first at offset 120 (opcodes 3F12, 3F03)".
std::string UnknownInstructionsText(const ScanSummary& summary);
// The warning about a data block that swallowed the rest of the file: "from
// offset 5 to 200,005 (200,000 bytes, after 5 bytes of code) was taken for
// data after a jump ...".
std::string SwallowedText(const DataBlock& block, const ScanSummary& summary);

}  // namespace morvane
