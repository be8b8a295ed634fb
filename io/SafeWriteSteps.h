#pragma once

// For tests only: a save can be stopped at each of its steps, so that a test
// signals it or looks at the folder at a known moment instead of guessing one.
// No part of the program includes this header or sets the hook; without it a
// save only tests a null pointer at each step.

namespace morvane {

// The steps of WriteFileSafely after which the hook is called.
enum class SaveStep {
    TemporaryMade,  // the temporary file exists beside the target, still empty
    Written,        // every byte is in the temporary file, flushed and closed
    Renamed,        // the temporary file has replaced the target
};

// Called by the saving thread after each step; on POSIX systems the ending
// signals (SIGINT, SIGTERM, SIGHUP) reach the save during the call, as they
// would between steps. It may wait as long as it likes; the save goes on when
// it returns.
using SaveStepHook = void (*)(SaveStep step);

// Sets the hook for every later save, or none with nullptr. Set it while no
// save runs (before starting threads or forking a child that saves).
void SetSaveStepHookForTests(SaveStepHook hook);

}  // namespace morvane
