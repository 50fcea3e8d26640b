#include "files/imageexport.h"

#include "engine/renderer.h"
#include "files/atomicfile.h"
#include "files/imageencoder.h"
#include "files/texturedocument.h"
#include "files/tprfile.h"

#include <memory>

namespace quorvel {

bool isValidImageSize(int width, int height) noexcept {
    return width >= 1 && width <= kMaxImageSide && height >= 1 && height <= kMaxImageSide;
}

FileStatus checkImageArea(const std::string& path, const Sampling& sampling,
                          const PixelRegion* region, PixelRegion& area) {
    if (!isValidImageSize(sampling.width(), sampling.height())) {
        return FileStatus::failure("Cannot write " + quotedPath(path) + ": the image size " +
                                   std::to_string(sampling.width()) + " x " +
                                   std::to_string(sampling.height()) +
                                   " is outside 1 to 32767 pixels.");
    }
    const PixelRegion whole{0, 0, sampling.width(), sampling.height()};
    area = region ? *region : whole;
    if (area.x0 < 0 || area.y0 < 0 || area.x1 > whole.x1 || area.y1 > whole.y1 ||
        area.x1 <= area.x0 || area.y1 <= area.y0) {
        return FileStatus::failure("Cannot write " + quotedPath(path) +
                                   ": the region lies outside the " + std::to_string(whole.x1) +
                                   " x " + std::to_string(whole.y1) + " image.");
    }
    return FileStatus::success();
}

ExportResult exportImage(const std::string& path, ExportFormat format, TextureParams& record,
                         const Sampling& sampling, const ExportOptions& options) {
    PixelRegion area;
    if (FileStatus checked = checkImageArea(path, sampling, options.region, area); !checked.ok()) {
        return {checked, false};
    }
    const int width = area.x1 - area.x0;
    const int height = area.y1 - area.y0;
    AtomicFile file;
    if (const FileStatus opened = file.open(path); !opened.ok()) {
        return {opened, false};
    }
    const std::unique_ptr<ImageEncoder> encoder = makeImageEncoder(format, file, width, height);
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
    render.region = &area;
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
