#include "script/Patch.h"

namespace morvane {

void PatchImage(ScriptImage& image, const std::vector<KeyOccurrence>& occurrences) {
    for (const KeyOccurrence& occurrence : occurrences) {
        if (occurrence.offset < 0 || !image.Seek(static_cast<int64_t>(occurrence.offset) + kOpcodeWordSize)) continue;
        switch (occurrence.kind) {
            case KeyTestKind::VKey: image.WriteIntParam(occurrence.key); break;
            case KeyTestKind::Button:
                image.WriteIntParam(occurrence.pad);
                image.WriteIntParam(occurrence.key);
                break;
            case KeyTestKind::Cheat: image.WriteStringParam(occurrence.code); break;
        }
    }
}

}  // namespace morvane
