// Records read from files may hold any bytes. Built against the engine compiled with the address
// and undefined-behaviour checkers, these tests feed it arbitrary and hostile records: any
// finding aborts, any loop that does not end hangs the test. Where the engine defines no value
// nothing is asserted about the colours, only that the same input gives the same bytes.

#include "engine/maps.h"
#include "tests/engine/testrecords.h"

#include <string>

namespace quorvel {
namespace {

using namespace test;

constexpr float kMax = std::numeric_limits<float>::max();

const Sampling kTiny = Sampling::image(8, 4);

// Renders the tiny image twice, with three samples between its pixels: an engine reading
// uninitialised or shared state would disagree with itself.
Bytes renderTwice(const TextureParams& record, const std::string& what) {
    const Bytes first = image(record, kTiny);
    for (float p : {0.06f, 0.5f, 0.99f}) {
        Colour c;
        evaluatePixel(p, p, record, c);
    }
    EXPECT_EQ(image(record, kTiny), first) << what;
    return first;
}

class RobustnessTest : public EngineTest {};

TEST_F(RobustnessTest, RecordsOfRandomBytes) {
    std::mt19937 random(0x51F0u);
    std::uniform_real_distribution<float> moderate(-8.0f, 8.0f);
    const ColourMap defaultMap = materialDefaults(0).colourMap;
    for (int n = 0; n < 3000; ++n) {
        TextureParams record = randomRecord(random);
        if (n % 4 != 0) {
            record.colourMap = defaultMap;
        }
        renderTwice(record, "raw random record " + std::to_string(n));
        // Raw floats are mostly astronomically large or small, and most material bytes name no
        // material: so each record runs again under a listed material and relief, every other
        // one with moderate geometry, to reach deep into the materials and reliefs.
        record.material = static_cast<int8_t>((record.material & 0xFF) % kMaterialCount);
        record.relief = static_cast<int8_t>(record.relief & 7);
        if (n % 2 == 1) {
            const auto vec = [&] { return Vec3{moderate(random), moderate(random), 0.0f}; };
            record.scale = vec();
            record.offset = vec();
            record.reliefScale = vec();
            record.lightDirection = vec();
            record.turbulence = moderate(random);
            record.reliefIntensity = moderate(random);
            record.reliefFrequency = moderate(random);
        }
        renderTwice(record, "random record " + std::to_string(n));
        // Map rows too: normals from the relief or a steep colour slope, scaled heights.
        for (const MapRender& map :
             {MapRender{MapKind::Normal, {true, true, 1e30f}},
              MapRender{MapKind::Height, {}, MapPixels::Grey16, -kMax, kInf}}) {
            Bytes once(16), again(16);
            renderMapRow(record, kTiny, map, n % 4, -1, 9, once);
            renderMapRow(record, kTiny, map, n % 4, -1, 9, again);
            EXPECT_EQ(once, again) << n;
        }
    }
}

// A hostile record as it stands, also rendered over several threads, then under every material
// and relief function.
void checkHostile(TextureParams record, const std::string& name) {
    CollectingSink sink;
    RenderOptions options;
    options.threads = 3;
    options.bandRows = 1;
    renderImage(record, kTiny, sink, options);
    EXPECT_EQ(sink.bytes, renderTwice(record, name)) << name;
    for (int m = 0; m < kMaterialCount * 8; ++m) {
        record.material = static_cast<int8_t>(m / 8);
        record.relief = static_cast<int8_t>(m % 8);
        renderTwice(record, name + ", material " + std::to_string(m / 8) + ", relief " +
                                std::to_string(m % 8));
    }
}

TEST_F(RobustnessTest, HostileRecordsUnderEveryMaterialAndRelief) {
    TextureParams base = defaultsOf(Brick);
    base.reliefIntensity = 0.7f;
    const auto check = [&](const std::string& name, auto edit) {
        TextureParams record = base;
        edit(record);
        checkHostile(record, name);
    };
    // Float fields by their stored place {offset, floats}: wave frequency and phase, intensity,
    // turbulence, axes, scale, relief scale, light, brilliance, colours, offset.
    const std::pair<size_t, size_t> fields[] = {{6, 2},  {14, 1}, {26, 1}, {30, 3},  {52, 3},
                                                {64, 3}, {76, 3}, {88, 3}, {104, 8}, {142, 3}};
    for (const auto& [offset, floats] : fields) {
        for (float v : {kNaN, kInf, -kInf, kMax, -kMax, 1e-45f, 3e9f, -1.0f, 0.0f}) {
            std::array<uint8_t, kRecordBytes> bytes = recordBytes(base);
            for (size_t i = 0; i < floats; ++i) {
                ByteWriter(std::span(bytes).subspan(offset + 4 * i)).f32(v);
            }
            check("float at " + std::to_string(offset) + " = " + std::to_string(v),
                  [&](TextureParams& r) { decodeRecord(bytes, r); });
        }
    }
    // The largest detail must finish, also where Granite's factor stays zero (turbulence -1) and
    // its octaves never leave the lattice.
    for (int octaves : {-32768, -1, 0, 256, 32766, 32767}) {
        check("octaves " + std::to_string(octaves), [&](TextureParams& r) {
            r.octaves = static_cast<int16_t>(octaves);
            r.turbulence = octaves == 32767 ? -1.0f : r.turbulence;
        });
    }
    for (int v : {-128, -1, 0, 14, 127}) {
        check("material and relief " + std::to_string(v),
              [&](TextureParams& r) { r.material = r.relief = static_cast<int8_t>(v); });
        check("map count " + std::to_string(v * 8),
              [&](TextureParams& r) { r.colourMap.count = static_cast<int16_t>(v * 8); });
    }
    // NaN everywhere; empty segments (the blend divides 0 by 0); reversed huge segments.
    const ColourMapEntry maps[] = {{kNaN, kNaN, {kNaN, kNaN, kNaN, kNaN}, {kInf, -kInf, kNaN, 0}},
                                   {0.5f, 0.5f, {1, 1, 1, 0}, {0, 0, 0, 0}},
                                   {kMax, -kMax, {kMax, -kMax, kInf, 0}, {-kMax, kMax, 0, kInf}}};
    for (const ColourMapEntry& entry : maps) {
        check("map from " + std::to_string(entry.start),
              [&](TextureParams& r) { r.colourMap.entries.fill(entry); });
    }
}

// Requests outside what exists: nothing is written out of bounds, and names of values outside
// the lists are empty.
TEST_F(RobustnessTest, OddRequests) {
    const TextureParams record = materialDefaults(1);
    Bytes rgb(9, 0);
    renderRow(record, kTiny, 0, 0, 8, rgb);  // room for three pixels only
    renderRow(record, kTiny, 0, 6, 2, rgb);  // reversed range
    renderRow(record, kTiny, 0, -100, 100, rgb);
    renderRow(record, kTiny, -1, 0, 8, rgb);
    renderRow(record, Sampling::image(-4, -4), 0, 0, 8, rgb);
    renderRow(record, kTiny, 0, 0, 8, std::span<uint8_t>());
    for (int v : {-128, -1, kReliefCount, kMaterialCount, 127}) {
        EXPECT_TRUE(materialName(v).empty() == (v >= kMaterialCount || v < 0)) << v;
        EXPECT_TRUE(reliefName(v).empty() == (v >= kReliefCount || v < 0)) << v;
    }
}

}  // namespace
}  // namespace quorvel
