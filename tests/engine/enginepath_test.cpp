// Every vector path gives exactly the scalar path's bytes: for every material under every relief
// with the defaults, and for random records of every material, over whole images and over odd
// widths that leave partial vectors, plain and seamless. Paths the processor lacks are skipped
// with a message.
#include "engine/seamless.h"
#include "tests/engine/testrecords.h"

#include <string>

namespace quorvel {
namespace {

using namespace test;

Bytes imageOn(const TextureParams& record, const Sampling& s, EnginePath path) {
    const size_t row = 3 * static_cast<size_t>(s.width());
    Bytes rgb(row * static_cast<size_t>(s.height()));
    const RowRenderer renderer(record, s, path);
    for (int j = 0; j < s.height(); ++j) {
        renderer.render(j, 0, s.width(), std::span(rgb).subspan(row * static_cast<size_t>(j)));
    }
    return rgb;
}

// Whole images, thumbnails and rows 1, 7, 17 and 1023 pixels wide (of a taller image, so rows
// sample the middle), also through the parallel renderer.
const Sampling kSamplings[] = {Sampling::image(64, 48), Sampling::thumbnail(),
                               Sampling::image(1, 3),   Sampling::image(7, 3),
                               Sampling::image(17, 3),  Sampling::image(1023, 2)};

class EnginePathTest : public EngineTest, public ::testing::WithParamInterface<EnginePath> {
protected:
    void SetUp() override {
        if (!engineSupports(GetParam())) {
            GTEST_SKIP() << "this processor cannot run the " << enginePathName(GetParam())
                         << " path";
        }
        EXPECT_EQ(RowRenderer(defaultsOf(Marble), kSamplings[0], GetParam()).path(), GetParam());
    }

    void expectSameBytes(const TextureParams& record, const Sampling& s, const std::string& what) {
        EXPECT_EQ(imageOn(record, s, GetParam()), imageOn(record, s, EnginePath::Scalar)) << what;
    }

