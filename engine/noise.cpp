#include "engine/noise.h"

#include "engine/numeric.h"

#include <bit>
#include <cmath>
#include <mutex>

namespace quorvel {

namespace {

NoiseTables gTables;
std::once_flag gTablesBuilt;

constexpr float kLatticeShift = 10000.0f;

// The generator initNoise draws from: a 32-bit linear congruential state starting at 0.
class Random {
public:
    int draw() noexcept {
        mState = mState * 214013u + 2531011u;
        return static_cast<int>((mState >> 16) & 0x7FFFu);
    }

private:
    uint32_t mState = 0;
};

// CRC-16/ARC: reflected polynomial 0xA001, initial value 0, no final inversion.
uint16_t crc16(const uint8_t* bytes, size_t count) noexcept {
    uint16_t crc = 0;
    for (size_t i = 0; i < count; ++i) {
        crc = static_cast<uint16_t>(crc ^ bytes[i]);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001u)
                             : static_cast<uint16_t>(crc >> 1);
        }
    }
    return crc;
}

float randomValue(int i) noexcept {
    const float v = static_cast<float>(i) * 0.12345f;
    const uint32_t bits = std::bit_cast<uint32_t>(v);
    uint8_t bytes[12];
    for (int k = 0; k < 3; ++k) {
        for (int b = 0; b < 4; ++b) {
            bytes[4 * k + b] = static_cast<uint8_t>(bits >> (8 * b));
        }
    }
    // The product with the single-precision factor and the subtraction are done in double
    // precision and rounded once, as the table's check values require.
    return static_cast<float>(
        static_cast<double>(crc16(bytes, sizeof bytes)) * static_cast<double>(3.0518044e-5f) - 1.0);
}

// The lattice cell of one point: integer corner, fractional offsets to both corners along
// each axis, and the smoothed weights of the lower (t) and upper (s) corner.
struct Cell {
    uint32_t ix, iy, iz;
    float d0[3], d1[3];  // x - cx for cx = ix and ix + 1 (likewise y, z)
    float w0[3], w1[3];  // t and s
};

inline void axis(float v, uint32_t& i, float& d0, float& d1, float& w0, float& w1) noexcept {
    const int32_t iv = truncToInt(v);
    i = static_cast<uint32_t>(iv);
    d0 = v - static_cast<float>(iv);
    d1 = v - static_cast<float>(static_cast<int64_t>(iv) + 1);
    const float f = d0;
    w1 = f * f * (3.0f - 2.0f * f);
    w0 = 1.0f - w1;
}

inline Cell cellOf(float x, float y, float z) noexcept {
    Cell c;
    axis(x + kLatticeShift, c.ix, c.d0[0], c.d1[0], c.w0[0], c.w1[0]);
    axis(y + kLatticeShift, c.iy, c.d0[1], c.d1[1], c.w0[1], c.w1[1]);
    axis(z + kLatticeShift, c.iz, c.d0[2], c.d1[2], c.w0[2], c.w1[2]);
    return c;
}

inline int cornerHash(const NoiseTables& t, uint32_t cx, uint32_t cy, uint32_t cz) noexcept {
    const uint32_t a = t.permTable[cx & 4095u];
    const uint32_t b = t.permTable[(a ^ (cy & 4095u)) & 4095u];
    return t.permTable[(b ^ (cz & 4095u)) & 4095u] & 255;
}

// A corner cell taken modulo a period of cells; a period of 0 leaves it as it is.
inline uint32_t wrapped(uint32_t cell, int64_t period) noexcept {
    if (period <= 0) {
        return cell;
    }
    int64_t m = static_cast<int64_t>(static_cast<int32_t>(cell)) % period;
    if (m < 0) {
        m += period;
    }
    return static_cast<uint32_t>(m);
}

