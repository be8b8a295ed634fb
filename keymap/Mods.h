#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

// A mod as the game loads it: the scripts that make it up, and the name a
// player knows it by.
struct Mod {
    std::string name;
    std::vector<std::size_t> scripts;  // indices into the scripts given, in their order
    // Other copies of the same mod, by their names: each of its scripts is
    // there again with the same bytes (a mod installed twice).
    std::vector<std::string> copies;
};

// What grouping needs of one script: its path, the names of the scripts it
// starts (as it writes them) and its bytes' size and fingerprint.
struct ScriptFacts {
    std::string path;
    std::vector<std::string> starts;
    uint64_t size = 0;
    uint64_t fingerprint = 0;
    bool read = false;
};

// A fingerprint of bytes, to tell copies of one file (FNV-1a, 64 bits).
uint64_t Fingerprint(const uint8_t* data, std::size_t size);

// Groups scripts into mods as the game loads them:
// - each folder directly inside a `modloader` folder (any case) is one mod,
//   named after that folder;
// - a script directly in a `cleo` folder (any case) and every script it
//   starts by name, and they start in turn, are one mod named after it; a
//   name is resolved as the game does, relative to the game folder (the one
//   the cleo folder is in: "CLEO\\mod\\x.cs") or to the cleo folder, with
//   either slash, in any case;
// - the scripts of a subfolder of `cleo` that no such name starts are one mod,
//   named after the subfolder;
// - any other script is a mod of its own, named after its file.
// Mods whose every script has a copy with the same bytes (of a known size
// above 0) in another mod are
// one mod installed twice: the first keeps them all, the others are named
// among its copies. Returns the mods in the order of their first script, and
// for each script the index of its mod.
std::vector<Mod> GroupIntoMods(const std::vector<ScriptFacts>& scripts, std::vector<std::size_t>& modOf);

}  // namespace morvane
