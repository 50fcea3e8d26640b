#include "engine/materials.h"

#include "engine/defaults.h"
#include "engine/noise.h"
#include "tests/engine/testrecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quorvel {
namespace {

using test::sameColour;

class MaterialsTest : public ::testing::Test {
protected:
    using Entries = std::span<const ColourMapEntry>;

    static void SetUpTestSuite() { initNoise(); }

    static TextureParams defaults(MaterialType m) { return materialDefaults(static_cast<int>(m)); }

    static Colour evaluate(const TextureParams& record, Vec3 p, Colour start = {}) {
        evaluateMaterial(p, record, start);
        return start;
    }

    static Entries slice(const TextureParams& record, size_t first, size_t count) {
        return Entries(record.colourMap.entries.data() + first, count);
    }
};

ColourMapEntry segment(float start, float end, Colour from, Colour to) {
    return ColourMapEntry{start, end, from, to};
}

TEST_F(MaterialsTest, MapColourTakesTheFirstCoveringEntryAndBlendsLinearly) {
    const Colour red{1, 0, 0, 0};
    const Colour green{0, 1, 0, 0};
    const Colour blue{0, 0, 1, 0};
    const Colour low{0, 0.2f, 1, 0.4f};
    const ColourMapEntry entries[] = {
        segment(0.2f, 0.5f, red, red),
        segment(0.25f, 1.0f, green, blue),
        segment(0.0f, 0.1f, low, {1, 0.6f, 0, 0.8f}),
    };
    EXPECT_TRUE(sameColour(mapColour(entries, 0.3f), red));
    EXPECT_TRUE(sameColour(mapColour(entries, 0.5f), red));
    EXPECT_TRUE(sameColour(mapColour(entries, 1.0f), blue));
    EXPECT_TRUE(sameColour(mapColour(entries, 1.5f), blue));      // limited to 1
    EXPECT_TRUE(sameColour(mapColour(entries, -0.2f), low));      // raised to 0
    EXPECT_TRUE(sameColour(mapColour(entries, 0.15f), Colour{})); // between entries

    const Colour half = mapColour(entries, 0.05f);
    EXPECT_FLOAT_EQ(half.r, 0.5f);
    EXPECT_FLOAT_EQ(half.g, 0.4f);
    EXPECT_FLOAT_EQ(half.b, 0.5f);
    EXPECT_FLOAT_EQ(half.a, 0.6f);

    EXPECT_TRUE(sameColour(mapColour(Entries(), 0.5f), Colour{}));
    ColourMap empty = defaults(MaterialType::Sky).colourMap;
    empty.count = 0;
    EXPECT_TRUE(sameColour(mapColour(empty, 0.5f), Colour{}));
}

TEST_F(MaterialsTest, CheckerTakesEntryZeroOrTwentyThreeByCellParity) {
    const TextureParams record = defaults(MaterialType::Checker);
    const auto& e = record.colourMap.entries;
    const struct {
        Vec3 p;
        size_t entry;
    } rows[] = {
        {{0, 0, 0}, 23}, {{1, 0, 0}, 0},     {{-0.001f, 0, 0}, 23},  {{0, 1, 0}, 0},
        {{1, 1, 0}, 23}, {{-0.5f, 0, 0}, 0}, {{2.5f, -3.2f, 0}, 23}, {{0.9f, 0.9f, 0}, 23},
    };
    for (const auto& row : rows) {
        // Checker overwrites whatever the colour held.
        const Colour c = evaluate(record, row.p, Colour{0.3f, 0.3f, 0.3f, 0.3f});
        EXPECT_TRUE(sameColour(c, e[row.entry].startColour)) << row.p.x << ", " << row.p.y;
    }
    EXPECT_NEAR(e[23].startColour.r, 1.0 / 24.0, 1e-6);
}

TEST_F(MaterialsTest, CheckerTextureRunsMarbleOverHalfMapsPerCell) {
    TextureParams record = defaults(MaterialType::CheckerTexture);
    record.turbulence = 0.0f; // Marble's value is then triangleWave(x')
    const Entries odd = slice(record, 0, 12);
    const Entries even = slice(record, 11, 12);
    const struct {
        Vec3 p;
        bool oddCell;
    } rows[] = {{{0.049f, 0, 0}, false}, {{0.3f, 0.2f, 0}, false}, {{0.239f, 0, 0}, false},
                {{0.489f, 0, 0}, false}, {{1.049f, 0, 0}, true},   {{1.239f, 0, 0}, true},
                {{1.3f, 0.5f, 0}, true}, {{-0.7f, 0.5f, 0}, true}, {{2.2f, 1.1f, 0}, true}};
    for (const auto& row : rows) {
        const float value = triangleWave(row.p.x + 0.001f);
        const Colour expected = mapColour(row.oddCell ? odd : even, value);
        EXPECT_TRUE(sameColour(evaluate(record, row.p), expected)) << row.p.x << ", " << row.p.y;
    }
    // Even cells cover values from entry 11 to entry 22 only: 0.1 and 0.98 find no entry.
    EXPECT_TRUE(sameColour(evaluate(record, {0.049f, 0, 0}), Colour{}));
    EXPECT_TRUE(sameColour(evaluate(record, {0.489f, 0, 0}), Colour{}));
}

TEST_F(MaterialsTest, BrickMortarLines) {
    const TextureParams record = defaults(MaterialType::Brick);
    const Colour mortar = record.colourMap.entries[0].startColour;
    const struct {
        float x;
        bool isMortar;
    } rows[] = {{0.03f, true}, {0.97f, false}, {0.0f, false},  {-0.03f, true},
                {2.04f, true}, {0.5f, false},  {-0.5f, false}, {1.0f, false}};
    for (const auto& row : rows) {
        const Colour c = evaluate(record, {row.x, 0.5f, 0.0f});
        EXPECT_EQ(sameColour(c, mortar), row.isMortar) << "x = " << row.x;
    }
    EXPECT_TRUE(sameColour(evaluate(record, {0.5f, 0.02f, 0.0f}), mortar));
    EXPECT_TRUE(sameColour(evaluate(record, {0.5f, -1.01f, 0.0f}), mortar));
}

// Between the mortar lines Brick is Granite over map entries 1 to 23 at their own positions.
TEST_F(MaterialsTest, BrickIsGraniteOverTheShiftedMap) {
    TextureParams brick = defaults(MaterialType::Brick);
    brick.octaves = -2; // one Granite octave, so values below 1/24 are common
    TextureParams granite = brick;
    granite.material = static_cast<int8_t>(MaterialType::Granite);
    ColourMap shifted;
    shifted.count = kColourMapEntries - 1;
    for (int i = 0; i + 1 < kColourMapEntries; ++i) {
        shifted.entries[static_cast<size_t>(i)] =
            brick.colourMap.entries[static_cast<size_t>(i) + 1];
    }
    granite.colourMap = shifted;
    // Without a map Granite shows its value as grey, which tells where no entry covers it.
    TextureParams graniteValue = granite;
    graniteValue.colourMap.count = 0;

    int blackSamples = 0;
    for (int i = 0; i < 30; ++i) {
        for (int j = 0; j < 30; ++j) {
            const Vec3 p{0.1f + 0.8f * static_cast<float>(i) / 30.0f,
                         0.1f + 0.8f * static_cast<float>(j) / 30.0f, 0.0f};
            const Colour c = evaluate(brick, p);
            EXPECT_TRUE(sameColour(c, evaluate(granite, p))) << p.x << ", " << p.y;
            if (evaluate(graniteValue, p).r < kColourStep) {
                ++blackSamples;
                EXPECT_TRUE(sameColour(c, Colour{})) << p.x << ", " << p.y;
            }
        }
    }
    EXPECT_GT(blackSamples, 0) << "the sweep found no Granite value below 1/24";
    EXPECT_LT(blackSamples, 900) << "the sweep found nothing but black";
}

TEST_F(MaterialsTest, BrickWithoutGraniteOctavesIsBlackBetweenMortar) {
    TextureParams record = defaults(MaterialType::Brick);
    record.octaves = -3; // Granite sums no octave: its value is 0, below every shifted entry
    EXPECT_TRUE(sameColour(evaluate(record, {0.5f, 0.5f, 0}), Colour{}));
    EXPECT_TRUE(
        sameColour(evaluate(record, {0.03f, 0.5f, 0}), record.colourMap.entries[0].startColour));
}

TEST_F(MaterialsTest, GradientSumsFractionalPartsOfTheChosenAxes) {
    TextureParams record = defaults(MaterialType::Gradient);
    record.turbulence = 0.0f;
    const ColourMap& map = record.colourMap;
    const struct {
        Vec3 axes;
        Vec3 p;
        float value;
    } rows[] = {
        {{0, 0, 0}, {0.3f, 0.7f, 0}, 0.0f},   {{0, 0, 0}, {-5.5f, 2.25f, 0}, 0.0f},
        {{1, 0, 0}, {0.25f, 0.9f, 0}, 0.25f}, {{1, 0, 0}, {-1.75f, 0.9f, 0}, 0.75f},
        {{0, 2, 0}, {0.9f, 3.5f, 0}, 0.5f},   {{1, 1, 0}, {0.75f, 0.5f, 0}, 0.25f},
        {{1, 1, 0}, {0.5f, 0.5f, 0}, 1.0f},   {{-1, 0, 0}, {2.0f, 0.5f, 0}, 0.0f},
    };
    for (const auto& row : rows) {
        record.gradientVector = row.axes;
        EXPECT_TRUE(sameColour(evaluate(record, row.p), mapColour(map, row.value)))
            << row.p.x << ", " << row.p.y << " expected value " << row.value;
    }
}

TEST_F(MaterialsTest, StainsWithoutTurbulenceAlternatesInUnitStripesAlongX) {
    TextureParams record = defaults(MaterialType::Stains);
    record.turbulence = 0.0f;
    const Colour c1 = mapColour(record.colourMap, 0.1f);
    const Colour c2 = mapColour(record.colourMap, 0.9f);
    const struct {
        float x;
        bool odd;
    } rows[] = {{0.5f, false},  {1.5f, true},  {2.0f, false}, {-0.5f, true},
                {-1.5f, false}, {-2.0f, true}, {7.99f, true}};
    for (const auto& row : rows) {
        for (float y : {0.0f, 0.37f, -12.0f}) {
            EXPECT_TRUE(
                sameColour(evaluate(record, {row.x, y, 0}, Colour{5, 5, 5, 5}), row.odd ? c1 : c2))
                << "x = " << row.x << ", y = " << y;
        }
    }
}

// With turbulence the cells are taken at x and z moved by the vector turbulence; y only moves
// the point the turbulence is sampled at.
TEST_F(MaterialsTest, StainsCellsFollowTheTurbulentXAndZ) {
    TextureParams record = defaults(MaterialType::Stains);
    record.turbulence = 2.5f;
    const Colour c1 = mapColour(record.colourMap, 0.1f);
    const Colour c2 = mapColour(record.colourMap, 0.9f);
    for (int i = 0; i < 12; ++i) {
        const Vec3 p{static_cast<float>(i) * 0.41f - 2.0f, static_cast<float>(i) * 0.23f, 0};
        const Vec3 v = vectorTurbulence(p, record.octaves);
        const float n = cellFloor(p.x + 2.5f * v.x) + cellFloor(p.z + 2.5f * v.z);
        const bool odd = static_cast<int>(n) % 2 != 0;
        EXPECT_TRUE(sameColour(evaluate(record, p), odd ? c1 : c2)) << p.x << ", " << p.y;
    }
}

TEST_F(MaterialsTest, MaterialsOutsideTheListAddNothing) {
    TextureParams record = defaults(MaterialType::Marble);
    const Colour before{0.25f, 0.5f, 0.75f, 0.125f};
    for (int m : {14, 15, 100, 127, -1, -128}) {
        record.material = static_cast<int8_t>(m);
        EXPECT_TRUE(sameColour(evaluate(record, {0.3f, 0.6f, 0}, before), before)) << m;
    }
}

// Every material but Checker, Stains and Brick's mortar adds to what the caller holds.
TEST_F(MaterialsTest, MaterialsAddToOrOverwriteTheHeldColour) {
    const Colour held{0.125f, 0.25f, 0.0625f, 0.5f};
    const Vec3 p{0.4f, 0.55f, 0.0f}; // not on a mortar line
    for (int m = 0; m < kMaterialCount; ++m) {
        SCOPED_TRACE(materialName(m));
        const TextureParams record = materialDefaults(m);
        const Colour alone = evaluate(record, p);
        const Colour onTop = evaluate(record, p, held);
        const bool overwrites = m == static_cast<int>(MaterialType::Checker) ||
                                m == static_cast<int>(MaterialType::Stains);
        const Colour expected = overwrites ? alone
                                           : Colour{held.r + alone.r, held.g + alone.g,
                                                    held.b + alone.b, held.a + alone.a};
        EXPECT_TRUE(sameColour(onTop, expected));
    }
}

TEST_F(MaterialsTest, SkyReadsNoiseAtTheTurbulentlyDisplacedPoint) {
    const TextureParams sky = defaults(MaterialType::Sky);
    for (const Vec3& p : {Vec3{0.3f, 0.7f, 0}, Vec3{-1.2f, 2.5f, 0}}) {
        const Vec3 v = vectorTurbulence(p, sky.octaves);
        const Vec3 moved{p.x + sky.turbulence * v.x, p.y + sky.turbulence * v.y,
                         p.z + sky.turbulence * v.z};
        EXPECT_TRUE(sameColour(evaluate(sky, p), mapColour(sky.colourMap, noise(moved))));
    }
}

// Smoke folds ten octaves of noise sampled along the vector noise of the point; turbulence and
// octaves play no part. Without a map the grey shows the value itself.
TEST_F(MaterialsTest, SmokeSamplesNoiseAlongTheVectorNoise) {
    TextureParams record = defaults(MaterialType::Smoke);
    record.colourMap.count = 0;
    TextureParams other = record;
    other.turbulence = 7.0f;
    other.octaves = 12;
    for (const Vec3& p : {Vec3{0.3f, 0.7f, 0}, Vec3{-2.5f, 1.25f, 0}, Vec3{4.1f, 0.05f, 0}}) {
        const Vec3 d = vectorNoise(p);
        float value = 0.0f;
        for (float s = 1.0f; s <= 512.0f; s *= 2.0f) {
            value += std::fabs(noise(4.0f * s * d.x, 4.0f * s * d.y, 4.0f * s * d.z)) / s;
        }
        EXPECT_FLOAT_EQ(evaluate(record, p).r, value);
        EXPECT_TRUE(sameColour(evaluate(record, p), evaluate(other, p)));
    }
}

TextureParams withoutMap(MaterialType m) {
    TextureParams record = materialDefaults(static_cast<int>(m));
    record.colourMap.count = 0;
    return record;
}

TEST_F(MaterialsTest, SkyFallbackColoursFollowTheNoiseBands) {
    TextureParams record = withoutMap(MaterialType::Sky);
    record.turbulence = 0.0f;
    bool seen[4] = {};
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 40; ++j) {
            const Vec3 p{static_cast<float>(i) * 0.13f, static_cast<float>(j) * 0.17f, 0};
            const float v = noise(p);
            const int band = v < 0.4f ? 0 : v < 0.6f ? 1 : v < 0.8f ? 2 : 3;
            const Colour bands[] = {{1, 1, 1, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 0}};
            seen[band] = true;
            EXPECT_TRUE(sameColour(evaluate(record, p), bands[band])) << "value " << v;
        }
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2] && seen[3]);
}

