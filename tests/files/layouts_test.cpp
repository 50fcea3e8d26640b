#include "engine/defaults.h"
#include "files/bitmapencoder.h"
#include "files/targaencoder.h"
#include "files/tprfile.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <random>

namespace quorvel {
namespace {

using namespace testing;

TEST(TprLayout, IsTheDocumentsFirstFieldsWithoutReliefThenItsMap) {
    // A record of random finite values, so that a shifted offset or a stray field shows.
    std::mt19937 random(1031);
    Bytes document(kTextureDocumentBytes);
    for (uint8_t& b : document) {
        b = static_cast<uint8_t>(random() & 0xBF);
    }
    TextureParams r = newTexture();
    ASSERT_TRUE(decodeTextureDocument(document, r, "").ok());
    document = documentBytes(r);  // the bytes without information now zero
    // Material (byte 0), then the document's bytes 2 to 63 at 1 to 62: spareA to turbulence
    // at 1 to 25, gradientVector at 29, the map reference at 41 (zero), octaves at 45,
    // mortarWidth at 47, scale at 51. Then the map as the document stores it from byte 154.
    Bytes expected = {document[0]};
    expected.insert(expected.end(), document.begin() + 2, document.begin() + 64);
    expected.insert(expected.end(), document.begin() + 154, document.end());
    ASSERT_EQ(expected.size(), 1031u);
    const TprBytes tpr = encodeTpr(r);
    EXPECT_EQ(Bytes(tpr.begin(), tpr.end()), expected);
    ScratchFolder folder;
    ASSERT_TRUE(writeTprFile(folder / "a.tpr", r).ok());
    EXPECT_EQ(readBytes(folder / "a.tpr"), expected);
}

TEST(TargaLayout, HeaderAndRowsOfRunPacketsWithTheLastPixelAlone) {
    const std::array<uint8_t, 18> header = {0, 0, 10, 0,    0,    0, 0, 0,  0,
                                            0, 0, 0,  0x2C, 0x01, 2, 0, 24, 8};
    EXPECT_EQ(targaHeader(300, 2), header);

    // A row is a string of pixel ids, each digit standing for its own blue, green, red triple;
    // packets are {pixels, id}.
    const auto append = [](Bytes& to, int id) {
        to.insert(to.end(), {static_cast<uint8_t>(id), static_cast<uint8_t>(2 * id + 1),
                             static_cast<uint8_t>(200 - id)});
    };
    const std::pair<std::string, std::vector<std::pair<int, int>>> rows[] = {
        {"7", {{1, 7}}},                                                 // one pixel
        {std::string(300, '4'), {{128, 4}, {128, 4}, {43, 4}, {1, 4}}},  // uniform 300
        {"11122", {{3, 1}, {1, 2}, {1, 2}}},                             // last two equal
        {"55", {{1, 5}, {1, 5}}},
        {"1234", {{1, 1}, {1, 2}, {1, 3}, {1, 4}}},  // all different
        {std::string(129, '3') + "6", {{128, 3}, {1, 3}, {1, 6}}},
    };
    for (const auto& [ids, packets] : rows) {
        Bytes pixels, expected = {0xEE}, out = {0xEE};  // packets are appended to what is there
        for (const char id : ids) {
            append(pixels, id - '0');
        }
        for (const auto& [length, id] : packets) {
            expected.push_back(static_cast<uint8_t>(127 + length));
            append(expected, id);
        }
        encodeTargaRow(pixels, out);
        EXPECT_EQ(out, expected) << ids.size() << " pixels " << ids.substr(0, 9);
    }
}

TEST(BitmapLayout, HeaderAndRowLengths) {
    Bytes expected(1074, 0);
    // Width 5, height 3, 16 bytes a row, 1 plane of 24 bits; then a 40-byte info header.
    const std::pair<int, uint8_t> fields[] = {{2, 5},   {4, 3},  {6, 16}, {8, 1},  {9, 24},
                                              {10, 40}, {14, 5}, {18, 3}, {22, 1}, {24, 24}};
    for (const auto& [at, value] : fields) {
        expected[at] = value;
    }
    const auto header = bitmapHeader(5, 3);
    EXPECT_EQ(Bytes(header.begin(), header.end()), expected);
    // Rows pad to an even length, not to a multiple of four (width 2: 6 bytes, not 8). Whole
    // files, padding bytes and length included, are compared by the export pixel test.
    for (const auto& [width, bytes] : {std::pair{5, 16u}, {4, 12u}, {1, 4u}, {2, 6u}}) {
        EXPECT_EQ(bitmapRowBytes(width), bytes) << width;
    }
}

}  // namespace
}  // namespace quorvel
