#pragma once

#include <ostream>

#include "cli/Options.h"

namespace morvane::cli {

// Exit statuses.
constexpr int kExitDone = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

int RunList(const Options& options, std::ostream& out, std::ostream& err);
int RunRemap(const Options& options, std::ostream& out, std::ostream& err);
int RunKeys(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace morvane::cli
