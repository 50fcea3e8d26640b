#include "files/mapexport.h"

#include "engine/renderer.h"
#include "files/atomicfile.h"
#include "files/imageencoder.h"
#include "files/pngencoder.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace quorvel {

namespace {

// One map on its way: its file stays temporary until every map of the export is complete.
struct PendingMap {
    MapKind kind = MapKind::Colour;
    std::string path;
    AtomicFile file;
    std::optional<HeightRange> heights;
};

// Folds the raw heights of whole rows into their range; heights that are not finite are left
// out, so one damaged sample cannot flatten the rest.
class HeightRangeSink final : public RowSink {
public:
    bool acceptRow(int, std::span<const uint8_t> bytes) override {
        for (size_t k = 0; k + sizeof(float) <= bytes.size(); k += sizeof(float)) {
            float h;
            std::memcpy(&h, bytes.data() + k, sizeof h);
            if (std::isfinite(h)) {
                mRange.low = mAny ? std::min(mRange.low, double(h)) : h;
                mRange.high = mAny ? std::max(mRange.high, double(h)) : h;
                mAny = true;
            }
        }
        return true;
    }
    HeightRange range() const noexcept { return mRange; }

private:
    HeightRange mRange;
    bool mAny = false;
};

// Progress over every pass of every map, as one count of rows.
class Progress {
public:
    Progress(const ExportOptions& options, int total) : mOptions(options), mTotal(total) {}

