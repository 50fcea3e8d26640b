#include "engine/renderer.h"

#include "tests/engine/testrecords.h"

#include <atomic>
#include <functional>
#include <numeric>
#include <thread>

namespace quorvel {
namespace {

using namespace test;
using enum MaterialType;
using enum ReliefType;

constexpr RowOrder kOrders[] = {RowOrder::TopDown, RowOrder::BottomUp};

// Renders `record` and checks, for every render, that each row holds the bytes renderRow makes
// for it (in the region's columns x0 to x1), and that rows and progress reports arrive on the
// caller's thread, report k being (k, total) right after row k. `onRow` (given the number of
// rows seen) may refuse a row.
struct Render : RowSink {
    Render(const TextureParams& r, int threads, RowOrder order = RowOrder::TopDown) : record(r) {
        options.threads = threads;
        options.order = order;
    }

    RenderStatus run() {
        options.progress = [this](int done, int all) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(static_cast<size_t>(done), ++reports);
            EXPECT_TRUE(reports == rows.size() && (reports == 1 || total == all));
            total = all;
        };
        return renderImage(record, sampling, *this, options);
    }

    bool acceptRow(int row, std::span<const uint8_t> rgb) override {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        EXPECT_EQ(reports, rows.size()) << "row " << row << " came before a progress report";
        Bytes expected(3 * static_cast<size_t>(sampling.width()));
        renderRow(record, sampling, row, expected);
        EXPECT_EQ(Bytes(rgb.begin(), rgb.end()),
                  Bytes(expected.begin() + 3 * x0, expected.begin() + 3 * x1))
            << "row " << row;
        rows.push_back(row);
        return onRow ? onRow(static_cast<int>(rows.size())) : true;
    }

