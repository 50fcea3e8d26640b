#pragma once

#include "engine/recordlayout.h"
#include "engine/textureparams.h"
#include "files/filestatus.h"

#include <array>
#include <string>

namespace quorvel {

// A texture-parameter file for the sibling 3D product: the record's byte 0 and bytes 2 to 63
// (material, then spareA to scale, with the colour-map reference bytes as zero), then the colour
// map as texture documents carry it. Relief, lighting and everything after scale are not
// stored.
inline constexpr size_t kTprBytes = 1 + 62 + kColourMapBytes;  // 1031

using TprBytes = std::array<uint8_t, kTprBytes>;

TprBytes encodeTpr(const TextureParams& record) noexcept;

// Writes a .tpr file through a temporary file; the target is replaced only when complete.
FileStatus writeTprFile(const std::string& path, const TextureParams& record);

}  // namespace quorvel
