// The command-library JSON loader on arbitrary text: it must end without a
// crash, leave the table as it was when it refuses the text (with a cause),
// and agree with itself when the same text is loaded twice.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "opcodes/OpcodeJson.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    morvane::OpcodeTable first;
    first.Reset(morvane::kGameSanAndreas);
    first.Set(5, 9);
    const morvane::Status a = morvane::ParseOpcodeJson(text, morvane::kGameSanAndreas, first);
    if (!a && (a.Cause().empty() || first.Find(5) == nullptr || first.Find(5)->parameterCount != 9)) std::abort();
    morvane::OpcodeTable second;
    const morvane::Status b = morvane::ParseOpcodeJson(text, morvane::kGameSanAndreas, second);
    if (a.Ok() != b.Ok()) std::abort();
    if (a) {
        for (std::size_t i = 0; i < first.Size(); ++i)
            if (first.Entries()[i].known != second.Entries()[i].known ||
                first.Entries()[i].parameterCount != second.Entries()[i].parameterCount)
                std::abort();
    }
    return 0;
}
