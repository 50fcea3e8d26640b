#include "tests/engine/testrecords.h"

#include <initializer_list>
#include <numeric>
#include <tuple>

namespace quorvel {
namespace {

using namespace test;

class TextureTest : public EngineTest {};

// Distinct, byte-asymmetric bit patterns (all normal floats), so a field at the wrong offset or
// in the wrong byte order cannot pass.
uint32_t pattern(size_t k) {
    const auto u = static_cast<uint32_t>(k);
    return 0x3F000000u | (u << 16) | ((0x80u + u) << 8) | (0x11u + u);
}

// The fields in declaration (stored) order: float k holds pattern(k), float k of map entry i
// pattern(10 i + k); braced initialisers run in order.
TextureParams patternedRecord() {
    size_t k = 1;
    const auto f = [&] { return std::bit_cast<float>(pattern(k++)); };
    const auto vec = [&] { return Vec3{f(), f(), f()}; };
    const auto colour = [&] { return Colour{f(), f(), f(), f()}; };
    TextureParams p{-7,    0x5A,  f(),      f(),      f(),   f(),   f(),   f(),
                    f(),   vec(), {7, {}},  -12345,   f(),   vec(), vec(), vec(),
                    vec(), f(),   colour(), colour(), 31420, -2,    264,   vec()};
    for (size_t i = 0; i < kColourMapEntries; ++i) {
        k = 10 * i;
        p.colourMap.entries[i] = {f(), f(), colour(), colour()};
    }
    return p;
}

static_assert(kRecordBytes == 154 && kColourMapEntryBytes == 40 && kColourMapBytes == 968);

// The stored layout, written out independently of the encoder: the float fields in the order
// above as {offset, floats}; then material, relief, the map reference, octaves, imageWidth,
// imageHeight, imageFormat as {offset, bytes, value}.
constexpr std::pair<size_t, size_t> kFloatFields[] = {
    {2, 1},  {6, 1},  {10, 1}, {14, 1}, {18, 1},  {22, 1},  {26, 1},  {30, 3}, {48, 1},
    {52, 3}, {64, 3}, {76, 3}, {88, 3}, {100, 1}, {104, 4}, {120, 4}, {142, 3}};
constexpr std::tuple<size_t, size_t, uint32_t> kOtherFields[] = {
    {0, 1, 0xF9},     {1, 1, 0x5A},     {42, 4, 0},      {46, 2, 0xCFC7},
    {136, 2, 0x7ABC}, {138, 2, 0xFFFE}, {140, 2, 0x0108}};

// With the encoder pinned down, equal encoded bytes mean equal fields, bit for bit (NaN
// payloads, -0, denormals included): any bytes round-trip but the map reference (so every byte
// is some field's), and decoding leaves the colour map as it is.
TEST(RecordLayoutTest, EveryFieldAtItsOffsetLittleEndianAndAnyBytesRoundTrip) {
    std::array<uint8_t, kRecordBytes> bytes = recordBytes(patternedRecord());
    const auto expectValue = [&](size_t at, size_t size, uint32_t value) {
        for (size_t i = 0; i < size; ++i) {
            EXPECT_EQ(bytes[at + i], static_cast<uint8_t>(value >> (8 * i))) << "byte " << at + i;
        }
    };
    size_t k = 1;
    for (const auto& [offset, floats] : kFloatFields) {
        for (size_t i = 0; i < floats; ++i) {
            expectValue(offset + 4 * i, 4, pattern(k++));
        }
    }
    for (const auto& [offset, size, value] : kOtherFields) {
        expectValue(offset, size, value);
    }
    std::mt19937 random(20240611u);
    for (int round = 0; round <= 200; ++round, bytes = randomBytes<kRecordBytes>(random)) {
        TextureParams decoded = patternedRecord();
        decodeRecord(bytes, decoded);
        std::fill_n(bytes.begin() + kRecordColourMapOffset, 4, 0);
        ASSERT_EQ(recordBytes(decoded), bytes);
        ASSERT_EQ(mapBytes(decoded.colourMap), mapBytes(patternedRecord().colourMap));
    }
}

// The map: count (16 bits), six zero bytes, then float k of the entries (ten per entry) at
// 8 + 4 k. The count is kept as stored, though the engine looks at 0 to 24 entries; every entry
// is read whatever the count says.
TEST(RecordLayoutTest, ColourMapLayoutAndCount) {
    const ColourMap map = patternedRecord().colourMap;
    const auto bytes = mapBytes(map);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), (Bytes{7, 0, 0, 0, 0, 0, 0, 0}));
    for (size_t k = 0; k < 10 * kColourMapEntries; ++k) {
        const uint8_t* at = &bytes[8 + 4 * k];
        EXPECT_EQ(at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24, pattern(k))
            << "float " << k;
    }
    for (const auto& [stored, size] :
         {std::pair<int16_t, int>{7, 7}, {-3, 0}, {24, 24}, {1000, 24}}) {
        ColourMap source = map;
        source.count = stored;
        ColourMap decoded;
        decodeColourMap(mapBytes(source), decoded);
        EXPECT_EQ(decoded.size(), size) << "count " << stored;
        EXPECT_EQ(mapBytes(decoded), mapBytes(source));
    }
}

