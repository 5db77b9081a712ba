/* The portable paths of yuv422_to_rgb and rgb_to_bgr, for processors
 * without the AVX2 ones.
 *
 * yuv422_to_rgb: exact tables instead of the per-pixel double arithmetic, equal bit for
 * bit to the reference loop (the tests compare all 2^24 (Y, U, V)).
 *
 * Red depends on (V, Y) only and blue on (U, Y) only: two 64 KiB tables of
 * the reference formula itself. Green is Y plus an offset of the pair,
 *   124 - floor((394 U + 581 V + 199) / 1000)   (U, V the bytes),
 * clamped, except for the 63 non-grey pairs where that quotient is exact
 * (sum + 1 a multiple of 1000) and the double arithmetic may land just below
 * the whole number (see yuv_avx2.c): those carry a mark, and a block holding one is done
 * again by the reference loop. */
#include "zizuruziza_internal.h"

#include <pthread.h>
#include <string.h>

enum { ZZ_BLOCK = 64, ZZ_REDO = -32768 };

static uint8_t zz_red[256 * 256];          /* [V][Y] */
static uint8_t zz_blue[256 * 256];         /* [U][Y] */
static int16_t zz_green_offset[256 * 256]; /* [U][V]; ZZ_REDO marks the pairs above */
static uint8_t zz_clamped[512];            /* [value + 128] for -128..383 */
static pthread_once_t zz_tables_once = PTHREAD_ONCE_INIT;

static void zz_tables_make(void)
{
    for (int c = 0; c < 256; c++)
        for (int y = 0; y < 256; y++) {
            uint8_t red_green_blue[3];
            zz_yuv_pixel_to_rgb(y, c - 128, c - 128, red_green_blue);
            zz_red[c * 256 + y] = red_green_blue[0];
            zz_blue[c * 256 + y] = red_green_blue[2];
        }
    for (int u = 0; u < 256; u++)
        for (int v = 0; v < 256; v++) {
            const int sum = 394 * u + 581 * v + 199;
            const int whole = (sum + 1) % 1000 == 0 && !(u == 128 && v == 128);
            zz_green_offset[u * 256 + v] = (int16_t)(whole ? ZZ_REDO : 124 - sum / 1000);
        }
    for (int i = 0; i < 512; i++)
        zz_clamped[i] = (uint8_t)(i < 128 ? 0 : i > 383 ? 255 : i - 128);
}

/* Returns nonzero when a pair of the block carries the mark. */
static int zz_block(const uint8_t* restrict in, size_t pairs, uint8_t* restrict out)
{
    int redo = 0;
    for (size_t k = 0; k < pairs; k++) {
        const unsigned y0 = in[4 * k], u = in[4 * k + 1], y1 = in[4 * k + 2], v = in[4 * k + 3];
        const uint8_t* red = zz_red + (v << 8);
        const uint8_t* blue = zz_blue + (u << 8);
        const int offset = zz_green_offset[(u << 8) | v];
        redo |= offset == ZZ_REDO;
        /* A marked pair's bytes are rewritten by the reference loop; the
         * index stays inside the table meanwhile. */
        const uint8_t* green = zz_clamped + 128 + (offset == ZZ_REDO ? 0 : offset);
        out[6 * k] = red[y0];
        out[6 * k + 1] = green[y0];
        out[6 * k + 2] = blue[y0];
        out[6 * k + 3] = red[y1];
        out[6 * k + 4] = green[y1];
        out[6 * k + 5] = blue[y1];
    }
    return redo;
}

size_t zz_yuv422_to_rgb_portable(const uint8_t* src, size_t pairs, uint8_t* dst)
{
    pthread_once(&zz_tables_once, zz_tables_make);
    for (size_t done = 0; done < pairs; done += ZZ_BLOCK) {
        const size_t count = pairs - done < ZZ_BLOCK ? pairs - done : ZZ_BLOCK;
        if (zz_block(src + 4 * done, count, dst + 6 * done))
            zz_yuv422_to_rgb_scalar(src + 4 * done, count, dst + 6 * done);
    }
    return pairs;
}


