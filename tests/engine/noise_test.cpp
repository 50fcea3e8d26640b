#include "engine/noise.h"

#include "tests/engine/testrecords.h"

namespace quorvel {
namespace {

using namespace test;

class NoiseTest : public EngineTest {};

// Check values are printed with 6 or 7 decimals; allow half a unit of the last one. A fresh
// build gives the same tables: nothing in them depends on the run.
TEST_F(NoiseTest, TablesMatchTheCheckValuesAndEveryBuildIsTheSame) {
    const NoiseTables& t = noiseTables();
    const uint16_t firstPerm[] = {694, 204, 2139, 1384, 767, 3979, 1171, 371};
    EXPECT_TRUE(std::equal(std::begin(firstPerm), std::end(firstPerm), t.permTable.begin()));
    EXPECT_EQ(t.permTable[4095], 38);
    EXPECT_EQ(t.randomTable[0], -1.0f);
    EXPECT_NEAR(t.randomTable[1], -0.4456092, 5e-8);
    EXPECT_NEAR(t.randomTable[266], -0.0600748, 5e-8);
    EXPECT_NEAR(t.waveFrequencies[0], 0.798965, 5e-7);
    EXPECT_NEAR(t.waveDirections[0].x, -0.536497, 5e-7);
    EXPECT_NEAR(t.waveDirections[0].y, -0.434627, 5e-7);
    EXPECT_NEAR(t.waveDirections[0].z, -0.723374, 5e-7);
    EXPECT_NEAR(noise(0.0f, 0.0f, 0.0f), 0.143679, 5e-7);
    EXPECT_FLOAT_EQ(t.sineTable[250], 1.0f);

    std::vector<uint16_t> sorted(t.permTable.begin(), t.permTable.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end() &&
                sorted.back() == 4095)
        << "permTable is not a permutation of 0 to 4095";
    const NoiseTables fresh = buildNoiseTables();
    EXPECT_TRUE(fresh.permTable == t.permTable && fresh.randomTable == t.randomTable &&
                fresh.sineTable == t.sineTable && fresh.waveFrequencies == t.waveFrequencies);
    for (size_t i = 0; i < t.waveDirections.size(); ++i) {
        const Vec3& d = t.waveDirections[i];
        EXPECT_TRUE(same(fresh.waveDirections[i], d)) << "source " << i;
        EXPECT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 1.0, 1e-6) << "source " << i;
    }
}

// At a lattice point every fractional part is zero, so only the lower corner has weight and its
// gradient terms vanish: the noise is 0.5 x m0 + 0.5 of that corner, found through the hashes.
TEST_F(NoiseTest, LatticePointsTakeTheirCornerValueAndNoiseStaysInRange) {
    const NoiseTables& t = noiseTables();
    const int points[][3] = {{0, 0, 0},     {1, 2, 3},      {-7, 13, 250},      {4095, -4096, 17},
                             {-9999, 0, 5}, {-10001, 1, 0}, {-12345, -20000, 6}};
    for (const auto& p : points) {
        const auto c = [](int v) { return static_cast<unsigned>(v + 10000) & 4095u; };
        const int h = t.permTable[t.permTable[t.permTable[c(p[0])] ^ c(p[1])] ^ c(p[2])] & 255;
        EXPECT_FLOAT_EQ(
            noise(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])),
            0.5f * t.randomTable[static_cast<size_t>(h)] + 0.5f)
            << p[0] << ", " << p[1] << ", " << p[2];
    }
    // Anywhere else noise stays within 0 to 1; NaN gives 0.
    EXPECT_EQ(noise(kNaN, 0.5f, 0.5f), 0.0f);
    for (float v : {kInf, -kInf, 3e9f, -1e30f, 1e-40f, 0.37f}) {
        EXPECT_TRUE(noise(v, 0.3f, v) >= 0.0f && noise(v, 0.3f, v) <= 1.0f) << v;
    }
}

// The octave sums written out plainly, with no cut-off: valid while every octave stays on the
// lattice.
struct Sums {
    float scalar = 0.0f;
    Vec3 vector;
};

Sums plainSums(const Vec3& p, int n) {
    Sums sum;
    float s = 1.0f;
    for (int k = 0; k < n; ++k, s *= 0.5f) {
        const Vec3 v = vectorNoise(p.x / s, p.y / s, p.z / s);
        sum.scalar += std::fabs(noise(p.x / s, p.y / s, p.z / s)) * s;
        sum.vector = Vec3{sum.vector.x + v.x * s, sum.vector.y + v.y * s, sum.vector.z + v.z * s};
    }
    return sum;
}

// n octaves sum exactly like the plain loop, up to the last meaningful octave: huge detail must
// neither hang nor add garbage from octaves whose lattice coordinates overflow (or whose scale
// underflows), so it looks exactly like the highest meaningful detail.
TEST_F(NoiseTest, TurbulenceIsThePlainOctaveSumUpToTheLastMeaningfulOctave) {
    const Vec3 points[] = {{0.3f, 1.7f, 0}, {-2.25f, 0.5f, 0}, {12.5f, -7.125f, 3}, {0, 0, 0},
                           {1e-30f, 0, 0},  {1e9f, 0, 0},      {3e9f, 0.5f, 0}};
    for (const Vec3& p : points) {
        int meaningful = 0;
        for (float s = 1.0f; s > 0.0f && onLattice(p.x / s, p.y / s, p.z / s); s *= 0.5f) {
            ++meaningful;
        }
        std::vector<int> counts = {meaningful, meaningful + 1, 40, 256, 32767};
        for (int n = -2; n <= 20; ++n) {
            counts.push_back(n);
        }
        for (int n : counts) {
            const Sums expected = plainSums(p, std::min(n, meaningful));
            EXPECT_EQ(turbulenceSum(p, n), expected.scalar) << p.x << ", " << p.y << " n = " << n;
            EXPECT_TRUE(same(vectorTurbulence(p, n), expected.vector)) << p.x << " n = " << n;
        }
    }
}

}  // namespace
}  // namespace quorvel
