#include "engine/sample.h"
#include "engine/seamless.h"
#include "testrecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace quorvel::test {
namespace {

// The seam measure: the mean absolute byte difference across the wrap edge (last column to
// first, last row to first) against the largest such mean between neighbouring interior
// columns (rows).
struct Seams {
    double columnEdge = 0, columnInterior = 0, rowEdge = 0, rowInterior = 0;
};

Seams measureSeams(const Bytes& rgb, int w, int h) {
    const auto at = [&](int i, int j, int c) {
        return static_cast<int>(rgb[(static_cast<size_t>(j) * w + i) * 3 + c]);
    };
    const auto columnDiff = [&](int a, int b) {
        double sum = 0;
        for (int j = 0; j < h; ++j)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(at(a, j, c) - at(b, j, c));
        return sum / (3.0 * h);
    };
    const auto rowDiff = [&](int a, int b) {
        double sum = 0;
        for (int i = 0; i < w; ++i)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(at(i, a, c) - at(i, b, c));
        return sum / (3.0 * w);
    };
    Seams s;
    s.columnEdge = columnDiff(w - 1, 0);
    s.rowEdge = rowDiff(h - 1, 0);
    for (int i = 0; i + 1 < w; ++i)
        s.columnInterior = std::max(s.columnInterior, columnDiff(i, i + 1));
    for (int j = 0; j + 1 < h; ++j)
        s.rowInterior = std::max(s.rowInterior, rowDiff(j, j + 1));
    return s;
}

struct SeamCase {
    std::string name;
    TextureParams record;
};

std::vector<SeamCase> seamCases() {
    std::vector<SeamCase> cases;
    for (int m = 0; m < kMaterialCount; ++m) {
        cases.push_back({std::string(materialName(m)), materialDefaults(m)});
    }
    for (int r = 0; r < kReliefCount; ++r) {
        TextureParams granite = defaultsOf(Granite);
        granite.relief = static_cast<int8_t>(r);
        granite.reliefIntensity = 0.5f;
        cases.push_back({"Granite with " + std::string(reliefName(r)), granite});
    }
    for (SeamCase& c : cases) {
        c.name.erase(std::remove(c.name.begin(), c.name.end(), ' '), c.name.end());
        setSeamless(c.record, true);
    }
    return cases;
}

class SeamTable : public testing::TestWithParam<SeamCase> {};

TEST_P(SeamTable, WrapEdgesAreNoSharperThanTheInterior) {
    initNoise();
    // The default size, and an odd size at an offset, so neither lines up with a cell.
    for (const auto& [w, h, ox, oy] :
         {std::tuple{160, 120, 0.0f, 0.0f}, std::tuple{97, 61, 0.37f, -1.2f}}) {
        TextureParams record = GetParam().record;
        record.offset = Vec3{ox, oy, 0.0f};
        const Seams s = measureSeams(image(record, Sampling::image(w, h)), w, h);
        EXPECT_LE(s.columnEdge, 1.5 * s.columnInterior) << w << " x " << h;
        EXPECT_LE(s.rowEdge, 1.5 * s.rowInterior) << w << " x " << h;
        EXPECT_GT(s.columnInterior + s.rowInterior, 0.0) << "a blank image proves nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(Seamless, SeamTable, testing::ValuesIn(seamCases()),
                         [](const auto& info) { return info.param.name; });

// The wrap edge seen much closer than any image does: the step from just before the right
// border to the first column (and the bottom border to the first row), against the same step
// at interior positions. A texture that tiles is as continuous at its border as inside.
TEST(Seamless, BordersAreAsContinuousAsTheInteriorUpClose) {
    initNoise();
    constexpr float kStep = 1.0f / 65536.0f;  // well below the finest octave's cells
    const auto step = [](const TextureParams& record, float x0, float y0, float x1, float y1) {
        Colour a, b;
        evaluatePixel(x0, y0, record, a);
        evaluatePixel(x1, y1, record, b);
        return std::abs(channelByte(a.r) - channelByte(b.r)) +
               std::abs(channelByte(a.g) - channelByte(b.g)) +
               std::abs(channelByte(a.b) - channelByte(b.b));
    };
    // Without an offset the border is where each period starts again; with one, that point
    // moves into the image and the border must still join.
    for (const Vec3 offset : {Vec3{}, Vec3{0.37f, -1.2f, 0.0f}})
        for (SeamCase c : seamCases()) {
            c.record.offset = offset;
            double edgeX = 0, edgeY = 0, innerX = 0, innerY = 0;
            for (int k = 0; k < 256; ++k) {
                const float t = (static_cast<float>(k) + 0.5f) / 256.0f;
                edgeX += step(c.record, 1.0f - kStep, t, 0.0f, t);
                edgeY += step(c.record, t, 1.0f - kStep, t, 0.0f);
            }
            for (float inner = 0.1f; inner < 0.95f; inner += 0.1f) {
                double sumX = 0, sumY = 0;
                for (int k = 0; k < 256; ++k) {
                    const float t = (static_cast<float>(k) + 0.5f) / 256.0f;
                    sumX += step(c.record, inner - kStep, t, inner, t);
                    sumY += step(c.record, t, inner - kStep, t, inner);
                }
                innerX = std::max(innerX, sumX);
                innerY = std::max(innerY, sumY);
            }
            // One byte per sample of slack: rounding alone may flip a channel at the border.
            EXPECT_LE(edgeX, 1.5 * innerX + 3 * 256) << c.name;
            EXPECT_LE(edgeY, 1.5 * innerY + 3 * 256) << c.name;
        }
}

TEST(Seamless, OffRendersTheRecordAsBefore) {
    initNoise();
    // Seamless lives in a field no older record sets; clearing it must give the plain render,
    // and setting it must change the picture of a texture that does not tile by itself.
    TextureParams marble = defaultsOf(Marble);
    const Bytes plain = image(marble, Sampling::image(64, 48));
    setSeamless(marble, true);
    EXPECT_TRUE(isSeamless(marble));
    EXPECT_NE(image(marble, Sampling::image(64, 48)), plain);
    setSeamless(marble, false);
    EXPECT_EQ(marble.spareD, 0.0f);
    EXPECT_EQ(image(marble, Sampling::image(64, 48)), plain);
}

TEST(Seamless, WrappedLatticeRepeatsWithItsPeriod) {
    initNoise();
    const LatticePeriod period{3, 5};
    for (const auto& [x, y] :
         {std::pair{0.25f, 0.5f}, std::pair{-7.6f, 2.2f}, std::pair{1.9f, -0.3f}}) {
        EXPECT_NEAR(noise(x, y, 0.0f, period), noise(x + 3.0f, y, 0.0f, period), 1e-3f);
        EXPECT_NEAR(noise(x, y, 0.0f, period), noise(x, y - 5.0f, 0.0f, period), 1e-3f);
        const Vec3 a = vectorTurbulence(Vec3{x, y, 0.0f}, 4, period);
        const Vec3 b = vectorTurbulence(Vec3{x - 6.0f, y + 10.0f, 0.0f}, 4, period);
        EXPECT_NEAR(a.x, b.x, 1e-2f);
        EXPECT_NEAR(a.y, b.y, 1e-2f);
    }
}

TEST(Seamless, TileScalesAreWholeCellsAndEvenWhereCellsAlternate) {
    struct Row {
        MaterialType material;
        Vec3 scale;
        float x, y;
    };
    for (const Row& r : {Row{Marble, {2.4f, 0.2f, 1}, 2, 1}, Row{Granite, {-5.6f, 7.5f, 1}, -6, 8},
                         Row{Checker, {3.0f, 1.0f, 1}, 4, 2}, Row{Stains, {0.0f, kNaN, 1}, 2, 2}}) {
        TextureParams record = defaultsOf(r.material);
        record.scale = r.scale;
        const TileScales t = tileScales(record);
        EXPECT_EQ(t.materialX, r.x) << materialName(static_cast<int>(r.material));
        EXPECT_EQ(t.materialY, r.y) << materialName(static_cast<int>(r.material));
    }
}

}  // namespace
}  // namespace quorvel::test
