#include "engine/renderer.h"

#include "engine/defaults.h"
#include "engine/noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

using Bytes = std::vector<uint8_t>;

// Keeps every row it is handed; `onRow` (given the number of rows seen so far) may refuse one.
class CollectingSink : public RowSink {
public:
    bool acceptRow(int row, std::span<const uint8_t> rgb) override {
        if (std::this_thread::get_id() != mCaller) {
            offThread = true;
        }
        rows.push_back(row);
        pixels.emplace_back(rgb.begin(), rgb.end());
        return onRow ? onRow(static_cast<int>(rows.size())) : true;
    }

    std::vector<int> rows;
    std::vector<Bytes> pixels;
    std::function<bool(int)> onRow;
    bool offThread = false;

private:
    std::thread::id mCaller = std::this_thread::get_id();
};

std::vector<int> sequence(int first, int last) { // inclusive, either direction
    std::vector<int> rows;
    const int step = first <= last ? 1 : -1;
    for (int r = first; r != last + step; r += step) {
        rows.push_back(r);
    }
    return rows;
}

// The rows as renderRow makes them one at a time, without the renderer.
std::vector<Bytes> referenceRows(const TextureParams& record, const Sampling& s) {
    std::vector<Bytes> rows;
    for (int j = 0; j < s.height(); ++j) {
        Bytes rgb(3 * static_cast<size_t>(s.width()));
        renderRow(record, s, j, rgb);
        rows.push_back(std::move(rgb));
    }
    return rows;
}

TextureParams withRelief(MaterialType material, ReliefType relief, float intensity) {
    TextureParams record = materialDefaults(static_cast<int>(material));
    record.relief = static_cast<int8_t>(relief);
    record.reliefIntensity = intensity;
    return record;
}

std::vector<TextureParams> sampleRecords() {
    return {
        materialDefaults(static_cast<int>(MaterialType::Marble)),
        withRelief(MaterialType::Brick, ReliefType::Waves, 0.6f),
        materialDefaults(static_cast<int>(MaterialType::CheckerTexture)),
        withRelief(MaterialType::Wood, ReliefType::Bumps, 1.5f),
        withRelief(MaterialType::Stains, ReliefType::InverseDents, 0.3f),
        materialDefaults(static_cast<int>(MaterialType::Agate)),
    };
}

class RendererTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initNoise(); }
    const Sampling mSampling = Sampling::image(64, 48);
};

TEST_F(RendererTest, BytesDoNotDependOnTheThreadCount) {
    for (TextureParams record : sampleRecords()) {
        SCOPED_TRACE(materialName(record.material));
        applyRenderWrites(record);
        const std::vector<Bytes> expected = referenceRows(record, mSampling);
        for (int threads : {1, 2, 3, 8}) {
            CollectingSink sink;
            RenderOptions options;
            options.threads = threads;
            ASSERT_EQ(renderImage(record, mSampling, sink, options), RenderStatus::Completed);
            EXPECT_EQ(sink.rows, sequence(0, 47)) << threads << " threads";
            EXPECT_EQ(sink.pixels, expected) << threads << " threads";
            EXPECT_FALSE(sink.offThread);
        }
    }
}

TEST_F(RendererTest, RowsArriveInTheRequestedOrder) {
    TextureParams record = withRelief(MaterialType::Brick, ReliefType::Ripples, 0.4f);
    for (RowOrder order : {RowOrder::TopDown, RowOrder::BottomUp}) {
        for (int threads : {1, 4}) {
            for (int band : {0, 1, 2}) {
                CollectingSink sink;
                RenderOptions options;
                options.threads = threads;
                options.bandRows = band;
                options.order = order;
                ASSERT_EQ(renderImage(record, mSampling, sink, options), RenderStatus::Completed);
                EXPECT_EQ(sink.rows, order == RowOrder::TopDown ? sequence(0, 47) : sequence(47, 0))
                    << threads << " threads, band " << band;
                EXPECT_FALSE(sink.offThread);
            }
        }
    }
}

TEST_F(RendererTest, ProgressCountsDeliveredRows) {
    TextureParams record = materialDefaults(1);
    const PixelRegion region{0, 10, 64, 30};
    for (const PixelRegion* r : {static_cast<const PixelRegion*>(nullptr), &region}) {
        const int rows = r ? 20 : 48;
        for (int threads : {1, 4}) {
            std::vector<std::pair<int, int>> reports;
            CollectingSink sink;
            sink.onRow = [&](int seen) {
                // The report for a row comes after the sink has taken it.
                EXPECT_EQ(static_cast<int>(reports.size()), seen - 1);
                return true;
            };
            RenderOptions options;
            options.threads = threads;
            options.region = r;
            const std::thread::id caller = std::this_thread::get_id();
            options.progress = [&](int done, int total) {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                reports.emplace_back(done, total);
            };
            ASSERT_EQ(renderImage(record, mSampling, sink, options), RenderStatus::Completed);
            ASSERT_EQ(static_cast<int>(reports.size()), rows);
            for (int k = 0; k < rows; ++k) {
                EXPECT_EQ(reports[static_cast<size_t>(k)], std::make_pair(k + 1, rows));
            }
        }
    }
}

