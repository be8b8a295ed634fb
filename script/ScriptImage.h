#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "io/ReadFile.h"
#include "io/Result.h"
#include "opcodes/GameId.h"
#include "script/ParamType.h"

namespace morvane {

// A string constant as read from the byte code.
struct StringConstant {
    StringForm form = StringForm::Fixed8;
    std::string text;  // fixed forms: the bytes before the first zero; length-prefixed: all of them
    int32_t room = 0;  // characters that fit in its place: FixedStringRoom, or exactly the length
};

// A whole script file in memory: the one owner of its bytes. Nothing here
// walks them: a walk reads them through a ScriptReader of its own, which
// holds the position and the end it reads up to. Only the writes below
// change a byte, and never the size.
class ScriptImage {
public:
    GameId game = kGameGta3;  // whose size rules the parameters follow

    // Reads the whole file. The failure names the cause when the file cannot
    // be opened or read completely, or is larger than kLargestScript: "not
    // found", "is a folder", "no permission", "is larger than 64 MB" or the
    // system's reason; the image is then left exactly as it was.
    Status LoadFromFile(const std::string& path);
    // The same through an opener that keeps the last file's folder open:
    // for many files of the same folders, read one after the other.
    Status LoadFromFile(const std::string& path, FolderOpener& folders);
    // The same from bytes in memory; false (image as it was) for 2 GiB or
    // more, or when the memory runs out.
    bool LoadFromBytes(const void* bytes, std::size_t count);
    // Drops the bytes; the image is empty until the next load.
    void Release();

    bool IsLoaded() const { return loaded_; }
    // The file the bytes were read from; empty for bytes from memory.
    const std::string& Path() const { return path_; }
    const uint8_t* Data() const { return bytes_.get(); }
    // The whole file: what a save writes.
    int32_t Size() const { return static_cast<int32_t>(size_); }

    // Overwrites the payload of the integer constant parameter at `offset`
    // in its own width. False, nothing written, when no integer constant
    // starts there or its payload does not end before `end` (at most Size()).
    bool WriteIntParamAt(int64_t offset, int32_t value, int64_t end);
    // Overwrites the characters of the string constant at `offset` in place:
    // a fixed form takes up to all its bytes, the rest padded with zero
    // bytes; a length-prefixed one exactly its length. Text equal to what the
    // string holds writes nothing, so bytes after its ending zero stay.
    // False, nothing written, when no string constant starts there, for a
    // string that does not end before `end` (at most Size()), text that does
    // not fit, and text that would not start an older game's inline string.
    bool WriteStringParamAt(int64_t offset, const std::string& text, int64_t end);

private:
    // Reads the whole of an opened file (or takes its failure).
    Status LoadOpened(Result<OpenedFile> opened, const std::string& path);
    // Takes a buffer of `size` bytes as the image's.
    void Adopt(std::unique_ptr<uint8_t[]> bytes, std::size_t size);

    // Left uninitialised until read into: a script of megabytes is not first
    // filled with zeros.
    std::unique_ptr<uint8_t[]> bytes_;
    std::string path_;
    std::size_t size_ = 0;
    bool loaded_ = false;
};

}  // namespace morvane
