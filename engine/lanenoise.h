#pragma once

// Lattice noise over lanes, for the lane kernels: the arithmetic of noise.cpp, operation for
// operation, on kLanes points at a time. Needs the lane types of lanes_avx2.h or
// lanes_avx512.h included before it; everything here has internal linkage.
//
// Most noise in the engine is taken along a line of points: an image row fixes y and z, and
// only x varies, monotonically, from pixel to pixel. LineLattice therefore works out the y and z
// cells once per row and octave and tabulates, for every lattice column the row's points reach,
// the corner values that do not depend on x. The sums keep the scalar order of additions: the
// products that the table holds are the ones the scalar path rounds on their own.

#include "engine/lanerecord.h"

#include <cstdint>

namespace quorvel {
namespace {

constexpr float kLatticeShift = 10000.0f;  // as noise.cpp
constexpr float kLatticeLimit = 2147483648.0f;

// The truncation of numeric.h, here so that this unit needs no shared inline code.
inline int32_t truncate(float v) noexcept {
    if (v >= -kLatticeLimit && v < kLatticeLimit) {
        return static_cast<int32_t>(v);
    }
    return INT32_MIN;
}

inline bool inLatticeRange(float v) noexcept {
    const float shifted = v + kLatticeShift;
    return shifted >= -kLatticeLimit && shifted < kLatticeLimit;
}

inline M inLatticeRange(F v) noexcept {
    const F shifted = v + splat(kLatticeShift);
    return (shifted >= splat(-kLatticeLimit)) & (shifted < splat(kLatticeLimit));
}

// The cells after which the lattice wraps along x and y, as noise.h's LatticePeriod (0: an axis
// that does not wrap), with its arithmetic.
struct Period {
    int64_t x = 0;
    int64_t y = 0;
};

inline bool wraps(const Period& p) noexcept { return p.x > 0 || p.y > 0; }

inline Period times(const Period& p, int64_t factor) noexcept {
    constexpr int64_t kLimit = int64_t{1} << 40;
    const auto scaled = [&](int64_t cells) -> int64_t {
        return cells > 0 && factor > 0 && cells <= kLimit / factor ? cells * factor : 0;
    };
    return Period{scaled(p.x), scaled(p.y)};
}

// A corner cell taken modulo a period of cells; a period of 0 leaves it as it is.
inline uint32_t wrapped(uint32_t cell, int64_t period) noexcept {
    if (period <= 0) {
        return cell;
    }
    int64_t m = static_cast<int64_t>(static_cast<int32_t>(cell)) % period;
    if (m < 0) {
        m += period;
    }
    return static_cast<uint32_t>(m);
}

// One axis of the lattice cells of a vector of points: the lower corner, the offsets to both
// corners and their smoothed weights (index 0 the lower corner, 1 the upper).
struct Axis {
    I cell;
    F d[2];
    F w[2];
};

inline Axis axisOf(F coordinate) noexcept {
    const F v = coordinate + splat(kLatticeShift);
    Axis a;
    a.cell = toInt(v);
    a.d[0] = v - toFloat(a.cell);
    // The cell is below 2^31 - 128 or the integer minimum, so adding one cannot overflow.
    a.d[1] = v - toFloat(a.cell + splatI(1));
    const F f = a.d[0];
    a.w[1] = f * f * (splat(3.0f) - splat(2.0f) * f);
    a.w[0] = splat(1.0f) - a.w[1];
    return a;
}

// The same for one coordinate shared by every lane, kept as plain values too.
struct AxisValue {
    int32_t cell;
    float d[2];
    float w[2];
};

inline AxisValue axisValueOf(float coordinate) noexcept {
    const float v = coordinate + kLatticeShift;
    AxisValue a;
    a.cell = truncate(v);
    a.d[0] = v - static_cast<float>(a.cell);
    a.d[1] = v - static_cast<float>(static_cast<int64_t>(a.cell) + 1);
    const float f = a.d[0];
    a.w[1] = f * f * (3.0f - 2.0f * f);
    a.w[0] = 1.0f - a.w[1];
    return a;
}

inline Axis broadcast(const AxisValue& a) noexcept {
    return Axis{splatI(a.cell), {splat(a.d[0]), splat(a.d[1])}, {splat(a.w[0]), splat(a.w[1])}};
}

// noise() ends by clamping the corner sum plus one half to 0 to 1; NaN gives 0.
inline F clampedNoise(F sum) noexcept {
    const F r = sum + splat(0.5f);
    return select(!(r > splat(0.0f)), splat(0.0f), select(r > splat(1.0f), splat(1.0f), r));
}

// A corner's values for one component: 0.5 m0, m1, m2 dy and m3 dz, where m are the four
// random-table values the corner's hash selects.
struct CornerValues {
    F a, m1, c2, c3;
};

// The corner sums of w x (0.5 m0 + m1 dx + m2 dy + m3 dz) of each of the N components, corner
// by corner in the scalar order: x changes slowest, z fastest. `values(c, j)` gives component
// j's values at corner c = 4 bx + 2 by + bz.
//
// FlatZ leaves out the upper z corners, for points whose z lies on a lattice plane (weight
// exactly 1 below, 0 above) with every corner value finite: their terms are then +0 or -0,
// and adding either to a sum that starts at +0 never changes it (round to nearest gives -0
// only for -0 + -0). Multiplying by the weight 1 is exact too.
template <int N, bool FlatZ = false, class Values>
inline void cornerSums(const Axis& x, const Axis& y, const Axis& z, Values&& values,
                       F (&out)[N]) noexcept {
    F sums[N];
    for (F& s : sums) {
        s = splat(0.0f);
    }
#pragma GCC unroll 8
    for (int c = 0; c < 8; ++c) {
        const int bx = c >> 2, by = (c >> 1) & 1, bz = c & 1;
        if (FlatZ && bz == 1) {
            continue;
        }
        const F w = FlatZ ? x.w[bx] * y.w[by] : x.w[bx] * y.w[by] * z.w[bz];
#pragma GCC unroll 3
        for (int j = 0; j < N; ++j) {
            const CornerValues v = values(c, j);
            sums[j] = sums[j] + w * (v.a + v.m1 * x.d[bx] + v.c2 + v.c3);
        }
    }
    for (int j = 0; j < N; ++j) {
        out[j] = sums[j];
    }
}

inline int cornerHash(const uint16_t* perm, uint32_t cx, uint32_t cy, uint32_t cz) noexcept {
    const uint32_t a = perm[cx & 4095u];
    const uint32_t b = perm[(a ^ (cy & 4095u)) & 4095u];
    return perm[(b ^ (cz & 4095u)) & 4095u] & 255;
}

// The eight corner hashes of a cell, in corner order, into hashes[c x stride]: cornerHash with
// the lookups that corners share done once.
// With Wrap, the x and y corners are taken modulo the period first.
template <bool Wrap = false>
inline void cornerHashes(const uint16_t* perm, uint32_t cx, uint32_t cy, uint32_t cz,
                         int32_t* hashes, int stride, const Period& period = {}) noexcept {
    uint32_t x[2] = {cx, cx + 1u};
    uint32_t y[2] = {cy & 4095u, (cy + 1u) & 4095u};
    if (Wrap) {
        x[0] = wrapped(cx, period.x);
        x[1] = wrapped(cx + 1u, period.x);
        y[0] = wrapped(cy, period.y) & 4095u;
        y[1] = wrapped(cy + 1u, period.y) & 4095u;
    }
    const uint32_t z[2] = {cz & 4095u, (cz + 1u) & 4095u};
    for (uint32_t bx = 0; bx < 2; ++bx) {
        const uint32_t a = perm[x[bx] & 4095u];
        for (uint32_t by = 0; by < 2; ++by) {
            const uint32_t b = perm[(a ^ y[by]) & 4095u];
            for (uint32_t bz = 0; bz < 2; ++bz) {
                hashes[(4 * bx + 2 * by + bz) * static_cast<uint32_t>(stride)] =
                    perm[(b ^ z[bz]) & 4095u] & 255;
            }
        }
    }
}

// Noise sums for points whose cells differ in every coordinate. Neighbouring points mostly
// share cells, so the hashes are worked out once per run of lanes in the same cell (once for
// all lanes when they share one); the random-table values are then loaded four at a time.
// With Wrap, on the lattice that wraps with `period`.
template <int N, bool Wrap = false>
inline void sumsAnywhere(const LaneRecord& r, const Axis& x, const Axis& y, const Axis& z,
                         F (&out)[N], const Period& period = {}) noexcept {
    const M changes = !(x.cell == previousLane(x.cell)) | !(y.cell == previousLane(y.cell)) |
                      !(z.cell == previousLane(z.cell));
    unsigned starts = laneBits(changes) & ~1u;
    alignas(64) int32_t cx[kLanes], cy[kLanes], cz[kLanes];
    storeI(cx, x.cell);
    storeI(cy, y.cell);
    storeI(cz, z.cell);
    const auto hashesAt = [&](int l, int32_t(&h)[8]) {
        cornerHashes<Wrap>(r.perm, static_cast<uint32_t>(cx[l]), static_cast<uint32_t>(cy[l]),
                           static_cast<uint32_t>(cz[l]), h, 1, period);
    };
    int32_t first[8];
    hashesAt(0, first);
    if (starts == 0) {
        cornerSums(
            x, y, z,
            [&](int c, int j) {
                const float* m = r.random + first[c] + 4 * j;
                return CornerValues{splat(0.5f * m[0]), splat(m[1]),
                                    splat(m[2]) * y.d[(c >> 1) & 1], splat(m[3]) * z.d[c & 1]};
            },
            out);
        return;
    }
    I hashes[8];
    for (int c = 0; c < 8; ++c) {
        hashes[c] = splatI(first[c]);
    }
    while (starts != 0) {
        const int l = __builtin_ctz(starts);
        starts &= starts - 1;
        int32_t run[8];
        hashesAt(l, run);
        const M from = iota() > splatI(l - 1);
        for (int c = 0; c < 8; ++c) {
            hashes[c] = select(from, splatI(run[c]), hashes[c]);
        }
    }
    alignas(64) int32_t at[8][kLanes];
    for (int c = 0; c < 8; ++c) {
        storeI(at[c], hashes[c]);
    }
    cornerSums(
        x, y, z,
        [&](int c, int j) {
            F m[4];
            rows4(r.random + 4 * j, at[c], m);
            return CornerValues{splat(0.5f) * m[0], m[1], m[2] * y.d[(c >> 1) & 1],
                                m[3] * z.d[c & 1]};
        },
        out);
}

// The lattice along one line of points (x varying, y and z fixed) at one octave.
constexpr int kTableColumns = 130;  // lattice columns a table may hold
constexpr int kTableStride = kTableColumns + kLanes;
constexpr int kTableFields = 12;  // a, m1, c2, c3 of three components
using LatticeTable = float[4][kTableFields][kTableStride];

class LineLattice {
public:
    // Sets up the line at (x, y, z) for x from xFirst to xLast (either order), for noise with
    // `components` components (1 or 3). The columns are tabulated into `table` when both ends
    // are on the lattice and the columns between them fit; otherwise each point is looked up
    // on its own. The lattice wraps with `period` when it has one.
    void prepare(const LaneRecord& r, float xFirst, float xLast, float y, float z, int components,
                 LatticeTable& table, const Period& period = {}) noexcept {
        mRecord = &r;
        mPeriod = period;
        mWraps = wraps(period);
        mYValue = axisValueOf(y);
        mZValue = axisValueOf(z);
        mY = broadcast(mYValue);
        mZ = broadcast(mZValue);
        mTable = nullptr;
        if (!inLatticeRange(xFirst) || !inLatticeRange(xLast)) {
            return;
        }
        const int32_t a = truncate(xFirst + kLatticeShift);
        const int32_t b = truncate(xLast + kLatticeShift);
        mBase = a < b ? a : b;
        const int64_t columns = static_cast<int64_t>(a < b ? b : a) - mBase + 2;
        if (columns > kTableColumns) {
            return;
        }
        mColumns = static_cast<int>(columns);
        mTable = &table;
        // On the table x is on the lattice; with y and z on it too every corner value is finite.
        mFlatZ =
            mZValue.w[0] == 1.0f && mZValue.w[1] == 0.0f && inLatticeRange(y) && inLatticeRange(z);
        fill(components);
    }

