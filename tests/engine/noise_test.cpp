#include "engine/noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace quorvel {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Published check values are printed with 6 or 7 decimals; allow half a unit of the last one.
constexpr double kSixDecimals = 5e-7;
constexpr double kSevenDecimals = 5e-8;

class NoiseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initNoise(); }
    const NoiseTables& tables() const { return noiseTables(); }
};

TEST_F(NoiseTest, TablesMatchTheCheckValuesOfACorrectBuild) {
    const NoiseTables& t = tables();
    const uint16_t firstPerm[] = {694, 204, 2139, 1384, 767, 3979, 1171, 371};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(t.permTable[i], firstPerm[i]) << "permTable[" << i << "]";
    }
    EXPECT_EQ(t.permTable[4095], 38);
    EXPECT_NEAR(t.waveFrequencies[0], 0.798965, kSixDecimals);
    EXPECT_NEAR(t.waveDirections[0].x, -0.536497, kSixDecimals);
    EXPECT_NEAR(t.waveDirections[0].y, -0.434627, kSixDecimals);
    EXPECT_NEAR(t.waveDirections[0].z, -0.723374, kSixDecimals);
    EXPECT_NEAR(noise(0.0f, 0.0f, 0.0f), 0.143679, kSixDecimals);
}

TEST_F(NoiseTest, RandomTableMatchesItsCheckValues) {
    const NoiseTables& t = tables();
    EXPECT_EQ(t.randomTable[0], -1.0f);
    EXPECT_NEAR(t.randomTable[1], -0.4456092, kSevenDecimals);
    EXPECT_NEAR(t.randomTable[266], -0.0600748, kSevenDecimals);
}

TEST_F(NoiseTest, TablesHoldTheirDescribedRanges) {
    const NoiseTables& t = tables();
    std::vector<uint16_t> sorted(t.permTable.begin(), t.permTable.end());
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i) {
        ASSERT_EQ(sorted[i], i) << "permTable is not a permutation of 0 to 4095";
    }
    for (float r : t.randomTable) {
        EXPECT_GE(r, -1.0f);
        EXPECT_LE(r, 1.0f);
    }
    for (size_t i = 0; i < t.waveDirections.size(); ++i) {
        const Vec3& d = t.waveDirections[i];
        EXPECT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 1.0, 1e-6) << "source " << i;
        EXPECT_GE(t.waveFrequencies[i], 0.01f);
        EXPECT_LE(t.waveFrequencies[i], 1.01f);
    }
    EXPECT_FLOAT_EQ(t.sineTable[250], 1.0f);
    EXPECT_FLOAT_EQ(t.sineTable[750], -1.0f);
}

TEST_F(NoiseTest, TwoBuildsAreIdenticalAndMatchTheSharedTables) {
    const NoiseTables a = buildNoiseTables();
    const NoiseTables b = buildNoiseTables();
    for (const NoiseTables* other : {&b, &tables()}) {
        EXPECT_EQ(a.permTable, other->permTable);
        EXPECT_EQ(a.randomTable, other->randomTable);
        EXPECT_EQ(a.sineTable, other->sineTable);
        EXPECT_EQ(a.waveFrequencies, other->waveFrequencies);
        for (size_t i = 0; i < a.waveDirections.size(); ++i) {
            EXPECT_EQ(a.waveDirections[i].x, other->waveDirections[i].x);
            EXPECT_EQ(a.waveDirections[i].y, other->waveDirections[i].y);
            EXPECT_EQ(a.waveDirections[i].z, other->waveDirections[i].z);
        }
    }
}

// At a lattice point every fractional part is zero, so only the lower corner has weight and its
// gradient terms vanish: the noise is 0.5 x m0 + 0.5 of that one corner.
TEST_F(NoiseTest, LatticePointTakesItsCornerValueAlone) {
    const auto& perm = tables().permTable;
    const int points[][3] = {{0, 0, 0},     {1, 2, 3},      {-7, 13, 250},      {4095, -4096, 17},
                             {-9999, 0, 5}, {-10001, 1, 0}, {-12345, -20000, 6}};
    for (const auto& p : points) {
        const auto corner = [](int v) { return static_cast<unsigned>(v + 10000) & 4095u; };
        const int h = perm[perm[perm[corner(p[0])] ^ corner(p[1])] ^ corner(p[2])] & 255;
        const float expected = 0.5f * tables().randomTable[static_cast<size_t>(h)] + 0.5f;
        EXPECT_FLOAT_EQ(
            noise(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])),
            expected)
            << p[0] << ", " << p[1] << ", " << p[2];
    }
}

