#include "engine/textureparams.h"

namespace quorvel {

namespace {

constexpr std::array<std::string_view, kMaterialCount> kMaterialNames = {
    "Sky",   "Marble",  "Wood",     "Brick", "Checker", "Checker Texture", "Reflection",
    "Agate", "Granite", "Gradient", "Onion", "Leopard", "Smoke",           "Stains",
};

constexpr std::array<std::string_view, kReliefCount> kReliefNames = {
    "Waves", "Ripples", "Bumps", "Dents", "Inverse Dents",
};

Colour withoutFourth(const Colour& c) noexcept { return Colour{c.r, c.g, c.b, 0.0f}; }

void copyMapColours(ColourMap& target, const ColourMap& source) noexcept {
    target.count = kColourMapEntries;
    for (int i = 0; i < kColourMapEntries; ++i) {
        const ColourMapEntry& from = source.entries[static_cast<size_t>(i)];
        ColourMapEntry& to = target.entries[static_cast<size_t>(i)];
        to.start = from.start;
        to.end = from.end;
        to.startColour = withoutFourth(from.startColour);
        to.endColour = withoutFourth(from.endColour);
    }
}

}  // namespace

std::string_view materialName(int material) noexcept {
    if (material < 0 || material >= kMaterialCount) {
        return {};
    }
    return kMaterialNames[static_cast<size_t>(material)];
}

std::string_view reliefName(int relief) noexcept {
    if (relief < 0 || relief >= kReliefCount) {
        return {};
    }
    return kReliefNames[static_cast<size_t>(relief)];
}

TextureParams copyTexture(const TextureParams& source) noexcept {
    TextureParams copy = source;
    copyMapColours(copy.colourMap, source.colourMap);
    return copy;
}

void applyMaterialDefaults(TextureParams& current, const TextureParams& defaults) noexcept {
    current.material = defaults.material;
    current.turbulence = defaults.turbulence;
    current.octaves = defaults.octaves;
    current.scale = defaults.scale;
    current.gradientVector = defaults.gradientVector;
    current.colourMap.count = kColourMapEntries;
    for (int i = 0; i < kColourMapEntries; ++i) {
        const ColourMapEntry& from = defaults.colourMap.entries[static_cast<size_t>(i)];
        ColourMapEntry& to = current.colourMap.entries[static_cast<size_t>(i)];
        to.start = from.start;
        to.end = from.end;
        to.startColour =
            Colour{from.startColour.r, from.startColour.g, from.startColour.b, to.startColour.a};
        to.endColour = Colour{from.endColour.r, from.endColour.g, from.endColour.b, to.endColour.a};
    }
}

void applyRenderWrites(TextureParams& record) noexcept {
    if (record.material == static_cast<int8_t>(MaterialType::Brick)) {
        record.mortarWidth = kBrickMortarWidth;
    }
}

}  // namespace quorvel
