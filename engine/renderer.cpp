#include "engine/renderer.h"

#include "engine/noise.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvel {

namespace {

struct Job {
    const RowRenderer& renderer;
    RowSink& sink;
    const RenderOptions& options;
    PixelRegion region;
    int rows;

    int rowAt(int sequence) const noexcept {
        return options.order == RowOrder::TopDown ? region.y0 + sequence : region.y1 - 1 - sequence;
    }
    size_t rowBytes() const noexcept { return static_cast<size_t>(region.x1 - region.x0) * 3; }
    bool cancelled() const noexcept {
        return options.cancel && options.cancel->load(std::memory_order_relaxed);
    }
    void render(int sequence, std::vector<uint8_t>& buffer) const noexcept {
        renderer.render(rowAt(sequence), region.x0, region.x1, buffer);
    }
    void reportProgress(int done) const {
        if (options.progress) {
            options.progress(done, rows);
        }
    }
};

PixelRegion clip(const Sampling& sampling, const PixelRegion* region) noexcept {
    PixelRegion r{0, 0, sampling.width(), sampling.height()};
    if (region) {
        r.x0 = std::max(region->x0, 0);
        r.y0 = std::max(region->y0, 0);
        r.x1 = std::min(region->x1, sampling.width());
        r.y1 = std::min(region->y1, sampling.height());
    }
    if (r.x1 <= r.x0 || r.y1 <= r.y0) {
        r = PixelRegion{};
    }
    return r;
}

RenderStatus renderInline(const Job& job) {
    std::vector<uint8_t> buffer(job.rowBytes());
    for (int s = 0; s < job.rows; ++s) {
        if (job.cancelled()) {
            return RenderStatus::Cancelled;
        }
        job.render(s, buffer);
        if (!job.sink.acceptRow(job.rowAt(s), buffer)) {
            return RenderStatus::Stopped;
        }
        job.reportProgress(s + 1);
    }
    return RenderStatus::Completed;
}

// Rows are claimed in sink order but never more than `band` rows ahead of the row the sink is
// waiting for; each finished row waits in its band slot until the sink has taken it. The thread
// that feeds the sink renders rows too while its next row is not ready, so no core idles
// waiting for the sink and no thread sleeps and wakes for every row.
class Band {
public:
    Band(const Job& job, int band) : mJob(job), mBand(band), mSlots(static_cast<size_t>(band)) {
        for (Slot& slot : mSlots) {
            slot.pixels.resize(job.rowBytes());
        }
    }

    void work() noexcept {
        for (;;) {
            int s;
            {
                std::unique_lock lock(mMutex);
                mSpace.wait(lock, [&] { return mStop || mNext >= mJob.rows || hasSpace(); });
                if (mStop || mNext >= mJob.rows || mJob.cancelled()) {
                    return;
                }
                s = mNext++;
            }
            renderInto(s);
            mFinished.notify_all();
        }
    }

    RenderStatus deliver() {
        for (int s = 0; s < mJob.rows; ++s) {
            Slot& slot = slotOf(s);
            if (!waitFor(slot)) {
                return RenderStatus::Cancelled;
            }
            if (!mJob.sink.acceptRow(mJob.rowAt(s), slot.pixels)) {
                return RenderStatus::Stopped;
            }
            {
                std::lock_guard lock(mMutex);
                slot.ready = false;
                mDelivered = s + 1;
            }
            mSpace.notify_all();
            mJob.reportProgress(s + 1);
        }
        return RenderStatus::Completed;
    }

    void stop() {
        {
            std::lock_guard lock(mMutex);
            mStop = true;
        }
        mSpace.notify_all();
    }

private:
    struct Slot {
        std::vector<uint8_t> pixels;
        bool ready = false;
    };

    Slot& slotOf(int sequence) { return mSlots[static_cast<size_t>(sequence % mBand)]; }

    bool hasSpace() const noexcept { return mNext < mDelivered + mBand; }

    void renderInto(int sequence) {
        Slot& slot = slotOf(sequence);
        mJob.render(sequence, slot.pixels);
        std::lock_guard lock(mMutex);
        slot.ready = true;
    }

    // Renders rows of its own until `slot` is ready. The cancel flag is set from outside
    // without waking anyone, so waiting happens in short steps.
    bool waitFor(Slot& slot) {
        std::unique_lock lock(mMutex);
        while (!slot.ready) {
            if (mJob.cancelled()) {
                return false;
            }
            if (mNext < mJob.rows && hasSpace()) {
                const int s = mNext++;
                lock.unlock();
                renderInto(s);
                lock.lock();
                continue;
            }
            mFinished.wait_for(lock, std::chrono::milliseconds(20));
        }
        return !mJob.cancelled();
    }

    const Job& mJob;
    const int mBand;
    std::vector<Slot> mSlots;
    std::mutex mMutex;
    std::condition_variable mSpace;
    std::condition_variable mFinished;
    int mNext = 0;
    int mDelivered = 0;
    bool mStop = false;
};

RenderStatus renderParallel(const Job& job, int threads) {
    // A few rows per thread keep every thread busy; the cap bounds memory for very wide images
    // and large thread counts (64 rows of 32767 pixels are 6 MB).
    const int band =
        job.options.bandRows > 0 ? job.options.bandRows : std::clamp(4 * threads, 16, 64);
    Band shared(job, band);
    std::vector<std::jthread> workers;
    workers.reserve(static_cast<size_t>(threads));
    struct StopOnExit {
        Band& band;
        std::vector<std::jthread>& workers;
        ~StopOnExit() {
            band.stop();
            workers.clear();  // joins
        }
    } guard{shared, workers};
    for (int t = 1; t < threads; ++t) {
        workers.emplace_back([&shared] { shared.work(); });
    }
    return shared.deliver();
}

}  // namespace

int effectiveThreads(int threads) noexcept {
    if (threads > 0) {
        return threads;
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

RenderStatus renderImage(TextureParams& record, const Sampling& sampling, RowSink& sink,
                         const RenderOptions& options) {
    initNoise();
    applyRenderWrites(record);
    const PixelRegion region = clip(sampling, options.region);
    const RowRenderer renderer(record, sampling, options.engine);
    const Job job{renderer, sink, options, region, region.y1 - region.y0};
    const int threads = std::min(effectiveThreads(options.threads), std::max(job.rows, 1));
    if (threads <= 1) {
        return renderInline(job);
    }
    return renderParallel(job, threads);
}

}  // namespace quorvel
