#include "engine/materials.h"

#include "engine/noise.h"
#include "engine/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvel {

namespace {

using Entries = std::span<const ColourMapEntry>;

inline void add(Colour& c, const Colour& d) noexcept {
    c.r += d.r;
    c.g += d.g;
    c.b += d.b;
    c.a += d.a;
}

inline void addRgb(Colour& c, float r, float g, float b) noexcept {
    c.r += r;
    c.g += g;
    c.b += b;
}

// The map's first `count` entries, starting at `first`, limited to what the record holds.
Entries mapSlice(const TextureParams& record, int first, int count) noexcept {
    const int size = record.colourMap.size();
    const int available = size > first ? size - first : 0;
    const int n = count < available ? count : available;
    return Entries(record.colourMap.entries.data() + first, static_cast<size_t>(n));
}

Entries wholeMap(const TextureParams& record) noexcept {
    return mapSlice(record, 0, kColourMapEntries);
}

bool hasMap(const TextureParams& record) noexcept { return record.colourMap.size() > 0; }

using Tiling = MaterialTiling;

// The noise functions on the tiled lattice when there is one; otherwise the plain ones, so
// textures that do not tile keep every byte.
inline float latticeNoise(float x, float y, float z, const Tiling& tiling) noexcept {
    return tiling.period.wraps() ? noise(x, y, z, tiling.period) : noise(x, y, z);
}

inline Vec3 latticeVectorNoise(const Vec3& p, const Tiling& tiling) noexcept {
    return tiling.period.wraps() ? vectorNoise(p.x, p.y, p.z, tiling.period) : vectorNoise(p);
}

inline float octaveSum(const Vec3& p, int n, const Tiling& tiling) noexcept {
    return tiling.period.wraps() ? turbulenceSum(p, n, tiling.period) : turbulenceSum(p, n);
}

inline Vec3 vectorOctaveSum(const Vec3& p, int n, const Tiling& tiling) noexcept {
    return tiling.period.wraps() ? vectorTurbulence(p, n, tiling.period) : vectorTurbulence(p, n);
}

Vec3 displaced(const Vec3& p, const TextureParams& record, const Tiling& tiling) noexcept {
    if (record.turbulence == 0.0f) {
        return p;
    }
    const Vec3 v = vectorOctaveSum(p, record.octaves, tiling);
    const float t = record.turbulence;
    return Vec3{p.x + t * v.x, p.y + t * v.y, p.z + t * v.z};
}

// Parity of an integer cell sum, taken without overflow.
inline bool isOdd(int64_t n) noexcept { return (n & 1) != 0; }

void sky(const Vec3& p, const TextureParams& record, Colour& colour,
         const Tiling& tiling) noexcept {
    const Vec3 q = displaced(p, record, tiling);
    const float value = latticeNoise(q.x, q.y, q.z, tiling);
    if (hasMap(record)) {
        add(colour, mapColour(wholeMap(record), value));
    } else if (value < 0.4f) {
        addRgb(colour, 1, 1, 1);
    } else if (value < 0.6f) {
        addRgb(colour, 0, 1, 0);
    } else if (value < 0.8f) {
        addRgb(colour, 0, 0, 1);
    } else {
        addRgb(colour, 1, 0, 0);
    }
}

// Marble over an explicit map, so Checker Texture can run it with its two half maps. A null
// map selects the fallback colours.
void marbleWith(const Vec3& p, float turbulence, int octaves, const Entries* map, Colour& colour,
                const Tiling& tiling) noexcept {
    const float value = triangleWave(p.x + turbulence * octaveSum(p, octaves, tiling));
    if (map) {
        add(colour, mapColour(*map, value));
    } else if (value < 0.0f) {
        addRgb(colour, 0.9f, 0.8f, 0.8f);
    } else if (value < 0.9f) {
        addRgb(colour, 0.9f, 0.8f - 0.8f * value, 0.8f - 0.8f * value);
    }
}

void marble(const Vec3& p, const TextureParams& record, Colour& colour,
            const Tiling& tiling) noexcept {
    const Entries map = wholeMap(record);
    marbleWith(p, record.turbulence, record.octaves, hasMap(record) ? &map : nullptr, colour,
               tiling);
}

void wood(const Vec3& p, const TextureParams& record, Colour& colour,
          const Tiling& tiling) noexcept {
    const Vec3 v = vectorOctaveSum(p, record.octaves, tiling);
    const float px = cycloid((p.x + v.x) * record.turbulence) + p.x;
    const float py = cycloid((p.y + v.y) * record.turbulence) + p.y;
    const float value = triangleWave(std::sqrt(px * px + py * py));
    if (hasMap(record)) {
        add(colour, mapColour(wholeMap(record), value));
    } else if (value <= 0.6f) {
        addRgb(colour, 0.666f, 0.312f, 0.2f);
    } else {
        addRgb(colour, 0.4f, 0.133f, 0.066f);
    }
}

// Octaves whose lattice coordinates have left the range where noise is defined contribute
// nothing, like the turbulence sums; this also bounds the loop for any octave count.
// On a tiled lattice the first frequency 4 f is rounded to a whole number, so every octave
// spans whole cells of the image (4 f times its own).
float graniteValue(const Vec3& p, float turbulence, int octaves, const Tiling& tiling) noexcept {
    float f = turbulence != 0.0f ? turbulence + 1.0f : 1.0f;
    const int64_t cells = graniteTileCells(turbulence, tiling);
    if (cells > 0) {
        f = static_cast<float>(cells) * 0.25f;
    }
    LatticePeriod period = tiling.period.times(cells);
    float value = 0.0f;
    for (int k = 0; k < octaves + 3; ++k) {
        const float x = 4.0f * f * p.x;
        const float y = 4.0f * f * p.y;
        const float z = 4.0f * f * p.z;
        if (!onLattice(x, y, z)) {
            break;
        }
        const float n = cells > 0 ? noise(x, y, z, period) : noise(x, y, z);
        value += std::fabs(0.5f - n) / f;
        f = 2.0f * f;
        period = period.times(2);
    }
    return value;
}

void granite(const Vec3& p, const TextureParams& record, Colour& colour,
             const Tiling& tiling) noexcept {
    const float value = graniteValue(p, record.turbulence, record.octaves, tiling);
    if (hasMap(record)) {
        add(colour, mapColour(wholeMap(record), value));
    } else {
        addRgb(colour, value, value, value);
    }
}

// Granite over entries 1 to 23 (at their own positions, so values below 1/24 find no entry and
// stay black), then mortar lines in the colour of entry 0.
void brick(const Vec3& p, const TextureParams& record, Colour& colour,
           const Tiling& tiling) noexcept {
    const float mx = std::fabs(std::fmod(p.x, 1.0f));
    const float my = std::fabs(std::fmod(p.y, 1.0f));
    const float mz = std::fabs(std::fmod(p.z, 1.0f));
    const float value = graniteValue(p, record.turbulence, record.octaves, tiling);
    add(colour, mapColour(mapSlice(record, 1, kColourMapEntries - 1), value));
    const float w = kBrickMortarWidth;
    if ((mx > 0.0f && mx < w) || (my > 0.0f && my < w) || (mz > 0.0f && mz < w)) {
        colour = record.colourMap.entries[0].startColour;
    }
}

int64_t checkerCell(const Vec3& q) noexcept {
    const double sum = static_cast<double>(cellFloor(q.x)) + static_cast<double>(cellFloor(q.y)) +
                       static_cast<double>(cellFloor(q.z));
    return truncToInt(sum);
}

Vec3 checkerPoint(const Vec3& p) noexcept { return Vec3{p.x + 0.001f, p.y + 0.001f, p.z + 0.001f}; }

// Tiles through its even cell count alone.
void checker(const Vec3& p, const TextureParams& record, Colour& colour, const Tiling&) noexcept {
    const auto& entries = record.colourMap.entries;
    colour = isOdd(checkerCell(checkerPoint(p))) ? entries[0].startColour
                                                 : entries[kColourMapEntries - 1].startColour;
}

// Odd cells take Marble over entries 0 to 11, even cells Marble over entries 11 to 22.
void checkerTexture(const Vec3& p, const TextureParams& record, Colour& colour,
                    const Tiling& tiling) noexcept {
    const Vec3 q = checkerPoint(p);
    const Entries map = isOdd(checkerCell(q)) ? mapSlice(record, 0, 12) : mapSlice(record, 11, 12);
    marbleWith(q, record.turbulence, record.octaves, &map, colour, tiling);
}

void reflection(const Vec3& p, const TextureParams& record, Colour& colour,
                const Tiling& tiling) noexcept {
    const float value = latticeNoise(p.x, p.y, p.z, tiling);
    if (hasMap(record)) {
        add(colour, mapColour(wholeMap(record), value));
    } else {
        addRgb(colour, value, value, value);
    }
}

void agate(const Vec3& p, const TextureParams& record, Colour& colour,
           const Tiling& tiling) noexcept {
    const float t = octaveSum(p, record.octaves, tiling);
    const double w = 1.3 * static_cast<double>(t) + 1.1 * static_cast<double>(p.z);
    const float base = (cycloid(w) + 1.0f) * 0.5f;
    const float value = static_cast<float>(
        std::pow(static_cast<double>(base), static_cast<double>(record.turbulence + 0.01f)));
    if (hasMap(record)) {
        add(colour, mapColour(wholeMap(record), value));
    } else if (value < 0.5f) {
        addRgb(colour, 1.0f - 0.1f * value, 1.0f - 0.2f * value, 1.0f - value);
    } else if (value < 0.6f) {
        addRgb(colour, 0.9f, 0.7f, 1.0f - value);
    } else {
        addRgb(colour, 1.6f - value, 1.3f - value, 1.0f - value);
    }
}

void gradient(const Vec3& p, const TextureParams& record, Colour& colour,
              const Tiling& tiling) noexcept {
    if (!hasMap(record)) {
        return;
    }
    const Vec3 q = displaced(p, record, tiling);
    float value = 0.0f;
    const float axes[3] = {q.x, q.y, q.z};
    const float chosen[3] = {record.gradientVector.x, record.gradientVector.y,
                             record.gradientVector.z};
    for (int a = 0; a < 3; ++a) {
        if (chosen[a] != 0.0f) {
            const float c = std::fabs(axes[a]);
            value += c - cellFloor(c);
        }
    }
    if (value > 1.0f) {
        value = value - cellFloor(value);
    }
    add(colour, mapColour(wholeMap(record), value));
}

void greyOrMap(const TextureParams& record, float value, Colour& colour) noexcept {
    if (hasMap(record)) {
        add(colour, mapColour(wholeMap(record), value));
    } else {
        addRgb(colour, value, value, value);
    }
}

void onion(const Vec3& p, const TextureParams& record, Colour& colour,
           const Tiling& tiling) noexcept {
    const Vec3 q = displaced(p, record, tiling);
    greyOrMap(record, std::fmod(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z), 1.0f), colour);
}

