/* Pixel moves of the geometric transforms: the plain walk that defines each
 * transform, a portable fast path and the choice between it and the SIMD
 * path. The exported functions check their arguments and call
 * vz_transform_fast(); the tests hold every path to the plain walk. */
#include "vuzovaredero_internal.h"

#include <stddef.h>
#include <string.h>

/* Output row r starts at source pixel first + r * row_step and walks the
 * source by column_step; the output is rows x columns pixels, row by row. */
typedef struct {
    size_t rows, columns;
    ptrdiff_t first, row_step, column_step;
} vz_walk;

static vz_walk vz_walk_of(vz_transform kind, image_res_t res)
{
    const ptrdiff_t w = res.width, h = res.height;
    switch (kind) {
    case VZ_FLIP:
        return (vz_walk){(size_t)h, (size_t)w, (h - 1) * w, -w, 1};
    case VZ_MIRROR:
        return (vz_walk){(size_t)h, (size_t)w, w - 1, w, -1};
    case VZ_ROTATE_180:
        return (vz_walk){(size_t)h, (size_t)w, h * w - 1, -w, -1};
    case VZ_ROTATE_LEFT_90: /* output row r is input column W-1-r, top to bottom */
        return (vz_walk){(size_t)w, (size_t)h, w - 1, -1, w};
    default: /* VZ_ROTATE_RIGHT_90: output row r is input column r, bottom to top */
        return (vz_walk){(size_t)w, (size_t)h, (h - 1) * w, 1, -w};
    }
}

void vz_transform_reference(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    const vz_walk walk = vz_walk_of(kind, res);
    for (size_t r = 0; r < walk.rows; r++) {
        const uint8_t* in = src + (walk.first + (ptrdiff_t)r * walk.row_step) * (ptrdiff_t)bytes;
        for (size_t c = 0; c < walk.columns; c++) {
            memcpy(dst, in, bytes);
            dst += bytes;
            in += walk.column_step * (ptrdiff_t)bytes;
        }
    }
}

/* ---- Portable fast path --------------------------------------------------- */

/* A 3-byte pixel as one 4-byte load and store. The load's fourth byte must
 * lie inside the source and the store's fourth byte must fall on an output
 * pixel that is written afterwards. */
static inline void vz_move3_wide(uint8_t* dst, const uint8_t* src)
{
    uint32_t word;
    memcpy(&word, src, 4);
    memcpy(dst, &word, 4);
}

/* A pixel inside the region where 3-byte pixels may move as words. */
static inline __attribute__((always_inline)) void vz_move(uint8_t* dst, const uint8_t* src, size_t bytes)
{
    if (bytes == 2)
        memcpy(dst, src, 2);
    else
        vz_move3_wide(dst, src);
}

static void vz_flip_rows(const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    const size_t row_bytes = (size_t)res.width * bytes;
    for (size_t r = 0; r < res.height; r++)
        memcpy(dst + r * row_bytes, src + (res.height - 1 - r) * row_bytes, row_bytes);
}

/* Four 2-byte pixels of a word in reverse order. */
static inline uint64_t vz_reverse4x2(uint64_t pixels)
{
    pixels = pixels >> 32 | pixels << 32;
    return (pixels >> 16 & 0x0000FFFF0000FFFFull) | (pixels & 0x0000FFFF0000FFFFull) << 16;
}

static void vz_reverse_row2(const uint8_t* restrict in, size_t width, uint8_t* restrict out)
{
    size_t c = 0;
    for (; c + 4 <= width; c += 4) {
        uint64_t pixels;
        memcpy(&pixels, in + 2 * (width - c - 4), 8);
        pixels = vz_reverse4x2(pixels);
        memcpy(out + 2 * c, &pixels, 8);
    }
    for (; c < width; c++) {
        uint16_t pixel;
        memcpy(&pixel, in + 2 * (width - 1 - c), 2);
        memcpy(out + 2 * c, &pixel, 2);
    }
}

/* The first output pixel reads the row's last input pixel (whose fourth byte
 * may lie past the image) and the last one has no later pixel to take its
 * store's fourth byte: both move exactly. */
static void vz_reverse_row3(const uint8_t* restrict in, size_t width, uint8_t* restrict out)
{
    memcpy(out, in + 3 * (width - 1), 3);
    if (width == 1)
        return;
    for (size_t c = 1; c + 1 < width; c++)
        vz_move3_wide(out + 3 * c, in + 3 * (width - 1 - c));
    memcpy(out + 3 * (width - 1), in, 3);
}

static void vz_reverse_rows(const uint8_t* src, image_res_t res, size_t bytes, int upside_down, uint8_t* dst)
{
    const size_t row_bytes = (size_t)res.width * bytes;
    for (size_t r = 0; r < res.height; r++) {
        const uint8_t* in = src + (upside_down ? res.height - 1 - r : r) * row_bytes;
        if (bytes == 2)
            vz_reverse_row2(in, res.width, dst + r * row_bytes);
        else
            vz_reverse_row3(in, res.width, dst + r * row_bytes);
    }
}

enum { VZ_TILE = 16 };

static inline uint64_t vz_load8(const uint8_t* at)
{
    uint64_t bytes;
    memcpy(&bytes, at, 8);
    return bytes;
}

