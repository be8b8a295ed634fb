#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "io/Result.h"
#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"
#include "script/KnownOpcodes.h"
#include "script/ParamType.h"

namespace morvane {

// Returned by ReadOpcode when fewer than two bytes are left. It has bit 15
// set, which no opcode read from a word has, so no table knows it and a walk
// can tell a lone last byte from an instruction.
constexpr uint16_t kTruncatedOpcode = 0xFFFF;

// A string constant as read from the byte code.
struct StringConstant {
    StringForm form = StringForm::Fixed8;
    std::string text;  // fixed forms: the bytes before the first zero; length-prefixed: all of them
    int32_t room = 0;  // characters that fit in its place: FixedStringRoom, or exactly the length
};

// A whole script file in memory with a cursor that walks its byte code.
// The cursor never leaves [0, End()]: a step that would run past the end
// stops at the end, and nothing reads or writes outside [0, End()). End() is
// the end of the file unless LimitTo set it nearer (to leave a block after
// the code alone).
class ScriptImage {
public:
    GameId game = kGameGta3;  // whose size rules the parameters follow

    // Reads the whole file; the cursor then stands at offset 0. The failure
    // names the cause when the file cannot be opened or read completely, or
    // is larger than kLargestScript: "not found", "is a folder", "no
    // permission", "is larger than 64 MB" or the system's reason; the image
    // is then left exactly as it was.
    Status LoadFromFile(const std::string& path);
    // The same from bytes in memory.
    bool LoadFromBytes(const void* bytes, std::size_t count);
    // Drops the bytes; the image is empty until the next load.
    void Release();

    bool IsLoaded() const { return loaded_; }
    // The file the bytes were read from; empty for bytes from memory.
    const std::string& Path() const { return path_; }
    const uint8_t* Data() const { return bytes_.get(); }
    // The whole file, whatever End() is: what a save writes.
    int32_t Size() const { return static_cast<int32_t>(size_); }
    // Where reading stops.
    int32_t End() const { return static_cast<int32_t>(end_); }
    // Makes `end` (0 to Size()) the end for every read and write from now
    // on, and moves the cursor there when it stood beyond; false (nothing
    // changed) for any other offset.
    bool LimitTo(int64_t end);

    // The opcode word at the cursor, negation flag cleared, and the cursor
    // moved past it; kTruncatedOpcode (cursor at the end) when fewer than two
    // bytes are left.
    uint16_t ReadOpcode();
    // The same without moving the cursor.
    uint16_t PeekOpcode() const;
    // The byte at the cursor, or -1 at the end.
    int PeekByte() const { return CursorInside() ? bytes_[cursor_] : -1; }

    // Steps over one parameter; false (having consumed a 0 or invalid type
    // byte) when it ends a list or is invalid.
    bool SkipParam();
    // Steps over `count` parameters (kVariableParameterCount: up to and
    // including the list's 0 byte); the number stepped over.
    int32_t SkipParams(int32_t count);
    // Reads an integer constant parameter, zero- or sign-extended from its
    // width. False for any other parameter, which is then stepped over.
    bool ReadUnsignedParam(int32_t& value) { return ReadIntParam(value, Extension::Zero); }
    bool ReadSignedParam(int32_t& value) { return ReadIntParam(value, Extension::Sign); }
    // Overwrites an integer constant parameter's payload in its own width.
    bool WriteIntParam(int32_t value);
    // Reads a string constant. False for any other parameter, which is then
    // stepped over, and for a string the end of the image cuts (cursor at the end).
    bool ReadStringParam(StringConstant& value);
    // Overwrites a string constant's characters in place: a fixed form takes
    // up to all its bytes, the rest padded with zero bytes; a length-prefixed
    // one exactly its length. Text equal to what the string holds writes
    // nothing, so bytes after its ending zero stay. False, nothing written,
    // for any other parameter, a cut string, text that does not fit, and
    // text that would not start an older game's inline string.
    bool WriteStringParam(const std::string& text);
    // Follows the jumps that open a main script's header segments; false,
    // with the cursor back at offset 0, when the chain is broken.
    bool SkipHeader();
    // Steps over raw bytes, stopping at the end of the image.
    void SkipBytes(std::ptrdiff_t count) { Advance(count); }

