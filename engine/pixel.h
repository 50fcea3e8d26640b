#pragma once

#include "engine/enginepath.h"
#include "engine/lanerecord.h"
#include "engine/textureparams.h"

#include <cstdint>
#include <span>

namespace quorvel {

// One sample of the texture at normalised position (px, py): the material at the offset and
// scaled point, then relief and shading when reliefIntensity > 0. The caller zeroes r, g, b of
// `colour` before each call.
void evaluatePixel(float px, float py, const TextureParams& record, Colour& colour) noexcept;

// Which sample each pixel takes. Images of W x H pixels sample (i / W, j / H), so every size
// shows the same unit square; library thumbnails are 50 x 39 and sample (i x 0.02,
// j x 0.025641026).
class Sampling {
public:
    static Sampling image(int width, int height) noexcept { return Sampling(width, height, false); }
    static Sampling thumbnail() noexcept {
        return Sampling(kThumbnailWidth, kThumbnailHeight, true);
    }

    static constexpr int kThumbnailWidth = 50;
    static constexpr int kThumbnailHeight = 39;

    int width() const noexcept { return mWidth; }
    int height() const noexcept { return mHeight; }
    bool isThumbnail() const noexcept { return mThumbnail; }
    float x(int i) const noexcept;
    float y(int j) const noexcept;

private:
    Sampling(int width, int height, bool thumbnail) noexcept
        : mWidth(width), mHeight(height), mThumbnail(thumbnail) {}

    int mWidth;
    int mHeight;
    bool mThumbnail;
};

// Renders pixels [x0, x1) of image row `row` (counted from the top) as red, green, blue bytes
// into `rgb`, as many whole pixels as it holds. Columns outside the image are left as they are.
// The path only changes the speed, never a byte. initNoise must have run.
void renderRow(const TextureParams& record, const Sampling& sampling, int row, int x0, int x1,
               std::span<uint8_t> rgb, EnginePath path = EnginePath::Auto) noexcept;

// Renders rows of one record on one path, with the work that is the same for every row done
// once. The record must outlive it and stay unchanged. initNoise must have run.
class RowRenderer {
public:
    RowRenderer(const TextureParams& record, const Sampling& sampling,
                EnginePath path = EnginePath::Auto) noexcept;

    // As renderRow.
    void render(int row, int x0, int x1, std::span<uint8_t> rgb) const noexcept;

    // The path it runs on, never Auto.
    EnginePath path() const noexcept { return mPath; }

private:
    const TextureParams& mRecord;
    Sampling mSampling;
    EnginePath mPath;
    LaneRecord mLanes;
};

// Renders a whole row.
inline void renderRow(const TextureParams& record, const Sampling& sampling, int row,
                      std::span<uint8_t> rgb) noexcept {
    renderRow(record, sampling, row, 0, sampling.width(), rgb);
}

}  // namespace quorvel
