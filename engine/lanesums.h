#pragma once

// Octave sums over a stretch of a row, for the lane kernels: turbulenceSum, vectorTurbulence
// and Granite's sum, each the scalar loop run for all of the stretch's points at once. The
// octave is the outer loop, so one lattice table serves every point of an octave; each point
// still adds its octaves in the scalar order. Needs lanenoise.h.

#include "engine/lanenoise.h"

namespace quorvel {
namespace {

constexpr int kChunk = 256;  // pixels evaluated together

// A stretch of up to kChunk pixels of one row. Arrays run to `end`, the pixel count rounded up
// to whole vectors; the lanes past the last pixel repeat it.
struct Chunk {
    int count = 0;
    int end = 0;
    float y = 0;                   // the material point's y
    float reliefY = 0;             // the relief point's y
    alignas(64) float px[kChunk];  // the sample's x
    alignas(64) float ox[kChunk];  // offset x plus the sample's x
    alignas(64) float x[kChunk];   // the material point's x
    alignas(64) float other[kChunk];
    alignas(64) float colour[3][kChunk];
    alignas(64) float sums[3][kChunk];
    alignas(64) float faded[3][kChunk];  // a cross-fade's weighted sums
    alignas(64) int32_t alive[kChunk];
    alignas(64) LatticeTable table;
};

// Runs `body(i)` for the first lane i of every vector of the chunk.
template <class Body> inline void eachVector(const Chunk& ch, Body&& body) noexcept {
    for (int i = 0; i < ch.end; i += kLanes) {
        body(i);
    }
}

inline void clearSums(Chunk& ch, int components) noexcept {
    eachVector(ch, [&](int i) {
        for (int j = 0; j < components; ++j) {
            storeF(ch.sums[j] + i, splat(0.0f));
        }
        storeI(ch.alive + i, fromMask(allLanes()));
    });
}

// turbulenceSum (N = 1) or vectorTurbulence (N = 3) at the points (x[i], y, z), into sums.
// A point's octaves end at the first that leaves the lattice, lane by lane, as in the scalar
// loop; the loop over octaves ends when no point is left. On a wrapping lattice `period` is
// that of the first octave; each finer one doubles it.
template <int N>
void turbulenceSums(const LaneRecord& r, Chunk& ch, const float* x, float y, float z, int octaves,
                    Period period = {}) noexcept {
    clearSums(ch, N);
    LineLattice lattice;
    float s = 1.0f;
    for (int k = 0; k < octaves && s > 0.0f; ++k) {
        const float ys = y / s, zs = z / s;
        if (!inLatticeRange(ys) || !inLatticeRange(zs)) {
            return;
        }
        lattice.prepare(r, x[0] / s, x[ch.count - 1] / s, ys, zs, N, ch.table, period);
        const F scale = splat(s);
        bool anyLeft = false;
        eachVector(ch, [&](int i) {
            const F xs = loadF(x + i) / scale;
            const M on = toMask(loadI(ch.alive + i)) & inLatticeRange(xs);
            storeI(ch.alive + i, fromMask(on));
            if (!any(on)) {
                return;
            }
            anyLeft = true;
            F v[N];
            lattice.sums(xs, v);
            for (int j = 0; j < N; ++j) {
                const F term = N == 1 ? abs(clampedNoise(v[j])) * scale : v[j] * scale;
                const F sum = loadF(ch.sums[j] + i);
                storeF(ch.sums[j] + i, select(on, sum + term, sum));
            }
        });
        if (!anyLeft) {
            return;
        }
        s *= 0.5f;
        period = times(period, 2);
    }
}

// Granite's sum of |0.5 - noise| / f at the points (x[i], y, z) x 4f, into sums[0]; octaves
// that leave the lattice end a point's sum, as in the scalar loop. A tiled lattice starts from
// the whole cells of 4 f and wraps with each octave's period.
void graniteSums(const LaneRecord& r, Chunk& ch, const float* x, float y, float z) noexcept {
    clearSums(ch, 1);
    LineLattice lattice;
    float f = r.turbulence != 0.0f ? r.turbulence + 1.0f : 1.0f;
    if (r.graniteCells > 0) {
        f = static_cast<float>(r.graniteCells) * 0.25f;
    }
    Period period = times(Period{r.materialPeriod[0], r.materialPeriod[1]}, r.graniteCells);
    for (int k = 0; k < r.octaves + 3; ++k) {
        const float f4 = 4.0f * f;
        const float ys = f4 * y, zs = f4 * z;
        if (!inLatticeRange(ys) || !inLatticeRange(zs)) {
            return;
        }
        lattice.prepare(r, f4 * x[0], f4 * x[ch.count - 1], ys, zs, 1, ch.table, period);
        const F factor = splat(f4);
        const F divisor = splat(f);
        bool anyLeft = false;
        eachVector(ch, [&](int i) {
            const F xs = factor * loadF(x + i);
            const M on = toMask(loadI(ch.alive + i)) & inLatticeRange(xs);
            storeI(ch.alive + i, fromMask(on));
            if (!any(on)) {
                return;
            }
            anyLeft = true;
            F v[1];
            lattice.sums(xs, v);
            const F sum = loadF(ch.sums[0] + i);
            const F term = abs(splat(0.5f) - clampedNoise(v[0])) / divisor;
            storeF(ch.sums[0] + i, select(on, sum + term, sum));
        });
        if (!anyLeft) {
            return;
        }
        f = 2.0f * f;
        period = times(period, 2);
    }
}

}  // namespace
}  // namespace quorvel
