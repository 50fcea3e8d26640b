#include "tests/engine/testrecords.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <numeric>
#include <thread>
#include <tuple>

namespace quorvel {
namespace {

using namespace test;

class RenderTest : public EngineTest {};

// A column range of row 3 writes its columns inside the image from its first byte on and leaves
// the rest alone; rows beyond the image are left alone entirely.
TEST_F(RenderTest, RenderRowWritesColumnRangesInsideTheImage) {
    TextureParams record = defaultsOf(Brick);
    record.reliefIntensity = 0.6f;
    const Sampling s = Sampling::image(40, 10);
    Bytes whole(120);
    renderRow(record, s, 3, whole);
    const std::tuple<int, int, int> rows[] = {{3, 5, 17},   {3, 37, 40}, {3, 0, 1},   {3, 30, 50},
                                              {3, -4, 9},   {3, -9, -2}, {-1, 0, 40}, {10, 0, 40},
                                              {1000, 0, 40}};  // row, x0, x1
    for (const auto& [j, x0, x1] : rows) {
        Bytes expected(3 * static_cast<size_t>(x1 - x0), 0xAB);
        for (int i = std::max(x0, 0); j == 3 && i < std::min(x1, 40); ++i) {
            std::copy_n(whole.begin() + 3 * i, 3, expected.begin() + 3 * (i - x0));
        }
        Bytes rgb(expected.size(), 0xAB);
        renderRow(record, s, j, x0, x1, rgb);
        EXPECT_EQ(rgb, expected) << "row " << j << ", " << x0 << " to " << x1;
    }
}

// Renders a 64 x 48 image, checking that each row holds renderRow's bytes (in the region's
// columns x0 to x1) and that rows and progress reports arrive on the caller's thread, report k
// being (k, total) right after row k. `onRow` (given the number of rows seen) may refuse a row.
struct Render : RowSink {
    Render(const TextureParams& r, int threads, RowOrder order) : record(r) {
        options.threads = threads;
        options.order = order;
        options.progress = [this](int done, int all) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(static_cast<size_t>(done), ++reports);
            EXPECT_TRUE(reports == rows.size() && (reports == 1 || total == all));
            total = all;
        };
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

    RenderStatus run() { return renderImage(record, sampling, *this, options); }

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

constexpr RowOrder kOrders[] = {RowOrder::TopDown, RowOrder::BottomUp};

std::vector<int> rowsInOrder(int y0, int y1, RowOrder order) {
    std::vector<int> rows(static_cast<size_t>(std::max(y1 - y0, 0)));
    std::iota(rows.begin(), rows.end(), y0);
    if (order == RowOrder::BottomUp) {
        std::reverse(rows.begin(), rows.end());
    }
    return rows;
}

// Whatever the threads, band, order and region, a render delivers the rows of the image clipped
// to the region (none for an empty one) in the order asked for, each holding renderRow's bytes.
// Brick's one write to a record, its mortar width, stays visible in the caller's record.
TEST_F(RenderTest, RowsDoNotDependOnThreadsBandOrderOrRegion) {
    const std::tuple<MaterialType, ReliefType, float> records[] = {
        {Marble, Waves, 0}, {Brick, Waves, 0.6f}, {Wood, Bumps, 1.5f}, {Agate, Ripples, 0.4f}};
    const std::pair<int, int> threadsAndBand[] = {{1, 0}, {2, 1}, {3, 2}, {8, 0}, {4, 1}};
    const int regions[][8] = {// region x0, y0, x1, y1 (none for the first), then as clipped
                              {0, 0, 0, 0, 0, 0, 64, 48},     {10, 5, 30, 20, 10, 5, 30, 20},
                              {-5, -5, 10, 10, 0, 0, 10, 10}, {50, 40, 99, 99, 50, 40, 64, 48},
                              {10, 10, 10, 20, 0, 0, 0, 0},   {70, 0, 90, 10, 0, 0, 0, 0},
                              {0, 30, 64, 20, 0, 0, 0, 0}};
    size_t k = 0;
    for (const auto& [material, relief, intensity] : records) {
        for (const auto& [threads, band] : threadsAndBand) {
            for (RowOrder order : kOrders) {
                const int* r = regions[k++ % std::size(regions)];
                const PixelRegion region{r[0], r[1], r[2], r[3]};
                Render render(defaultsOf(material), threads, order);
                render.record.relief = static_cast<int8_t>(relief);
                render.record.reliefIntensity = intensity;
                render.record.mortarWidth = 0.3f;
                render.options.bandRows = band;
                render.options.region = r[2] == 0 ? nullptr : &region;
                render.x0 = r[4];
                render.x1 = r[6];
                EXPECT_EQ(render.run(), RenderStatus::Completed);
                EXPECT_EQ(render.rows, rowsInOrder(r[5], r[7], order)) << threads << " threads";
                EXPECT_TRUE(render.reports == render.rows.size() &&
                            (render.rows.empty() || render.total == r[7] - r[5]));
                EXPECT_EQ(render.record.mortarWidth, material == Brick ? 0.05f : 0.3f);
            }
        }
    }
    EXPECT_TRUE(effectiveThreads(3) == 3 && effectiveThreads(1) == 1 && effectiveThreads(0) >= 1);
    EXPECT_EQ(effectiveThreads(-2), effectiveThreads(0));
}

// Cancelling before the start delivers nothing; cancelling after k rows delivers a prefix of at
// most one more row. A refused row stops the render without a progress report.
TEST_F(RenderTest, CancelAndRefusalStopPromptly) {
    TextureParams record = defaultsOf(Granite);
    record.relief = static_cast<int8_t>(Dents);
    record.reliefIntensity = 0.5f;
    for (RowOrder order : kOrders) {
        for (int threads : {1, 4}) {
            const std::vector<int> all = rowsInOrder(0, 48, order);
            for (int k : {0, 1, 5}) {
                std::atomic<bool> cancel{k == 0};
                Render render(record, threads, order);
                render.options.cancel = &cancel;
                render.onRow = [&](int seen) {
                    if (seen == k) {  // and let the workers finish the rows they hold
                        cancel = true;
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    }
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

}  // namespace
}  // namespace quorvel
