#pragma once

#include "engine/maps.h"
#include "engine/pixel.h"
#include "engine/textureparams.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

namespace quorvel {

// The order in which a sink wants rows: top-down for the view, JPEG and PNG; bottom-up for
// Targa and bitmap.
enum class RowOrder { TopDown, BottomUp };

// Receives finished rows, one at a time, in the order it asked for, on the thread that called
// renderImage. Returning false stops the render (for instance after a write error).
class RowSink {
public:
    virtual ~RowSink() = default;
    // `row` counts from the top of the image; `rgb` holds red, green, blue bytes for columns
    // x0 to x1 - 1 of the render's region (a map render's own layout, see MapPixels).
    virtual bool acceptRow(int row, std::span<const uint8_t> rgb) = 0;
};

// A rectangle of pixels, [x0, x1) x [y0, y1); empty or partly outside areas are clipped.
struct PixelRegion {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

struct RenderOptions {
    int threads = 0;   // worker threads; 0 uses every core
    int bandRows = 0;  // finished rows held at most; 0 chooses
    RowOrder order = RowOrder::TopDown;
    const PixelRegion* region = nullptr;        // null renders the whole image
    const std::atomic<bool>* cancel = nullptr;  // checked between rows
    EnginePath engine = EnginePath::Auto;       // changes the speed, never the bytes
    // Null renders colours; otherwise the rows of this map, in its own layout. A colour map
    // here is rendered as colours too.
    const MapRender* map = nullptr;
    // Called on the rendering thread after each row reaches the sink: rows done, rows in all.
    std::function<void(int, int)> progress;
};

enum class RenderStatus {
    Completed,  // every row reached the sink
    Cancelled,  // the cancel flag was set; the sink saw a prefix of the rows
    Stopped,    // the sink refused a row
};

// Renders the record's image (or a region of it) row by row over worker threads and hands the
// rows to the sink in the requested order, holding at most a band of finished rows in memory
// whatever the image size. The bytes never depend on the thread count. Applies the engine's
// write to the record (Brick's mortar width) before any thread reads it; the record must not
// change while the render runs.
RenderStatus renderImage(TextureParams& record, const Sampling& sampling, RowSink& sink,
                         const RenderOptions& options = {});

// The number of threads `threads` stands for: itself when positive, else every core.
int effectiveThreads(int threads) noexcept;

}  // namespace quorvel
