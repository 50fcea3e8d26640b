#include "files/imageexport.h"

#include "engine/renderer.h"
#include "files/atomicfile.h"
#include "files/bitmapencoder.h"
#include "files/jpegencoder.h"
#include "files/pngencoder.h"
#include "files/ppmencoder.h"
#include "files/targaencoder.h"
#include "files/texturedocument.h"
#include "files/tprfile.h"

#include <memory>

namespace quorvel {

namespace {

std::unique_ptr<ImageEncoder> makeEncoder(ExportFormat format, AtomicFile& file, int width,
                                          int height) {
    switch (format) {
    case ExportFormat::Targa: return std::make_unique<TargaEncoder>(file, width, height);
    case ExportFormat::Bitmap: return std::make_unique<BitmapEncoder>(file, width, height);
    case ExportFormat::Jpeg: return std::make_unique<JpegEncoder>(file, width, height);
    case ExportFormat::Png: return std::make_unique<PngEncoder>(file, width, height);
    case ExportFormat::Ppm: return std::make_unique<PpmEncoder>(file, width, height);
    case ExportFormat::TextureDocument:
    case ExportFormat::Tpr: break;
    }
    return nullptr;
}

}  // namespace

bool isValidImageSize(int width, int height) noexcept {
    return width >= 1 && width <= kMaxImageSide && height >= 1 && height <= kMaxImageSide;
}

ExportResult exportImage(const std::string& path, ExportFormat format, TextureParams& record,
                         const Sampling& sampling, const ExportOptions& options) {
    const int width = sampling.width();
    const int height = sampling.height();
    if (!isValidImageSize(width, height)) {
        return {FileStatus::failure("Cannot write " + quotedPath(path) + ": the image size " +
                                    std::to_string(width) + " x " + std::to_string(height) +
                                    " is outside 1 to 32767 pixels."),
                false};
    }
    AtomicFile file;
    if (const FileStatus opened = file.open(path); !opened.ok()) {
        return {opened, false};
    }
    const std::unique_ptr<ImageEncoder> encoder = makeEncoder(format, file, width, height);
    if (!encoder) {
        std::string reason = "this is not an image format: .";
        reason += extensionOf(format);
        file.fail(reason);
        return {file.commit(), false};
    }
    if (!encoder->begin()) {
        return {file.commit(), false};
    }
    RenderOptions render;
    render.threads = options.threads;
    render.order = encoder->order();
    render.cancel = options.cancel;
    render.progress = options.progress;
    const RenderStatus status = renderImage(record, sampling, *encoder, render);
    if (status == RenderStatus::Cancelled) {
        file.discard();
        return {FileStatus::failure("Export to " + quotedPath(path) + " was cancelled."), true};
    }
    if (status == RenderStatus::Completed && !encoder->finish()) {
        file.fail("the image could not be completed.");
    }
    return {file.commit(), false};
}

ExportResult exportTexture(const std::string& path, ExportFormat format, TextureParams& record,
                           const ExportOptions& options) {
    switch (format) {
    case ExportFormat::TextureDocument: return {writeTextureFile(path, record), false};
    case ExportFormat::Tpr: return {writeTprFile(path, record), false};
    default:
        return exportImage(path, format, record,
                           Sampling::image(record.imageWidth, record.imageHeight), options);
    }
}

}  // namespace quorvel