/* rgb_to_bgr in the compiler's generic 16-byte vectors, which every target
 * with SIMD runs as such (and others as plain words): 16 pixels are three
 * vectors, and in each byte position the pixel's first byte takes the byte
 * two on, its last the byte two back and its middle stays. Those moves are
 * whole-vector byte shifts, and the phase of the positions repeats every
 * 48 bytes, so three fixed sets of masks pick the bytes. */
typedef uint8_t zz_u8x16 __attribute__((vector_size(16)));

#define ZZ_ROLE_AT(k, j, role) (((16 * (k) + (j)) % 3 == (role)) ? 0xFF : 0)
#define ZZ_ROLE(k, role)                                                                                  \
    {                                                                                                     \
        ZZ_ROLE_AT(k, 0, role), ZZ_ROLE_AT(k, 1, role), ZZ_ROLE_AT(k, 2, role), ZZ_ROLE_AT(k, 3, role),   \
            ZZ_ROLE_AT(k, 4, role), ZZ_ROLE_AT(k, 5, role), ZZ_ROLE_AT(k, 6, role), ZZ_ROLE_AT(k, 7, role), \
            ZZ_ROLE_AT(k, 8, role), ZZ_ROLE_AT(k, 9, role), ZZ_ROLE_AT(k, 10, role),                      \
            ZZ_ROLE_AT(k, 11, role), ZZ_ROLE_AT(k, 12, role), ZZ_ROLE_AT(k, 13, role),                    \
            ZZ_ROLE_AT(k, 14, role), ZZ_ROLE_AT(k, 15, role)                                              \
    }

/* [vector of the block][first, middle, last byte of a pixel] */
static const zz_u8x16 zz_roles[3][3] = {
    {ZZ_ROLE(0, 0), ZZ_ROLE(0, 1), ZZ_ROLE(0, 2)},
    {ZZ_ROLE(1, 0), ZZ_ROLE(1, 1), ZZ_ROLE(1, 2)},
    {ZZ_ROLE(2, 0), ZZ_ROLE(2, 1), ZZ_ROLE(2, 2)},
};

/* Byte shifts with zeros coming in. A shift that joins two vectors is
 * written as two of these and an OR: GCC turns a two-vector shuffle into
 * byte-by-byte moves where the processor lacks a joining shift (SSE2). */
#define ZZ_DOWN2(a, zero) __builtin_shufflevector(a, zero, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17)
#define ZZ_DOWN14(a, zero) __builtin_shufflevector(a, zero, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29)
#define ZZ_UP2(a, zero) __builtin_shufflevector(zero, a, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29)
#define ZZ_UP14(a, zero) __builtin_shufflevector(zero, a, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17)

static inline zz_u8x16 zz_swap_ends(zz_u8x16 before, zz_u8x16 at, zz_u8x16 after, const zz_u8x16 role[3])
{
    const zz_u8x16 zero = {0};
    const zz_u8x16 two_on = ZZ_DOWN2(at, zero) | ZZ_UP14(after, zero);
    const zz_u8x16 two_back = ZZ_UP2(at, zero) | ZZ_DOWN14(before, zero);
    return (two_on & role[0]) | (at & role[1]) | (two_back & role[2]);
}

size_t zz_rgb_to_bgr_portable(const uint8_t* src, size_t pixels, uint8_t* dst)
{
    const zz_u8x16 zero = {0};
    size_t done = 0;
    /* The whole block is read before any byte is written: src may be dst. */
    for (; pixels - done >= 16; done += 16) {
        zz_u8x16 in[3];
        memcpy(in, src + 3 * done, sizeof in);
        const zz_u8x16 out[3] = {zz_swap_ends(zero, in[0], in[1], zz_roles[0]),
                                 zz_swap_ends(in[0], in[1], in[2], zz_roles[1]),
                                 zz_swap_ends(in[1], in[2], zero, zz_roles[2])};
        memcpy(dst + 3 * done, out, sizeof out);
    }
    return done;
}
