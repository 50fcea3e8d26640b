// Export speed per format: the default Marble rendered and written through each encoder,
// in megapixels per second, with every core rendering.
#include "engine/defaults.h"
#include "files/imageexport.h"

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

}  // namespace

BENCHMARK_MAIN();