inline float sine(float v) noexcept { return static_cast<float>(std::sin(static_cast<double>(v))); }

void leopard(const Vec3& p, const TextureParams& record, Colour& colour,
             const Tiling& tiling) noexcept {
    const Vec3 q = displaced(p, record, tiling);
    const float mean =
        (sine(q.x * tiling.sineX) + sine(q.y * tiling.sineY) + sine(q.z)) * 0.33333334f;
    greyOrMap(record, mean * mean, colour);
}

void smoke(const Vec3& p, const TextureParams& record, Colour& colour,
           const Tiling& tiling) noexcept {
    // Only the inner noise needs the tiled lattice: the outer one samples a point that already
    // repeats with the image.
    const Vec3 d = latticeVectorNoise(p, tiling);
    float value = 0.0f;
    float scale = 1.0f;
    for (int k = 0; k < 10; ++k) {
        const float f = 4.0f * scale;
        value += std::fabs(noise(f * d.x, f * d.y, f * d.z)) / scale;
        scale *= 2.0f;
    }
    greyOrMap(record, value, colour);
}

void stains(const Vec3& p, const TextureParams& record, Colour& colour,
            const Tiling& tiling) noexcept {
    Colour c1{1, 1, 1, 0};
    Colour c2{0, 1, 0, 0};
    if (hasMap(record)) {
        c1 = mapColour(wholeMap(record), 0.1f);
        c2 = mapColour(wholeMap(record), 0.9f);
    }
    float x = p.x;
    float z = p.z;
    if (record.turbulence != 0.0f) {
        const Vec3 v = vectorOctaveSum(p, record.octaves, tiling);
        x = p.x + record.turbulence * v.x;
        z = p.z + record.turbulence * v.z;
    }
    const int64_t n = static_cast<int64_t>(truncToInt(cellFloor(x))) +
                      static_cast<int64_t>(truncToInt(cellFloor(z)));
    colour = isOdd(n) ? c1 : c2;
}

}  // namespace

