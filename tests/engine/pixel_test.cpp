#include "engine/pixel.h"

#include "tests/engine/testrecords.h"

namespace quorvel {
namespace {

using namespace test;

class PixelTest : public EngineTest {};

Bytes row(const TextureParams& record, const Sampling& sampling, int j, int x0, int x1) {
    Bytes rgb(3 * static_cast<size_t>(x1 - x0));
    renderRow(record, sampling, j, x0, x1, rgb);
    return rgb;
}

// Pixel (0, 0) is the material at the origin; a material outside the list leaves it black.
TEST_F(PixelTest, PixelZeroSamplesTheOriginWhateverTheScale) {
    for (int m = -1; m <= kMaterialCount; ++m) {
        TextureParams record = materialDefaults(m);
        record.material = static_cast<int8_t>(m);
        Colour atOrigin;
        evaluateMaterial({0, 0, 0}, record, atOrigin);
        EXPECT_TRUE((m >= 0 && m < kMaterialCount) || same(atOrigin, Colour{})) << m;
        for (const Vec3& scale : {Vec3{1, 1, 1}, Vec3{7, 3, 1}, Vec3{1e6f, -5, 0}}) {
            record.scale = scale;
            Colour c;
            evaluatePixel(0, 0, record, c);
            EXPECT_TRUE(same(c, atOrigin)) << materialName(m);
        }
    }
}

// Images sample (i / W, j / H), so every size shows the same unit square; thumbnails sample
// (i x 0.02, j x 0.025641026).
TEST_F(PixelTest, ImageAndThumbnailSampling) {
    for (const auto& [w, h] : {std::pair{160, 120}, {640, 480}, {3, 7}, {1, 1}}) {
        const Sampling s = Sampling::image(w, h);
        EXPECT_TRUE(s.width() == w && s.height() == h);
        for (int i = 0; i < std::max(w, h); ++i) {
            ASSERT_TRUE(i >= w || s.x(i) == static_cast<float>(i) / static_cast<float>(w)) << i;
            ASSERT_TRUE(i >= h || s.y(i) == static_cast<float>(i) / static_cast<float>(h)) << i;
        }
    }
    const Sampling t = Sampling::thumbnail();
    EXPECT_TRUE(t.width() == 50 && t.height() == 39);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(t.x(i), static_cast<float>(i) * 0.02f);
        EXPECT_TRUE(i >= 39 || t.y(i) == static_cast<float>(i) * 0.025641026f) << i;
    }
    EXPECT_LT(t.y(38), 1.0f);
}

// trunc(c x 255) of c limited to 0 to 1; NaN gives 0.
TEST_F(PixelTest, ChannelBytes) {
    const std::pair<float, int> rows[] = {{1.0f, 255}, {0.999f, 254}, {1.5f, 255},   {kInf, 255},
                                          {0.5f, 127}, {0.0f, 0},     {-0.0f, 0},    {-0.25f, 0},
                                          {-kInf, 0},  {kNaN, 0},     {-1.86e-7f, 0}};
    for (const auto& [c, byte] : rows) {
        EXPECT_EQ(channelByte(c), byte) << c;
    }
}

// A pixel is the material at (offset + position) x scale, then relief and shading at the same
// position times reliefScale (mixing the two up would go unnoticed at the origin), as bytes.
// A column range is a slice of the whole row; rows beyond the image are left alone.
TEST_F(PixelTest, RenderRowWritesTheEvaluatedBytes) {
    TextureParams record = materialDefaults(static_cast<int>(MaterialType::Brick));
    record.reliefIntensity = 0.6f;
    record.scale = {4, 6, 1};
    record.reliefScale = {3, 2, 1};
    record.offset = {0.25f, -0.5f, 3.0f};
    const Sampling s = Sampling::image(40, 10);
    const Bytes whole = row(record, s, 3, 0, 40);
    for (int i = 0; i < 40; ++i) {
        const float ox = 0.25f + s.x(i);
        const float oy = -0.5f + s.y(3);
        Colour c;
        evaluateMaterial({ox * 4, oy * 6, 0}, record, c);
        const Vec3 p{ox * 3, oy * 2, 0};
        Vec3 normal{0, 0, 1};
        applyRelief(p, record, normal);
        shade(p, record, c, normal);
        const Bytes expected{channelByte(c.r), channelByte(c.g), channelByte(c.b)};
        EXPECT_EQ(Bytes(whole.begin() + 3 * i, whole.begin() + 3 * i + 3), expected) << i;
    }
    for (const auto& [x0, x1] : {std::pair{5, 17}, {37, 40}, {12, 13}, {0, 1}}) {
        EXPECT_EQ(row(record, s, 3, x0, x1), Bytes(whole.begin() + 3 * x0, whole.begin() + 3 * x1))
            << x0 << " to " << x1;
    }
    for (int j : {-1, 10, 1000}) {
        Bytes rgb(120, 0xAB);
        renderRow(record, s, j, rgb);
        EXPECT_EQ(rgb, Bytes(120, 0xAB)) << "row " << j;
    }
}

// Octaves beyond the last meaningful one add nothing: without that, the lattice coordinates of
// high octaves overflow and detail 32 turns much of the default Marble black, detail 40 all of it.
TEST_F(PixelTest, HighDetailLooksLikeTheHighestMeaningfulDetail) {
    const Sampling s = Sampling::image(160, 120);
    TextureParams record = materialDefaults(static_cast<int>(MaterialType::Marble));
    const auto image = [&](int octaves) {
        record.octaves = static_cast<int16_t>(octaves);
        Bytes rgb;
        for (int j = 0; j < s.height(); ++j) {
            const Bytes r = row(record, s, j, 0, s.width());
            rgb.insert(rgb.end(), r.begin(), r.end());
        }
        return rgb;
    };
    const Bytes reference = image(30);
    for (int octaves : {30, 32, 40, 256, 32767}) {
        const Bytes rgb = image(octaves);
        int black = 0;
        for (size_t k = 0; k < rgb.size(); k += 3) {
            black += rgb[k] == 0 && rgb[k + 1] == 0 && rgb[k + 2] == 0;
        }
        EXPECT_EQ(black, 0) << "detail " << octaves;
        EXPECT_TRUE(rgb == reference) << "detail " << octaves;
    }
    EXPECT_TRUE(image(20) != image(3)) << "detail no longer matters";
}

}  // namespace
}  // namespace quorvel
