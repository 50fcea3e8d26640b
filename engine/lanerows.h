#pragma once

// A row over lanes: stretch by stretch, the samples, the material, relief and shading, and the
// output bytes. Needs the lane types of lanes_avx2.h or lanes_avx512.h included before it.

#include "engine/lanerelief.h"

namespace quorvel {
namespace {

// The samples of pixels start to start + ch.count - 1 and their material points.
inline void takeSamples(const LaneRecord& r, Chunk& ch, int start) noexcept {
    const I last = splatI(ch.count - 1);
    const F width = splat(static_cast<float>(r.width));
    eachVector(ch, [&](int i) {
        const F index = toFloat(splatI(start) + min(iota() + splatI(i), last));
        const F x = r.thumbnail ? index * splat(0.02f) : index / width;
        const F ox = splat(r.offsetX) + x;
        storeF(ch.ox + i, ox);
        storeF(ch.x + i, ox * splat(r.scaleX));
        for (float* colour : ch.colour) {
            storeF(colour + i, splat(0.0f));
        }
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

void renderLanes(const LaneRecord& r, float py, int first, int last, uint8_t* out) noexcept {
    Chunk ch;
    const float oy = r.offsetY + py;
    ch.y = oy * r.scaleY;
    ch.reliefY = oy * r.reliefScaleY;
    for (int start = first; start < last; start += kChunk) {
        ch.count = last - start < kChunk ? last - start : kChunk;
        ch.end = (ch.count + kLanes - 1) / kLanes * kLanes;
        takeSamples(r, ch, start);
        evaluateMaterial(r, ch);
        if (r.shaded) {
            reliefNormals(r, ch);
            shade(r, ch);
        }
        writeBytes(ch, out + 3 * static_cast<int64_t>(start - first));
    }
}

}  // namespace
}  // namespace quorvel