    // Noise sums at the points (x, y, z) for the lanes' x.
    template <int N> void sums(F x, F (&out)[N]) const noexcept {
        const Axis ax = axisOf(x);
        if (!mTable) {
            if (mWraps) {
                sumsAnywhere<N, true>(*mRecord, ax, mY, mZ, out, mPeriod);
            } else {
                sumsAnywhere(*mRecord, ax, mY, mZ, out);
            }
        } else if (mFlatZ) {
            tabled<N, true>(ax, out);
        } else {
            tabled<N, false>(ax, out);
        }
    }

private:
    template <int N, bool FlatZ> void tabled(const Axis& ax, F (&out)[N]) const noexcept {
        // Only the lanes' column differs; points between the two ends are on the table.
        const I column = min(max(ax.cell - splatI(mBase), splatI(0)), splatI(mColumns - 2));
        const LatticeTable& t = *mTable;
        if (uniform(column)) {
            // Coarse octaves: every lane in one column.
            alignas(64) int32_t columns[kLanes];
            storeI(columns, column);
            const int at = columns[0];
            cornerSums<N, FlatZ>(
                ax, mY, mZ,
                [&](int c, int j) {
                    const float* v = &t[c & 3][4 * j][at + (c >> 2)];
                    return CornerValues{splat(v[0]), splat(v[kTableStride]),
                                        splat(v[2 * kTableStride]), splat(v[3 * kTableStride])};
                },
                out);
            return;
        }
        const int32_t low = lowest(column);
        if (highest(column) - low <= kLanes - 2) {
            const I k = column - splatI(low);
            cornerSums<N, FlatZ>(
                ax, mY, mZ,
                [&](int c, int j) {
                    const int at = low + (c >> 2), pair = c & 3;
                    return CornerValues{
                        permute(&t[pair][4 * j][at], k), permute(&t[pair][4 * j + 1][at], k),
                        permute(&t[pair][4 * j + 2][at], k), permute(&t[pair][4 * j + 3][at], k)};
                },
                out);
            return;
        }
        cornerSums<N, FlatZ>(
            ax, mY, mZ,
            [&](int c, int j) {
                const int bx = c >> 2, pair = c & 3;
                return CornerValues{gather(&t[pair][4 * j][bx], column),
                                    gather(&t[pair][4 * j + 1][bx], column),
                                    gather(&t[pair][4 * j + 2][bx], column),
                                    gather(&t[pair][4 * j + 3][bx], column)};
            },
            out);
    }

