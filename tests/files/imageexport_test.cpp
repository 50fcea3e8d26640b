#include "files/imageexport.h"

#include "engine/defaults.h"
#include "files/bitmapencoder.h"
#include "files/targaencoder.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <tuple>

#include <jpeglib.h>

namespace quorvel {
namespace {

using namespace testing;

// The file a layout gives for the engine's pixels: PPM's header and the rows as they are; a
// Targa or bitmap header, then the rows bottom up in blue, green, red, each as Targa run
// packets or padded with zero bytes to the bitmap's row length.
Bytes layoutFile(ExportFormat format, const Bytes& rgb, int width, int height) {
    if (format == ExportFormat::Ppm) {
        const std::string header =
            "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        Bytes file(header.begin(), header.end());
        file.insert(file.end(), rgb.begin(), rgb.end());
        return file;
    }
    const bool targa = format == ExportFormat::Targa;
    const auto tga = targaHeader(width, height);
    const auto bmp = bitmapHeader(width, height);
    Bytes file = targa ? Bytes(tga.begin(), tga.end()) : Bytes(bmp.begin(), bmp.end());
    const size_t stride = 3 * static_cast<size_t>(width);
    for (int row = height - 1; row >= 0; --row) {
        Bytes bgr(rgb.begin() + row * stride, rgb.begin() + (row + 1) * stride);
        for (size_t x = 0; x < stride; x += 3) {
            std::swap(bgr[x], bgr[x + 2]);
        }
        if (targa) {
            encodeTargaRow(bgr, file);
        } else {
            file.insert(file.end(), bgr.begin(), bgr.end());
            file.resize(file.size() + bitmapRowBytes(width) - stride, 0);
        }
    }
    return file;
}

// Also checks the JFIF marker and the first luminance quantizer (8 at quality 75).
DecodedImage decodeJpeg(const Bytes& file) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr errors{};
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    DecodedImage image;
    if (jpeg_read_header(&d, TRUE) == JPEG_HEADER_OK && d.num_components == 3) {
        EXPECT_TRUE(d.saw_JFIF_marker);
        EXPECT_EQ(d.quant_tbl_ptrs[0] ? d.quant_tbl_ptrs[0]->quantval[0] : 0, 8);
        d.out_color_space = JCS_RGB;
        jpeg_start_decompress(&d);
        image.width = static_cast<int>(d.output_width);
        image.height = static_cast<int>(d.output_height);
        image.rgb.resize(3 * static_cast<size_t>(image.width) * image.height);
        while (d.output_scanline < d.output_height) {
            JSAMPROW row = image.rgb.data() + 3 * size_t{d.output_scanline} * image.width;
            jpeg_read_scanlines(&d, &row, 1);
        }
        image.ok = jpeg_finish_decompress(&d);
    }
    jpeg_destroy_decompress(&d);
    return image;
}

double psnr(const Bytes& a, const Bytes& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    }
    return 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}

// Granite under Bumps: fine detail plus shading.
TextureParams graniteBumps(int width, int height) {
    TextureParams r = materialDefaults(8);
    r.relief = 2, r.reliefIntensity = 1.5f;
    r.imageWidth = static_cast<int16_t>(width), r.imageHeight = static_cast<int16_t>(height);
    return r;
}

TEST(ExportImage, EveryFormatHoldsTheEnginePixelsWhateverTheThreads) {
    // Different roads through the engine: a plain material, Brick (whose render writes to its
    // record) and a material under a relief with shading; an odd width, so that bitmap rows
    // pad, and rows over several bands. JPEG at quality 75 measures 25.5, 31.6 and 36.2 dB on
    // them; rows upside down or red and blue swapped give 11 to 15 dB, so bounds 3 dB below
    // leave room for other libjpeg builds and still catch such mistakes.
    constexpr int W = 37, H = 41;
    const std::tuple<const char*, TextureParams, double> textures[] = {
        {"Marble", materialDefaults(1), 22.5},
        {"Brick", materialDefaults(3), 28.5},
        {"GraniteBumps", graniteBumps(W, H), 33.0}};
    for (const auto& [name, record, minimumPsnr] : textures) {
        const Bytes expected = engineImage(record, Sampling::image(W, H));
        ScratchFolder folder;
        for (const ExportFormat format :
             {ExportFormat::Targa, ExportFormat::Bitmap, ExportFormat::Jpeg, ExportFormat::Png,
              ExportFormat::Ppm}) {
            const std::string ext(extensionOf(format));
            SCOPED_TRACE(std::string(name) + " " + ext);
            Bytes files[2];
            for (const int threads : {1, 2}) {
                const std::string path = folder / (std::to_string(threads) + "." + ext);
                TextureParams copy = record;
                const ExportOptions options{threads, nullptr, {}};
                const ExportResult result =
                    exportImage(path, format, copy, Sampling::image(W, H), options);
                ASSERT_TRUE(result.ok()) << result.status.message;
                files[threads - 1] = readBytes(path);
            }
            EXPECT_EQ(files[0], files[1]);
            if (format == ExportFormat::Jpeg || format == ExportFormat::Png) {
                const bool jpeg = format == ExportFormat::Jpeg;
                const DecodedImage image =
                    jpeg ? decodeJpeg(files[0]) : decodePng(folder / "1.png");
                ASSERT_TRUE(image.ok && std::pair(image.width, image.height) == std::pair(W, H));
                EXPECT_TRUE(jpeg || image.rgb8);
                EXPECT_TRUE(jpeg ? psnr(image.rgb, expected) >= minimumPsnr : image.rgb == expected)
                    << psnr(image.rgb, expected) << " dB";
            } else {
                EXPECT_EQ(files[0], layoutFile(format, expected, W, H));
            }
        }
        EXPECT_EQ(folder.names().size(), 10u);  // no temporary file left
    }
}

