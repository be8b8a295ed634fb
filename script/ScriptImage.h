#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"
#include "script/KnownOpcodes.h"
#include "script/ParamType.h"

namespace morvane {

// Returned by ReadOpcode when fewer than two bytes are left. It has bit 15
// set, which no opcode read from a word has, so no table knows it and a walk
// can tell a lone last byte from an instruction.
constexpr uint16_t kTruncatedOpcode = 0xFFFF;

// A whole script file in memory with a cursor that walks its byte code.
// The cursor never leaves [data, data + size]: a step that would run past the
// end stops at the end, and nothing reads or writes outside the buffer.
struct ScriptImage {
    GameId game = kGameGta3;
    uint8_t* data = nullptr;
    uint8_t* cursor = nullptr;
    int32_t size = 0;
    uint16_t lastOpcode = 0;

    ScriptImage() = default;
    ~ScriptImage() { Release(); }
    ScriptImage(const ScriptImage&) = delete;
    ScriptImage& operator=(const ScriptImage&) = delete;

    // Reads the whole file; the cursor then stands at offset 0. False when the
    // file cannot be opened or read completely, or is 2 GiB or larger: the
    // image is then left exactly as it was.
    bool LoadFromFile(const std::string& path);
    // The same from bytes in memory.
    bool LoadFromBytes(const void* bytes, std::size_t count);
    void Release();

    uint16_t ReadOpcode(bool advance);
    bool SkipParam();
    int32_t SkipParams(int32_t count);
    bool ReadIntParam(int32_t& value, bool isUnsigned);
    bool WriteIntParam(int32_t value);
    int32_t PeekParamType() const;
    bool SkipHeader();
    // Steps over raw bytes, stopping at the end of the image.
    void SkipBytes(std::ptrdiff_t count) { Advance(count); }

    const uint8_t* End() const { return data + size; }
    bool CursorInside() const { return data != nullptr && cursor >= data && cursor < End(); }
    std::ptrdiff_t Remaining() const { return CursorInside() ? End() - cursor : 0; }
    int32_t Position() const { return static_cast<int32_t>(cursor - data); }
    // Places the cursor at a byte offset; false (cursor unchanged) outside the image.
    bool Seek(int64_t offset);

private:
    void Advance(std::ptrdiff_t count) { cursor += count < End() - cursor ? count : End() - cursor; }
    // Steps over the type byte of an integer parameter and returns its
    // payload and width, or nullptr by the failure rules of an integer read.
    uint8_t* IntegerPayload(int& width, uint8_t& typeByte);
    void Install(uint8_t* buffer, int32_t length);
};

// ---- the walk's hot path, inline ----

inline uint16_t ScriptImage::ReadOpcode(bool advance) {
    if (Remaining() < kOpcodeWordSize) {
        if (advance && data != nullptr) cursor = data + size;
        return kTruncatedOpcode;
    }
    const uint16_t opcode = static_cast<uint16_t>((cursor[0] | (cursor[1] << 8)) & kOpcodeMask);
    lastOpcode = opcode;
    if (advance) cursor += kOpcodeWordSize;
    return opcode;
}

inline bool ScriptImage::SkipParam() {
    if (!CursorInside()) return false;
    const uint8_t typeByte = *cursor;
    const uint8_t paramSize = kParamSizeTables[static_cast<std::size_t>(RulesForGame(game))][typeByte];
    switch (paramSize) {
        case kSizeEndOfList:
        case kSizeInvalid:
            Advance(1);
            return false;
        case kSizeLengthPrefixed: {
            const std::ptrdiff_t length = End() - cursor > 1 ? cursor[1] : 0;
            Advance(kLengthPrefixedHeader + length);
            return true;
        }
        default:
            Advance(paramSize);
            return true;
    }
}

inline int32_t ScriptImage::SkipParams(int32_t count) {
    int32_t limit = count;
    if (count == kVariableParameterCount) limit = INT32_MAX;
    else if (count <= 0) return count;
    for (int32_t done = 0; done < limit; ++done) {
        if (!SkipParam()) return done;
    }
    return limit;
}

}  // namespace morvane