    // The report function of the next pass, which renders `rows` rows.
    std::function<void(int, int)> pass(int rows) {
        const int before = mDone;
        mDone += rows;
        if (!mOptions.progress) {
            return {};
        }
        return [this, before](int done, int) { mOptions.progress(before + done, mTotal); };
    }

private:
    const ExportOptions& mOptions;
    const int mTotal;
    int mDone = 0;
};

std::string formatHeight(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// The note a 16-bit height map carries, so that the values can be turned back into heights.
std::string heightComment(const HeightRange& range) {
    if (!(range.high > range.low)) {
        return "Height map of a flat image: every height is " + formatHeight(range.low) +
               ", written as 32768.";
    }
    return "Height map normalised to this image: 0 stands for the height " +
           formatHeight(range.low) + ", 65535 for " + formatHeight(range.high) + ".";
}

// Renders one map into its open file. Returns the render's outcome; a failure is recorded in
// the file.
RenderStatus renderMap(PendingMap& map, ExportFormat format, TextureParams& record,
                       const Sampling& sampling, const PixelRegion& area,
                       const MapSettings& settings, const ExportOptions& options,
                       Progress& progress) {
    MapRender how;
    how.kind = map.kind;
    how.settings = settings;
    RenderOptions render;
    render.threads = options.threads;
    render.cancel = options.cancel;
    if (map.kind == MapKind::Height) {
        // The range is the whole image's, so that regions of one image join without steps.
        how.pixels = MapPixels::Heights;
        render.map = &how;
        render.progress = progress.pass(sampling.height());
        HeightRangeSink heights;
        const RenderStatus measured = renderImage(record, sampling, heights, render);
        if (measured != RenderStatus::Completed) {
            return measured;
        }
        map.heights = heights.range();
        how.low = map.heights->low;
        how.high = map.heights->high;
    }
    const int width = area.x1 - area.x0;
    const int height = area.y1 - area.y0;
    const bool grey16 = map.kind == MapKind::Height && format == ExportFormat::Png;
    how.pixels = grey16 ? MapPixels::Grey16 : MapPixels::Rgb8;
    const std::unique_ptr<ImageEncoder> encoder =
        grey16 ? std::make_unique<PngEncoder>(map.file, width, height, PngPixels::Grey16,
                                              heightComment(*map.heights))
               : makeImageEncoder(format, map.file, width, height);
    if (!encoder || !encoder->begin()) {
        return RenderStatus::Stopped;
    }
    render.map = &how;
    render.order = encoder->order();
    render.region = &area;
    render.progress = progress.pass(height);
    const RenderStatus status = renderImage(record, sampling, *encoder, render);
    if (status == RenderStatus::Completed && !encoder->finish()) {
        map.file.fail("the image could not be completed.");
        return RenderStatus::Stopped;
    }
    return status;
}

std::string quotedList(const std::vector<std::string>& paths) {
    std::string out;
    for (size_t k = 0; k < paths.size(); ++k) {
        out += (k == 0 ? "" : k + 1 == paths.size() ? " and " : ", ") + quotedPath(paths[k]);
    }
    return out;
}

// Renames every completed map over its target. A rename that fails after others succeeded
// cannot take theirs back: the message says which files were already replaced.
ExportResult commitAll(std::vector<std::unique_ptr<PendingMap>>& maps,
                       std::optional<HeightRange>& heights) {
    for (auto& map : maps) {
        if (FileStatus done = map->file.complete(); !done.ok()) {
            return {done, false};
        }
    }
    std::vector<std::string> replaced;
    for (auto& map : maps) {
        FileStatus status = map->file.commit();
        if (!status.ok()) {
            if (!replaced.empty()) {
                status.message += ' ';
                status.message += quotedList(replaced);
                status.message += replaced.size() == 1 ? " was" : " were";
                status.message += " already written; the rest were not.";
            }
            return {status, false};
        }
        replaced.push_back(map->path);
        if (map->heights) {
            heights = map->heights;
        }
    }
    return {FileStatus::success(), false};
}

// Refuses what cannot make maps before any file is made: no map, a map asked for twice, a
// format that is no image, a size or region out of range. Sets `area` to the pixels to write.
FileStatus checkRequest(const std::vector<std::string>& paths, ExportFormat format,
                        std::span<const MapKind> kinds, const Sampling& sampling,
                        const ExportOptions& options, PixelRegion& area) {
    if (kinds.empty()) {
        return FileStatus::failure("No map to write was chosen.");
    }
    for (size_t a = 0; a < kinds.size(); ++a) {
        for (size_t b = a + 1; b < kinds.size(); ++b) {
            if (kinds[a] == kinds[b]) {
                return FileStatus::failure("Cannot write " + quotedPath(paths[a]) + ": the " +
                                           std::string(mapName(kinds[a])) +
                                           " map is asked for twice.");
            }
        }
    }
    if (!isImageFormat(format)) {
        return FileStatus::failure("Cannot write " + quotedPath(paths.front()) +
                                   ": maps are images, and ." + std::string(extensionOf(format)) +
                                   " is not an image format.");
    }
    return checkImageArea(paths.front(), sampling, options.region, area);
}

ExportResult writeMaps(const std::vector<std::string>& paths, ExportFormat format,
                       std::span<const MapKind> kinds, TextureParams& record,
                       const Sampling& sampling, const MapSettings& settings,
                       const ExportOptions& options, std::optional<HeightRange>& heights) {
    heights.reset();
    PixelRegion area;
    if (FileStatus checked = checkRequest(paths, format, kinds, sampling, options, area);
        !checked.ok()) {
        return {checked, false};
    }
    // Every temporary file exists before any rendering, so that a target that cannot be
    // written stops the export before its slow part.
    std::vector<std::unique_ptr<PendingMap>> maps;
    int rows = 0;
    for (size_t k = 0; k < kinds.size(); ++k) {
        maps.push_back(std::make_unique<PendingMap>());
        maps.back()->kind = kinds[k];
        maps.back()->path = paths[k];
        if (FileStatus opened = maps.back()->file.open(paths[k]); !opened.ok()) {
            return {opened, false};
        }
        rows += (area.y1 - area.y0) + (kinds[k] == MapKind::Height ? sampling.height() : 0);
    }
    Progress progress(options, rows);
    for (auto& map : maps) {
        const RenderStatus status =
            renderMap(*map, format, record, sampling, area, settings, options, progress);
        if (status == RenderStatus::Cancelled) {
            return {FileStatus::failure("Export to " + quotedPath(map->path) + " was cancelled." +
                                        (maps.size() > 1 ? " No map was written." : "")),
                    true};
        }
        if (status != RenderStatus::Completed || map->file.failed()) {
            map->file.fail("the image could not be completed.");
            FileStatus failed = map->file.status();
            if (maps.size() > 1) {
                failed.message += " No map was written.";
            }
            return {failed, false};
        }
    }
    return commitAll(maps, heights);
}

}  // namespace

std::string mapPath(const std::string& base, MapKind kind, ExportFormat format) {
    std::string path = base;
    if (kind != MapKind::Colour) {
        path += '_';
        path += mapName(kind);
    }
    path += '.';
    path += extensionOf(format);
    return path;
}

ExportResult exportMap(const std::string& path, ExportFormat format, MapKind kind,
                       TextureParams& record, const Sampling& sampling, const MapSettings& settings,
                       const ExportOptions& options) {
    std::optional<HeightRange> heights;
    return exportMap(path, format, kind, record, sampling, settings, options, heights);
}

ExportResult exportMap(const std::string& path, ExportFormat format, MapKind kind,
                       TextureParams& record, const Sampling& sampling, const MapSettings& settings,
                       const ExportOptions& options, std::optional<HeightRange>& heights) {
    const MapKind kinds[] = {kind};
    return writeMaps({path}, format, kinds, record, sampling, settings, options, heights);
}

ExportResult exportMaps(const std::string& base, ExportFormat format,
                        std::span<const MapKind> kinds, TextureParams& record,
                        const Sampling& sampling, const MapSettings& settings,
                        const ExportOptions& options) {
    std::optional<HeightRange> heights;
    return exportMaps(base, format, kinds, record, sampling, settings, options, heights);
}

ExportResult exportMaps(const std::string& base, ExportFormat format,
                        std::span<const MapKind> kinds, TextureParams& record,
                        const Sampling& sampling, const MapSettings& settings,
                        const ExportOptions& options, std::optional<HeightRange>& heights) {
    std::vector<std::string> paths;
    for (const MapKind kind : kinds) {
        paths.push_back(mapPath(base, kind, format));
    }
    return writeMaps(paths, format, kinds, record, sampling, settings, options, heights);
}

}  // namespace quorvel
