#include "script/ScriptImage.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "opcodes/ReadFile.h"
#include "script/LittleEndian.h"

namespace morvane {

namespace {

constexpr int kInt8Width = 1;
constexpr int kInt16Width = 2;
constexpr int kInt32Width = 4;

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

void ScriptImage::Install(uint8_t* buffer, int32_t length) {
    Release();
    data = buffer;
    cursor = buffer;
    size = length;
}

bool ScriptImage::LoadFromFile(const std::string& path) {
    if (path.empty()) return false;
    FileHandle file(OpenFile(path, "rb"), &std::fclose);
    if (!file) return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long length = std::ftell(file.get());
    if (length < 0 || length > std::numeric_limits<int32_t>::max()) return false;
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
    const auto count = static_cast<std::size_t>(length);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[count > 0 ? count : 1]);
    if (!buffer) return false;
    if (!ReadExactly(file.get(), buffer.get(), count)) return false;
    Install(buffer.release(), static_cast<int32_t>(length));
    return true;
}

bool ScriptImage::LoadFromBytes(const void* bytes, std::size_t count) {
    if (count > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) return false;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[count > 0 ? count : 1]);
    if (!buffer) return false;
    if (count > 0) std::memcpy(buffer.get(), bytes, count);
    Install(buffer.release(), static_cast<int32_t>(count));
    return true;
}

void ScriptImage::Release() {
    delete[] data;
    data = nullptr;
    cursor = nullptr;
    size = 0;
}

bool ScriptImage::Seek(int64_t offset) {
    if (data == nullptr || offset < 0 || offset > size) return false;
    cursor = data + offset;
    return true;
}

uint8_t* ScriptImage::IntegerPayload(int& width, uint8_t& typeByte) {
    if (!CursorInside()) return nullptr;
    uint8_t* const typePosition = cursor;
    typeByte = *cursor++;
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::Int8: width = kInt8Width; break;
        case ParamType::Int16: width = kInt16Width; break;
        case ParamType::Int32: width = kInt32Width; break;
        default:
            cursor = typePosition;
            SkipParam();
            return nullptr;
    }
    // The payload's last byte must lie inside; otherwise the cursor stays
    // one byte past the type byte.
    if (End() - cursor < width) return nullptr;
    return cursor;
}

bool ScriptImage::ReadIntParam(int32_t& value, bool isUnsigned) {
    int width = 0;
    uint8_t typeByte = 0;
    const uint8_t* payload = IntegerPayload(width, typeByte);
    if (payload == nullptr) return false;
    switch (static_cast<ParamType>(typeByte)) {
        case ParamType::Int8:
            value = isUnsigned ? static_cast<int32_t>(payload[0])
                               : static_cast<int32_t>(static_cast<int8_t>(payload[0]));
            break;
        case ParamType::Int16: {
            const uint16_t word = ReadLe16(payload);
            value = isUnsigned ? static_cast<int32_t>(word) : static_cast<int32_t>(static_cast<int16_t>(word));
            break;
        }
        default:
            value = static_cast<int32_t>(ReadLe32(payload));
            break;
    }
    cursor += width;
    return true;
}

bool ScriptImage::WriteIntParam(int32_t value) {
    int width = 0;
    uint8_t typeByte = 0;
    uint8_t* payload = IntegerPayload(width, typeByte);
    if (payload == nullptr) return false;
    WriteLe(payload, static_cast<uint32_t>(value), width);
    cursor += width;
    return true;
}

int32_t ScriptImage::PeekParamType() const {
    if (!CursorInside()) return -1;
    const uint8_t typeByte = *cursor;
    if (game != kGameSanAndreas) {
        return typeByte >= kFirstInlineStringByte ? TypeByte(ParamType::String8) : typeByte;
    }
    return typeByte < kFirstInvalidSaTypeByte ? typeByte : -1;
}

bool ScriptImage::SkipHeader() {
    const int links = HeaderLinksFor(game);
    for (int link = 0; link < links; ++link) {
        int32_t target = 0;
        if (ReadOpcode(true) != kJumpOpcode || !ReadIntParam(target, false) || target < 0 || target >= size) {
            cursor = data;
            return false;
        }
        cursor = data + target;
    }
    return true;
}

}  // namespace morvane
