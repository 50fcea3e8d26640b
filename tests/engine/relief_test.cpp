#include "engine/relief.h"

#include "engine/defaults.h"
#include "engine/materials.h"
#include "engine/noise.h"
#include "engine/pixel.h"
#include "tests/engine/testrecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel {
namespace {

using test::sameColour;

constexpr double kTolerance = 1e-5;

class ReliefTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initNoise(); }

    static Vec3 normalAt(const TextureParams& record, Vec3 p) {
        Vec3 n{0.0f, 0.0f, 1.0f};
        applyRelief(p, record, n);
        return n;
    }

    static Colour shaded(const TextureParams& record, Vec3 p, Colour c, Vec3 n) {
        shade(p, record, c, n);
        return c;
    }

    static TextureParams lit(Vec3 light, Colour lightColour, Colour reflection, Vec3 brilliance) {
        TextureParams record = materialDefaults(static_cast<int>(MaterialType::Marble));
        record.reliefIntensity = 1.0f;
        record.lightDirection = light;
        record.lightColour = lightColour;
        record.reflectionColour = reflection;
        record.brilliance = brilliance;
        return record;
    }
};

double length(const Vec3& v) {
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

// The diffuse part of shading for one channel, in double precision: highlight spread, lit
// colour, darkening and reflection blend, before any specular term.
double diffuse(double c, double light, double reflection, double brilliance, double d) {
    double s = (d + 1.0) * 0.5;
    const double h = 1.0 / (brilliance * brilliance * (1.0 - s) * (1.0 - s) + 1.0);
    const double lit = c * light;
    s = s < 0.5 ? 0.5 * std::pow(2.0 * s, 1.5) : s;
    return reflection * light * h * (1.0 - s * lit) + s * lit;
}

TEST_F(ReliefTest, NoPositiveIntensityMeansTheMaterialColourExactly) {
    TextureParams record = materialDefaults(static_cast<int>(MaterialType::Marble));
    record.lightDirection = {-3, 0.5f, 0.1f};
    record.brilliance = {0, 17, 200};
    record.lightColour = {0.2f, 0.9f, 0.4f, 0};
    record.reflectionColour = {0.7f, 0.1f, 1.0f, 0};
    const float intensities[] = {0.0f, -0.0f, -0.5f, -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN()};
    for (float a : intensities) {
        record.reliefIntensity = a;
        for (int relief = 0; relief < 8; ++relief) {
            record.relief = static_cast<int8_t>(relief);
            for (float px : {0.0f, 0.3f, 0.85f}) {
                Colour pixel;
                evaluatePixel(px, 0.4f, record, pixel);
                Colour material;
                evaluateMaterial({px * record.scale.x, 0.4f * record.scale.y, 0}, record, material);
                EXPECT_TRUE(sameColour(pixel, material))
                    << "intensity " << a << " relief " << relief;
            }
        }
    }
}

TEST_F(ReliefTest, UnlistedReliefsLeaveTheNormalUp) {
    TextureParams record = materialDefaults(0);
    record.reliefIntensity = 2.0f;
    for (int relief : {5, 6, 7, 8, 127, -1, -128}) {
        record.relief = static_cast<int8_t>(relief);
        const Vec3 n = normalAt(record, {0.3f, 0.7f, 0});
        EXPECT_EQ(n.x, 0.0f) << relief;
        EXPECT_EQ(n.y, 0.0f) << relief;
        EXPECT_EQ(n.z, 1.0f) << relief;
    }
}

// With an unlisted relief the normal stays up, so d = L.z / |L|; with no reflection colour and
// no specular term (pixel (0, 0) lies at the origin) the shaded white is s = (d + 1) / 2.
TEST_F(ReliefTest, UnlistedReliefStillShadesWithTheLightsHeight) {
    TextureParams record = materialDefaults(static_cast<int>(MaterialType::Gradient));
    record.gradientVector = {0, 0, 0}; // white everywhere
    record.reflectionColour = {0, 0, 0, 0};
    record.reliefIntensity = 0.5f;
    for (int relief : {5, 6, 7}) {
        record.relief = static_cast<int8_t>(relief);
        Colour c;
        evaluatePixel(0.0f, 0.0f, record, c);
        const double d = 2.0 * c.r - 1.0;
        EXPECT_NEAR(d, 1.6 / std::sqrt(1.0 + 1.0 + 1.6 * 1.6), kTolerance);
        EXPECT_NEAR(d, 0.749, 5e-4);
        EXPECT_EQ(c.g, c.r);
        EXPECT_EQ(c.b, c.r);
    }
}

TEST_F(ReliefTest, NormalFacingTheLightWithWhiteLightGivesWhite) {
    const TextureParams record = lit({0, 0, 2}, {1, 1, 1, 0}, {1, 1, 1, 0}, {200, 200, 200});
    for (float c : {0.0f, 0.3f, 0.9f, 1.0f}) {
        for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{0.5f, 0.25f, 0}}) {
            const Colour out = shaded(record, p, {c, c, c, 0.5f}, {0, 0, 1});
            EXPECT_FLOAT_EQ(out.r, 1.0f) << c;
            EXPECT_FLOAT_EQ(out.g, 1.0f) << c;
            EXPECT_FLOAT_EQ(out.b, 1.0f) << c;
            EXPECT_EQ(out.a, 0.5f) << "the fourth channel is not shaded";
        }
    }
}

