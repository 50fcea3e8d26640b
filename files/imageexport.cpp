#include "files/imageexport.h"

#include "engine/renderer.h"
#include "files/atomicfile.h"
#include "files/pngencoder.h"
#include "files/ppmencoder.h"

#include <array>
#include <cctype>
#include <memory>

namespace quorvel {

namespace {

struct FormatName {
    std::string_view extension;
    ImageFormat format;
};

constexpr std::array<FormatName, 2> kFormats = {{
    {"png", ImageFormat::Png},
    {"ppm", ImageFormat::Ppm},
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::unique_ptr<ImageEncoder> makeEncoder(ImageFormat format, AtomicFile& file, int width,
                                          int height) {
    switch (format) {
    case ImageFormat::Png: return std::make_unique<PngEncoder>(file, width, height);
    case ImageFormat::Ppm: return std::make_unique<PpmEncoder>(file, width, height);
    }
    return nullptr;
}

}  // namespace

std::optional<ImageFormat> imageFormatForPath(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    const std::string_view extension = path.substr(dot + 1);
    for (const FormatName& f : kFormats) {
        if (equalsIgnoringCase(extension, f.extension)) {
            return f.format;
        }
    }
    return std::nullopt;
}

std::string supportedImageExtensions() {
    std::string list;
    for (const FormatName& f : kFormats) {
        list += (list.empty() ? "." : ", .") + std::string(f.extension);
    }
    return list;
}

bool isValidImageSize(int width, int height) noexcept {
    return width >= 1 && width <= kMaxImageSide && height >= 1 && height <= kMaxImageSide;
}

ExportResult exportImage(const std::string& path, ImageFormat format, TextureParams& record,
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

}  // namespace quorvel
