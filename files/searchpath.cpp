#include "files/searchpath.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace quorvel {

std::string textureFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        return {};
    }
    return std::string(home) + "/qvl";
}

std::string installedDataFolder() {
    // bin/ and share/quorvel/ sit side by side under whatever prefix the program was installed
    // to, so a copy installed anywhere finds its data.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) {
        return {};
    }
    return (program.parent_path().parent_path() / "share" / "quorvel").string();
}

std::vector<std::string> dataSearchPath() {
    std::vector<std::string> folders{"."};
    if (std::string qvl = textureFolder(); !qvl.empty()) {
        folders.push_back(std::move(qvl));
    }
    if (std::string installed = installedDataFolder(); !installed.empty()) {
        folders.push_back(std::move(installed));
    }
#ifdef QUORVEL_DATA_DIR
    folders.emplace_back(QUORVEL_DATA_DIR);
#endif
#ifdef QUORVEL_BUILD_DATA_DIR
    folders.emplace_back(QUORVEL_BUILD_DATA_DIR);
#endif
#ifdef QUORVEL_SOURCE_RES_DIR
    folders.emplace_back(QUORVEL_SOURCE_RES_DIR);
#endif
#ifdef QUORVEL_SOURCE_DOCS_DIR
    folders.emplace_back(QUORVEL_SOURCE_DOCS_DIR);
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
