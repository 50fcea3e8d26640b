#pragma once

#include "engine/pixel.h"
#include "engine/textureparams.h"
#include "files/filestatus.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Image layouts the exporter writes, chosen by the file name's extension.
enum class ImageFormat { Png, Ppm };

// The format for a file name's extension, compared without regard to case; none for an
// extension the exporter does not write.
std::optional<ImageFormat> imageFormatForPath(std::string_view path);

// The extensions imageFormatForPath accepts, for messages: ".png, .ppm".
std::string supportedImageExtensions();

// Image sizes the record can hold: 1 to 32767 in each direction.
inline constexpr int kMaxImageSide = 32767;
bool isValidImageSize(int width, int height) noexcept;

struct ExportOptions {
    int threads = 0;                            // 0 uses every core
    const std::atomic<bool>* cancel = nullptr;  // checked between rows
    std::function<void(int, int)> progress;     // rows written, rows in all
};

struct [[nodiscard]] ExportResult {
    FileStatus status;
    bool cancelled = false;

    bool ok() const noexcept { return status.ok(); }
};

// Renders the record at the sampling's size and writes it to `path` in `format`, streaming rows
// from the parallel renderer so that memory stays bounded by a band of rows. The file appears
// only when complete: on any failure or cancellation the target is untouched and no partial
// file remains, and the result's message names the file and the reason.
ExportResult exportImage(const std::string& path, ImageFormat format, TextureParams& record,
                         const Sampling& sampling, const ExportOptions& options = {});

}  // namespace quorvel
