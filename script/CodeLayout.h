#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "script/ScriptFiles.h"
#include "script/ScriptImage.h"

namespace morvane {

// Where the byte code of a script file lies, and what a label in it means.
struct CodeLayout {
    int32_t start = 0;    // after a main script's header segments, else 0
    int32_t end = 0;      // where a debug footer starts, else the file's end
    bool header = false;  // the header segments were stepped over
    bool footer = false;  // a debug footer follows the code (from `end` to the file's end)
    // A main script's missions, where each starts, from its header's mission
    // table (ascending, each inside the code).
    std::vector<int32_t> missions;
    // The file's name says it is a main script (HeaderSkip), whether or not
    // its header could be stepped over.
    bool headerExpected = false;
    // Offsets of the header (its segments' jumps, its missions' starts) at
    // or past the file's end: a main script cut short, by a copy or a
    // download that stopped, whose missing part no walk can read.
    int32_t pastEnd = 0;

    bool CutShort() const { return pastEnd > 0; }
};

// What a file holds too little of to be read as a script at all: "the file
// is empty", or, for a main script's name, "too short for a main script" (too
// short for its header's jumps); nothing for any other file.
std::optional<std::string> TooLittleToRead(const CodeLayout& code, int32_t size);

// The words for a main script cut short: "cut short: its header names 3
// offsets past the file's end (1500000 bytes); the tests of what is
// missing are not listed".
std::string CutShortText(const CodeLayout& code, int32_t size);

// Sanny Builder's debug footer: a script compiled with "add extra info" ends
// with a block of debug data, then the block's start as a 32-bit
// little-endian offset, then the 8 bytes "__SBFTR\0".
constexpr char kDebugFooterTag[] = "__SBFTR";  // with its ending zero, 8 bytes
constexpr std::size_t kDebugFooterTagSize = sizeof kDebugFooterTag;
constexpr std::size_t kDebugFooterTailSize = 4 + kDebugFooterTagSize;

// Where the debug block of a file begins: when its last 8 bytes are the tag
// and the number in the 4 bytes before them is an offset no later than the
// start of those 12 bytes and not before `codeStart`. Any other ending (a tag
// whose offset is out of range, a partial tag, no tag) is no footer: nothing.
std::optional<int32_t> DebugFooterStart(const uint8_t* data, std::size_t size, int32_t codeStart);

// Finds the code of a loaded image: steps over a main script's header as
// `header` says for the image's file (as SkipHeader, from offset 0; a broken
// chain starts the code at 0), reads the mission table of a header it
// stepped over, and ends the code where a debug footer starts. A walk of the
// code reads from `start` up to `end` (ScriptReader::LimitTo).
CodeLayout FindCode(const ScriptImage& image, HeaderSkip header);

// The offset a label parameter leads to from an instruction at `offset`, or
// nothing when it leads nowhere in the code. A negative label is an offset
// from the start of the script (a custom script's labels are all such) or,
// in a main script whose header was stepped over, from the start of the
// mission the instruction lies in; any other is a file offset (a main
// script's own).
std::optional<int32_t> LabelTarget(const CodeLayout& code, int32_t offset, int32_t label);

}  // namespace morvane
