#include "script/ScriptImage.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "io/ReadFile.h"
#include "io/LittleEndian.h"

namespace morvane {

namespace {

constexpr int kInt8Width = 1;
constexpr int kInt16Width = 2;
constexpr int kInt32Width = 4;

// Offsets are 32-bit: every script Morvane reads (kLargestScript) is far
// shorter than 2 GiB.
static_assert(kLargestScript < static_cast<std::size_t>(std::numeric_limits<int32_t>::max()));

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

Status ScriptImage::LoadFromFile(const std::string& path) {
    Result<OpenedFile> opened = OpenRegularFile(path, kLargestScript);
    if (!opened) return Failure{opened.Cause()};
    const std::size_t size = opened->size;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
    if (!buffer) return Failure{"not enough memory to read it"};
    errno = 0;
    if (!ReadExactly(opened->file.get(), buffer.get(), size))
        return Failure{errno != 0 ? OpenFailureCause(path, errno) : "changed size while it was read"};
    Adopt(std::move(buffer), size);
    path_ = path;
    return {};
}

void ScriptImage::Adopt(std::unique_ptr<uint8_t[]> bytes, std::size_t size) {
    bytes_ = std::move(bytes);
    size_ = size;
    end_ = size;
    cursor_ = 0;
    loaded_ = true;
}

bool ScriptImage::LoadFromBytes(const void* bytes, std::size_t count) {
    if (count > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) return false;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[count == 0 ? 1 : count]);
    if (!buffer) return false;
    if (count > 0) std::memcpy(buffer.get(), bytes, count);
    Adopt(std::move(buffer), count);
    path_.clear();
    return true;
}

void ScriptImage::Release() {
    bytes_.reset();
    path_.clear();
    size_ = 0;
    end_ = 0;
    cursor_ = 0;
    loaded_ = false;
}

bool ScriptImage::Seek(int64_t offset) {
    if (!loaded_ || offset < 0 || offset > End()) return false;
    cursor_ = static_cast<std::size_t>(offset);
    return true;
}

bool ScriptImage::LimitTo(int64_t end) {
    if (!loaded_ || end < 0 || end > Size()) return false;
    end_ = static_cast<std::size_t>(end);
    if (cursor_ > end_) cursor_ = end_;
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
    const uint8_t* payload = bytes_.get() + at;
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
        default: value = static_cast<int32_t>(ReadLe32(payload)); break;
    }
    cursor_ += static_cast<std::size_t>(width);
    return true;
}

bool ScriptImage::WriteIntParam(int32_t value) {
    std::size_t at = 0;
    int width = 0;
    uint8_t typeByte = 0;
    if (!IntegerPayload(at, width, typeByte)) return false;
    WriteLe(bytes_.get() + at, static_cast<uint32_t>(value), width);
    cursor_ += static_cast<std::size_t>(width);
    return true;
}

bool ScriptImage::StringPayload(std::size_t& payload, int& length, StringForm& form) {
    if (!CursorInside()) return false;
    const std::optional<StringForm> found = StringFormOf(RulesForGame(game), bytes_[cursor_]);
    if (!found) {
        SkipParam();
        return false;
    }
    form = *found;
    const int header = StringHeaderSize(form);
    if (form == StringForm::LengthPrefixed)
        length = Remaining() >= header ? bytes_[cursor_ + 1] : 0;
    else
        length = FixedStringBytes(form);
    if (Remaining() < header + length) {
        cursor_ = end_;
        return false;
    }
    cursor_ += static_cast<std::size_t>(header);
    payload = cursor_;
    return true;
}

bool ScriptImage::ReadStringParam(StringConstant& value) {
    std::size_t at = 0;
    int length = 0;
    StringForm form = StringForm::Fixed8;
    if (!StringPayload(at, length, form)) return false;
    const uint8_t* first = bytes_.get() + at;
    const auto last = first + length;
    value.form = form;
    if (form == StringForm::LengthPrefixed) {
        value.text.assign(first, last);
        value.room = length;
    } else {
        value.text.assign(first, std::find(first, last, 0));
        value.room = FixedStringRoom(form);
    }
    cursor_ += static_cast<std::size_t>(length);
    return true;
}

bool ScriptImage::WriteStringParam(const std::string& text) {
    StringConstant was;
    if (!ReadStringParam(was)) return false;
    const std::size_t end = cursor_;
    const bool prefixed = was.form == StringForm::LengthPrefixed;
    const std::size_t length =
        prefixed ? static_cast<std::size_t>(was.room) : static_cast<std::size_t>(FixedStringBytes(was.form));
    // A fixed string keeps room for its ending zero byte.
    const bool fits =
        prefixed ? text.size() == length : text.size() <= static_cast<std::size_t>(FixedStringRoom(was.form));
    // An inline string is told from other parameters by its first byte alone.
    const bool keepsForm = was.form != StringForm::Inline8 ||
                           (!text.empty() && StartsInlineString(RulesForGame(game), static_cast<uint8_t>(text[0])));
    if (!fits || !keepsForm) return false;
    if (text == was.text) return true;
    // Only the characters and the ending zero change: the old text's bytes
    // beyond the new one become zeros, and whatever the file held after the
    // old ending zero stays as it was.
    uint8_t* payload = bytes_.get() + (end - length);
    std::copy(text.begin(), text.end(), payload);
    if (!prefixed) {
        const std::size_t cleared = std::min(length, std::max(was.text.size(), text.size()) + 1);
        std::fill(payload + text.size(), payload + cleared, 0);
    }
    return true;
}

bool ScriptImage::SkipHeader() {
    const int links = HeaderLinksFor(game);
    for (int link = 0; link < links; ++link) {
        int32_t target = 0;
        if (ReadOpcode() != kJumpOpcode || !ReadSignedParam(target) || target < 0 || target >= End()) {
            cursor_ = 0;
            return false;
        }
        cursor_ = static_cast<std::size_t>(target);
    }
    return true;
}

}  // namespace morvane
