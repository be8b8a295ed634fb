#include "script/StartedScripts.h"

#include <algorithm>

#include "script/ScriptReader.h"

namespace morvane {

std::vector<std::string> StartedScripts(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked) {
    std::vector<std::string> names;
    std::vector<KeyTest> ignored;
    WalkScannedCode(image, walked, [&](ScriptReader& reader) {
        const uint16_t opcode = reader.PeekOpcode();
        if (opcode == kStartCustomScript || opcode == kLaunchCustomMission) {
            ScriptReader name = reader;
            name.ReadOpcode();
            StringConstant text;
            if (table.Find(opcode) != nullptr && name.ReadStringParam(text) && !text.text.empty()) {
                std::string file = text.text;
                const std::size_t slash = file.find_last_of("/\\");
                const bool hasExtension =
                    file.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
                if (opcode == kLaunchCustomMission && !hasExtension) file += kCustomMissionExtension;
                if (std::find(names.begin(), names.end(), file) == names.end()) names.push_back(file);
            }
        }
        uint16_t read = 0;
        ignored.clear();
        return WalkInstruction(reader, table, read, ignored) != nullptr;
    });
    return names;
}

}  // namespace morvane
