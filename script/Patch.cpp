#include "script/Patch.h"

#include "script/ScriptReader.h"

namespace morvane {

void PatchImage(ScriptImage& image, const std::vector<KeyTest>& tests, int32_t codeEnd) {
    for (const KeyTest& test : tests) {
        if (test.offset < 0) continue;
        const int64_t first = static_cast<int64_t>(test.offset) + kOpcodeWordSize;
        switch (test.kind) {
            case KeyTestKind::VKey:
                // A key kept in a variable is written where the script sets it.
                if (!test.KeyInVariable())
                    image.WriteIntParamAt(first, test.key, codeEnd);
                else if (test.Changeable())
                    for (const int32_t at : test.keyAt) image.WriteIntParamAt(at, test.key, codeEnd);
                break;
            case KeyTestKind::Button: {
                // The key follows the pad where a read of the pad ends, as the scan read them.
                ScriptReader pad(image);
                int32_t read = 0;
                if (!pad.LimitTo(codeEnd) || !pad.Seek(first)) break;
                pad.ReadUnsignedParam(read);
                image.WriteIntParamAt(first, test.pad, codeEnd);
                image.WriteIntParamAt(pad.Position(), test.key, codeEnd);
                break;
            }
            case KeyTestKind::Cheat: image.WriteStringParamAt(first, test.code, codeEnd); break;
            case KeyTestKind::Touch:
            case KeyTestKind::SlideFrom:
            case KeyTestKind::SlideTo:
            case KeyTestKind::Widget: {
                // The zone or widget stands after the parameters before it, as the scan read them.
                ScriptReader reader(image);
                if (!reader.LimitTo(codeEnd) || !reader.Seek(first)) break;
                bool before = true;
                for (int32_t index = 0; before && index < TouchParameterIndex(test.kind); ++index)
                    before = reader.SkipParam();
                if (before) image.WriteIntParamAt(reader.Position(), test.key, codeEnd);
                break;
            }
        }
    }
}

}  // namespace morvane
