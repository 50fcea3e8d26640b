#include "files/texturedocument.h"

#include "engine/defaults.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace quorvel {
namespace {

using namespace testing;

// 1122 random bytes in which every 4-byte window is a finite float (bit 6 of each byte clear,
// so no exponent is all ones), signs included: every field differs from every other.
Bytes randomDocument(unsigned seed = 1122) {
    std::mt19937 random(seed);
    Bytes bytes(kTextureDocumentBytes);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random() & 0xBF);
    }
    return bytes;
}

TextureParams decoded(const Bytes& bytes) {
    TextureParams record = newTexture();
    EXPECT_TRUE(decodeTextureDocument(bytes, record, "random.qvl").ok());
    return record;
}

TEST(TextureDocument, EveryFieldRoundTripsAtItsFixedPlace) {
    Bytes bytes = randomDocument();
    const TextureParams record = decoded(bytes);
    // The map reference (42 to 45) and the six bytes after the map count carry nothing.
    for (const size_t i : {42, 43, 44, 45, 156, 157, 158, 159, 160, 161}) {
        bytes[i] = 0;
    }
    EXPECT_EQ(documentBytes(record), bytes);
    for (const size_t length : {0, 1121, 1123}) {
        TextureParams same = record;
        const FileStatus status = decodeTextureDocument(Bytes(length, 0x5A), same, "odd.qvl");
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message.find("'odd.qvl'"), std::string::npos) << status.message;
        EXPECT_NE(status.message.find("1122"), std::string::npos) << status.message;
        EXPECT_EQ(documentBytes(same), documentBytes(record));
    }

    TextureParams r = record;
    r.material = 11, r.relief = -3, r.imageWidth = 321, r.colourMap.count = 17;
    r.colourMap.entries[0].start = 0.25f, r.colourMap.entries[0].end = 1.5f;
    const Bytes b = documentBytes(r);
    ASSERT_EQ(b.size(), 1122u);
    EXPECT_EQ((Bytes{b[0], b[1], b[136], b[137], b[154], b[155]}),
              (Bytes{11, 0xFD, 321 & 0xFF, 321 >> 8, 17, 0}));
    // Entry 0 from byte 162: start 0.25f is 0x3E800000, end 1.5f is 0x3FC00000.
    EXPECT_EQ(Bytes(b.begin() + 162, b.begin() + 170), (Bytes{0, 0, 0x80, 0x3E, 0, 0, 0xC0, 0x3F}));
    EXPECT_EQ(documentBytes(newTexture())[154], 24);
}

// A random record with every value at an edge of what a document may hold.
TextureParams validRecord() {
    TextureParams r = decoded(randomDocument());
    r.material = 13, r.relief = 7, r.imageWidth = 1, r.imageHeight = 32767, r.octaves = 256;
    return r;
}

template <typename Spoil> Bytes spoiled(Spoil spoil) {
    TextureParams r = validRecord();
    spoil(r);
    return documentBytes(r);
}

TEST(TextureDocument, ReaderRefusesBadFilesNamingThemAndLeavingTheRecord) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    using R = TextureParams&;
    struct Case {
        const char* file;
        std::optional<Bytes> bytes;  // none: the file is not written
        const char* mentions;        // "": the file is good
    };
    const Case cases[] = {
        {"good.qvl", documentBytes(validRecord()), ""},
        {"missing.qvl", std::nullopt, "missing.qvl"},
        {"folder.qvl", std::nullopt, "folder.qvl"},
        {"short.qvl", Bytes(1121, 1), "1122"},
        {"long.qvl", Bytes(1123, 1), "1122"},
        {"m14.qvl", spoiled([](R r) { r.material = 14; }), "material is 14"},
        {"m-1.qvl", spoiled([](R r) { r.material = -1; }), "material is -1"},
        {"r8.qvl", spoiled([](R r) { r.relief = 8; }), "relief is 8"},
        {"w0.qvl", spoiled([](R r) { r.imageWidth = 0; }), "image width is 0"},
        {"h-5.qvl", spoiled([](R r) { r.imageHeight = -5; }), "image height is -5"},
        {"d257.qvl", spoiled([](R r) { r.octaves = 257; }), "detail is 257"},
        {"d-1.qvl", spoiled([](R r) { r.octaves = -1; }), "detail is -1"},
        {"nan.qvl", spoiled([](R r) { r.turbulence = nan; }), "turbulence"},
        {"inf.qvl", spoiled([](R r) { r.scale.y = inf; }), "scale"},
        {"map.qvl", spoiled([](R r) { r.colourMap.entries[23].endColour.b = nan; }), "colour map"},
    };
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "folder.qvl");
    ASSERT_TRUE(writeTextureFile(folder / "good.qvl", validRecord()).ok());
    EXPECT_EQ(readBytes(folder / "good.qvl"), documentBytes(validRecord()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (c.bytes && *c.mentions) {
            writeBytes(folder / c.file, *c.bytes);
        }
        const Bytes start = randomDocument(7);  // unlike the file's record in every field
        TextureParams record = decoded(start);
        const FileStatus status = readTextureDocument(folder / c.file, record);
        if (!*c.mentions) {
            ASSERT_TRUE(status.ok()) << status.message;
            EXPECT_EQ(documentBytes(record), *c.bytes);
            continue;
        }
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message.find(folder / c.file), std::string::npos) << status.message;
        EXPECT_NE(status.message.find(c.mentions), std::string::npos) << status.message;
        EXPECT_EQ(documentBytes(record), documentBytes(decoded(start)));
    }
}

}  // namespace
}  // namespace quorvel
