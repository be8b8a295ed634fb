#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "script/KeyTest.h"

namespace morvane {

// "Every test of this key gets that key": VKey tests whose VKey is `from`, or
// button tests whose game key is `from` (on one pad, or on any without `pad`).
struct KeyChange {
    KeyTestKind kind = KeyTestKind::VKey;
    std::optional<int32_t> pad;
    int32_t from = 0;
    int32_t to = 0;
};

struct ChangeReport {
    std::size_t changed = 0;  // tests that took the new key
    std::vector<std::size_t>
        refused;  // tests the key rules kept from it (an 8-bit parameter and a VKey of 128 or more)
};

// Applies a change to the tests as they were read (`read`), writing into
// `result` (the same tests, in the same order, possibly changed by earlier
// changes). A test the key rules refuse keeps what `result` holds. Used by the
// window's Change all and by morvane-cli's --vkey and --button rules.
ChangeReport ApplyKeyChange(const std::vector<KeyTest>& read, std::vector<KeyTest>& result, const KeyChange& change);

}  // namespace morvane