    bool CursorInside() const { return cursor_ < end_; }
    std::ptrdiff_t Remaining() const { return static_cast<std::ptrdiff_t>(end_ - cursor_); }
    int32_t Position() const { return static_cast<int32_t>(cursor_); }
    // Places the cursor at a byte offset; false (cursor unchanged) outside [0, End()].
    bool Seek(int64_t offset);

private:
    enum class Extension { Zero, Sign };

    bool ReadIntParam(int32_t& value, Extension extension);
    void Advance(std::ptrdiff_t count) {
        cursor_ += static_cast<std::size_t>(count < Remaining() ? count : Remaining());
    }
    // Steps over the type byte of an integer parameter and returns the
    // payload's offset and width, or false by the failure rules of an integer read.
    bool IntegerPayload(std::size_t& payload, int& width, uint8_t& typeByte);
    // Steps over a string constant's header and returns its form and the
    // characters' offset and byte count; otherwise steps over the parameter.
    bool StringPayload(std::size_t& payload, int& length, StringForm& form);
    // Takes a buffer of `size` bytes as the image's.
    void Adopt(std::unique_ptr<uint8_t[]> bytes, std::size_t size);

    // Left uninitialised until read into: a script of megabytes is not first
    // filled with zeros.
    std::unique_ptr<uint8_t[]> bytes_;
    std::string path_;
    std::size_t size_ = 0;
    std::size_t end_ = 0;
    std::size_t cursor_ = 0;
    bool loaded_ = false;
};

// ---- the walk's hot path, inline ----

inline uint16_t ScriptImage::PeekOpcode() const {
    if (Remaining() < kOpcodeWordSize) return kTruncatedOpcode;
    return static_cast<uint16_t>((bytes_[cursor_] | (bytes_[cursor_ + 1] << 8)) & kOpcodeMask);
}

inline uint16_t ScriptImage::ReadOpcode() {
    const uint16_t opcode = PeekOpcode();
    if (opcode == kTruncatedOpcode)
        cursor_ = end_;
    else
        cursor_ += kOpcodeWordSize;
    return opcode;
}

inline bool ScriptImage::SkipParam() {
    if (!CursorInside()) return false;
    const uint8_t typeByte = bytes_[cursor_];
    const uint8_t paramSize = kParamSizeTables[static_cast<std::size_t>(RulesForGame(game))][typeByte];
    switch (paramSize) {
        case kSizeEndOfList:
        case kSizeInvalid: Advance(1); return false;
        case kSizeLengthPrefixed: {
            const std::ptrdiff_t length = Remaining() > 1 ? bytes_[cursor_ + 1] : 0;
            Advance(kLengthPrefixedHeader + length);
            return true;
        }
        default: Advance(paramSize); return true;
    }
}

// Steps over `count` parameters (kVariableParameterCount: up to and
// including the list's 0 byte) from `at` in bytes[0, end) by the size rules
// of `sizes`, as SkipParam does one by one: the offset after them (at most
// `end`). `stepped` gets the number stepped over. The walk's inner loop.
inline std::size_t StepOverParams(const uint8_t* bytes, std::size_t at, std::size_t end, const ParamSizeTable& sizes,
                                  int32_t count, int32_t& stepped) {
    const uint32_t limit = count == kVariableParameterCount ? UINT32_MAX : static_cast<uint32_t>(count);
    uint32_t done = 0;
    for (; done < limit && at < end; ++done) {
        const uint8_t size = sizes[bytes[at]];
        if (size < kSizeLengthPrefixed && size != kSizeEndOfList) {
            at += size;
            continue;
        }
        if (size == kSizeLengthPrefixed) {
            at += kLengthPrefixedHeader + (end - at > 1 ? bytes[at + 1] : 0);
            continue;
        }
        ++at;  // a list's end or an invalid type byte: consumed, and the list ends
        break;
    }
    stepped = static_cast<int32_t>(done);
    return at < end ? at : end;
}

inline int32_t ScriptImage::SkipParams(int32_t count) {
    if (count == 0 || count < kVariableParameterCount) return count;
    int32_t stepped = 0;
    cursor_ = StepOverParams(bytes_.get(), cursor_, end_,
                             kParamSizeTables[static_cast<std::size_t>(RulesForGame(game))], count, stepped);
    return stepped;
}

}  // namespace morvane
