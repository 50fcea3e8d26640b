#include "engine/defaults.h"
#include "engine/noise.h"
#include "files/mapexport.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include <png.h>

namespace quorvel {
namespace {

using namespace testing;

constexpr int W = 40, H = 30;
constexpr MapKind kAll[] = {MapKind::Colour, MapKind::Normal, MapKind::Height};

TextureParams waves() {
    TextureParams record = materialDefaults(2);
    record.relief = 0, record.reliefIntensity = 0.9f, record.reliefFrequency = 2.0f;
    return record;
}

// The engine's own map rows, top-down, as a reference independent of the file layer.
Bytes engineMap(TextureParams record, const MapRender& map) {
    struct Rows : RowSink {
        bool acceptRow(int, std::span<const uint8_t> b) override {
            bytes.insert(bytes.end(), b.begin(), b.end());
            return true;
        }
        Bytes bytes;
    } rows;
    RenderOptions options;
    options.map = &map;
    EXPECT_EQ(renderImage(record, Sampling::image(W, H), rows, options), RenderStatus::Completed);
    return rows.bytes;
}

// libpng's own reading: 8-bit RGB or 16-bit grey samples (as big-endian bytes), or none.
Bytes decodePng(const std::string& path, bool grey16) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint16_t> values;
    Bytes out;
    if (png_image_begin_read_from_file(&image, path.c_str()) &&
        image.format == (grey16 ? PNG_FORMAT_LINEAR_Y : PNG_FORMAT_RGB)) {
        values.resize(PNG_IMAGE_SIZE(image) / 2);
        out.resize(PNG_IMAGE_SIZE(image));
        png_image_finish_read(&image, nullptr, grey16 ? (void*)values.data() : out.data(), 0,
                              nullptr);
    }
    png_image_free(&image);
    for (size_t k = 0; grey16 && k < values.size(); ++k)
        out[2 * k] = uint8_t(values[k] >> 8), out[2 * k + 1] = uint8_t(values[k]);
    return out;
}

// Each map in each layout holds the engine's rows: RGB for normals, 16-bit grey in PNG and grey
// RGB elsewhere for heights, over the image's own range, which the PNG states.
TEST(ExportMaps, FilesHoldTheEngineMapsInTheirLayouts) {
    initNoise();
    const Bytes raw = engineMap(waves(), {MapKind::Height, {}, MapPixels::Heights});
    std::vector<float> heights(raw.size() / 4);
    std::memcpy(heights.data(), raw.data(), raw.size());
    const double low = *std::min_element(heights.begin(), heights.end());
    const double high = *std::max_element(heights.begin(), heights.end());
    const MapSettings directX{true, false, 1.0f};
    // Map, format, reference layout, bit depth and colour type in a PNG.
    const std::tuple<MapKind, ExportFormat, MapPixels> rows[] = {
        // and the reference's layout
        {MapKind::Normal, ExportFormat::Png, MapPixels::Rgb8},
        {MapKind::Height, ExportFormat::Png, MapPixels::Grey16},
        {MapKind::Height, ExportFormat::Ppm, MapPixels::Rgb8},
        {MapKind::Normal, ExportFormat::Ppm, MapPixels::Rgb8}};
    ScratchFolder folder;
    for (const auto& [kind, format, pixels] : rows) {
        const std::string path = folder / ("m." + std::string(extensionOf(format)));
        SCOPED_TRACE(path + " " + std::string(mapName(kind)));
        TextureParams record = waves();
        std::optional<HeightRange> range;
        ASSERT_TRUE(exportMap(path, format, kind, record, Sampling::image(W, H), directX,
                              {1, nullptr, {}}, range)
                        .ok());
        const Bytes want = engineMap(waves(), {kind, directX, pixels, low, high});
        const std::string file = readBytes<std::string>(path);
        EXPECT_EQ(range.has_value(), kind == MapKind::Height);
        if (format == ExportFormat::Png) {
            EXPECT_EQ(decodePng(path, pixels == MapPixels::Grey16), want);
            char said[160];  // the chunk's keyword ends in a zero byte
            const int n = std::snprintf(said, sizeof said,
                                        "tEXtComment_Height map normalised to this image: 0 "
                                        "stands for the height %.9g, 65535 for %.9g.",
                                        low, high);
            said[11] = '\0';
            EXPECT_EQ(file.find(std::string(said, size_t(n))) != npos, kind == MapKind::Height);
        } else {
            EXPECT_EQ(Bytes(file.end() - W * H * 3, file.end()), want);
        }
        EXPECT_TRUE(!range || (range->low == low && range->high == high));
    }
}

// All or none: a target that cannot be written, a cancel or a full set of maps; existing files
// change only when every map is complete, and no temporary file stays.
TEST(ExportMaps, WriteAllOrNone) {
    initNoise();
    const Bytes old = {'o', 'l', 'd'};
    enum Way { Fine, HeightIsFolder, MissingFolder, Cancel, Twice };
    const std::tuple<const char*, Way, const char*> rows[] = {
        {"fine", Fine, ""},
        {"folder", HeightIsFolder, "b_height.png': it is a folder"},
        {"missing", MissingFolder, "none/b.png': no such file"},
        {"cancelled", Cancel, "was cancelled. No map was written."},
        {"twice", Twice, "the colour map is asked for twice"}};
    for (const auto& [name, way, message] : rows) {
        SCOPED_TRACE(name);
        ScratchFolder folder;
        writeBytes(folder / "b.png", old);
        writeBytes(folder / "b_normal.png", old);
        if (way == HeightIsFolder)
            std::filesystem::create_directory(folder / "b_height.png");
        const Names before = folder.names();
        std::atomic<bool> cancel{false};
        int last = 0, total = 0;
        ExportOptions options{2, &cancel, [&](int done, int all) {
                                  EXPECT_TRUE(done == last + 1 && (total == 0 || all == total));
                                  last = done, total = all;
                                  cancel = way == Cancel && done == 70;
                              }};
        const MapKind twice[] = {MapKind::Colour, MapKind::Height, MapKind::Colour};
        TextureParams record = waves();
        const std::string base = way == MissingFolder ? folder / "none/b" : folder / "b";
        const ExportResult result =
            exportMaps(base, ExportFormat::Png, way == Twice ? std::span(twice) : std::span(kAll),
                       record, Sampling::image(W, H), {}, options);
        EXPECT_EQ(result.ok(), way == Fine) << result.status.message;
        EXPECT_EQ(result.cancelled, way == Cancel);
        EXPECT_NE(result.status.message.find(message), npos) << result.status.message;
        if (way != Fine) {
            EXPECT_EQ(folder.names(), before);
            EXPECT_TRUE(readBytes(folder / "b.png") == old &&
                        readBytes(folder / "b_normal.png") == old);
            continue;
        }
        EXPECT_EQ(folder.names(), (Names{"b.png", "b_height.png", "b_normal.png"}));
        EXPECT_EQ(total, 4 * H);  // three maps and the height map's range
        EXPECT_EQ(last, total);
        for (const MapKind kind : kAll) {
            const std::string path = folder / ("c_" + std::string(mapName(kind)) + ".png");
            TextureParams one = waves();
            ASSERT_TRUE(
                exportMap(path, ExportFormat::Png, kind, one, Sampling::image(W, H), {}).ok());
            EXPECT_EQ(readBytes(mapPath(folder / "b", kind, ExportFormat::Png)), readBytes(path));
        }
    }
    // Maps are images, and regions are checked before any file is made.
    ScratchFolder folder;
    TextureParams record = waves();
    const PixelRegion outside{0, 0, W + 1, H};
    const std::pair<ExportResult, const char*> refused[] = {
        {exportMaps(folder / "q", ExportFormat::Tpr, kAll, record, Sampling::image(W, H), {}),
         "q.tpr': maps are images, and .tpr is not an image format."},
        {exportMap(folder / "r.png", ExportFormat::Png, MapKind::Height, record,
                   Sampling::image(W, H), {}, {1, nullptr, {}, &outside}),
         "r.png': the region lies outside"}};
    for (const auto& [result, message] : refused)
        EXPECT_NE(result.status.message.find(message), npos) << result.status.message;
    EXPECT_TRUE(folder.names().empty());
}

}  // namespace
}  // namespace quorvel
