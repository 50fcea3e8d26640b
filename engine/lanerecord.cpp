#include "engine/lanerecord.h"

#include "engine/materials.h"
#include "engine/noise.h"
#include "engine/pixel.h"
#include "engine/relief.h"
#include "engine/seamless.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace quorvel {

namespace {

void setColour(float (&target)[3], const Colour& c) noexcept {
    target[0] = c.r;
    target[1] = c.g;
    target[2] = c.b;
}

// The cells an entry's segment reaches, or an empty range when it covers nothing (start above
// end, or NaN). Generous at the cell edges: an entry counted in one cell too many only makes
// the search a step longer.
std::pair<int, int> cellsOf(float start, float end) noexcept {
    if (!(start <= end)) {
        return {1, 0};
    }
    const auto cell = [](float v) {
        const double c = std::floor(static_cast<double>(v) * LaneRecord::kMapCells);
        return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(LaneRecord::kMapCells)));
    };
    return {cell(start), cell(end)};
}

void prepareMapCells(LaneRecord& lanes) noexcept {
    std::fill(std::begin(lanes.mapCellFirst), std::end(lanes.mapCellFirst), int8_t{127});
    std::fill(std::begin(lanes.mapCellLast), std::end(lanes.mapCellLast), int8_t{-1});
    for (int i = 0; i < lanes.mapSize; ++i) {
        const auto [from, to] = cellsOf(lanes.mapStart[i], lanes.mapEnd[i]);
        for (int g = from; g <= to; ++g) {
            lanes.mapCellFirst[g] = std::min(lanes.mapCellFirst[g], static_cast<int8_t>(i));
            lanes.mapCellLast[g] = static_cast<int8_t>(i);
        }
    }
    for (int g = 0; g <= LaneRecord::kMapCells; ++g) {
        const int i = lanes.mapCellFirst[g];
        const float low = static_cast<float>(g) / LaneRecord::kMapCells;
        const float high =
            g < LaneRecord::kMapCells ? static_cast<float>(g + 1) / LaneRecord::kMapCells : 1.0f;
        const bool whole = i < lanes.mapSize && lanes.mapStart[i] <= low && high <= lanes.mapEnd[i];
        lanes.mapCellEntry[g] = static_cast<int8_t>(whole ? i : -1);
    }
}

void prepareMap(const TextureParams& record, LaneRecord& lanes) noexcept {
    const ColourMap& map = record.colourMap;
    lanes.mapSize = map.size();
    for (int i = 0; i < lanes.mapSize; ++i) {
        const ColourMapEntry& e = map.entries[static_cast<size_t>(i)];
        lanes.mapStart[i] = e.start;
        lanes.mapEnd[i] = e.end;
        lanes.mapSpan[i] = e.end - e.start;
        const float from[3] = {e.startColour.r, e.startColour.g, e.startColour.b};
        const float to[3] = {e.endColour.r, e.endColour.g, e.endColour.b};
        for (int c = 0; c < 3; ++c) {
            lanes.mapColour[c][i] = from[c];
            lanes.mapStep[c][i] = to[c] - from[c];
        }
    }
    prepareMapCells(lanes);
    setColour(lanes.firstColour, map.entries[0].startColour);
    setColour(lanes.lastColour, map.entries[kColourMapEntries - 1].startColour);
    // Stains reads the same two map colours at every pixel.
    if (lanes.mapSize > 0) {
        setColour(lanes.stainsOdd, mapColour(map, 0.1f));
        setColour(lanes.stainsEven, mapColour(map, 0.9f));
    } else {
        setColour(lanes.stainsOdd, Colour{1, 1, 1, 0});
        setColour(lanes.stainsEven, Colour{0, 1, 0, 0});
    }
}

