#include "files/exportformat.h"

#include <array>
#include <cctype>

namespace quorvel {

namespace {

struct FormatName {
    std::string_view extension;
    ExportFormat format;
};

constexpr std::array<FormatName, 7> kFormats = {{
    {"qvl", ExportFormat::TextureDocument},
    {"tpr", ExportFormat::Tpr},
    {"tga", ExportFormat::Targa},
    {"bmp", ExportFormat::Bitmap},
    {"jpg", ExportFormat::Jpeg},
    {"png", ExportFormat::Png},
    {"ppm", ExportFormat::Ppm},
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

}  // namespace

std::optional<ExportFormat> exportFormatForExtension(std::string_view extension) {
    for (const FormatName& f : kFormats) {
        if (equalsIgnoringCase(extension, f.extension)) {
            return f.format;
        }
    }
    return std::nullopt;
}

std::optional<ExportFormat> exportFormatForPath(std::string_view path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    return exportFormatForExtension(path.substr(dot + 1));
}

std::string_view extensionOf(ExportFormat format) noexcept {
    for (const FormatName& f : kFormats) {
        if (f.format == format) {
            return f.extension;
        }
    }
    return {};
}

std::string supportedExtensions() {
    std::string list;
    for (const FormatName& f : kFormats) {
        list += (list.empty() ? "." : ", .") + std::string(f.extension);
    }
    return list;
}

bool isImageFormat(ExportFormat format) noexcept {
    return format != ExportFormat::TextureDocument && format != ExportFormat::Tpr;
}

}  // namespace quorvel
