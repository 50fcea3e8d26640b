#include "engine/defaults.h"

namespace quorvel {

namespace {

struct Rgb {
    float r, g, b;
};

// Colour sequences are running sums in single precision: each entry starts at the running
// colour and ends at the running colour plus one step.
class MapBuilder {
public:
    explicit MapBuilder(ColourMap& map, Rgb start) : mMap(map), mRunning(start) {}

    void steps(int count, Rgb step) {
        for (int k = 0; k < count; ++k) {
            ColourMapEntry& e = entry();
            e.startColour = colour(mRunning);
            mRunning = Rgb{mRunning.r + step.r, mRunning.g + step.g, mRunning.b + step.b};
            e.endColour = colour(mRunning);
        }
    }

    // Eight equal steps from the running colour to `target`, the step computed once.
    void eighthsTo(Rgb target) {
        const Rgb step{(target.r - mRunning.r) * 0.125f, (target.g - mRunning.g) * 0.125f,
                       (target.b - mRunning.b) * 0.125f};
        steps(8, step);
    }

    void flat(int count, Rgb value) {
        for (int k = 0; k < count; ++k) {
            ColourMapEntry& e = entry();
            e.startColour = colour(value);
            e.endColour = colour(value);
        }
        mRunning = value;
    }

    void restartAt(Rgb value) { mRunning = value; }

private:
    static Colour colour(Rgb c) { return Colour{c.r, c.g, c.b, 0.0f}; }
    ColourMapEntry& entry() { return mMap.entries[static_cast<size_t>(mNext++)]; }

    ColourMap& mMap;
    Rgb mRunning;
    int mNext = 0;
};

void setPositions(ColourMap& map) {
    map.count = kColourMapEntries;
    for (int i = 0; i < kColourMapEntries; ++i) {
        ColourMapEntry& e = map.entries[static_cast<size_t>(i)];
        e.start = static_cast<float>(i) * kColourStep;
        e.end = static_cast<float>(i + 1) * kColourStep;
    }
}

void greyRamp(ColourMap& map) {
    MapBuilder(map, {1.0f, 1.0f, 1.0f}).steps(24, {-kColourStep, -kColourStep, -kColourStep});
}

void twoPartRamp(ColourMap& map, Rgb start, Rgb step, Rgb target) {
    MapBuilder builder(map, start);
    builder.steps(16, step);
    builder.eighthsTo(target);
}

void checkerTextureMap(ColourMap& map) {
    MapBuilder builder(map, {0.9f, 0.9f, 0.9f});
    builder.flat(8, {0.9f, 0.9f, 0.9f});
    builder.steps(3, {-0.225f, -0.225f, -0.225f});
    builder.flat(9, {0.0f, 0.0f, 0.0f});
    builder.steps(4, {0.225f, 0.225f, 0.225f});
}

void leopardMap(ColourMap& map) {
    MapBuilder builder(map, {1.0f, 0.84705883f, 0.6901961f});
    builder.steps(5, {-0.2f, -0.16941176f, -0.13803922f});
    builder.flat(19, {0.0f, 0.0f, 0.0f});
}

void fillColourMap(ColourMap& map, MaterialType material) {
    setPositions(map);
    switch (material) {
    case MaterialType::Marble:
        twoPartRamp(map, {0.8f, 0.78f, 0.8f}, {0.0062499978f, 0.0062500015f, 0.0062499978f},
                    {0.9f, 0.1f, 0.1f});
        break;
    case MaterialType::Wood:
        twoPartRamp(map, {0.9f, 0.6f, 0.5f}, {-0.0062499978f, -0.0062500015f, -0.0062499996f},
                    {0.4f, 0.2f, 0.1f});
        break;
    case MaterialType::Agate:
        twoPartRamp(map, {0.5f, 1.0f, 0.7f}, {-0.0062499996f, -0.0062500015f, -0.0062499978f},
                    {0.2f, 0.7f, 0.4f});
        break;
    case MaterialType::Granite:
        twoPartRamp(map, {0.98f, 0.55f, 0.6f}, {-0.01125f, -0.009375f, -0.009375002f},
                    {0.4f, 0.1f, 0.15f});
        break;
    case MaterialType::CheckerTexture: checkerTextureMap(map); break;
    case MaterialType::Leopard: leopardMap(map); break;
    default: greyRamp(map); break;
    }
}

struct PerMaterial {
    float turbulence;
    int16_t octaves;
    Vec3 scale;
    Vec3 gradientVector;
};

constexpr std::array<PerMaterial, kMaterialCount> kPerMaterial = {{
    {0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},     // Sky
    {0.8f, 3, {2, 2, 2}, {0, 0, 0}},           // Marble
    {0.1f, 3, {5, 1, 1}, {0, 0, 0}},           // Wood
    {0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},     // Brick
    {0.5f, 3, {2, 2, 2}, {0.5f, 0.5f, 0.5f}},  // Checker
    {0.8f, 4, {3, 3, 3}, {0, 0, 0}},           // Checker Texture
    {0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},     // Reflection
    {0.5f, 3, {2, 2, 2}, {0, 0, 0}},           // Agate
    {0.8f, 3, {5, 5, 5}, {0, 0, 0}},           // Granite
    {0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},     // Gradient
    {0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},     // Onion
    {0.5f, 3, {25, 40, 1}, {0, 0, 0}},         // Leopard
    {0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},     // Smoke
    {0.5f, 3, {1, 1, 1}, {0, 0.5f, 0.5f}},     // Stains
}};

TextureParams buildDefaults(int material) {
    TextureParams p;
    p.material = static_cast<int8_t>(material);
    p.relief = 0;
    p.spareA = 0.5f;
    p.reliefFrequency = 5.0f;
    p.reliefPhase = 0.1f;
    p.reliefIntensity = 0.0f;
    p.reliefScale = {1, 1, 1};
    p.lightDirection = {1, 1, 1.6f};
    p.brilliance = {200, 200, 200};
    p.reflectionColour = {1, 1, 1, 0};
    p.lightColour = {1, 1, 1, 0};
    p.imageWidth = 160;
    p.imageHeight = 120;
    p.imageFormat = 0;
    const PerMaterial& m = kPerMaterial[static_cast<size_t>(material)];
    p.turbulence = m.turbulence;
    p.octaves = m.octaves;
    p.scale = m.scale;
    p.gradientVector = m.gradientVector;
    fillColourMap(p.colourMap, static_cast<MaterialType>(material));
    return p;
}

TextureParams zeroRecord() {
    TextureParams p;
    p.colourMap.count = 0;
    return p;
}

}  // namespace

DefaultsTable makeDefaultsTable() {
    DefaultsTable table;
    for (int i = 0; i < kMaterialCount; ++i) {
        table[static_cast<size_t>(i)] = buildDefaults(i);
    }
    table[14] = zeroRecord();
    table[15] = zeroRecord();
    return table;
}

TextureParams materialDefaults(int material) {
    if (material < 0 || material >= kMaterialCount) {
        material = static_cast<int>(MaterialType::Marble);
    }
    return buildDefaults(material);
}

TextureParams newTexture() {
    return copyTexture(buildDefaults(static_cast<int>(MaterialType::Marble)));
}

}  // namespace quorvel