TEST_F(NoiseTest, NoiseStaysWithinZeroToOneEverywhere) {
    const float coordinates[] = {0.0f,      0.37f,  -0.37f, 5.5f,  -123.25f, 9999.9f,
                                 -10000.5f, -2e4f,  1e6f,   -1e6f, 2.2e9f,   -3e9f,
                                 1e30f,     -1e38f, 1e-40f, kInf,  -kInf,    kNaN};
    for (float x : coordinates) {
        for (float y : coordinates) {
            for (float z : {0.0f, 0.73f, -41.5f, kNaN, 1e20f}) {
                const float n = noise(x, y, z);
                ASSERT_TRUE(n >= 0.0f && n <= 1.0f) << x << ", " << y << ", " << z << " -> " << n;
            }
        }
    }
}

// The x component of vectorNoise reads the same table entries as noise, without the offset and
// the clamp, so where noise clamps the vector component must run past the clamped range.
TEST_F(NoiseTest, VectorNoiseIsTheUnclampedSumBehindNoise) {
    int clampedPoints = 0;
    for (int i = 0; i < 80; ++i) {
        for (int j = 0; j < 80; ++j) {
            const float x = static_cast<float>(i) * 0.173f - 6.0f;
            const float y = static_cast<float>(j) * 0.191f - 8.0f;
            const float vx = vectorNoise(x, y, 0.3f).x;
            const float shifted = vx + 0.5f;
            const float n = noise(x, y, 0.3f);
            EXPECT_EQ(n, std::clamp(shifted, 0.0f, 1.0f)) << x << ", " << y;
            if (shifted > 1.0f || shifted < 0.0f) {
                ++clampedPoints;
            }
        }
    }
    EXPECT_GT(clampedPoints, 0) << "no point of the sweep reached the clamp";
}

struct FloatCase {
    float in;
    float out;
};

TEST_F(NoiseTest, CycloidReadsTheSineTable) {
    const auto& sine = tables().sineTable;
    EXPECT_FLOAT_EQ(cycloid(0.25f), 1.0f);
    EXPECT_FLOAT_EQ(cycloid(-0.25f), -1.0f);
    EXPECT_FLOAT_EQ(cycloid(0.25), 1.0f);
    EXPECT_FLOAT_EQ(cycloid(-0.25), -1.0f);
    EXPECT_EQ(cycloid(1.7f), sine[700]);
    EXPECT_EQ(cycloid(-0.3f), -sine[300]);
    EXPECT_EQ(cycloid(12.0f), sine[0]);
    for (float v : {kNaN, kInf, -kInf}) {
        EXPECT_EQ(cycloid(v), 0.0f) << v;
        EXPECT_EQ(cycloid(static_cast<double>(v)), 0.0f) << v;
    }
}

TEST_F(NoiseTest, TriangleWave) {
    const FloatCase cases[] = {{0.25f, 0.5f},  {0.75f, 0.5f},  {-0.5f, 1.0f}, {0.5f, 1.0f},
                               {0.0f, 0.0f},   {3.0f, 0.0f},   {-1.0f, 0.0f}, {-2.0f, 0.0f},
                               {-0.25f, 0.5f}, {-0.75f, 0.5f}, {2.1f, 0.2f}};
    for (const FloatCase& c : cases) {
        EXPECT_NEAR(triangleWave(c.in), c.out, 1e-6) << c.in;
    }
}

TEST_F(NoiseTest, CellFloorIsOneLessAtNegativeWholeNumbers) {
    const FloatCase cases[] = {{-2.0f, -3.0f}, {2.5f, 2.0f},   {-2.5f, -3.0f}, {0.0f, 0.0f},
                               {1.0f, 1.0f},   {-1.0f, -2.0f}, {-0.5f, -1.0f}, {0.999f, 0.0f}};
    for (const FloatCase& c : cases) {
        EXPECT_EQ(cellFloor(c.in), c.out) << c.in;
    }
}

