#include "files/libraryfile.h"

#include "engine/defaults.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>

namespace quorvel {
namespace {

using namespace testing;
using Entries = std::vector<LibraryFileEntry>;

const Entries kSample = {
    {"\\marble.qvl", "/home/u/qvl/marble.qvl"},
    {"", ""},
    {std::string(79, 'n'), "C:\\qvl\\" + std::string(72, 'p')},
};

TEST(LibraryFile, ThreeEntriesTake482BytesAndReadBackAsWritten) {
    Bytes expected(482, 0);
    expected[0] = 3;
    for (size_t k = 0; k < kSample.size(); ++k) {
        std::memcpy(&expected[2 + 160 * k], kSample[k].name.data(), kSample[k].name.size());
        std::memcpy(&expected[82 + 160 * k], kSample[k].path.data(), kSample[k].path.size());
    }
    Bytes bytes = {1, 2, 3};
    ASSERT_TRUE(encodeLibraryFile(kSample, bytes, "three.qlb").ok());
    EXPECT_EQ(bytes, expected);
    ScratchFolder folder;
    ASSERT_TRUE(writeLibraryFile(folder / "a.qlb", kSample).ok());
    EXPECT_EQ(readBytes(folder / "a.qlb"), expected);
    Entries read;
    ASSERT_TRUE(readLibraryFile(folder / "a.qlb", read).ok());
    EXPECT_EQ(read, kSample);
    ASSERT_TRUE(writeLibraryFile(folder / "empty.qlb", {}).ok());
    EXPECT_EQ(readBytes(folder / "empty.qlb"), (Bytes{0, 0}));

    // Texts the fields cannot hold: 80 characters, or a zero byte inside.
    for (const Entries& refused :
         {Entries{{std::string(80, 'n'), "/a.qvl"}}, Entries{{"\\a.qvl", std::string(80, 'p')}},
          Entries{{"\\a.qvl", "/a"}, {std::string("\\a\0b", 4), "/b"}}}) {
        const FileStatus status = writeLibraryFile(folder / "long.qlb", refused);
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message.find(folder / "long.qlb"), std::string::npos) << status.message;
    }
    EXPECT_EQ(folder.names(), (Names{"a.qlb", "empty.qlb"}));

    // An entry's name is a backslash and the last part of the texture's path.
    EXPECT_EQ(libraryNameOf("/home/u/qvl/marble.qvl"), "\\marble.qvl");
    EXPECT_EQ(libraryNameOf("C:\\qvl\\wood.qvl"), "\\wood.qvl");
    EXPECT_EQ(libraryNameOf("plain.qvl"), "\\plain.qvl");
}

TEST(LibraryFile, ReaderRefusesMalformedFiles) {
    Bytes good;
    ASSERT_TRUE(encodeLibraryFile({{"\\a.qvl", "/a.qvl"}}, good, "").ok());
    Bytes unterminated = good, unterminatedPath = good, longer = good;
    std::fill(unterminated.begin() + 2, unterminated.begin() + 82, 'x');
    std::fill(unterminatedPath.begin() + 82, unterminatedPath.end(), 'y');
    longer.push_back(0);
    const std::pair<Bytes, const char*> cases[] = {
        {{}, "shorter than 2 bytes"}, {{1}, "shorter than 2 bytes"},
        {{0xFF, 0xFF}, "negative"},   {Bytes(good.begin(), good.end() - 1), "should be 162 bytes"},
        {longer, "but it is 163"},    {{2, 0}, "should be 322"},
        {unterminated, "entry 1"},    {unterminatedPath, "entry 1"},
    };
    ScratchFolder folder;
    for (const auto& [bytes, mentions] : cases) {
        SCOPED_TRACE(mentions);
        writeBytes(folder / "bad.qlb", bytes);
        Entries entries = kSample;
        const FileStatus status = readLibraryFile(folder / "bad.qlb", entries);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message.find("'" + folder / "bad.qlb" + "'"), std::string::npos)
            << status.message;
        EXPECT_NE(status.message.find(mentions), std::string::npos) << status.message;
        EXPECT_EQ(entries, kSample);
    }
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

TEST(LoadLibraryTexture, TriesThePathThenTheNameThenMarble) {
    ScratchFolder home, data;
    const ScopedHome scopedHome(home.path);
    // Each file holds its own material and width, so the file read can be told from the record.
    std::map<std::string, TextureParams> written;
    const auto write = [&](const std::string& path, int material, int16_t width) {
        TextureParams record = materialDefaults(material);
        record.imageWidth = width;
        record.colourMap.count = 17;  // taken as 24 whatever the file says
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        writeBytes(path, documentBytes(record));
        written[path] = record;
    };
    write(data / "own.qvl", 2, 71);
    write(data / "sub/x.qvl", 3, 72);
    write(data / "both.qvl", 4, 73);
    write(home / "qvl/both.qvl", 5, 74);  // the texture folder comes before the search path
    write(data / "b/short.qvl", 6, 75);
    writeBytes(data / "short.qvl", Bytes(1121, 0));
    struct Case {
        LibraryFileEntry entry;
        TextureSource source;
        std::string file;     // the file read, "" for the Marble defaults
        const char* problem;  // text of `problems`, "" for none
    };
    const Case cases[] = {
        {{"\\gone.qvl", data / "own.qvl"}, TextureSource::Path, data / "own.qvl", ""},
        {{"\\sub\\x.qvl", data / "x.qvl"}, TextureSource::Name, data / "sub/x.qvl", ""},
        {{"\\both.qvl", ""}, TextureSource::Name, home / "qvl/both.qvl", ""},
        {{"\\b\\short.qvl", data / "short.qvl"}, TextureSource::Name, data / "b/short.qvl", "1122"},
        {{"\\gone.qvl", data / "gone.qvl"}, TextureSource::MarbleDefaults, "", ""},
        {{"\\short.qvl", ""}, TextureSource::MarbleDefaults, "", "short.qvl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry.name + " " + c.entry.path);
        const LoadedTexture loaded = loadLibraryTexture(c.entry, {data.path});
        EXPECT_EQ(loaded.source, c.source);
        EXPECT_EQ(loaded.file, c.file);
        TextureParams expected = c.file.empty() ? materialDefaults(1) : written[c.file];
        expected.colourMap.count = 24;
        EXPECT_EQ(documentBytes(loaded.record), documentBytes(expected));
        EXPECT_EQ(loaded.problems.empty(), !*c.problem) << loaded.problems;
        EXPECT_NE(loaded.problems.find(c.problem), std::string::npos) << loaded.problems;
    }
}

}  // namespace
}  // namespace quorvel
