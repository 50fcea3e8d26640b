#include "engine/sample.h"

#include "engine/materials.h"
#include "engine/relief.h"
#include "engine/seamless.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

namespace {

bool runsRelief(int8_t relief) noexcept { return relief >= 0 && relief < kReliefCount; }

// A position taken into [0, 1): a seamless texture repeats with period 1, so every sample
// outside the image (a neighbour for a slope, say) is the one inside it.
float intoUnit(float v) noexcept {
    if (!std::isfinite(v)) {
        return 0.0f;
    }
    const float f = v - std::floor(v);
    return f < 1.0f ? f : 0.0f;
}

// How much of the copy one image back a position takes: none before the band, rising smoothly
// to all of it at the border, where that copy continues the image's first row or column.
float fadeWeight(float v) noexcept {
    const float t = (v - (1.0f - kFadeBand)) / kFadeBand;
    return t <= 0.0f ? 0.0f : t * t * (3.0f - 2.0f * t);
}

using Tile = TileSetup;

// Calls `at(x, y, weight)` for the image position and its copies one image back (left, up and
// both) that the fade band gives a weight, so that the sum of the weighted values repeats.
template <typename At> void crossFade(float px, float py, At&& at) noexcept {
    const float wx = fadeWeight(px);
    const float wy = fadeWeight(py);
    const float xs[2] = {px, px - 1.0f};
    const float ys[2] = {py, py - 1.0f};
    const float wxs[2] = {1.0f - wx, wx};
    const float wys[2] = {1.0f - wy, wy};
    for (int by = 0; by < 2; ++by) {
        for (int bx = 0; bx < 2; ++bx) {
            const float w = wxs[bx] * wys[by];
            if (w > 0.0f) {
                at(xs[bx], ys[by], w);
            }
        }
    }
}

// Patterns that repeat through their lattice are sampled within one period, at the offset
// position taken into [0, 1): nothing that depends on the sign or the size of a coordinate
// (Brick's mortar lines, say) can then break the repeat. Cross-faded patterns keep their
// coordinates, which the fade joins up.
Colour tiledMaterial(float px, float py, const TextureParams& record, const Tile& tile) noexcept {
    const auto at = [&](float x, float y) {
        Colour c;
        evaluateMaterial(Vec3{x * tile.scales.materialX, y * tile.scales.materialY, 0.0f}, record,
                         c, tile.material);
        return c;
    };
    if (!crossFadesWhenTiled(record.material)) {
        return at(intoUnit(record.offset.x + px), intoUnit(record.offset.y + py));
    }
    Colour sum;
    crossFade(px, py, [&](float x, float y, float w) {
        const Colour c = at(record.offset.x + x, record.offset.y + y);
        sum.r += w * c.r;
        sum.g += w * c.g;
        sum.b += w * c.b;
        sum.a += w * c.a;
    });
    return sum;
}

void tiledRelief(float px, float py, const TextureParams& record, const Tile& tile,
                 Sample& sample) noexcept {
    const auto point = [&](float x, float y) {
        return Vec3{x * tile.scales.reliefX, y * tile.scales.reliefY, 0.0f};
    };
    if (!reliefCrossFadesWhenTiled(record.relief)) {
        const Vec3 p = point(intoUnit(record.offset.x + px), intoUnit(record.offset.y + py));
        applyRelief(p, record, sample.normal, tile.relief);
        if (sample.hasRelief) {
            sample.height = reliefHeight(p, record, tile.relief);
        }
        return;
    }
    Vec3 sum;
    float height = 0.0f;
    crossFade(px, py, [&](float x, float y, float w) {
        const Vec3 p = point(record.offset.x + x, record.offset.y + y);
        Vec3 n{0.0f, 0.0f, 1.0f};
        applyRelief(p, record, n, tile.relief);
        sum = Vec3{sum.x + w * n.x, sum.y + w * n.y, sum.z + w * n.z};
        height += w * reliefHeight(p, record, tile.relief);
    });
    const float length = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
    sample.normal = length > 0.0f ? Vec3{sum.x / length, sum.y / length, sum.z / length}
                                  : Vec3{0.0f, 0.0f, 1.0f};
    sample.height = height;
}

void evaluateTiled(float px, float py, const TextureParams& record, Sample& sample) noexcept {
    px = intoUnit(px);
    py = intoUnit(py);
    const Tile tile = tileSetup(record);
    sample.colour = tiledMaterial(px, py, record, tile);
    if (record.reliefIntensity > 0.0f) {
        sample.hasRelief = runsRelief(record.relief);
        tiledRelief(px, py, record, tile, sample);
        // The highlight looks from one point, the centre of the image before any offset,
        // wherever the sample lies: a view that moved with the position would light the last
        // column unlike the first, and one that moved with the offset would relight the tile.
        const Vec3 centre{0.5f * tile.scales.reliefX, 0.5f * tile.scales.reliefY, 0.0f};
        shade(centre, record, sample.colour, sample.normal);
    }
}

}  // namespace

void evaluateSample(float px, float py, const TextureParams& record, Sample& sample) noexcept {
    sample = Sample{};
    if (isSeamless(record)) {
        evaluateTiled(px, py, record, sample);
        return;
    }
    // The same steps, in the same order, as evaluatePixel, so the colour bytes agree.
    const float ox = record.offset.x + px;
    const float oy = record.offset.y + py;
    evaluateMaterial(Vec3{ox * record.scale.x, oy * record.scale.y, 0.0f}, record, sample.colour);
    if (record.reliefIntensity > 0.0f) {
        const Vec3 p{ox * record.reliefScale.x, oy * record.reliefScale.y, 0.0f};
        applyRelief(p, record, sample.normal);
        sample.hasRelief = runsRelief(record.relief);
        if (sample.hasRelief) {
            sample.height = reliefHeight(p, record);
        }
        shade(p, record, sample.colour, sample.normal);
    }
}

float luminance(const Colour& colour) noexcept {
    const auto limited = [](float c) { return c > 0.0f ? std::min(c, 1.0f) : 0.0f; };
    return 0.2126f * limited(colour.r) + 0.7152f * limited(colour.g) + 0.0722f * limited(colour.b);
}

}  // namespace quorvel
