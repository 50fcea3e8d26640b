#pragma once

#include "engine/maps.h"
#include "engine/pixel.h"
#include "engine/textureparams.h"
#include "files/exportformat.h"
#include "files/imageexport.h"

#include <optional>
#include <span>
#include <string>

namespace quorvel {

// The file a map of `base` is written to: BASE.EXT, BASE_normal.EXT, BASE_height.EXT.
std::string mapPath(const std::string& base, MapKind kind, ExportFormat format);

// Renders one map of the record at the sampling's size into `path`, through the same parallel,
// streaming, cancellable path as exportImage and with its guarantees (the file appears only
// when complete). Height maps use the full range of their samples, normalised per image: 16
// bits in PNG, 8 in the other image formats.
ExportResult exportMap(const std::string& path, ExportFormat format, MapKind kind,
                       TextureParams& record, const Sampling& sampling, const MapSettings& settings,
                       const ExportOptions& options = {});

// Writes each of `kinds` to mapPath(base, kind, format), all or none: every map is written to
// a temporary file first and the files are renamed into place only when all are complete.
// Progress counts the rows of every map together; one cancel stops them all.
ExportResult exportMaps(const std::string& base, ExportFormat format,
                        std::span<const MapKind> kinds, TextureParams& record,
                        const Sampling& sampling, const MapSettings& settings,
                        const ExportOptions& options = {});

// As above, and tells the range the height map (when one was written) was normalised over,
// for the user to know what its values stand for.
ExportResult exportMaps(const std::string& base, ExportFormat format,
                        std::span<const MapKind> kinds, TextureParams& record,
                        const Sampling& sampling, const MapSettings& settings,
                        const ExportOptions& options, std::optional<HeightRange>& heights);
ExportResult exportMap(const std::string& path, ExportFormat format, MapKind kind,
                       TextureParams& record, const Sampling& sampling, const MapSettings& settings,
                       const ExportOptions& options, std::optional<HeightRange>& heights);

}  // namespace quorvel
