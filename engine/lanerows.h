#pragma once

// A row over lanes: stretch by stretch, the samples, the material, relief and shading, and the
// output bytes. Needs the lane types of lanes_avx2.h or lanes_avx512.h included before it.

#include "engine/lanerelief.h"

#include <cmath>

namespace quorvel {
namespace {

// A position taken into [0, 1), as a seamless texture samples it: the texture repeats with
// period 1. Not a number or infinite gives 0.
inline float intoUnit(float v) noexcept {
    if (!(v - v == 0.0f)) {
        return 0.0f;
    }
    const float f = v - std::floor(v);
    return f < 1.0f ? f : 0.0f;
}

inline F intoUnit(F v) noexcept {
    const F f = v - floor(v);
    return select((v - v == splat(0.0f)) & (f < splat(1.0f)), f, splat(0.0f));
}

// The samples of pixels start to start + ch.count - 1 and their material points.
inline void takeSamples(const LaneRecord& r, Chunk& ch, int start) noexcept {
    const I last = splatI(ch.count - 1);
    const F width = splat(static_cast<float>(r.width));
    eachVector(ch, [&](int i) {
        const F index = toFloat(splatI(start) + min(iota() + splatI(i), last));
        F x = r.thumbnail ? index * splat(0.02f) : index / width;
        if (r.tiled) {
            x = intoUnit(x);
        }
        // Patterns that repeat through their lattice sample within one period (as
        // sample.cpp); cross-fades work from the position itself.
        const F ox = r.tiled ? intoUnit(splat(r.offsetX) + x) : splat(r.offsetX) + x;
        storeF(ch.px + i, x);
        storeF(ch.ox + i, ox);
        storeF(ch.x + i, ox * splat(r.scaleX));
        for (float* colour : ch.colour) {
            storeF(colour + i, splat(0.0f));
        }
    });
}

// How much of the copy one image back a position takes in a cross-fade: none before the band
// at the right and bottom borders, rising smoothly to all of it at the border.
inline float fadeWeight(const LaneRecord& r, float v) noexcept {
    const float t = (v - (1.0f - r.fadeBand)) / r.fadeBand;
    return t <= 0.0f ? 0.0f : t * t * (3.0f - 2.0f * t);
}

inline F fadeWeight(const LaneRecord& r, F v) noexcept {
    const F t = (v - splat(1.0f - r.fadeBand)) / splat(r.fadeBand);
    return select(t <= splat(0.0f), splat(0.0f), t * t * (splat(3.0f) - splat(2.0f) * t));
}

// A cross-fade over the chunk, in the scalar order: the position (x, sy) and its copies one
// image back (left, up, both), each where its weight (1 - w or w of each axis, multiplied) is
// positive. `at(bx, by)` evaluates the copy bx images left and by up into the three arrays of
// `values`; `faded` gathers the weighted sums, from 0.
template <class At>
inline void crossFade(const LaneRecord& r, Chunk& ch, float sy, float (&values)[3][kChunk],
                      At&& at) noexcept {
    const float wy = fadeWeight(r, sy);
    const float wys[2] = {1.0f - wy, wy};
    eachVector(ch, [&](int i) {
        for (float* sum : ch.faded) {
            storeF(sum + i, splat(0.0f));
        }
    });
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 2; ++bx) {
            bool anyWeight = false;
            eachVector(ch, [&](int i) {
                const F wx = fadeWeight(r, loadF(ch.px + i));
                const F w = (bx ? wx : splat(1.0f) - wx) * splat(wys[by]);
                anyWeight = anyWeight || any(w > splat(0.0f));
            });
            if (!anyWeight) {
                continue;
            }
            at(bx, by);
            eachVector(ch, [&](int i) {
                const F wx = fadeWeight(r, loadF(ch.px + i));
                const F w = (bx ? wx : splat(1.0f) - wx) * splat(wys[by]);
                const M on = w > splat(0.0f);
                for (int c = 0; c < 3; ++c) {
                    const F sum = loadF(ch.faded[c] + i);
                    storeF(ch.faded[c] + i, select(on, sum + w * loadF(values[c] + i), sum));
                }
            });
        }
    }
}

// The material of a pattern that cannot wrap, cross-faded across the borders.
void crossFadedMaterial(const LaneRecord& r, Chunk& ch, float sy) noexcept {
    const float y = ch.y;
    crossFade(r, ch, sy, ch.colour, [&](int bx, int by) {
        const F shift = splat(static_cast<float>(bx));
        eachVector(ch, [&](int i) {
            storeF(ch.x + i, (splat(r.offsetX) + (loadF(ch.px + i) - shift)) * splat(r.scaleX));
            for (float* colour : ch.colour) {
                storeF(colour + i, splat(0.0f));
            }
        });
        ch.y = (r.offsetY + (by ? sy - 1.0f : sy)) * r.scaleY;
        evaluateMaterial(r, ch);
    });
    ch.y = y;
    eachVector(ch, [&](int i) {
        for (int c = 0; c < 3; ++c) {
            storeF(ch.colour[c] + i, loadF(ch.faded[c] + i));
        }
    });
}

