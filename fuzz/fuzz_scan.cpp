// Load, scan and patch on arbitrary bytes, for each game, with or without the
// header skip: the scan must end at the end of the image, every occurrence
// must lie inside it, patching every occurrence with its own values must
// leave every byte as it was, and no patch may change the length.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "opcodes/IniLoader.h"
#include "script/Patch.h"

namespace {

const morvane::OpcodeTable& Table() {
    static morvane::OpcodeTable table = [] {
        morvane::OpcodeTable t;
        morvane::ParseOpcodeIni(
            "[x]\n0000=0\n0001=1\n0002=1\n0004=2\n0005=2\n004F=-1\n00BC=3\n00D6=1\n00E1=2\n0107=4\n"
            "05EE=1\n0A92=-1\n0AB0=1\n0BFF=2\n",
            t);
        return t;
    }();
    return table;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace morvane;
    for (GameId game = 0; game < kGameCount; ++game) {
        for (bool header : {false, true}) {
            ScriptImage image;
            image.game = game;
            Check(image.LoadFromBytes(data, size));
            std::vector<KeyOccurrence> found;
            int32_t lastReport = -1;
            ScanKeyOccurrences(image, Table(), header, found, [&](int32_t at) {
                Check(at > lastReport && at < image.size);
                lastReport = at;
            });
            Check(!image.CursorInside() && image.Position() == image.size);
            for (const KeyOccurrence& o : found) {
                Check(o.offset >= 0 && o.offset + kOpcodeWordSize < image.size);
                Check(o.isVKey ? o.pad == -1 : (o.pad == 0 || o.pad == 1) && !o.wide);
            }
            PatchImage(image, found);
            Check(image.size == static_cast<int32_t>(size));
            Check(size == 0 || std::memcmp(image.data, data, size) == 0);

            // Any other values change only bytes inside the image, never its length.
            for (KeyOccurrence& o : found) {
                o.key ^= 0x5A5A;
                o.pad ^= 1;
            }
            PatchImage(image, found);
            Check(image.size == static_cast<int32_t>(size));
        }
    }
    return 0;
}