TEST_F(RendererTest, CancellingFromTheSinkStopsPromptly) {
    TextureParams record = withRelief(MaterialType::Granite, ReliefType::Dents, 0.5f);
    for (RowOrder order : {RowOrder::TopDown, RowOrder::BottomUp}) {
        for (int threads : {1, 4}) {
            for (int k : {1, 5}) {
                std::atomic<bool> cancel{false};
                CollectingSink sink;
                sink.onRow = [&](int seen) {
                    if (seen == k) {
                        cancel = true;
                    }
                    return true;
                };
                RenderOptions options;
                options.threads = threads;
                options.order = order;
                options.cancel = &cancel;
                EXPECT_EQ(renderImage(record, mSampling, sink, options), RenderStatus::Cancelled);
                ASSERT_GE(sink.rows.size(), static_cast<size_t>(k));
                ASSERT_LE(sink.rows.size(), static_cast<size_t>(k + 1));
                const std::vector<int> all =
                    order == RowOrder::TopDown ? sequence(0, 47) : sequence(47, 0);
                EXPECT_TRUE(std::equal(sink.rows.begin(), sink.rows.end(), all.begin()))
                    << "the rows seen are not a prefix";
            }
        }
    }
}

TEST_F(RendererTest, CancelledBeforeTheStartDeliversNothing) {
    TextureParams record = materialDefaults(1);
    const std::atomic<bool> cancel{true};
    for (int threads : {1, 4}) {
        CollectingSink sink;
        RenderOptions options;
        options.threads = threads;
        options.cancel = &cancel;
        EXPECT_EQ(renderImage(record, mSampling, sink, options), RenderStatus::Cancelled);
        EXPECT_TRUE(sink.rows.empty());
    }
}

TEST_F(RendererTest, RefusedRowStopsTheRender) {
    TextureParams record = materialDefaults(1);
    for (int threads : {1, 4}) {
        int lastProgress = 0;
        CollectingSink sink;
        sink.onRow = [](int seen) { return seen < 3; };
        RenderOptions options;
        options.threads = threads;
        options.progress = [&](int done, int) { lastProgress = done; };
        EXPECT_EQ(renderImage(record, mSampling, sink, options), RenderStatus::Stopped);
        EXPECT_EQ(sink.rows, sequence(0, 2)) << threads << " threads";
        EXPECT_EQ(lastProgress, 2);
    }
}

TEST_F(RendererTest, RegionRendersTheMatchingSubRectangle) {
    TextureParams record = withRelief(MaterialType::Brick, ReliefType::Waves, 0.6f);
    applyRenderWrites(record);
    const std::vector<Bytes> whole = referenceRows(record, mSampling);
    const struct {
        PixelRegion region;
        PixelRegion clipped;
    } rows[] = {
        {{10, 5, 30, 20}, {10, 5, 30, 20}},
        {{-5, -5, 10, 10}, {0, 0, 10, 10}},
        {{50, 40, 100, 100}, {50, 40, 64, 48}},
    };
    for (const auto& row : rows) {
        const PixelRegion& c = row.clipped;
        for (RowOrder order : {RowOrder::TopDown, RowOrder::BottomUp}) {
            for (int threads : {1, 3}) {
                CollectingSink sink;
                RenderOptions options;
                options.threads = threads;
                options.order = order;
                options.region = &row.region;
                ASSERT_EQ(renderImage(record, mSampling, sink, options), RenderStatus::Completed);
                EXPECT_EQ(sink.rows, order == RowOrder::TopDown ? sequence(c.y0, c.y1 - 1)
                                                                : sequence(c.y1 - 1, c.y0));
                for (size_t k = 0; k < sink.rows.size(); ++k) {
                    const Bytes& full = whole[static_cast<size_t>(sink.rows[k])];
                    const Bytes expected(full.begin() + 3 * c.x0, full.begin() + 3 * c.x1);
                    EXPECT_EQ(sink.pixels[k], expected) << "row " << sink.rows[k];
                }
            }
        }
    }
}

TEST_F(RendererTest, EmptyImagesAndRegionsRenderNothing) {
    TextureParams record = materialDefaults(1);
    const PixelRegion empty[] = {{10, 10, 10, 20}, {70, 0, 90, 10}, {0, 30, 64, 20}};
    std::vector<std::pair<Sampling, const PixelRegion*>> cases = {
        {Sampling::image(0, 48), nullptr},
        {Sampling::image(64, 0), nullptr},
        {Sampling::image(-3, -3), nullptr},
        {Sampling::image(-5, 10), nullptr},
    };
    for (const PixelRegion& r : empty) {
        cases.emplace_back(mSampling, &r);
    }
    for (const auto& [sampling, region] : cases) {
        for (int threads : {1, 4}) {
            CollectingSink sink;
            int reports = 0;
            RenderOptions options;
            options.threads = threads;
            options.region = region;
            options.progress = [&](int, int) { ++reports; };
            EXPECT_EQ(renderImage(record, sampling, sink, options), RenderStatus::Completed);
            EXPECT_TRUE(sink.rows.empty());
            EXPECT_EQ(reports, 0);
        }
    }
}

TEST_F(RendererTest, BrickLeavesItsMortarWidthInTheCallersRecord) {
    const Sampling tiny = Sampling::image(8, 4);
    for (int threads : {1, 2}) {
        TextureParams brick = materialDefaults(static_cast<int>(MaterialType::Brick));
        ASSERT_EQ(brick.mortarWidth, 0.0f);
        CollectingSink sink;
        RenderOptions options;
        options.threads = threads;
        renderImage(brick, tiny, sink, options);
        EXPECT_EQ(brick.mortarWidth, 0.05f);

        TextureParams marble = materialDefaults(static_cast<int>(MaterialType::Marble));
        marble.mortarWidth = 0.3f;
        renderImage(marble, tiny, sink, options);
        EXPECT_EQ(marble.mortarWidth, 0.3f);
    }
}

TEST_F(RendererTest, EffectiveThreads) {
    EXPECT_EQ(effectiveThreads(3), 3);
    EXPECT_EQ(effectiveThreads(1), 1);
    EXPECT_GE(effectiveThreads(0), 1);
    EXPECT_EQ(effectiveThreads(-2), effectiveThreads(0));
}

} // namespace
} // namespace quorvel