TEST_F(ReliefTest, NormalAtRightAnglesToTheLightSpreadsTheHighlightByBrilliance) {
    // d = 0, s = 0.5, q = 0.25: h = 1 / (K^2 / 4 + 1), so 1 / 10001 for the default 200.
    const TextureParams record = lit({1, 0, 0}, {1, 1, 1, 0}, {1, 1, 1, 0}, {200, 0, 100});
    const Colour out = shaded(record, {0, 0, 0}, {0.2f, 0.4f, 0.6f, 0}, {0, 0, 1});
    EXPECT_NEAR(out.r, (1.0 - 0.1) / 10001.0 + 0.1, 1e-7);
    EXPECT_NEAR(out.g, (1.0 - 0.2) / 1.0 + 0.2, 1e-6);
    EXPECT_NEAR(out.b, (1.0 - 0.3) / 2501.0 + 0.3, 1e-7);
}

// Brilliance 0 makes h = 1 for every normal, so step 6 gives c + RC x LC x (1 - c); other
// brilliances narrow the highlight by the undarkened s.
TEST_F(ReliefTest, DiffuseShadingOverNormalsAndBrilliances) {
    const Vec3 light{0.3f, -0.4f, 1.2f};
    const Colour reflection{0.5f, 0.25f, 1.0f, 0};
    const Colour lightColour{1.0f, 0.5f, 0.8f, 0};
    const Colour c{0.6f, 0.2f, 0.9f, 0};
    for (float k : {0.0f, 3.0f, 200.0f}) {
        const TextureParams record = lit(light, lightColour, reflection, {k, k, k});
        // (0, 0, -1) faces away (s below 0.5), so it also runs the darkening curve.
        for (const Vec3& n : {Vec3{0, 0, 1}, Vec3{0, 0, -1}, Vec3{1, 0, 0}, Vec3{0.6f, 0, 0.8f}}) {
            const double d = (n.x * light.x + n.y * light.y + n.z * light.z) / length(light);
            const Colour out = shaded(record, {0, 0, 0}, c, n);
            EXPECT_NEAR(out.r, diffuse(c.r, lightColour.r, reflection.r, k, d), kTolerance);
            EXPECT_NEAR(out.g, diffuse(c.g, lightColour.g, reflection.g, k, d), kTolerance);
            EXPECT_NEAR(out.b, std::min(1.0, diffuse(c.b, lightColour.b, reflection.b, k, d)),
                        kTolerance);
        }
    }
    // Facing away from the light the colour darkens to nothing and only the reflection is left.
    const Colour away =
        shaded(lit({0, 0, 1}, lightColour, reflection, {0, 0, 0}), {0, 0, 0}, c, {0, 0, -1});
    EXPECT_NEAR(away.r, 0.5, 1e-6);
    EXPECT_NEAR(away.g, 0.125, 1e-6);
    EXPECT_NEAR(away.b, 0.8, 1e-6);
}

// Seen from P = (1, 0, 0) with N up, H = (L - V) / 2 has e = L.z / 2; the specular term is the
// difference to the same shading at the origin, where no term is added.
TEST_F(ReliefTest, SpecularTerm) {
    const struct {
        float brilliance;
        float lightZ;
        double added;
    } rows[] = {
        {200, 2.0f, 0.125},
        {200, 1.0f, std::pow(0.5, 6.5) * 0.125},
        {0, 1.0f, std::pow(0.5, 13.0) * 0.125},
        {100, 1.0f, std::pow(0.5, 13.0 / 1.25) * 0.125},
        {200, 0.02f, 0.0}, // e = 0.01 is not above the threshold
    };
    const Colour c{0.1f, 0.2f, 0.3f, 0};
    for (const auto& row : rows) {
        const Vec3 light{1, 0, row.lightZ};
        const TextureParams record = lit(light, {0.5f, 0.5f, 0.5f, 0}, {0.5f, 0.5f, 0.5f, 0},
                                         {row.brilliance, row.brilliance, row.brilliance});
        const Colour atOrigin = shaded(record, {0, 0, 0}, c, {0, 0, 1});
        const Colour seen = shaded(record, {1, 0, 0}, c, {0, 0, 1});
        const double d = row.lightZ / length(light);
        EXPECT_NEAR(atOrigin.r, diffuse(c.r, 0.5, 0.5, row.brilliance, d), kTolerance);
        EXPECT_NEAR(seen.r - atOrigin.r, row.added, 1e-6) << "brilliance " << row.brilliance;
        EXPECT_NEAR(seen.b - atOrigin.b, row.added, 1e-6) << "brilliance " << row.brilliance;
    }
}

