#pragma once

// Eight float lanes on AVX2, for the lane kernels (lanekernels.h). Every operation is the IEEE
// single-precision operation the scalar path performs, lane by lane: no fused multiply-add, no
// reciprocal estimates, conversions that truncate and give the integer minimum out of range.
// Hardware gathers are slower than plain loads on the processors at hand, so lookups either
// permute a window of a table or load lane by lane.
//
// Only for units compiled with -mavx2: everything here has internal linkage.

#include <immintrin.h>

#include <cstdint>

namespace quorvel {
namespace {

constexpr int kLanes = 8;

struct F {
    __m256 v;
};
struct I {
    __m256i v;
};
struct M {
    __m256 v;  // every bit of a lane set, or none
};

inline F splat(float x) noexcept { return {_mm256_set1_ps(x)}; }
inline I splatI(int32_t x) noexcept { return {_mm256_set1_epi32(x)}; }
inline F loadF(const float* p) noexcept { return {_mm256_loadu_ps(p)}; }
inline I loadI(const int32_t* p) noexcept {
    return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))};
}
inline void storeF(float* p, F a) noexcept { _mm256_storeu_ps(p, a.v); }
inline void storeI(int32_t* p, I a) noexcept {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v);
}
inline I iota() noexcept { return {_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)}; }

inline F operator+(F a, F b) noexcept { return {_mm256_add_ps(a.v, b.v)}; }
inline F operator-(F a, F b) noexcept { return {_mm256_sub_ps(a.v, b.v)}; }
inline F operator*(F a, F b) noexcept { return {_mm256_mul_ps(a.v, b.v)}; }
inline F operator/(F a, F b) noexcept { return {_mm256_div_ps(a.v, b.v)}; }
inline F operator-(F a) noexcept { return {_mm256_xor_ps(a.v, _mm256_set1_ps(-0.0f))}; }
inline F abs(F a) noexcept { return {_mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v)}; }
inline F floor(F a) noexcept {
    return {_mm256_round_ps(a.v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)};
}
inline F trunc(F a) noexcept {
    return {_mm256_round_ps(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)};
}
inline F sqrt(F a) noexcept { return {_mm256_sqrt_ps(a.v)}; }
inline F copySign(F magnitude, F sign) noexcept {
    const __m256 bit = _mm256_set1_ps(-0.0f);
    return {_mm256_or_ps(_mm256_andnot_ps(bit, magnitude.v), _mm256_and_ps(bit, sign.v))};
}

// Comparisons are false where either side is NaN, except !=, as in C++.
inline M operator<(F a, F b) noexcept { return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ)}; }
inline M operator<=(F a, F b) noexcept { return {_mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ)}; }
inline M operator>(F a, F b) noexcept { return {_mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ)}; }
inline M operator>=(F a, F b) noexcept { return {_mm256_cmp_ps(a.v, b.v, _CMP_GE_OQ)}; }
inline M operator==(F a, F b) noexcept { return {_mm256_cmp_ps(a.v, b.v, _CMP_EQ_OQ)}; }
inline M operator!=(F a, F b) noexcept { return {_mm256_cmp_ps(a.v, b.v, _CMP_NEQ_UQ)}; }

inline M operator&(M a, M b) noexcept { return {_mm256_and_ps(a.v, b.v)}; }
inline M operator|(M a, M b) noexcept { return {_mm256_or_ps(a.v, b.v)}; }
inline M operator!(M a) noexcept {
    return {_mm256_xor_ps(a.v, _mm256_castsi256_ps(_mm256_set1_epi32(-1)))};
}
inline bool any(M a) noexcept { return _mm256_movemask_ps(a.v) != 0; }
inline bool all(M a) noexcept { return _mm256_movemask_ps(a.v) == 0xFF; }
// One bit per lane, lane 0 lowest.
inline unsigned laneBits(M a) noexcept { return static_cast<unsigned>(_mm256_movemask_ps(a.v)); }
inline M noLanes() noexcept { return {_mm256_setzero_ps()}; }
inline M allLanes() noexcept { return {_mm256_castsi256_ps(_mm256_set1_epi32(-1))}; }
// Masks kept in memory between passes over a row, as integer lanes.
inline I fromMask(M a) noexcept { return {_mm256_castps_si256(a.v)}; }
inline M toMask(I a) noexcept { return {_mm256_castsi256_ps(a.v)}; }

