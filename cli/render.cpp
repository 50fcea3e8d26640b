#include "cli/render.h"

#include "cli/library.h"
#include "cli/progressbar.h"
#include "engine/defaults.h"
#include "engine/pixel.h"
#include "engine/seamless.h"
#include "files/filenames.h"
#include "files/imageexport.h"
#include "files/mapexport.h"
#include "files/texturedocument.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <unistd.h>

namespace quorvel::cli {

namespace {

// The record to render: the document's, or the chosen material's defaults.
bool loadRecord(const Arguments& arguments, TextureParams& record, std::string& error) {
    if (arguments.input.empty()) {
        record = materialDefaults(arguments.material.value_or(1));
        return true;
    }
    record = newTexture();
    const FileStatus status = readTextureDocument(arguments.input, record);
    if (!status.ok()) {
        error = status.message;
        return false;
    }
    if (arguments.material) {
        applyMaterialDefaults(record, materialDefaults(*arguments.material));
    }
    return true;
}

int renderDocument(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel) {
    // --format names the format of a file whose name cannot, such as standard output or a
    // thumbnailer's temporary file.
    const auto format = arguments.formatGiven ? std::optional(arguments.format)
                                              : exportFormatForPath(arguments.output);
    if (!format) {
        return report(errors,
                      "cannot tell the format of '" + arguments.output +
                          "'; supported extensions: " + supportedExtensions(),
                      kExitUsage);
    }
    TextureParams record;
    std::string error;
    if (!loadRecord(arguments, record, error)) {
        return report(errors, error, kExitFailure);
    }
    return writeTexture(record, arguments.output, *format, arguments, errors, cancel);
}

std::string heightText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// Writes the maps the arguments ask for; `heights` tells a height map's range.
ExportResult writeMaps(TextureParams& record, const std::string& path, ExportFormat format,
                       const Sampling& sampling, const Arguments& arguments,
                       const ExportOptions& options, std::optional<HeightRange>& heights) {
    MapSettings settings;
    settings.normalYDown = arguments.normalYDown.value_or(false);
    settings.normalFromColour = arguments.normalFromColour;
    settings.strength = arguments.strength.value_or(1.0f);
    constexpr MapKind kAll[] = {MapKind::Colour, MapKind::Normal, MapKind::Height};
    return arguments.maps ? exportMaps(mapsBase(path), format, kAll, record, sampling, settings,
                                       options, heights)
                          : exportMap(path, format, *arguments.map, record, sampling, settings,
                                      options, heights);
}

// Height maps are normalised to their image, so their values mean nothing without the range.
void noteHeights(std::FILE* errors, const std::string& name, const HeightRange& heights) {
    note(errors, heights.high > heights.low
                     ? "'" + name + "' is normalised to this image: black is the height " +
                           heightText(heights.low) + ", white " + heightText(heights.high)
                     : "'" + name + "' is flat: every height is " + heightText(heights.low) +
                           ", written as mid-grey");
}

}  // namespace

// The file layer writes sentences for message boxes; on the command line they continue
// "error: ", so a leading capital that starts an ordinary word is lowered.
int report(std::FILE* errors, std::string message, int code) {
    if (message.size() > 1 && std::isupper(static_cast<unsigned char>(message[0])) &&
        std::islower(static_cast<unsigned char>(message[1]))) {
        message[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(message[0])));
    }
    std::fprintf(errors, "quorvel-render: error: %s\n", escapedText(message).c_str());
    return code;
}

void note(std::FILE* errors, const std::string& message) {
    std::fprintf(errors, "quorvel-render: note: %s\n", escapedText(message).c_str());
}

int writeTexture(TextureParams record, const std::string& path, ExportFormat format,
                 const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel) {
    if (arguments.seamless) {
        setSeamless(record, true);
    }
    if (arguments.size) {
        record.imageWidth = static_cast<int16_t>(arguments.size->width);
        record.imageHeight = static_cast<int16_t>(arguments.size->height);
    } else if (arguments.maxSize && record.imageWidth > 0 && record.imageHeight > 0) {
        // The largest size of the image's own proportions within N x N, for thumbnails.
        const double scale = std::min(double(*arguments.maxSize) / record.imageWidth,
                                      double(*arguments.maxSize) / record.imageHeight);
        record.imageWidth =
            static_cast<int16_t>(std::max(1L, std::lround(record.imageWidth * scale)));
        record.imageHeight =
            static_cast<int16_t>(std::max(1L, std::lround(record.imageHeight * scale)));
    }
    if (!isImageFormat(format)) {
        if (arguments.thumbnail || arguments.map || arguments.maps) {
            return report(errors,
                          std::string(arguments.thumbnail ? "--thumbnail makes an image"
                                                          : "maps are images") +
                              "; '" + path + "' is not one",
                          kExitUsage);
        }
        const ExportResult result = exportTexture(path, format, record);
        return result.ok() ? kExitSuccess : report(errors, result.status.message, kExitFailure);
    }
    const Sampling sampling = arguments.thumbnail
                                  ? Sampling::thumbnail()
                                  : Sampling::image(record.imageWidth, record.imageHeight);
    if (!isValidImageSize(sampling.width(), sampling.height())) {
        return report(errors,
                      "the image size " + std::to_string(sampling.width()) + " x " +
                          std::to_string(sampling.height()) +
                          " is outside 1 to 32767; choose one with --size",
                      kExitFailure);
    }
    ProgressBar bar(errors, !arguments.quiet && ::isatty(::fileno(errors)) == 1);
    ExportOptions options;
    options.threads = arguments.threads;
    options.cancel = &cancel;
    options.progress = [&bar](int done, int total) { bar.update(done, total); };
    PixelRegion region;
    if (arguments.region) {
        const ImageRegion& r = *arguments.region;
        region = {r.x, r.y, r.x + r.width, r.y + r.height};
        options.region = &region;
    }
    std::optional<HeightRange> heights;
    const ExportResult result =
        arguments.map || arguments.maps
            ? writeMaps(record, path, format, sampling, arguments, options, heights)
            : exportImage(path, format, record, sampling, options);
    bar.clear();
    if (result.ok() && heights && !arguments.quiet) {
        noteHeights(errors,
                    arguments.maps ? mapPath(mapsBase(path), MapKind::Height, format) : path,
                    *heights);
    }
    return result.ok() ? kExitSuccess : report(errors, result.status.message, kExitFailure);
}

int runCommandLine(std::span<const std::string_view> args, std::FILE* out, std::FILE* errors,
                   const std::atomic<bool>& cancel) {
    const ParsedArguments parsed = parseArguments(args);
    if (!parsed.error.empty()) {
        return report(errors, parsed.error + " (see --help)", kExitUsage);
    }
    if (parsed.arguments.help || parsed.arguments.version) {
        std::fputs(parsed.arguments.help ? usageText().c_str()
                                         : "quorvel-render " QUORVEL_VERSION "\n",
                   out);
        return kExitSuccess;
    }
    return runRender(parsed.arguments, errors, cancel);
}

int runRender(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel) {
    if (arguments.engine) {
        if (!engineSupports(*arguments.engine)) {
            return report(errors,
                          "this processor cannot run the " +
                              std::string(enginePathName(*arguments.engine)) +
                              " engine path; use --engine auto",
                          kExitFailure);
        }
        setEnginePath(*arguments.engine);
    }
    if (!arguments.library.empty()) {
        return renderLibrary(arguments, errors, cancel);
    }
    return renderDocument(arguments, errors, cancel);
}

}  // namespace quorvel::cli
