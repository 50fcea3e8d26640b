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

// libpng's own reading: the rows as stored (16-bit samples big-endian), the header's bit depth
// and colour type, and the Comment text.
struct ReadPng {
    Bytes rows;
    int depth = 0, colourType = -1;
    std::string comment;
};

ReadPng readPng(const std::string& path) {
    ReadPng out;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (file && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_read_info(png, info);
        out.depth = png_get_bit_depth(png, info);
        out.colourType = png_get_color_type(png, info);
        const size_t stride = png_get_rowbytes(png, info);
        out.rows.resize(stride * png_get_image_height(png, info));
        for (size_t y = 0; y < png_get_image_height(png, info); ++y)
            png_read_row(png, out.rows.data() + y * stride, nullptr);
        png_read_end(png, info);
        png_textp texts = nullptr;
        for (int k = 0, n = png_get_text(png, info, &texts, nullptr); k < n; ++k)
            out.comment += std::strcmp(texts[k].key, "Comment") == 0 ? texts[k].text : "";
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (file)
        std::fclose(file);
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
    const std::tuple<MapKind, ExportFormat, MapPixels, int, int> rows[] = {
        {MapKind::Normal, ExportFormat::Png, MapPixels::Rgb8, 8, PNG_COLOR_TYPE_RGB},
        {MapKind::Height, ExportFormat::Png, MapPixels::Grey16, 16, PNG_COLOR_TYPE_GRAY},
        {MapKind::Height, ExportFormat::Ppm, MapPixels::Rgb8, 0, 0},
        {MapKind::Normal, ExportFormat::Ppm, MapPixels::Rgb8, 0, 0}};
    ScratchFolder folder;
    for (const auto& [kind, format, pixels, depth, colourType] : rows) {
        const std::string path = folder / ("m." + std::string(extensionOf(format)));
        SCOPED_TRACE(path + " " + std::string(mapName(kind)));
        TextureParams record = waves();
        std::optional<HeightRange> range;
        ASSERT_TRUE(exportMap(path, format, kind, record, Sampling::image(W, H), directX, {1, nullptr, {}},
                              range)
                        .ok());
        const Bytes want = engineMap(waves(), {kind, directX, pixels, low, high});
        EXPECT_EQ(range.has_value(), kind == MapKind::Height);
        if (format == ExportFormat::Png) {
            const ReadPng png = readPng(path);
            EXPECT_TRUE(png.rows == want && png.depth == depth && png.colourType == colourType);
            char said[128];
            std::snprintf(said, sizeof said, "0 stands for the height %.9g, 65535 for %.9g", low,
                          high);
            EXPECT_EQ(png.comment.find(said), kind == MapKind::Height ? 37u : npos) << png.comment;
        } else {
            const Bytes file = readBytes(path);
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
            EXPECT_TRUE(readBytes(folder / "b.png") == old && readBytes(folder / "b_normal.png") == old);
            continue;
        }
        EXPECT_EQ(folder.names(), (Names{"b.png", "b_height.png", "b_normal.png"}));
        EXPECT_EQ(total, 4 * H);  // three maps and the height map's range
        EXPECT_EQ(last, total);
        for (const MapKind kind : kAll) {
            const std::string path = folder / ("c_" + std::string(mapName(kind)) + ".png");
            TextureParams one = waves();
            ASSERT_TRUE(exportMap(path, ExportFormat::Png, kind, one, Sampling::image(W, H), {}).ok());
            EXPECT_EQ(readBytes(mapPath(folder / "b", kind, ExportFormat::Png)), readBytes(path));
        }
    }
    // Maps are images; sizes and regions are checked before any file is made.
    ScratchFolder folder;
    TextureParams record = waves();
    const PixelRegion outside{0, 0, W + 1, H};
    const std::pair<ExportResult, const char*> refused[] = {
        {exportMaps(folder / "q", ExportFormat::Tpr, kAll, record, Sampling::image(W, H), {}),
         "q.tpr': maps are images, and .tpr is not an image format."},
        {exportMap(folder / "z.png", ExportFormat::Png, MapKind::Normal, record,
                   Sampling::image(0, H), {}),
         "z.png': the image size 0 x 30"},
        {exportMap(folder / "r.png", ExportFormat::Png, MapKind::Height, record,
                   Sampling::image(W, H), {}, {1, nullptr, {}, &outside}),
         "r.png': the region lies outside"}};
    for (const auto& [result, message] : refused)
        EXPECT_NE(result.status.message.find(message), npos) << result.status.message;
    EXPECT_TRUE(folder.names().empty());
    EXPECT_EQ(mapPath("a/b", MapKind::Colour, ExportFormat::Jpeg) +
                  mapPath("c", MapKind::Normal, ExportFormat::Targa) +
                  mapPath("d.e", MapKind::Height, ExportFormat::Bitmap),
              "a/b.jpgc_normal.tgad.e_height.bmp");
}

}  // namespace
}  // namespace quorvel
