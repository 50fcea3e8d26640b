#pragma once

// Sixteen float lanes on AVX-512 (F, BW, DQ, VL), for the lane kernels (lanekernels.h). The
// same operations as lanes_avx2.h, with the same guarantees: each is the IEEE operation the
// scalar path performs, lane by lane.
//
// Only for units compiled for AVX-512: everything here has internal linkage.

#include <immintrin.h>

#include <cstdint>

namespace quorvel {
namespace {

constexpr int kLanes = 16;

struct F {
    __m512 v;
};
struct I {
    __m512i v;
};
struct M {
    __mmask16 k;
};

inline F splat(float x) noexcept { return {_mm512_set1_ps(x)}; }
inline I splatI(int32_t x) noexcept { return {_mm512_set1_epi32(x)}; }
inline F loadF(const float* p) noexcept { return {_mm512_loadu_ps(p)}; }
inline I loadI(const int32_t* p) noexcept { return {_mm512_loadu_si512(p)}; }
inline void storeF(float* p, F a) noexcept { _mm512_storeu_ps(p, a.v); }
inline void storeI(int32_t* p, I a) noexcept { _mm512_storeu_si512(p, a.v); }
inline I iota() noexcept {
    return {_mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15)};
}

inline F operator+(F a, F b) noexcept { return {_mm512_add_ps(a.v, b.v)}; }
inline F operator-(F a, F b) noexcept { return {_mm512_sub_ps(a.v, b.v)}; }
inline F operator*(F a, F b) noexcept { return {_mm512_mul_ps(a.v, b.v)}; }
inline F operator/(F a, F b) noexcept { return {_mm512_div_ps(a.v, b.v)}; }
inline F operator-(F a) noexcept { return {_mm512_xor_ps(a.v, _mm512_set1_ps(-0.0f))}; }
inline F abs(F a) noexcept { return {_mm512_andnot_ps(_mm512_set1_ps(-0.0f), a.v)}; }
inline F floor(F a) noexcept {
    return {_mm512_roundscale_ps(a.v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)};
}
inline F trunc(F a) noexcept {
    return {_mm512_roundscale_ps(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)};
}
inline F sqrt(F a) noexcept { return {_mm512_sqrt_ps(a.v)}; }
inline F copySign(F magnitude, F sign) noexcept {
    const __m512 bit = _mm512_set1_ps(-0.0f);
    return {_mm512_or_ps(_mm512_andnot_ps(bit, magnitude.v), _mm512_and_ps(bit, sign.v))};
}

// Comparisons are false where either side is NaN, except !=, as in C++.
inline M operator<(F a, F b) noexcept { return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_LT_OQ)}; }
inline M operator<=(F a, F b) noexcept { return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_LE_OQ)}; }
inline M operator>(F a, F b) noexcept { return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_GT_OQ)}; }
inline M operator>=(F a, F b) noexcept { return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_GE_OQ)}; }
inline M operator==(F a, F b) noexcept { return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_EQ_OQ)}; }
inline M operator!=(F a, F b) noexcept { return {_mm512_cmp_ps_mask(a.v, b.v, _CMP_NEQ_UQ)}; }

inline M operator&(M a, M b) noexcept { return {static_cast<__mmask16>(a.k & b.k)}; }
inline M operator|(M a, M b) noexcept { return {static_cast<__mmask16>(a.k | b.k)}; }
inline M operator!(M a) noexcept { return {static_cast<__mmask16>(~a.k)}; }
inline bool any(M a) noexcept { return a.k != 0; }
inline bool all(M a) noexcept { return a.k == 0xFFFF; }
// One bit per lane, lane 0 lowest.
inline unsigned laneBits(M a) noexcept { return a.k; }
inline M noLanes() noexcept { return {0}; }
inline M allLanes() noexcept { return {0xFFFF}; }
// Masks kept in memory between passes over a row, as integer lanes.
inline I fromMask(M a) noexcept { return {_mm512_movm_epi32(a.k)}; }
inline M toMask(I a) noexcept { return {_mm512_movepi32_mask(a.v)}; }

inline F select(M m, F a, F b) noexcept { return {_mm512_mask_blend_ps(m.k, b.v, a.v)}; }
inline I select(M m, I a, I b) noexcept { return {_mm512_mask_blend_epi32(m.k, b.v, a.v)}; }

// Truncation toward zero; outside the 32-bit range and NaN give the integer minimum.
inline I toInt(F a) noexcept { return {_mm512_cvttps_epi32(a.v)}; }
inline F toFloat(I a) noexcept { return {_mm512_cvtepi32_ps(a.v)}; }

inline I operator+(I a, I b) noexcept { return {_mm512_add_epi32(a.v, b.v)}; }
inline I operator-(I a, I b) noexcept { return {_mm512_sub_epi32(a.v, b.v)}; }
inline I operator&(I a, I b) noexcept { return {_mm512_and_si512(a.v, b.v)}; }
inline I operator|(I a, I b) noexcept { return {_mm512_or_si512(a.v, b.v)}; }
inline I operator^(I a, I b) noexcept { return {_mm512_xor_si512(a.v, b.v)}; }
inline I operator<<(I a, int n) noexcept {
    return {_mm512_slli_epi32(a.v, static_cast<unsigned>(n))};
}
inline M operator==(I a, I b) noexcept { return {_mm512_cmpeq_epi32_mask(a.v, b.v)}; }
inline M operator>(I a, I b) noexcept { return {_mm512_cmpgt_epi32_mask(a.v, b.v)}; }
// Lane l takes lane l - 1; lane 0 keeps its own.
inline I previousLane(I a) noexcept {
    return {_mm512_permutexvar_epi32(
        _mm512_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14), a.v)};
}
inline I min(I a, I b) noexcept { return {_mm512_min_epi32(a.v, b.v)}; }
inline I max(I a, I b) noexcept { return {_mm512_max_epi32(a.v, b.v)}; }

