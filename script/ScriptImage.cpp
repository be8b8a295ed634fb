#include "script/ScriptImage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "opcodes/ReadFile.h"
#include "script/LittleEndian.h"

namespace morvane {

namespace {

constexpr int kInt8Width = 1;
constexpr int kInt16Width = 2;
constexpr int kInt32Width = 4;

// Offsets are 32-bit, so a script stops short of 2 GiB.
constexpr const char* kTooLargeCause = "is 2 GiB or larger";

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Reads exactly `length` bytes and checks that the file ends there.
bool ReadExactly(std::FILE* file, uint8_t* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        const std::size_t got = std::fread(buffer + done, 1, length - done, file);
        if (got == 0) return false;
        done += got;
    }
    return std::fgetc(file) == EOF && !std::ferror(file);
}

}  // namespace

bool ScriptImage::LoadFromFile(const std::string& path) {
    std::string ignored;
    return LoadFromFile(path, ignored);
}

bool ScriptImage::LoadFromFile(const std::string& path, std::string& cause) {
    if (path.empty()) {
        cause = "no file name";
        return false;
    }
    if (IsFolder(path)) {
        cause = "is a folder";
        return false;
    }
    errno = 0;
    FileHandle file(OpenFile(path, "rb"), &std::fclose);
    if (!file) {
        cause = OpenFailureCause(path, errno);
        return false;
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
        cause = OpenFailureCause(path, errno);
        return false;
    }
    const long length = std::ftell(file.get());
    if (length < 0 && errno == EOVERFLOW) {  // a 32-bit long cannot hold the size
        cause = kTooLargeCause;
        return false;
    }
    if (length < 0) {
        cause = OpenFailureCause(path, errno);
        return false;
    }
    if (length > std::numeric_limits<int32_t>::max()) {
        cause = kTooLargeCause;
        return false;
    }
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) {
        cause = OpenFailureCause(path, errno);
        return false;
    }
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        cause = "not enough memory to read it";
        return false;
    }
    errno = 0;
    if (!ReadExactly(file.get(), buffer.data(), buffer.size())) {
        cause = errno != 0 ? OpenFailureCause(path, errno) : "changed size while it was read";
        return false;
    }
    bytes_.swap(buffer);
    cursor_ = 0;
    loaded_ = true;
    return true;
}

bool ScriptImage::LoadFromBytes(const void* bytes, std::size_t count) {
    if (count > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) return false;
    const auto* first = static_cast<const uint8_t*>(bytes);
    std::vector<uint8_t> buffer;
    try {
        buffer.assign(first, first + count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes_.swap(buffer);
    cursor_ = 0;
    loaded_ = true;
    return true;
}

void ScriptImage::Release() {
    std::vector<uint8_t>().swap(bytes_);
    cursor_ = 0;
    loaded_ = false;
}

bool ScriptImage::Seek(int64_t offset) {
    if (!loaded_ || offset < 0 || offset > Size()) return false;
    cursor_ = static_cast<std::size_t>(offset);
    return true;
}

bool ScriptImage::IntegerPayload(std::size_t& payload, int& width, uint8_t& typeByte) {
    if (!CursorInside()) return false;
    const std::size_t typePosition = cursor_;
    typeByte = bytes_[cursor_++];
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::Int8: width = kInt8Width; break;
        case ParamType::Int16: width = kInt16Width; break;
        case ParamType::Int32: width = kInt32Width; break;
        default:
            cursor_ = typePosition;
            SkipParam();
            return false;
    }
    // The payload's last byte must lie inside; otherwise the cursor stays
    // one byte past the type byte.
    if (Remaining() < width) return false;
    payload = cursor_;
    return true;
}

bool ScriptImage::ReadIntParam(int32_t& value, Extension extension) {
    std::size_t at = 0;
    int width = 0;
    uint8_t typeByte = 0;
    if (!IntegerPayload(at, width, typeByte)) return false;
    const uint8_t* payload = bytes_.data() + at;
    const bool zero = extension == Extension::Zero;
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::Int8:
            value = zero ? static_cast<int32_t>(payload[0]) : static_cast<int32_t>(static_cast<int8_t>(payload[0]));
            break;
        case ParamType::Int16: {
            const uint16_t word = ReadLe16(payload);
            value = zero ? static_cast<int32_t>(word) : static_cast<int32_t>(static_cast<int16_t>(word));
            break;
        }
        default:
            value = static_cast<int32_t>(ReadLe32(payload));
            break;
    }
    cursor_ += static_cast<std::size_t>(width);
    return true;
}

bool ScriptImage::WriteIntParam(int32_t value) {
    std::size_t at = 0;
    int width = 0;
    uint8_t typeByte = 0;
    if (!IntegerPayload(at, width, typeByte)) return false;
    WriteLe(bytes_.data() + at, static_cast<uint32_t>(value), width);
    cursor_ += static_cast<std::size_t>(width);
    return true;
}

int32_t ScriptImage::PeekParamType() const {
    if (!CursorInside()) return -1;
    const uint8_t typeByte = bytes_[cursor_];
    if (game != kGameSanAndreas) {
        return typeByte >= kFirstInlineStringByte ? TypeByte(ParamType::String8) : typeByte;
    }
    return typeByte < kFirstInvalidSaTypeByte ? typeByte : -1;
}

bool ScriptImage::SkipHeader() {
    const int links = HeaderLinksFor(game);
    for (int link = 0; link < links; ++link) {
        int32_t target = 0;
        if (ReadOpcode() != kJumpOpcode || !ReadSignedParam(target) || target < 0 || target >= Size()) {
            cursor_ = 0;
            return false;
        }
        cursor_ = static_cast<std::size_t>(target);
    }
    return true;
}

}  // namespace morvane
