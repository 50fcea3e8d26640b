#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// What a Save As or an export writes, chosen by the file name's extension without regard to
// case. PNG is the lossless, universally readable export; PPM serves the command line.
enum class ExportFormat {
    TextureDocument,  // qvl
    Tpr,              // tpr: parameters for the sibling 3D product
    Targa,            // tga
    Bitmap,           // bmp: the program's own headerless layout
    Jpeg,             // jpg
    Png,              // png
    Ppm,              // ppm
};

// The format for a file name's extension, in the table's order; none for any other extension
// or a name without one.
std::optional<ExportFormat> exportFormatForPath(std::string_view path);

// The format for a bare extension ("PNG", "jpg"); none when unknown.
std::optional<ExportFormat> exportFormatForExtension(std::string_view extension);

// The extension written for a format, without its dot: "png".
std::string_view extensionOf(ExportFormat format) noexcept;

// Every extension, for messages: ".qvl, .tpr, .tga, .bmp, .jpg, .png, .ppm".
std::string supportedExtensions();

// Whether the format is a rendered image (rather than a record).
bool isImageFormat(ExportFormat format) noexcept;

}  // namespace quorvel
