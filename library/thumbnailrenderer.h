#pragma once

#include "engine/textureparams.h"

#include <QImage>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Renders library thumbnails (50 x 39 pixels) on worker threads, so that a large library never
// freezes the window. Each finished thumbnail is delivered on the thread that owns the renderer
// through rendered(); keys are the caller's and come back unchanged. Destroying the renderer
// drops the waiting requests and waits for the ones being rendered (each stops between rows).
class CThumbnailRenderer : public QObject {
    Q_OBJECT

public:
    explicit CThumbnailRenderer(QObject* parent = nullptr);
    ~CThumbnailRenderer() override;

    // Queues a thumbnail of `record` (copied). Requests are served in order, except for those
    // moved ahead by prioritise().
    void request(uint64_t key, const quorvel::TextureParams& record);
    // Moves the waiting requests for `keys` ahead of the others, in the order given.
    void prioritise(const std::vector<uint64_t>& keys);
    // Drops every waiting request; thumbnails already being rendered still arrive.
    void clear();

    // The thumbnail of `record`, rendered on the calling thread. The engine's write (Brick's
    // mortar width) must already be applied to the record. A set `stop` ends the render between
    // rows and gives a null image.
    static QImage render(const quorvel::TextureParams& record,
                         const std::atomic<bool>* stop = nullptr);

signals:
    void rendered(uint64_t key, const QImage& thumbnail);

private:
    struct Job {
        uint64_t key = 0;
        quorvel::TextureParams record;
    };

    void work();

    std::mutex mMutex;
    std::condition_variable mWake;
    std::deque<Job> mJobs;
    std::vector<std::thread> mWorkers;
    std::atomic<bool> mStopping{false};
};
