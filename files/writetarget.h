#pragma once

#include "files/filestatus.h"

#include <string>

#include <sys/stat.h>

namespace quorvel {

// What the atomic writer checks about the file it replaces, and the temporary file it writes
// first.

struct WriteTarget {
    std::string destination;  // the file replaced: the target, symbolic links resolved
    bool exists = false;
    struct stat status {};  // the existing file's owner, group and mode
};

// What a file of this type is, for messages: "a folder", "a device", "a named pipe"...
const char* fileKind(mode_t mode) noexcept;

// Checks that `target` may be replaced, as cp would write it: it is missing, or a regular file
// (directly or through symbolic links) that the process may open for writing. Refuses a
// folder, device, named pipe or socket, a link to nothing and a link loop, with a message
// naming `target`; nothing is opened or written.
FileStatus checkWriteTarget(const std::string& target, WriteTarget& checked);

// Checks, just before the rename, that the destination is still a regular file or missing.
FileStatus checkStillReplaceable(const std::string& target, const std::string& destination);

// The hidden temporary name for the file `name` in `folder`: ".NAME.quorvel-part", the name
// cut at a character boundary where needed so that the name, and the ".XXXXXX" added when
// another writer holds it, fit the folder's longest file name.
std::string temporaryName(const std::string& folder, const std::string& name);

// Creates the temporary file for `destination`, open for writing, close-on-exec and locked
// for as long as it is open. A file of that name left by a writer that was killed (no longer
// locked) is removed and its name reused; when a live writer holds the name, a unique name is
// made from it. Returns the descriptor and sets `path`, or returns -1 with errno set.
int createTemporaryFile(const std::string& destination, std::string& path);

// Makes a rename in the folder of `path` durable. Failures are ignored: the rename is done.
void syncFolderOf(const std::string& path) noexcept;

}  // namespace quorvel