// The octave sums written out plainly, with no cut-off: valid while every octave stays on the
// lattice.
float plainTurbulence(const Vec3& p, int n) {
    float sum = 0.0f;
    float s = 1.0f;
    for (int k = 0; k < n; ++k) {
        sum += std::fabs(noise(p.x / s, p.y / s, p.z / s)) * s;
        s *= 0.5f;
    }
    return sum;
}

Vec3 plainVectorTurbulence(const Vec3& p, int n) {
    Vec3 sum;
    float s = 1.0f;
    for (int k = 0; k < n; ++k) {
        const Vec3 v = vectorNoise(p.x / s, p.y / s, p.z / s);
        sum = Vec3{sum.x + v.x * s, sum.y + v.y * s, sum.z + v.z * s};
        s *= 0.5f;
    }
    return sum;
}

// How many octaves stay where noise is defined: the scale has not underflowed and every
// shifted coordinate still fits a 32-bit integer.
int meaningfulOctaves(const Vec3& p) {
    int n = 0;
    for (float s = 1.0f; s > 0.0f && onLattice(p.x / s, p.y / s, p.z / s); s *= 0.5f) {
        ++n;
    }
    return n;
}

const Vec3 kOrdinaryPoints[] = {
    {0.3f, 1.7f, 0.0f}, {-2.25f, 0.5f, 0.0f}, {12.5f, -7.125f, 3.0f}, {0.0f, 0.0f, 0.0f}};

TEST_F(NoiseTest, TurbulenceOfNoOctavesIsZero) {
    for (int n : {0, -1, -32768}) {
        EXPECT_EQ(turbulenceSum(Vec3{0.3f, 1.7f, 0.0f}, n), 0.0f) << n;
        const Vec3 v = vectorTurbulence(Vec3{0.3f, 1.7f, 0.0f}, n);
        EXPECT_EQ(v.x, 0.0f);
        EXPECT_EQ(v.y, 0.0f);
        EXPECT_EQ(v.z, 0.0f);
    }
}

TEST_F(NoiseTest, TurbulenceEqualsThePlainOctaveSum) {
    for (const Vec3& p : kOrdinaryPoints) {
        for (int n = 1; n <= 20; ++n) {
            EXPECT_EQ(turbulenceSum(p, n), plainTurbulence(p, n)) << "n = " << n;
            const Vec3 v = vectorTurbulence(p, n);
            const Vec3 expected = plainVectorTurbulence(p, n);
            EXPECT_EQ(v.x, expected.x) << "n = " << n;
            EXPECT_EQ(v.y, expected.y) << "n = " << n;
            EXPECT_EQ(v.z, expected.z) << "n = " << n;
        }
    }
}

// Huge detail must neither hang nor sum garbage from octaves whose lattice coordinates
// overflow: it looks exactly like the highest meaningful detail.
TEST_F(NoiseTest, HugeOctaveCountsStopAtTheLastMeaningfulOctave) {
    std::vector<Vec3> points(std::begin(kOrdinaryPoints), std::end(kOrdinaryPoints));
    points.push_back({1e-30f, 0.0f, 0.0f});
    points.push_back({1e9f, 0.0f, 0.0f});
    points.push_back({3e9f, 0.5f, 0.0f});
    for (const Vec3& p : points) {
        const int meaningful = meaningfulOctaves(p);
        const float expected = plainTurbulence(p, meaningful);
        const Vec3 expectedVector = plainVectorTurbulence(p, meaningful);
        for (int n : {meaningful, meaningful + 1, 40, 256, 32767}) {
            const float t = turbulenceSum(p, n);
            const Vec3 v = vectorTurbulence(p, n);
            EXPECT_TRUE(std::isfinite(t)) << "n = " << n;
            EXPECT_EQ(t, expected) << p.x << ", " << p.y << " n = " << n;
            EXPECT_EQ(v.x, expectedVector.x) << "n = " << n;
            EXPECT_EQ(v.y, expectedVector.y) << "n = " << n;
            EXPECT_EQ(v.z, expectedVector.z) << "n = " << n;
        }
    }
}

} // namespace
} // namespace quorvel
