#include "engine/relief.h"

#include "tests/engine/testrecords.h"

namespace quorvel {
namespace {

using namespace test;

class ReliefTest : public EngineTest {};

TextureParams lit(Vec3 light, Colour lightColour, Colour reflection, float brilliance) {
    TextureParams record = materialDefaults(static_cast<int>(MaterialType::Marble));
    record.reliefIntensity = 1.0f;
    record.lightDirection = light;
    record.lightColour = lightColour;
    record.reflectionColour = reflection;
    record.brilliance = {brilliance, brilliance, brilliance};
    return record;
}

Colour shaded(const TextureParams& record, Vec3 p, Colour c, Vec3 n) {
    shade(p, record, c, n);
    return c;
}

double length(const Vec3& v) {
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

// Relief and shading run only for an intensity above 0: otherwise a pixel is the material's
// colour exactly, whatever the relief. Reliefs 5 to 7 (and other values) leave the normal up
// but still shade: with no reflection colour and no specular term (pixel (0, 0) lies at the
// origin) white becomes s = (d + 1) / 2 with d = L.z / |L|.
TEST_F(ReliefTest, ReliefAndShadingNeedAPositiveIntensity) {
    TextureParams record = lit({-3, 0.5f, 0.1f}, {0.2f, 0.9f, 0.4f, 0}, {0.7f, 0.1f, 1.0f, 0}, 17);
    for (float a : {0.0f, -0.0f, -0.5f, -kInf, kNaN}) {
        record.reliefIntensity = a;
        for (int i = 0; i < 24; ++i) {
            record.relief = static_cast<int8_t>(i % 8);
            const float px = 0.3f * static_cast<float>(i / 8);
            Colour pixel;
            evaluatePixel(px, 0.4f, record, pixel);
            Colour material;
            evaluateMaterial({px * record.scale.x, 0.4f * record.scale.y, 0}, record, material);
            EXPECT_TRUE(same(pixel, material)) << a << ", relief " << i % 8;
        }
    }
    TextureParams white = materialDefaults(static_cast<int>(MaterialType::Gradient));
    white.gradientVector = {0, 0, 0};
    white.reflectionColour = {0, 0, 0, 0};
    white.reliefIntensity = 0.5f;
    for (int relief : {5, 6, 7, 8, 127, -1, -128}) {
        white.relief = static_cast<int8_t>(relief);
        Vec3 n{0, 0, 1};
        applyRelief({0.3f, 0.7f, 0}, white, n);
        EXPECT_TRUE(same(n, Vec3{0, 0, 1})) << relief;
        Colour c;
        evaluatePixel(0.0f, 0.0f, white, c);
        EXPECT_NEAR(2.0 * c.r - 1.0, 1.6 / std::sqrt(1.0 + 1.0 + 1.6 * 1.6), 1e-6);
        EXPECT_TRUE(c.g == c.r && c.b == c.r);
    }
}

// With the light straight up (at any distance) d = N.z and s = (d + 1) / 2. The highlight
// spread is h = 1 / (K^2 (1 - s)^2 + 1): 1 / 10001 at d = 0 for the default 200, always 1 for 0.
// The lit colour c x LC is darkened by s (by 0.5 (2 s)^1.5 below s = 0.5), then blended:
// RC x LC x h x (1 - lit) + lit.
TEST_F(ReliefTest, DiffuseShadingFactors) {
    const struct {
        Vec3 normal;
        float brilliance, c, light, reflection;
        double expected;
    } rows[] = {{{1, 0, 0}, 200, 0.2f, 1, 1, 0.9 / 10001 + 0.1},  // d = 0
                {{1, 0, 0}, 0, 0.4f, 1, 1, 1.0},
                {{1, 0, 0}, 100, 0.6f, 1, 1, 0.7 / 2501 + 0.3},
                {{0, 0, 1}, 200, 0.6f, 0.5f, 0, 0.3},                  // d = 1
                {{0.6f, 0, 0.8f}, 3, 0.5f, 1, 1, 0.55 / 1.09 + 0.45},  // d = 0.8
                {{0, 0.8660254f, -0.5f}, 0, 1, 1, 0, 0.5 * std::pow(0.5, 1.5)},
                {{0, 0, -1}, 0, 0.6f, 0.8f, 0.5f, 0.4}};  // facing away: only the reflection
    for (const auto& row : rows) {
        const Colour c =
            shaded(lit({0, 0, 2}, {row.light, row.light, row.light, 0},
                       {row.reflection, row.reflection, row.reflection, 0}, row.brilliance),
                   {0, 0, 0}, {row.c, row.c, row.c, 0.5f}, row.normal);
        EXPECT_NEAR(c.r, row.expected, 1e-6) << row.normal.z << ", brilliance " << row.brilliance;
        EXPECT_EQ(c.a, 0.5f) << "the fourth channel is not shaded";
    }
    // Each channel takes its own brilliance, light and reflection.
    TextureParams record = lit({1, 0, 0}, {1, 0.5f, 1, 0}, {1, 1, 0, 0}, 0);
    record.brilliance = {200, 0, 100};
    const Colour c = shaded(record, {0, 0, 0}, {0.2f, 0.4f, 0.6f, 0}, {0, 0, 1});
    EXPECT_NEAR(c.r, 0.9 / 10001 + 0.1, 1e-7);
    EXPECT_NEAR(c.g, 0.5 * 0.9 + 0.1, 1e-7);
    EXPECT_NEAR(c.b, 0.3, 1e-7);
}

// Seen from P = (1, 0, 0) with N up, H = (L - V) / 2 has e = L.z / 2; the specular term is the
// difference to the same shading at the origin, where no term is added. Where it takes a
// channel above 1 the channel ends at 1.
TEST_F(ReliefTest, SpecularTerm) {
    const struct {
        float brilliance, lightZ;
        double added;
    } rows[] = {{200, 2.0f, 0.125},
                {200, 1.0f, std::pow(0.5, 6.5) * 0.125},
                {0, 1.0f, std::pow(0.5, 13.0) * 0.125},
                {100, 1.0f, std::pow(0.5, 13.0 / 1.25) * 0.125},
                {200, 0.02f, 0.0}};  // e = 0.01 is not above the threshold
    const Colour c{0.1f, 0.2f, 0.3f, 0};
    const Colour grey{0.5f, 0.5f, 0.5f, 0};
    for (const auto& row : rows) {
        const TextureParams record = lit({1, 0, row.lightZ}, grey, grey, row.brilliance);
        const Colour atOrigin = shaded(record, {0, 0, 0}, c, {0, 0, 1});
        const Colour seen = shaded(record, {1, 0, 0}, c, {0, 0, 1});
        EXPECT_NEAR(seen.r - atOrigin.r, row.added, 1e-6) << "brilliance " << row.brilliance;
        EXPECT_NEAR(seen.b - atOrigin.b, row.added, 1e-6) << "brilliance " << row.brilliance;
    }
    const TextureParams white = lit({0, 0, 2}, {1, 1, 1, 0}, {1, 1, 1, 0}, 200);
    const Colour w = shaded(white, {0.5f, 0.25f, 0}, {0.3f, 0.6f, 1.0f, 0}, {0, 0, 1});
    EXPECT_TRUE(w.r == 1.0f && w.g == 1.0f && w.b == 1.0f);
}

// With frequency 0 and phase 1/4 every source's cycloid is 1, so at the origin (each source at
// distance 1) Ripples adds -0.1 A per source direction and Waves divides that by its frequency.
// The normal is left of unit length, also exactly at a source.
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
        Vec3 got{0, 0, 1};
        applyRelief({0, 0, 0}, record, got);
        EXPECT_NEAR(got.x, n[0] / l, 1e-5) << reliefName(relief);
        EXPECT_NEAR(got.y, n[1] / l, 1e-5) << reliefName(relief);
        EXPECT_NEAR(got.z, n[2] / l, 1e-5) << reliefName(relief);
        for (const Vec3& source : t.waveDirections) {  // a point at a source counts as distance 1
            got = {0, 0, 1};
            applyRelief(source, record, got);
            EXPECT_NEAR(length(got), 1.0, 1e-5) << reliefName(relief);
        }
    }
}

}  // namespace
}  // namespace quorvel
