#include "engine/defaults.h"
#include "files/imageexport.h"
#include "tests/files/testsupport.h"

#include <gtest/gtest.h>

#include <cmath>

#include <jpeglib.h>

namespace quorvel {
namespace {

using testing::readBytes;
using testing::ScratchFolder;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

// The decoders below are written from the layouts, apart from the encoders, and give RGB rows
// top row first as the engine renders them; an empty result means the file is malformed.
struct Image {
    int width = 0;
    int height = 0;
    Bytes rgb;
};

int u16At(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8;
}

Image decodeTarga(const Bytes& file) {
    if (file.size() < 18 || file[2] != 10 || file[16] != 24 || file[17] != 8) {
        return {};
    }
    Image image{u16At(file, 12), u16At(file, 14), {}};
    const size_t stride = 3 * static_cast<size_t>(image.width);
    image.rgb.resize(stride * image.height);
    size_t at = 18;
    for (int stored = 0; stored < image.height; ++stored) {
        uint8_t* row = image.rgb.data() + (image.height - 1 - stored) * stride;
        // Rows are encoded one by one in run packets only, so a packet never crosses a row.
        for (size_t x = 0; x < stride; at += 4) {
            const size_t count = at + 4 <= file.size() && file[at] >= 128 ? file[at] - 127u : 0;
            if (count == 0 || x + 3 * count > stride) {
                return {};
            }
            for (size_t i = 0; i < count; ++i, x += 3) {
                row[x] = file[at + 3], row[x + 1] = file[at + 2], row[x + 2] = file[at + 1];
            }
        }
    }
    return at == file.size() ? image : Image{};
}

Image decodeBitmap(const Bytes& file) {
    if (file.size() < 1074) {
        return {};
    }
    Image image{u16At(file, 2), u16At(file, 4), {}};
    const size_t rowBytes = u16At(file, 6);
    const size_t stride = 3 * static_cast<size_t>(image.width);
    if (rowBytes != stride + stride % 2 || file.size() != 1074 + rowBytes * image.height) {
        return {};
    }
    image.rgb.resize(stride * image.height);
    for (int stored = 0; stored < image.height; ++stored) {
        const uint8_t* in = file.data() + 1074 + stored * rowBytes;
        uint8_t* row = image.rgb.data() + (image.height - 1 - stored) * stride;
        for (size_t x = 0; x < stride; x += 3) {
            row[x] = in[x + 2], row[x + 1] = in[x + 1], row[x + 2] = in[x];
        }
        if (rowBytes > stride && in[stride] != 0) {
            return {};
        }
    }
    return image;
}

struct DecodedJpeg {
    Image image;
    bool jfif = false;
    int luminanceDc = 0;  // the first luminance quantizer: 8 at quality 75
};

DecodedJpeg decodeJpeg(const Bytes& file) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr errors{};
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    DecodedJpeg out;
    if (jpeg_read_header(&d, TRUE) == JPEG_HEADER_OK && d.num_components == 3) {
        out.jfif = d.saw_JFIF_marker;
        out.luminanceDc = d.quant_tbl_ptrs[0] ? d.quant_tbl_ptrs[0]->quantval[0] : 0;
        d.out_color_space = JCS_RGB;
        jpeg_start_decompress(&d);
        Image& image = out.image;
        image = {static_cast<int>(d.output_width), static_cast<int>(d.output_height), {}};
        image.rgb.resize(3 * static_cast<size_t>(image.width) * image.height);
        while (d.output_scanline < d.output_height) {
            JSAMPROW row = image.rgb.data() + 3 * size_t{d.output_scanline} * image.width;
            jpeg_read_scanlines(&d, &row, 1);
        }
        jpeg_finish_decompress(&d);
    }
    jpeg_destroy_decompress(&d);
    return out;
}

double psnr(const Bytes& a, const Bytes& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    }
    return 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}

// Granite under Bumps: fine detail plus shading, at an odd width so that bitmap rows pad.
TextureParams graniteBumps(int width = 37, int height = 23) {
    TextureParams r = materialDefaults(8);
    r.relief = 2;
    r.reliefIntensity = 1.5f;
    r.imageWidth = static_cast<int16_t>(width);
    r.imageHeight = static_cast<int16_t>(height);
    return r;
}

Bytes exportBytes(const std::string& path, ExportFormat format, int threads) {
    TextureParams record = graniteBumps();
    ExportOptions options;
    options.threads = threads;
    const ExportResult result = exportTexture(path, format, record, options);
    EXPECT_TRUE(result.ok()) << result.status.message;
    return readBytes(path);
}

