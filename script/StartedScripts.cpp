#include "script/StartedScripts.h"

#include <algorithm>

#include "script/ScriptReader.h"

namespace morvane {

std::vector<std::string> StartedScripts(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked) {
    std::vector<std::string> names;
    ScriptReader reader(image);
    if (!reader.LimitTo(walked.code.end) || !reader.Seek(walked.code.start)) return names;
    auto block = walked.dataBlocks.begin();
    std::vector<KeyTest> ignored;
    while (reader.Inside()) {
        while (block != walked.dataBlocks.end() && block->begin < reader.Position()) ++block;
        if (block != walked.dataBlocks.end() && block->begin == reader.Position()) {
            reader.Seek(block->end);
            continue;
        }
        const int32_t start = reader.Position();
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
        if (WalkInstruction(reader, table, read, ignored) == nullptr || reader.Position() == start) break;
    }
    return names;
}

}  // namespace morvane
