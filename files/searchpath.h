#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The user's texture folder, ~/qvl: where a name with a leading backslash ("\marble.qvl") is
// looked for first. Empty when the home folder is unknown.
std::string textureFolder();

// share/quorvel beside the running program's bin/ folder; empty when the program's own path is
// unknown.
std::string installedDataFolder();

// Folders searched for data files by name, in order: the current folder, the texture folder,
// the data folder beside the program, the configured installation's data folder and, only for
// a program run from inside its build tree, the build's data folder (generated and copied
// files, laid out as installed) and the source tree's res/ folder.
std::vector<std::string> dataSearchPath();

// A stored name as a relative path: without its leading backslashes, with '\' as a separator.
std::string nameAsRelativePath(std::string_view name);

// The first folder of `folders` holding a regular file `relative`, joined with it. None for a
// name with a ".." part: a name read from a file must not lead out of the folders searched.
std::optional<std::string> findInFolders(const std::string& relative,
                                         const std::vector<std::string>& folders);

bool isRegularFile(const std::string& path);

}  // namespace quorvel
