#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quorvel {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// r, g, b in 0 to 1. The fourth channel is interpolated and summed like the others, but no
// output reads it; records made by the program hold 0 there.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// One segment of a colour map: values from start to end blend startColour into endColour.
struct ColourMapEntry {
    float start = 0.0f;
    float end = 0.0f;
    Colour startColour;
    Colour endColour;
};

inline constexpr int kColourMapEntries = 24;

// A record's own gradient. The entry array always has room for 24 entries; `count` is kept as
// read (a file may say anything) and `size()` is how many of them the engine may look at.
// A count of 0 stands for "no colour map", which selects the materials' fallback colours.
struct ColourMap {
    int16_t count = kColourMapEntries;
    std::array<ColourMapEntry, kColourMapEntries> entries{};

    int size() const noexcept {
        return count < 0 ? 0 : (count > kColourMapEntries ? kColourMapEntries : count);
    }
};

enum class MaterialType : int8_t {
    Sky = 0,
    Marble = 1,
    Wood = 2,
    Brick = 3,
    Checker = 4,
    CheckerTexture = 5,
    Reflection = 6,
    Agate = 7,
    Granite = 8,
    Gradient = 9,
    Onion = 10,
    Leopard = 11,
    Smoke = 12,
    Stains = 13,
};
inline constexpr int kMaterialCount = 14;

// Values 5 to 7 can be chosen (empty list items) and run no relief function.
enum class ReliefType : int8_t {
    Waves = 0,
    Ripples = 1,
    Bumps = 2,
    Dents = 3,
    InverseDents = 4,
};
inline constexpr int kReliefCount = 5;

// The complete description of a texture. Fields keep the stored record's order; the stored
// form is 154 little-endian bytes (see recordlayout.h). `material` and `relief` are kept as
// raw bytes because files may hold values outside their lists; the engine treats such values
// as "no material" and "no relief function".
struct TextureParams {
    int8_t material = 0;           // MaterialType, 0 to 13
    int8_t relief = 0;             // ReliefType, 0 to 4 (5 to 7 run no relief)
    float spareA = 0.0f;           // read by nothing, copied along
    float reliefFrequency = 0.0f;  // periods per unit distance (Waves, Ripples)
    float reliefPhase = 0.0f;      // in wave periods (Waves, Ripples)
    float reliefIntensity = 0.0f;  // relief and shading run only when > 0
    float spareB = 0.0f;
    float spareC = 0.0f;
    float turbulence = 0.0f;   // displacement amount; Agate's exponent
    Vec3 gradientVector;       // Gradient: only whether a component is non-zero matters
    ColourMap colourMap;       // stored as a 4-byte reference that carries no information
    int16_t octaves = 0;       // "Detail": noise octaves summed by turbulence
    float mortarWidth = 0.0f;  // Brick sets 0.05 before every use
    Vec3 scale;                // material scale; z is never read
    Vec3 reliefScale;          // relief scale; z is never read
    Vec3 lightDirection;       // towards the light, not necessarily unit length
    Vec3 brilliance;           // per channel, 0 to 200
    float spareD = 0.0f;
    Colour reflectionColour;
    Colour lightColour;
    int16_t imageWidth = 0;   // pixels
    int16_t imageHeight = 0;  // pixels
    int16_t imageFormat = 0;  // 0 to 7 presets, 8 free format
    Vec3 offset;              // added to the normalised position; z is never read
};

// The list text of a material ("Marble"), or an empty view outside 0 to 13.
std::string_view materialName(int material) noexcept;
// The list text of a relief ("Inverse Dents"), or an empty view outside 0 to 4.
std::string_view reliefName(int relief) noexcept;

// Copies a record as the program copies records between documents and the library: every
// field, then a fresh 24-entry map holding start, end and the r, g, b of both colours, with
// the fourth values 0.
TextureParams copyTexture(const TextureParams& source) noexcept;

// A material change: `current` takes material, turbulence, octaves, scale, gradientVector and
// the colour map (positions and r, g, b) from `defaults`; relief, lighting, reflection, image
// size and offset are kept.
void applyMaterialDefaults(TextureParams& current, const TextureParams& defaults) noexcept;

// The engine's one write to a record: Brick sets the mortar width to 0.05 before every use.
// Renderers apply it once, before any thread reads the record, so the change stays visible in
// the caller's record without a race.
void applyRenderWrites(TextureParams& record) noexcept;

inline constexpr float kBrickMortarWidth = 0.05f;

}  // namespace quorvel
