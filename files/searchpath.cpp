#include "files/searchpath.h"

#include "files/filenames.h"

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

namespace {

std::filesystem::path programPath() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program;
}

// Whether the running program lies inside the build tree it was built in. Only such a program
// looks into the build and source trees; an installed copy uses its own data alone.
bool runsFromBuildTree([[maybe_unused]] const std::filesystem::path& program) {
#ifdef QUORVEL_BUILD_ROOT
    const std::string root = QUORVEL_BUILD_ROOT "/";
    return program.string().starts_with(root);
#else
    return false;
#endif
}

}  // namespace

std::string installedDataFolder() {
    // bin/ and share/quorvel/ sit side by side under whatever prefix the program was installed
    // to, so a copy installed anywhere finds its data.
    const std::filesystem::path program = programPath();
    if (program.empty()) {
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
    if (runsFromBuildTree(programPath())) {
#if defined(QUORVEL_BUILD_DATA_DIR) && defined(QUORVEL_SOURCE_RES_DIR)
        folders.emplace_back(QUORVEL_BUILD_DATA_DIR);
        folders.emplace_back(QUORVEL_SOURCE_RES_DIR);
#endif
    }
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
    if (relative.empty() || leavesItsFolder(relative)) {
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
