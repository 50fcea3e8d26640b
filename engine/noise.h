#pragma once

#include "engine/textureparams.h"

#include <array>
#include <cstdint>

namespace quorvel {

// The process-wide tables every noise evaluation reads. Built once from a fixed seed, so a
// record renders the same image on every run; read-only afterwards.
struct NoiseTables {
    std::array<uint16_t, 4096> permTable{};   // a permutation of 0 to 4095
    std::array<float, 267> randomTable{};     // -1 to 1
    std::array<float, 1000> sineTable{};      // one period of a sine
    std::array<Vec3, 10> waveDirections{};    // unit vectors: the wave sources
    std::array<float, 10> waveFrequencies{};  // 0.01 to 1.01
};

// Builds the tables. Safe to call any number of times from any thread: the first call builds,
// the others wait for it and return.
void initNoise();

// The tables; initNoise must have run.
const NoiseTables& noiseTables() noexcept;

// Builds a fresh set of tables without touching the process-wide ones (for checking that two
// builds agree).
NoiseTables buildNoiseTables();

// The number of lattice cells after which noise repeats along x and along y, for textures that
// tile; 0 leaves an axis unbounded, as plain noise is.
struct LatticePeriod {
    int64_t x = 0;
    int64_t y = 0;

    bool wraps() const noexcept { return x > 0 || y > 0; }
    // The period of the same lattice sampled `factor` times as finely.
    LatticePeriod times(int64_t factor) const noexcept;
};

// Lattice noise at a point. Returns 0 to 1 for any input (NaN gives 0).
float noise(float x, float y, float z) noexcept;
inline float noise(const Vec3& p) noexcept { return noise(p.x, p.y, p.z); }

// Vector lattice noise: each component roughly -1 to 1, not clamped.
Vec3 vectorNoise(float x, float y, float z) noexcept;
inline Vec3 vectorNoise(const Vec3& p) noexcept { return vectorNoise(p.x, p.y, p.z); }

// The same noise with the lattice wrapped: corner cells are taken modulo the period, so the
// value at x + period.x equals the value at x (likewise y).
float noise(float x, float y, float z, const LatticePeriod& period) noexcept;
Vec3 vectorNoise(float x, float y, float z, const LatticePeriod& period) noexcept;

// Octave sums with scales 1, 1/2, 1/4, ...: sum of |noise(p / s)| x s, and the vector sum of
// vectorNoise(p / s) x s. Zero for n <= 0. Octaves beyond the point where noise is defined
// (a coordinate of p / s leaves the 32-bit lattice range, or s underflows to zero) would only
// add garbage, so they and all after them are skipped: high detail looks like the highest
// meaningful detail, and any n finishes quickly.
float turbulenceSum(const Vec3& p, int n) noexcept;
Vec3 vectorTurbulence(const Vec3& p, int n) noexcept;
// The sums over a wrapped lattice: `period` is that of p; each finer octave doubles it.
float turbulenceSum(const Vec3& p, int n, const LatticePeriod& period) noexcept;
Vec3 vectorTurbulence(const Vec3& p, int n, const LatticePeriod& period) noexcept;

// True while noise at this point is defined: every coordinate, shifted onto the lattice, can
// be truncated to a 32-bit integer.
bool onLattice(float x, float y, float z) noexcept;

// sin(2 pi v) through the sine table. NaN and infinities give 0.
float cycloid(float v) noexcept;
float cycloid(double v) noexcept;
// A triangle wave of period 1: 0 at whole numbers, 1 at halves. -0.5 gives 1; a negative whole
// number gives 0.
float triangleWave(float v) noexcept;
// floor(v), except at negative whole numbers, where it is one less (cellFloor(-2) = -3).
float cellFloor(float v) noexcept;

}  // namespace quorvel
