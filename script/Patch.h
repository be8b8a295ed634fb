#pragma once

#include <vector>

#include "script/KeyScan.h"
#include "script/ScriptImage.h"

namespace morvane {

// Writes every occurrence's pad and key back into the image, each in the
// width its parameter already has. An occurrence whose offset lies outside the
// image, or whose parameters are not integer constants, changes nothing.
void PatchImage(ScriptImage& image, const std::vector<KeyOccurrence>& occurrences);

}  // namespace morvane
