#include "engine/pixel.h"

#include "engine/defaults.h"
#include "engine/materials.h"
#include "engine/noise.h"
#include "engine/numeric.h"
#include "engine/relief.h"
#include "tests/engine/testrecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace quorvel {
namespace {

using test::sameColour;

class PixelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initNoise(); }

    static Colour pixel(const TextureParams& record, float px, float py) {
        Colour c;
        evaluatePixel(px, py, record, c);
        return c;
    }

    static std::vector<uint8_t> row(const TextureParams& record, const Sampling& sampling, int j,
                                    int x0, int x1) {
        std::vector<uint8_t> rgb(3 * static_cast<size_t>(x1 - x0));
        renderRow(record, sampling, j, x0, x1, rgb);
        return rgb;
    }
};

TextureParams brickWithRelief() {
    TextureParams record = materialDefaults(static_cast<int>(MaterialType::Brick));
    applyRenderWrites(record);
    record.relief = static_cast<int8_t>(ReliefType::Waves);
    record.reliefIntensity = 0.6f;
    record.reliefScale = {3, 2, 1};
    return record;
}

TEST_F(PixelTest, PixelZeroSamplesTheOriginWhateverTheScale) {
    for (int m = 0; m < kMaterialCount; ++m) {
        TextureParams record = materialDefaults(m);
        Colour atOrigin;
        evaluateMaterial({0, 0, 0}, record, atOrigin);
        for (const Vec3& scale : {Vec3{1, 1, 1}, Vec3{7, 3, 1}, Vec3{1e6f, -5, 0}}) {
            record.scale = scale;
            EXPECT_TRUE(sameColour(pixel(record, 0, 0), atOrigin)) << materialName(m);
        }
    }
}

// The material takes the offset position times scale, the relief the same position times
// reliefScale; mixing the two up would go unnoticed at the origin.
TEST_F(PixelTest, MaterialAndReliefPointsUseTheirOwnScales) {
    TextureParams record = brickWithRelief();
    record.scale = {4, 6, 1};
    record.offset = {0.25f, -0.5f, 3.0f};
    const float px = 0.375f;
    const float py = 0.625f;
    const float ox = record.offset.x + px;
    const float oy = record.offset.y + py;
    Colour expected;
    evaluateMaterial({ox * record.scale.x, oy * record.scale.y, 0}, record, expected);
    const Vec3 p{ox * record.reliefScale.x, oy * record.reliefScale.y, 0};
    Vec3 normal{0, 0, 1};
    applyRelief(p, record, normal);
    shade(p, record, expected, normal);
    EXPECT_TRUE(sameColour(pixel(record, px, py), expected));
}

TEST_F(PixelTest, ImageSamplingIsIndexOverSize) {
    const int sizes[][2] = {{160, 120}, {640, 480}, {3, 7}, {1, 1}};
    for (const auto& size : sizes) {
        const Sampling s = Sampling::image(size[0], size[1]);
        EXPECT_EQ(s.width(), size[0]);
        EXPECT_EQ(s.height(), size[1]);
        for (int i = 0; i < size[0]; ++i) {
            ASSERT_EQ(s.x(i), static_cast<float>(i) / static_cast<float>(size[0]));
        }
        for (int j = 0; j < size[1]; ++j) {
            ASSERT_EQ(s.y(j), static_cast<float>(j) / static_cast<float>(size[1]));
        }
    }
}

TEST_F(PixelTest, ThumbnailSampling) {
    const Sampling s = Sampling::thumbnail();
    EXPECT_EQ(s.width(), 50);
    EXPECT_EQ(s.height(), 39);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(s.x(i), static_cast<float>(i) * 0.02f);
    }
    for (int j = 0; j < 39; ++j) {
        EXPECT_EQ(s.y(j), static_cast<float>(j) * 0.025641026f);
    }
    EXPECT_LT(s.y(38), 1.0f);
}