// Every entry of the defaults table pinned through its stored bytes: the common fields, each
// material's turbulence, detail, scale, gradient axes and running-sum colour map; entries 14
// and 15 are all zero. Any material outside the list, and a new document, take Marble's.
TEST(DefaultsTest, TableBytesArePinnedAndOtherMaterialsTakeMarble) {
    constexpr uint32_t kPinned[kDefaultsTableSize] = {
        0xa064d9c1, 0xf333a984, 0xbd2edf56, 0x0a05184a, 0xd5259939, 0x840e3a5c,
        0x024e538b, 0x44ea634a, 0x7760fc74, 0x08ebc324, 0xcd554d7f, 0x91044fc2,
        0xbdbff83d, 0x5a8ef438, 0x5d89674d, 0x5d89674d};
    const auto hash = [](const TextureParams& r) {
        return fnv(mapBytes(r.colourMap), fnv(recordBytes(r)));
    };
    const DefaultsTable table = makeDefaultsTable();
    for (int m = 0; m < kDefaultsTableSize; ++m) {
        const uint32_t entry = hash(table[static_cast<size_t>(m)]);
        EXPECT_EQ(entry, kPinned[m]) << "entry " << m << ": 0x" << std::hex << entry;
        EXPECT_EQ(hash(materialDefaults(m)), kPinned[m < kMaterialCount ? m : 1]) << m;
    }
    for (const TextureParams& r : {newTexture(), materialDefaults(-1), materialDefaults(127)}) {
        EXPECT_EQ(hash(r), kPinned[1]);
    }
}

// A copy keeps every field and a full 24-entry map of positions and r, g, b, the fourth values
// cleared. A material change takes the pattern fields (material, turbulence, gradient axes,
// octaves, scale) and the map's positions and r, g, b, restores a full map and keeps everything
// else, including the map's fourth values.
TEST(DefaultsTest, CopyAndMaterialChange) {
    std::mt19937 random(7u);
    const TextureParams source = randomRecord(random);
    const TextureParams copy = copyTexture(source);
    ColourMap expectedMap = source.colourMap;
    expectedMap.count = kColourMapEntries;
    for (ColourMapEntry& e : expectedMap.entries) {
        e.startColour.a = e.endColour.a = 0.0f;
    }
    EXPECT_EQ(recordBytes(copy), recordBytes(source));
    EXPECT_EQ(mapBytes(copy.colourMap), mapBytes(expectedMap));

    const TextureParams granite = defaultsOf(Granite);
    TextureParams current = source;
    applyMaterialDefaults(current, granite);
    auto expected = recordBytes(source);
    for (const auto& [at, size] : {std::pair{0, 1}, {26, 16}, {46, 2}, {52, 12}}) {
        std::copy_n(recordBytes(granite).begin() + at, size, expected.begin() + at);
    }
    expectedMap = granite.colourMap;
    for (size_t i = 0; i < kColourMapEntries; ++i) {
        expectedMap.entries[i].startColour.a = source.colourMap.entries[i].startColour.a;
        expectedMap.entries[i].endColour.a = source.colourMap.entries[i].endColour.a;
    }
    EXPECT_EQ(recordBytes(current), expected);
    EXPECT_EQ(mapBytes(current.colourMap), mapBytes(expectedMap));
}

// Check values are printed with 6 or 7 decimals; allow half a unit of the last one. A fresh
// build gives the same tables: nothing in them depends on the run.
TEST_F(TextureTest, NoiseTablesMatchTheCheckValuesAndEveryBuildIsTheSame) {
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

    std::array<uint16_t, 4096> all;
    std::iota(all.begin(), all.end(), uint16_t{0});
    EXPECT_TRUE(std::is_permutation(all.begin(), all.end(), t.permTable.begin()));
    EXPECT_TRUE(same(buildNoiseTables(), t));
    for (const Vec3& d : t.waveDirections) {
        EXPECT_NEAR(std::hypot(d.x, d.y, d.z), 1.0, 1e-6);
    }
}

