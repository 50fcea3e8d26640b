#include "engine/recordlayout.h"

#include "tests/engine/testrecords.h"

#include <tuple>
#include <utility>

namespace quorvel {
namespace {

using namespace test;

// Distinct, byte-asymmetric bit patterns (all normal floats), so a field at the wrong offset or
// in the wrong byte order cannot pass.
uint32_t pattern(size_t k) {
    const auto u = static_cast<uint32_t>(k);
    return 0x3F000000u | (u << 16) | ((0x80u + u) << 8) | (0x11u + u);
}

// Float k of the record in stored order holds pattern(k); float k of map entry i holds
// pattern(10 i + k).
TextureParams patternedRecord() {
    size_t k = 1;
    const auto f = [&] { return std::bit_cast<float>(pattern(k++)); };
    const auto vec = [&] { return Vec3{f(), f(), f()}; };
    const auto colour = [&] { return Colour{f(), f(), f(), f()}; };
    TextureParams p;
    p.material = -7;
    p.relief = 0x5A;
    p.spareA = f();
    p.reliefFrequency = f();
    p.reliefPhase = f();
    p.reliefIntensity = f();
    p.spareB = f();
    p.spareC = f();
    p.turbulence = f();
    p.gradientVector = vec();
    p.octaves = -12345;
    p.mortarWidth = f();
    p.scale = vec();
    p.reliefScale = vec();
    p.lightDirection = vec();
    p.brilliance = vec();
    p.spareD = f();
    p.reflectionColour = colour();
    p.lightColour = colour();
    p.imageWidth = 31420;
    p.imageHeight = -2;
    p.imageFormat = 264;
    p.offset = vec();
    p.colourMap.count = 7;
    for (size_t i = 0; i < kColourMapEntries; ++i) {
        k = 10 * i;
        p.colourMap.entries[i] = {f(), f(), colour(), colour()};
    }
    return p;
}

static_assert(kRecordBytes == 154 && kColourMapEntryBytes == 40 && kColourMapBytes == 968);

// The stored layout, written out independently of the encoder. The float fields (spareA,
// reliefFrequency, reliefPhase, reliefIntensity, spareB, spareC, turbulence, gradientVector,
// mortarWidth, scale, reliefScale, lightDirection, brilliance, spareD, reflectionColour,
// lightColour, offset) as {offset, floats}:
constexpr std::pair<size_t, size_t> kFloatFields[] = {
    {2, 1},  {6, 1},  {10, 1}, {14, 1}, {18, 1},  {22, 1},  {26, 1},  {30, 3}, {48, 1},
    {52, 3}, {64, 3}, {76, 3}, {88, 3}, {100, 1}, {104, 4}, {120, 4}, {142, 3}};
// material, relief, the map reference, octaves, imageWidth, imageHeight, imageFormat as
// {offset, bytes, value}:
constexpr std::tuple<size_t, size_t, uint32_t> kOtherFields[] = {
    {0, 1, 0xF9},     {1, 1, 0x5A},     {42, 4, 0},      {46, 2, 0xCFC7},
    {136, 2, 0x7ABC}, {138, 2, 0xFFFE}, {140, 2, 0x0108}};

TEST(RecordLayoutTest, EncodeWritesEveryFieldAtItsOffsetLittleEndian) {
    std::array<uint8_t, kRecordBytes> bytes;
    bytes.fill(0xEE);
    encodeRecord(patternedRecord(), bytes);
    std::vector<int> covered(kRecordBytes, 0);
    const auto expectValue = [&](size_t at, size_t size, uint32_t value) {
        for (size_t i = 0; i < size; ++i) {
            ASSERT_LT(at + i, kRecordBytes);
            ++covered[at + i];
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
    for (size_t i = 0; i < kRecordBytes; ++i) {
        EXPECT_EQ(covered[i], 1) << "byte " << i << " is not exactly one field's";
    }
}

// The encoder is pinned down above, so equal encoded bytes mean equal fields, bit for bit (NaN
// payloads, -0, denormals included). Decoding leaves the colour map as it is.
TEST(RecordLayoutTest, ArbitraryBytesRoundTripExceptTheMapReference) {
    std::mt19937 random(20240611u);
    std::vector<std::array<uint8_t, kRecordBytes>> inputs = {recordBytes(patternedRecord())};
    for (int round = 0; round < 200; ++round) {
        inputs.push_back(randomBytes<kRecordBytes>(random));
    }
    for (auto& bytes : inputs) {
        TextureParams decoded = patternedRecord();
        const auto mapBefore = mapBytes(decoded.colourMap);
        decodeRecord(bytes, decoded);
        std::fill_n(bytes.begin() + kRecordColourMapOffset, 4, 0);
        ASSERT_EQ(recordBytes(decoded), bytes);
        ASSERT_EQ(mapBytes(decoded.colourMap), mapBefore);
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
    const std::pair<int16_t, int> counts[] = {{7, 7}, {-3, 0}, {0, 0}, {24, 24}, {1000, 24}};
    for (const auto& [stored, size] : counts) {
        ColourMap source = map;
        source.count = stored;
        ColourMap decoded;
        decodeColourMap(mapBytes(source), decoded);
        EXPECT_EQ(decoded.count, stored);
        EXPECT_EQ(decoded.size(), size) << "count " << stored;
        EXPECT_EQ(mapBytes(decoded), mapBytes(source));
    }
}

}  // namespace
}  // namespace quorvel
