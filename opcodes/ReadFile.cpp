#include "opcodes/ReadFile.h"

#include <cstdio>
#include <memory>

namespace morvane {

bool ReadWholeFile(const std::string& path, std::string& contents) {
    if (path.empty()) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return false;
    std::string text;
    char chunk[16384];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        text.append(chunk, got);
        if (got < sizeof chunk) break;
    }
    if (std::ferror(file.get())) return false;
    contents.swap(text);
    return true;
}

}  // namespace morvane
