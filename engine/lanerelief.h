#pragma once

// Relief and shading over lanes, for the lane kernels: relief.cpp step for step on a stretch
// of a row. The normals go to the chunk's sums, the relief point's x to `other`. Needs
// lanematerials.h.

#include "engine/lanematerials.h"

#include <cmath>

namespace quorvel {
namespace {

// pow(base, exponent) in double precision, rounded to float, for the lanes in `lanes` (0
// elsewhere): lane by lane, with the function the scalar path calls.
inline F powerLanes(F base, float exponent, M lanes) noexcept {
    alignas(64) float values[kLanes];
    storeF(values, base);
    const unsigned bits = laneBits(lanes);
    for (int l = 0; l < kLanes; ++l) {
        values[l] = (bits >> l) & 1u ? static_cast<float>(std::pow(static_cast<double>(values[l]),
                                                                   static_cast<double>(exponent)))
                                     : 0.0f;
    }
    return loadF(values);
}

inline void storeNormal(Chunk& ch, int i, F x, F y, F z) noexcept {
    const F length = sqrt(x * x + y * y + z * z);
    storeF(ch.sums[0] + i, x / length);
    storeF(ch.sums[1] + i, y / length);
    storeF(ch.sums[2] + i, z / length);
}

inline void flatNormals(Chunk& ch) noexcept {
    eachVector(ch, [&](int i) {
        storeF(ch.sums[0] + i, splat(0.0f));
        storeF(ch.sums[1] + i, splat(0.0f));
        storeF(ch.sums[2] + i, splat(1.0f));
    });
}

// Waves (one frequency per source) and Ripples.
void waves(const LaneRecord& r, Chunk& ch, bool perSource) noexcept {
    const F a = splat(r.reliefIntensity), frequency = splat(r.reliefFrequency);
    const F phase = splat(r.reliefPhase), tenth = splat(0.1f);
    eachVector(ch, [&](int i) {
        const F x = loadF(ch.other + i);
        F n[3] = {splat(0.0f), splat(0.0f), splat(1.0f)};
        for (int s = 0; s < 10; ++s) {
            const F qx = x - splat(r.waveSource[0][s]);
            const F qy = splat(ch.reliefY - r.waveSource[1][s]);
            const F qz = splat(0.0f - r.waveSource[2][s]);
            F l2 = qx * qx + qy * qy + qz * qz;
            l2 = select(l2 == splat(0.0f), splat(1.0f), l2);
            const F l = sqrt(l2);
            F k;
            if (perSource) {
                const F w = l * splat(r.waveFrequency[s]) * frequency + phase;
                k = splat(r.waveAmplitude[s]) * cycloid(r, w) / l * tenth;
            } else {
                k = cycloid(r, l * frequency + phase) * a / l * tenth;
            }
            n[0] = n[0] + k * qx;
            n[1] = n[1] + k * qy;
            n[2] = n[2] + k * qz;
        }
        storeNormal(ch, i, n[0], n[1], n[2]);
    });
}

// The lattice period of the relief's points (none unless the texture tiles).
inline Period reliefPeriod(const LaneRecord& r) noexcept {
    return Period{r.reliefPeriod[0], r.reliefPeriod[1]};
}

// Bumps (the normal plus a x vector noise) and Dents (plus noise^3 x a x vector noise).
void bumpsOrDents(const LaneRecord& r, Chunk& ch, bool dents) noexcept {
    const float a = r.reliefIntensity;
    if (a == 0.0f) {
        flatNormals(ch);
        return;
    }
    LineLattice lattice;
    lattice.prepare(r, ch.other[0], ch.other[ch.count - 1], ch.reliefY, 0.0f, 3, ch.table,
                    reliefPeriod(r));
    eachVector(ch, [&](int i) {
        F v[3];
        lattice.sums(loadF(ch.other + i), v);
        F k = splat(a);
        if (dents) {
            const F n = clampedNoise(v[0]);
            k = n * n * n * splat(a);
        }
        storeNormal(ch, i, splat(0.0f) + k * v[0], splat(0.0f) + k * v[1], splat(1.0f) + k * v[2]);
    });
}

void inverseDents(const LaneRecord& r, Chunk& ch) noexcept {
    const float a = r.reliefIntensity;
    if (a == 0.0f) {
        flatNormals(ch);
        return;
    }
    clearSums(ch, 3);
    LineLattice lattice;
    float s = 1.0f;
    for (int k = 0; k < 10; ++k) {
        lattice.prepare(r, s * ch.other[0], s * ch.other[ch.count - 1], s * ch.reliefY, s * 0.0f, 3,
                        ch.table, times(reliefPeriod(r), int64_t{1} << k));
        const F scale = splat(s);
        eachVector(ch, [&](int i) {
            F d[3];
            lattice.sums(scale * loadF(ch.other + i), d);
            for (int j = 0; j < 3; ++j) {
                storeF(ch.sums[j] + i, loadF(ch.sums[j] + i) + abs(d[j] / scale));
            }
        });
        s = 2.0f * s;
    }
    eachVector(ch, [&](int i) {
        const F sa = splat(a);
        storeNormal(ch, i, splat(0.0f) + sa * loadF(ch.sums[0] + i),
                    splat(0.0f) + sa * loadF(ch.sums[1] + i),
                    splat(1.0f) + sa * loadF(ch.sums[2] + i));
    });
}

void reliefNormals(const LaneRecord& r, Chunk& ch) noexcept {
    const F scale = splat(r.reliefScaleX);
    eachVector(ch, [&](int i) { storeF(ch.other + i, loadF(ch.ox + i) * scale); });
    switch (r.relief) {
    case 0: waves(r, ch, true); break;
    case 1: waves(r, ch, false); break;
    case 2: bumpsOrDents(r, ch, false); break;
    case 3: bumpsOrDents(r, ch, true); break;
    case 4: inverseDents(r, ch); break;
    default: flatNormals(ch); break;
    }
}

// Lights the chunk's colours with the record's light and reflection over the normals. The
// highlight looks from the relief point, or from the image's centre when the texture tiles.
void shade(const LaneRecord& r, Chunk& ch) noexcept {
    const F one = splat(1.0f), half = splat(0.5f);
    const F lx = splat(r.light[0]), ly = splat(r.light[1]), lz = splat(r.light[2]);
    const F ry = splat(r.tiled ? r.highlightY : ch.reliefY);
    eachVector(ch, [&](int i) {
        const F nx = loadF(ch.sums[0] + i), ny = loadF(ch.sums[1] + i), nz = loadF(ch.sums[2] + i);
        const F d = (nx * lx + ny * ly + nz * lz) / splat(r.lightLength);
        const F s = (d + one) * half;
        const M low = s < half;
        const F darkened =
            any(low) ? select(low, half * powerLanes(splat(2.0f) * s, 1.5f, low), s) : s;
        const F q = (one - s) * (one - s);
        F colour[3];
        for (int c = 0; c < 3; ++c) {
            const F h = one / (splat(r.brillianceSquared[c]) * q + one);
            const F lit = darkened * (loadF(ch.colour[c] + i) * splat(r.lightColour[c]));
            colour[c] = splat(r.reflectedLight[c]) * h * (one - lit) + lit;
        }
        const F px = r.tiled ? splat(r.highlightX) : loadF(ch.other + i);
        const F length = sqrt(px * px + ry * ry + splat(0.0f) * splat(0.0f));
        const M away = length > splat(0.0f);
        if (any(away)) {
            const F hx = (lx - px / length) * half;
            const F hy = (ly - ry / length) * half;
            const F hz = (lz - splat(0.0f) / length) * half;
            const F e = nx * hx + ny * hy + nz * hz;
            const M specular = away & (e > splat(0.01f));
            if (any(specular)) {
                F power = powerLanes(e, r.specularExponent[0], specular);
                for (int c = 0; c < 3; ++c) {
                    if (c > 0 && !r.oneSpecularExponent) {
                        power = powerLanes(e, r.specularExponent[c], specular);
                    }
                    const F added = colour[c] + power * half * splat(r.reflectionColour[c]) *
                                                    splat(r.lightColour[c]);
                    colour[c] = select(specular, added, colour[c]);
                }
            }
        }
        for (int c = 0; c < 3; ++c) {
            storeF(ch.colour[c] + i, select(colour[c] > one, one, colour[c]));
        }
    });
}

}  // namespace
}  // namespace quorvel
