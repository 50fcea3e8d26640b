#include "engine/recordlayout.h"

#include "tests/engine/testrecords.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

using test::sameBits;

// Distinct, byte-asymmetric bit patterns (all normal floats), so a field at the wrong offset or
// in the wrong byte order cannot pass.
uint32_t pattern(int k) {
    const auto u = static_cast<uint32_t>(k);
    return 0x3F000000u | (u << 16) | ((0x80u + u) << 8) | (0x11u + u);
}
float patterned(int k) {
    return std::bit_cast<float>(pattern(k));
}
Vec3 patternedVec(int k) {
    return {patterned(k), patterned(k + 1), patterned(k + 2)};
}
Colour patternedColour(int k) {
    return {patterned(k), patterned(k + 1), patterned(k + 2), patterned(k + 3)};
}

TextureParams patternedRecord() {
    TextureParams p;
    p.material = -7;
    p.relief = 0x5A;
    p.spareA = patterned(1);
    p.reliefFrequency = patterned(2);
    p.reliefPhase = patterned(3);
    p.reliefIntensity = patterned(4);
    p.spareB = patterned(5);
    p.spareC = patterned(6);
    p.turbulence = patterned(7);
    p.gradientVector = patternedVec(8);
    p.octaves = -12345;
    p.mortarWidth = patterned(11);
    p.scale = patternedVec(12);
    p.reliefScale = patternedVec(15);
    p.lightDirection = patternedVec(18);
    p.brilliance = patternedVec(21);
    p.spareD = patterned(24);
    p.reflectionColour = patternedColour(25);
    p.lightColour = patternedColour(29);
    p.imageWidth = 31420;
    p.imageHeight = -2;
    p.imageFormat = 264;
    p.offset = patternedVec(33);
    return p;
}

struct Field {
    std::string name;
    size_t offset;
    size_t size;
    uint32_t value;
};

// The stored layout, written out independently of the encoder.
std::vector<Field> storedLayout() {
    std::vector<Field> fields;
    const auto floats = [&](const std::string& name, size_t offset, int first, int count) {
        for (int i = 0; i < count; ++i) {
            fields.push_back({name + "[" + std::to_string(i) + "]",
                              offset + 4 * static_cast<size_t>(i), 4, pattern(first + i)});
        }
    };
    fields.push_back({"material", 0, 1, 0xF9});
    fields.push_back({"relief", 1, 1, 0x5A});
    floats("spareA", 2, 1, 1);
    floats("reliefFrequency", 6, 2, 1);
    floats("reliefPhase", 10, 3, 1);
    floats("reliefIntensity", 14, 4, 1);
    floats("spareB", 18, 5, 1);
    floats("spareC", 22, 6, 1);
    floats("turbulence", 26, 7, 1);
    floats("gradientVector", 30, 8, 3);
    fields.push_back({"colourMap reference", 42, 4, 0});
    fields.push_back({"octaves", 46, 2, 0xCFC7});
    floats("mortarWidth", 48, 11, 1);
    floats("scale", 52, 12, 3);
    floats("reliefScale", 64, 15, 3);
    floats("lightDirection", 76, 18, 3);
    floats("brilliance", 88, 21, 3);
    floats("spareD", 100, 24, 1);
    floats("reflectionColour", 104, 25, 4);
    floats("lightColour", 120, 29, 4);
    fields.push_back({"imageWidth", 136, 2, 0x7ABC});
    fields.push_back({"imageHeight", 138, 2, 0xFFFE});
    fields.push_back({"imageFormat", 140, 2, 0x0108});
    floats("offset", 142, 33, 3);
    return fields;
}

TEST(RecordLayoutTest, SizesOfTheStoredForms) {
    EXPECT_EQ(kRecordBytes, 154u);
    EXPECT_EQ(kColourMapEntryBytes, 40u);
    EXPECT_EQ(kColourMapBytes, 968u);
    EXPECT_EQ(kRecordColourMapOffset, 42u);
}

TEST(RecordLayoutTest, EncodeWritesEveryFieldAtItsOffsetLittleEndian) {
    std::array<uint8_t, kRecordBytes> bytes;
    bytes.fill(0xEE);
    encodeRecord(patternedRecord(), bytes);

    std::vector<int> covered(kRecordBytes, 0);
    for (const Field& f : storedLayout()) {
        for (size_t i = 0; i < f.size; ++i) {
            ASSERT_LT(f.offset + i, kRecordBytes) << f.name;
            ++covered[f.offset + i];
            EXPECT_EQ(bytes[f.offset + i], static_cast<uint8_t>(f.value >> (8 * i)))
                << f.name << " byte " << i;
        }
    }
    for (size_t i = 0; i < kRecordBytes; ++i) {
        EXPECT_EQ(covered[i], 1) << "byte " << i << " is not exactly one field's";
    }
}