TEST_F(MaterialsTest, FallbackColoursOfMarbleWoodAndAgate) {
    TextureParams marble = withoutMap(MaterialType::Marble);
    marble.turbulence = 0.0f;
    const Colour marbleHalf = evaluate(marble, {0.25f, 0, 0}); // value 0.5
    EXPECT_FLOAT_EQ(marbleHalf.r, 0.9f);
    EXPECT_FLOAT_EQ(marbleHalf.g, 0.4f);
    EXPECT_FLOAT_EQ(marbleHalf.b, 0.4f);
    EXPECT_TRUE(sameColour(evaluate(marble, {0.475f, 0, 0}), Colour{})); // value 0.95

    TextureParams wood = withoutMap(MaterialType::Wood);
    wood.turbulence = 0.0f;
    EXPECT_TRUE(sameColour(evaluate(wood, {0.2f, 0, 0}), Colour{0.666f, 0.312f, 0.2f, 0}));
    EXPECT_TRUE(sameColour(evaluate(wood, {0.4f, 0, 0}), Colour{0.4f, 0.133f, 0.066f, 0}));

    // With no octaves Agate's base is (cycloid(0) + 1) / 2 = 0.5 and turbulence is the exponent.
    TextureParams agate = withoutMap(MaterialType::Agate);
    agate.octaves = 0;
    const struct {
        float turbulence;
        float value;
    } rows[] = {{1.99f, 0.25f}, {0.99f, 0.5f}, {-0.01f, 1.0f}};
    for (const auto& row : rows) {
        agate.turbulence = row.turbulence;
        const float v = row.value;
        const Colour expected = v < 0.5f   ? Colour{1 - 0.1f * v, 1 - 0.2f * v, 1 - v, 0}
                                : v < 0.6f ? Colour{0.9f, 0.7f, 1 - v, 0}
                                           : Colour{1.6f - v, 1.3f - v, 1 - v, 0};
        const Colour c = evaluate(agate, {0.3f, 0.3f, 0});
        EXPECT_FLOAT_EQ(c.r, expected.r) << "value " << v;
        EXPECT_FLOAT_EQ(c.g, expected.g) << "value " << v;
        EXPECT_FLOAT_EQ(c.b, expected.b) << "value " << v;
    }
}

