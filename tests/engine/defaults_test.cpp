#include "engine/defaults.h"

#include "tests/engine/testrecords.h"

namespace quorvel {
namespace {

using namespace test;

using enum MaterialType;

// Each material's own defaults, in list order (Sky, Marble, Wood, Brick, Checker, Checker
// Texture, Reflection, Agate, Granite, Gradient, Onion, Leopard, Smoke, Stains): turbulence,
// octaves, scale x, y, z and gradient axes x, y, z.
constexpr float kOwnDefaults[kMaterialCount][8] = {
    {0.5f, 3, 1, 1, 1, 0, 0.5f, 0.5f},    {0.8f, 3, 2, 2, 2, 0, 0, 0},
    {0.1f, 3, 5, 1, 1, 0, 0, 0},          {0.5f, 3, 1, 1, 1, 0, 0.5f, 0.5f},
    {0.5f, 3, 2, 2, 2, 0.5f, 0.5f, 0.5f}, {0.8f, 4, 3, 3, 3, 0, 0, 0},
    {0.5f, 3, 1, 1, 1, 0, 0.5f, 0.5f},    {0.5f, 3, 2, 2, 2, 0, 0, 0},
    {0.8f, 3, 5, 5, 5, 0, 0, 0},          {0.5f, 3, 1, 1, 1, 0, 0.5f, 0.5f},
    {0.5f, 3, 1, 1, 1, 0, 0.5f, 0.5f},    {0.5f, 3, 25, 40, 1, 0, 0, 0},
    {0.5f, 3, 1, 1, 1, 0, 0.5f, 0.5f},    {0.5f, 3, 1, 1, 1, 0, 0.5f, 0.5f}};

// The defaults common to every entry, with one material's own settings.
TextureParams expectedDefaults(int material) {
    const float* own = kOwnDefaults[material];
    TextureParams p;
    p.material = static_cast<int8_t>(material);
    p.spareA = 0.5f;
    p.reliefFrequency = 5.0f;
    p.reliefPhase = 0.1f;
    p.reliefScale = {1, 1, 1};
    p.lightDirection = {1, 1, 1.6f};
    p.brilliance = {200, 200, 200};
    p.reflectionColour = {1, 1, 1, 0};
    p.lightColour = {1, 1, 1, 0};
    p.imageWidth = 160;
    p.imageHeight = 120;
    p.turbulence = own[0];
    p.octaves = static_cast<int16_t>(own[1]);
    p.scale = {own[2], own[3], own[4]};
    p.gradientVector = {own[5], own[6], own[7]};
    return p;
}

TEST(DefaultsTest, TableHoldsTheCommonAndPerMaterialDefaults) {
    const DefaultsTable table = makeDefaultsTable();
    for (int m = 0; m < kMaterialCount; ++m) {
        const TextureParams& entry = table[static_cast<size_t>(m)];
        SCOPED_TRACE(materialName(m));
        EXPECT_EQ(recordBytes(entry), recordBytes(expectedDefaults(m)));
        EXPECT_EQ(recordBytes(materialDefaults(entry.material)), recordBytes(entry));
        EXPECT_EQ(mapBytes(materialDefaults(entry.material).colourMap), mapBytes(entry.colourMap));
        EXPECT_EQ(entry.colourMap.count, kColourMapEntries);
    }
    for (size_t i : {14u, 15u}) {
        EXPECT_EQ(recordBytes(table[i]), (std::array<uint8_t, kRecordBytes>{})) << i;
        EXPECT_EQ(mapBytes(table[i].colourMap), (std::array<uint8_t, kColourMapBytes>{})) << i;
    }
    // A new document and any material outside the list take the Marble entry.
    for (const TextureParams& marble :
         {newTexture(), materialDefaults(-1), materialDefaults(14), materialDefaults(127)}) {
        EXPECT_EQ(recordBytes(marble), recordBytes(table[1]));
        EXPECT_EQ(mapBytes(marble.colourMap), mapBytes(table[1].colourMap));
    }
}

// Entry k covers k / 24 to (k + 1) / 24. Colours are running sums in single precision: every
// entry starts exactly where the one before ended, except where a flat black run restarts; the
// fourth values are 0. Key colours: entry 0's start and the ends of entries 15 and 23.
TEST(DefaultsTest, ColourMapsAreRunningSums) {
    struct Row {
        MaterialType material;
        Colour first, middle, last;
    };
    std::vector<Row> rows = {
        {Marble, {0.8f, 0.78f, 0.8f}, {0.9f, 0.88f, 0.9f}, {0.9f, 0.1f, 0.1f}},
        {Wood, {0.9f, 0.6f, 0.5f}, {0.8f, 0.5f, 0.4f}, {0.4f, 0.2f, 0.1f}},
        {Agate, {0.5f, 1.0f, 0.7f}, {0.4f, 0.9f, 0.6f}, {0.2f, 0.7f, 0.4f}},
        {Granite, {0.98f, 0.55f, 0.6f}, {0.8f, 0.4f, 0.45f}, {0.4f, 0.1f, 0.15f}},
        {CheckerTexture, {0.9f, 0.9f, 0.9f}, {0, 0, 0}, {0.9f, 0.9f, 0.9f}},
        {Leopard, {1, 216 / 255.0f, 176 / 255.0f}, {0, 0, 0}, {0, 0, 0}}};
    for (MaterialType m : {Sky, Brick, Checker, Reflection, Gradient, Onion, Smoke, Stains}) {
        rows.push_back({m, {1, 1, 1}, {1 / 3.0f, 1 / 3.0f, 1 / 3.0f}, {0, 0, 0}});
    }
    const DefaultsTable table = makeDefaultsTable();
    for (const Row& row : rows) {
        SCOPED_TRACE(materialName(static_cast<int>(row.material)));
        const auto& e = table[static_cast<size_t>(row.material)].colourMap.entries;
        for (size_t k = 0; k < kColourMapEntries; ++k) {
            const float i = static_cast<float>(k);
            EXPECT_TRUE(e[k].start == i * 0.041666668f && e[k].end == (i + 1) * 0.041666668f);
            EXPECT_TRUE(e[k].startColour.a == 0.0f && e[k].endColour.a == 0.0f) << k;
            const bool restart =
                (row.material == CheckerTexture && k == 11) || (row.material == Leopard && k == 5);
            EXPECT_TRUE(k == 0 || restart || same(e[k].startColour, e[k - 1].endColour)) << k;
        }
        for (const auto& [got, expected] : {std::pair{e[0].startColour, row.first},
                                            {e[15].endColour, row.middle},
                                            {e[23].endColour, row.last}}) {
            EXPECT_NEAR(got.r, expected.r, 1e-6);
            EXPECT_NEAR(got.g, expected.g, 1e-6);
            EXPECT_NEAR(got.b, expected.b, 1e-6);
        }
    }
}

// A copy keeps every field and a full 24-entry map of positions and r, g, b, the fourth values
// cleared. A material change takes the pattern fields and the map's positions and r, g, b,
// restores a full map and keeps everything else, including the map's fourth values.
TEST(DefaultsTest, CopyAndMaterialChange) {
    std::mt19937 random(7u);
    const TextureParams source = randomRecord(random);
    const TextureParams copy = copyTexture(source);
    ColourMap expectedMap = source.colourMap;
    expectedMap.count = kColourMapEntries;
    for (ColourMapEntry& e : expectedMap.entries) {
        e.startColour.a = e.endColour.a = 0.0f;
    }
    EXPECT_EQ(recordBytes(copy), recordBytes(source));
    EXPECT_EQ(mapBytes(copy.colourMap), mapBytes(expectedMap));

    const TextureParams granite = materialDefaults(static_cast<int>(Granite));
    TextureParams current = source;
    applyMaterialDefaults(current, granite);
    TextureParams expected = source;
    expected.material = granite.material;
    expected.turbulence = granite.turbulence;
    expected.octaves = granite.octaves;
    expected.scale = granite.scale;
    expected.gradientVector = granite.gradientVector;
    expected.colourMap = granite.colourMap;
    for (size_t i = 0; i < kColourMapEntries; ++i) {
        expected.colourMap.entries[i].startColour.a = source.colourMap.entries[i].startColour.a;
        expected.colourMap.entries[i].endColour.a = source.colourMap.entries[i].endColour.a;
    }
    EXPECT_EQ(recordBytes(current), recordBytes(expected));
    EXPECT_EQ(mapBytes(current.colourMap), mapBytes(expected.colourMap));
}

}  // namespace
}  // namespace quorvel
