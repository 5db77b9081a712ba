/* AVX2 paths of yuv422_to_rgb and rgb_to_bgr, equal bit for bit to the
 * reference loops of zizuruziza.c (the tests compare all 2^24 (Y, U, V)).
 *
 * yuv422_to_rgb: the designed formula runs in double precision, but each
 * channel is Y plus a constant of the pair, so it equals Y plus the exact
 * floor of that constant, computed here in integers:
 *   R = Y + floor(114 v / 100), B = Y + floor(2032 u / 1000),
 *   G = Y + floor(-(394 u + 581 v) / 1000),
 * except where the exact value is an integer and the double arithmetic
 * lands just below it:
 *   - R for v = 50 and Y < 8, and for v = 100 and Y < 15 (one less);
 *   - G for the 63 non-grey pairs with 394 u + 581 v a multiple of 1000:
 *     such pairs are recomputed by the reference formula.
 * The green quotient comes from single-precision floats, which hold these
 * integers (below 2^18) exactly; the +0.5 keeps the product away from whole
 * numbers, so the truncation is exact. */
#include "ombrix/cpu.h"
#include "zizuruziza_internal.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

int zz_cpu_has_avx2(void)
{
    /* Conversions may run on several threads at once: the cached answer is
     * an atomic, and every thread that finds it unset computes the same value. */
    static int supported = -1;
    int known = __atomic_load_n(&supported, __ATOMIC_RELAXED);
    if (known < 0) {
        __builtin_cpu_init();
        known = !ombrix_cpu_portable_only() && __builtin_cpu_supports("avx2");
        __atomic_store_n(&supported, known, __ATOMIC_RELAXED);
    }
    return known;
}

#define ZZ_AVX2 __attribute__((target("avx2")))

/* Per 128-bit lane: 4 pairs -> Y0 x4, Y1 x4, U x4, V x4. */
#define ZZ_SPLIT_PAIRS 0, 4, 8, 12, 2, 6, 10, 14, 1, 5, 9, 13, 3, 7, 11, 15
/* Per 128-bit lane: 4 pixels R, G, B, 0 -> 12 bytes R, G, B. */
#define ZZ_PACK_RGB 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1

static inline ZZ_AVX2 __m256i zz_load_lanes(const uint8_t* low, const uint8_t* high)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128((const __m128i*)low)),
                                   _mm_loadu_si128((const __m128i*)high), 1);
}

/* floor(x / 1000) for 0 <= x < 2^22, x exact in float. */
static inline ZZ_AVX2 __m256i zz_div1000(__m256 x, __m256 bias)
{
    return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(x, bias), _mm256_set1_ps(0.001f)));
}

/* Interleaves the Y0 and Y1 results of 8 pairs per lane and clamps to bytes. */
static inline ZZ_AVX2 __m256i zz_pixels_to_bytes(__m256i first, __m256i second)
{
    return _mm256_packus_epi16(_mm256_unpacklo_epi16(first, second), _mm256_unpackhi_epi16(first, second));
}

static inline ZZ_AVX2 void zz_store_lane(uint8_t* out, __m128i w0, __m128i w1, __m128i w2, __m128i w3)
{
    /* 16-byte stores 12 bytes apart: each one's last 4 bytes are rewritten
     * by the next store. */
    _mm_storeu_si128((__m128i*)out, w0);
    _mm_storeu_si128((__m128i*)(out + 12), w1);
    _mm_storeu_si128((__m128i*)(out + 24), w2);
    _mm_storeu_si128((__m128i*)(out + 36), w3);
}

/* 16 pairs: lane 0 holds pairs 0-7, lane 1 pairs 8-15. Writes 96 bytes plus
 * 4 scratch bytes after them. Returns a mask with bit 2k set when pair k
 * needs the reference formula. */
