// Records read from files may hold any bytes. Built against the engine compiled with the address
// and undefined-behaviour checkers, these tests feed it arbitrary and hostile records: any
// finding aborts, any loop that does not end hangs the test. Where the engine defines no value
// nothing is asserted about the colours, only that the same input gives the same bytes.

#include "engine/defaults.h"
#include "engine/noise.h"
#include "engine/pixel.h"
#include "engine/recordlayout.h"
#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kDenormal = std::numeric_limits<float>::denorm_min();

const Sampling kTiny = Sampling::image(8, 4);

Bytes renderTiny(const TextureParams& record) {
    Bytes rgb(3 * 8 * 4);
    for (int j = 0; j < 4; ++j) {
        renderRow(record, kTiny, j, std::span<uint8_t>(rgb).subspan(24 * static_cast<size_t>(j)));
    }
    return rgb;
}

void evaluateSamples(const TextureParams& record) {
    for (const auto& [px, py] :
         {std::pair{0.0f, 0.0f}, std::pair{0.5f, 0.25f}, std::pair{0.99f, 0.99f}}) {
        Colour c;
        evaluatePixel(px, py, record, c);
    }
}

// Renders twice: an engine reading uninitialised or shared state would disagree with itself.
void expectDeterministic(const TextureParams& record, const std::string& what) {
    evaluateSamples(record);
    const Bytes first = renderTiny(record);
    ASSERT_EQ(renderTiny(record), first) << what;
}

class RobustnessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initNoise(); }
};

TEST_F(RobustnessTest, RecordsOfRandomBytes) {
    std::mt19937 random(0x51F0u);
    const ColourMap defaultMap = materialDefaults(0).colourMap;
    for (int n = 0; n < 3000; ++n) {
        std::array<uint8_t, kRecordBytes> bytes;
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(random());
        }
        TextureParams record;
        record.colourMap = defaultMap;
        decodeRecord(bytes, record);
        if (n % 4 == 0) {
            std::array<uint8_t, kColourMapBytes> mapBytes;
            for (uint8_t& b : mapBytes) {
                b = static_cast<uint8_t>(random());
            }
            decodeColourMap(mapBytes, record.colourMap);
        }
        evaluateSamples(record);
        // Raw floats are mostly astronomically large or small; every other record gets moderate
        // geometry so the evaluation also reaches deep into the materials and reliefs.
        if (n % 2 == 1) {
            std::uniform_real_distribution<float> moderate(-8.0f, 8.0f);
            const auto vec = [&] { return Vec3{moderate(random), moderate(random), 0.0f}; };
            record.scale = vec();
            record.offset = vec();
            record.reliefScale = vec();
            record.lightDirection = vec();
            record.turbulence = moderate(random);
            record.reliefIntensity = moderate(random);
            record.reliefFrequency = moderate(random);
        }
        // Most raw material bytes name no material; fold them into the list as well.
        record.material = static_cast<int8_t>(bytes[0] % kMaterialCount);
        record.relief = static_cast<int8_t>(bytes[1] % 8);
        if (n % 10 == 0) {
            expectDeterministic(record, "random record " + std::to_string(n));
        } else {
            evaluateSamples(record);
        }
    }
}

struct Hostile {
    std::string name;
    std::function<void(TextureParams&)> edit;
};

