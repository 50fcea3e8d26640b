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
    const TextureParams& record;
    const Sampling& sampling;
    const MapRender* map;  // null for colour rows
    RowSink& sink;
    const RenderOptions& options;
    PixelRegion region;
    int rows;

    int rowAt(int sequence) const noexcept {
        return options.order == RowOrder::TopDown ? region.y0 + sequence : region.y1 - 1 - sequence;
    }
    size_t rowBytes() const noexcept {
        return static_cast<size_t>(region.x1 - region.x0) *
               static_cast<size_t>(map ? bytesPerPixel(map->pixels) : 3);
    }
    bool cancelled() const noexcept {
        return options.cancel && options.cancel->load(std::memory_order_relaxed);
    }
    void render(int sequence, std::vector<uint8_t>& buffer) const noexcept {
        if (map) {
            renderMapRow(record, sampling, *map, rowAt(sequence), region.x0, region.x1, buffer);
        } else {
            renderer.render(rowAt(sequence), region.x0, region.x1, buffer);
        }
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

// Rows are claimed in sink order, in groups of a few rows, but never more than `band` rows
// ahead of the row the sink is waiting for; each finished row waits in its band slot until the
// sink has taken it. A group is one claim and one wake-up, so the handover stays cheap however
// fast rows render. The thread that feeds the sink renders rows too while its next row is not
// ready, so no core idles waiting for the sink and no thread sleeps and wakes for every row.
class Band {
public:
    Band(const Job& job, int threads, int band, int group)
        : mJob(job), mThreads(threads), mBand(band), mGroup(group),
          mSlots(static_cast<size_t>(band)) {
        for (Slot& slot : mSlots) {
            slot.pixels.resize(job.rowBytes());
        }
    }

    void work() noexcept {
        for (;;) {
            int first, count;
            {
                std::unique_lock lock(mMutex);
                mSpace.wait(lock, [&] { return mStop || mNext >= mJob.rows || hasSpace(); });
                if (mStop || mNext >= mJob.rows || mJob.cancelled()) {
                    return;
                }
                claim(first, count);
            }
            renderInto(first, count);
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

    // Takes the next rows, as many as a group holds and the band has room for. Needs the lock.
    // Groups shrink towards the end, so that no thread is left with a long last group.
    void claim(int& first, int& count) noexcept {
        const int left = mJob.rows - mNext;
        first = mNext;
        count = std::min(
            {mGroup, std::max(left / (2 * mThreads), 1), left, mDelivered + mBand - mNext});
        mNext += count;
    }

    void renderInto(int first, int count) {
        for (int s = first; s < first + count; ++s) {
            mJob.render(s, slotOf(s).pixels);
        }
        std::lock_guard lock(mMutex);
        for (int s = first; s < first + count; ++s) {
            slotOf(s).ready = true;
        }
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
                int first, count;
                claim(first, count);
                lock.unlock();
                renderInto(first, count);
                lock.lock();
                continue;
            }
            mFinished.wait_for(lock, std::chrono::milliseconds(20));
        }
        return !mJob.cancelled();
    }

    const Job& mJob;
    const int mThreads;
    const int mBand;
    const int mGroup;
    std::vector<Slot> mSlots;
    std::mutex mMutex;
    std::condition_variable mSpace;
    std::condition_variable mFinished;
    int mNext = 0;
    int mDelivered = 0;
    bool mStop = false;
};

RenderStatus renderParallel(const Job& job, int threads) {
    // A group is about 16384 pixels and at most 8 rows, so that a claim costs little beside its
    // rows even on the vector paths. The band holds four groups per thread to keep every thread
    // busy: at least 16 rows, at most 12 MB of rows or 64 rows, whichever is more (64 rows of
    // 32767 pixels are 6 MB). A band the caller chooses bounds the group too.
    const int width = std::max(job.region.x1 - job.region.x0, 1);
    int group = std::clamp(16384 / width, 1, 8);
    int band = std::clamp(4 * threads * group, 16, std::max(64, 4 * threads));
    band = std::min<int64_t>(band, std::max<int64_t>(64, 12'582'912 / job.rowBytes()));
    if (job.options.bandRows > 0) {
        band = job.options.bandRows;
    }
    group = std::clamp(band / (2 * threads), 1, group);
    Band shared(job, threads, band, group);
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
    const MapRender* map =
        options.map && options.map->kind != MapKind::Colour ? options.map : nullptr;
    const Job job{renderer, record, sampling, map, sink, options, region, region.y1 - region.y0};
    const int threads = std::min(effectiveThreads(options.threads), std::max(job.rows, 1));
    if (threads <= 1) {
        return renderInline(job);
    }
    return renderParallel(job, threads);
}

}  // namespace quorvel
