#include "files/searchpath.h"

#include <cstdlib>
#include <sys/stat.h>

namespace quorvel {

std::string textureFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        return {};
    }
    return std::string(home) + "/qvl";
}

std::vector<std::string> dataSearchPath() {
    std::vector<std::string> folders{"."};
    if (std::string qvl = textureFolder(); !qvl.empty()) {
        folders.push_back(std::move(qvl));
    }
#ifdef QUORVEL_DATA_DIR
    folders.emplace_back(QUORVEL_DATA_DIR);
#endif
#ifdef QUORVEL_SOURCE_RES_DIR
    folders.emplace_back(QUORVEL_SOURCE_RES_DIR);
#endif
    return folders;
}

std::string nameAsRelativePath(std::string_view name) {
    while (!name.empty() && (name.front() == '\\' || name.front() == '/')) {
        name.remove_prefix(1);
    }
    std::string relative(name);
    for (char& c : relative) {
        if (c == '\\') {
            c = '/';
        }
    }
    return relative;
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> findInFolders(const std::string& relative,
                                         const std::vector<std::string>& folders) {
    if (relative.empty()) {
        return std::nullopt;
    }
    for (const std::string& folder : folders) {
        std::string candidate = folder.empty() ? relative : folder + "/" + relative;
        if (isRegularFile(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace quorvel