TEST(ExportFormats, TargaBitmapAndPngHoldTheSamePixels) {
    ScratchFolder folder;
    const Bytes expected = testing::engineImage(graniteBumps(), 37, 23);
    const Image targa = decodeTarga(exportBytes(folder / "a.tga", ExportFormat::Targa, 2));
    const Image bitmap = decodeBitmap(exportBytes(folder / "a.bmp", ExportFormat::Bitmap, 2));
    exportBytes(folder / "a.png", ExportFormat::Png, 2);
    const testing::DecodedPng png = testing::decodePng(folder / "a.png");
    for (const Image& image : {targa, bitmap, Image{png.width, png.height, png.rgb}}) {
        EXPECT_EQ(image.width, 37);
        EXPECT_EQ(image.height, 23);
        EXPECT_EQ(image.rgb, expected);
    }
    EXPECT_EQ(folder.names(), (Names{"a.bmp", "a.png", "a.tga"}));
}

TEST(ExportFormats, JpegIsCloseToTheEnginePixelsAndRepeatable) {
    ScratchFolder folder;
    const Bytes first = exportBytes(folder / "1.jpg", ExportFormat::Jpeg, 1);
    EXPECT_EQ(exportBytes(folder / "2.jpg", ExportFormat::Jpeg, 2), first);
    EXPECT_EQ(exportBytes(folder / "3.jpg", ExportFormat::Jpeg, 2), first);
    const DecodedJpeg jpeg = decodeJpeg(first);
    EXPECT_TRUE(jpeg.jfif);
    EXPECT_EQ(jpeg.luminanceDc, 8);
    ASSERT_EQ(jpeg.image.width, 37);
    ASSERT_EQ(jpeg.image.height, 23);
    // Quality 75 measures 35.1 dB here; rows upside down or red and blue swapped give 11 to
    // 13 dB, so 32 dB leaves room for other libjpeg builds and still catches such mistakes.
    EXPECT_GE(psnr(jpeg.image.rgb, testing::engineImage(graniteBumps(), 37, 23)), 32.0);
}

const ExportFormat kWrittenFormats[] = {ExportFormat::Targa, ExportFormat::Bitmap,
                                        ExportFormat::Jpeg, ExportFormat::Tpr,
                                        ExportFormat::TextureDocument};

TEST(ExportFormats, FailedWritesNameTheFileAndKeepTheTarget) {
    for (const ExportFormat format : kWrittenFormats) {
        const std::string name = "out." + std::string(extensionOf(format));
        SCOPED_TRACE(name);
        ScratchFolder folder;
        TextureParams record = graniteBumps(200, 150);
        const std::string lost = folder / ("missing/" + name);
        const ExportResult missing = exportTexture(lost, format, record);
        EXPECT_FALSE(missing.ok());
        EXPECT_NE(missing.status.message.find("'" + lost + "'"), std::string::npos)
            << missing.status.message;
        EXPECT_EQ(folder.names(), Names{});

        const std::string target = folder / name;
        const Bytes old(700, 0xA5);
        testing::writeBytes(target, old);
        // 512 bytes is below the smallest of these files (a .tpr is 1031).
        const std::string message = testing::inFileSizeLimitedChild(512, [&] {
            const ExportResult result = exportTexture(target, format, record);
            return result.ok() ? std::string("write succeeded") : result.status.message;
        });
        EXPECT_NE(message.find("'" + target + "'"), std::string::npos) << message;
        EXPECT_NE(message.find("large"), std::string::npos) << message;
        EXPECT_EQ(readBytes(target), old);
        EXPECT_EQ(folder.names(), Names{name});
    }
}

TEST(ExportFormats, CancelledJpegAndTargaLeaveNoFile) {
    for (const ExportFormat format : {ExportFormat::Jpeg, ExportFormat::Targa}) {
        SCOPED_TRACE(extensionOf(format));
        ScratchFolder folder;
        std::atomic<bool> cancel{false};
        ExportOptions options;
        options.threads = 2;
        options.cancel = &cancel;
        options.progress = [&](int done, int) { cancel = cancel || done == 10; };
        TextureParams record = graniteBumps(64, 200);
        const ExportResult result = exportTexture(folder / "c.img", format, record, options);
        EXPECT_TRUE(result.cancelled);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(folder.names(), Names{});
    }
}

}  // namespace
}  // namespace quorvel
