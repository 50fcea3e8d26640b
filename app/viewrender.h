#pragma once

#include "engine/textureparams.h"

#include <QImage>
#include <QRect>

#include <atomic>
#include <thread>

// One render of a rectangle of a texture image, running on its own thread. It first samples one
// pixel of every kCoarseStep x kCoarseStep block (a coarse picture that shows an edit within
// moments), then renders the exact rows over the engine's parallel renderer. Rows arrive
// top-down; rowsDone() says how many rows of the rectangle are finished, and only those may be
// read from image() on another thread; coarse() may be read once coarseReady(). Destroying the
// render cancels it and waits for its thread, which takes at most the time of a row.
class CViewRender {
public:
    // Renders `region` (image pixels, clipped to the image) of `record` at its own image size.
    // The record is copied: the caller may edit its own while this runs.
    CViewRender(const quorvel::TextureParams& record, const QRect& region);
    ~CViewRender();
    CViewRender(const CViewRender&) = delete;
    CViewRender& operator=(const CViewRender&) = delete;

    void cancel() noexcept { mCancel.store(true); }
    bool isFinished() const noexcept { return mFinished.load(std::memory_order_acquire); }
    bool wasCancelled() const noexcept { return mCancel.load(); }
    int rowsDone() const noexcept { return mRowsDone.load(std::memory_order_acquire); }
    int rows() const noexcept { return mRegion.height(); }
    bool coarseReady() const noexcept { return mCoarseReady.load(std::memory_order_acquire); }

    static constexpr int kCoarseStep = 8;

    QRect region() const { return mRegion; }
    // Region-sized, black until rows arrive; null (and the region empty) when memory ran out.
    const QImage& image() const noexcept { return mImage; }
    // Pixel (i, j) is the exact colour of the region's pixel (i, j) x kCoarseStep.
    const QImage& coarse() const noexcept { return mCoarse; }

private:
    void run(uchar* bits, qsizetype bytesPerLine);
    // Fills the coarse picture; returns false when cancelled on the way.
    bool sampleCoarse(uchar* bits, qsizetype bytesPerLine);

    quorvel::TextureParams mRecord;
    QRect mRegion;
    QImage mImage;
    QImage mCoarse;
    std::atomic<bool> mCoarseReady{false};
    std::atomic<bool> mCancel{false};
    std::atomic<bool> mFinished{false};
    std::atomic<int> mRowsDone{0};
    std::thread mThread;
};
