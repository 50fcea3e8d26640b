#pragma once

#include <string>
#include <utility>

namespace quorvel {

// The outcome of a file operation: empty on success, else a message for the user that names
// the file and the reason.
struct [[nodiscard]] FileStatus {
    std::string message;

    bool ok() const noexcept { return message.empty(); }
    static FileStatus success() { return {}; }
    static FileStatus failure(std::string text) { return FileStatus{std::move(text)}; }
};

// "'path'" as messages quote file names, control characters escaped (escapedText).
std::string quotedPath(const std::string& path);

// The reason the last system call failed, from errno, as a sentence fragment.
std::string systemReason(int error);

}  // namespace quorvel
