#pragma once

#include "files/imageencoder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quorvel {

// The program's own headerless 24-bit bitmap layout: a 10-byte descriptor, a 40-byte
// information header and 1024 zero bytes, then the rows, bottom row first, each 3 x W bytes
// padded with a zero byte to an even length. The file is 1074 + H x rowBytes bytes.
inline constexpr size_t kBitmapHeaderBytes = 1074;

size_t bitmapRowBytes(int width) noexcept;
std::array<uint8_t, kBitmapHeaderBytes> bitmapHeader(int width, int height) noexcept;

class BitmapEncoder final : public ImageEncoder {
public:
    BitmapEncoder(AtomicFile& file, int width, int height);

    RowOrder order() const noexcept override { return RowOrder::BottomUp; }
    bool begin() override;
    bool acceptRow(int row, std::span<const uint8_t> rgb) override;

private:
    std::vector<uint8_t> mRow;  // blue, green, red and the padding byte
};

}  // namespace quorvel