TEST_F(PixelTest, ChannelBytes) {
    const struct {
        float c;
        int byte;
    } rows[] = {
        {1.0f, 255},
        {0.999f, 254},
        {1.5f, 255},
        {std::numeric_limits<float>::infinity(), 255},
        {0.5f, 127},
        {0.0f, 0},
        {-0.0f, 0},
        {-0.25f, 0},
        {-1.86e-7f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {-std::numeric_limits<float>::infinity(), 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(channelByte(row.c), row.byte) << row.c;
    }
}

TEST_F(PixelTest, RenderRowWritesTheEvaluatedBytes) {
    const TextureParams record = brickWithRelief();
    const Sampling s = Sampling::image(16, 8);
    const std::vector<uint8_t> rgb = row(record, s, 5, 0, 16);
    for (int i = 0; i < 16; ++i) {
        const Colour c = pixel(record, s.x(i), s.y(5));
        const size_t at = 3 * static_cast<size_t>(i);
        EXPECT_EQ(rgb[at], channelByte(c.r)) << i;
        EXPECT_EQ(rgb[at + 1], channelByte(c.g)) << i;
        EXPECT_EQ(rgb[at + 2], channelByte(c.b)) << i;
    }
}

// A larger image is finer, not wider: every pixel of a 160 x 120 image reappears in the
// 640 x 480 image at four times its indices.
TEST_F(PixelTest, LargerImagesShowTheSameSamples) {
    const Sampling small = Sampling::image(160, 120);
    const Sampling large = Sampling::image(640, 480);
    for (TextureParams record : {materialDefaults(1), brickWithRelief()}) {
        for (int j = 0; j < 120; j += 7) {
            ASSERT_EQ(small.y(j), large.y(4 * j));
            const std::vector<uint8_t> a = row(record, small, j, 0, 160);
            const std::vector<uint8_t> b = row(record, large, 4 * j, 0, 640);
            for (int i = 0; i < 160; ++i) {
                ASSERT_EQ(small.x(i), large.x(4 * i));
                for (size_t k = 0; k < 3; ++k) {
                    ASSERT_EQ(a[3 * static_cast<size_t>(i) + k], b[12 * static_cast<size_t>(i) + k])
                        << "pixel " << i << ", " << j;
                }
            }
        }
    }
}

TEST_F(PixelTest, ColumnRangeIsASliceOfTheWholeRow) {
    const TextureParams record = brickWithRelief();
    const Sampling s = Sampling::image(40, 10);
    const std::vector<uint8_t> whole = row(record, s, 3, 0, 40);
    const int ranges[][2] = {{0, 40}, {5, 17}, {37, 40}, {12, 13}, {0, 1}};
    for (const auto& r : ranges) {
        const std::vector<uint8_t> part = row(record, s, 3, r[0], r[1]);
        const std::vector<uint8_t> expected(whole.begin() + 3 * r[0], whole.begin() + 3 * r[1]);
        EXPECT_EQ(part, expected) << r[0] << " to " << r[1];
    }
}

TEST_F(PixelTest, RowsAndColumnsOutsideTheImageAreLeftAlone) {
    const TextureParams record = materialDefaults(1);
    const Sampling s = Sampling::image(8, 4);
    for (int j : {-1, 4, 1000}) {
        std::vector<uint8_t> rgb(24, 0xAB);
        renderRow(record, s, j, rgb);
        EXPECT_EQ(rgb, std::vector<uint8_t>(24, 0xAB)) << "row " << j;
    }
    std::vector<uint8_t> rgb(30, 0xAB);
    renderRow(record, s, 1, 6, 16, rgb); // only columns 6 and 7 exist
    const std::vector<uint8_t> whole = row(record, s, 1, 0, 8);
    EXPECT_TRUE(std::equal(rgb.begin(), rgb.begin() + 6, whole.begin() + 18));
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin() + 6, rgb.end()), std::vector<uint8_t>(24, 0xAB));

    // A short buffer takes as many whole pixels as fit.
    std::vector<uint8_t> shortBuffer(7, 0xAB);
    renderRow(record, s, 1, 0, 8, shortBuffer);
    EXPECT_TRUE(std::equal(shortBuffer.begin(), shortBuffer.begin() + 6, whole.begin()));
    EXPECT_EQ(shortBuffer[6], 0xAB);
}

} // namespace
} // namespace quorvel
