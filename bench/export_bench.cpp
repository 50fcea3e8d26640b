// Export speed per format: the default Marble rendered and written through each encoder,
// in megapixels per second, with every core rendering.
#include "engine/defaults.h"
#include "files/imageexport.h"
#include "files/mapexport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using namespace quorvel;

void BM_Export(benchmark::State& state) {
    const auto format = static_cast<ExportFormat>(state.range(0));
    const int width = 2048;
    const int height = 1418;
    const std::string path = "/tmp/quorvel-export-bench-" + std::to_string(::getpid()) + "." +
                             std::string(extensionOf(format));
    TextureParams record = newTexture();
    int64_t pixels = 0;
    for (auto _ : state) {
        const ExportResult result =
            exportImage(path, format, record, Sampling::image(width, height));
        if (!result.ok()) {
            state.SkipWithError(result.status.message.c_str());
            break;
        }
        pixels += static_cast<int64_t>(width) * height;
    }
    std::remove(path.c_str());
    state.SetLabel(std::string(extensionOf(format)));
    state.counters["Mpix/s"] =
        benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Export)
    ->Arg(static_cast<int>(ExportFormat::Targa))
    ->Arg(static_cast<int>(ExportFormat::Bitmap))
    ->Arg(static_cast<int>(ExportFormat::Jpeg))
    ->Arg(static_cast<int>(ExportFormat::Png))
    ->Arg(static_cast<int>(ExportFormat::Ppm))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Each map of the default Marble with Bumps as PNG: normal maps evaluate every sample's relief
// on the scalar path, height maps twice (their range, then their values).
void BM_ExportMap(benchmark::State& state) {
    const auto kind = static_cast<MapKind>(state.range(0));
    const int width = 1024;
    const int height = 709;
    const std::string path = "/tmp/quorvel-map-bench-" + std::to_string(::getpid()) + ".png";
    TextureParams record = newTexture();
    record.relief = 2;
    record.reliefIntensity = 1.0f;
    int64_t pixels = 0;
    for (auto _ : state) {
        const ExportResult result = exportMap(path, ExportFormat::Png, kind, record,
                                              Sampling::image(width, height), MapSettings{});
        if (!result.ok()) {
            state.SkipWithError(result.status.message.c_str());
            break;
        }
        pixels += static_cast<int64_t>(width) * height;
    }
    std::remove(path.c_str());
    state.SetLabel(std::string(mapName(kind)));
    state.counters["Mpix/s"] =
        benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportMap)
    ->Arg(static_cast<int>(MapKind::Colour))
    ->Arg(static_cast<int>(MapKind::Normal))
    ->Arg(static_cast<int>(MapKind::Height))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
