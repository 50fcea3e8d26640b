#include "engine/pixel.h"

#include "engine/materials.h"
#include "engine/numeric.h"
#include "engine/relief.h"
#include "engine/sample.h"
#include "engine/seamless.h"

#include <algorithm>

namespace quorvel {

void evaluatePixel(float px, float py, const TextureParams& record, Colour& colour) noexcept {
    if (isSeamless(record)) {
        Sample sample;
        evaluateSample(px, py, record, sample);
        colour = sample.colour;
        return;
    }
    const float ox = record.offset.x + px;
    const float oy = record.offset.y + py;
    evaluateMaterial(Vec3{ox * record.scale.x, oy * record.scale.y, 0.0f}, record, colour);
    if (record.reliefIntensity > 0.0f) {
        const Vec3 p{ox * record.reliefScale.x, oy * record.reliefScale.y, 0.0f};
        Vec3 normal{0.0f, 0.0f, 1.0f};
        applyRelief(p, record, normal);
        shade(p, record, colour, normal);
    }
}

float Sampling::x(int i) const noexcept {
    return mThumbnail ? static_cast<float>(i) * 0.02f
                      : static_cast<float>(i) / static_cast<float>(mWidth);
}

float Sampling::y(int j) const noexcept {
    return mThumbnail ? static_cast<float>(j) * 0.025641026f
                      : static_cast<float>(j) / static_cast<float>(mHeight);
}

void renderRow(const TextureParams& record, const Sampling& sampling, int row, int x0, int x1,
               std::span<uint8_t> rgb, EnginePath path) noexcept {
    RowRenderer(record, sampling, path).render(row, x0, x1, rgb);
}

RowRenderer::RowRenderer(const TextureParams& record, const Sampling& sampling,
                         EnginePath path) noexcept
    : mRecord(record), mSampling(sampling), mPath(resolveEnginePath(path)) {
    if (mPath != EnginePath::Scalar) {
        prepareLaneRecord(record, sampling, mLanes);
    }
}

void RowRenderer::render(int row, int x0, int x1, std::span<uint8_t> rgb) const noexcept {
    if (row < 0 || row >= mSampling.height()) {
        return;
    }
    const int first = x0 < 0 ? 0 : x0;
    const int64_t room = static_cast<int64_t>(x0) + static_cast<int64_t>(rgb.size() / 3);
    const int last = static_cast<int>(std::min<int64_t>({x1, mSampling.width(), room}));
    if (first >= last) {
        return;
    }
    uint8_t* out = rgb.data() + 3 * (static_cast<int64_t>(first) - x0);
    const float py = mSampling.y(row);
#if defined(__x86_64__)
    switch (mPath) {
    case EnginePath::Avx2: renderLanesAvx2(mLanes, py, first, last, out); return;
    case EnginePath::Avx512: renderLanesAvx512(mLanes, py, first, last, out); return;
    default: break;
    }
#endif
    for (int i = first; i < last; ++i, out += 3) {
        Colour colour;
        evaluatePixel(mSampling.x(i), py, mRecord, colour);
        out[0] = channelByte(colour.r);
        out[1] = channelByte(colour.g);
        out[2] = channelByte(colour.b);
    }
}

}  // namespace quorvel