// Noise stays within 0 to 1, held at 1 where the sum reaches it; NaN gives 0. The periodic
// helpers at their turning points and edges; a channel byte is trunc(c x 255) of c limited to
// 0 to 1, NaN giving 0.
TEST_F(TextureTest, ScalarHelpersAtTheirEdges) {
    EXPECT_EQ(noise(0.0f, 3.5f, 0.0f), 1.0f);
    EXPECT_EQ(noise(kNaN, 0.5f, 0.5f), 0.0f);
    for (float v : {kInf, -kInf, 3e9f, -1e30f, 1e-40f, 0.37f}) {
        EXPECT_TRUE(noise(v, 0.3f, v) >= 0.0f && noise(v, 0.3f, v) <= 1.0f) << v;
    }
    using Rows = std::initializer_list<std::pair<float, float>>;  // argument, result
    const Rows cycloids = {{0.25f, 1}, {1.75f, -1}, {-0.25f, -1}, {kNaN, 0}, {kInf, 0}};
    const Rows waves = {{0.25f, 0.5f}, {0.75f, 0.5f}, {-0.25f, 0.5f}, {-0.5f, 1}, {-2, 0}, {3, 0}};
    const Rows floors = {{-2, -3}, {-2.5f, -3}, {2.5f, 2}, {0, 0}};
    const Rows bytes = {{1, 255},   {0.999f, 254}, {1.5f, 255}, {kInf, 255}, {0.5f, 127},   {0, 0},
                        {-0.0f, 0}, {-0.25f, 0},   {-kInf, 0},  {kNaN, 0},   {-1.86e-7f, 0}};
    for (const auto& [v, expected] : cycloids) {
        EXPECT_EQ(cycloid(v), expected) << "cycloid " << v;
        EXPECT_EQ(cycloid(static_cast<double>(v)), expected) << "cycloid, double " << v;
    }
    for (const auto& [v, expected] : waves) {
        EXPECT_EQ(triangleWave(v), expected) << "triangleWave " << v;
    }
    for (const auto& [v, expected] : floors) {
        EXPECT_EQ(cellFloor(v), expected) << "cellFloor " << v;
    }
    for (const auto& [v, expected] : bytes) {
        EXPECT_EQ(channelByte(v), expected) << "channelByte " << v;
    }
}

// n octaves sum exactly like the sums written out plainly, up to the last meaningful octave:
// huge detail must neither hang nor add garbage from octaves whose lattice coordinates overflow
// (or whose scale underflows), so it looks exactly like the highest meaningful detail.
TEST_F(TextureTest, TurbulenceIsThePlainOctaveSumUpToTheLastMeaningfulOctave) {
    const Vec3 points[] = {{0.3f, 1.7f, 0}, {-2.25f, 0.5f, 0}, {12.5f, -7.125f, 3}, {0, 0, 0},
                           {1e-30f, 0, 0},  {1e9f, 0, 0},      {3e9f, 0.5f, 0}};
    for (const Vec3& p : points) {
        std::vector<std::pair<float, Vec3>> sums(1);  // after 0, 1, 2 ... octaves
        for (float s = 1.0f; s > 0.0f && onLattice(p.x / s, p.y / s, p.z / s); s *= 0.5f) {
            const auto [scalar, vector] = sums.back();
            const Vec3 v = vectorNoise(p.x / s, p.y / s, p.z / s);
            sums.push_back({scalar + std::fabs(noise(p.x / s, p.y / s, p.z / s)) * s,
                            {vector.x + v.x * s, vector.y + v.y * s, vector.z + v.z * s}});
        }
        const int last = static_cast<int>(sums.size()) - 1;
        for (int n : {-2, -1, 0, 1, 2, 3, 4, 6, 9, 14, 20, 40, 256, 32767, last, last + 1}) {
            const auto& [scalar, vector] = sums[static_cast<size_t>(std::clamp(n, 0, last))];
            EXPECT_EQ(turbulenceSum(p, n), scalar) << p.x << ", " << p.y << " n = " << n;
            EXPECT_TRUE(same(vectorTurbulence(p, n), vector)) << p.x << " n = " << n;
        }
    }
}

