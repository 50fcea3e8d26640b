#pragma once

#include "files/imageencoder.h"

#include <memory>

namespace quorvel {

// JPEG through libjpeg: 8-bit RGB, the library's default settings with quality 75 (baseline
// restriction off), rows fed top row first as they are rendered. The compressed bytes go
// straight to the file, so memory stays bounded whatever the size. libjpeg's errors never end
// the process: they are caught and recorded in the file's status.
class JpegEncoder final : public ImageEncoder {
public:
    static constexpr int kQuality = 75;

    JpegEncoder(AtomicFile& file, int width, int height);
    ~JpegEncoder() override;
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    RowOrder order() const noexcept override { return RowOrder::TopDown; }
    bool begin() override;
    bool acceptRow(int row, std::span<const uint8_t> rgb) override;
    bool finish() override;

    struct State;

private:
    std::unique_ptr<State> mState;
};

}  // namespace quorvel
