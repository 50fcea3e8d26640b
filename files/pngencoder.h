#pragma once

#include "files/imageencoder.h"

#include <string>

struct png_struct_def;
struct png_info_def;

namespace quorvel {

// PNG through libpng: 8-bit RGB, not interlaced, top row first. libpng's errors never end the
// process: they are caught at each call and recorded in the file's status.
class PngEncoder final : public ImageEncoder {
public:
    PngEncoder(AtomicFile& file, int width, int height);
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

    png_struct_def* mPng = nullptr;
    png_info_def* mInfo = nullptr;
};

}  // namespace quorvel
