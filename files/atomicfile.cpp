#include "files/atomicfile.h"

#include "files/writetarget.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

constexpr size_t kBufferBytes = 1 << 18;

// Temporary files of every AtomicFile in the process, for signal handlers.
std::atomic<int> gTemporaryFiles{0};

// The process's file-creation mask, read without changing it (umask() would, racily).
mode_t creationMask() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    unsigned mask = 022;
    if (status) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                break;
            }
        }
        std::fclose(status);
    }
    return static_cast<mode_t>(mask);
}

// A replaced file keeps its owner and group where the process may set them (root may set
// both, an owner any group of its own), and its permissions without set-user-id and
// set-group-id: new content must not run with the old file's rights. A new file gets the
// permissions an ordinary file would.
void takeOver(int fd, const WriteTarget& target) {
    const struct stat& st = target.status;
    if (!target.exists) {
        ::fchmod(fd, 0666 & ~creationMask());
        return;
    }
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // Neither is allowed: the file becomes the writer's, as any new file would.
    }
    ::fchmod(fd, st.st_mode & 07777 & ~(S_ISUID | S_ISGID));
}

}  // namespace

AtomicFile::~AtomicFile() { discard(); }

FileStatus AtomicFile::open(const std::string& target) {
    discard();
    mTarget = target;
    mStatus = FileStatus::success();
    mComplete = false;
    mStream = target == kStandardStream;
    if (mStream) {
        // Standard output cannot be replaced as a whole: the bytes go out as they are made.
        mDestination = target;
        mFd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        if (mFd < 0) {
            failWithErrno("Cannot write", errno);
        }
        mBuffer.reserve(kBufferBytes);
        return mStatus;
    }
    WriteTarget checked;
    if (FileStatus status = checkWriteTarget(target, checked); !status.ok()) {
        mStatus = std::move(status);
        return mStatus;
    }
    mDestination = checked.destination;
    // Counted before the file exists, so that a signal never finds an uncounted one.
    gTemporaryFiles.fetch_add(1);
    mFd = createTemporaryFile(mDestination, mTemporary);
    if (mFd < 0) {
        const int error = errno;
        gTemporaryFiles.fetch_sub(1);
        failWithErrno("Cannot create", error);
        return mStatus;
    }
    takeOver(mFd, checked);
    mBuffer.reserve(kBufferBytes);
    return mStatus;
}

bool AtomicFile::write(const void* data, size_t size) {
    return write(std::span<const uint8_t>(static_cast<const uint8_t*>(data), size));
}

bool AtomicFile::write(std::span<const uint8_t> bytes) {
    if (failed() || mFd < 0) {
        return false;
    }
    mComplete = false;
    if (mBuffer.size() + bytes.size() > kBufferBytes && !flush()) {
        return false;
    }
    if (bytes.size() >= kBufferBytes) {
        mBuffer.assign(bytes.begin(), bytes.end());
        return flush();
    }
    mBuffer.insert(mBuffer.end(), bytes.begin(), bytes.end());
    return true;
}

bool AtomicFile::flush() {
    size_t done = 0;
    while (done < mBuffer.size()) {
        const ssize_t n = ::write(mFd, mBuffer.data() + done, mBuffer.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failWithErrno("Cannot write", n < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    mBuffer.clear();
    return true;
}

FileStatus AtomicFile::complete() {
    if (mFd < 0 && !failed()) {
        mStatus = FileStatus::failure("Cannot write " + quotedPath(mTarget) + ": not open.");
    }
    if (failed() || !flush()) {
        discard();
        return mStatus;
    }
    if (!mStream && !mComplete && ::fsync(mFd) != 0 && errno != EINVAL) {
        failWithErrno("Cannot write", errno);
        discard();
        return mStatus;
    }
    mComplete = true;
    return mStatus;
}

FileStatus AtomicFile::commit() {
    if (!complete().ok()) {
        return mStatus;
    }
    if (mStream) {
        const int fd = mFd;
        mFd = -1;
        if (::close(fd) != 0) {
            failWithErrno("Cannot write", errno);
        }
        return mStatus;
    }
    if (FileStatus still = checkStillReplaceable(mTarget, mDestination); !still.ok()) {
        mStatus = std::move(still);
        discard();
        return mStatus;
    }
    if (::rename(mTemporary.c_str(), mDestination.c_str()) != 0) {
        failWithErrno("Cannot replace", errno);
        discard();
        return mStatus;
    }
    // Closed only now: its lock tells other writers that the temporary file is in use until
    // the rename. fsync has reported any write error already.
    ::close(mFd);
    mFd = -1;
    mTemporary.clear();
    gTemporaryFiles.fetch_sub(1);
    syncFolderOf(mDestination);
    return mStatus;
}

void AtomicFile::discard() noexcept {
    // Removed while still locked, so that the name cannot meanwhile pass to another writer.
    if (!mTemporary.empty()) {
        ::unlink(mTemporary.c_str());
    }
    if (mFd >= 0) {
        ::close(mFd);
        mFd = -1;
    }
    if (!mTemporary.empty()) {
        mTemporary.clear();
        gTemporaryFiles.fetch_sub(1);
    }
    mBuffer.clear();
}

void AtomicFile::fail(const std::string& reason) {
    if (!failed()) {
        mStatus = FileStatus::failure("Cannot write " + quotedPath(mTarget) + ": " + reason);
    }
}

void AtomicFile::failWithErrno(const char* what, int error) {
    if (!failed()) {
        mStatus = FileStatus::failure(std::string(what) + " " + quotedPath(mTarget) + ": " +
                                      systemReason(error) + ".");
    }
}

bool temporaryFilesOpen() noexcept { return gTemporaryFiles.load() > 0; }

FileStatus writeWholeFile(const std::string& path, std::span<const uint8_t> bytes) {
    AtomicFile file;
    if (FileStatus opened = file.open(path); !opened.ok()) {
        return opened;
    }
    file.write(bytes);
    return file.commit();
}

FileStatus readWholeFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const bool input = path == kStandardStream;
    const auto refused = [&](mode_t mode) {
        return FileStatus::failure("Cannot open " + quotedPath(path) + ": it is " + fileKind(mode) +
                                   ", not a regular file.");
    };
    // A pipe or device is refused unopened; and opened without waiting, in case one replaced
    // the file meanwhile, so that nothing waits for a writer that never comes.
    struct stat st {};
    if (!input && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return refused(st.st_mode);
    }
    const int fd = input ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                         : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return FileStatus::failure("Cannot open " + quotedPath(path) + ": " + systemReason(errno) +
                                   ".");
    }
    if (::fstat(fd, &st) == 0 && (S_ISDIR(st.st_mode) || (!input && !S_ISREG(st.st_mode)))) {
        ::close(fd);
        return refused(st.st_mode);
    }
    if (!input) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    bytes.resize(limit + 1);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return FileStatus::failure("Cannot read " + quotedPath(path) + ": " +
                                       systemReason(error) + ".");
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(done);
    if (done > limit) {
        return FileStatus::failure("Cannot read " + quotedPath(path) + ": it is larger than " +
                                   std::to_string(limit) + " bytes.");
    }
    return FileStatus::success();
}

}  // namespace quorvel
