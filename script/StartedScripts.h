#pragma once

#include <string>
#include <vector>

#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"
#include "script/ScriptImage.h"

namespace morvane {

// CLEO's opcodes that start another script file by name: a custom script
// (its name as written, "CLEO\\SpiderJ16D\\m_bp.cs") and a custom mission (a
// name without an extension is a ".cm" file).
constexpr uint16_t kStartCustomScript = 0x0A92;
constexpr uint16_t kLaunchCustomMission = 0x0A94;
constexpr const char* kCustomMissionExtension = ".cm";

// The file names the walked code starts, as the script writes them, in the
// order met, each once; a custom mission's with its extension. A name built
// in a variable is none.
std::vector<std::string> StartedScripts(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked);

}  // namespace morvane