// The grey fallback equals a one-entry map from black to white, which returns the value itself.
TEST_F(MaterialsTest, GreyFallbackShowsTheValue) {
    ColourMap identity;
    identity.count = 1;
    identity.entries[0] = segment(0.0f, 1.0f, {0, 0, 0, 0}, {1, 1, 1, 0});
    for (MaterialType m : {MaterialType::Reflection, MaterialType::Granite, MaterialType::Onion,
                           MaterialType::Leopard, MaterialType::Smoke}) {
        SCOPED_TRACE(materialName(static_cast<int>(m)));
        const TextureParams fallback = withoutMap(m);
        TextureParams mapped = fallback;
        mapped.colourMap = identity;
        for (const Vec3& p : {Vec3{0.3f, 0.7f, 0}, Vec3{-1.1f, 0.45f, 0}, Vec3{2.6f, 1.9f, 0}}) {
            const Colour c = evaluate(fallback, p);
            EXPECT_EQ(c.r, c.g);
            EXPECT_EQ(c.r, c.b);
            if (c.r >= 0.0f && c.r <= 1.0f) {
                EXPECT_TRUE(sameColour(c, evaluate(mapped, p)));
            }
        }
    }
}

TEST_F(MaterialsTest, GradientAndStainsWithoutAMap) {
    const Colour held{0.25f, 0.5f, 0.75f, 0};
    EXPECT_TRUE(
        sameColour(evaluate(withoutMap(MaterialType::Gradient), {0.3f, 0.7f, 0}, held), held));
    TextureParams stains = withoutMap(MaterialType::Stains);
    stains.turbulence = 0.0f;
    EXPECT_TRUE(sameColour(evaluate(stains, {1.5f, 0, 0}), Colour{1, 1, 1, 0}));
    EXPECT_TRUE(sameColour(evaluate(stains, {0.5f, 0, 0}), Colour{0, 1, 0, 0}));
}

TEST_F(MaterialsTest, EveryDefaultMaterialGivesColoursInRange) {
    for (int m = 0; m < kMaterialCount; ++m) {
        SCOPED_TRACE(materialName(m));
        const TextureParams record = materialDefaults(m);
        for (int i = 0; i < 8; ++i) {
            for (int j = 0; j < 8; ++j) {
                const float px = static_cast<float>(i) / 8.0f;
                const float py = static_cast<float>(j) / 8.0f;
                const Colour c = evaluate(record, {px * record.scale.x, py * record.scale.y, 0});
                for (float v : {c.r, c.g, c.b}) {
                    ASSERT_TRUE(std::isfinite(v));
                    ASSERT_GE(v, -1e-6f);
                    ASSERT_LE(v, 1.0f + 1e-6f);
                }
                EXPECT_EQ(c.a, 0.0f);
            }
        }
    }
}

} // namespace
} // namespace quorvel
