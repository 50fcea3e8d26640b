#include "files/atomicfile.h"

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

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

// A new file gets the permissions an ordinary file would; a replaced one keeps its own.
mode_t modeFor(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        return st.st_mode & 07777;
    }
    return 0666 & ~creationMask();
}

// Writing through a symbolic link replaces the file it points to, not the link.
std::string resolvedTarget(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(target.c_str(), nullptr)) {
            std::string resolved = real;
            std::free(real);
            return resolved;
        }
    }
    return target;
}

}  // namespace

AtomicFile::~AtomicFile() { discard(); }

FileStatus AtomicFile::open(const std::string& target) {
    discard();
    mTarget = target;
    mStatus = FileStatus::success();
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
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        mStatus = FileStatus::failure("Cannot write " + quotedPath(target) + ": it is a folder.");
        return mStatus;
    }
    mDestination = resolvedTarget(target);
    std::string pattern = folderOf(mDestination) + "/." + nameOf(mDestination) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    mFd = ::mkstemp(name.data());
    if (mFd < 0) {
        failWithErrno("Cannot create", errno);
        return mStatus;
    }
    mTemporary = name.data();
    ::fchmod(mFd, modeFor(mDestination));
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

FileStatus AtomicFile::commit() {
    if (mFd < 0 && !failed()) {
        mStatus = FileStatus::failure("Cannot write " + quotedPath(mTarget) + ": not open.");
    }
    if (failed()) {
        discard();
        return mStatus;
    }
    if (!flush()) {
        discard();
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
    if (::fsync(mFd) != 0 && errno != EINVAL) {
        failWithErrno("Cannot write", errno);
        discard();
        return mStatus;
    }
    const int fd = mFd;
    mFd = -1;
    if (::close(fd) != 0) {
        failWithErrno("Cannot write", errno);
        discard();
        return mStatus;
    }
    if (::rename(mTemporary.c_str(), mDestination.c_str()) != 0) {
        failWithErrno("Cannot replace", errno);
        discard();
        return mStatus;
    }
    mTemporary.clear();
    return mStatus;
}

void AtomicFile::discard() noexcept {
    if (mFd >= 0) {
        ::close(mFd);
        mFd = -1;
    }
    if (!mTemporary.empty()) {
        ::unlink(mTemporary.c_str());
        mTemporary.clear();
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
    const int fd = path == kStandardStream ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                                           : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FileStatus::failure("Cannot open " + quotedPath(path) + ": " + systemReason(errno) +
                                   ".");
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return FileStatus::failure("Cannot open " + quotedPath(path) + ": it is a folder.");
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
