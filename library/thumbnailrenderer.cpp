#include "library/thumbnailrenderer.h"

#include "engine/pixel.h"

#include <QThread>

#include <algorithm>

using quorvel::Sampling;
using quorvel::TextureParams;

namespace {

// Half the cores: the views render over every core at the same time.
int workerCount() { return std::max(1, QThread::idealThreadCount() / 2); }

}  // namespace

CThumbnailRenderer::CThumbnailRenderer(QObject* parent) : QObject(parent) {}

CThumbnailRenderer::~CThumbnailRenderer() {
    {
        std::lock_guard lock(mMutex);
        mJobs.clear();
        mStopping.store(true);
    }
    mWake.notify_all();
    // Joined before QObject's destructor runs, so no worker posts to a half-destroyed object;
    // deliveries already posted are discarded with it.
    for (std::thread& worker : mWorkers)
        worker.join();
}

void CThumbnailRenderer::request(uint64_t key, const TextureParams& record) {
    {
        std::lock_guard lock(mMutex);
        mJobs.push_back(Job{key, record});
        // Threads start on demand and stay for later requests.
        if (mWorkers.size() < static_cast<size_t>(workerCount()) && mWorkers.size() < mJobs.size())
            mWorkers.emplace_back([this] { work(); });
    }
    mWake.notify_one();
}

void CThumbnailRenderer::prioritise(const std::vector<uint64_t>& keys) {
    std::lock_guard lock(mMutex);
    auto front = mJobs.begin();
    for (uint64_t key : keys) {
        const auto found =
            std::find_if(front, mJobs.end(), [key](const Job& job) { return job.key == key; });
        if (found == mJobs.end())
            continue;
        std::rotate(front, found, found + 1);
        ++front;
    }
}

void CThumbnailRenderer::clear() {
    std::lock_guard lock(mMutex);
    mJobs.clear();
}

QImage CThumbnailRenderer::render(const TextureParams& record, const std::atomic<bool>* stop) {
    const Sampling sampling = Sampling::thumbnail();
    QImage image(sampling.width(), sampling.height(), QImage::Format_RGB32);
    std::vector<uint8_t> rgb(static_cast<size_t>(3 * sampling.width()));
    for (int y = 0; y < sampling.height(); ++y) {
        if (stop && stop->load())
            return {};
        quorvel::renderRow(record, sampling, y, rgb);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < sampling.width(); ++x) {
            const auto i = static_cast<size_t>(3 * x);
            line[x] = qRgb(rgb[i], rgb[i + 1], rgb[i + 2]);
        }
    }
    return image;
}

void CThumbnailRenderer::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mMutex);
            mWake.wait(lock, [this] { return mStopping.load() || !mJobs.empty(); });
            if (mStopping.load())
                return;
            job = std::move(mJobs.front());
            mJobs.pop_front();
        }
        QImage thumbnail = render(job.record, &mStopping);
        if (thumbnail.isNull())
            return;
        QMetaObject::invokeMethod(
            this, [this, key = job.key, thumbnail] { emit rendered(key, thumbnail); },
            Qt::QueuedConnection);
    }
}
