#pragma once

#include "cli/arguments.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace quorvel::cli {

// Renders the entries of --library (or only --entry) into --out-dir as NAME.EXT. An entry whose
// texture file cannot be read is rendered from the Marble defaults, with a note on `errors`.
// Returns the exit code: 1 when any entry failed.
int renderLibrary(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel);

// Output file names for library entries: each entry's file name without folders and without a
// .qvl ending, made portable (portableFileName), then the extension; "entryN" for an empty
// name; "-2", "-3"... where names repeat. Linear in the number of entries.
std::vector<std::string> outputNames(const std::vector<std::string>& entryNames,
                                     std::string_view extension);

}  // namespace quorvel::cli
