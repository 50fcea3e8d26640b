#include "cli/render.h"

#include "cli/progressbar.h"
#include "engine/defaults.h"
#include "engine/pixel.h"
#include "files/imageexport.h"
#include "files/texturedocument.h"

#include <cctype>
#include <string>
#include <unistd.h>

namespace quorvel::cli {

namespace {

// The file layer writes sentences for message boxes; on the command line they continue
// "error: ", so a leading capital that starts an ordinary word is lowered.
int report(std::FILE* errors, std::string message, int code) {
    if (message.size() > 1 && std::isupper(static_cast<unsigned char>(message[0])) &&
        std::islower(static_cast<unsigned char>(message[1]))) {
        message[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(message[0])));
    }
    std::fprintf(errors, "quorvel-render: error: %s\n", message.c_str());
    return code;
}

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

}  // namespace

int runRender(const Arguments& arguments, std::FILE* errors, const std::atomic<bool>& cancel) {
    const auto format = imageFormatForPath(arguments.output);
    if (!format) {
        return report(errors,
                      "cannot tell the format of '" + arguments.output +
                          "'; supported extensions: " + supportedImageExtensions(),
                      kExitUsage);
    }
    TextureParams record;
    std::string error;
    if (!loadRecord(arguments, record, error)) {
        return report(errors, error, kExitFailure);
    }
    const int width = arguments.size ? arguments.size->width : record.imageWidth;
    const int height = arguments.size ? arguments.size->height : record.imageHeight;
    if (!isValidImageSize(width, height)) {
        return report(errors,
                      "'" + arguments.input + "' has the image size " + std::to_string(width) +
                          " x " + std::to_string(height) +
                          ", outside 1 to 32767; choose one with --size",
                      kExitFailure);
    }

    ProgressBar bar(errors, !arguments.quiet && ::isatty(::fileno(errors)) == 1);
    ExportOptions options;
    options.threads = arguments.threads;
    options.cancel = &cancel;
    options.progress = [&bar](int done, int total) { bar.update(done, total); };
    const ExportResult result =
        exportImage(arguments.output, *format, record, Sampling::image(width, height), options);
    bar.clear();
    if (!result.ok()) {
        return report(errors, result.status.message, kExitFailure);
    }
    return kExitSuccess;
}

}  // namespace quorvel::cli