inline int32_t lowest(I a) noexcept { return _mm512_reduce_min_epi32(a.v); }
inline int32_t highest(I a) noexcept { return _mm512_reduce_max_epi32(a.v); }
// Whether every lane holds the value of the first.
inline bool uniform(I a) noexcept {
    const __m512i first = _mm512_broadcastd_epi32(_mm512_castsi512_si128(a.v));
    return _mm512_cmpeq_epi32_mask(a.v, first) == 0xFFFF;
}

// window[k] for each lane's k, 0 to 15.
inline F permute(const float* window, I k) noexcept {
    return {_mm512_permutexvar_ps(k.v, _mm512_loadu_ps(window))};
}
// table[k] for each lane's k, 0 to 31; the table holds 32 floats.
inline F lookup32(const float* table, I k) noexcept {
    return {_mm512_permutex2var_ps(_mm512_loadu_ps(table), k.v, _mm512_loadu_ps(table + 16))};
}

// base[k] for each lane's k, loaded lane by lane.
inline F gather(const float* base, I k) noexcept {
    alignas(64) int32_t at[kLanes];
    _mm512_store_si512(at, k.v);
    alignas(64) float v[kLanes];
    for (int l = 0; l < kLanes; ++l) {
        v[l] = base[at[l]];
    }
    return {_mm512_load_ps(v)};
}

// Four consecutive floats from base + at[lane] for each lane, as four vectors: m[q] holds
// base[at[lane] + q].
inline void rows4(const float* base, const int32_t* at, F (&m)[4]) noexcept {
    const auto four = [&](int q) {
        __m512 r = _mm512_castps128_ps512(_mm_loadu_ps(base + at[q]));
        r = _mm512_insertf32x4(r, _mm_loadu_ps(base + at[4 + q]), 1);
        r = _mm512_insertf32x4(r, _mm_loadu_ps(base + at[8 + q]), 2);
        return _mm512_insertf32x4(r, _mm_loadu_ps(base + at[12 + q]), 3);
    };
    const __m512 t0 = four(0), t1 = four(1), t2 = four(2), t3 = four(3);
    const __m512 u0 = _mm512_unpacklo_ps(t0, t1);
    const __m512 u1 = _mm512_unpackhi_ps(t0, t1);
    const __m512 u2 = _mm512_unpacklo_ps(t2, t3);
    const __m512 u3 = _mm512_unpackhi_ps(t2, t3);
    m[0].v = _mm512_shuffle_ps(u0, u2, 0x44);
    m[1].v = _mm512_shuffle_ps(u0, u2, 0xEE);
    m[2].v = _mm512_shuffle_ps(u1, u3, 0x44);
    m[3].v = _mm512_shuffle_ps(u1, u3, 0xEE);
}

// The red, green and blue bytes of the lanes' pixels (red lowest in each lane) as 3 x kLanes
// bytes from `out`; may also overwrite the 4 bytes after them.
inline void storeRgb(uint8_t* out, I rgbx) noexcept {
    const __m512i packed =
        _mm512_shuffle_epi8(rgbx.v, _mm512_broadcast_i32x4(_mm_setr_epi8(
                                        0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm512_castsi512_si128(packed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm512_extracti32x4_epi32(packed, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 24), _mm512_extracti32x4_epi32(packed, 2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 36), _mm512_extracti32x4_epi32(packed, 3));
}

// The double-precision steps of the scalar path, on both halves.
inline I truncToInt(__m512d low, __m512d high) noexcept {
    return {_mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvttpd_epi32(low)),
                               _mm512_cvttpd_epi32(high), 1)};
}
inline __m256 lowHalf(F a) noexcept { return _mm512_castps512_ps256(a.v); }
inline __m256 highHalf(F a) noexcept { return _mm512_extractf32x8_ps(a.v, 1); }
// truncToInt(double(a) x k) for each lane.
inline I truncProductToInt(F a, double k) noexcept {
    const __m512d factor = _mm512_set1_pd(k);
    return truncToInt(_mm512_mul_pd(_mm512_cvtps_pd(lowHalf(a)), factor),
                      _mm512_mul_pd(_mm512_cvtps_pd(highHalf(a)), factor));
}
// truncToInt((double(a) + double(b)) + double(c)) for each lane.
inline I truncSumToInt(F a, F b, F c) noexcept {
    const auto half = [](__m256 x, __m256 y, __m256 z) {
        return _mm512_add_pd(_mm512_add_pd(_mm512_cvtps_pd(x), _mm512_cvtps_pd(y)),
                             _mm512_cvtps_pd(z));
    };
    return truncToInt(half(lowHalf(a), lowHalf(b), lowHalf(c)),
                      half(highHalf(a), highHalf(b), highHalf(c)));
}

}  // namespace
}  // namespace quorvel