std::vector<Hostile> hostileRecords() {
    std::vector<Hostile> list;
    const float wild[] = {kNaN, kInf, -kInf, kMax, -kMax, kDenormal, 3e9f, -1.0f, 0.0f};
    for (float v : wild) {
        const std::string s = std::to_string(v);
        list.push_back({"scale " + s, [v](TextureParams& r) { r.scale = {v, v, v}; }});
        list.push_back({"offset " + s, [v](TextureParams& r) { r.offset = {v, 0.5f, v}; }});
        list.push_back({"turbulence " + s, [v](TextureParams& r) { r.turbulence = v; }});
        list.push_back({"relief scale " + s, [v](TextureParams& r) { r.reliefScale = {v, v, v}; }});
        list.push_back({"relief waves " + s, [v](TextureParams& r) {
                            r.reliefFrequency = v;
                            r.reliefPhase = v;
                        }});
        list.push_back({"relief intensity " + s, [v](TextureParams& r) { r.reliefIntensity = v; }});
        list.push_back({"light " + s, [v](TextureParams& r) {
                            r.lightDirection = {v, v, v};
                            r.lightColour = {v, v, v, v};
                        }});
        list.push_back({"reflection " + s, [v](TextureParams& r) {
                            r.brilliance = {v, v, v};
                            r.reflectionColour = {v, v, v, v};
                        }});
        list.push_back({"gradient axes " + s, [v](TextureParams& r) {
                            r.gradientVector = {v, v, v};
                        }});
    }
    list.push_back({"light direction zero", [](TextureParams& r) { r.lightDirection = {}; }});
    list.push_back({"brilliance huge", [](TextureParams& r) {
                        r.brilliance = {1e30f, 1e30f, 1e30f};
                    }});
    for (int16_t octaves : {int16_t{-32768}, int16_t{-1}, int16_t{0}, int16_t{256}}) {
        list.push_back({"octaves " + std::to_string(octaves),
                        [octaves](TextureParams& r) { r.octaves = octaves; }});
    }
    for (int8_t m : {int8_t{-128}, int8_t{-1}, int8_t{14}, int8_t{127}}) {
        list.push_back({"material and relief " + std::to_string(m), [m](TextureParams& r) {
                            r.material = m;
                            r.relief = m;
                        }});
    }
    for (int16_t count : {int16_t{0}, int16_t{-5}, int16_t{1000}}) {
        list.push_back({"map count " + std::to_string(count),
                        [count](TextureParams& r) { r.colourMap.count = count; }});
    }
    list.push_back({"map of NaN", [](TextureParams& r) {
                        for (ColourMapEntry& e : r.colourMap.entries) {
                            e = {kNaN, kNaN, {kNaN, kNaN, kNaN, kNaN}, {kInf, -kInf, kNaN, 0}};
                        }
                    }});
    list.push_back({"map of empty segments", [](TextureParams& r) {
                        for (ColourMapEntry& e : r.colourMap.entries) {
                            e.end = e.start; // the blend divides zero by zero
                        }
                    }});
    list.push_back({"map of reversed huge segments", [](TextureParams& r) {
                        for (ColourMapEntry& e : r.colourMap.entries) {
                            e = {kMax, -kMax, {kMax, -kMax, kInf, 0}, {-kMax, kMax, 0, kInf}};
                        }
                    }});
    return list;
}

// Every hostile record as it stands, then under every material and relief function.
TEST_F(RobustnessTest, HostileRecordsUnderEveryMaterialAndRelief) {
    for (const Hostile& h : hostileRecords()) {
        TextureParams record = materialDefaults(static_cast<int>(MaterialType::Brick));
        record.reliefIntensity = 0.7f;
        h.edit(record);
        expectDeterministic(record, h.name);
        for (int m = 0; m < kMaterialCount; ++m) {
            for (int relief = 0; relief < 8; ++relief) {
                record.material = static_cast<int8_t>(m);
                record.relief = static_cast<int8_t>(relief);
                expectDeterministic(record, h.name + ", material " + std::to_string(m) +
                                                ", relief " + std::to_string(relief));
            }
        }
    }
}

// The largest detail a record can ask for must finish, for every material, also where Granite's
// factor stays zero (turbulence -1) and its octaves can never leave the lattice.
TEST_F(RobustnessTest, HighestDetailFinishes) {
    for (int m = 0; m < kMaterialCount; ++m) {
        for (float turbulence : {0.5f, -1.0f}) {
            TextureParams record = materialDefaults(m);
            record.octaves = 32767;
            record.turbulence = turbulence;
            record.relief = static_cast<int8_t>(ReliefType::InverseDents);
            record.reliefIntensity = 0.5f;
            expectDeterministic(record, std::string(materialName(m)) + " at detail 32767");
        }
    }
}

class CountingSink : public RowSink {
public:
    bool acceptRow(int, std::span<const uint8_t> rgb) override {
        ++rows;
        bytes.insert(bytes.end(), rgb.begin(), rgb.end());
        return true;
    }
    int rows = 0;
    Bytes bytes;
};

TEST_F(RobustnessTest, ThreadedRenderOfHostileRecords) {
    for (const Hostile& h : hostileRecords()) {
        TextureParams record = materialDefaults(static_cast<int>(MaterialType::Stains));
        record.relief = static_cast<int8_t>(ReliefType::Waves);
        record.reliefIntensity = 1.0f;
        h.edit(record);
        CountingSink single;
        RenderOptions options;
        options.threads = 1;
        renderImage(record, kTiny, single, options);
        CountingSink several;
        options.threads = 3;
        options.bandRows = 1;
        renderImage(record, kTiny, several, options);
        EXPECT_EQ(several.bytes, single.bytes) << h.name;
        EXPECT_EQ(several.rows, 4) << h.name;
    }
}

TEST_F(RobustnessTest, OddRowRequests) {
    const TextureParams record = materialDefaults(1);
    Bytes rgb(9, 0);
    renderRow(record, kTiny, 0, 0, 8, rgb); // room for three pixels only
    renderRow(record, kTiny, 0, 6, 2, rgb); // reversed range
    renderRow(record, kTiny, 0, -100, 100, rgb);
    renderRow(record, kTiny, -1, 0, 8, rgb);
    renderRow(record, Sampling::image(-4, -4), 0, 0, 8, rgb);
    renderRow(record, kTiny, 0, 0, 8, std::span<uint8_t>());
    SUCCEED();
}

} // namespace
} // namespace quorvel
