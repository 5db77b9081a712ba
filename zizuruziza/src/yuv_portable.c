/* The portable path of yuv422_to_rgb, for processors without the vectorised
 * one: exact tables instead of the per-pixel double arithmetic, equal bit for
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

