#include "script/Patch.h"

namespace morvane {

void PatchImage(ScriptImage& image, const std::vector<KeyTest>& tests) {
    for (const KeyTest& test : tests) {
        if (test.offset < 0 || !image.Seek(static_cast<int64_t>(test.offset) + kOpcodeWordSize)) continue;
        switch (test.kind) {
            case KeyTestKind::VKey: image.WriteIntParam(test.key); break;
            case KeyTestKind::Button:
                image.WriteIntParam(test.pad);
                image.WriteIntParam(test.key);
                break;
            case KeyTestKind::Cheat: image.WriteStringParam(test.code); break;
        }
    }
}

}  // namespace morvane
