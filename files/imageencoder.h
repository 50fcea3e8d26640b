#pragma once

#include "engine/renderer.h"
#include "files/exportformat.h"

#include <cstdint>
#include <memory>
#include <span>

namespace quorvel {

class AtomicFile;

// An image layout that takes rendered rows in the order it stores them and writes them to an
// AtomicFile. Failures are recorded in the file's status; every call after one returns false.
class ImageEncoder : public RowSink {
public:
    ImageEncoder(AtomicFile& file, int width, int height) noexcept
        : mFile(file), mWidth(width), mHeight(height) {}

    virtual RowOrder order() const noexcept = 0;
    // Writes what precedes the rows.
    virtual bool begin() = 0;
    // Writes what follows the rows; most layouts have nothing there.
    virtual bool finish();

protected:
    AtomicFile& mFile;
    const int mWidth;
    const int mHeight;
};

// The encoder of an image format for 8-bit RGB rows; null for a format that is no image (a
// texture document, a .tpr).
std::unique_ptr<ImageEncoder> makeImageEncoder(ExportFormat format, AtomicFile& file, int width,
                                               int height);

// Copies an RGB row into the blue, green, red order of the Targa and bitmap layouts; stops at
// the shorter of the two.
inline void rgbToBgr(std::span<const uint8_t> rgb, std::span<uint8_t> bgr) noexcept {
    for (size_t i = 0; i + 2 < rgb.size() && i + 2 < bgr.size(); i += 3) {
        bgr[i] = rgb[i + 2];
        bgr[i + 1] = rgb[i + 1];
        bgr[i + 2] = rgb[i];
    }
}

}  // namespace quorvel
