#include "script/ScriptImage.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "i18n/Translate.h"
#include "io/LittleEndian.h"
#include "io/ReadFile.h"
#include "script/ScriptReader.h"

namespace morvane {

namespace {

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
    return LoadOpened(OpenRegularFile(path, kLargestScript), path);
}

Status ScriptImage::LoadFromFile(const std::string& path, FolderOpener& folders) {
    return LoadOpened(folders.OpenRegularFile(path, kLargestScript), path);
}

Status ScriptImage::LoadOpened(Result<OpenedFile> opened, const std::string& path) {
    if (!opened) return Failure{opened.Cause()};
    const std::size_t size = opened->size;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size == 0 ? 1 : size]);
    if (!buffer) return Failure{Tr("not enough memory to read it")};
    errno = 0;
    if (!ReadExactly(opened->file.get(), buffer.get(), size))
        return Failure{errno != 0 ? OpenFailureCause(path, errno) : Tr("changed size while it was read")};
    Adopt(std::move(buffer), size);
    path_ = path;
    return {};
}

void ScriptImage::Adopt(std::unique_ptr<uint8_t[]> bytes, std::size_t size) {
    bytes_ = std::move(bytes);
    size_ = size;
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
    loaded_ = false;
}

bool ScriptImage::WriteIntParamAt(int64_t offset, int32_t value, int64_t end) {
    ScriptReader reader(*this);
    std::size_t at = 0;
    int width = 0;
    uint8_t typeByte = 0;
    if (!reader.LimitTo(end) || !reader.Seek(offset) || !reader.IntegerPayload(at, width, typeByte)) return false;
    WriteLe(bytes_.get() + at, static_cast<uint32_t>(value), width);
    return true;
}

bool ScriptImage::WriteStringParamAt(int64_t offset, const std::string& text, int64_t end) {
    ScriptReader reader(*this);
    StringConstant was;
    if (!reader.LimitTo(end) || !reader.Seek(offset) || !reader.ReadStringParam(was)) return false;
    const auto after = static_cast<std::size_t>(reader.Position());
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
    uint8_t* payload = bytes_.get() + (after - length);
    std::copy(text.begin(), text.end(), payload);
    if (!prefixed) {
        const std::size_t cleared = std::min(length, std::max(was.text.size(), text.size()) + 1);
        std::fill(payload + text.size(), payload + cleared, 0);
    }
    return true;
}

}  // namespace morvane
