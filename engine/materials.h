#pragma once

#include "engine/noise.h"
#include "engine/textureparams.h"

#include <span>

namespace quorvel {

// The colour of `value` (clamped to 0 to 1) in a colour map: the first entry, in index order,
// whose start <= value <= end, blended linearly. No covering entry, or no entries, gives
// (0, 0, 0, 0).
Colour mapColour(std::span<const ColourMapEntry> entries, float value) noexcept;
inline Colour mapColour(const ColourMap& map, float value) noexcept {
    return mapColour(
        std::span<const ColourMapEntry>(map.entries.data(), static_cast<size_t>(map.size())),
        value);
}

// Runs the record's material at point p (z is 0 for every image sample), adding its colour to
// `colour` (Checker, Stains and Brick's mortar overwrite it instead). A material outside 0 to
// 13 leaves the colour unchanged. Reads the record only: Brick's mortar width is the constant
// that Brick writes into the record before use (applyRenderWrites).
void evaluateMaterial(const Vec3& p, const TextureParams& record, Colour& colour) noexcept;

// What a seamless render changes in a material so that it repeats over the image: the lattice
// cells the image spans at the material's scale, and for Leopard the factors that fit whole
// sine periods into it. The default changes nothing.
struct MaterialTiling {
    LatticePeriod period;
    float sineX = 1.0f;
    float sineY = 1.0f;
};

void evaluateMaterial(const Vec3& p, const TextureParams& record, Colour& colour,
                      const MaterialTiling& tiling) noexcept;

// Granite's (and Brick's) first frequency 4 f on a tiled lattice, rounded to whole cells (at
// least 1; 1 when f is not finite); 0 when the lattice does not wrap and f stays as it is.
int64_t graniteTileCells(float turbulence, const MaterialTiling& tiling) noexcept;

// Whether a material's pattern cannot repeat through its lattice (Wood's and Onion's rings
// about the origin, Gradient's mirror at zero), so a seamless render cross-fades it across the
// image's borders instead.
bool crossFadesWhenTiled(int8_t material) noexcept;

}  // namespace quorvel
