#include "files/libraryfile.h"

#include "engine/defaults.h"
#include "files/texturedocument.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace quorvel {
namespace {

using testing::ScratchFolder;
using Bytes = std::vector<uint8_t>;
using Entries = std::vector<LibraryFileEntry>;

const Entries kSample = {
    {"\\marble.qvl", "/home/u/qvl/marble.qvl"},
    {"", ""},
    {std::string(79, 'n'), "C:\\qvl\\" + std::string(72, 'p')},
};

TEST(LibraryFile, WritesAndReadsBack) {
    ScratchFolder folder;
    ASSERT_TRUE(writeLibraryFile(folder / "a.qlb", kSample).ok());
    Entries read;
    ASSERT_TRUE(readLibraryFile(folder / "a.qlb", read).ok());
    EXPECT_EQ(read, kSample);
    ASSERT_TRUE(writeLibraryFile(folder / "empty.qlb", {}).ok());
    EXPECT_EQ(testing::readBytes(folder / "empty.qlb"), (Bytes{0, 0}));
}

TEST(LibraryFile, ReaderRefusesMalformedFiles) {
    Bytes good;
    ASSERT_TRUE(encodeLibraryFile({{"\\a.qvl", "/a.qvl"}}, good, "").ok());
    Bytes unterminated = good;
    std::fill(unterminated.begin() + 2, unterminated.begin() + 82, 'x');
    Bytes unterminatedPath = good;
    std::fill(unterminatedPath.begin() + 82, unterminatedPath.end(), 'y');
    Bytes longer = good;
    longer.push_back(0);
    struct Case {
        const char* name;
        Bytes bytes;
        const char* mentions;
    };
    const Case cases[] = {
        {"empty", {}, "shorter than 2 bytes"},
        {"one byte", {1}, "shorter than 2 bytes"},
        {"negative count", {0xFF, 0xFF}, "negative"},
        {"one byte short", Bytes(good.begin(), good.end() - 1), "should be 162 bytes"},
        {"one byte extra", longer, "but it is 163"},
        {"count without entries", {2, 0}, "should be 322"},
        {"name without zero", unterminated, "entry 1"},
        {"path without zero", unterminatedPath, "entry 1"},
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::writeBytes(folder / "bad.qlb", c.bytes);
        Entries entries = kSample;
        const FileStatus status = readLibraryFile(folder / "bad.qlb", entries);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message.find("'" + folder / "bad.qlb" + "'"), std::string::npos)
            << status.message;
        EXPECT_NE(status.message.find(c.mentions), std::string::npos) << status.message;
        EXPECT_EQ(entries, kSample);
    }
}

TEST(LibraryFile, WriterRefusesTextsTheFieldsCannotHold) {
    const Entries cases[] = {
        {{std::string(80, 'n'), "/a.qvl"}},
        {{"\\a.qvl", std::string(80, 'p')}},
        {{"\\a.qvl", "/a.qvl"}, {std::string("\\a\0b", 4), "/b.qvl"}},
    };
    ScratchFolder folder;
    for (const Entries& entries : cases) {
        const FileStatus status = writeLibraryFile(folder / "long.qlb", entries);
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message.find(folder / "long.qlb"), std::string::npos) << status.message;
    }
    EXPECT_TRUE(folder.names().empty());
}

// Random files, mostly near a valid size, against an independent reading of the layout.
TEST(LibraryFile, RandomBytesAreJudgedByTheLayout) {
    std::mt19937 random(20240611);
    int accepted = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const int count = static_cast<int>(random() % 4);
        Bytes bytes(1 + 160 * count + random() % 3 + (trial % 50 == 0 ? random() % 400 : 0));
        for (uint8_t& b : bytes) {
            b = random() % 3 == 0 ? 0 : static_cast<uint8_t>(random());
        }
        if (bytes.size() >= 2 && trial % 7 != 0) {
            bytes[0] = static_cast<uint8_t>(count), bytes[1] = 0;
        }
        const int stored = bytes.size() < 2 ? -1 : static_cast<int16_t>(bytes[0] | bytes[1] << 8);
        bool valid = stored >= 0 && bytes.size() == 2 + 160 * static_cast<size_t>(stored);
        for (int field = 0; valid && field < 2 * stored; ++field) {
            const auto begin = bytes.begin() + 2 + 80 * field;
            valid = std::find(begin, begin + 80, 0) != begin + 80;
        }
        Entries entries;
        const FileStatus status = decodeLibraryFile(bytes, entries, "random.qlb");
        ASSERT_EQ(status.ok(), valid) << "trial " << trial << ": " << status.message;
        accepted += valid;
        EXPECT_EQ(entries.size(), valid ? static_cast<size_t>(stored) : 0u);
    }
    EXPECT_GT(accepted, 20);
}

