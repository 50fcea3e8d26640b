#pragma once

#include "files/imageencoder.h"

#include <string>

struct png_struct_def;
struct png_info_def;

namespace quorvel {

// What a PNG holds: 8-bit RGB (colours and normal maps) or 16-bit grey (height maps), whose
// rows come as big-endian pairs of bytes, PNG's own order.
enum class PngPixels { Rgb8, Grey16 };

// PNG through libpng: not interlaced, top row first, optionally with a "Comment" text. libpng's
// errors never end the process: they are caught at each call and recorded in the file's status.
class PngEncoder final : public ImageEncoder {
public:
    PngEncoder(AtomicFile& file, int width, int height, PngPixels pixels = PngPixels::Rgb8,
               std::string comment = {});
    ~PngEncoder() override;
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    RowOrder order() const noexcept override { return RowOrder::TopDown; }
    bool begin() override;
    bool acceptRow(int row, std::span<const uint8_t> rgb) override;
    bool finish() override;

    // Called from libpng's callbacks.
    void recordError(const char* message);
    bool writeBytes(const uint8_t* data, size_t size);

private:
    bool failed();

    PngPixels mPixels;
    std::string mComment;
    png_struct_def* mPng = nullptr;
    png_info_def* mInfo = nullptr;
};

}  // namespace quorvel
