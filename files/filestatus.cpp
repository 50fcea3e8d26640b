#include "files/filestatus.h"

#include <cctype>
#include <cstring>

namespace quorvel {

std::string quotedPath(const std::string& path) { return "'" + path + "'"; }

std::string systemReason(int error) {
    std::string reason = std::strerror(error);
    if (!reason.empty()) {
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    }
    return reason;
}

}  // namespace quorvel