TEST(ExportImage, RefusesSizesTheRecordCannotHold) {
    for (const auto& [w, h] : {std::pair{0, 10}, {10, 0}, {-1, 5}, {32768, 1}, {1, 32768}}) {
        ScratchFolder folder;
        TextureParams record = materialDefaults(1);
        const ExportResult r =
            exportImage(folder / "bad.ppm", ExportFormat::Ppm, record, Sampling::image(w, h));
        EXPECT_TRUE(!isValidImageSize(w, h) && !r.ok() && !r.cancelled) << w << " x " << h;
        EXPECT_NE(r.status.message.find("bad.ppm"), std::string::npos);
        EXPECT_EQ(folder.names(), Names{});
    }
    EXPECT_TRUE(isValidImageSize(1, 1) && isValidImageSize(32767, 32767));
}

TEST(ExportTexture, FailuresNameTheFileAndLeaveTheTargetAsItWas) {
    int i = 0;
    for (const ExportFormat format :
         {ExportFormat::Targa, ExportFormat::Bitmap, ExportFormat::Jpeg, ExportFormat::Png,
          ExportFormat::Ppm, ExportFormat::Tpr, ExportFormat::TextureDocument}) {
        const std::string name = "out." + std::string(extensionOf(format));
        SCOPED_TRACE(name);
        ScratchFolder folder;
        const std::string target = folder / name, lost = folder / ("missing/" + name);
        TextureParams record = graniteBumps(64, 200);
        const ExportResult missing = exportTexture(lost, format, record);
        EXPECT_NE(missing.status.message.find("'" + lost + "'"), std::string::npos)
            << missing.status.message;
        EXPECT_EQ(folder.names(), Names{});

        // A full disk: 512 bytes is below the smallest of these files (a .tpr is 1031).
        const Bytes old(700, 0xA5);
        writeBytes(target, old);
        const std::string message = inFileSizeLimitedChild(512, [&] {
            const ExportResult result = exportTexture(target, format, record);
            return result.ok() ? std::string("write succeeded") : result.status.message;
        });
        EXPECT_NE(message.find("'" + target + "'"), std::string::npos) << message;
        EXPECT_NE(message.find("large"), std::string::npos) << "expected EFBIG's text: " << message;
        EXPECT_EQ(readBytes(target), old);
        EXPECT_EQ(folder.names(), Names{name});

        // Images cancelled after 10 of 200 rows, over the old file or with none.
        const bool existing = !isImageFormat(format) || i++ % 2 == 0;
        if (!existing) {
            std::filesystem::remove(target);
        }
        if (isImageFormat(format)) {
            std::atomic<bool> cancel{false};
            int lastDone = 0;
            const ExportOptions options{1 + i % 2, &cancel, [&](int done, int) {
                                            lastDone = done;
                                            cancel = cancel || done == 10;
                                        }};
            const ExportResult result = exportTexture(target, format, record, options);
            EXPECT_TRUE(result.cancelled && !result.ok());
            EXPECT_NE(result.status.message.find(target), std::string::npos);
            EXPECT_LT(lastDone, 200);
        }
        EXPECT_EQ(readBytes(target), existing ? old : Bytes());  // and never a partial file
        EXPECT_EQ(folder.names(), existing ? Names{name} : Names{});
    }
}

TEST(ExportFormatForPath, ChoosesByExtensionIgnoringCase) {
    const std::pair<const char*, ExportFormat> accepted[] = {
        {"out.png", ExportFormat::Png},           {"OUT.PNG", ExportFormat::Png},
        {"a/b.Ppm", ExportFormat::Ppm},           {"x.tar.pPm", ExportFormat::Ppm},
        {"odd.dir/pic.png", ExportFormat::Png},   {"out.JPG", ExportFormat::Jpeg},
        {"a.Tga", ExportFormat::Targa},           {"b.bmp", ExportFormat::Bitmap},
        {"c.QVL", ExportFormat::TextureDocument}, {"d.tpr", ExportFormat::Tpr}};
    for (const auto& [path, format] : accepted) {
        EXPECT_EQ(exportFormatForPath(path), format) << path;
    }
    for (const char* path : {"out.jpeg", "notes.txt", "noextension", "some.dir/noextension",
                             "pic.png.txt", "trailing.", ""}) {
        EXPECT_EQ(exportFormatForPath(path), std::nullopt) << path;
    }
    EXPECT_EQ(supportedExtensions(), ".qvl, .tpr, .tga, .bmp, .jpg, .png, .ppm");
}

}  // namespace
}  // namespace quorvel
