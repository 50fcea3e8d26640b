#include "engine/enginepath.h"

#include <atomic>
#include <cstdlib>

namespace quorvel {

namespace {

constexpr int8_t kUnset = -1;

// What Auto stands for; read from the environment on first use.
std::atomic<int8_t> gChoice{kUnset};

bool processorRuns(EnginePath path) noexcept {
#if defined(__x86_64__)
    switch (path) {
    case EnginePath::Avx2: return __builtin_cpu_supports("avx2");
    case EnginePath::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
    default: return true;
    }
#else
    return path == EnginePath::Auto || path == EnginePath::Scalar;
#endif
}

EnginePath supportedAtMost(EnginePath path) noexcept {
    if (path == EnginePath::Avx512 && !engineSupports(path)) {
        path = EnginePath::Avx2;
    }
    if (path == EnginePath::Avx2 && !engineSupports(path)) {
        path = EnginePath::Scalar;
    }
    return path;
}

EnginePath choiceFromEnvironment() noexcept {
    const char* value = std::getenv("QUORVEL_ENGINE");
    const std::optional<EnginePath> named = value ? parseEnginePath(value) : std::nullopt;
    return named && *named != EnginePath::Auto ? supportedAtMost(*named) : widestEnginePath();
}

}  // namespace

bool engineSupports(EnginePath path) noexcept {
    static const bool avx2 = processorRuns(EnginePath::Avx2);
    static const bool avx512 = avx2 && processorRuns(EnginePath::Avx512);
    switch (path) {
    case EnginePath::Avx2: return avx2;
    case EnginePath::Avx512: return avx512;
    default: return true;
    }
}

EnginePath widestEnginePath() noexcept { return supportedAtMost(EnginePath::Avx512); }

EnginePath resolveEnginePath(EnginePath requested) noexcept {
    if (requested != EnginePath::Auto) {
        return supportedAtMost(requested);
    }
    int8_t choice = gChoice.load(std::memory_order_relaxed);
    if (choice == kUnset) {
        int8_t expected = kUnset;
        const int8_t fromEnvironment = static_cast<int8_t>(choiceFromEnvironment());
        gChoice.compare_exchange_strong(expected, fromEnvironment, std::memory_order_relaxed);
        choice = gChoice.load(std::memory_order_relaxed);
    }
    return static_cast<EnginePath>(choice);
}

void setEnginePath(EnginePath path) noexcept {
    const EnginePath choice = path == EnginePath::Auto ? widestEnginePath() : supportedAtMost(path);
    gChoice.store(static_cast<int8_t>(choice), std::memory_order_relaxed);
}

std::string_view enginePathName(EnginePath path) noexcept {
    switch (path) {
    case EnginePath::Scalar: return "scalar";
    case EnginePath::Avx2: return "avx2";
    case EnginePath::Avx512: return "avx512";
    default: return "auto";
    }
}

std::optional<EnginePath> parseEnginePath(std::string_view name) noexcept {
    for (EnginePath path :
         {EnginePath::Auto, EnginePath::Scalar, EnginePath::Avx2, EnginePath::Avx512}) {
        if (name == enginePathName(path)) {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace quorvel
