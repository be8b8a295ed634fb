#pragma once

#include <vector>

#include "script/KeyScan.h"
#include "script/ScriptImage.h"

namespace morvane {

// Writes every occurrence's pad and key back into the image, each in the
// width its parameter already has, and every cheat test's code into its
// string's place, padded with zero bytes (see ScriptImage::WriteStringParam).
// An occurrence whose offset lies outside the image, whose parameters are not
// integer constants or a string constant, or whose code does not fit, changes
// nothing: nothing ever moves.
void PatchImage(ScriptImage& image, const std::vector<KeyOccurrence>& occurrences);

}  // namespace morvane
