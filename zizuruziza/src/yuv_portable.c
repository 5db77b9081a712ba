/* The portable paths of yuv422_to_rgb and rgb_to_bgr, for processors
 * without the AVX2 ones: the compiler's generic 16-byte vectors, which every
 * target with SIMD runs as such (and others as plain words), equal bit for
 * bit to the reference loops (the tests compare all 2^24 (Y, U, V)).
 *
 * yuv422_to_rgb takes the integer form of the reference formula that the
 * AVX2 path uses (see yuv_avx2.c): each channel is Y plus an offset of the
 * pair, clamped; red one less for v = 50 and Y < 8 and for v = 100 and
 * Y < 15; green wrong only for the 63 non-grey pairs where its quotient is
 * exact, whose blocks the reference loop does again. Every step fits 16-bit
 * lanes; the lanes are read as little-endian words, so a big-endian build
 * leaves the whole conversion to the reference loop. */
#include "zizuruziza_internal.h"

#include <string.h>

typedef uint8_t zz_u8x16 __attribute__((vector_size(16)));
typedef uint16_t zz_u16x8 __attribute__((vector_size(16)));
typedef int16_t zz_i16x8 __attribute__((vector_size(16)));
typedef uint32_t zz_u32x4 __attribute__((vector_size(16)));
typedef uint64_t zz_u64x2 __attribute__((vector_size(16)));

/* These two are written as loops, which GCC and Clang both turn into one
 * instruction each (a high-half multiply; a signed min and max) and which
 * neither does for the same written with whole vectors. The multiply loops
 * over a plain array: over the vector's lanes GCC's -O3 unrolls it into
 * scalar code before it could pair the lanes. */
static inline zz_u16x8 zz_high_product(zz_u16x8 a, uint16_t factor)
{
    uint16_t lanes[8], high[8];
    memcpy(lanes, &a, sizeof lanes);
    for (int i = 0; i < 8; i++)
        high[i] = (uint16_t)((lanes[i] * (uint32_t)factor) >> 16);
    zz_u16x8 product;
    memcpy(&product, high, sizeof product);
    return product;
}

static inline zz_i16x8 zz_byte_range(zz_i16x8 a)
{
    zz_i16x8 clamped;
    for (int i = 0; i < 8; i++)
        clamped[i] = (int16_t)(a[i] < 0 ? 0 : a[i] > 255 ? 255 : a[i]);
    return clamped;
}

/* floor((394 U + 581 V + 199) / 1000), the sum taken apart as
 * 8 (49 U + 72 V) + (2 U + 5 V + 199) so that every step fits 16 bits, and
 * the remaining division by 125 as (x * 33555) >> 22. *exact is all ones
 * where the sum + 1 is a multiple of 1000: eighths = 125 q + 124, the rest 7. */
static inline zz_u16x8 zz_green_quotient(zz_u16x8 u, zz_u16x8 v, zz_i16x8* exact)
{
    const zz_u16x8 rest = u * 2 + v * 5 + 199;
    const zz_u16x8 eighths = u * 49 + v * 72 + (rest >> 3);
    const zz_u16x8 quotient = zz_high_product(eighths, 33555) >> 6;
    *exact = ((zz_i16x8)(eighths - quotient * 125) == 124) & ((zz_i16x8)(rest & 7) == 7);
    return quotient;
}

static inline void zz_put_word(uint8_t* out, uint64_t word)
{
    memcpy(out, &word, 8);
}

/* The six bytes of each of 8 pairs, given as 16-bit lanes in the order
 * pairs 0 4 1 5 2 6 3 7: per pair the words (R0, G0), (B0, R1), (G1, B1)
 * make one 64-bit word, stored whole; its top two bytes land on the next
 * pair, whose store comes later. */