// The one place that fixes the order of the eight corner terms: x changes slowest, z fastest.
// `term(hash, dx, dy, dz)` gives a corner's value; the result is the weighted sum in order.
// Corners are wrapped to the period when one is given.
template <typename Term>
inline void sumCorners(const NoiseTables& t, const Cell& c, Term&& term,
                       const LatticePeriod* period = nullptr) noexcept {
    for (int bx = 0; bx < 2; ++bx) {
        uint32_t cx = c.ix + static_cast<uint32_t>(bx);
        if (period) {
            cx = wrapped(cx, period->x);
        }
        const float dx = bx ? c.d1[0] : c.d0[0];
        const float wx = bx ? c.w1[0] : c.w0[0];
        for (int by = 0; by < 2; ++by) {
            uint32_t cy = c.iy + static_cast<uint32_t>(by);
            if (period) {
                cy = wrapped(cy, period->y);
            }
            const float dy = by ? c.d1[1] : c.d0[1];
            const float wy = by ? c.w1[1] : c.w0[1];
            for (int bz = 0; bz < 2; ++bz) {
                const uint32_t cz = c.iz + static_cast<uint32_t>(bz);
                const float dz = bz ? c.d1[2] : c.d0[2];
                const float wz = bz ? c.w1[2] : c.w0[2];
                term(cornerHash(t, cx, cy, cz), wx * wy * wz, dx, dy, dz);
            }
        }
    }
}

inline float cornerValue(const float* m, float dx, float dy, float dz) noexcept {
    return 0.5f * m[0] + m[1] * dx + m[2] * dy + m[3] * dz;
}

constexpr float kLatticeLimit = 2147483648.0f;

inline bool inLatticeRange(float v) noexcept {
    const float shifted = v + kLatticeShift;
    return shifted >= -kLatticeLimit && shifted < kLatticeLimit;
}

Vec3 vectorNoiseWith(const NoiseTables& t, float x, float y, float z,
                     const LatticePeriod* period = nullptr) noexcept {
    const Cell c = cellOf(x, y, z);
    const float* random = t.randomTable.data();
    Vec3 sum;
    sumCorners(
        t, c,
        [&](int h, float w, float dx, float dy, float dz) {
            sum.x += w * cornerValue(random + h, dx, dy, dz);
            sum.y += w * cornerValue(random + h + 4, dx, dy, dz);
            sum.z += w * cornerValue(random + h + 8, dx, dy, dz);
        },
        period);
    return sum;
}

float noiseWith(float x, float y, float z, const LatticePeriod* period) noexcept {
    const Cell c = cellOf(x, y, z);
    const float* random = gTables.randomTable.data();
    float sum = 0.0f;
    sumCorners(
        gTables, c,
        [&](int h, float w, float dx, float dy, float dz) {
            sum += w * cornerValue(random + h, dx, dy, dz);
        },
        period);
    const float r = sum + 0.5f;
    if (!(r > 0.0f)) {
        return 0.0f;
    }
    return r > 1.0f ? 1.0f : r;
}

float sineAt(double fraction) noexcept {
    const int32_t index = truncToInt(fraction * 1000.0);
    if (index < 0 || index > 999) {
        return 0.0f;
    }
    return gTables.sineTable[static_cast<size_t>(index)];
}

}  // namespace

NoiseTables buildNoiseTables() {
    NoiseTables t;
    Random random;
    for (int i = 0; i < 4096; ++i) {
        t.permTable[static_cast<size_t>(i)] = static_cast<uint16_t>(i);
    }
    for (int i = 4095; i >= 0; --i) {
        const int j = random.draw() & 4095;
        std::swap(t.permTable[static_cast<size_t>(i)], t.permTable[static_cast<size_t>(j)]);
    }
    for (int i = 0; i < 267; ++i) {
        t.randomTable[static_cast<size_t>(i)] = randomValue(i);
    }
    for (int i = 0; i < 1000; ++i) {
        t.sineTable[static_cast<size_t>(i)] =
            static_cast<float>(std::sin(static_cast<double>(i) * 0.001 * 6.28318530718));
    }
    // The wave sources come from the vector noise over the tables built so far.
    for (int i = 0; i < 10; ++i) {
        const Vec3 d = vectorNoiseWith(t, static_cast<float>(i), 0.0f, 0.0f);
        const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        t.waveDirections[static_cast<size_t>(i)] = {d.x / length, d.y / length, d.z / length};
        t.waveFrequencies[static_cast<size_t>(i)] = static_cast<float>(
            static_cast<double>(random.draw()) * static_cast<double>(3.051851e-5f) + 0.01);
    }
    return t;
}

void initNoise() {
    std::call_once(gTablesBuilt, [] { gTables = buildNoiseTables(); });
}

const NoiseTables& noiseTables() noexcept { return gTables; }

