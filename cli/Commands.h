#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Options.h"

namespace morvane::cli {

// Exit statuses.
constexpr int kExitDone = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

int RunList(const Options& options, std::ostream& out, std::ostream& err);
int RunRemap(const Options& options, std::ostream& out, std::ostream& err);
int RunKeys(const Options& options, std::ostream& out, std::ostream& err);

// One run of morvane-cli on the arguments after the program name: a usage
// error is told on `err` followed by the usage, and gives kExitUsage;
// otherwise the command named runs and its status is returned. Each call
// starts afresh (what a run assumed or warned about is said again).
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morvane::cli
