#include "script/Patch.h"

namespace morvane {

void PatchImage(ScriptImage& image, const std::vector<KeyOccurrence>& occurrences) {
    for (const KeyOccurrence& occurrence : occurrences) {
        if (occurrence.offset < 0 || !image.Seek(static_cast<int64_t>(occurrence.offset) + kOpcodeWordSize)) continue;
        if (occurrence.IsVKey()) {
            image.WriteIntParam(occurrence.key);
        } else {
            image.WriteIntParam(occurrence.pad);
            image.WriteIntParam(occurrence.key);
        }
    }
}

}  // namespace morvane
