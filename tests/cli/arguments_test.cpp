#include "cli/arguments.h"
#include "cli/library.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel::cli {
namespace {

TEST(ParseMaterial, AcceptsNamesLooselyAndNumbersInRange) {
    struct Row {
        const char* text;
        std::optional<int> material;
    };
    const Row rows[] = {
        {"marble", 1},
        {"Marble", 1},
        {"Checker Texture", 5},
        {"checker-texture", 5},
        {"CHECKER_TEXTURE", 5},
        {"checker", 4},
        {"inverse dents", std::nullopt},
        {"0", 0},
        {"13", 13},
        {"14", std::nullopt},
        {"-1", std::nullopt},
        {"", std::nullopt},
        {"1.0", std::nullopt},
        {"marbles", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(parseMaterial(row.text), row.material) << "'" << row.text << "'";
    }
}

TEST(ParseSize, AcceptsOnlyWidthByHeightWithinTheRecordRange) {
    struct Row {
        const char* text;
        int width;  // 0: refused
        int height;
    };
    const Row rows[] = {
        {"4096x2836", 4096, 2836},
        {"1x1", 1, 1},
        {"32767x32767", 32767, 32767},
        {"64X48", 64, 48},
        {"0x5", 0, 0},
        {"5x0", 0, 0},
        {"32768x1", 0, 0},
        {"1x32768", 0, 0},
        {"-1x5", 0, 0},
        {"5", 0, 0},
        {"x5", 0, 0},
        {"5x", 0, 0},
        {"axb", 0, 0},
        {"5x5x5", 0, 0},
        {"", 0, 0},
    };
    for (const Row& row : rows) {
        const std::optional<ImageSize> size = parseSize(row.text);
        const ImageSize got = size.value_or(ImageSize{0, 0});
        EXPECT_EQ(size.has_value(), row.width != 0) << "'" << row.text << "'";
        EXPECT_EQ(got.width, row.width) << "'" << row.text << "'";
        EXPECT_EQ(got.height, row.height) << "'" << row.text << "'";
    }
}

TEST(ParseArguments, TakesValuesAfterTheOptionOrAfterEquals) {
    const std::vector<std::string_view> args = {
        "in.qvl", "--size=64x48", "-m", "wood", "--threads", "3", "-q", "-o", "out.png"};
    const ParsedArguments parsed = parseArguments(args);
    ASSERT_EQ(parsed.error, "");
    const Arguments& a = parsed.arguments;
    EXPECT_EQ(a.input, "in.qvl");
    EXPECT_EQ(a.output, "out.png");
    EXPECT_EQ(a.material, 2);
    ASSERT_TRUE(a.size.has_value());
    EXPECT_EQ(a.size->width, 64);
    EXPECT_EQ(a.size->height, 48);
    EXPECT_EQ(a.threads, 3);
    EXPECT_TRUE(a.quiet);
}

TEST(OutputNames, FollowTheEntryNamesWithoutClashes) {
    const std::vector<std::string> entries = {
        "\\marble.qvl", "\\marble.qvl", "", "\\sub\\x.QVL", "\\marble.qvl", "\\..",
        "\\notes.txt", "marble-2"};
    const std::vector<std::string> expected = {
        "marble.png",   "marble-2.png", "entry3.png",    "x.png",
        "marble-3.png", "entry6.png",   "notes.txt.png", "marble-2-2.png"};
    EXPECT_EQ(outputNames(entries, "png"), expected);
}

}  // namespace
}  // namespace quorvel::cli
