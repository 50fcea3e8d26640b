#include "files/bitmapencoder.h"

#include "engine/recordlayout.h"
#include "files/atomicfile.h"

namespace quorvel {

size_t bitmapRowBytes(int width) noexcept {
    const size_t bytes = static_cast<size_t>(width) * 3;
    return bytes + (bytes & 1u);
}

std::array<uint8_t, kBitmapHeaderBytes> bitmapHeader(int width, int height) noexcept {
    std::array<uint8_t, kBitmapHeaderBytes> header{};
    ByteWriter w(header);
    w.u16(0);
    w.u16(static_cast<uint16_t>(width));
    w.u16(static_cast<uint16_t>(height));
    w.u16(static_cast<uint16_t>(bitmapRowBytes(width)));
    w.u8(1);    // planes
    w.u8(24);   // bits per pixel
    w.u32(40);  // information header size
    w.i32(width);
    w.i32(height);
    w.u16(1);
    w.u16(24);
    // Compression, image size, resolutions, colours used and important, then the 256-entry
    // colour table: all zero, as the array already is.
    return header;
}

BitmapEncoder::BitmapEncoder(AtomicFile& file, int width, int height)
    : ImageEncoder(file, width, height), mRow(bitmapRowBytes(width), 0) {}

bool BitmapEncoder::begin() {
    const auto header = bitmapHeader(mWidth, mHeight);
    return mFile.write(header);
}

bool BitmapEncoder::acceptRow(int, std::span<const uint8_t> rgb) {
    rgbToBgr(rgb, mRow);
    return mFile.write(mRow);
}

}  // namespace quorvel
