#include "engine/textureparams.h"
#include "files/libraryfile.h"
#include "files/searchpath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace quorvel {
namespace {

TEST(DataSearchPath, LooksBesideTheProgramThenInTheTreesOfItsBuild) {
    const std::vector<std::string> folders = dataSearchPath();
    ASSERT_GE(folders.size(), 3u);
    EXPECT_EQ(folders[0], ".");
    EXPECT_EQ(folders[1], textureFolder());
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(folders[2], (program.parent_path().parent_path() / "share/quorvel").string());
    // A test program runs inside the build tree, so the sources' data is on its path too.
    EXPECT_TRUE(findInFolders("default.qlb", folders).has_value());
    EXPECT_TRUE(findInFolders("help/contents.html", folders).has_value());
}

// The library every new user sees first: each entry resolves by its name to a valid texture
// that the command block can show, and together they show off every material.
TEST(ShippedLibrary, EveryEntryResolvesAndEveryMaterialIsShown) {
    const std::vector<std::string> folders = dataSearchPath();
    const std::optional<std::string> path = findInFolders("default.qlb", folders);
    ASSERT_TRUE(path.has_value());
    std::vector<LibraryFileEntry> entries;
    ASSERT_TRUE(readLibraryFile(*path, entries).ok());
    EXPECT_GE(entries.size(), 12u);

    std::set<int> materials;
    std::set<int> reliefs;
    for (const LibraryFileEntry& entry : entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(entry.name, libraryNameOf(entry.name));
        const LoadedTexture loaded = loadLibraryTexture(entry, folders);
        EXPECT_EQ(loaded.source, TextureSource::Name) << loaded.problems;
        const TextureParams& record = loaded.record;
        EXPECT_GE(record.turbulence, 0.0f);
        EXPECT_LE(record.turbulence, 1.0f);
        EXPECT_GE(record.octaves, 1);
        EXPECT_LE(record.octaves, 256);
        EXPECT_GE(record.scale.x, 0.1f);
        EXPECT_GE(record.scale.y, 0.1f);
        EXPECT_LE(record.reliefIntensity, 10.0f);
        materials.insert(record.material);
        if (record.reliefIntensity > 0.0f)
            reliefs.insert(record.relief);
    }
    EXPECT_EQ(materials.size(), static_cast<size_t>(kMaterialCount));
    EXPECT_GE(reliefs.size(), 3u);
}

}  // namespace
}  // namespace quorvel