TEST_F(ReliefTest, ShadingNeverRaisesAChannelAboveOne) {
    for (const Vec3& light : {Vec3{1, 1, 1.6f}, Vec3{0, 0, 1}, Vec3{-1, 0.2f, 0.1f}}) {
        for (float bright : {0.5f, 1.0f}) {
            for (float k : {0.0f, 50.0f, 200.0f}) {
                const TextureParams record =
                    lit(light, {bright, 1, bright, 0}, {1, bright, 1, 0}, {k, k, k});
                for (float c : {0.0f, 0.5f, 1.0f, 1.5f}) {
                    for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{0.3f, 0.2f, 0}, Vec3{-2, 1, 0}}) {
                        for (const Vec3& n : {Vec3{0, 0, 1}, Vec3{0.6f, 0, 0.8f}, Vec3{0, -1, 0}}) {
                            const Colour out = shaded(record, p, {c, c, c, 0}, n);
                            ASSERT_LE(out.r, 1.0f);
                            ASSERT_LE(out.g, 1.0f);
                            ASSERT_LE(out.b, 1.0f);
                        }
                    }
                }
            }
        }
    }
}

TEST_F(ReliefTest, EveryReliefLeavesAUnitNormal) {
    TextureParams record = materialDefaults(0);
    for (int relief = 0; relief < kReliefCount; ++relief) {
        record.relief = static_cast<int8_t>(relief);
        for (float a : {0.05f, 1.0f, 5.0f}) {
            record.reliefIntensity = a;
            for (int i = 0; i < 6; ++i) {
                for (int j = 0; j < 6; ++j) {
                    const Vec3 p{static_cast<float>(i) * 0.37f - 1.0f,
                                 static_cast<float>(j) * 0.29f - 0.5f, 0};
                    const Vec3 n = normalAt(record, p);
                    ASSERT_NEAR(length(n), 1.0, kTolerance)
                        << reliefName(relief) << " at " << p.x << ", " << p.y;
                }
            }
        }
    }
}

TEST_F(ReliefTest, WavesAtAWaveSourceStayFinite) {
    TextureParams record = materialDefaults(0);
    record.reliefIntensity = 3.0f;
    for (int relief : {0, 1}) {
        record.relief = static_cast<int8_t>(relief);
        for (const Vec3& source : noiseTables().waveDirections) {
            const Vec3 n = normalAt(record, source);
            ASSERT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z));
            EXPECT_NEAR(length(n), 1.0, kTolerance);
        }
    }
}

// With frequency 0 and phase 1/4 every source's cycloid is 1, so at the origin (each source at
// distance 1) Ripples adds -0.1 A per source direction and Waves divides that by its frequency.
TEST_F(ReliefTest, WavesWeightSourcesByFrequencyAndRipplesDoNot) {
    const NoiseTables& t = noiseTables();
    TextureParams record = materialDefaults(0);
    record.reliefIntensity = 0.5f;
    record.reliefFrequency = 0.0f;
    record.reliefPhase = 0.25f;
    for (int relief : {0, 1}) {
        record.relief = static_cast<int8_t>(relief);
        double n[3] = {0, 0, 1};
        for (size_t i = 0; i < t.waveDirections.size(); ++i) {
            const Vec3& s = t.waveDirections[i];
            const double k = 0.5 * 0.1 / length(s) / (relief == 0 ? t.waveFrequencies[i] : 1.0f);
            n[0] -= k * s.x;
            n[1] -= k * s.y;
            n[2] -= k * s.z;
        }
        const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        const Vec3 got = normalAt(record, {0, 0, 0});
        EXPECT_NEAR(got.x, n[0] / l, kTolerance) << reliefName(relief);
        EXPECT_NEAR(got.y, n[1] / l, kTolerance) << reliefName(relief);
        EXPECT_NEAR(got.z, n[2] / l, kTolerance) << reliefName(relief);
    }
}

} // namespace
} // namespace quorvel