Colour mapColour(std::span<const ColourMapEntry> entries, float value) noexcept {
    if (value > 1.0f) {
        value = 1.0f;
    }
    if (value < 0.0f) {
        value = 0.0f;
    }
    for (const ColourMapEntry& e : entries) {
        if (e.start <= value && value <= e.end) {
            const float t = (value - e.start) / (e.end - e.start);
            const Colour& a = e.startColour;
            const Colour& b = e.endColour;
            return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                          a.a + (b.a - a.a) * t};
        }
    }
    return Colour{};
}

void evaluateMaterial(const Vec3& p, const TextureParams& record, Colour& colour) noexcept {
    evaluateMaterial(p, record, colour, Tiling{});
}

int64_t graniteTileCells(float turbulence, const MaterialTiling& tiling) noexcept {
    if (!tiling.period.wraps()) {
        return 0;
    }
    const float f = turbulence != 0.0f ? turbulence + 1.0f : 1.0f;
    return std::isfinite(f) ? std::max<int64_t>(1, std::llround(std::min(4.0f * f, 1e9f))) : 1;
}

bool crossFadesWhenTiled(int8_t material) noexcept {
    switch (static_cast<MaterialType>(material)) {
    case MaterialType::Wood:
    case MaterialType::Gradient:
    case MaterialType::Onion: return true;
    default: return false;
    }
}

