#pragma once

// Helpers shared by the file-layer and command-line tests: scratch folders, whole-file access,
// PNG decoding, the engine's reference pixels and a child process with a file-size limit.

#include "engine/noise.h"
#include "engine/pixel.h"
#include "engine/textureparams.h"
#include "files/texturedocument.h"

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::testing {

using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

// A fresh folder under /tmp per test, removed with everything in it afterwards.
struct ScratchFolder {
    ScratchFolder() { EXPECT_NE(::mkdtemp(path.data()), nullptr); }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return path + "/" + name; }

    // Names in the folder, sorted, so that a stray temporary file shows up in a comparison.
    Names names() const {
        Names out;
        for (const auto& e : std::filesystem::directory_iterator(path)) {
            out.push_back(e.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    std::string path = "/tmp/quorvel-test-XXXXXX";
};

inline Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline Bytes documentBytes(const TextureParams& record) {
    const TextureDocumentBytes bytes = encodeTextureDocument(record);
    return {bytes.begin(), bytes.end()};
}

struct DecodedImage {
    bool ok = false;
    bool rgb8 = false;  // the file itself is 8-bit RGB without alpha
    int width = 0;
    int height = 0;
    Bytes rgb;
};

// Decodes with libpng independently of the encoder under test.
inline DecodedImage decodePng(const std::string& path) {
    DecodedImage out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return out;
    }
    out.rgb8 = image.format == PNG_FORMAT_RGB;
    image.format = PNG_FORMAT_RGB;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    out.ok = png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return out;
}

// The reference pixels: the engine's rows for the record, rendered one by one on this thread
// after the engine's own write to the record (Brick's mortar width).
inline Bytes engineImage(TextureParams record, const Sampling& sampling) {
    initNoise();
    applyRenderWrites(record);
    const size_t stride = static_cast<size_t>(sampling.width()) * 3;
    Bytes rgb(stride * static_cast<size_t>(sampling.height()));
    for (int row = 0; row < sampling.height(); ++row) {
        renderRow(record, sampling, row, std::span<uint8_t>(rgb).subspan(row * stride, stride));
    }
    return rgb;
}

// Sets HOME for one scope, so that ~/qvl lands in a test's own folder.
struct ScopedHome {
    explicit ScopedHome(const std::string& home) { ::setenv("HOME", home.c_str(), 1); }
    ~ScopedHome() { old ? ::setenv("HOME", old->c_str(), 1) : ::unsetenv("HOME"); }
    std::optional<std::string> old =
        std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
};

// Runs `body` in a forked child whose files may not grow beyond `limit` bytes, as on a full
// disk. SIGXFSZ is ignored so that write() returns EFBIG instead of killing the child. The
// child sends the message `body` returns through a pipe; the limit never touches this process.
inline std::string inFileSizeLimitedChild(rlim_t limit, const std::function<std::string()>& body) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        const std::string message = body();
        ::_exit(::write(fds[1], message.data(), message.size()) < 0);
    }
    ::close(fds[1]);
    std::string message;
    char chunk[256];
    for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) > 0;) {
        message.append(chunk, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return message;
}

}  // namespace quorvel::testing
