#pragma once

#include "cli/arguments.h"
#include "engine/textureparams.h"
#include "files/exportformat.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace quorvel::cli {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitFailure = 1,
    kExitUsage = 2,
};

// Renders what the arguments ask for and writes the output files. Messages go to `errors`;
// `cancel` stops the render between rows, leaving no output file. Returns the exit code.
int runRender(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel);

// Writes one record to `path` in `format`, at the size the arguments choose (--size,
// --thumbnail, else the record's own), with a progress bar on a terminal. Returns the exit
// code after reporting any failure.
int writeTexture(TextureParams record, const std::string& path, ExportFormat format,
                 const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel);

// "quorvel-render: error: MESSAGE" on one line; returns `code`.
int report(std::FILE* errors, std::string message, int code);

}  // namespace quorvel::cli