void prepareShading(const TextureParams& record, LaneRecord& lanes) noexcept {
    const NoiseTables& t = noiseTables();
    lanes.reliefIntensity = record.reliefIntensity;
    lanes.reliefFrequency = record.reliefFrequency;
    lanes.reliefPhase = record.reliefPhase;
    for (int i = 0; i < 10; ++i) {
        const Vec3& source = t.waveDirections[static_cast<size_t>(i)];
        lanes.waveSource[0][i] = source.x;
        lanes.waveSource[1][i] = source.y;
        lanes.waveSource[2][i] = source.z;
        lanes.waveFrequency[i] = t.waveFrequencies[static_cast<size_t>(i)];
        lanes.waveAmplitude[i] = record.reliefIntensity / lanes.waveFrequency[i];
    }
    const Vec3& l = record.lightDirection;
    lanes.light[0] = l.x;
    lanes.light[1] = l.y;
    lanes.light[2] = l.z;
    lanes.lightLength = std::sqrt(l.x * l.x + l.y * l.y + l.z * l.z);
    setColour(lanes.lightColour, record.lightColour);
    setColour(lanes.reflectionColour, record.reflectionColour);
    const float brilliance[3] = {record.brilliance.x, record.brilliance.y, record.brilliance.z};
    for (int c = 0; c < 3; ++c) {
        lanes.reflectedLight[c] = lanes.reflectionColour[c] * lanes.lightColour[c];
        lanes.brillianceSquared[c] = brilliance[c] * brilliance[c];
        lanes.specularExponent[c] = 13.0f / (lanes.brillianceSquared[c] * 0.000025f + 1.0f);
    }
    const float* e = lanes.specularExponent;
    lanes.oneSpecularExponent = e[0] == e[1] && e[1] == e[2];
}

// The seamless render's changes, from the same setup the scalar path uses.
void prepareTiling(const TextureParams& record, LaneRecord& lanes) noexcept {
    const TileSetup tile = tileSetup(record);
    lanes.tiled = true;
    lanes.scaleX = tile.scales.materialX;
    lanes.scaleY = tile.scales.materialY;
    lanes.reliefScaleX = tile.scales.reliefX;
    lanes.reliefScaleY = tile.scales.reliefY;
    lanes.materialPeriod[0] = tile.material.period.x;
    lanes.materialPeriod[1] = tile.material.period.y;
    lanes.reliefPeriod[0] = tile.relief.x;
    lanes.reliefPeriod[1] = tile.relief.y;
    lanes.graniteCells = graniteTileCells(record.turbulence, tile.material);
    lanes.sineX = tile.material.sineX;
    lanes.sineY = tile.material.sineY;
    lanes.fadeMaterial = crossFadesWhenTiled(record.material);
    lanes.fadeRelief = reliefCrossFadesWhenTiled(record.relief);
    lanes.fadeBand = kFadeBand;
    lanes.highlightX = 0.5f * tile.scales.reliefX;
    lanes.highlightY = 0.5f * tile.scales.reliefY;
}

}  // namespace

void prepareLaneRecord(const TextureParams& record, const Sampling& sampling,
                       LaneRecord& lanes) noexcept {
    lanes = LaneRecord{};
    lanes.width = sampling.width();
    lanes.thumbnail = sampling.isThumbnail();
    lanes.material = record.material;
    lanes.relief = record.relief;
    lanes.shaded = record.reliefIntensity > 0.0f;
    lanes.offsetX = record.offset.x;
    lanes.offsetY = record.offset.y;
    lanes.scaleX = record.scale.x;
    lanes.scaleY = record.scale.y;
    lanes.reliefScaleX = record.reliefScale.x;
    lanes.reliefScaleY = record.reliefScale.y;
    lanes.turbulence = record.turbulence;
    lanes.octaves = record.octaves;
    lanes.gradientAxes[0] = record.gradientVector.x != 0.0f;
    lanes.gradientAxes[1] = record.gradientVector.y != 0.0f;
    lanes.gradientAxes[2] = record.gradientVector.z != 0.0f;
    if (isSeamless(record)) {
        prepareTiling(record, lanes);
    }
    prepareMap(record, lanes);
    prepareShading(record, lanes);
    const NoiseTables& t = noiseTables();
    lanes.perm = t.permTable.data();
    lanes.random = t.randomTable.data();
    lanes.sine = t.sineTable.data();
}

}  // namespace quorvel
