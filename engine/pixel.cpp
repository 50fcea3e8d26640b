#include "engine/pixel.h"

#include "engine/materials.h"
#include "engine/numeric.h"
#include "engine/relief.h"

namespace quorvel {

void evaluatePixel(float px, float py, const TextureParams& record, Colour& colour) noexcept {
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
               std::span<uint8_t> rgb) noexcept {
    if (row < 0 || row >= sampling.height()) {
        return;
    }
    const int first = x0 < 0 ? 0 : x0;
    const int last = x1 > sampling.width() ? sampling.width() : x1;
    const float py = sampling.y(row);
    for (int i = first; i < last; ++i) {
        const size_t out = static_cast<size_t>(static_cast<int64_t>(i) - x0) * 3;
        if (out + 3 > rgb.size()) {
            break;
        }
        Colour colour;
        evaluatePixel(sampling.x(i), py, record, colour);
        rgb[out] = channelByte(colour.r);
        rgb[out + 1] = channelByte(colour.g);
        rgb[out + 2] = channelByte(colour.b);
    }
}

}  // namespace quorvel
