#pragma once

#include "cli/arguments.h"
#include "engine/textureparams.h"
#include "files/exportformat.h"

#include <atomic>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace quorvel::cli {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitFailure = 1,
    kExitUsage = 2,
};

// The whole program after its signal set-up: parses the arguments after the program's name and
// answers --help and --version on `out`, or renders. Returns the exit code.
int runCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* errors,
                   const std::atomic<bool>& cancel);

// Renders what the arguments ask for and writes the output files. Messages go to `errors`;
// `cancel` stops the render between rows, leaving no output file. Returns the exit code.
int runRender(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel);

// Writes one record to `path` in `format`, at the size the arguments choose (--size,
// --thumbnail, else the record's own), with a progress bar on a terminal. Returns the exit
// code after reporting any failure.
int writeTexture(TextureParams record, const std::string& path, ExportFormat format,
                 const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel);

// "quorvel-render: error: MESSAGE" on one line; returns `code`. Messages quote names from
// files and command lines, so control characters are escaped (escapedText), here and in notes.
int report(std::FILE* errors, std::string message, int code);

// "quorvel-render: note: MESSAGE" on one line.
void note(std::FILE* errors, const std::string& message);

}  // namespace quorvel::cli