static ZZ_AVX2 unsigned zz_yuv422_block(const uint8_t* in, uint8_t* out)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i split = _mm256_setr_epi8(ZZ_SPLIT_PAIRS, ZZ_SPLIT_PAIRS);
    __m256i a = _mm256_shuffle_epi8(zz_load_lanes(in, in + 32), split);
    __m256i b = _mm256_shuffle_epi8(zz_load_lanes(in + 16, in + 48), split);
    __m256i ys = _mm256_unpacklo_epi32(a, b);
    __m256i uvs = _mm256_unpackhi_epi32(a, b);
    __m256i y0 = _mm256_unpacklo_epi8(ys, zero);
    __m256i y1 = _mm256_unpackhi_epi8(ys, zero);
    __m256i u = _mm256_unpacklo_epi8(uvs, zero);
    __m256i v = _mm256_unpackhi_epi8(uvs, zero);

    /* floor(114 v / 100) = V + floor((14 V + 8) / 100) - 146, the division
     * by 100 as (x * 5243) >> 19 (exact for x < 3600). */
    __m256i r_fraction = _mm256_add_epi16(_mm256_mullo_epi16(v, _mm256_set1_epi16(14)), _mm256_set1_epi16(8));
    __m256i r_offset = _mm256_sub_epi16(
        _mm256_add_epi16(v, _mm256_srli_epi16(_mm256_mulhi_epu16(r_fraction, _mm256_set1_epi16(5243)), 3)),
        _mm256_set1_epi16(146));
    __m256i r_limit = _mm256_or_si256(
        _mm256_and_si256(_mm256_cmpeq_epi16(v, _mm256_set1_epi16(178)), _mm256_set1_epi16(8)),
        _mm256_and_si256(_mm256_cmpeq_epi16(v, _mm256_set1_epi16(228)), _mm256_set1_epi16(15)));
    __m256i r0 = _mm256_add_epi16(_mm256_add_epi16(y0, r_offset), _mm256_cmpgt_epi16(r_limit, y0));
    __m256i r1 = _mm256_add_epi16(_mm256_add_epi16(y1, r_offset), _mm256_cmpgt_epi16(r_limit, y1));

    /* floor(2032 u / 1000) = 2 U + floor((4 U + 113) / 125) - 261, the
     * division by 125 as (x * 33555) >> 22 (exact for x < 1200). */
    __m256i b_fraction = _mm256_add_epi16(_mm256_slli_epi16(u, 2), _mm256_set1_epi16(113));
    __m256i b_offset = _mm256_sub_epi16(
        _mm256_add_epi16(_mm256_add_epi16(u, u),
                         _mm256_srli_epi16(_mm256_mulhi_epu16(b_fraction, _mm256_set1_epi16((short)33555)), 6)),
        _mm256_set1_epi16(261));
    __m256i b0 = _mm256_add_epi16(y0, b_offset);
    __m256i b1 = _mm256_add_epi16(y1, b_offset);

    /* floor(-(394 u + 581 v) / 1000) = 124 - floor((394 U + 581 V + 199) / 1000);
     * the sum is a multiple of 1000 away from 999 exactly when
     * floor((t + 1) / 1000) differs from floor(t / 1000). */
    const __m256i weights = _mm256_set1_epi32((581 << 16) | 394);
    const __m256i bias199 = _mm256_set1_epi32(199);
    __m256 t_low = _mm256_cvtepi32_ps(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(u, v), weights), bias199));
    __m256 t_high = _mm256_cvtepi32_ps(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(u, v), weights), bias199));
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 one_and_half = _mm256_set1_ps(1.5f);
    __m256i q_low = zz_div1000(t_low, half);
    __m256i q_high = zz_div1000(t_high, half);
    __m256i whole = _mm256_packs_epi32(_mm256_cmpgt_epi32(zz_div1000(t_low, one_and_half), q_low),
                                       _mm256_cmpgt_epi32(zz_div1000(t_high, one_and_half), q_high));
    __m256i g_offset = _mm256_sub_epi16(_mm256_set1_epi16(124), _mm256_packs_epi32(q_low, q_high));
    __m256i g0 = _mm256_add_epi16(y0, g_offset);
    __m256i g1 = _mm256_add_epi16(y1, g_offset);
    __m256i grey = _mm256_and_si256(_mm256_cmpeq_epi16(u, _mm256_set1_epi16(128)),
                                    _mm256_cmpeq_epi16(v, _mm256_set1_epi16(128)));
    unsigned redo = (unsigned)_mm256_movemask_epi8(_mm256_andnot_si256(grey, whole)) & 0x55555555u;

    __m256i red = zz_pixels_to_bytes(r0, r1);
    __m256i green = zz_pixels_to_bytes(g0, g1);
    __m256i blue = zz_pixels_to_bytes(b0, b1);
    __m256i rg_low = _mm256_unpacklo_epi8(red, green);
    __m256i rg_high = _mm256_unpackhi_epi8(red, green);
    __m256i b_low = _mm256_unpacklo_epi8(blue, zero);
    __m256i b_high = _mm256_unpackhi_epi8(blue, zero);
    const __m256i pack = _mm256_setr_epi8(ZZ_PACK_RGB, ZZ_PACK_RGB);
    __m256i w0 = _mm256_shuffle_epi8(_mm256_unpacklo_epi16(rg_low, b_low), pack);
    __m256i w1 = _mm256_shuffle_epi8(_mm256_unpackhi_epi16(rg_low, b_low), pack);
    __m256i w2 = _mm256_shuffle_epi8(_mm256_unpacklo_epi16(rg_high, b_high), pack);
    __m256i w3 = _mm256_shuffle_epi8(_mm256_unpackhi_epi16(rg_high, b_high), pack);
    zz_store_lane(out, _mm256_castsi256_si128(w0), _mm256_castsi256_si128(w1), _mm256_castsi256_si128(w2),
                  _mm256_castsi256_si128(w3));
    zz_store_lane(out + 48, _mm256_extracti128_si256(w0, 1), _mm256_extracti128_si256(w1, 1),
                  _mm256_extracti128_si256(w2, 1), _mm256_extracti128_si256(w3, 1));
    return redo;
}

