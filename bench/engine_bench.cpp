// Engine speed: evaluatePixel per material and relief on one thread; whole renders at
// 4096 x 2836 of every material's defaults and of Granite under each relief, on each engine
// path side by side, on 1 and 2 threads; seamless renders on 2 threads; the renderer's scaling
// with the thread count.
//
// Usage: engine_bench [--engine=all|auto|scalar|avx2|avx512] [benchmark options]
// --engine chooses the paths the renders run on: all (the default) runs the scalar path and
// every vector path the processor has, auto the widest of them.
#include "engine/defaults.h"
#include "engine/noise.h"
#include "engine/pixel.h"
#include "engine/renderer.h"
#include "engine/seamless.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace quorvel;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kLargeWidth = 4096;
constexpr int kLargeHeight = 2836;

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

// One thread, one evaluatePixel per pixel of a 320 x 240 image: the scalar reference's cost.
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

// The whole parallel renderer on one path, rows handed to a sink that keeps nothing.
void render(benchmark::State& state, TextureParams record, int width, int height, int threads,
            EnginePath path) {
    NullSink sink;
    RenderOptions options;
    options.threads = threads;
    options.engine = path;
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

void BM_GraniteRelief(benchmark::State& state) {
    evaluateImage(state, graniteWithRelief(static_cast<int>(state.range(0))));
    state.SetLabel(std::string(reliefName(static_cast<int>(state.range(0)))));
}
BENCHMARK(BM_GraniteRelief)->DenseRange(0, kReliefCount - 1)->Unit(benchmark::kMillisecond);

// The paths --engine asks for; false when it names none this processor runs.
bool choosePaths(std::string_view choice, std::vector<EnginePath>& paths) {
    if (choice == "all") {
        for (EnginePath p : {EnginePath::Scalar, EnginePath::Avx2, EnginePath::Avx512}) {
            if (engineSupports(p)) {
                paths.push_back(p);
            }
        }
        return true;
    }
    const std::optional<EnginePath> path = parseEnginePath(choice);
    if (!path || !engineSupports(*path)) {
        return false;
    }
    paths.push_back(*path == EnginePath::Auto ? widestEnginePath() : *path);
    return true;
}

// Names without spaces, for scripts: "Checker Texture" is CheckerTexture.
std::string nameOf(std::string_view text) {
    std::string name(text);
    std::erase(name, ' ');
    return name;
}

// Render/<what>/<path>/threads:<n>, real time, milliseconds per image.
void registerRenders(const std::vector<EnginePath>& paths) {
    const auto add = [](const std::string& name, TextureParams record, int width, int height,
                        EnginePath path, int threads) {
        benchmark::RegisterBenchmark(
            (name + "/" + std::string(enginePathName(path)) + "/threads:" + std::to_string(threads))
                .c_str(),
            [=](benchmark::State& state) { render(state, record, width, height, threads, path); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    for (int threads : {1, 2}) {
        for (EnginePath path : paths) {
            for (int m = 0; m < kMaterialCount; ++m) {
                add("Render/" + nameOf(materialName(m)), materialDefaults(m), kLargeWidth,
                    kLargeHeight, path, threads);
            }
            for (int relief = 0; relief < kReliefCount; ++relief) {
                add("Render/Granite+" + nameOf(reliefName(relief)), graniteWithRelief(relief),
                    kLargeWidth, kLargeHeight, path, threads);
            }
        }
    }
    // Seamless: the wrapping lattice (Marble, Granite with Bumps) and the cross-fades (Wood,
    // Granite with Waves).
    const auto seamless = [](TextureParams record) {
        setSeamless(record, true);
        return record;
    };
    const std::pair<std::string, TextureParams> tiled[] = {
        {"Marble", materialDefaults(static_cast<int>(MaterialType::Marble))},
        {"Granite+Bumps", graniteWithRelief(static_cast<int>(ReliefType::Bumps))},
        {"Wood", materialDefaults(static_cast<int>(MaterialType::Wood))},
        {"Granite+Waves", graniteWithRelief(static_cast<int>(ReliefType::Waves))}};
    for (EnginePath path : paths) {
        for (const auto& [name, record] : tiled) {
            add("Seamless/" + name, seamless(record), kLargeWidth, kLargeHeight, path, 2);
        }
    }
    // Scaling of the default Marble: compare threads 1 and 2 (and 4 where the machine has them).
    for (EnginePath path : paths) {
        for (int threads : {1, 2, 4}) {
            if (threads > 2 && effectiveThreads(0) < threads) {
                continue;
            }
            add("Scaling/Marble1024x709", newTexture(), 1024, 709, path, threads);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    initNoise();
    std::string_view choice = "all";
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--engine=", 9) == 0) {
            choice = argv[i] + 9;
        } else {
            rest.push_back(argv[i]);
        }
    }
    std::vector<EnginePath> paths;
    if (!choosePaths(choice, paths)) {
        std::fprintf(stderr,
                     "engine_bench: --engine takes all, auto, scalar, avx2 or avx512, and only "
                     "a path this processor runs\n");
        return 2;
    }
    registerRenders(paths);
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    if (benchmark::ReportUnrecognizedArguments(count, rest.data())) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
