#pragma once

// Helpers shared by the file-layer and command-line tests: scratch folders, whole-file access,
// PNG decoding, the engine's reference pixels and a child process with a file-size limit.

#include "engine/noise.h"
#include "engine/pixel.h"
#include "engine/textureparams.h"

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::testing {

// A fresh folder under /tmp per test, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = "/tmp/quorvel-test-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            mPath = pattern;
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return mPath; }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }

    // Names in the folder, sorted, so that a stray temporary file shows up in a comparison.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(mPath)) {
            out.push_back(e.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::string mPath;
};

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string readText(const std::string& path) {
    const std::vector<uint8_t> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline void writeText(const std::string& path, const std::string& text) {
    writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

struct DecodedPng {
    bool ok = false;
    bool rgb8 = false;  // the file itself is 8-bit RGB without alpha
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Decodes with libpng independently of the encoder under test.
inline DecodedPng decodePng(const std::string& path) {
    DecodedPng out;
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

// The reference pixels: the engine's rows for the record at W x H, rendered one by one on this
// thread, after the engine's own write to the record (Brick's mortar width).
inline std::vector<uint8_t> engineImage(TextureParams record, int width, int height) {
    initNoise();
    applyRenderWrites(record);
    const Sampling sampling = Sampling::image(width, height);
    const size_t stride = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> rgb(stride * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        renderRow(record, sampling, row,
                  std::span<uint8_t>(rgb).subspan(static_cast<size_t>(row) * stride, stride));
    }
    return rgb;
}

// Sets an environment variable for one scope, so that lookups such as ~/qvl land in a test's
// own folder; the old value (or its absence) comes back afterwards.
struct ScopedEnvironment {
    ScopedEnvironment(const char* name, const std::string& value) : name(name) {
        if (const char* was = std::getenv(name)) {
            old = was;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() { old ? ::setenv(name, old->c_str(), 1) : ::unsetenv(name); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    const char* name;
    std::optional<std::string> old;
};

// Runs `body` in a forked child whose files may not grow beyond `limit` bytes, as on a full
// disk. SIGXFSZ is ignored so that write() returns EFBIG instead of killing the child. The
// child sends the message `body` returns through a pipe; the limit never touches this process.
inline std::string inFileSizeLimitedChild(rlim_t limit, const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        const std::string message = body();
        const ssize_t ignored = ::write(fds[1], message.data(), message.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string message;
    char chunk[256];
    for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) > 0;) {
        message.append(chunk, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0) << "child status " << wstatus;
    return message;
}

}  // namespace quorvel::testing