inline F select(M m, F a, F b) noexcept { return {_mm256_blendv_ps(b.v, a.v, m.v)}; }
inline I select(M m, I a, I b) noexcept {
    return {_mm256_castps_si256(
        _mm256_blendv_ps(_mm256_castsi256_ps(b.v), _mm256_castsi256_ps(a.v), m.v))};
}

// Truncation toward zero; outside the 32-bit range and NaN give the integer minimum.
inline I toInt(F a) noexcept { return {_mm256_cvttps_epi32(a.v)}; }
inline F toFloat(I a) noexcept { return {_mm256_cvtepi32_ps(a.v)}; }

inline I operator+(I a, I b) noexcept { return {_mm256_add_epi32(a.v, b.v)}; }
inline I operator-(I a, I b) noexcept { return {_mm256_sub_epi32(a.v, b.v)}; }
inline I operator&(I a, I b) noexcept { return {_mm256_and_si256(a.v, b.v)}; }
inline I operator|(I a, I b) noexcept { return {_mm256_or_si256(a.v, b.v)}; }
inline I operator^(I a, I b) noexcept { return {_mm256_xor_si256(a.v, b.v)}; }
inline I operator<<(I a, int n) noexcept { return {_mm256_slli_epi32(a.v, n)}; }
inline M operator==(I a, I b) noexcept {
    return {_mm256_castsi256_ps(_mm256_cmpeq_epi32(a.v, b.v))};
}
inline M operator>(I a, I b) noexcept {
    return {_mm256_castsi256_ps(_mm256_cmpgt_epi32(a.v, b.v))};
}
// Lane l takes lane l - 1; lane 0 keeps its own.
inline I previousLane(I a) noexcept {
    return {_mm256_permutevar8x32_epi32(a.v, _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6))};
}
inline I min(I a, I b) noexcept { return {_mm256_min_epi32(a.v, b.v)}; }
inline I max(I a, I b) noexcept { return {_mm256_max_epi32(a.v, b.v)}; }

inline int32_t lowest(I a) noexcept {
    __m128i m = _mm_min_epi32(_mm256_castsi256_si128(a.v), _mm256_extracti128_si256(a.v, 1));
    m = _mm_min_epi32(m, _mm_shuffle_epi32(m, 0x4E));
    m = _mm_min_epi32(m, _mm_shuffle_epi32(m, 0xB1));
    return _mm_cvtsi128_si32(m);
}
inline int32_t highest(I a) noexcept {
    __m128i m = _mm_max_epi32(_mm256_castsi256_si128(a.v), _mm256_extracti128_si256(a.v, 1));
    m = _mm_max_epi32(m, _mm_shuffle_epi32(m, 0x4E));
    m = _mm_max_epi32(m, _mm_shuffle_epi32(m, 0xB1));
    return _mm_cvtsi128_si32(m);
}
// Whether every lane holds the value of the first.
inline bool uniform(I a) noexcept {
    const __m256i first = _mm256_broadcastd_epi32(_mm256_castsi256_si128(a.v));
    return _mm256_movemask_epi8(_mm256_cmpeq_epi32(a.v, first)) == -1;
}

