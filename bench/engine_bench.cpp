// Engine speed in megapixels per second: evaluatePixel for every material's defaults and for
// Granite under each relief, on one thread and on every core, and the parallel renderer's
// scaling with the thread count.
#include "engine/defaults.h"
#include "engine/noise.h"
#include "engine/pixel.h"
#include "engine/renderer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace quorvel;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

class NullSink final : public RowSink {
public:
    bool acceptRow(int, std::span<const uint8_t> rgb) override {
        benchmark::DoNotOptimize(rgb.data());
        return true;
    }
};

TextureParams graniteWithRelief(int relief) {
    TextureParams record = materialDefaults(static_cast<int>(MaterialType::Granite));
    record.relief = static_cast<int8_t>(relief);
    record.reliefIntensity = 1.0f;
    return record;
}

void setRate(benchmark::State& state, int64_t pixels) {
    state.counters["Mpix/s"] =
        benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
}

// One thread, one evaluatePixel per pixel of a 320 x 240 image.
void evaluateImage(benchmark::State& state, const TextureParams& record) {
    initNoise();
    const Sampling sampling = Sampling::image(kWidth, kHeight);
    int64_t pixels = 0;
    for (auto _ : state) {
        for (int j = 0; j < kHeight; ++j) {
            const float py = sampling.y(j);
            for (int i = 0; i < kWidth; ++i) {
                Colour colour;
                evaluatePixel(sampling.x(i), py, record, colour);
                benchmark::DoNotOptimize(colour);
            }
        }
        pixels += kWidth * kHeight;
    }
    setRate(state, pixels);
}

// The whole parallel renderer, rows handed to a sink that keeps nothing.
void renderWithThreads(benchmark::State& state, TextureParams record, int width, int height,
                       int threads) {
    NullSink sink;
    RenderOptions options;
    options.threads = threads;
    int64_t pixels = 0;
    for (auto _ : state) {
        renderImage(record, Sampling::image(width, height), sink, options);
        pixels += static_cast<int64_t>(width) * height;
    }
    setRate(state, pixels);
}

void BM_Material(benchmark::State& state) {
    evaluateImage(state, materialDefaults(static_cast<int>(state.range(0))));
    state.SetLabel(std::string(materialName(static_cast<int>(state.range(0)))));
}
BENCHMARK(BM_Material)->DenseRange(0, kMaterialCount - 1)->Unit(benchmark::kMillisecond);

void BM_MaterialAllCores(benchmark::State& state) {
    renderWithThreads(state, materialDefaults(static_cast<int>(state.range(0))), kWidth, kHeight,
                      effectiveThreads(0));
    state.SetLabel(std::string(materialName(static_cast<int>(state.range(0)))));
}
BENCHMARK(BM_MaterialAllCores)
    ->DenseRange(0, kMaterialCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_GraniteRelief(benchmark::State& state) {
    evaluateImage(state, graniteWithRelief(static_cast<int>(state.range(0))));
    state.SetLabel(std::string(reliefName(static_cast<int>(state.range(0)))));
}
BENCHMARK(BM_GraniteRelief)->DenseRange(0, kReliefCount - 1)->Unit(benchmark::kMillisecond);

void BM_GraniteReliefAllCores(benchmark::State& state) {
    renderWithThreads(state, graniteWithRelief(static_cast<int>(state.range(0))), kWidth, kHeight,
                      effectiveThreads(0));
    state.SetLabel(std::string(reliefName(static_cast<int>(state.range(0)))));
}
BENCHMARK(BM_GraniteReliefAllCores)
    ->DenseRange(0, kReliefCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Scaling of the default Marble at a large size: compare threads 1 and 2 (and more where the
// machine has them).
void BM_ParallelScaling(benchmark::State& state) {
    renderWithThreads(state, newTexture(), 1024, 709, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ParallelScaling)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
