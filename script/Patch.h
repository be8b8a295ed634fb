#pragma once

#include <cstdint>
#include <vector>

#include "script/KeyScan.h"
#include "script/ScriptImage.h"

namespace morvane {

// Writes every test's pad and key back into the image, each in the
// width its parameter already has (a key kept in a variable into each of the
// variable's assignments; one whose value could not be told nowhere), and every cheat test's code into its
// string's place, padded with zero bytes (see ScriptImage::WriteStringParamAt).
// Nothing at or after `codeEnd` (the end of the code the scan walked: a
// debug footer after it stays as it is) is written. A parameter that is not
// an integer constant (or, for a cheat, a string constant), a test whose
// offset lies outside the code, and a code that does not fit are left as
// they are; each parameter is written or left on its own, and nothing ever moves.
void PatchImage(ScriptImage& image, const std::vector<KeyTest>& tests, int32_t codeEnd);

}  // namespace morvane