static ZZ_AVX2 size_t zz_yuv422_to_rgb_blocks(const uint8_t* src, size_t pairs, uint8_t* dst)
{
    size_t done = 0;
    /* One pair more than the block, so that the 4 scratch bytes stay inside dst. */
    for (; done + 17 <= pairs; done += 16) {
        unsigned redo = zz_yuv422_block(src + 4 * done, dst + 6 * done);
        while (redo != 0) {
            size_t pair = done + (size_t)(__builtin_ctz(redo) / 2);
            zz_yuv422_to_rgb_scalar(src + 4 * pair, 1, dst + 6 * pair);
            redo &= redo - 1;
        }
    }
    return done;
}

/* 32 pixels as two 48-byte halves, one per 128-bit lane: each output vector
 * gathers its bytes from up to three input vectors. The whole block is read
 * before it is written and blocks do not overlap, so in-place use is exact
 * (and no load waits on a partly overlapping store). */
static ZZ_AVX2 size_t zz_rgb_to_bgr_blocks(const uint8_t* src, size_t pixels, uint8_t* dst)
{
#define ZZ_LANES(...) _mm256_setr_epi8(__VA_ARGS__, __VA_ARGS__)
    const __m256i first_from_0 = ZZ_LANES(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, -1);
    const __m256i first_from_1 = ZZ_LANES(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1);
    const __m256i second_from_0 = ZZ_LANES(-1, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i second_from_1 = ZZ_LANES(0, -1, 4, 3, 2, 7, 6, 5, 10, 9, 8, 13, 12, 11, -1, 15);
    const __m256i second_from_2 = ZZ_LANES(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1);
    const __m256i third_from_1 = ZZ_LANES(14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i third_from_2 = ZZ_LANES(-1, 3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13);
#undef ZZ_LANES
    size_t done = 0;
    for (; done + 32 <= pixels; done += 32) {
        const uint8_t* in = src + 3 * done;
        uint8_t* out = dst + 3 * done;
        __m256i in0 = zz_load_lanes(in, in + 48);
        __m256i in1 = zz_load_lanes(in + 16, in + 64);
        __m256i in2 = zz_load_lanes(in + 32, in + 80);
        __m256i out0 = _mm256_or_si256(_mm256_shuffle_epi8(in0, first_from_0), _mm256_shuffle_epi8(in1, first_from_1));
        __m256i out1 = _mm256_or_si256(
            _mm256_or_si256(_mm256_shuffle_epi8(in0, second_from_0), _mm256_shuffle_epi8(in1, second_from_1)),
            _mm256_shuffle_epi8(in2, second_from_2));
        __m256i out2 = _mm256_or_si256(_mm256_shuffle_epi8(in1, third_from_1), _mm256_shuffle_epi8(in2, third_from_2));
        _mm_storeu_si128((__m128i*)out, _mm256_castsi256_si128(out0));
        _mm_storeu_si128((__m128i*)(out + 16), _mm256_castsi256_si128(out1));
        _mm_storeu_si128((__m128i*)(out + 32), _mm256_castsi256_si128(out2));
        _mm_storeu_si128((__m128i*)(out + 48), _mm256_extracti128_si256(out0, 1));
        _mm_storeu_si128((__m128i*)(out + 64), _mm256_extracti128_si256(out1, 1));
        _mm_storeu_si128((__m128i*)(out + 80), _mm256_extracti128_si256(out2, 1));
    }
    return done;
}

size_t zz_yuv422_to_rgb_avx2(const uint8_t* src, size_t pairs, uint8_t* dst)
{
    return zz_cpu_has_avx2() ? zz_yuv422_to_rgb_blocks(src, pairs, dst) : 0;
}

size_t zz_rgb_to_bgr_avx2(const uint8_t* src, size_t pixels, uint8_t* dst)
{
    return zz_cpu_has_avx2() ? zz_rgb_to_bgr_blocks(src, pixels, dst) : 0;
}

#else

int zz_cpu_has_avx2(void)
{
    return 0;
}

size_t zz_yuv422_to_rgb_avx2(const uint8_t* src, size_t pairs, uint8_t* dst)
{
    (void)src;
    (void)pairs;
    (void)dst;
    return 0;
}

size_t zz_rgb_to_bgr_avx2(const uint8_t* src, size_t pixels, uint8_t* dst)
{
    (void)src;
    (void)pixels;
    (void)dst;
    return 0;
}

#endif