static inline void zz_store_pairs(zz_i16x8 r0, zz_i16x8 g0, zz_i16x8 b0, zz_i16x8 r1, zz_i16x8 g1, zz_i16x8 b1,
                                  uint8_t* out)
{
    const zz_i16x8 zero = {0};
    const zz_i16x8 first = r0 | (g0 << 8), second = b0 | (r1 << 8), third = g1 | (b1 << 8);
    const zz_u32x4 low12 = (zz_u32x4)__builtin_shufflevector(first, second, 0, 8, 1, 9, 2, 10, 3, 11);
    const zz_u32x4 high12 = (zz_u32x4)__builtin_shufflevector(first, second, 4, 12, 5, 13, 6, 14, 7, 15);
    const zz_u32x4 low3 = (zz_u32x4)__builtin_shufflevector(third, zero, 0, 8, 1, 9, 2, 10, 3, 11);
    const zz_u32x4 high3 = (zz_u32x4)__builtin_shufflevector(third, zero, 4, 12, 5, 13, 6, 14, 7, 15);
    const zz_u64x2 p04 = (zz_u64x2)__builtin_shufflevector(low12, low3, 0, 4, 1, 5);
    const zz_u64x2 p15 = (zz_u64x2)__builtin_shufflevector(low12, low3, 2, 6, 3, 7);
    const zz_u64x2 p26 = (zz_u64x2)__builtin_shufflevector(high12, high3, 0, 4, 1, 5);
    const zz_u64x2 p37 = (zz_u64x2)__builtin_shufflevector(high12, high3, 2, 6, 3, 7);
    zz_put_word(out, p04[0]);
    zz_put_word(out + 6, p15[0]);
    zz_put_word(out + 12, p26[0]);
    zz_put_word(out + 18, p37[0]);
    zz_put_word(out + 24, p04[1]);
    zz_put_word(out + 30, p15[1]);
    zz_put_word(out + 36, p26[1]);
    zz_put_word(out + 42, p37[1]);
}

/* 8 pairs into 48 bytes and 2 scratch bytes after them. Returns nonzero
 * when a pair of the block needs the reference formula. */
static int zz_yuv422_block(const uint8_t* restrict in, uint8_t* restrict out)
{
    zz_u32x4 a, b;
    memcpy(&a, in, 16);
    memcpy(&b, in + 16, 16);
    /* Each 32-bit word is one pair, Y0 U Y1 V from its low byte up; pair k
     * of b goes to the high half of a's word k. */
    const zz_u32x4 low = {0xFF, 0xFF, 0xFF, 0xFF}, high = low << 16;
    const zz_i16x8 y0 = (zz_i16x8)((a & low) | ((b & low) << 16));
    const zz_u16x8 u = (zz_u16x8)(((a >> 8) & low) | ((b << 8) & high));
    const zz_i16x8 y1 = (zz_i16x8)(((a >> 16) & low) | (b & high));
    const zz_u16x8 v = (zz_u16x8)((a >> 24) | ((b >> 8) & high));

    /* floor(114 v / 100) = V + floor((14 V + 8) / 100) - 146, the division
     * as (x * 5243) >> 19; floor(2032 u / 1000) = 2 U + floor((4 U + 113)
     * / 125) - 261, the division as (x * 33555) >> 22. */
    const zz_i16x8 r_offset = (zz_i16x8)(v + (zz_high_product(v * 14 + 8, 5243) >> 3)) - 146;
    const zz_i16x8 r_limit = (((zz_i16x8)v == 178) & 8) | (((zz_i16x8)v == 228) & 15);
    const zz_i16x8 b_offset = (zz_i16x8)(u * 2 + (zz_high_product(u * 4 + 113, 33555) >> 6)) - 261;
    /* floor(-(394 u + 581 v) / 1000) = 124 - floor((394 U + 581 V + 199) / 1000);
     * the quotient is exact where adding one to the sum changes it. */
    zz_i16x8 exact;
    const zz_i16x8 g_offset = 124 - (zz_i16x8)zz_green_quotient(u, v, &exact);
    const zz_i16x8 grey = ((zz_i16x8)u == 128) & ((zz_i16x8)v == 128);
    const zz_u64x2 redo = (zz_u64x2)(exact & ~grey);

    zz_store_pairs(zz_byte_range(y0 + r_offset + (y0 < r_limit)), zz_byte_range(y0 + g_offset),
                   zz_byte_range(y0 + b_offset), zz_byte_range(y1 + r_offset + (y1 < r_limit)),
                   zz_byte_range(y1 + g_offset), zz_byte_range(y1 + b_offset), out);
    return (redo[0] | redo[1]) != 0;
}

