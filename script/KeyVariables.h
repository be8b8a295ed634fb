#pragma once

#include <cstddef>
#include <vector>

#include "opcodes/OpcodeTable.h"
#include "script/KeyScan.h"
#include "script/ScriptImage.h"

namespace morvane {

// Opcodes that set a variable to an integer constant: a global one
// (`$var = 77`) and a local one (`0@ = 77`).
constexpr uint16_t kSetGlobalInt = 0x0004;
constexpr uint16_t kSetLocalInt = 0x0006;
// Calls that set the first locals of what they start or call from their
// arguments: CLEO's call of a function (label, argument count, arguments)
// and a new script of the same file (label, then its arguments).
constexpr uint16_t kCallFunction = 0x0AB1;
constexpr uint16_t kStartNewScript = 0x004F;

// Tells the key of every VKey test from tests[from] on whose key is kept in a
// variable, where that can be told for sure: a local variable of a custom
// script, or a global variable of a main script, that the walked code sets
// only by assignments of one and the same integer constant and otherwise
// only reads in key tests. Such a test gets that key, `setAt` and `keyAt`
// (where a new key is written), and is as wide as the narrowest of those
// constants. Every other one keeps kNoKey and says in `unresolved` why: the
// variable is set to two values, changed or used by another instruction,
// set by a call, never set to a number, a timer, of another scope, or the
// walk met instructions the table does not know.
void ResolveKeyVariables(const ScriptImage& image, const OpcodeTable& table, const ScanSummary& walked,
                         std::vector<KeyTest>& tests, std::size_t from);

}  // namespace morvane
