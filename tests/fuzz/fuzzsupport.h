#pragma once

// What the fuzz targets share: quorvel-render's own command line, and a folder of their own,
// in memory where there is one (fsync costs nothing there), removed at exit.

#include "cli/render.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace quorvel::fuzz {

inline std::string file(const std::string& name) {
    static const struct Folder {
        std::string path = (std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp") +
                           std::string("/quorvel-fuzz-XXXXXX");
        Folder() { ::mkdtemp(path.data()) ? void() : std::abort(); }
        ~Folder() { std::filesystem::remove_all(path); }
    } folder;
    return folder.path + "/" + name;
}

// Writes the input to the file `input`, then runs the program; its messages are dropped.
inline void run(std::vector<std::string> args, const std::string& input, const uint8_t* data,
                size_t size) {
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(data), long(size));
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    static const std::atomic<bool> never{false};
    cli::runCommandLine(std::vector<std::string_view>(args.begin(), args.end()), sink, sink, never);
}

}  // namespace quorvel::fuzz
