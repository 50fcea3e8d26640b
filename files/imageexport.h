#pragma once

#include "engine/pixel.h"
#include "engine/renderer.h"
#include "engine/textureparams.h"
#include "files/exportformat.h"
#include "files/filestatus.h"

#include <atomic>
#include <functional>
#include <string>

namespace quorvel {

// Image sizes the record can hold: 1 to 32767 in each direction.
inline constexpr int kMaxImageSide = 32767;
bool isValidImageSize(int width, int height) noexcept;

// Checks an export's size and region before anything is written: the image must be 1 to 32767
// pixels each way and the region (null: the whole image) inside it. Sets `area` to the pixels
// to write; otherwise returns a message naming `path`.
FileStatus checkImageArea(const std::string& path, const Sampling& sampling,
                          const PixelRegion* region, PixelRegion& area);

struct ExportOptions {
    int threads = 0;                            // 0 uses every core
    const std::atomic<bool>* cancel = nullptr;  // checked between rows
    std::function<void(int, int)> progress;     // rows written, rows in all
    // Only this rectangle of the image is written, its pixels those of the whole image; it must
    // lie inside the image. Null writes the whole image.
    const PixelRegion* region = nullptr;
};

struct [[nodiscard]] ExportResult {
    FileStatus status;
    bool cancelled = false;

    bool ok() const noexcept { return status.ok(); }
};

// Renders the record at the sampling's size and writes it to `path` as an image `format`
// (Targa, bitmap, JPEG, PNG or PPM), streaming rows from the parallel renderer in the order the
// layout stores them, so that memory stays bounded by a band of rows whatever the size. The
// file appears only when complete: on any failure or cancellation the target is untouched and
// no partial file remains, and the result's message names the file and the reason.
ExportResult exportImage(const std::string& path, ExportFormat format, TextureParams& record,
                         const Sampling& sampling, const ExportOptions& options = {});

// Writes the record in any format: a texture document or .tpr as it stands, an image rendered
// at the record's own size.
ExportResult exportTexture(const std::string& path, ExportFormat format, TextureParams& record,
                           const ExportOptions& options = {});

}  // namespace quorvel
