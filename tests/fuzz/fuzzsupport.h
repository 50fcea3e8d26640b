#pragma once

// What the fuzz targets share: a folder of their own and the program's own command line.

#include "cli/render.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quorvel::fuzz {

// A folder for this process, in memory where there is one (fsync costs nothing there),
// removed at exit.
inline const std::string& folder() {
    static const struct Folder {
        Folder() {
            path = (std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
            path += "/quorvel-fuzz-XXXXXX";
            if (!::mkdtemp(path.data()))
                std::abort();
        }
        ~Folder() { std::filesystem::remove_all(path); }
        std::string path;
    } made;
    return made.path;
}

// The input as the file `name` in the folder; its path.
inline std::string inputFile(const uint8_t* data, size_t size, const std::string& name) {
    const std::string path = folder() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), long(size));
    return path;
}

// Runs quorvel-render's command line, its messages dropped.
inline int runProgram(const std::vector<std::string>& args) {
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    static const std::atomic<bool> never{false};
    const std::vector<std::string_view> views(args.begin(), args.end());
    return cli::runCommandLine(views, sink, sink, never);
}

}  // namespace quorvel::fuzz
