#include "cli/arguments.h"
#include "cli/library.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel::cli {
namespace {

TEST(ParseMaterial, AcceptsNamesLooselyAndNumbersInRange) {
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"marble", 1},
        {"Marble", 1},
        {"Checker Texture", 5},
        {"checker-texture", 5},
        {"CHECKER_TEXTURE", 5},
        {"checker", 4},
        {"0", 0},
        {"13", 13},
        {"inverse dents", std::nullopt},
        {"14", std::nullopt},
        {"-1", std::nullopt},
        {"", std::nullopt},
        {"1.0", std::nullopt},
        {"marbles", std::nullopt},
    };
    for (const auto& [text, material] : rows) {
        EXPECT_EQ(parseMaterial(text), material) << "'" << text << "'";
    }
}

TEST(ParseSize, AcceptsOnlyWidthByHeightWithinTheRecordRange) {
    const std::pair<const char*, std::pair<int, int>> accepted[] = {{"4096x2836", {4096, 2836}},
                                                                    {"1x1", {1, 1}},
                                                                    {"32767x32767", {32767, 32767}},
                                                                    {"64X48", {64, 48}}};
    for (const auto& [text, size] : accepted) {
        const std::optional<ImageSize> got = parseSize(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_EQ(std::pair(got->width, got->height), size) << text;
    }
    for (const char* text :
         {"0x5", "5x0", "32768x1", "1x32768", "-1x5", "5", "x5", "5x", "axb", "5x5x5", ""}) {
        EXPECT_FALSE(parseSize(text).has_value()) << "'" << text << "'";
    }
}

TEST(ParseArguments, TakesValuesAfterTheOptionOrAfterEquals) {
    const std::vector<std::string_view> args = {
        "in.qvl", "--size=64x48", "-m", "wood", "--threads", "3", "-q", "-o", "out.png"};
    const ParsedArguments parsed = parseArguments(args);
    ASSERT_EQ(parsed.error, "");
    const Arguments& a = parsed.arguments;
    EXPECT_EQ(a.input + " " + a.output, "in.qvl out.png");
    EXPECT_EQ(a.material, 2);
    ASSERT_TRUE(a.size.has_value());
    EXPECT_EQ(std::pair(a.size->width, a.size->height), std::pair(64, 48));
    EXPECT_TRUE(a.threads == 3 && a.quiet);
}

TEST(OutputNames, FollowTheEntryNamesWithoutClashes) {
    const std::vector<std::string> entries = {"\\marble.qvl", "\\marble.qvl", "",
                                              "\\sub\\x.QVL", "\\marble.qvl", "\\..",
                                              "\\notes.txt",  "marble-2"};
    const std::vector<std::string> expected = {"marble.png",    "marble-2.png",  "entry3.png",
                                               "x.png",         "marble-3.png",  "entry6.png",
                                               "notes.txt.png", "marble-2-2.png"};
    EXPECT_EQ(outputNames(entries, "png"), expected);
}

}  // namespace
}  // namespace quorvel::cli
