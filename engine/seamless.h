#pragma once

#include "engine/materials.h"
#include "engine/noise.h"
#include "engine/textureparams.h"

namespace quorvel {

// Whether the texture tiles: placed side by side and above each other, its image shows no
// seam. Kept in spareD, which every record made before it holds as 0, so older documents
// render as they always did; on is stored as 1. (spareB and spareC cannot serve: opening a
// document keeps the new document's values there.)
bool isSeamless(const TextureParams& record) noexcept;
void setSeamless(TextureParams& record, bool on) noexcept;

// The scales a seamless render uses, rounded so that the image spans whole lattice cells (and
// an even number of them where a material alternates cell by cell). The interface shows them
// next to the Seamless choice.
struct TileScales {
    float materialX = 1.0f;
    float materialY = 1.0f;
    float reliefX = 1.0f;
    float reliefY = 1.0f;
};
TileScales tileScales(const TextureParams& record) noexcept;

// The share of the image next to its right and bottom borders over which patterns that cannot
// repeat (crossFadesWhenTiled, reliefCrossFadesWhenTiled) fade into the copy one image further
// back.
constexpr float kFadeBand = 0.25f;

// Everything a seamless render changes in the evaluators: the tile scales, the material's
// lattice period and sine factors, and the relief's lattice period. Every engine path takes
// them from here.
struct TileSetup {
    TileScales scales;
    MaterialTiling material;
    LatticePeriod relief;
};
TileSetup tileSetup(const TextureParams& record) noexcept;

}  // namespace quorvel