// The normals of Waves and Ripples cross-faded across the borders, then made unit again.
void crossFadedNormals(const LaneRecord& r, Chunk& ch, float sy) noexcept {
    const float reliefY = ch.reliefY;
    crossFade(r, ch, sy, ch.sums, [&](int bx, int by) {
        const F shift = splat(static_cast<float>(bx));
        eachVector(ch, [&](int i) {
            storeF(ch.other + i,
                   (splat(r.offsetX) + (loadF(ch.px + i) - shift)) * splat(r.reliefScaleX));
        });
        ch.reliefY = (r.offsetY + (by ? sy - 1.0f : sy)) * r.reliefScaleY;
        waves(r, ch, r.relief == 0);
    });
    ch.reliefY = reliefY;
    eachVector(ch, [&](int i) {
        const F x = loadF(ch.faded[0] + i), y = loadF(ch.faded[1] + i), z = loadF(ch.faded[2] + i);
        const F length = sqrt(x * x + y * y + z * z);
        const M some = length > splat(0.0f);
        storeF(ch.sums[0] + i, select(some, x / length, splat(0.0f)));
        storeF(ch.sums[1] + i, select(some, y / length, splat(0.0f)));
        storeF(ch.sums[2] + i, select(some, z / length, splat(1.0f)));
    });
}

// channelByte: trunc(c x 255) of c limited to 0 to 1, NaN giving 0.
inline I channelBytes(F c) noexcept {
    const F limited = select(c > splat(1.0f), splat(1.0f), c);
    return select(c > splat(0.0f), toInt(limited * splat(255.0f)), splatI(0));
}

inline void writeBytes(const Chunk& ch, uint8_t* out) noexcept {
    eachVector(ch, [&](int i) {
        const I rgb = channelBytes(loadF(ch.colour[0] + i)) |
                      (channelBytes(loadF(ch.colour[1] + i)) << 8) |
                      (channelBytes(loadF(ch.colour[2] + i)) << 16);
        if (i + kLanes + 2 <= ch.count) {  // room for the 4 bytes it may overwrite
            storeRgb(out + 3 * i, rgb);
            return;
        }
        alignas(64) int32_t pixels[kLanes];
        storeI(pixels, rgb);
        const int n = ch.count - i < kLanes ? ch.count - i : kLanes;
        for (int l = 0; l < n; ++l) {
            __builtin_memcpy(out + 3 * (i + l), &pixels[l], 3);  // little-endian: red first
        }
    });
}

// Pixels [first, last) of a row whose sample positions do not wrap: the lattice tables of
// lanenoise.h need positions that only grow along the stretch.
void renderStretch(const LaneRecord& r, float py, int first, int last, uint8_t* out) noexcept {
    Chunk ch;
    const float sy = r.tiled ? intoUnit(py) : py;
    const float oy = r.tiled ? intoUnit(r.offsetY + sy) : r.offsetY + sy;
    ch.y = oy * r.scaleY;
    ch.reliefY = oy * r.reliefScaleY;
    for (int start = first; start < last; start += kChunk) {
        ch.count = last - start < kChunk ? last - start : kChunk;
        ch.end = (ch.count + kLanes - 1) / kLanes * kLanes;
        takeSamples(r, ch, start);
        if (r.fadeMaterial) {
            crossFadedMaterial(r, ch, sy);
        } else {
            evaluateMaterial(r, ch);
        }
        if (r.shaded) {
            if (r.fadeRelief) {
                crossFadedNormals(r, ch, sy);
            } else {
                reliefNormals(r, ch);
            }
            shade(r, ch);
        }
        writeBytes(ch, out + 3 * static_cast<int64_t>(start - first));
    }
}

// The first column of [first, last) whose tiled position has wrapped back past its left
// neighbour's, or `last`. A row spans less than one period, so it wraps at most once; the
// positions are computed as takeSamples computes them.
inline int wrapColumn(const LaneRecord& r, int first, int last) noexcept {
    const auto position = [&](int i) {
        const float index = static_cast<float>(i);
        const float x = r.thumbnail ? index * 0.02f : index / static_cast<float>(r.width);
        return intoUnit(r.offsetX + intoUnit(x));
    };
    float previous = position(first);
    for (int i = first + 1; i < last; ++i) {
        const float here = position(i);
        if (here < previous) {
            return i;
        }
        previous = here;
    }
    return last;
}

void renderLanes(const LaneRecord& r, float py, int first, int last, uint8_t* out) noexcept {
    const int wrap = r.tiled ? wrapColumn(r, first, last) : last;
    renderStretch(r, py, first, wrap, out);
    if (wrap < last) {
        renderStretch(r, py, wrap, last, out + 3 * static_cast<int64_t>(wrap - first));
    }
}

}  // namespace
}  // namespace quorvel
