#pragma once

#include <cstdint>

namespace quorvel {

struct TextureParams;
class Sampling;

// Everything the vector row evaluators read: a record's fields, the values that stay the same
// over a render (so they are computed once, by the same operations the scalar path uses for
// every pixel), and the noise tables. Plain data, so that the units compiled for wider
// instruction sets need no other engine header (see rows_avx2.cpp).
struct LaneRecord {
    static constexpr int kEntries = 24;
    static constexpr int kEntryRoom = 32;  // entry fields padded for 32-wide table lookups

    // Pixel i samples x = i x 0.02 in thumbnails, i / width otherwise.
    int width = 1;
    bool thumbnail = false;

    int material = 0;
    int relief = 0;
    bool shaded = false;  // relief and shading run (intensity > 0)
    float offsetX = 0, offsetY = 0;
    float scaleX = 0, scaleY = 0;
    float reliefScaleX = 0, reliefScaleY = 0;
    float turbulence = 0;
    int octaves = 0;
    bool gradientAxes[3] = {};

    // The colour map entries the engine may look at (mapSize of them; 0 selects the fallback
    // colours), one field per array. Steps are end colour minus start colour; spans are end
    // minus start.
    int mapSize = 0;
    float mapStart[kEntryRoom] = {}, mapEnd[kEntryRoom] = {}, mapSpan[kEntryRoom] = {};
    float mapColour[3][kEntryRoom] = {}, mapStep[3][kEntryRoom] = {};
    // Values 0 to 1 fall in cells [g / 256, (g + 1) / 256), and 1 in cell 256. For each cell,
    // the first and the last entry that could cover a value in it (first > last: none), so
    // that the search for a value's entry can skip the others; and the entry of every value
    // in it, where the first of them covers the whole cell (else -1).
    static constexpr int kMapCells = 256;
    int8_t mapCellFirst[kMapCells + 1] = {}, mapCellLast[kMapCells + 1] = {};
    int8_t mapCellEntry[kMapCells + 1] = {};
    float firstColour[3] = {}, lastColour[3] = {};  // start colours of entries 0 and 23
    float stainsOdd[3] = {}, stainsEven[3] = {};

    float reliefIntensity = 0, reliefFrequency = 0, reliefPhase = 0;
    float waveSource[3][10] = {}, waveFrequency[10] = {}, waveAmplitude[10] = {};  // a / f
    float light[3] = {}, lightLength = 0;
    float lightColour[3] = {}, reflectionColour[3] = {};
    float reflectedLight[3] = {};      // reflection x light
    float brillianceSquared[3] = {};   // of each channel
    float specularExponent[3] = {};    // 13 / (brilliance^2 x 0.000025 + 1)
    bool oneSpecularExponent = false;  // all three are the same

    // A seamless texture: samples wrapped into [0, 1), the tile scales in place of scale and
    // reliefScale, noise on lattices that wrap after these many cells (0: an axis that does not
    // wrap), Granite's first frequency 4 f rounded to whole cells (0: as it is), Leopard's sine
    // factors (1 otherwise), the patterns that cross-fade at the borders, and the point the
    // highlight looks from (the image's centre, where a plain texture uses the sample's own).
    bool tiled = false;
    int64_t materialPeriod[2] = {}, reliefPeriod[2] = {};
    int64_t graniteCells = 0;
    float sineX = 1, sineY = 1;
    bool fadeMaterial = false, fadeRelief = false;
    float fadeBand = 0;
    float highlightX = 0, highlightY = 0;

    const uint16_t* perm = nullptr;  // 4096 entries
    const float* random = nullptr;   // 267 entries
    const float* sine = nullptr;     // 1000 entries
};

// Fills `lanes` for rendering `record` at `sampling`. initNoise must have run.
void prepareLaneRecord(const TextureParams& record, const Sampling& sampling,
                       LaneRecord& lanes) noexcept;

// The vector row evaluators: pixels [first, last) of the row sampled at y = py, as red, green,
// blue bytes from `rgb` on. Each may run only where the processor has its instructions.
void renderLanesAvx2(const LaneRecord& record, float py, int first, int last,
                     uint8_t* rgb) noexcept;
void renderLanesAvx512(const LaneRecord& record, float py, int first, int last,
                       uint8_t* rgb) noexcept;

}  // namespace quorvel
