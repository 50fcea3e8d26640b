#pragma once

// Helpers shared by the file-layer and command-line tests.

#include "files/texturedocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quorvel::testing {

using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;
constexpr auto npos = std::string::npos;

// A fresh folder under /tmp, removed with everything in it afterwards.
struct ScratchFolder {
    ScratchFolder() { EXPECT_NE(::mkdtemp(path.data()), nullptr); }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

    // Sorted, so that a stray temporary file shows up in a comparison.
    Names names() const {
        Names out;
        for (const auto& e : std::filesystem::directory_iterator(path))
            out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }

    std::string path = "/tmp/quorvel-test-XXXXXX";
};

template <typename T = Bytes> T readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline Bytes documentBytes(const TextureParams& record) {
    const TextureDocumentBytes bytes = encodeTextureDocument(record);
    return {bytes.begin(), bytes.end()};
}

}  // namespace quorvel::testing
