#include "files/writetarget.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace quorvel {

namespace {

constexpr const char* kTemporaryMark = ".quorvel-part";
constexpr size_t kUniqueSuffix = 7;  // ".XXXXXX"

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

FileStatus refuse(const std::string& target, const std::string& reason) {
    return FileStatus::failure("Cannot write " + quotedPath(target) + ": " + reason);
}

// A temporary file left by a writer that ended without removing it: a regular file whose lock
// nobody holds. Removes it and says whether it did.
bool removeIfStale(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat opened {};
    struct stat named {};
    // The name must still lead to the file locked: another writer may have removed it and
    // made a new one meanwhile.
    const bool stale = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                       ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                       named.st_dev == opened.st_dev && named.st_ino == opened.st_ino &&
                       ::unlink(path.c_str()) == 0;
    ::close(fd);
    return stale;
}

// Creates `path` and locks it; -1 when it exists or another writer got in between.
int createLocked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        // A writer checking for stale files holds it, and removes it.
        ::close(fd);
        errno = EEXIST;
        return -1;
    }
    if (::fstat(fd, &st) == 0 && st.st_nlink == 0) {
        ::close(fd);
        errno = EEXIST;
        return -1;
    }
    return fd;
}

}  // namespace

const char* fileKind(mode_t mode) noexcept {
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISLNK(mode))
        return "a symbolic link";
    return "not a regular file";
}

FileStatus checkWriteTarget(const std::string& target, WriteTarget& checked) {
    checked = WriteTarget{target, false, {}};
    struct stat link {};
    if (::lstat(target.c_str(), &link) != 0) {
        return errno == ENOENT ? FileStatus::success() : refuse(target, systemReason(errno) + ".");
    }
    struct stat& st = checked.status;
    st = link;
    if (S_ISLNK(link.st_mode)) {
        char* real = ::realpath(target.c_str(), nullptr);
        if (!real) {
            return refuse(target, errno == ELOOP    ? "its symbolic links form a loop."
                                  : errno == ENOENT ? "it is a symbolic link to nothing."
                                                    : systemReason(errno) + ".");
        }
        checked.destination = real;
        std::free(real);
        if (::stat(checked.destination.c_str(), &st) != 0) {
            return refuse(target, systemReason(errno) + ".");
        }
    }
    if (!S_ISREG(st.st_mode)) {
        return refuse(target, std::string(S_ISLNK(link.st_mode) ? "it links to " : "it is ") +
                                  fileKind(st.st_mode) + ", not a regular file.");
    }
    // The same test as opening it for writing, with the same answer for root.
    if (::faccessat(AT_FDCWD, checked.destination.c_str(), W_OK, AT_EACCESS) != 0) {
        return refuse(target, systemReason(errno) + ".");
    }
    checked.exists = true;
    return FileStatus::success();
}

FileStatus checkStillReplaceable(const std::string& target, const std::string& destination) {
    struct stat st {};
    if (::lstat(destination.c_str(), &st) != 0 || S_ISREG(st.st_mode)) {
        return FileStatus::success();
    }
    return FileStatus::failure("Cannot replace " + quotedPath(target) + ": it is now " +
                               fileKind(st.st_mode) + ", not a regular file.");
}

std::string temporaryName(const std::string& folder, const std::string& name) {
    long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest <= 0) {
        longest = NAME_MAX;
    }
    const size_t fixed = 1 + std::char_traits<char>::length(kTemporaryMark) + kUniqueSuffix;
    const size_t room =
        static_cast<size_t>(longest) > fixed ? static_cast<size_t>(longest) - fixed : 0;
    size_t keep = std::min(name.size(), room);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    return "." + name.substr(0, keep) + kTemporaryMark;
}

int createTemporaryFile(const std::string& destination, std::string& path) {
    const std::string folder = folderOf(destination);
    const std::string fixed = folder + "/" + temporaryName(folder, nameOf(destination));
    int fd = createLocked(fixed);
    bool taken = fd < 0 && errno == EEXIST;
    if (taken && removeIfStale(fixed)) {
        fd = createLocked(fixed);
        taken = fd < 0 && errno == EEXIST;
    }
    if (fd >= 0) {
        path = fixed;
        return fd;
    }
    if (!taken) {
        return -1;
    }
    std::string pattern = fixed + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        path = name.data();
    }
    return fd;
}

void syncFolderOf(const std::string& path) noexcept {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace quorvel