bool onLattice(float x, float y, float z) noexcept {
    return inLatticeRange(x) && inLatticeRange(y) && inLatticeRange(z);
}

float noise(float x, float y, float z) noexcept { return noiseWith(x, y, z, nullptr); }

Vec3 vectorNoise(float x, float y, float z) noexcept { return vectorNoiseWith(gTables, x, y, z); }

float noise(float x, float y, float z, const LatticePeriod& period) noexcept {
    return noiseWith(x, y, z, &period);
}

Vec3 vectorNoise(float x, float y, float z, const LatticePeriod& period) noexcept {
    return vectorNoiseWith(gTables, x, y, z, &period);
}

LatticePeriod LatticePeriod::times(int64_t factor) const noexcept {
    // Past 2^40 cells no image reaches a second period (the lattice ends at 2^31), so the
    // axis is left unbounded rather than overflowing.
    constexpr int64_t kLimit = int64_t{1} << 40;
    const auto scaled = [&](int64_t cells) -> int64_t {
        return cells > 0 && factor > 0 && cells <= kLimit / factor ? cells * factor : 0;
    };
    return LatticePeriod{scaled(x), scaled(y)};
}

namespace {

// Calls `octave(x, y, z, s, period)` for the octave scales s = 1, 1/2, 1/4, ... of up to n
// octaves, stopping at the first whose point p / s has left the lattice range or whose scale
// has underflowed: from there on the sums would only gather overflow. The period, that of p,
// doubles with each octave.
template <typename Octave>
inline void forEachOctave(const Vec3& p, int n, LatticePeriod period, Octave&& octave) noexcept {
    float s = 1.0f;
    for (int k = 0; k < n && s > 0.0f; ++k) {
        const float x = p.x / s;
        const float y = p.y / s;
        const float z = p.z / s;
        if (!onLattice(x, y, z)) {
            return;
        }
        octave(x, y, z, s, period);
        s *= 0.5f;
        period = period.times(2);
    }
}

}  // namespace

float turbulenceSum(const Vec3& p, int n) noexcept {
    float sum = 0.0f;
    forEachOctave(p, n, LatticePeriod{}, [&](float x, float y, float z, float s, LatticePeriod) {
        sum += std::fabs(noise(x, y, z)) * s;
    });
    return sum;
}

Vec3 vectorTurbulence(const Vec3& p, int n) noexcept {
    Vec3 sum;
    forEachOctave(p, n, LatticePeriod{}, [&](float x, float y, float z, float s, LatticePeriod) {
        const Vec3 v = vectorNoise(x, y, z);
        sum.x += v.x * s;
        sum.y += v.y * s;
        sum.z += v.z * s;
    });
    return sum;
}

float turbulenceSum(const Vec3& p, int n, const LatticePeriod& period) noexcept {
    float sum = 0.0f;
    forEachOctave(p, n, period, [&](float x, float y, float z, float s, LatticePeriod at) {
        sum += std::fabs(noise(x, y, z, at)) * s;
    });
    return sum;
}

Vec3 vectorTurbulence(const Vec3& p, int n, const LatticePeriod& period) noexcept {
    Vec3 sum;
    forEachOctave(p, n, period, [&](float x, float y, float z, float s, LatticePeriod at) {
        const Vec3 v = vectorNoise(x, y, z, at);
        sum.x += v.x * s;
        sum.y += v.y * s;
        sum.z += v.z * s;
    });
    return sum;
}

float cycloid(double v) noexcept {
    if (v >= 0.0) {
        return sineAt(v - std::floor(v));
    }
    if (v < 0.0) {
        return -sineAt(-(std::floor(-v) + v));
    }
    return 0.0f;
}

float cycloid(float v) noexcept {
    if (v >= 0.0f) {
        return sineAt(static_cast<double>(v - std::floor(v)));
    }
    if (v < 0.0f) {
        return -sineAt(static_cast<double>(-(std::floor(-v) + v)));
    }
    return 0.0f;
}

float triangleWave(float v) noexcept {
    const float f = v >= 0.0f ? v - std::floor(v) : v - (-1.0f - std::floor(std::fabs(v)));
    return f < 0.5f ? 2.0f * f : 2.0f * (1.0f - f);
}

float cellFloor(float v) noexcept { return v >= 0.0f ? std::floor(v) : -1.0f - std::floor(-v); }

}  // namespace quorvel