size_t zz_yuv422_to_rgb_portable(const uint8_t* src, size_t pairs, uint8_t* dst)
{
    size_t done = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    /* A block writes two bytes past its end: one pair at least follows it. */
    for (; pairs - done > 8; done += 8)
        if (zz_yuv422_block(src + 4 * done, dst + 6 * done))
            zz_yuv422_to_rgb_scalar(src + 4 * done, 8, dst + 6 * done);
#endif
    return done;
}

/* rgb_to_bgr: 16 pixels are three vectors, and in each byte position the
 * pixel's first byte takes the byte two on, its last the byte two back and
 * its middle stays. Those are the vectors loaded two bytes on and two bytes
 * back, and as 16 = 1 (mod 3) the roles of the positions in the block's
 * vector k are those of vector 0 moved by k: three masks serve all. At the
 * block's two ends a byte shift stands in for the load, which would reach
 * outside the block. */
#define ZZ_ROLE_AT(j, role) (((j) % 3 == (role)) ? 0xFF : 0)
#define ZZ_ROLE(role)                                                                                    \
    {                                                                                                    \
        ZZ_ROLE_AT(0, role), ZZ_ROLE_AT(1, role), ZZ_ROLE_AT(2, role), ZZ_ROLE_AT(3, role),              \
            ZZ_ROLE_AT(4, role), ZZ_ROLE_AT(5, role), ZZ_ROLE_AT(6, role), ZZ_ROLE_AT(7, role),          \
            ZZ_ROLE_AT(8, role), ZZ_ROLE_AT(9, role), ZZ_ROLE_AT(10, role), ZZ_ROLE_AT(11, role),        \
            ZZ_ROLE_AT(12, role), ZZ_ROLE_AT(13, role), ZZ_ROLE_AT(14, role), ZZ_ROLE_AT(15, role)       \
    }

/* Positions j of vector 0 with j = 0, 1, 2 (mod 3). */
static const zz_u8x16 zz_roles[3] = {ZZ_ROLE(0), ZZ_ROLE(1), ZZ_ROLE(2)};

static inline zz_u8x16 zz_load(const uint8_t* at)
{
    zz_u8x16 bytes;
    memcpy(&bytes, at, 16);
    return bytes;
}

/* Vector k of the block from its own bytes and those two on and two back. */
static inline zz_u8x16 zz_swap_ends(zz_u8x16 two_on, zz_u8x16 at, zz_u8x16 two_back, int k)
{
    return (two_on & zz_roles[(3 - k) % 3]) | (at & zz_roles[(4 - k) % 3]) | (two_back & zz_roles[(5 - k) % 3]);
}

size_t zz_rgb_to_bgr_portable(const uint8_t* src, size_t pixels, uint8_t* dst)
{
    const zz_u8x16 zero = {0};
    size_t done = 0;
    /* The whole block is read before any byte is written: src may be dst. */
    for (; pixels - done >= 16; done += 16) {
        const uint8_t* in = src + 3 * done;
        const zz_u8x16 first = zz_load(in), last = zz_load(in + 32);
        const zz_u8x16 out[3] = {
            zz_swap_ends(zz_load(in + 2), first, __builtin_shufflevector(zero, first, 14, 15, 16, 17, 18, 19, 20, 21,
                                                                         22, 23, 24, 25, 26, 27, 28, 29), 0),
            zz_swap_ends(zz_load(in + 18), zz_load(in + 16), zz_load(in + 14), 1),
            zz_swap_ends(__builtin_shufflevector(last, zero, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17),
                         last, zz_load(in + 30), 2)};
        memcpy(dst + 3 * done, out, sizeof out);
    }
    return done;
}