// The encoder is pinned down above, so comparing encoded bytes compares every field by its bits.
TEST(RecordLayoutTest, DecodeReadsEveryFieldBack) {
    TextureParams special = patternedRecord();
    special.turbulence = std::bit_cast<float>(0x7FC12345u); // a NaN with a payload
    special.scale = {-0.0f, std::numeric_limits<float>::infinity(),
                     std::numeric_limits<float>::denorm_min()};
    special.octaves = -32768;
    special.material = 127;
    special.relief = -128;
    for (const TextureParams& original : {patternedRecord(), special}) {
        TextureParams decoded;
        decodeRecord(test::recordBytes(original), decoded);
        EXPECT_EQ(test::recordBytes(decoded), test::recordBytes(original));
        EXPECT_EQ(decoded.material, original.material);
        EXPECT_EQ(decoded.octaves, original.octaves);
        EXPECT_EQ(decoded.imageHeight, original.imageHeight);
        EXPECT_TRUE(sameBits(decoded.offset.z, original.offset.z));
    }
}

TEST(RecordLayoutTest, ArbitraryBytesRoundTripExceptTheMapReference) {
    std::mt19937 random(20240611u);
    for (int round = 0; round < 200; ++round) {
        std::array<uint8_t, kRecordBytes> bytes;
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(random());
        }
        TextureParams decoded;
        decodeRecord(bytes, decoded);
        for (size_t i = 0; i < 4; ++i) {
            bytes[kRecordColourMapOffset + i] = 0;
        }
        ASSERT_EQ(test::recordBytes(decoded), bytes) << "round " << round;
    }
}

TEST(RecordLayoutTest, DecodeLeavesTheColourMapAlone) {
    TextureParams target;
    target.colourMap.count = 5;
    target.colourMap.entries[3].start = 0.75f;
    decodeRecord(test::recordBytes(patternedRecord()), target);
    EXPECT_EQ(target.colourMap.count, 5);
    EXPECT_EQ(target.colourMap.entries[3].start, 0.75f);
}

ColourMap patternedMap(int16_t count) {
    ColourMap map;
    map.count = count;
    for (int i = 0; i < kColourMapEntries; ++i) {
        ColourMapEntry& e = map.entries[static_cast<size_t>(i)];
        e.start = patterned(10 * i);
        e.end = patterned(10 * i + 1);
        e.startColour = patternedColour(10 * i + 2);
        e.endColour = patternedColour(10 * i + 6);
    }
    return map;
}

uint32_t le32(const std::array<uint8_t, kColourMapBytes>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(RecordLayoutTest, ColourMapLayout) {
    const auto bytes = test::mapBytes(patternedMap(7));
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(bytes[1], 0);
    for (size_t i = 2; i < 8; ++i) {
        EXPECT_EQ(bytes[i], 0) << "header byte " << i;
    }
    for (int i = 0; i < kColourMapEntries; ++i) {
        const size_t at = kColourMapHeaderBytes + kColourMapEntryBytes * static_cast<size_t>(i);
        for (int k = 0; k < 10; ++k) {
            EXPECT_EQ(le32(bytes, at + 4 * static_cast<size_t>(k)), pattern(10 * i + k))
                << "entry " << i << " float " << k;
        }
    }
    EXPECT_EQ(test::mapBytes(patternedMap(-3))[1], 0xFF);
}

TEST(RecordLayoutTest, DecodedCountIsKeptButTheUsableSizeIsLimited) {
    const struct {
        int16_t stored;
        int size;
    } rows[] = {{7, 7}, {-3, 0}, {0, 0}, {24, 24}, {25, 24}, {1000, 24}, {-32768, 0}};
    for (const auto& row : rows) {
        const ColourMap source = patternedMap(row.stored);
        ColourMap decoded;
        decodeColourMap(test::mapBytes(source), decoded);
        EXPECT_EQ(decoded.count, row.stored);
        EXPECT_EQ(decoded.size(), row.size) << "count " << row.stored;
        // Every entry is read whatever the count says.
        EXPECT_EQ(test::mapBytes(decoded), test::mapBytes(source));
    }
}

} // namespace
} // namespace quorvel