TEST(LibraryFile, NameIsTheLastPartOfThePath) {
    EXPECT_EQ(libraryNameOf("/home/u/qvl/marble.qvl"), "\\marble.qvl");
    EXPECT_EQ(libraryNameOf("C:\\qvl\\wood.qvl"), "\\wood.qvl");
    EXPECT_EQ(libraryNameOf("plain.qvl"), "\\plain.qvl");
}

TEST(LoadLibraryTexture, TriesThePathThenTheNameThenMarble) {
    ScratchFolder home;
    ScratchFolder data;
    const testing::ScopedEnvironment scopedHome("HOME", home.path());
    // Each file holds its own material and width, so the file read can be told from the record.
    std::map<std::string, TextureParams> written;
    const auto write = [&](const std::string& path, int material, int16_t width) {
        TextureParams record = materialDefaults(material);
        record.imageWidth = width;
        record.colourMap.count = 17;  // taken as 24 whatever the file says
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const TextureDocumentBytes bytes = encodeTextureDocument(record);
        testing::writeBytes(path, {bytes.begin(), bytes.end()});
        written[path] = record;
    };
    write(data / "own.qvl", 2, 71);
    write(data / "sub/x.qvl", 3, 72);
    write(data / "both.qvl", 4, 73);
    write(home / "qvl/both.qvl", 5, 74);  // the texture folder comes before the search path
    write(data / "b/short.qvl", 6, 75);
    testing::writeBytes(data / "short.qvl", Bytes(1121, 0));
    struct Case {
        const char* name;
        LibraryFileEntry entry;
        TextureSource source;
        std::string file;     // the file read, "" for the Marble defaults
        const char* problem;  // text of `problems`, "" for none
    };
    const Case cases[] = {
        {"path", {"\\gone.qvl", data / "own.qvl"}, TextureSource::Path, data / "own.qvl", ""},
        {"name", {"\\sub\\x.qvl", data / "x.qvl"}, TextureSource::Name, data / "sub/x.qvl", ""},
        {"qvl folder", {"\\both.qvl", ""}, TextureSource::Name, home / "qvl/both.qvl", ""},
        {"bad path",
         {"\\b\\short.qvl", data / "short.qvl"},
         TextureSource::Name,
         data / "b/short.qvl",
         "1122"},
        {"nothing", {"\\gone.qvl", data / "gone.qvl"}, TextureSource::MarbleDefaults, "", ""},
        {"only invalid", {"\\short.qvl", ""}, TextureSource::MarbleDefaults, "", "short.qvl"},
    };
    const auto bytesOf = [](const TextureParams& record) {
        const TextureDocumentBytes bytes = encodeTextureDocument(record);
        return Bytes(bytes.begin(), bytes.end());
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedTexture loaded = loadLibraryTexture(c.entry, {data.path()});
        EXPECT_EQ(loaded.source, c.source);
        EXPECT_EQ(loaded.file, c.file);
        TextureParams expected = c.file.empty() ? materialDefaults(1) : written[c.file];
        expected.colourMap.count = 24;
        EXPECT_EQ(bytesOf(loaded.record), bytesOf(expected));
        EXPECT_EQ(loaded.problems.empty(), !*c.problem) << loaded.problems;
        EXPECT_NE(loaded.problems.find(c.problem), std::string::npos) << loaded.problems;
    }
}

}  // namespace
}  // namespace quorvel