    void defaultsUnderEveryRelief(bool seamless);
};

void EnginePathTest::defaultsUnderEveryRelief(bool seamless) {
    for (int m = 0; m < kMaterialCount; ++m) {
        for (int relief = -1; relief < 8; ++relief) {
            TextureParams record = materialDefaults(m);
            record.relief = static_cast<int8_t>(relief < 0 ? 0 : relief);
            record.reliefIntensity = relief < 0 ? 0.0f : 0.8f;
            setSeamless(record, seamless);
            const std::string what =
                std::string(materialName(m)) + ", relief " + std::to_string(relief) + ", width ";
            for (const Sampling& s : kSamplings) {
                expectSameBytes(record, s, what + std::to_string(s.width()));
            }
            CollectingSink sink;
            RenderOptions options;
            options.threads = 1 + m % 3;
            options.engine = GetParam();
            renderImage(record, kSamplings[0], sink, options);
            EXPECT_EQ(sink.bytes, imageOn(record, kSamplings[0], EnginePath::Scalar)) << what;
        }
    }
}

TEST_P(EnginePathTest, DefaultsOfEveryMaterialUnderEveryRelief) { defaultsUnderEveryRelief(false); }

// The same on the lattice that wraps with the image, with the tile scales, and the cross-fade
// of the patterns that cannot wrap. Seamless textures take the vector path too.
TEST_P(EnginePathTest, SeamlessDefaultsOfEveryMaterialUnderEveryRelief) {
    TextureParams marble = defaultsOf(Marble);
    setSeamless(marble, true);
    EXPECT_EQ(RowRenderer(marble, kSamplings[0], GetParam()).path(), GetParam());
    defaultsUnderEveryRelief(true);
}

// Random but meaningful records: turbulence, detail 0 to 256, scales, offsets reaching negative
// cells, colour maps of random segments, lighting, every relief.
TextureParams randomRecordOf(int material, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), signedUnit(-1.0f, 1.0f);
    const auto within = [&](float range) { return range * signedUnit(random); };
    TextureParams r = materialDefaults(material);
    r.turbulence = random() % 4 == 0 ? 0.0f : within(3.0f);
    r.octaves = static_cast<int16_t>(random() % 8 == 0 ? random() % 257 : random() % 9);
    r.scale = {within(40.0f), within(40.0f), within(5.0f)};
    r.offset = {within(10.0f), within(10.0f), within(10.0f)};
    r.gradientVector = {within(1.0f) * (random() % 2), within(1.0f), within(1.0f) * (random() % 2)};
    r.colourMap.count = static_cast<int16_t>(random() % 5 == 0 ? 0 : random() % 25);
    for (ColourMapEntry& e : r.colourMap.entries) {
        e = {unit(random) - 0.1f,
             unit(random) + 0.1f,
             {unit(random), unit(random), unit(random), 0},
             {unit(random), unit(random), unit(random), 0}};
    }
    r.relief = static_cast<int8_t>(random() % 8);
    r.reliefIntensity = random() % 4 == 0 ? 0.0f : 2.0f * unit(random);
    r.reliefFrequency = within(20.0f);
    r.reliefPhase = within(2.0f);
    r.reliefScale = {within(10.0f), within(10.0f), 1.0f};
    r.lightDirection = {within(2.0f), within(2.0f), within(2.0f)};
    r.brilliance = {200.0f * unit(random), 200.0f * unit(random), 200.0f * unit(random)};
    r.lightColour = {unit(random), unit(random), unit(random), 0};
    r.reflectionColour = {unit(random), unit(random), unit(random), 0};
    return r;
}

TEST_P(EnginePathTest, RandomRecordsOfEveryMaterial) {
    std::mt19937 random(0x1A9E5u);
    for (int m = 0; m < kMaterialCount; ++m) {
        for (int n = 0; n < 200; ++n) {
            const TextureParams record = randomRecordOf(m, random);
            const std::string what =
                std::string(materialName(m)) + " record " + std::to_string(n) + ", width ";
            for (const Sampling& s : {Sampling::image(23, 5), kSamplings[2 + n % 4]}) {
                expectSameBytes(record, s, what + std::to_string(s.width()));
            }
        }
    }
}

// Seamless records: random ones as above, then with the values a tile setup must survive: scales
// below one cell, of odd and negative cell counts, beyond the lattice and not numbers; offsets
// far out and not numbers; turbulence that rounds Granite's frequency up to its limit.
TextureParams seamlessRecordOf(int material, int n, std::mt19937& random) {
    TextureParams r = randomRecordOf(material, random);
    setSeamless(r, true);
    const float odd[] = {0.3f, -0.4f, 1.5f, -3.0f, 7.0f, 13.49f, 2.5f,     -27.0f,
                         3e9f, 2e12f, kInf, -kInf, kNaN, 1e-30f, 65537.0f, -1e38f};
    const auto pick = [&] { return odd[random() % std::size(odd)]; };
    switch (n % 4) {
    case 0: break;
    case 1:
        r.scale = {pick(), pick(), r.scale.z};
        r.reliefScale = {pick(), pick(), 1.0f};
        break;
    case 2:
        r.scale.x = pick();
        r.offset = {random() % 2 ? 1e7f : -123.75f, random() % 3 ? kNaN : 4e9f, 0.0f};
        r.turbulence = random() % 2 ? 3e9f : kNaN;
        break;
    default:
        r.reliefScale.y = pick();
        r.offset.x = pick();
        r.turbulence = random() % 2 ? -1.0f : 2.6f;
        break;
    }
    return r;
}

TEST_P(EnginePathTest, SeamlessRandomRecordsOfEveryMaterial) {
    std::mt19937 random(0x5EA31u);
    for (int m = 0; m < kMaterialCount; ++m) {
        for (int n = 0; n < 200; ++n) {
            TextureParams record = seamlessRecordOf(m, n, random);
            const std::string what =
                std::string(materialName(m)) + " seamless record " + std::to_string(n) + ", width ";
            for (const Sampling& s : {Sampling::image(23, 5), kSamplings[1 + n % 5]}) {
                expectSameBytes(record, s, what + std::to_string(s.width()));
            }
            if (n % 20 == 0) {
                CollectingSink sink;
                RenderOptions options;
                options.threads = 1 + n % 3;
                options.engine = GetParam();
                renderImage(record, Sampling::image(41, 9), sink, options);
                EXPECT_EQ(sink.bytes, imageOn(record, Sampling::image(41, 9), EnginePath::Scalar))
                    << what << "41, threads";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(VectorPaths, EnginePathTest,
                         ::testing::Values(EnginePath::Avx2, EnginePath::Avx512),
                         [](const auto& info) { return std::string(enginePathName(info.param)); });

// Choosing a path: names round-trip, Auto and Scalar always run, an unavailable path falls back
// to a narrower one, and the process's choice is what Auto stands for.
TEST(EnginePathChoiceTest, NamesFallbackAndTheProcessChoice) {
    for (EnginePath p :
         {EnginePath::Auto, EnginePath::Scalar, EnginePath::Avx2, EnginePath::Avx512}) {
        EXPECT_EQ(parseEnginePath(enginePathName(p)), p);
        EXPECT_NE(resolveEnginePath(p), EnginePath::Auto);
        EXPECT_EQ(resolveEnginePath(p) == p, engineSupports(p) && p != EnginePath::Auto);
    }
    EXPECT_FALSE(parseEnginePath("AVX2").has_value());
    EXPECT_TRUE(engineSupports(EnginePath::Scalar) && engineSupports(EnginePath::Auto));
    setEnginePath(EnginePath::Scalar);
    EXPECT_EQ(resolveEnginePath(EnginePath::Auto), EnginePath::Scalar);
    setEnginePath(EnginePath::Auto);
    EXPECT_EQ(resolveEnginePath(EnginePath::Auto), widestEnginePath());
}

}  // namespace
}  // namespace quorvel
