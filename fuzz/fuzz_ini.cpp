// The opcode INI loader on arbitrary text: it must end, keep the table at its
// fixed size, and agree with itself when the same text is loaded twice.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "opcodes/IniLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    morvane::OpcodeTable first;
    morvane::OpcodeTable second;
    morvane::ParseOpcodeIni(text, morvane::kGameSanAndreas, first);
    if (first.Size() != static_cast<std::size_t>(morvane::kOpcodeTableSize)) std::abort();
    second.Set(5, 9);  // a load resets whatever came before
    morvane::ParseOpcodeIni(text, morvane::kGameSanAndreas, second);
    for (std::size_t i = 0; i < first.Size(); ++i) {
        if (first.Entries()[i].known != second.Entries()[i].known ||
            first.Entries()[i].parameterCount != second.Entries()[i].parameterCount ||
            first.Entries()[i].role != second.Entries()[i].role)
            std::abort();
        if (!first.Entries()[i].known && first.Entries()[i].parameterCount != 0) std::abort();
    }
    return 0;
}
