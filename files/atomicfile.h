#pragma once

#include "files/filestatus.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

// "-": as a target, standard output; as a file to read, standard input.
inline constexpr const char* kStandardStream = "-";

// Writes a file so that it appears complete or not at all: the bytes go to a temporary file in
// the target's folder, which replaces the target only on commit(). A write that fails, or an
// object destroyed without commit(), removes the temporary file and leaves any existing target
// exactly as it was. The first failure is kept; later writes do nothing. Only a regular file
// the process may write is replaced (checkWriteTarget); it keeps its owner and group where the
// process may set them, and loses set-user-id and set-group-id. The temporary file is
// ".NAME.quorvel-part" (temporaryName); one left by a killed writer is removed by the next
// write of the same target.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file for `target`. Fails with a message naming the target when its
    // folder does not exist or cannot be written, or the target may not be replaced. The target "-"
    // is standard output, written as the bytes come (a pipe cannot be replaced whole).
    FileStatus open(const std::string& target);

    // Appends bytes (buffered). Returns false once anything has failed; status() says why.
    bool write(std::span<const uint8_t> bytes);
    bool write(const void* data, size_t size);

    // Flushes and syncs the temporary file without renaming it, so that a caller writing several
    // files can see every one complete before any replaces its target. On failure the
    // temporary file is dropped.
    FileStatus complete();

    // Completes the temporary file (when complete() has not) and renames it over the target,
    // then syncs the folder.
    FileStatus commit();

    // Drops the temporary file; the target stays as it was.
    void discard() noexcept;

    // Records a failure found by the caller (for instance an encoder's error), so that commit()
    // refuses and the message reaches the user.
    void fail(const std::string& reason);

    const FileStatus& status() const noexcept { return mStatus; }
    const std::string& target() const noexcept { return mTarget; }
    bool failed() const noexcept { return !mStatus.ok(); }

private:
    bool flush();
    void failWithErrno(const char* what, int error);

    std::string mTarget;       // as named by the caller, for messages
    std::string mDestination;  // the file actually replaced: the target, links resolved
    std::string mTemporary;
    int mFd = -1;
    std::vector<uint8_t> mBuffer;
    FileStatus mStatus;
    bool mStream = false;    // writing standard output
    bool mComplete = false;  // flushed and synced; only the rename is left
};

// Whether any AtomicFile of the process holds a temporary file; safe in a signal handler. A
// program ended while none does leaves nothing behind.
bool temporaryFilesOpen() noexcept;

// Writes `bytes` as the whole file `path` through an AtomicFile.
FileStatus writeWholeFile(const std::string& path, std::span<const uint8_t> bytes);

// Reads a whole file of at most `limit` bytes. A larger file fails with a message; `bytes` then
// holds the first limit + 1 bytes so the caller can tell the sizes apart. Anything but a
// regular file (a named pipe, device, socket or folder, directly or through links) is refused
// before a byte is read, without waiting on it; "-" reads standard input, whatever it is.
FileStatus readWholeFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes);

}  // namespace quorvel