void evaluateMaterial(const Vec3& p, const TextureParams& record, Colour& colour,
                      const Tiling& tiling) noexcept {
    switch (static_cast<MaterialType>(record.material)) {
    case MaterialType::Sky: sky(p, record, colour, tiling); break;
    case MaterialType::Marble: marble(p, record, colour, tiling); break;
    case MaterialType::Wood: wood(p, record, colour, tiling); break;
    case MaterialType::Brick: brick(p, record, colour, tiling); break;
    case MaterialType::Checker: checker(p, record, colour, tiling); break;
    case MaterialType::CheckerTexture: checkerTexture(p, record, colour, tiling); break;
    case MaterialType::Reflection: reflection(p, record, colour, tiling); break;
    case MaterialType::Agate: agate(p, record, colour, tiling); break;
    case MaterialType::Granite: granite(p, record, colour, tiling); break;
    case MaterialType::Gradient: gradient(p, record, colour, tiling); break;
    case MaterialType::Onion: onion(p, record, colour, tiling); break;
    case MaterialType::Leopard: leopard(p, record, colour, tiling); break;
    case MaterialType::Smoke: smoke(p, record, colour, tiling); break;
    case MaterialType::Stains: stains(p, record, colour, tiling); break;
    default: break;
    }
}

}  // namespace quorvel
