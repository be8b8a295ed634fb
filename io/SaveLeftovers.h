#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

// A temporary file of a save that did not finish (the program was killed,
// the power went), found beside the files it was for.
struct SaveLeftover {
    std::string path;
    // The name of the file the save was for, as the temporary file's name
    // tells it (see TemporaryFileName); empty when it does not tell (a save
    // of an older version). `nameCut`: only the name's beginning is there.
    std::string forName;
    bool nameCut = false;
    uint64_t bytes = 0;
    int64_t ageSeconds = 0;  // since it was last written
};

// The temporary files of saves in `folder` ("" is the working folder) that
// no save is writing now, in the order of their names: a running save
// holds a lock on its temporary file (on Windows, the file open to itself
// alone), which a leftover has lost with its program. Nothing is removed;
// a folder that cannot be listed has none.
std::vector<SaveLeftover> FindSaveLeftovers(const std::string& folder);

// What the window and the command line say of one, after its path: "left by
// a save of main.scm that did not finish (1204 bytes, 3 minutes old); not
// removed: delete it when no program is saving into this folder".
std::string SaveLeftoverText(const SaveLeftover& leftover);

// Whether a save is writing the temporary file at `path` now. Defined
// beside the save of each system (SafeWritePosix.cpp, SafeWriteWindows.cpp),
// which holds what it tests.
bool SaveStillWriting(const std::string& path);

}  // namespace morvane
