#include "engine/defaults.h"
#include "files/bitmapencoder.h"
#include "files/libraryfile.h"
#include "files/targaencoder.h"
#include "files/texturedocument.h"
#include "files/tprfile.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

namespace quorvel {
namespace {

using Bytes = std::vector<uint8_t>;

void putU16(Bytes& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void putU32(Bytes& out, size_t at, uint32_t v) {
    putU16(out, at, static_cast<uint16_t>(v));
    putU16(out, at + 2, static_cast<uint16_t>(v >> 16));
}

void putF32(Bytes& out, size_t at, float v) {
    putU32(out, at, std::bit_cast<uint32_t>(v));
}

TEST(TprLayout, PinsEveryFieldAndLeavesTheRestOut) {
    // Every field distinct and non-zero, so that a shifted offset or a stray field shows.
    TextureParams r = materialDefaults(2);
    r.material = 9;
    r.relief = 0x5A;
    r.spareA = 1.25f, r.reliefFrequency = 2.5f, r.reliefPhase = -3.75f;
    r.reliefIntensity = 4.5f, r.spareB = 5.25f, r.spareC = -6.5f, r.turbulence = 7.75f;
    r.gradientVector = {8.5f, -9.25f, 10.5f};
    r.octaves = 0x1234;
    r.mortarWidth = 11.25f;
    r.scale = {12.5f, 13.75f, -14.5f};
    r.reliefScale = {15.5f, 16.5f, 17.5f};
    r.lightDirection = {18.5f, 19.5f, 20.5f};
    r.imageWidth = 0x3344;
    r.offset = {21.5f, 22.5f, 23.5f};
    r.colourMap.entries[0].start = 0.125f;

    Bytes head(71, 0);
    head[0] = 9;
    const std::pair<size_t, float> floats[] = {
        {1, 1.25f},   {5, 2.5f},   {9, -3.75f},  {13, 4.5f},   {17, 5.25f},
        {21, -6.5f},  {25, 7.75f}, {29, 8.5f},   {33, -9.25f}, {37, 10.5f},
        {47, 11.25f}, {51, 12.5f}, {55, 13.75f}, {59, -14.5f},
    };
    for (const auto& [at, value] : floats) {
        putF32(head, at, value);
    }
    putU16(head, 45, 0x1234);
    putU16(head, 63, 24);  // map count; 41..44 (the map reference) and 65..70 stay zero

    const TprBytes tpr = encodeTpr(r);
    ASSERT_EQ(tpr.size(), 1031u);
    for (size_t i = 0; i < head.size(); ++i) {
        EXPECT_EQ(tpr[i], head[i]) << "byte " << i;
    }
    // The entries as a texture document lays them out, 40 bytes each from byte 71.
    const TextureDocumentBytes document = encodeTextureDocument(r);
    EXPECT_TRUE(std::equal(tpr.begin() + 71, tpr.end(), document.begin() + 162));
    testing::ScratchFolder folder;
    ASSERT_TRUE(writeTprFile(folder / "a.tpr", r).ok());
    EXPECT_EQ(testing::readBytes(folder / "a.tpr"), Bytes(tpr.begin(), tpr.end()));
}

TEST(TargaLayout, HeaderForThreeHundredByTwo) {
    const std::array<uint8_t, 18> expected = {0, 0, 10, 0,    0,    0, 0, 0,  0,
                                              0, 0, 0,  0x2C, 0x01, 2, 0, 24, 8};
    EXPECT_EQ(targaHeader(300, 2), expected);
}

TEST(TargaLayout, RowsAreRunPacketsWithTheLastPixelAlone) {
    // Pixels are given by small ids; each id stands for its own blue, green, red triple.
    const auto bgr = [](int id) {
        return std::array<uint8_t, 3>{static_cast<uint8_t>(id), static_cast<uint8_t>(2 * id + 1),
                                      static_cast<uint8_t>(200 - id)};
    };
    struct Run {
        int length;
        int id;
    };
    struct Row {
        const char* name;
        std::vector<Run> pixels;  // the row, as runs of equal pixels
        std::vector<Run> packets;
    };
    const Row rows[] = {
        {"one pixel", {{1, 7}}, {{1, 7}}},
        {"uniform 300", {{300, 4}}, {{128, 4}, {128, 4}, {43, 4}, {1, 4}}},
        {"last two equal", {{3, 1}, {2, 2}}, {{3, 1}, {1, 2}, {1, 2}}},
        {"two equal", {{2, 5}}, {{1, 5}, {1, 5}}},
        {"all different", {{1, 1}, {1, 2}, {1, 3}, {1, 4}}, {{1, 1}, {1, 2}, {1, 3}, {1, 4}}},
        {"run of 129 then one", {{129, 3}, {1, 6}}, {{128, 3}, {1, 3}, {1, 6}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes pixels;
        for (const Run& run : row.pixels) {
            const auto pixel = bgr(run.id);
            for (int i = 0; i < run.length; ++i) {
                pixels.insert(pixels.end(), pixel.begin(), pixel.end());
            }
        }
        Bytes expected;
        for (const Run& packet : row.packets) {
            const auto pixel = bgr(packet.id);
            expected.push_back(static_cast<uint8_t>(127 + packet.length));
            expected.insert(expected.end(), pixel.begin(), pixel.end());
        }
        Bytes out = {0xEE};  // packets are appended, never overwrite what is there
        encodeTargaRow(pixels, out);
        expected.insert(expected.begin(), 0xEE);
        EXPECT_EQ(out, expected);
    }
}

TEST(BitmapLayout, HeaderAndRowLengths) {
    Bytes expected(1074, 0);
    putU16(expected, 2, 5);
    putU16(expected, 4, 3);
    putU16(expected, 6, 16);
    expected[8] = 1;
    expected[9] = 24;
    putU32(expected, 10, 40);
    putU32(expected, 14, 5);
    putU32(expected, 18, 3);
    putU16(expected, 22, 1);
    putU16(expected, 24, 24);
    const auto header = bitmapHeader(5, 3);
    EXPECT_EQ(Bytes(header.begin(), header.end()), expected);

    // Rows pad to an even length, not to a multiple of four. Whole files, padding bytes and
    // length included, are read back by the cross-format pixel test.
    EXPECT_EQ(bitmapRowBytes(5), 16u);
    EXPECT_EQ(bitmapRowBytes(4), 12u);
    EXPECT_EQ(bitmapRowBytes(1), 4u);
}

TEST(LibraryLayout, ThreeEntriesTakeExactly482Bytes) {
    const std::vector<LibraryFileEntry> entries = {
        {"\\marble.qvl", "/home/u/qvl/marble.qvl"},
        {"\\w.qvl", "C:\\qvl\\w.qvl"},
        {std::string(79, 'n'), std::string(79, 'p')},
    };
    Bytes expected(482, 0);
    expected[0] = 3;
    for (size_t k = 0; k < entries.size(); ++k) {
        std::memcpy(&expected[2 + 160 * k], entries[k].name.data(), entries[k].name.size());
        std::memcpy(&expected[82 + 160 * k], entries[k].path.data(), entries[k].path.size());
    }
    Bytes bytes = {1, 2, 3};
    ASSERT_TRUE(encodeLibraryFile(entries, bytes, "three.qlb").ok());
    EXPECT_EQ(bytes, expected);
}

}  // namespace
}  // namespace quorvel
