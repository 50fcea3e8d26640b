#include "engine/maps.h"
#include "engine/sample.h"
#include "tests/engine/testrecords.h"

#include <cstring>
#include <tuple>

namespace quorvel {
namespace {

using namespace test;

class MapsTest : public EngineTest {};

const Sampling kSize = Sampling::image(48, 32);

Bytes renderMap(TextureParams record, const MapRender& map, int threads = 2, int band = 0) {
    CollectingSink sink;
    RenderOptions options;
    options.threads = threads;
    options.bandRows = band;
    options.map = &map;
    EXPECT_EQ(renderImage(record, kSize, sink, options), RenderStatus::Completed);
    return sink.bytes;
}

MapRender normalMap(bool yDown = false, bool fromColour = false, float strength = 1.0f) {
    return MapRender{MapKind::Normal, {yDown, fromColour, strength}, MapPixels::Rgb8, 0, 0};
}

TextureParams withRelief(MaterialType material, int relief, float intensity) {
    TextureParams record = defaultsOf(material);
    record.relief = static_cast<int8_t>(relief);
    record.reliefIntensity = intensity;
    return record;
}

// Decoded, every sampled pixel of the map is the normal that shades that pixel, to within the
// byte's rounding; green follows the convention asked for.
TEST_F(MapsTest, NormalMapsHoldTheShadingNormals) {
    const std::tuple<MaterialType, ReliefType, float> reliefs[] = {{Marble, Waves, 0.8f},
                                                                   {Wood, Ripples, 1.5f},
                                                                   {Granite, Bumps, 1.0f},
                                                                   {Agate, Dents, 2.0f},
                                                                   {Smoke, InverseDents, 0.6f}};
    for (const auto& [material, relief, intensity] : reliefs) {
        for (const bool yDown : {false, true}) {
            SCOPED_TRACE(std::to_string(int(relief)) + (yDown ? " DirectX" : " OpenGL"));
            const TextureParams record = withRelief(material, int(relief), intensity);
            const Bytes map = renderMap(record, normalMap(yDown));
            int tilted = 0;
            for (int k = 0; k < 48 * 32; k += 7) {
                const int i = k % 48, j = k / 48;
                Sample s;
                evaluateSample(kSize.x(i), kSize.y(j), record, s);
                const Vec3 want{s.normal.x, yDown ? s.normal.y : -s.normal.y, s.normal.z};
                const float got[3] = {map[3 * k] / 255.0f * 2 - 1, map[3 * k + 1] / 255.0f * 2 - 1,
                                      map[3 * k + 2] / 255.0f * 2 - 1};
                EXPECT_NEAR(got[0], want.x, 1.0f / 255 + 1e-6f) << i << "," << j;
                EXPECT_NEAR(got[1], want.y, 1.0f / 255 + 1e-6f) << i << "," << j;
                EXPECT_NEAR(got[2], want.z, 1.0f / 255 + 1e-6f) << i << "," << j;
                tilted += std::fabs(want.x) + std::fabs(want.y) > 0.05f;
            }
            EXPECT_GT(tilted, 20);  // the rows above compared real slopes, not flat ground
        }
    }
}

int flatPixels(const Bytes& rgb) {
    int flat = 0;
    for (size_t k = 0; k + 2 < rgb.size(); k += 3)
        flat += rgb[k] == 128 && rgb[k + 1] == 128 && rgb[k + 2] == 255;
    return flat;
}

// No relief gives flat ground, unless the colour is asked for: then only a colour without
// slopes (one colour everywhere, or strength 0) stays flat.
TEST_F(MapsTest, WithoutAReliefTheMapIsFlatOrFollowsTheColour) {
    TextureParams plain = defaultsOf(Marble);
    for (ColourMapEntry& e : plain.colourMap.entries)
        e.startColour = e.endColour = Colour{0.3f, 0.6f, 0.2f, 0.0f};
    constexpr int all = 48 * 32;
    const std::tuple<const char*, TextureParams, MapRender, int> rows[] = {
        {"no intensity", withRelief(Marble, 2, 0.0f), normalMap(), all},
        {"negative intensity", withRelief(Wood, 0, -1.0f), normalMap(true), all},
        {"relief 5", withRelief(Granite, 5, 1.0f), normalMap(), all},
        {"relief 7", withRelief(Granite, 7, 1.0f), normalMap(true), all},
        {"one colour", plain, normalMap(false, true, 5.0f), all},
        {"strength 0", defaultsOf(Marble), normalMap(false, true, 0.0f), all},
        {"relief wins", withRelief(Marble, 2, 1.0f), normalMap(false, true), 0},
        {"marble", defaultsOf(Marble), normalMap(false, true), 0},
        {"agate", defaultsOf(Agate), normalMap(true, true, 3.0f), 0}};
    for (const auto& [name, record, map, flat] : rows) {
        const int got = flatPixels(renderMap(record, map));
        EXPECT_TRUE(flat == all ? got == all : got < all / 4) << name << ": " << got;
    }
    // Leaning away from the brighter side.
    const Bytes once = renderMap(defaultsOf(Marble), normalMap(false, true, 1.0f));
    int steep = 0;
    for (int k = 0; k < 48 * 32; ++k) {
        const int i = k % 48, j = k / 48;
        Sample left, right;
        evaluateSample(kSize.x(i - 1), kSize.y(j), defaultsOf(Marble), left);
        evaluateSample(kSize.x(i + 1), kSize.y(j), defaultsOf(Marble), right);
        const float rise = luminance(right.colour) - luminance(left.colour);
        if (std::fabs(rise) > 0.05f) {
            ++steep;
            EXPECT_EQ(once[3 * k]<128, rise> 0) << i << "," << j;
        }
    }
    EXPECT_GT(steep, 10);
}

// Heights use the full range, in the order of the relief's own heights; the waves' phase moves
// a height map by its period: a whole period changes nothing, half of one turns it over.
TEST_F(MapsTest, HeightMapsFollowTheReliefsHeights) {
    for (int relief = 0; relief < 5; ++relief) {
        TextureParams record = withRelief(Wood, relief, 0.7f);
        record.reliefFrequency = 3.0f;
        // The map over the record's own range, as exports make it; and the raw heights.
        std::vector<float> heights;
        const auto values = [&](const TextureParams& r) {
            const Bytes raw = renderMap(r, MapRender{MapKind::Height, {}, MapPixels::Heights});
            heights.resize(raw.size() / 4);
            std::memcpy(heights.data(), raw.data(), raw.size());
            const MapRender map{MapKind::Height,
                                {},
                                MapPixels::Grey16,
                                *std::min_element(heights.begin(), heights.end()),
                                *std::max_element(heights.begin(), heights.end())};
            const Bytes grey = renderMap(r, map, 3);
            std::vector<int> v;
            for (size_t k = 0; k < grey.size(); k += 2)
                v.push_back(grey[k] << 8 | grey[k + 1]);
            return v;
        };
        const std::vector<int> v = values(record);
        EXPECT_EQ(*std::min_element(v.begin(), v.end()), 0);
        EXPECT_EQ(*std::max_element(v.begin(), v.end()), 65535);
        for (size_t k = 0; k + 13 < v.size(); k += 13) {
            Sample a, b;
            evaluateSample(kSize.x(int(k % 48)), kSize.y(int(k / 48)), record, a);
            evaluateSample(kSize.x(int((k + 13) % 48)), kSize.y(int((k + 13) / 48)), record, b);
            EXPECT_TRUE(same(a.height, heights[k]) && (a.height < b.height) <= (v[k] <= v[k + 13]))
                << relief << " pixel " << k;
        }
        if (relief > 1)
            continue;
        for (const float shift : {1.0f, 0.5f}) {
            TextureParams moved = record;
            moved.reliefPhase += shift;
            const std::vector<int> w = values(moved);
            for (size_t k = 0; k < v.size(); ++k)
                ASSERT_NEAR(w[k], shift == 1.0f ? v[k] : 65535 - v[k], 40) << relief << " " << k;
        }
    }
}

// Every map, in every layout, has the same bytes on any number of threads and any band; a
// colour map is the colour image itself.
TEST_F(MapsTest, MapsDoNotDependOnThreads) {
    const TextureParams textures[] = {withRelief(Brick, 1, 0.6f), defaultsOf(Marble)};
    const MapRender maps[] = {{MapKind::Colour, {}, MapPixels::Rgb8, 0, 0},
                              normalMap(false, true),
                              {MapKind::Height, {}, MapPixels::Heights, 0, 0},
                              {MapKind::Height, {}, MapPixels::Grey16, -0.5, 0.5},
                              {MapKind::Height, {}, MapPixels::Rgb8, 0.2, 0.8}};
    for (const TextureParams& record : textures) {
        for (const MapRender& map : maps) {
            const Bytes one = renderMap(record, map, 1);
            EXPECT_EQ(one.size(), 48u * 32 * bytesPerPixel(map.pixels));
            for (const auto& [threads, band] : {std::pair{2, 0}, {3, 1}, {4, 5}})
                EXPECT_EQ(renderMap(record, map, threads, band), one) << int(map.kind);
            if (map.kind == MapKind::Colour) {
                TextureParams copy = record;
                applyRenderWrites(copy);
                EXPECT_EQ(one, image(copy, kSize));
            }
        }
    }
}

TEST_F(MapsTest, EncodingsAtTheirEdges) {
    const std::tuple<Vec3, bool, std::array<uint8_t, 3>> normals[] = {
        // normal, y down, bytes
        {{0, 0, 1}, false, {128, 128, 255}},    {{1, 0, 0}, false, {255, 128, 128}},
        {{0, 1, 0}, false, {128, 0, 128}},      {{0, 1, 0}, true, {128, 255, 128}},
        {{-1, 0, 0}, true, {0, 128, 128}},      {{0.6f, -0.8f, 0}, false, {204, 230, 128}},
        {{2, -3, kInf}, false, {255, 255, 255}}};
    for (const auto& [n, yDown, bytes] : normals) {
        std::array<uint8_t, 3> got{};
        encodeNormal(n, yDown, got.data());
        EXPECT_EQ(got, bytes) << n.x << " " << n.y << " " << n.z;
    }
    const std::tuple<float, double, double, double> heights[] = {
        // height, range, fraction
        {0.5f, 0, 1, 0.5}, {-2, -2, 6, 0},  {6, -2, 6, 1},  {9, -2, 6, 1},
        {-9, -2, 6, 0},    {kNaN, 0, 1, 0}, {3, 3, 3, 0.5}, {3, kNaN, 1, 0.5}};
    for (const auto& [h, low, high, fraction] : heights)
        EXPECT_EQ(heightFraction(h, low, high), fraction) << h << " in " << low << ", " << high;
}

}  // namespace
}  // namespace quorvel
