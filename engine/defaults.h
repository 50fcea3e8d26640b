#pragma once

#include "engine/textureparams.h"

#include <array>

namespace quorvel {

// A document's table of per-material defaults: entry i holds the defaults of material i;
// entries 14 and 15 are all zero and never shown.
inline constexpr int kDefaultsTableSize = 16;
using DefaultsTable = std::array<TextureParams, kDefaultsTableSize>;

DefaultsTable makeDefaultsTable();

// The defaults of one material, 0 to 13; any other value gives the Marble defaults.
TextureParams materialDefaults(int material);

// A new document's texture: a copy of the Marble defaults.
TextureParams newTexture();

inline constexpr float kColourStep = 0.041666668f;  // 1/24 in single precision

}  // namespace quorvel
