#include "app/viewrender.h"

#include "engine/numeric.h"
#include "engine/renderer.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace quorvel;

namespace {

// On a machine with as many busy threads as cores, a render at the interface's own priority
// would keep the interface waiting for the processor: the render thread (and the workers it
// starts, which inherit the value) step back. An idle core is still all theirs.
void yieldToTheInterface() {
#if defined(__linux__)
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
}

// Writes finished rows into the render's image as 32-bit pixels and publishes how many are done.
class ImageRowSink : public RowSink {
public:
    // Writes through the image's bits, taken on the creating thread, so that this thread never
    // touches the QImage object itself.
    ImageRowSink(uchar* bits, qsizetype bytesPerLine, int top, std::atomic<int>& rowsDone)
        : mBits(bits), mBytesPerLine(bytesPerLine), mTop(top), mRowsDone(rowsDone) {}

    bool acceptRow(int row, std::span<const uint8_t> rgb) override {
        auto* line = reinterpret_cast<QRgb*>(mBits + (row - mTop) * mBytesPerLine);
        const size_t pixels = rgb.size() / 3;
        for (size_t i = 0; i < pixels; ++i)
            line[i] = qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        mRowsDone.store(row - mTop + 1, std::memory_order_release);
        return true;
    }

private:
    uchar* mBits;
    qsizetype mBytesPerLine;
    int mTop;
    std::atomic<int>& mRowsDone;
};

}  // namespace

CViewRender::CViewRender(const TextureParams& record, const QRect& region)
    : mRecord(record),
      mRegion(region.intersected(QRect(0, 0, record.imageWidth, record.imageHeight))) {
    if (mRegion.isEmpty()) {
        mRegion = QRect();
        mFinished.store(true);
        return;
    }
    mImage = QImage(mRegion.size(), QImage::Format_RGB32);
    if (mImage.isNull()) {
        // Out of memory: nothing is rendered and the area stays black.
        mRegion = QRect();
        mFinished.store(true);
        return;
    }
    mImage.fill(Qt::black);
    const int step = kCoarseStep;
    mCoarse = QImage((mRegion.width() + step - 1) / step, (mRegion.height() + step - 1) / step,
                     QImage::Format_RGB32);
    // Both pictures' bits are taken here, so that the thread never touches a QImage object.
    mThread = std::thread([this, bits = mImage.bits(), bytesPerLine = mImage.bytesPerLine(),
                           coarse = mCoarse.isNull() ? nullptr : mCoarse.bits(),
                           coarseBytesPerLine = mCoarse.bytesPerLine()] {
        yieldToTheInterface();
        if (coarse && !sampleCoarse(coarse, coarseBytesPerLine)) {
            mFinished.store(true, std::memory_order_release);
            return;
        }
        run(bits, bytesPerLine);
    });
}

CViewRender::~CViewRender() {
    cancel();
    if (mThread.joinable())
        mThread.join();
}

bool CViewRender::sampleCoarse(uchar* bits, qsizetype bytesPerLine) {
    // The record's own write comes before any sample, as the renderer makes it.
    applyRenderWrites(mRecord);
    const Sampling sampling = Sampling::image(mRecord.imageWidth, mRecord.imageHeight);
    for (int j = 0; j < mCoarse.height(); ++j) {
        if (mCancel.load(std::memory_order_relaxed))
            return false;
        const float py = sampling.y(mRegion.top() + j * kCoarseStep);
        auto* line = reinterpret_cast<QRgb*>(bits + j * bytesPerLine);
        for (int i = 0; i < mCoarse.width(); ++i) {
            Colour colour;
            evaluatePixel(sampling.x(mRegion.left() + i * kCoarseStep), py, mRecord, colour);
            line[i] = qRgb(channelByte(colour.r), channelByte(colour.g), channelByte(colour.b));
        }
    }
    mCoarseReady.store(true, std::memory_order_release);
    return true;
}

void CViewRender::run(uchar* bits, qsizetype bytesPerLine) {
    ImageRowSink sink(bits, bytesPerLine, mRegion.top(), mRowsDone);
    const PixelRegion region{mRegion.left(), mRegion.top(), mRegion.right() + 1,
                             mRegion.bottom() + 1};
    RenderOptions options;
    options.region = &region;
    options.cancel = &mCancel;
    renderImage(mRecord, Sampling::image(mRecord.imageWidth, mRecord.imageHeight), sink, options);
    mFinished.store(true, std::memory_order_release);
}