// window[k] for each lane's k, 0 to 7.
inline F permute(const float* window, I k) noexcept {
    return {_mm256_permutevar8x32_ps(_mm256_loadu_ps(window), k.v)};
}
// table[k] for each lane's k, 0 to 31; the table holds 32 floats.
inline F lookup32(const float* table, I k) noexcept {
    const __m256i low = _mm256_and_si256(k.v, _mm256_set1_epi32(7));
    const __m256 a = _mm256_permutevar8x32_ps(_mm256_loadu_ps(table), low);
    const __m256 b = _mm256_permutevar8x32_ps(_mm256_loadu_ps(table + 8), low);
    const __m256 c = _mm256_permutevar8x32_ps(_mm256_loadu_ps(table + 16), low);
    const __m256 d = _mm256_permutevar8x32_ps(_mm256_loadu_ps(table + 24), low);
    const __m256 high8 = _mm256_castsi256_ps(_mm256_slli_epi32(k.v, 28));  // bit 3 as sign
    const __m256 high16 = _mm256_castsi256_ps(_mm256_slli_epi32(k.v, 27));
    return {_mm256_blendv_ps(_mm256_blendv_ps(a, b, high8), _mm256_blendv_ps(c, d, high8), high16)};
}

// base[k] for each lane's k, loaded lane by lane.
inline F gather(const float* base, I k) noexcept {
    alignas(32) int32_t at[kLanes];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), k.v);
    return {_mm256_setr_ps(base[at[0]], base[at[1]], base[at[2]], base[at[3]], base[at[4]],
                           base[at[5]], base[at[6]], base[at[7]])};
}

// Four consecutive floats from base + at[lane] for each lane, as four vectors: m[q] holds
// base[at[lane] + q].
inline void rows4(const float* base, const int32_t* at, F (&m)[4]) noexcept {
    const auto pair = [&](int q) {
        return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(base + at[q])),
                                    _mm_loadu_ps(base + at[4 + q]), 1);
    };
    const __m256 t0 = pair(0), t1 = pair(1), t2 = pair(2), t3 = pair(3);
    const __m256 u0 = _mm256_unpacklo_ps(t0, t1);
    const __m256 u1 = _mm256_unpackhi_ps(t0, t1);
    const __m256 u2 = _mm256_unpacklo_ps(t2, t3);
    const __m256 u3 = _mm256_unpackhi_ps(t2, t3);
    m[0].v = _mm256_shuffle_ps(u0, u2, 0x44);
    m[1].v = _mm256_shuffle_ps(u0, u2, 0xEE);
    m[2].v = _mm256_shuffle_ps(u1, u3, 0x44);
    m[3].v = _mm256_shuffle_ps(u1, u3, 0xEE);
}

// The red, green and blue bytes of the lanes' pixels (red lowest in each lane) as 3 x kLanes
// bytes from `out`; may also overwrite the 4 bytes after them.
inline void storeRgb(uint8_t* out, I rgbx) noexcept {
    const __m256i packed = _mm256_shuffle_epi8(
        rgbx.v, _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4,
                                 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(packed, 1));
}

// The double-precision steps of the scalar path, on both halves.
inline I truncToInt(__m256d low, __m256d high) noexcept {
    return {_mm256_set_m128i(_mm256_cvttpd_epi32(high), _mm256_cvttpd_epi32(low))};
}
// truncToInt(double(a) x k) for each lane.
inline I truncProductToInt(F a, double k) noexcept {
    const __m256d factor = _mm256_set1_pd(k);
    return truncToInt(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(a.v)), factor),
                      _mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(a.v, 1)), factor));
}
// truncToInt((double(a) + double(b)) + double(c)) for each lane.
inline I truncSumToInt(F a, F b, F c) noexcept {
    const auto half = [](__m128 x, __m128 y, __m128 z) {
        return _mm256_add_pd(_mm256_add_pd(_mm256_cvtps_pd(x), _mm256_cvtps_pd(y)),
                             _mm256_cvtps_pd(z));
    };
    return truncToInt(
        half(_mm256_castps256_ps128(a.v), _mm256_castps256_ps128(b.v), _mm256_castps256_ps128(c.v)),
        half(_mm256_extractf128_ps(a.v, 1), _mm256_extractf128_ps(b.v, 1),
             _mm256_extractf128_ps(c.v, 1)));
}

}  // namespace
}  // namespace quorvel
