// Sanny Builder's mode file reader on arbitrary text: it must end without a
// crash, give a cause whenever it refuses the text, give entries without the
// white space around them, and give the same entries when read twice; each
// entry then resolves to files under a folder that does not exist to none.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "opcodes/SannyBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* tag : {"opcodes", "library"}) {
        const morvane::Result<std::vector<std::string>> read = morvane::ReadModeEntries(text, tag);
        if (!read && read.Cause().empty()) std::abort();
        if (!read) continue;
        const morvane::Result<std::vector<std::string>> again = morvane::ReadModeEntries(text, tag);
        if (!again || *again != *read) std::abort();
        for (const std::string& entry : *read) {
            if (entry.empty() || entry.front() == ' ' || entry.back() == ' ') std::abort();
            if (!morvane::ResolveModePath("/nonexistent-morvane-folder", entry).empty()) std::abort();
        }
    }
    return 0;
}
