#pragma once

// The fourteen materials over lanes, for the lane kernels: materials.cpp step for step on a
// stretch of a row. A material adds to (or, where the scalar one overwrites, sets) the chunk's
// colours, which start at 0. Needs lanesums.h.

#include "engine/lanesums.h"
#include "engine/noise.h"

#include <cmath>

namespace quorvel {
namespace {

struct Rgb {
    F c[3];
};

inline F cellFloor(F v) noexcept {
    return select(v >= splat(0.0f), floor(v), splat(-1.0f) - floor(-v));
}

inline F triangleWave(F v) noexcept {
    const F f = select(v >= splat(0.0f), v - floor(v), v - (splat(-1.0f) - floor(abs(v))));
    return select(f < splat(0.5f), splat(2.0f) * f, splat(2.0f) * (splat(1.0f) - f));
}

// fmod(v, 1): exact, and the sign of v also where the remainder is zero.
inline F remainderOfOne(F v) noexcept { return copySign(v - trunc(v), v); }

// cycloid(float): sin(2 pi v) through the sine table; NaN and infinities give 0.
inline F cycloid(const LaneRecord& r, F v) noexcept {
    const M positive = v >= splat(0.0f);
    const M negative = v < splat(0.0f);
    const F fraction = select(positive, v - floor(v), -(floor(-v) + v));
    const I index = truncProductToInt(fraction, 1000.0);
    const I inTable = min(max(index, splatI(0)), splatI(999));
    const F sine = select(inTable == index, gather(r.sine, inTable), splat(0.0f));
    return select(positive, sine, select(negative, -sine, splat(0.0f)));
}

// mapColour over entries [first, first + count) for the lanes in `lanes`; 0 elsewhere and where
// no entry covers the value. The entries are tried in order, as in the scalar search, but only
// from the first to the last one that could cover a value in the lanes' map cells.
inline Rgb mapColour(const LaneRecord& r, F value, int first, int count,
                     M lanes = allLanes()) noexcept {
    value = select(value > splat(1.0f), splat(1.0f), value);
    value = select(value < splat(0.0f), splat(0.0f), value);
    const I cell = toInt(select(value == value, value, splat(0.0f)) *
                         splat(static_cast<float>(LaneRecord::kMapCells)));
    const int low = lowest(cell), high = highest(cell);
    const int entry = r.mapCellEntry[low];
    if (entry >= first && entry < first + count && high - low <= 1 &&
        r.mapCellEntry[high] == entry) {
        // One entry covers every lane's value (NaN covers nothing).
        const F t = (value - splat(r.mapStart[entry])) / splat(r.mapSpan[entry]);
        const M found = lanes & (value == value);
        Rgb out;
        for (int c = 0; c < 3; ++c) {
            out.c[c] = select(found, splat(r.mapColour[c][entry]) + splat(r.mapStep[c][entry]) * t,
                              splat(0.0f));
        }
        return out;
    }
    int from = first, to = first + count - 1;
    if (high - low < 8) {
        // Mostly one or two cells, so two lookups and rarely a loop.
        int a =
            r.mapCellFirst[low] < r.mapCellFirst[high] ? r.mapCellFirst[low] : r.mapCellFirst[high];
        int b = r.mapCellLast[low] > r.mapCellLast[high] ? r.mapCellLast[low] : r.mapCellLast[high];
        for (int g = low + 1; g < high; ++g) {
            a = r.mapCellFirst[g] < a ? r.mapCellFirst[g] : a;
            b = r.mapCellLast[g] > b ? r.mapCellLast[g] : b;
        }
        from = a > from ? a : from;
        to = b < to ? b : to;
    }
    M done = !lanes;
    M found = noLanes();
    F start = splat(0.0f), span = splat(0.0f), colour[3], step[3];
    for (int c = 0; c < 3; ++c) {
        colour[c] = step[c] = splat(0.0f);
    }
    for (int e = from; e <= to; ++e) {
        const M covers = (!done) & (splat(r.mapStart[e]) <= value) & (value <= splat(r.mapEnd[e]));
        start = select(covers, splat(r.mapStart[e]), start);
        span = select(covers, splat(r.mapSpan[e]), span);
        for (int c = 0; c < 3; ++c) {
            colour[c] = select(covers, splat(r.mapColour[c][e]), colour[c]);
            step[c] = select(covers, splat(r.mapStep[c][e]), step[c]);
        }
        found = found | covers;
        done = done | covers;
        if (e - from >= 2 && all(done)) {
            break;
        }
    }
    Rgb out;
    const F t = (value - start) / span;
    for (int c = 0; c < 3; ++c) {
        out.c[c] = select(found, colour[c] + step[c] * t, splat(0.0f));
    }
    return out;
}

// The lattice period of the material's points (none unless the texture tiles).
inline Period materialPeriod(const LaneRecord& r) noexcept {
    return Period{r.materialPeriod[0], r.materialPeriod[1]};
}

inline void addColour(Chunk& ch, int i, const Rgb& add, M lanes = allLanes()) noexcept {
    for (int c = 0; c < 3; ++c) {
        const F now = loadF(ch.colour[c] + i);
        storeF(ch.colour[c] + i, select(lanes, now + add.c[c], now));
    }
}

inline void addRgb(Chunk& ch, int i, M lanes, F red, F green, F blue) noexcept {
    addColour(ch, i, Rgb{{red, green, blue}}, lanes);
}

inline void setColour(Chunk& ch, int i, M lanes, const float (&a)[3],
                      const float (&b)[3]) noexcept {
    for (int c = 0; c < 3; ++c) {
        storeF(ch.colour[c] + i, select(lanes, splat(a[c]), splat(b[c])));
    }
}

inline void addFromMap(const LaneRecord& r, Chunk& ch, int i, F value) noexcept {
    addColour(ch, i, mapColour(r, value, 0, r.mapSize));
}

inline void greyOrMap(const LaneRecord& r, Chunk& ch, int i, F value) noexcept {
    if (r.mapSize > 0) {
        addFromMap(r, ch, i, value);
    } else {
        addRgb(ch, i, allLanes(), value, value, value);
    }
}

// The displaced point p + turbulence x vectorTurbulence(p) (p itself without turbulence) into
// x[i], sums[1] (y) and sums[2] (z).
void displace(const LaneRecord& r, Chunk& ch) noexcept {
    const float t = r.turbulence;
    if (t != 0.0f) {
        turbulenceSums<3>(r, ch, ch.x, ch.y, 0.0f, r.octaves, materialPeriod(r));
    }
    eachVector(ch, [&](int i) {
        const F x = loadF(ch.x + i);
        if (t == 0.0f) {
            storeF(ch.other + i, x);
            storeF(ch.sums[1] + i, splat(ch.y));
            storeF(ch.sums[2] + i, splat(0.0f));
            return;
        }
        storeF(ch.other + i, x + splat(t) * loadF(ch.sums[0] + i));
        storeF(ch.sums[1] + i, splat(ch.y) + splat(t) * loadF(ch.sums[1] + i));
        storeF(ch.sums[2] + i, splat(0.0f) + splat(t) * loadF(ch.sums[2] + i));
    });
}

void sky(const LaneRecord& r, Chunk& ch) noexcept {
    displace(r, ch);
    eachVector(ch, [&](int i) {
        F sum[1];
        sumsAt(r, loadF(ch.other + i), loadF(ch.sums[1] + i), loadF(ch.sums[2] + i), sum,
               materialPeriod(r));
        const F value = clampedNoise(sum[0]);
        if (r.mapSize > 0) {
            addFromMap(r, ch, i, value);
            return;
        }
        const M white = value < splat(0.4f);
        const M green = (!white) & (value < splat(0.6f));
        const M blue = (!white) & (!green) & (value < splat(0.8f));
        const M red = !(white | green | blue);
        const F one = splat(1.0f), zero = splat(0.0f);
        addRgb(ch, i, white, one, one, one);
        addRgb(ch, i, green, zero, one, zero);
        addRgb(ch, i, blue, zero, zero, one);
        addRgb(ch, i, red, one, zero, zero);
    });
}

// Marble's colour of a value: the map, else the fallback colours.
inline void marbleColour(const LaneRecord& r, Chunk& ch, int i, F value) noexcept {
    if (r.mapSize > 0) {
        addFromMap(r, ch, i, value);
        return;
    }
    const M below = value < splat(0.0f);
    const M inside = (!below) & (value < splat(0.9f));
    const F fade = splat(0.8f) - splat(0.8f) * value;
    addRgb(ch, i, below, splat(0.9f), splat(0.8f), splat(0.8f));
    addRgb(ch, i, inside, splat(0.9f), fade, fade);
}

void marble(const LaneRecord& r, Chunk& ch) noexcept {
    turbulenceSums<1>(r, ch, ch.x, ch.y, 0.0f, r.octaves, materialPeriod(r));
    eachVector(ch, [&](int i) {
        const F value = triangleWave(loadF(ch.x + i) + splat(r.turbulence) * loadF(ch.sums[0] + i));
        marbleColour(r, ch, i, value);
    });
}

void wood(const LaneRecord& r, Chunk& ch) noexcept {
    turbulenceSums<3>(r, ch, ch.x, ch.y, 0.0f, r.octaves, materialPeriod(r));
    const F t = splat(r.turbulence), y = splat(ch.y);
    eachVector(ch, [&](int i) {
        const F x = loadF(ch.x + i);
        const F px = cycloid(r, (x + loadF(ch.sums[0] + i)) * t) + x;
        const F py = cycloid(r, (y + loadF(ch.sums[1] + i)) * t) + y;
        const F value = triangleWave(sqrt(px * px + py * py));
        if (r.mapSize > 0) {
            addFromMap(r, ch, i, value);
            return;
        }
        const M light = value <= splat(0.6f);
        addRgb(ch, i, light, splat(0.666f), splat(0.312f), splat(0.2f));
        addRgb(ch, i, !light, splat(0.4f), splat(0.133f), splat(0.066f));
    });
}

void brick(const LaneRecord& r, Chunk& ch) noexcept {
    graniteSums(r, ch, ch.x, ch.y, 0.0f);
    const int entries = r.mapSize > 1 ? (r.mapSize - 1 < 23 ? r.mapSize - 1 : 23) : 0;
    const F width = splat(0.05f);  // kBrickMortarWidth
    const auto mortar = [&](F m) { return (m > splat(0.0f)) & (m < width); };
    const M rowMortar =
        mortar(abs(remainderOfOne(splat(ch.y)))) | mortar(abs(remainderOfOne(splat(0.0f))));
    eachVector(ch, [&](int i) {
        addColour(ch, i, mapColour(r, loadF(ch.sums[0] + i), 1, entries));
        const M lines = mortar(abs(remainderOfOne(loadF(ch.x + i)))) | rowMortar;
        for (int c = 0; c < 3; ++c) {
            storeF(ch.colour[c] + i,
                   select(lines, splat(r.firstColour[c]), loadF(ch.colour[c] + i)));
        }
    });
}

// Whether the cell of the checker point (x, y, z) + 0.001 is odd.
inline M oddCell(F x, F y, F z) noexcept {
    const I cell = truncSumToInt(cellFloor(x), cellFloor(y), cellFloor(z));
    return (cell & splatI(1)) == splatI(1);
}

void checker(const LaneRecord& r, Chunk& ch) noexcept {
    const F y = splat(ch.y + 0.001f), z = splat(0.0f + 0.001f);
    eachVector(ch, [&](int i) {
        setColour(ch, i, oddCell(loadF(ch.x + i) + splat(0.001f), y, z), r.firstColour,
                  r.lastColour);
    });
}

// Marble over entries 0 to 11 in odd cells and 11 to 22 in even ones.
void checkerTexture(const LaneRecord& r, Chunk& ch) noexcept {
    const float y = ch.y + 0.001f, z = 0.0f + 0.001f;
    eachVector(ch, [&](int i) { storeF(ch.other + i, loadF(ch.x + i) + splat(0.001f)); });
    turbulenceSums<1>(r, ch, ch.other, y, z, r.octaves, materialPeriod(r));
    const int oddEntries = r.mapSize < 12 ? r.mapSize : 12;
    const int evenAvailable = r.mapSize > 11 ? r.mapSize - 11 : 0;
    const int evenEntries = evenAvailable < 12 ? evenAvailable : 12;
    eachVector(ch, [&](int i) {
        const F x = loadF(ch.other + i);
        const M odd = oddCell(x, splat(y), splat(z));
        const F value = triangleWave(x + splat(r.turbulence) * loadF(ch.sums[0] + i));
        const Rgb a = mapColour(r, value, 0, oddEntries, odd);
        const Rgb b = mapColour(r, value, 11, evenEntries, !odd);
        addColour(ch, i,
                  Rgb{{select(odd, a.c[0], b.c[0]), select(odd, a.c[1], b.c[1]),
                       select(odd, a.c[2], b.c[2])}});
    });
}

void reflection(const LaneRecord& r, Chunk& ch) noexcept {
    LineLattice lattice;
    lattice.prepare(r, ch.x[0], ch.x[ch.count - 1], ch.y, 0.0f, 1, ch.table, materialPeriod(r));
    eachVector(ch, [&](int i) {
        F sum[1];
        lattice.sums(loadF(ch.x + i), sum);
        greyOrMap(r, ch, i, clampedNoise(sum[0]));
    });
}

// Agate's colour: the power of the cycloid of the turbulence, lane by lane, with the very
// functions of the scalar path.
void agate(const LaneRecord& r, Chunk& ch) noexcept {
    turbulenceSums<1>(r, ch, ch.x, ch.y, 0.0f, r.octaves, materialPeriod(r));
    const double exponent = static_cast<double>(r.turbulence + 0.01f);
    for (int i = 0; i < ch.end; ++i) {
        const double w = 1.3 * static_cast<double>(ch.sums[0][i]) + 1.1 * static_cast<double>(0.0f);
        const float base = (quorvel::cycloid(w) + 1.0f) * 0.5f;
        ch.sums[0][i] = static_cast<float>(std::pow(static_cast<double>(base), exponent));
    }
    eachVector(ch, [&](int i) {
        const F value = loadF(ch.sums[0] + i);
        if (r.mapSize > 0) {
            addFromMap(r, ch, i, value);
            return;
        }
        const F one = splat(1.0f);
        const M low = value < splat(0.5f);
        const M middle = (!low) & (value < splat(0.6f));
        addRgb(ch, i, low, one - splat(0.1f) * value, one - splat(0.2f) * value, one - value);
        addRgb(ch, i, middle, splat(0.9f), splat(0.7f), one - value);
        addRgb(ch, i, !(low | middle), splat(1.6f) - value, splat(1.3f) - value, one - value);
    });
}

void granite(const LaneRecord& r, Chunk& ch) noexcept {
    graniteSums(r, ch, ch.x, ch.y, 0.0f);
    eachVector(ch, [&](int i) { greyOrMap(r, ch, i, loadF(ch.sums[0] + i)); });
}

void gradient(const LaneRecord& r, Chunk& ch) noexcept {
    if (r.mapSize == 0) {
        return;
    }
    displace(r, ch);
    const float* axes[3] = {ch.other, ch.sums[1], ch.sums[2]};
    eachVector(ch, [&](int i) {
        F value = splat(0.0f);
        for (int a = 0; a < 3; ++a) {
            if (r.gradientAxes[a]) {
                const F c = abs(loadF(axes[a] + i));
                value = value + (c - cellFloor(c));
            }
        }
        value = select(value > splat(1.0f), value - cellFloor(value), value);
        addFromMap(r, ch, i, value);
    });
}

void onion(const LaneRecord& r, Chunk& ch) noexcept {
    displace(r, ch);
    eachVector(ch, [&](int i) {
        const F x = loadF(ch.other + i), y = loadF(ch.sums[1] + i), z = loadF(ch.sums[2] + i);
        greyOrMap(r, ch, i, remainderOfOne(sqrt(x * x + y * y + z * z)));
    });
}

inline float sine(float v) noexcept { return static_cast<float>(std::sin(static_cast<double>(v))); }

// Leopard: sines lane by lane, with the scalar path's function; without turbulence the y and
// z sines are the same for the whole row. The sine factors are 1 unless the texture tiles.
void leopard(const LaneRecord& r, Chunk& ch) noexcept {
    displace(r, ch);
    const bool flat = r.turbulence == 0.0f;
    const float ySine = sine(ch.y * r.sineY), zSine = sine(0.0f);
    for (int i = 0; i < ch.end; ++i) {
        const float sy = flat ? ySine : sine(ch.sums[1][i] * r.sineY);
        const float sz = flat ? zSine : sine(ch.sums[2][i]);
        const float mean = (sine(ch.other[i] * r.sineX) + sy + sz) * 0.33333334f;
        ch.sums[0][i] = mean * mean;
    }
    eachVector(ch, [&](int i) { greyOrMap(r, ch, i, loadF(ch.sums[0] + i)); });
}

void smoke(const LaneRecord& r, Chunk& ch) noexcept {
    LineLattice lattice;
    // Only the inner noise wraps: the outer one samples a point that already repeats.
    lattice.prepare(r, ch.x[0], ch.x[ch.count - 1], ch.y, 0.0f, 3, ch.table, materialPeriod(r));
    eachVector(ch, [&](int i) {
        F d[3];
        lattice.sums(loadF(ch.x + i), d);
        F value = splat(0.0f);
        float scale = 1.0f;
        for (int k = 0; k < 10; ++k) {
            const F f = splat(4.0f * scale);
            F sum[1];
            sumsAt(r, f * d[0], f * d[1], f * d[2], sum);
            value = value + abs(clampedNoise(sum[0])) / splat(scale);
            scale *= 2.0f;
        }
        greyOrMap(r, ch, i, value);
    });
}

void stains(const LaneRecord& r, Chunk& ch) noexcept {
    const float t = r.turbulence;
    if (t != 0.0f) {
        turbulenceSums<3>(r, ch, ch.x, ch.y, 0.0f, r.octaves, materialPeriod(r));
    }
    eachVector(ch, [&](int i) {
        F x = loadF(ch.x + i);
        F z = splat(0.0f);
        if (t != 0.0f) {
            x = x + splat(t) * loadF(ch.sums[0] + i);
            z = splat(0.0f) + splat(t) * loadF(ch.sums[2] + i);
        }
        const I n = toInt(cellFloor(x)) ^ toInt(cellFloor(z));
        setColour(ch, i, (n & splatI(1)) == splatI(1), r.stainsOdd, r.stainsEven);
    });
}

// Runs the record's material over the chunk; a material outside the list leaves the colours.
void evaluateMaterial(const LaneRecord& r, Chunk& ch) noexcept {
    using Material = void (*)(const LaneRecord&, Chunk&) noexcept;
    static constexpr Material kMaterials[] = {
        sky,   marble,  wood,     brick, checker, checkerTexture, reflection,
        agate, granite, gradient, onion, leopard, smoke,          stains,
    };
    if (r.material >= 0 && r.material < 14) {
        kMaterials[r.material](r, ch);
    }
}

}  // namespace
}  // namespace quorvel
