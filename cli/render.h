#pragma once

#include "cli/arguments.h"

#include <atomic>
#include <cstdio>

namespace quorvel::cli {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitFailure = 1,
    kExitUsage = 2,
};

// Renders what the arguments ask for and writes the output file. Messages go to `errors`;
// `cancel` stops the render between rows, leaving no output file. Returns the exit code.
int runRender(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel);

}  // namespace quorvel::cli
