#include "tools/samples/samples.h"

#include "engine/numeric.h"
#include "files/texturedocument.h"
#include "tools/samples/colourramp.h"
#include "tools/samples/samplebuilder.h"

namespace quorvel {

namespace {

using M = MaterialType;
using R = ReliefType;

// Veins only where the wave peaks, so most of the slab stays white.
Sample whiteMarble() {
    return SampleBuilder(M::Marble, "white-marble.qvl")
        .detail(6)
        .turbulence(90)
        .scale(20, 20)
        .colours(rampMap({{0.0f, 0.95f, 0.94f, 0.92f},
                          {0.6f, 0.9f, 0.89f, 0.87f},
                          {0.8f, 0.7f, 0.7f, 0.72f},
                          {0.92f, 0.35f, 0.35f, 0.4f},
                          {1.0f, 0.2f, 0.2f, 0.25f}}))
        .build();
}

// Noise values gather around 0.5: below it blue sky, above it warm cloud.
Sample sunsetSky() {
    return SampleBuilder(M::Sky, "sunset-sky.qvl")
        .detail(5)
        .turbulence(50)
        .scale(30, 60)
        .colours(rampMap({{0.0f, 0.45f, 0.2f, 0.45f},
                          {0.35f, 0.9f, 0.45f, 0.3f},
                          {0.6f, 1.0f, 0.75f, 0.45f},
                          {0.8f, 1.0f, 0.95f, 0.8f}}))
        .build();
}

// A wide x scale stretches the rings into long grain; dark only near the top of the wave.
Sample warmWood() {
    return SampleBuilder(M::Wood, "warm-wood.qvl")
        .detail(4)
        .turbulence(15)
        .scale(100, 20)
        .colours(rampMap({{0.0f, 0.85f, 0.6f, 0.34f},
                          {0.55f, 0.78f, 0.52f, 0.28f},
                          {0.8f, 0.66f, 0.4f, 0.2f},
                          {0.92f, 0.45f, 0.24f, 0.1f},
                          {1.0f, 0.38f, 0.19f, 0.08f}}))
        .build();
}

Sample beatenGold() {
    return SampleBuilder(M::Reflection, "beaten-gold.qvl")
        .detail(3)
        .scale(30, 30)
        .colours(rampMap({{0.0f, 0.4f, 0.25f, 0.05f},
                          {0.3f, 0.95f, 0.8f, 0.4f},
                          {0.45f, 0.6f, 0.4f, 0.1f},
                          {0.55f, 1.0f, 0.9f, 0.55f},
                          {0.7f, 0.7f, 0.5f, 0.15f},
                          {1.0f, 0.45f, 0.3f, 0.08f}}))
        .relief(R::Dents, 20, 80, 80)
        .reflection(255, 230, 150, 150.0f)
        .build();
}

// Alternating light and dark stops give the banding; the values crowd towards 1.
Sample agate() {
    return SampleBuilder(M::Agate, "agate.qvl")
        .detail(4)
        .turbulence(50)
        .scale(15, 15)
        .colours(rampMap({{0.0f, 0.45f, 0.15f, 0.08f},
                          {0.15f, 0.95f, 0.88f, 0.75f},
                          {0.3f, 0.85f, 0.45f, 0.2f},
                          {0.45f, 0.98f, 0.95f, 0.9f},
                          {0.6f, 0.7f, 0.3f, 0.15f},
                          {0.72f, 0.9f, 0.7f, 0.5f},
                          {0.85f, 0.55f, 0.2f, 0.1f},
                          {1.0f, 0.98f, 0.9f, 0.8f}}))
        .build();
}

// The y axis alone, scaled below 1, keeps the ramp from wrapping at the bottom edge.
Sample seaWaves() {
    return SampleBuilder(M::Gradient, "sea-waves.qvl")
        .detail(3)
        .turbulence(10)
        .scale(10, 8)
        .gradientAxes(false, true, false)
        .colours(rampMap({{0.0f, 0.4f, 0.75f, 0.85f}, {1.0f, 0.02f, 0.15f, 0.35f}}))
        .relief(R::Waves, 10, 30, 30)
        .build();
}

// The values rarely pass 0.45: a golden coat below 0.14, black rims, brown centres.
Sample leopard() {
    return SampleBuilder(M::Leopard, "leopard.qvl")
        .detail(4)
        .turbulence(100)
        .scale(250, 400)
        .colours(rampMap({{0.0f, 0.93f, 0.75f, 0.45f},
                          {0.08f, 0.85f, 0.6f, 0.3f},
                          {0.14f, 0.55f, 0.33f, 0.12f},
                          {0.18f, 0.12f, 0.08f, 0.04f},
                          {0.28f, 0.1f, 0.07f, 0.04f},
                          {0.36f, 0.55f, 0.35f, 0.15f}}))
        .build();
}

// The offset puts the rings' centre in the middle of the image.
Sample redOnion() {
    return SampleBuilder(M::Onion, "red-onion.qvl")
        .detail(4)
        .turbulence(30)
        .scale(60, 60)
        .offset(-0.5f, -0.5f)
        .colours(rampMap({{0.0f, 0.95f, 0.9f, 0.95f},
                          {0.7f, 0.85f, 0.7f, 0.85f},
                          {0.85f, 0.55f, 0.2f, 0.45f},
                          {1.0f, 0.4f, 0.1f, 0.35f}}))
        .build();
}

Sample blueSky() {
    return SampleBuilder(M::Sky, "blue-sky.qvl")
        .detail(6)
        .turbulence(60)
        .scale(20, 40)
        .colours(rampMap({{0.0f, 0.15f, 0.35f, 0.8f},
                          {0.45f, 0.35f, 0.6f, 0.95f},
                          {0.6f, 0.9f, 0.93f, 0.98f},
                          {0.8f, 1.0f, 1.0f, 1.0f}}))
        .build();
}

// One tile colours values up to 0.5 from entries 0 to 11, the other values from 0.458 from
// entries 11 to 22; the rest of each tile is black, so both are black marble, one with white
// veins and one with gold.
Sample onyxChecker() {
    return SampleBuilder(M::CheckerTexture, "onyx-checker.qvl")
        .detail(5)
        .turbulence(80)
        .scale(40, 40)
        .colours(rampMap({{0.0f, 0.95f, 0.95f, 0.93f},
                          {0.15f, 0.5f, 0.5f, 0.5f},
                          {0.3f, 0.08f, 0.08f, 0.08f},
                          {0.458f, 0.04f, 0.04f, 0.04f},
                          {0.75f, 0.1f, 0.08f, 0.05f},
                          {0.88f, 0.85f, 0.65f, 0.25f},
                          {0.958f, 0.3f, 0.2f, 0.05f}}))
        .build();
}

Sample greenMarble() {
    return SampleBuilder(M::Marble, "green-marble.qvl")
        .detail(6)
        .turbulence(100)
        .scale(30, 15)
        .colours(rampMap({{0.0f, 0.05f, 0.2f, 0.12f},
                          {0.5f, 0.08f, 0.3f, 0.18f},
                          {0.75f, 0.15f, 0.45f, 0.3f},
                          {0.9f, 0.6f, 0.8f, 0.65f},
                          {1.0f, 0.95f, 0.97f, 0.9f}}))
        .build();
}

// Smoke's values mostly sit near 1: dark rock there, glowing where they dip.
Sample lava() {
    return SampleBuilder(M::Smoke, "lava.qvl")
        .detail(3)
        .scale(20, 20)
        .colours(rampMap({{0.0f, 1.0f, 0.95f, 0.6f},
                          {0.3f, 1.0f, 0.6f, 0.1f},
                          {0.6f, 0.8f, 0.15f, 0.02f},
                          {0.9f, 0.2f, 0.03f, 0.02f},
                          {1.0f, 0.08f, 0.05f, 0.05f}}))
        .relief(R::Bumps, 4, 60, 60)
        .light(Vec3{1.0f, 1.0f, 1.6f}, 255, 214, 170)
        .build();
}

// Sharp light and dark bands read as a polished, reflecting surface.
Sample chrome() {
    return SampleBuilder(M::Reflection, "chrome.qvl")
        .detail(3)
        .scale(20, 20)
        .colours(rampMap({{0.0f, 0.15f, 0.15f, 0.17f},
                          {0.3f, 0.9f, 0.9f, 0.92f},
                          {0.42f, 0.3f, 0.3f, 0.33f},
                          {0.5f, 0.95f, 0.95f, 0.97f},
                          {0.58f, 0.35f, 0.35f, 0.38f},
                          {0.7f, 0.8f, 0.8f, 0.82f},
                          {1.0f, 0.2f, 0.2f, 0.22f}}))
        .relief(R::Waves, 5, 20, 20)
        .build();
}

// Entry 0 is the mortar; the rest colour the brick face. A dull reflection keeps the rough
// relief from glinting.
Sample redBrick() {
    return SampleBuilder(M::Brick, "red-brick.qvl")
        .detail(3)
        .turbulence(30)
        .scale(40, 70)
        .colours(rampMap({{0.0f, 0.5f, 0.48f, 0.45f},
                          {0.042f, 0.55f, 0.24f, 0.16f},
                          {0.2f, 0.6f, 0.27f, 0.17f},
                          {0.3f, 0.64f, 0.3f, 0.19f},
                          {0.4f, 0.6f, 0.27f, 0.17f},
                          {0.5f, 0.52f, 0.22f, 0.14f}}))
        .relief(R::InverseDents, 8, 200, 200)
        .reflection(90, 70, 60, 100.0f)
        .build();
}

Sample pondRipples() {
    return SampleBuilder(M::Gradient, "pond-ripples.qvl")
        .detail(3)
        .turbulence(0)
        .scale(10, 10)
        .gradientAxes(false, true, false)
        .colours(rampMap({{0.0f, 0.2f, 0.45f, 0.3f}, {1.0f, 0.05f, 0.2f, 0.25f}}))
        .relief(R::Ripples, 20, 20, 20)
        .build();
}

// Granite's low values trace thin lines between grains, so they stay light; the grains
// themselves run from grey through pink to black.
Sample greyGranite() {
    return SampleBuilder(M::Granite, "grey-granite.qvl")
        .detail(3)
        .turbulence(80)
        .scale(40, 40)
        .colours(rampMap({{0.0f, 0.95f, 0.93f, 0.92f},
                          {0.15f, 0.85f, 0.82f, 0.8f},
                          {0.22f, 0.62f, 0.6f, 0.6f},
                          {0.28f, 0.78f, 0.62f, 0.58f},
                          {0.34f, 0.25f, 0.23f, 0.23f},
                          {0.4f, 0.05f, 0.05f, 0.05f}}))
        .build();
}

// Checker shows only the start colours of entries 0 and 23.
Sample checkerTiles() {
    return SampleBuilder(M::Checker, "checker-tiles.qvl")
        .scale(40, 40)
        .colours(rampMap({{0.0f, 0.1f, 0.3f, 0.2f}, {1.0f, 0.92f, 0.88f, 0.8f}}))
        .relief(R::InverseDents, 8, 100, 100)
        .build();
}

Sample smoke() {
    return SampleBuilder(M::Smoke, "smoke.qvl")
        .detail(3)
        .scale(15, 15)
        .colours(rampMap({{0.0f, 0.95f, 0.95f, 0.95f},
                          {0.4f, 0.7f, 0.72f, 0.76f},
                          {0.75f, 0.3f, 0.32f, 0.38f},
                          {1.0f, 0.08f, 0.08f, 0.12f}}))
        .build();
}

Sample stucco() {
    return SampleBuilder(M::Gradient, "stucco.qvl")
        .detail(3)
        .turbulence(30)
        .scale(10, 7)
        .gradientAxes(false, true, false)
        .colours(rampMap({{0.0f, 0.9f, 0.8f, 0.64f}, {1.0f, 0.78f, 0.64f, 0.48f}}))
        .relief(R::InverseDents, 20, 120, 120)
        .light(Vec3{1.0f, 0.5f, 1.6f}, 255, 240, 215)
        .build();
}

// Stains shows the map's colours at 0.1 and 0.9 only.
Sample camouflage() {
    return SampleBuilder(M::Stains, "camouflage.qvl")
        .detail(5)
        .turbulence(100)
        .scale(40, 40)
        .colours(rampMap({{0.1f, 0.45f, 0.45f, 0.3f}, {0.9f, 0.7f, 0.65f, 0.45f}}))
        .relief(R::Bumps, 3, 300, 300)
        .build();
}

bool withinShown(float value, double factor, int low, int high) {
    const int shown = truncToInt(static_cast<double>(value) * factor);
    return shown >= low && shown <= high;
}

}  // namespace

std::vector<Sample> makeSamples() {
    return {whiteMarble(), sunsetSky(),    warmWood(), beatenGold(), agate(),
            seaWaves(),    leopard(),      redOnion(), blueSky(),    onyxChecker(),
            greenMarble(), lava(),         chrome(),   redBrick(),   pondRipples(),
            greyGranite(), checkerTiles(), smoke(),    stucco(),     camouflage()};
}

std::string sampleProblem(const Sample& sample) {
    const TextureParams& t = sample.record;
    if (sample.file.empty() || libraryNameOf(sample.file).size() >= kLibraryFieldBytes) {
        return "the file name does not fit a library field";
    }
    if (!withinShown(t.turbulence, 100.0, 0, 100)) {
        return "turbulence is outside 0 to 1";
    }
    if (t.octaves < 1 || t.octaves > kMaxOctaves) {
        return "detail is outside 1 to 256";
    }
    if (!withinShown(t.scale.x, 10.0, 1, 1000) || !withinShown(t.scale.y, 10.0, 1, 1000) ||
        !withinShown(t.reliefScale.x, 10.0, 1, 1000) ||
        !withinShown(t.reliefScale.y, 10.0, 1, 1000)) {
        return "a scale is outside 0.1 to 100";
    }
    if (!withinShown(t.reliefIntensity, 10.0, 0, 100)) {
        return "the relief intensity is outside 0 to 10";
    }
    const FileStatus valid = checkTextureRecord(t, sample.file);
    return valid.ok() ? std::string() : valid.message;
}

std::vector<LibraryFileEntry> sampleLibrary(const std::vector<Sample>& samples) {
    std::vector<LibraryFileEntry> entries;
    entries.reserve(samples.size());
    for (const Sample& sample : samples) {
        const std::string name = libraryNameOf(sample.file);
        entries.push_back(LibraryFileEntry{name, name});
    }
    return entries;
}

}  // namespace quorvel
