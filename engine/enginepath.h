#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvel {

// How the engine evaluates a row. Every path gives exactly the bytes of the scalar path; the
// vector paths evaluate 8 (AVX2) or 16 (AVX-512) pixels at a time where the processor has the
// instructions.
enum class EnginePath : int8_t {
    Auto,    // the process's choice: QUORVEL_ENGINE when set, else the widest path available
    Scalar,  // one pixel at a time: the reference, and the only path off x86-64
    Avx2,
    Avx512,  // AVX-512 F, BW, DQ and VL
};

// Whether this build and processor can run the path. Auto and Scalar always can.
bool engineSupports(EnginePath path) noexcept;

// The widest path this build and processor can run.
EnginePath widestEnginePath() noexcept;

// The path a request runs on: Auto stands for the process's choice; a path the processor lacks
// falls back to the widest narrower one it has. Never returns Auto.
EnginePath resolveEnginePath(EnginePath requested) noexcept;

// Sets the process's choice, what Auto stands for from now on (for the command line's
// --engine); Auto restores the widest path. Before any call it is the path named by the
// environment variable QUORVEL_ENGINE (scalar, avx2, avx512 or auto), else the widest.
void setEnginePath(EnginePath path) noexcept;

// "auto", "scalar", "avx2", "avx512".
std::string_view enginePathName(EnginePath path) noexcept;
// The path of one of those names; empty for any other text.
std::optional<EnginePath> parseEnginePath(std::string_view name) noexcept;

}  // namespace quorvel
