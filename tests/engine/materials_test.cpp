#include "engine/materials.h"

#include "tests/engine/testrecords.h"

namespace quorvel {
namespace {

using namespace test;

using enum MaterialType;
using Entries = std::span<const ColourMapEntry>;

class MaterialsTest : public EngineTest {};

TextureParams defaults(MaterialType m, float turbulence = 0.0f) {
    TextureParams record = materialDefaults(static_cast<int>(m));
    record.turbulence = turbulence;
    return record;
}

Colour evaluate(const TextureParams& record, Vec3 p, Colour start = {}) {
    evaluateMaterial(p, record, start);
    return start;
}

bool near(const Colour& a, const Colour& b) {
    return std::fabs(a.r - b.r) < 1e-6f && std::fabs(a.g - b.g) < 1e-6f &&
           std::fabs(a.b - b.b) < 1e-6f && std::fabs(a.a - b.a) < 1e-6f;
}

TEST_F(MaterialsTest, MapColourTakesTheFirstCoveringEntryAndBlendsLinearly) {
    const Colour red{1, 0, 0, 0};
    const Colour blue{0, 0, 1, 0};
    const Colour low{0, 0.2f, 1, 0.4f};
    const ColourMapEntry entries[] = {{0.2f, 0.5f, red, red},
                                      {0.25f, 1.0f, {0, 1, 0, 0}, blue},
                                      {0.0f, 0.1f, low, {1, 0.6f, 0, 0.8f}}};
    // Values beyond 0 to 1 are clamped; no entry covers 0.15.
    const std::pair<float, Colour> rows[] = {
        {0.3f, red},  {0.5f, red},  {1.0f, blue}, {0.05f, {0.5f, 0.4f, 0.5f, 0.6f}},
        {1.5f, blue}, {-0.2f, low}, {0.15f, {}}};
    for (const auto& [value, expected] : rows) {
        EXPECT_TRUE(near(mapColour(entries, value), expected)) << value;
    }
    EXPECT_TRUE(same(mapColour(ColourMap{0, {}}, 0.5f), Colour{}));  // an empty map
}

// Checker takes map entry 0 in odd and entry 23 in even unit cells of x + y + z (moved by
// 0.001), whatever the colour held.
TEST_F(MaterialsTest, CheckerTakesEntryZeroOrTwentyThreeByCellParity) {
    const TextureParams record = defaults(Checker);
    const auto& e = record.colourMap.entries;
    const std::pair<Vec3, size_t> rows[] = {
        {{0, 0, 0}, 23}, {{1, 0, 0}, 0},     {{-0.001f, 0, 0}, 23},  {{0, 1, 0}, 0},
        {{1, 1, 0}, 23}, {{-0.5f, 0, 0}, 0}, {{2.5f, -3.2f, 0}, 23}, {{0.9f, 0.9f, 0}, 23}};
    for (const auto& [p, entry] : rows) {
        EXPECT_TRUE(same(evaluate(record, p, {5, 5, 5, 5}), e[entry].startColour))
            << p.x << ", " << p.y;
    }
}

// Odd cells run Marble over entries 0 to 11, even cells over entries 11 to 22, at the point
// moved by 0.001 like Checker's; even cells thus find no entry for 0.1 and 0.98.
TEST_F(MaterialsTest, CheckerTextureRunsMarbleOverHalfMapsPerCell) {
    const TextureParams record = defaults(CheckerTexture);  // Marble's value is triangleWave(x)
    const Entries odd(record.colourMap.entries.data(), 12);
    const Entries even(record.colourMap.entries.data() + 11, 12);
    const std::pair<Vec3, bool> rows[] = {
        {{0.049f, 0, 0}, false}, {{0.3f, 0.2f, 0}, false}, {{0.239f, 0, 0}, false},
        {{0.489f, 0, 0}, false}, {{1.049f, 0, 0}, true},   {{1.239f, 0, 0}, true},
        {{1.3f, 0.5f, 0}, true}, {{-0.7f, 0.5f, 0}, true}, {{2.2f, 1.1f, 0}, true}};
    for (const auto& [p, oddCell] : rows) {
        const Colour expected = mapColour(oddCell ? odd : even, triangleWave(p.x + 0.001f));
        EXPECT_TRUE(same(evaluate(record, p), expected)) << p.x << ", " << p.y;
    }
}

// Mortar lines (a fractional part of x, y or z within 0, not 0, and 0.05) take entry 0; between
// them Brick is Granite over entries 1 to 23 at their own positions, so Granite values below
// 1/24 stay black.
TEST_F(MaterialsTest, BrickIsGraniteOverTheShiftedMapBetweenMortarLines) {
    TextureParams brick = defaults(Brick, 0.5f);
    brick.octaves = -2;  // one Granite octave, so values below 1/24 are common
    const Colour mortar = brick.colourMap.entries[0].startColour;
    const std::pair<Vec3, bool> rows[] = {
        {{0.03f, 0.5f, 0}, true},  {{0.97f, 0.5f, 0}, false}, {{0.0f, 0.5f, 0}, false},
        {{-0.03f, 0.5f, 0}, true}, {{2.04f, 0.5f, 0}, true},  {{-0.5f, 0.5f, 0}, false},
        {{1.0f, 0.5f, 0}, false},  {{0.5f, 0.02f, 0}, true},  {{0.5f, -1.01f, 0}, true}};
    for (const auto& [p, isMortar] : rows) {
        EXPECT_EQ(same(evaluate(brick, p), mortar), isMortar) << p.x << ", " << p.y;
    }
    TextureParams granite = brick;
    granite.material = static_cast<int8_t>(Granite);
    granite.colourMap.count = kColourMapEntries - 1;
    std::copy(brick.colourMap.entries.begin() + 1, brick.colourMap.entries.end(),
              granite.colourMap.entries.begin());
    TextureParams graniteValue = granite;  // without a map Granite shows its value as grey
    graniteValue.colourMap.count = 0;
    int black = 0;
    for (int i = 0; i < 400; ++i) {
        const Vec3 p{0.1f + 0.04f * static_cast<float>(i / 20),
                     0.1f + 0.04f * static_cast<float>(i % 20), 0};
        const Colour c = evaluate(brick, p);
        EXPECT_TRUE(same(c, evaluate(granite, p))) << p.x << ", " << p.y;
        if (evaluate(graniteValue, p).r < kColourStep) {
            ++black;
            EXPECT_TRUE(same(c, Colour{})) << p.x << ", " << p.y;
        }
    }
    EXPECT_TRUE(black > 0 && black < 400) << black;
}

// The fractional parts of |x|, |y|, |z| for the non-zero axes are summed, and a sum above 1
// folded back; axes that are all zero give 0.
TEST_F(MaterialsTest, GradientSumsFractionalPartsOfTheChosenAxes) {
    TextureParams record = defaults(Gradient);
    const struct {
        Vec3 axes, p;
        float value;
    } rows[] = {{{0, 0, 0}, {0.3f, 0.7f, 0}, 0.0f},   {{0, 0, 0}, {-5.5f, 2.25f, 0}, 0.0f},
                {{1, 0, 0}, {0.25f, 0.9f, 0}, 0.25f}, {{1, 0, 0}, {-1.75f, 0.9f, 0}, 0.75f},
                {{0, 2, 0}, {0.9f, 3.5f, 0}, 0.5f},   {{1, 1, 0}, {0.75f, 0.5f, 0}, 0.25f},
                {{1, 1, 0}, {0.5f, 0.5f, 0}, 1.0f},   {{-1, 0, 0}, {2.0f, 0.5f, 0}, 0.0f}};
    for (const auto& row : rows) {
        record.gradientVector = row.axes;
        EXPECT_TRUE(same(evaluate(record, row.p), mapColour(record.colourMap, row.value)))
            << row.p.x << ", " << row.p.y << " expected value " << row.value;
    }
}

// Without turbulence Stains takes the map at 0.1 in odd and at 0.9 in even unit cells of x + z,
// overwriting the held colour.
TEST_F(MaterialsTest, StainsAlternatesByTheCellsOfXAndZ) {
    TextureParams record = defaults(Stains);
    const Colour odd = mapColour(record.colourMap, 0.1f);
    const Colour even = mapColour(record.colourMap, 0.9f);
    const std::pair<float, bool> rows[] = {{0.5f, false}, {1.5f, true},   {2.0f, false},
                                           {-0.5f, true}, {-1.5f, false}, {-2.0f, true},
                                           {7.99f, true}};
    for (const auto& [x, isOdd] : rows) {
        for (const Vec3& p : {Vec3{x, 0, 0}, Vec3{x, -12.0f, 0}, Vec3{x, 0.37f, 2}}) {
            EXPECT_TRUE(same(evaluate(record, p, {5, 5, 5, 5}), isOdd ? odd : even)) << x;
        }
    }
}

}  // namespace
}  // namespace quorvel
