#include "engine/seamless.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorvel {

namespace {

constexpr float kSeamlessOn = 1.0f;

// A scale rounded to whole cells (pairs of cells when `pairs`), at least one, sign kept. A
// scale that is not a number gives one cell.
float wholeCells(float scale, bool pairs) noexcept {
    if (!std::isfinite(scale)) {
        return pairs ? 2.0f : 1.0f;
    }
    const float unit = pairs ? 2.0f : 1.0f;
    float cells = std::round(std::fabs(scale) / unit) * unit;
    if (cells < unit) {
        cells = unit;
    }
    return scale < 0.0f ? -cells : cells;
}

// Materials whose colour alternates from one unit cell to the next need an even count, or the
// last cell and the first would share a colour.
bool alternatesByCell(int8_t material) noexcept {
    switch (static_cast<MaterialType>(material)) {
    case MaterialType::Checker:
    case MaterialType::CheckerTexture:
    case MaterialType::Stains: return true;
    default: return false;
    }
}

// The lattice cells a whole-cell scale spans; 0 (no wrapping) beyond any lattice's reach.
int64_t cellsOf(float scale) noexcept {
    const float cells = std::fabs(scale);
    return cells < 1099511627776.0f ? static_cast<int64_t>(cells) : 0;
}

// Whole sine periods over `cells` units, as a factor on the sine's argument.
float sineFactor(float cells) noexcept {
    const double twoPi = 2.0 * std::numbers::pi;
    const double periods = std::max(1.0, std::round(static_cast<double>(cells) / twoPi));
    return static_cast<float>(periods * twoPi / static_cast<double>(cells));
}

}  // namespace

bool isSeamless(const TextureParams& record) noexcept { return record.spareD != 0.0f; }

void setSeamless(TextureParams& record, bool on) noexcept {
    record.spareD = on ? kSeamlessOn : 0.0f;
}

TileScales tileScales(const TextureParams& record) noexcept {
    const bool pairs = alternatesByCell(record.material);
    return TileScales{wholeCells(record.scale.x, pairs), wholeCells(record.scale.y, pairs),
                      wholeCells(record.reliefScale.x, false),
                      wholeCells(record.reliefScale.y, false)};
}

TileSetup tileSetup(const TextureParams& record) noexcept {
    TileSetup tile;
    tile.scales = tileScales(record);
    tile.material.period = {cellsOf(tile.scales.materialX), cellsOf(tile.scales.materialY)};
    tile.material.sineX = sineFactor(std::fabs(tile.scales.materialX));
    tile.material.sineY = sineFactor(std::fabs(tile.scales.materialY));
    tile.relief = {cellsOf(tile.scales.reliefX), cellsOf(tile.scales.reliefY)};
    return tile;
}

}  // namespace quorvel