TEST_F(TextureTest, MapColourTakesTheFirstCoveringEntryAndBlendsLinearly) {
    const Colour red{1, 0, 0, 0}, blue{0, 0, 1, 0}, low{0, 0.25f, 1, 0.5f};
    const ColourMapEntry entries[] = {
        {0.2f, 0.5f, red, red}, {0.25f, 1, {0, 1, 0, 0}, blue}, {0, 0.125f, low, {1, 0.75f, 0, 1}}};
    // Values beyond 0 to 1 are clamped; no entry covers 0.15.
    const std::pair<float, Colour> rows[] = {
        {0.3f, red},  {0.5f, red},  {1.0f, blue}, {0.0625f, {0.5f, 0.5f, 0.5f, 0.75f}},
        {1.5f, blue}, {-0.2f, low}, {0.15f, {}}};
    for (const auto& [value, expected] : rows) {
        EXPECT_TRUE(same(mapColour(entries, value), expected)) << value;
    }
    EXPECT_TRUE(same(mapColour(ColourMap{0, {}}, 0.5f), Colour{}));  // an empty map
}

// Every material's output pinned: the hash of its 32 x 24 image with the defaults, then with a
// relief (material number mod 8) under coloured light, then without a colour map (the fallback
// colours), then without turbulence, at negative and mirrored positions (negative cells), with
// one Granite octave (values below 1/24 find no Brick entry), other gradient axes (a sum of
// exactly 1 is not folded), relief scale and a light from below, last as a thumbnail. A material
// outside the list draws black.
TEST_F(TextureTest, ImagesArePinned) {
    constexpr uint32_t kPinned[kMaterialCount] = {
        0x427d4472, 0xb0f892d7, 0xdaad74d6, 0x04cadc62, 0x4a9baaf9, 0xc1695353, 0x345fa64c,
        0xe07119a3, 0xc6e485b7, 0x459beb61, 0xaa242611, 0x9d64a814, 0x62a51a75, 0x2bece66d};
    const Sampling s = Sampling::image(32, 24);
    for (int m = 0; m < kMaterialCount; ++m) {
        TextureParams r = materialDefaults(m);
        uint32_t hash = fnv(image(r, s));
        r.relief = static_cast<int8_t>(m % 8);
        r.reliefIntensity = 0.6f;
        r.lightColour = {1, 0.8f, 0.6f, 0};
        r.reflectionColour = {0.5f, 1, 0.7f, 0};
        r.brilliance = {200, 60, 0};
        hash = fnv(image(r, s), hash);
        r.colourMap.count = 0;
        hash = fnv(image(r, s), hash);
        r.colourMap.count = kColourMapEntries;
        r.turbulence = 0.0f;
        r.octaves = -2;
        r.offset = {-1.5f, -2.5f, 0};
        r.scale = {3, -5, 1};
        r.reliefScale = {-2, 7, 1};
        r.gradientVector = {1, 1, 0};
        r.lightDirection = {-1, 0.5f, -0.3f};
        hash = fnv(image(r, Sampling::thumbnail()), fnv(image(r, s), hash));
        EXPECT_EQ(hash, kPinned[m]) << materialName(m) << ": 0x" << std::hex << hash;
    }
    TextureParams none = materialDefaults(1);
    none.material = kMaterialCount;
    EXPECT_EQ(image(none, s), Bytes(3 * 32 * 24, 0));
}

// Relief and shading need an intensity above 0: otherwise a pixel is exactly the material's
// colour, whatever the relief. Shading ends every channel at 1 at most; a point exactly at a
// wave source counts as being at distance 1, leaving the normal of unit length.
TEST_F(TextureTest, ReliefAndShadingAtTheirEdges) {
    TextureParams record = defaultsOf(Marble);
    record.lightDirection = {-3, 0.5f, 0.1f};
    for (float a : {0.0f, -0.0f, -0.5f, -kInf, kNaN}) {
        for (int relief = 0; relief < 8; ++relief) {
            record.reliefIntensity = a;
            record.relief = static_cast<int8_t>(relief);
            Colour pixel, material;
            evaluatePixel(0.3f, 0.4f, record, pixel);
            evaluateMaterial({0.3f * record.scale.x, 0.4f * record.scale.y, 0}, record, material);
            EXPECT_TRUE(same(pixel, material)) << a << ", relief " << relief;
        }
    }
    record.lightDirection = {0, 0, 2};
    Colour c{0.3f, 0.6f, 1.0f, 0};
    shade({0.5f, 0.25f, 0}, record, c, {0, 0, 1});
    EXPECT_TRUE(c.r == 1.0f && c.g == 1.0f && c.b == 1.0f);
    record.reliefIntensity = 1.0f;
    for (int relief : {0, 1}) {  // Waves, Ripples
        record.relief = static_cast<int8_t>(relief);
        for (const Vec3& source : noiseTables().waveDirections) {
            Vec3 n{0, 0, 1};
            applyRelief(source, record, n);
            EXPECT_NEAR(std::hypot(n.x, n.y, n.z), 1.0, 1e-5) << "relief " << relief;
        }
    }
}

}  // namespace
}  // namespace quorvel
