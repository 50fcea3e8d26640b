#include "files/texturedocument.h"

#include "engine/defaults.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <limits>

namespace quorvel {
namespace {

using testing::ScratchFolder;

// Every field gets its own value, so a field read from the wrong offset cannot go unnoticed.
TextureParams distinctiveRecord() {
    float next = 0.5f;
    auto f = [&next] { return next += 0.375f; };
    auto v = [&f] { return Vec3{f(), -f(), f()}; };
    auto c = [&f] { return Colour{f(), f(), -f(), f()}; };
    TextureParams r;
    r.material = 11;
    r.relief = -3;
    r.spareA = f();
    r.reliefFrequency = f();
    r.reliefPhase = -f();
    r.reliefIntensity = f();
    r.spareB = f();
    r.spareC = f();
    r.turbulence = f();
    r.gradientVector = v();
    r.octaves = -1234;
    r.mortarWidth = f();
    r.scale = v();
    r.reliefScale = v();
    r.lightDirection = v();
    r.brilliance = v();
    r.spareD = f();
    r.reflectionColour = c();
    r.lightColour = c();
    r.imageWidth = 321;
    r.imageHeight = -7;
    r.imageFormat = 8;
    r.offset = v();
    r.colourMap.count = 17;
    for (ColourMapEntry& e : r.colourMap.entries) {
        e.start = f();
        e.end = -f();
        e.startColour = c();
        e.endColour = c();
    }
    r.colourMap.entries[0].start = 0.25f;
    r.colourMap.entries[0].end = 1.5f;
    return r;
}

// Compares bit patterns, so that even -0 against 0 would count as a difference.
void expectSameRecord(const TextureParams& a, const TextureParams& b) {
    const auto same = [&](auto field, const char* name) {
        using Bytes = std::array<uint8_t, sizeof(a.*field)>;
        EXPECT_EQ(std::bit_cast<Bytes>(a.*field), std::bit_cast<Bytes>(b.*field)) << name;
    };
#define QUORVEL_SAME(field) same(&TextureParams::field, #field)
    QUORVEL_SAME(material), QUORVEL_SAME(relief), QUORVEL_SAME(spareA);
    QUORVEL_SAME(reliefFrequency), QUORVEL_SAME(reliefPhase), QUORVEL_SAME(reliefIntensity);
    QUORVEL_SAME(spareB), QUORVEL_SAME(spareC), QUORVEL_SAME(turbulence);
    QUORVEL_SAME(gradientVector), QUORVEL_SAME(octaves), QUORVEL_SAME(mortarWidth);
    QUORVEL_SAME(scale), QUORVEL_SAME(reliefScale), QUORVEL_SAME(lightDirection);
    QUORVEL_SAME(brilliance), QUORVEL_SAME(spareD), QUORVEL_SAME(reflectionColour);
    QUORVEL_SAME(lightColour), QUORVEL_SAME(imageWidth), QUORVEL_SAME(imageHeight);
    QUORVEL_SAME(imageFormat), QUORVEL_SAME(offset);
#undef QUORVEL_SAME
    EXPECT_EQ(a.colourMap.count, b.colourMap.count);
    using EntryBytes = std::array<uint8_t, sizeof(ColourMapEntry)>;
    static_assert(sizeof(ColourMapEntry) == 40, "ten floats, no padding");
    for (size_t i = 0; i < a.colourMap.entries.size(); ++i) {
        EXPECT_EQ(std::bit_cast<EntryBytes>(a.colourMap.entries[i]),
                  std::bit_cast<EntryBytes>(b.colourMap.entries[i]))
            << "colour map entry " << i;
    }
}

TEST(TextureDocument, EncodesTheFixedLayout) {
    const TextureParams record = distinctiveRecord();
    const TextureDocumentBytes bytes = encodeTextureDocument(record);
    ASSERT_EQ(bytes.size(), 1122u);

    EXPECT_EQ(bytes[0], 11);            // material
    EXPECT_EQ(bytes[1], 0xFD);          // relief -3
    EXPECT_EQ(bytes[136], 321 & 0xFF);  // imageWidth, low byte first
    EXPECT_EQ(bytes[137], 321 >> 8);
    for (size_t i = 42; i < 46; ++i) {
        EXPECT_EQ(bytes[i], 0) << "the map reference carries nothing, at " << i;
    }
    EXPECT_EQ(bytes[154], 17);  // map count, little-endian
    EXPECT_EQ(bytes[155], 0);
    for (size_t i = 156; i < 162; ++i) {
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    }
    // Entry 0: start 0.25f is 0x3E800000, end 1.5f is 0x3FC00000.
    const std::array<uint8_t, 8> entry0 = {0x00, 0x00, 0x80, 0x3E, 0x00, 0x00, 0xC0, 0x3F};
    EXPECT_TRUE(std::equal(entry0.begin(), entry0.end(), bytes.begin() + 162));

    TextureDocumentBytes defaults = encodeTextureDocument(newTexture());
    EXPECT_EQ(defaults[154], 24);
    EXPECT_EQ(defaults[155], 0);
}

TEST(TextureDocument, DecodeReproducesEveryField) {
    const TextureParams original = distinctiveRecord();
    const TextureDocumentBytes bytes = encodeTextureDocument(original);
    TextureParams decoded = newTexture();
    ASSERT_TRUE(decodeTextureDocument(bytes, decoded, "round.qvl").ok());
    expectSameRecord(decoded, original);
}

TEST(TextureDocument, RefusesEveryOtherLength) {
    for (const size_t length : {size_t{0}, size_t{1121}, size_t{1123}}) {
        SCOPED_TRACE(length);
        const std::vector<uint8_t> bytes(length, 0x5A);
        TextureParams record = distinctiveRecord();
        const FileStatus status = decodeTextureDocument(bytes, record, "odd-name.qvl");
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message.find("odd-name.qvl"), std::string::npos) << status.message;
        EXPECT_NE(status.message.find("1122"), std::string::npos) << status.message;
        expectSameRecord(record, distinctiveRecord());
    }
}

// A distinctive record whose values are all within what a document may hold.
TextureParams validDistinctiveRecord() {
    TextureParams r = distinctiveRecord();
    r.relief = 6;
    r.octaves = 256;
    r.imageHeight = 32767;
    return r;
}

TEST(TextureDocument, WritesAndReadsAFile) {
    ScratchFolder folder;
    ASSERT_TRUE(writeTextureFile(folder / "good.qvl", validDistinctiveRecord()).ok());
    const TextureDocumentBytes bytes = encodeTextureDocument(validDistinctiveRecord());
    EXPECT_EQ(testing::readBytes(folder / "good.qvl"),
              std::vector<uint8_t>(bytes.begin(), bytes.end()));
    TextureParams record = newTexture();
    ASSERT_TRUE(readTextureDocument(folder / "good.qvl", record).ok());
    expectSameRecord(record, validDistinctiveRecord());
}

TEST(TextureDocument, ReaderRefusesValuesOutsideTheirRanges) {
    struct Case {
        const char* name;
        void (*spoil)(TextureParams&);
        const char* mentions;
    };
    const Case cases[] = {
        {"material 14", [](TextureParams& r) { r.material = 14; }, "material is 14"},
        {"material -1", [](TextureParams& r) { r.material = -1; }, "material is -1"},
        {"relief 8", [](TextureParams& r) { r.relief = 8; }, "relief is 8"},
        {"width 0", [](TextureParams& r) { r.imageWidth = 0; }, "image width is 0"},
        {"height -5", [](TextureParams& r) { r.imageHeight = -5; }, "image height is -5"},
        {"detail 257", [](TextureParams& r) { r.octaves = 257; }, "detail is 257"},
        {"detail -1", [](TextureParams& r) { r.octaves = -1; }, "detail is -1"},
        {"NaN turbulence", [](TextureParams& r) { r.turbulence = std::numeric_limits<float>::quiet_NaN(); }, "turbulence"},
        {"infinite scale",
         [](TextureParams& r) { r.scale.y = std::numeric_limits<float>::infinity(); }, "scale"},
        {"NaN in the map",
         [](TextureParams& r) { r.colourMap.entries[23].endColour.b = std::numeric_limits<float>::quiet_NaN(); }, "colour map"},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextureParams bad = validDistinctiveRecord();
        c.spoil(bad);
        const TextureDocumentBytes bytes = encodeTextureDocument(bad);
        testing::writeBytes(folder / "bad.qvl", {bytes.begin(), bytes.end()});
        TextureParams record = newTexture();
        const FileStatus status = readTextureDocument(folder / "bad.qvl", record);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message.find(folder / "bad.qvl"), std::string::npos) << status.message;
        EXPECT_NE(status.message.find(c.mentions), std::string::npos) << status.message;
        expectSameRecord(record, newTexture());
    }
}

TEST(TextureDocument, BadFilesLeaveTheRecordAlone) {
    ScratchFolder folder;
    testing::writeBytes(folder / "short.qvl", std::vector<uint8_t>(1121, 1));
    testing::writeBytes(folder / "long.qvl", std::vector<uint8_t>(1123, 1));
    std::filesystem::create_directory(folder / "folder.qvl");
    struct Case {
        std::string name;
        bool mentionsSize;
    };
    for (const Case& c : {Case{"missing.qvl", false}, Case{"folder.qvl", false},
                          Case{"short.qvl", true}, Case{"long.qvl", true}}) {
        SCOPED_TRACE(c.name);
        TextureParams record = distinctiveRecord();
        const FileStatus status = readTextureDocument(folder / c.name, record);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message.find(folder / c.name), std::string::npos) << status.message;
        if (c.mentionsSize) {
            EXPECT_NE(status.message.find("1122"), std::string::npos) << status.message;
        }
        expectSameRecord(record, distinctiveRecord());
    }
}

}  // namespace
}  // namespace quorvel
