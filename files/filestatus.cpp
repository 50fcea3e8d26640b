#include "files/filestatus.h"

#include "files/filenames.h"

#include <cctype>
#include <cstring>

namespace quorvel {

// A name from a hostile file or command line reaches terminals and message boxes only escaped.
std::string quotedPath(const std::string& path) { return "'" + escapedText(path) + "'"; }

std::string systemReason(int error) {
    std::string reason = std::strerror(error);
    if (!reason.empty()) {
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    }
    return reason;
}

}  // namespace quorvel
