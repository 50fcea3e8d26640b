#include "engine/defaults.h"

#include "engine/numeric.h"
#include "tests/engine/testrecords.h"

#include <gtest/gtest.h>

#include <array>

namespace quorvel {
namespace {

using test::mapBytes;
using test::recordBytes;

struct PerMaterial {
    MaterialType material;
    float turbulence;
    int16_t octaves;
    Vec3 scale;
    Vec3 gradientVector;
};

constexpr PerMaterial kPerMaterial[] = {
    {MaterialType::Sky, 0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},
    {MaterialType::Marble, 0.8f, 3, {2, 2, 2}, {0, 0, 0}},
    {MaterialType::Wood, 0.1f, 3, {5, 1, 1}, {0, 0, 0}},
    {MaterialType::Brick, 0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},
    {MaterialType::Checker, 0.5f, 3, {2, 2, 2}, {0.5f, 0.5f, 0.5f}},
    {MaterialType::CheckerTexture, 0.8f, 4, {3, 3, 3}, {0, 0, 0}},
    {MaterialType::Reflection, 0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},
    {MaterialType::Agate, 0.5f, 3, {2, 2, 2}, {0, 0, 0}},
    {MaterialType::Granite, 0.8f, 3, {5, 5, 5}, {0, 0, 0}},
    {MaterialType::Gradient, 0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},
    {MaterialType::Onion, 0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},
    {MaterialType::Leopard, 0.5f, 3, {25, 40, 1}, {0, 0, 0}},
    {MaterialType::Smoke, 0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},
    {MaterialType::Stains, 0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},
};

// The defaults common to every entry, with one material's own settings.
TextureParams expectedDefaults(const PerMaterial& m) {
    TextureParams p;
    p.material = static_cast<int8_t>(m.material);
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
    p.turbulence = m.turbulence;
    p.octaves = m.octaves;
    p.scale = m.scale;
    p.gradientVector = m.gradientVector;
    return p;
}

TEST(DefaultsTest, EntriesHoldTheCommonAndPerMaterialDefaults) {
    const DefaultsTable table = makeDefaultsTable();
    for (const PerMaterial& row : kPerMaterial) {
        const TextureParams& entry = table[static_cast<size_t>(row.material)];
        SCOPED_TRACE(materialName(entry.material));
        EXPECT_EQ(recordBytes(entry), recordBytes(expectedDefaults(row)));
        EXPECT_EQ(recordBytes(materialDefaults(entry.material)), recordBytes(entry));
        EXPECT_EQ(entry.colourMap.count, kColourMapEntries);
        for (int i = 0; i < kColourMapEntries; ++i) {
            const ColourMapEntry& e = entry.colourMap.entries[static_cast<size_t>(i)];
            EXPECT_EQ(e.start, static_cast<float>(i) * 0.041666668f) << "entry " << i;
            EXPECT_EQ(e.end, static_cast<float>(i + 1) * 0.041666668f) << "entry " << i;
            EXPECT_EQ(e.startColour.a, 0.0f);
            EXPECT_EQ(e.endColour.a, 0.0f);
        }
    }
}

TEST(DefaultsTest, NewTextureIsTheMarbleEntry) {
    const DefaultsTable table = makeDefaultsTable();
    const TextureParams fresh = newTexture();
    EXPECT_EQ(recordBytes(fresh), recordBytes(expectedDefaults(kPerMaterial[1])));
    EXPECT_EQ(mapBytes(fresh.colourMap), mapBytes(table[1].colourMap));
}

TEST(DefaultsTest, LastTwoEntriesAreAllZero) {
    const DefaultsTable table = makeDefaultsTable();
    for (size_t i : {14u, 15u}) {
        EXPECT_EQ(recordBytes(table[i]), (std::array<uint8_t, kRecordBytes>{})) << i;
        EXPECT_EQ(mapBytes(table[i].colourMap), (std::array<uint8_t, kColourMapBytes>{})) << i;
    }
}

struct Rgb {
    float r, g, b;
};

// Colour sequences are running sums in single precision: entry k starts at the running colour
// and ends at running + step, which is also where entry k + 1 starts. Returns the colour reached.
Rgb expectSteps(const ColourMap& map, int first, int count, Rgb running, Rgb step) {
    for (int k = first; k < first + count; ++k) {
        const ColourMapEntry& e = map.entries[static_cast<size_t>(k)];
        EXPECT_TRUE(e.startColour.r == running.r && e.startColour.g == running.g &&
                    e.startColour.b == running.b)
            << "start of entry " << k;
        running = {running.r + step.r, running.g + step.g, running.b + step.b};
        EXPECT_TRUE(e.endColour.r == running.r && e.endColour.g == running.g &&
                    e.endColour.b == running.b)
            << "end of entry " << k;
    }
    return running;
}

void expectNear(Rgb c, Rgb expected, const char* what) {
    EXPECT_NEAR(c.r, expected.r, 1e-6) << what;
    EXPECT_NEAR(c.g, expected.g, 1e-6) << what;
    EXPECT_NEAR(c.b, expected.b, 1e-6) << what;
}

TEST(DefaultsTest, GreyRampRunsFromWhiteToBlack) {
    const DefaultsTable table = makeDefaultsTable();
    for (MaterialType m :
         {MaterialType::Sky, MaterialType::Brick, MaterialType::Checker, MaterialType::Reflection,
          MaterialType::Gradient, MaterialType::Onion, MaterialType::Smoke, MaterialType::Stains}) {
        const ColourMap& map = table[static_cast<size_t>(m)].colourMap;
        const float s = -0.041666668f;
        const Rgb last = expectSteps(map, 0, 24, {1, 1, 1}, {s, s, s});
        expectNear(last, {0, 0, 0}, "end of entry 23");
        EXPECT_EQ(channelByte(last.r), 0);
        expectNear({map.entries[12].startColour.r, 0, 0}, {0.5f, 0, 0}, "start of entry 12");
    }
}

// Sixteen steps from a start colour, then eight steps of one eighth of what remains.
TEST(DefaultsTest, TwoPartRamps) {
    const struct {
        MaterialType material;
        Rgb start, step, middle, target;
    } rows[] = {
        {MaterialType::Marble,
         {0.8f, 0.78f, 0.8f},
         {0.0062499978f, 0.0062500015f, 0.0062499978f},
         {0.9f, 0.88f, 0.9f},
         {0.9f, 0.1f, 0.1f}},
        {MaterialType::Wood,
         {0.9f, 0.6f, 0.5f},
         {-0.0062499978f, -0.0062500015f, -0.0062499996f},
         {0.8f, 0.5f, 0.4f},
         {0.4f, 0.2f, 0.1f}},
        {MaterialType::Agate,
         {0.5f, 1.0f, 0.7f},
         {-0.0062499996f, -0.0062500015f, -0.0062499978f},
         {0.4f, 0.9f, 0.6f},
         {0.2f, 0.7f, 0.4f}},
        {MaterialType::Granite,
         {0.98f, 0.55f, 0.6f},
         {-0.01125f, -0.009375f, -0.009375002f},
         {0.8f, 0.4f, 0.45f},
         {0.4f, 0.1f, 0.15f}},
    };
    const DefaultsTable table = makeDefaultsTable();
    for (const auto& row : rows) {
        SCOPED_TRACE(materialName(static_cast<int>(row.material)));
        const ColourMap& map = table[static_cast<size_t>(row.material)].colourMap;
        const Rgb middle = expectSteps(map, 0, 16, row.start, row.step);
        expectNear(middle, row.middle, "end of entry 15");
        const Rgb eighth{(row.target.r - middle.r) * 0.125f, (row.target.g - middle.g) * 0.125f,
                         (row.target.b - middle.b) * 0.125f};
        expectNear(expectSteps(map, 16, 8, middle, eighth), row.target, "end of entry 23");
    }
}

TEST(DefaultsTest, CheckerTextureMap) {
    const DefaultsTable table = makeDefaultsTable();
    const ColourMap& map = table[static_cast<size_t>(MaterialType::CheckerTexture)].colourMap;
    expectSteps(map, 0, 8, {0.9f, 0.9f, 0.9f}, {0, 0, 0});
    const Rgb falling = expectSteps(map, 8, 3, {0.9f, 0.9f, 0.9f}, {-0.225f, -0.225f, -0.225f});
    expectNear(falling, {0.225f, 0.225f, 0.225f}, "end of entry 10");
    expectSteps(map, 11, 9, {0, 0, 0}, {0, 0, 0});
    const Rgb rising = expectSteps(map, 20, 4, {0, 0, 0}, {0.225f, 0.225f, 0.225f});
    expectNear(rising, {0.9f, 0.9f, 0.9f}, "end of entry 23");
}

TEST(DefaultsTest, LeopardMapFadesToBlackInFiveSteps) {
    const DefaultsTable table = makeDefaultsTable();
    const ColourMap& map = table[static_cast<size_t>(MaterialType::Leopard)].colourMap;
    const Rgb start{1.0f, 0.84705883f, 0.6901961f};
    expectNear(start, {1.0f, 216.0f / 255.0f, 176.0f / 255.0f}, "(255, 216, 176) / 255");
    const Rgb last = expectSteps(map, 0, 5, start, {-0.2f, -0.16941176f, -0.13803922f});
    expectNear(last, {0, 0, 0}, "end of entry 4");
    EXPECT_EQ(channelByte(last.r) + channelByte(last.g) + channelByte(last.b), 0);
    expectSteps(map, 5, 19, {0, 0, 0}, {0, 0, 0});
}

// A record with every field and every map value distinct, fourth colour values included.
TextureParams distinctiveRecord() {
    TextureParams p = materialDefaults(static_cast<int>(MaterialType::Wood));
    p.relief = 3;
    p.spareA = 0.25f;
    p.reliefFrequency = 7.5f;
    p.reliefPhase = 0.3f;
    p.reliefIntensity = 1.5f;
    p.spareB = 2.0f;
    p.spareC = 3.0f;
    p.spareD = 4.0f;
    p.mortarWidth = 0.05f;
    p.reliefScale = {2, 3, 4};
    p.lightDirection = {-1, 0.5f, 2};
    p.brilliance = {10, 20, 30};
    p.reflectionColour = {0.1f, 0.2f, 0.3f, 0.4f};
    p.lightColour = {0.5f, 0.6f, 0.7f, 0.8f};
    p.imageWidth = 640;
    p.imageHeight = 480;
    p.imageFormat = 8;
    p.offset = {0.125f, -0.5f, 9.0f};
    for (int i = 0; i < kColourMapEntries; ++i) {
        ColourMapEntry& e = p.colourMap.entries[static_cast<size_t>(i)];
        e.startColour.a = 0.5f + static_cast<float>(i);
        e.endColour.a = -1.0f - static_cast<float>(i);
    }
    return p;
}

// An entry as a copy carries it: positions and r, g, b, with the fourth values cleared.
ColourMapEntry withoutFourth(ColourMapEntry e) {
    e.startColour.a = 0.0f;
    e.endColour.a = 0.0f;
    return e;
}

bool sameEntry(const ColourMapEntry& a, const ColourMapEntry& b) {
    return test::sameBits(a.start, b.start) && test::sameBits(a.end, b.end) &&
           test::sameColour(a.startColour, b.startColour) &&
           test::sameColour(a.endColour, b.endColour);
}

TEST(DefaultsTest, CopyTextureKeepsEveryFieldAndClearsFourthValues) {
    TextureParams source = distinctiveRecord();
    source.colourMap.count = 7;
    const TextureParams copy = copyTexture(source);
    EXPECT_EQ(recordBytes(copy), recordBytes(source));
    EXPECT_EQ(copy.colourMap.count, kColourMapEntries);
    for (size_t i = 0; i < copy.colourMap.entries.size(); ++i) {
        EXPECT_TRUE(
            sameEntry(copy.colourMap.entries[i], withoutFourth(source.colourMap.entries[i])))
            << "entry " << i;
    }
}

TEST(DefaultsTest, MaterialChangeTakesOnlyThePatternFields) {
    const TextureParams before = distinctiveRecord();
    const TextureParams granite = materialDefaults(static_cast<int>(MaterialType::Granite));
    TextureParams current = before;
    applyMaterialDefaults(current, granite);

    TextureParams expected = before;
    expected.material = granite.material;
    expected.turbulence = granite.turbulence;
    expected.octaves = granite.octaves;
    expected.scale = granite.scale;
    expected.gradientVector = granite.gradientVector;
    EXPECT_EQ(recordBytes(current), recordBytes(expected));
    for (size_t i = 0; i < current.colourMap.entries.size(); ++i) {
        EXPECT_TRUE(sameEntry(withoutFourth(current.colourMap.entries[i]),
                              withoutFourth(granite.colourMap.entries[i])))
            << "entry " << i;
    }
}

} // namespace
} // namespace quorvel
