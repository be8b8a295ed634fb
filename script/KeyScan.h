#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "opcodes/OpcodeTable.h"
#include "script/ScriptImage.h"

namespace morvane {

// One instruction that tests a key, with the key it tests.
struct KeyOccurrence {
    bool wide = false;     // the key is not held in an 8-bit parameter
    bool isVKey = false;   // key opcode (virtual-key code) or button opcode (game key)
    int32_t offset = 0;    // byte position of the opcode word
    int32_t pad = -1;      // button opcode: 0 or 1; key opcode: -1
    int32_t key = 0;       // read unsigned in the parameter's width

    bool operator==(const KeyOccurrence& other) const {
        return wide == other.wide && isVKey == other.isVKey && offset == other.offset &&
               pad == other.pad && key == other.key;
    }
};

// Instructions walked between two progress reports.
constexpr int kProgressInterval = 100;

// Receives the cursor's byte position.
using ScanProgress = std::function<void(int32_t)>;

// Walks the image from its cursor (or from the end of a main script's header
// when `skipHeader` is set) to its end and appends every key and button test
// whose key is an integer constant. The cursor is at the end afterwards.
void ScanKeyOccurrences(ScriptImage& image, const OpcodeTable& table, bool skipHeader,
                        std::vector<KeyOccurrence>& occurrences, const ScanProgress& progress);

}  // namespace morvane
