#include "files/targaencoder.h"

#include "engine/recordlayout.h"
#include "files/atomicfile.h"

namespace quorvel {

namespace {

constexpr int kMaxRun = 128;

void putPacket(std::vector<uint8_t>& out, int run, const uint8_t* pixel) {
    out.push_back(static_cast<uint8_t>(128 + run - 1));
    out.insert(out.end(), pixel, pixel + 3);
}

bool samePixel(const uint8_t* a, const uint8_t* b) noexcept {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

}  // namespace

std::array<uint8_t, kTargaHeaderBytes> targaHeader(int width, int height) noexcept {
    std::array<uint8_t, kTargaHeaderBytes> header{};
    ByteWriter w(header);
    w.u8(0);   // no image identification field
    w.u8(0);   // no colour map
    w.u8(10);  // run-length-encoded true colour
    w.zeros(5);
    w.u16(0);  // x origin
    w.u16(0);  // y origin
    w.u16(static_cast<uint16_t>(width));
    w.u16(static_cast<uint16_t>(height));
    w.u8(24);
    w.u8(8);  // origin bit clear: the first stored row is the bottom one
    return header;
}

void encodeTargaRow(std::span<const uint8_t> bgr, std::vector<uint8_t>& out) {
    const size_t width = bgr.size() / 3;
    if (width == 0) {
        return;
    }
    int run = 1;
    for (size_t k = 1; k < width; ++k) {
        const uint8_t* previous = bgr.data() + 3 * (k - 1);
        const bool last = k == width - 1;
        if (samePixel(bgr.data() + 3 * k, previous) && run < kMaxRun && !last) {
            ++run;
            continue;
        }
        putPacket(out, run, previous);
        run = 1;
    }
    putPacket(out, 1, bgr.data() + 3 * (width - 1));
}

TargaEncoder::TargaEncoder(AtomicFile& file, int width, int height)
    : ImageEncoder(file, width, height), mBgr(static_cast<size_t>(width) * 3) {
    mPackets.reserve(static_cast<size_t>(width) * 4);
}

bool TargaEncoder::begin() {
    const auto header = targaHeader(mWidth, mHeight);
    return mFile.write(header);
}

bool TargaEncoder::acceptRow(int, std::span<const uint8_t> rgb) {
    rgbToBgr(rgb, mBgr);
    mPackets.clear();
    encodeTargaRow(mBgr, mPackets);
    return mFile.write(mPackets);
}

}  // namespace quorvel
