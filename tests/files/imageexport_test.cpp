#include "files/imageexport.h"

#include "engine/defaults.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>

namespace quorvel {
namespace {

using testing::readBytes;
using testing::ScratchFolder;
using Names = std::vector<std::string>;

// Different roads through the engine: a plain material, Brick (whose render writes to its
// record) and a material under a relief with shading.
struct Texture {
    const char* name;
    TextureParams record;
};

std::vector<Texture> textures() {
    TextureParams relief = materialDefaults(2);
    relief.reliefIntensity = 1.5f;
    relief.relief = 2;
    return {{"Marble", materialDefaults(1)}, {"Brick", materialDefaults(3)}, {"WoodBumps", relief}};
}

ExportResult exportTo(const std::string& path, ExportFormat format, TextureParams record, int w,
                      int h, int threads) {
    ExportOptions options;
    options.threads = threads;
    return exportImage(path, format, record, Sampling::image(w, h), options);
}

TEST(ExportImage, PpmHoldsTheEnginePixels) {
    for (const Texture& t : textures()) {
        SCOPED_TRACE(t.name);
        ScratchFolder folder;
        const ExportResult result =
            exportTo(folder / "a.ppm", ExportFormat::Ppm, t.record, 37, 23, 2);
        ASSERT_TRUE(result.ok()) << result.status.message;
        const std::vector<uint8_t> file = readBytes(folder / "a.ppm");
        const std::string header = "P6\n37 23\n255\n";
        ASSERT_EQ(file.size(), header.size() + 37 * 23 * 3);
        EXPECT_EQ(std::string(file.begin(), file.begin() + header.size()), header);
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + header.size(), file.end()),
                  testing::engineImage(t.record, 37, 23));
    }
}

TEST(ExportImage, PngDecodesToTheEnginePixels) {
    for (const Texture& t : textures()) {
        SCOPED_TRACE(t.name);
        ScratchFolder folder;
        const ExportResult result =
            exportTo(folder / "a.png", ExportFormat::Png, t.record, 37, 23, 2);
        ASSERT_TRUE(result.ok()) << result.status.message;
        const testing::DecodedPng png = testing::decodePng(folder / "a.png");
        ASSERT_TRUE(png.ok);
        EXPECT_TRUE(png.rgb8);
        EXPECT_EQ(png.width, 37);
        EXPECT_EQ(png.height, 23);
        EXPECT_EQ(png.rgb, testing::engineImage(t.record, 37, 23));
        EXPECT_EQ(folder.names(), Names{"a.png"});
    }
}

TEST(ExportImage, ThreadCountDoesNotChangeTheFile) {
    for (const ExportFormat format : {ExportFormat::Png, ExportFormat::Ppm}) {
        ScratchFolder folder;
        const TextureParams record = materialDefaults(8);
        ASSERT_TRUE(exportTo(folder / "one", format, record, 90, 70, 1).ok());
        ASSERT_TRUE(exportTo(folder / "two", format, record, 90, 70, 2).ok());
        const std::vector<uint8_t> one = readBytes(folder / "one");
        EXPECT_FALSE(one.empty());
        EXPECT_EQ(one, readBytes(folder / "two"));
    }
}

TEST(ExportImage, CancellingLeavesNoFileAndKeepsAnExistingOne) {
    for (const int threads : {1, 2}) {
        const bool existing = threads == 2;
        SCOPED_TRACE(threads);
        ScratchFolder folder;
        const std::string target = folder / "c.png";
        if (existing) {
            testing::writeText(target, "old picture");
        }
        std::atomic<bool> cancel{false};
        int lastDone = 0;
        ExportOptions options;
        options.threads = threads;
        options.cancel = &cancel;
        options.progress = [&](int done, int) {
            lastDone = done;
            cancel = cancel || done == 10;
        };
        TextureParams record = materialDefaults(1);
        const ExportResult result =
            exportImage(target, ExportFormat::Png, record, Sampling::image(64, 200), options);
        EXPECT_TRUE(result.cancelled);
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.status.message.find(target), std::string::npos);
        EXPECT_LT(lastDone, 200);
        EXPECT_EQ(folder.names(), existing ? Names{"c.png"} : Names{});
        if (existing) {
            EXPECT_EQ(testing::readText(target), "old picture");
        }
    }
}

TEST(ExportImage, AFullDiskLeavesNoFileAndKeepsAnExistingOne) {
    for (const ExportFormat format : {ExportFormat::Png, ExportFormat::Ppm}) {
        ScratchFolder folder;
        const std::string target = folder / "full.img";
        testing::writeText(target, "old");
        // Big enough to pass the 4096-byte limit whatever PNG's compression achieves.
        const std::string message = testing::inFileSizeLimitedChild(4096, [&] {
            const ExportResult result = exportTo(target, format, materialDefaults(8), 400, 400, 2);
            return result.ok() ? std::string("export succeeded") : result.status.message;
        });
        EXPECT_NE(message.find("'" + target + "'"), std::string::npos) << message;
        EXPECT_EQ(testing::readText(target), "old");
        EXPECT_EQ(folder.names(), Names{"full.img"});
    }
}

TEST(ExportImage, RefusesSizesTheRecordCannotHold) {
    struct Size {
        int width;
        int height;
    };
    for (const Size s : {Size{0, 10}, Size{10, 0}, Size{-1, 5}, Size{32768, 1}, Size{1, 32768}}) {
        SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height));
        EXPECT_FALSE(isValidImageSize(s.width, s.height));
        ScratchFolder folder;
        const ExportResult result = exportTo(folder / "bad.ppm", ExportFormat::Ppm,
                                             materialDefaults(1), s.width, s.height, 1);
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.cancelled);
        EXPECT_NE(result.status.message.find("bad.ppm"), std::string::npos);
        EXPECT_TRUE(folder.names().empty());
    }
    EXPECT_TRUE(isValidImageSize(1, 1));
    EXPECT_TRUE(isValidImageSize(32767, 32767));
}

TEST(ExportFormatForPath, ChoosesByExtensionIgnoringCase) {
    struct Row {
        const char* path;
        std::optional<ExportFormat> format;
    };
    const Row rows[] = {
        {"out.png", ExportFormat::Png},
        {"OUT.PNG", ExportFormat::Png},
        {"a/b.Ppm", ExportFormat::Ppm},
        {"x.tar.pPm", ExportFormat::Ppm},
        {"odd.dir/pic.png", ExportFormat::Png},
        {"out.JPG", ExportFormat::Jpeg},
        {"a.Tga", ExportFormat::Targa},
        {"b.bmp", ExportFormat::Bitmap},
        {"c.QVL", ExportFormat::TextureDocument},
        {"d.tpr", ExportFormat::Tpr},
        {"out.jpeg", std::nullopt},
        {"notes.txt", std::nullopt},
        {"noextension", std::nullopt},
        {"some.dir/noextension", std::nullopt},
        {"pic.png.txt", std::nullopt},
        {"trailing.", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(exportFormatForPath(row.path), row.format) << row.path;
    }
    EXPECT_EQ(supportedExtensions(), ".qvl, .tpr, .tga, .bmp, .jpg, .png, .ppm");
}

}  // namespace
}  // namespace quorvel