/* A whole tile of a quarter turn of 3-byte pixels, 2 x 2 pixels at a time:
 * the two output rows' pixels at one output column lie side by side in the
 * source (the row step is 1 or -1), so one 8-byte load takes both, and each
 * output row gets its two pixels in one 8-byte store. A load's last two
 * bytes and a store's last two bytes fall on the pixel after, which lies
 * inside the image and is written afterwards, as the 4-byte moves'. The
 * bytes are taken apart as little-endian words. */
static inline __attribute__((always_inline)) void vz_turn_tile3(const uint8_t* src, const vz_walk* walk, size_t r0,
                                                                 size_t k0, int rows_forward, uint8_t* dst)
{
    const ptrdiff_t step = 3 * walk->column_step;
    const uint64_t pixel = 0xFFFFFF;
    for (size_t r = r0; r < r0 + VZ_TILE; r += 2) {
        /* The pair's lower source pixel: row r's when rows run forward. */
        const ptrdiff_t lower = walk->first + (ptrdiff_t)r * walk->row_step + (ptrdiff_t)k0 * walk->column_step -
                                (rows_forward ? 0 : 1);
        const uint8_t* in = src + 3 * lower;
        uint8_t* out_lower = dst + 3 * ((rows_forward ? r : r + 1) * walk->columns + k0);
        uint8_t* out_upper = dst + 3 * ((rows_forward ? r + 1 : r) * walk->columns + k0);
#pragma GCC unroll 8
        for (size_t j = 0; j < VZ_TILE; j += 2) {
            const uint64_t a = vz_load8(in + (ptrdiff_t)j * step), b = vz_load8(in + (ptrdiff_t)(j + 1) * step);
            const uint64_t lower_pair = (a & pixel) | b << 24, upper_pair = (a >> 24 & pixel) | (b & ~pixel);
            memcpy(out_lower + 3 * j, &lower_pair, 8);
            memcpy(out_upper + 3 * j, &upper_pair, 8);
        }
    }
}

/* The rows x columns output block at (r0, k0) of a quarter turn, in tiles
 * so that both the source columns and the output rows stay in cache. */
static inline __attribute__((always_inline)) void vz_turn_block(const uint8_t* src, const vz_walk* walk, size_t bytes,
                                                                 size_t rows, size_t columns, uint8_t* dst)
{
    const ptrdiff_t step = walk->column_step * (ptrdiff_t)bytes;
    for (size_t r0 = 0; r0 < rows; r0 += VZ_TILE) {
        const size_t r1 = r0 + VZ_TILE < rows ? r0 + VZ_TILE : rows;
        for (size_t k0 = 0; k0 < columns; k0 += VZ_TILE) {
            const size_t k1 = k0 + VZ_TILE < columns ? k0 + VZ_TILE : columns;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            if (bytes == 3 && r1 - r0 == VZ_TILE && k1 - k0 == VZ_TILE) {
                if (walk->row_step > 0)
                    vz_turn_tile3(src, walk, r0, k0, 1, dst);
                else
                    vz_turn_tile3(src, walk, r0, k0, 0, dst);
                continue;
            }
#endif
            for (size_t r = r0; r < r1; r++) {
                const uint8_t* in =
                    src + (walk->first + (ptrdiff_t)r * walk->row_step + (ptrdiff_t)k0 * walk->column_step) *
                              (ptrdiff_t)bytes;
                uint8_t* out = dst + (r * walk->columns + k0) * bytes;
                if (k1 - k0 == VZ_TILE) { /* a whole tile row, unrolled */
#pragma GCC unroll 16
                    for (size_t j = 0; j < VZ_TILE; j++)
                        vz_move(out + j * bytes, in + (ptrdiff_t)j * step, bytes);
                    continue;
                }
                for (size_t k = k0; k < k1; k++, in += step, out += bytes)
                    vz_move(out, in, bytes);
            }
        }
    }
}

/* 3-byte pixels move as words everywhere but in the last output row and
 * column: those hold the source's first and last pixels and the ends of the
 * output rows, and move exactly afterwards. */
static void vz_turn(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    const vz_walk walk = vz_walk_of(kind, res);
    if (bytes == 2) {
        vz_turn_block(src, &walk, 2, walk.rows, walk.columns, dst);
        return;
    }
    vz_turn_block(src, &walk, 3, walk.rows - 1, walk.columns - 1, dst);
    for (size_t r = 0; r < walk.rows; r++) {
        const size_t first_k = r + 1 < walk.rows ? walk.columns - 1 : 0;
        for (size_t k = first_k; k < walk.columns; k++)
            memcpy(dst + 3 * (r * walk.columns + k),
                   src + 3 * (walk.first + (ptrdiff_t)r * walk.row_step + (ptrdiff_t)k * walk.column_step), 3);
    }
}

void vz_transform_portable(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    switch (kind) {
    case VZ_FLIP:
        vz_flip_rows(src, res, bytes, dst);
        break;
    case VZ_MIRROR:
        vz_reverse_rows(src, res, bytes, 0, dst);
        break;
    case VZ_ROTATE_180:
        vz_reverse_rows(src, res, bytes, 1, dst);
        break;
    default:
        vz_turn(kind, src, res, bytes, dst);
        break;
    }
}

void vz_transform_fast(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    /* Whole rows are copies already. */
    if (kind == VZ_FLIP || !vz_transform_avx512(kind, src, res, bytes, dst))
        vz_transform_portable(kind, src, res, bytes, dst);
}