    void fill(int components) noexcept {
        const LaneRecord& r = *mRecord;
        const uint32_t cy = static_cast<uint32_t>(mYValue.cell);
        const uint32_t cz = static_cast<uint32_t>(mZValue.cell);
        LatticeTable& t = *mTable;
        // A wrapping lattice only renames the columns and rows the table holds.
        const uint32_t rows[2] = {wrapped(cy, mPeriod.y), wrapped(cy + 1u, mPeriod.y)};
        for (int k = 0; k < mColumns; ++k) {
            const uint32_t cx =
                wrapped(static_cast<uint32_t>(mBase) + static_cast<uint32_t>(k), mPeriod.x);
            for (int pair = 0; pair < 4; pair += mFlatZ ? 2 : 1) {
                const int by = pair >> 1, bz = pair & 1;
                const int h = cornerHash(r.perm, cx, rows[by], cz + static_cast<uint32_t>(bz));
                for (int j = 0; j < components; ++j) {
                    const float* m = r.random + h + 4 * j;
                    t[pair][4 * j][k] = 0.5f * m[0];
                    t[pair][4 * j + 1][k] = m[1];
                    t[pair][4 * j + 2][k] = m[2] * mYValue.d[by];
                    t[pair][4 * j + 3][k] = m[3] * mZValue.d[bz];
                }
            }
        }
    }

    const LaneRecord* mRecord = nullptr;
    Period mPeriod{};
    bool mWraps = false;
    AxisValue mYValue{}, mZValue{};
    Axis mY{}, mZ{};
    LatticeTable* mTable = nullptr;
    int32_t mBase = 0;
    int mColumns = 0;
    bool mFlatZ = false;
};

// noise() and vectorNoise() sums at points anywhere, on the lattice that wraps with `period`
// when it has one.
template <int N>
inline void sumsAt(const LaneRecord& r, F x, F y, F z, F (&out)[N],
                   const Period& period = {}) noexcept {
    if (wraps(period)) {
        sumsAnywhere<N, true>(r, axisOf(x), axisOf(y), axisOf(z), out, period);
    } else {
        sumsAnywhere(r, axisOf(x), axisOf(y), axisOf(z), out);
    }
}

}  // namespace
}  // namespace quorvel