    TextureParams record;
    Sampling sampling = Sampling::image(64, 48);
    int x0 = 0, x1 = 64;
    RenderOptions options;
    std::function<bool(int)> onRow;
    std::thread::id caller = std::this_thread::get_id();
    std::vector<int> rows;
    size_t reports = 0;
    int total = 0;
};

// Rows y0 to y1 - 1 in the order asked for.
std::vector<int> rowsInOrder(int y0, int y1, RowOrder order) {
    std::vector<int> rows(static_cast<size_t>(std::max(y1 - y0, 0)));
    std::iota(rows.begin(), rows.end(), y0);
    if (order == RowOrder::BottomUp) {
        std::reverse(rows.begin(), rows.end());
    }
    return rows;
}

TextureParams withRelief(MaterialType material, ReliefType relief, float intensity) {
    TextureParams record = materialDefaults(static_cast<int>(material));
    record.relief = static_cast<int8_t>(relief);
    record.reliefIntensity = intensity;
    return record;
}

class RendererTest : public EngineTest {};

TEST_F(RendererTest, BytesDoNotDependOnThreadsBandOrOrder) {
    const TextureParams records[] = {
        withRelief(Marble, Waves, 0),           withRelief(Brick, Waves, 0.6f),
        withRelief(CheckerTexture, Waves, 0),   withRelief(Wood, Bumps, 1.5f),
        withRelief(Stains, InverseDents, 0.3f), withRelief(Agate, Ripples, 0.4f)};
    const std::pair<int, int> threadsAndBand[] = {{1, 0}, {2, 1}, {3, 2}, {8, 0}, {4, 1}};
    for (const TextureParams& record : records) {
        for (const auto& [threads, band] : threadsAndBand) {
            for (RowOrder order : kOrders) {
                Render render(record, threads, order);
                render.options.bandRows = band;
                EXPECT_EQ(render.run(), RenderStatus::Completed);
                EXPECT_EQ(render.rows, rowsInOrder(0, 48, order)) << threads << " threads";
                EXPECT_TRUE(render.reports == 48 && render.total == 48);
            }
        }
    }
}

// Cancelling before the start delivers nothing; cancelling after k rows delivers a prefix of at
// most one more row. A refused row stops the render without a progress report.
TEST_F(RendererTest, CancelAndRefusalStopPromptly) {
    const TextureParams record = withRelief(Granite, Dents, 0.5f);
    for (RowOrder order : kOrders) {
        for (int threads : {1, 4}) {
            const std::vector<int> all = rowsInOrder(0, 48, order);
            for (int k : {0, 1, 5}) {
                std::atomic<bool> cancel{k == 0};
                Render render(record, threads, order);
                render.options.cancel = &cancel;
                render.onRow = [&](int seen) {
                    cancel = cancel || seen == k;
                    return true;
                };
                EXPECT_EQ(render.run(), RenderStatus::Cancelled);
                const size_t seen = render.rows.size();
                EXPECT_TRUE(seen >= static_cast<size_t>(k) && seen <= (k == 0 ? 0u : k + 1u));
                EXPECT_TRUE(std::equal(render.rows.begin(), render.rows.end(), all.begin()));
            }
            Render refused(record, threads, order);
            refused.onRow = [](int seen) { return seen < 3; };
            EXPECT_EQ(refused.run(), RenderStatus::Stopped);
            EXPECT_EQ(refused.rows, std::vector<int>(all.begin(), all.begin() + 3));
            EXPECT_EQ(refused.reports, 2u);
        }
    }
}

// A region renders the matching part of the image, clipped to it; an empty region or image
// renders nothing and reports no progress.
TEST_F(RendererTest, RegionRendersTheMatchingSubRectangle) {
    const PixelRegion rows[][2] = {{{10, 5, 30, 20}, {10, 5, 30, 20}},
                                   {{-5, -5, 10, 10}, {0, 0, 10, 10}},
                                   {{50, 40, 100, 100}, {50, 40, 64, 48}},
                                   {{10, 10, 10, 20}, {}},
                                   {{70, 0, 90, 10}, {}},
                                   {{0, 30, 64, 20}, {}}};  // {region, clipped}
    const TextureParams record = withRelief(Brick, Waves, 0.6f);
    for (const auto& [region, clipped] : rows) {
        for (int k = 0; k < 4; ++k) {
            Render render(record, 1 + 2 * (k / 2), kOrders[k % 2]);
            render.options.region = &region;
            render.x0 = clipped.x0;
            render.x1 = clipped.x1;
            EXPECT_EQ(render.run(), RenderStatus::Completed);
            EXPECT_EQ(render.rows, rowsInOrder(clipped.y0, clipped.y1, kOrders[k % 2]));
            EXPECT_TRUE(render.rows.empty() || render.total == clipped.y1 - clipped.y0);
        }
    }
    for (const auto& [w, h] : {std::pair{0, 48}, {64, 0}, {-3, -3}, {-5, 10}}) {
        Render render(record, 4);
        render.sampling = Sampling::image(w, h);
        EXPECT_EQ(render.run(), RenderStatus::Completed);
        EXPECT_TRUE(render.rows.empty());
    }
}

// The engine's one write to a record stays visible in the caller's record.
TEST_F(RendererTest, BrickLeavesItsMortarWidthInTheCallersRecord) {
    for (int threads : {1, 2}) {
        Render brick(withRelief(Brick, Waves, 0), threads);
        Render marble(withRelief(Marble, Waves, 0), threads);
        marble.record.mortarWidth = 0.3f;
        ASSERT_EQ(brick.record.mortarWidth, 0.0f);
        brick.run();
        marble.run();
        EXPECT_EQ(brick.record.mortarWidth, 0.05f);
        EXPECT_EQ(marble.record.mortarWidth, 0.3f);
    }
    EXPECT_TRUE(effectiveThreads(3) == 3 && effectiveThreads(1) == 1 && effectiveThreads(0) >= 1);
    EXPECT_EQ(effectiveThreads(-2), effectiveThreads(0));
}

}  // namespace
}  // namespace quorvel
