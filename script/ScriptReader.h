#pragma once

#include <cstddef>
#include <cstdint>

#include "opcodes/GameId.h"
#include "opcodes/OpcodeTable.h"
#include "script/KnownOpcodes.h"
#include "script/ParamType.h"
#include "script/ScriptImage.h"

namespace morvane {

// Returned by ReadOpcode when fewer than two bytes are left. It has bit 15
// set, which no opcode read from a word has, so no table knows it and a walk
// can tell a lone last byte from an instruction.
constexpr uint16_t kTruncatedOpcode = 0xFFFF;

// A walk's position in the byte code of an image, and the end it reads up
// to: a small value each walk holds for itself, so that any number of walks
// read one image at once and none moves another. It reads the image's bytes
// and never writes them; the image must outlive it and keep its bytes.
//
// The position never leaves [0, End()]: a step that would run past the end
// stops at the end, and nothing is read at or after End(). End() is the
// image's size unless LimitTo set it nearer (a walk of the code leaves a
// block after it alone).
class ScriptReader {
public:
    // Reads the whole image from offset 0, by the size rules of its game.
    explicit ScriptReader(const ScriptImage& image)
        : bytes_(image.Data()),
          end_(static_cast<std::size_t>(image.Size())),
          size_(end_),
          game_(image.game),
          sizes_(&kParamSizeTables[static_cast<std::size_t>(RulesForGame(image.game))]) {}

    // The game whose size rules the reads follow.
    GameId Game() const { return game_; }
    // Where reading stops.
    int32_t End() const { return static_cast<int32_t>(end_); }
    // Makes `end` (0 to the image's size) the end of every read from now on,
    // and moves the position there when it stood beyond; false (nothing
    // changed) for any other offset.
    bool LimitTo(int64_t end);

    bool Inside() const { return at_ < end_; }
    std::ptrdiff_t Remaining() const { return static_cast<std::ptrdiff_t>(end_ - at_); }
    int32_t Position() const { return static_cast<int32_t>(at_); }
    // Moves to a byte offset; false (position unchanged) outside [0, End()].
    bool Seek(int64_t offset);

    // The opcode word at the position, negation flag cleared, and the
    // position moved past it; kTruncatedOpcode (position at the end) when
    // fewer than two bytes are left.
    uint16_t ReadOpcode();
    // The same without moving.
    uint16_t PeekOpcode() const;
    // The byte at the position, or -1 at the end.
    int PeekByte() const { return Inside() ? bytes_[at_] : -1; }

    // Steps over one parameter; false (having consumed a 0 or invalid type
    // byte) when it ends a list or is invalid.
    bool SkipParam();
    // Steps over `count` parameters (kVariableParameterCount: up to and
    // including the list's 0 byte); the number stepped over.
    int32_t SkipParams(int32_t count);
    // Reads an integer constant parameter, zero- or sign-extended from its
    // width. False for any other parameter, which is then stepped over; for
    // one whose payload the end cuts, the position stands after its type byte.
    bool ReadUnsignedParam(int32_t& value) { return ReadIntParam(value, Extension::Zero); }
    bool ReadSignedParam(int32_t& value) { return ReadIntParam(value, Extension::Sign); }
    // Reads a local or global variable (not an array). False for any other
    // parameter, which is then stepped over.
    bool ReadVariableParam(Variable& variable);
    // Reads a string constant. False for any other parameter, which is then
    // stepped over, and for a string the end cuts (position at the end).
    bool ReadStringParam(StringConstant& value);
    // Follows the jumps that open a main script's header segments; false,
    // with the position back at offset 0, when the chain is broken.
    bool SkipHeader();
    // Steps over raw bytes, stopping at the end.
    void SkipBytes(std::ptrdiff_t count) { Advance(count); }

private:
    friend class ScriptImage;  // writes where a read finds a payload
    enum class Extension { Zero, Sign };

    bool ReadIntParam(int32_t& value, Extension extension);
    void Advance(std::ptrdiff_t count) { at_ += static_cast<std::size_t>(count < Remaining() ? count : Remaining()); }
    // Steps over the type byte of an integer parameter and returns the
    // payload's offset and width, or false by the failure rules of an integer read.
    bool IntegerPayload(std::size_t& payload, int& width, uint8_t& typeByte);
    // Steps over a string constant's header and returns its form and the
    // characters' offset and byte count; otherwise steps over the parameter.
    bool StringPayload(std::size_t& payload, int& length, StringForm& form);

    const uint8_t* bytes_;
    std::size_t at_ = 0;
    std::size_t end_;
    std::size_t size_;  // the image's, which no end may pass
    GameId game_;
    const ParamSizeTable* sizes_;
};

// ---- the walk's hot path, inline ----

inline uint16_t ScriptReader::PeekOpcode() const {
    if (Remaining() < kOpcodeWordSize) return kTruncatedOpcode;
    return static_cast<uint16_t>((bytes_[at_] | (bytes_[at_ + 1] << 8)) & kOpcodeMask);
}

inline uint16_t ScriptReader::ReadOpcode() {
    const uint16_t opcode = PeekOpcode();
    if (opcode == kTruncatedOpcode)
        at_ = end_;
    else
        at_ += kOpcodeWordSize;
    return opcode;
}

inline bool ScriptReader::SkipParam() {
    if (!Inside()) return false;
    const uint8_t paramSize = (*sizes_)[bytes_[at_]];
    switch (paramSize) {
        case kSizeEndOfList:
        case kSizeInvalid: Advance(1); return false;
        case kSizeLengthPrefixed: {
            const std::ptrdiff_t length = Remaining() > 1 ? bytes_[at_ + 1] : 0;
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

inline int32_t ScriptReader::SkipParams(int32_t count) {
    if (count == 0 || count < kVariableParameterCount) return count;
    int32_t stepped = 0;
    at_ = StepOverParams(bytes_, at_, end_, *sizes_, count, stepped);
    return stepped;
}

}  // namespace morvane
