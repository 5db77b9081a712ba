/* AVX-512 (with VBMI byte permutes) paths of mirror, rotate_180 and the
 * quarter turns, equal to the plain walk for 2- and 3-byte pixels.
 *
 * Row reversal: a register holds 32 2-byte or 21 3-byte pixels; one byte
 * permute reverses them. Quarter turns: 16 x 16 pixel tiles, one row of up
 * to 48 bytes per register, transposed in four steps of two-register byte
 * permutes. Masked loads and stores cover the partial rows and tiles at the
 * image's edges, so nothing outside the images is touched. */
#include "ombrix/cpu.h"
#include "vuzovaredero_internal.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#define VZ_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))

enum { VZ_TILE_PIXELS = 16 };

int vz_cpu_has_avx512(void)
{
    /* Transforms may run on several threads at once: the cached answer is an
     * atomic, and every thread that finds it unset computes the same value. */
    static int supported = -1;
    int known = __atomic_load_n(&supported, __ATOMIC_RELAXED);
    if (known < 0) {
        __builtin_cpu_init();
        known = !ombrix_cpu_portable_only() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                __builtin_cpu_supports("avx512vbmi");
        __atomic_store_n(&supported, known, __ATOMIC_RELAXED);
    }
    return known;
}

/* The first n bytes of a register. */
static inline __mmask64 vz_bytes_mask(size_t n)
{
    return n >= 64 ? ~(__mmask64)0 : (((__mmask64)1 << n) - 1);
}

/* Index tables as constants: f(o, ...) for the 64 byte positions o. */
#define VZ_INDEX8(f, o, ...)                                                                              \
    f((o), __VA_ARGS__), f((o) + 1, __VA_ARGS__), f((o) + 2, __VA_ARGS__), f((o) + 3, __VA_ARGS__),      \
        f((o) + 4, __VA_ARGS__), f((o) + 5, __VA_ARGS__), f((o) + 6, __VA_ARGS__), f((o) + 7, __VA_ARGS__)
#define VZ_INDEX64(f, ...)                                                                                \
    {                                                                                                     \
        VZ_INDEX8(f, 0, __VA_ARGS__), VZ_INDEX8(f, 8, __VA_ARGS__), VZ_INDEX8(f, 16, __VA_ARGS__),        \
            VZ_INDEX8(f, 24, __VA_ARGS__), VZ_INDEX8(f, 32, __VA_ARGS__), VZ_INDEX8(f, 40, __VA_ARGS__), \
            VZ_INDEX8(f, 48, __VA_ARGS__), VZ_INDEX8(f, 56, __VA_ARGS__)                                 \
    }

/* Byte o of pixel q = o / bytes at t = o % bytes goes to (n-1-q) * bytes + t
 * in a reversal of n pixels, that is (n-1) * bytes - (o - 2t). */
#define VZ_REVERSAL_BASE(o, bytes) (uint8_t)((o) - 2 * ((o) % (bytes)))
static const uint8_t vz_reversal_base[2][64] = {VZ_INDEX64(VZ_REVERSAL_BASE, 2), VZ_INDEX64(VZ_REVERSAL_BASE, 3)};

/* Index that puts the first n pixels of a register in reverse order; the
 * bytes past them are left over. */
static VZ_AVX512 __m512i vz_reversal(size_t n, size_t bytes)
{
    const __m512i base = _mm512_loadu_si512(vz_reversal_base[bytes - 2]);
    return _mm512_sub_epi8(_mm512_set1_epi8((char)((n - 1) * bytes)), base);
}

static VZ_AVX512 void vz_reverse_rows_avx512(const uint8_t* src, image_res_t res, size_t bytes, int upside_down,
                                             uint8_t* dst)
{
    const size_t width = res.width, row_bytes = width * bytes;
    const size_t n = 64 / bytes, tail = width % n;
    const __m512i full = vz_reversal(n, bytes), part = vz_reversal(tail ? tail : n, bytes);
    const __mmask64 full_mask = vz_bytes_mask(n * bytes), part_mask = vz_bytes_mask(tail * bytes);
    for (size_t r = 0; r < res.height; r++) {
        const uint8_t* in = src + (upside_down ? res.height - 1 - r : r) * row_bytes;
        uint8_t* out = dst + r * row_bytes;
        /* Output pixels c .. c+n-1 are input pixels width-c-n .. width-c-1 reversed. */
        size_t c = 0;
        for (; c + n <= width; c += n) {
            const __m512i pixels = _mm512_maskz_loadu_epi8(full_mask, in + (width - c - n) * bytes);
            _mm512_mask_storeu_epi8(out + c * bytes, full_mask, _mm512_permutexvar_epi8(full, pixels));
        }
        if (tail) {
            const __m512i pixels = _mm512_maskz_loadu_epi8(part_mask, in);
            _mm512_mask_storeu_epi8(out + c * bytes, part_mask, _mm512_permutexvar_epi8(part, pixels));
        }
    }
}

/* The four steps of the tile transpose. Step h pairs row a (bit h clear)
 * with row b = a + h and swaps the pixels where row and column differ in bit
 * h: a takes b's pixel p - h where p has bit h, b takes a's pixel p + h where
 * p lacks it. Together the steps exchange every row bit with its column bit. */
#define VZ_TAKE_A(o, h, bytes) (uint8_t)((((o) / (bytes)) & (h)) ? 64 + (o) - (h) * (bytes) : (o))
#define VZ_TAKE_B(o, h, bytes) (uint8_t)((((o) / (bytes)) & (h)) ? 64 + (o) : (o) + (h) * (bytes))
#define VZ_STEPS(take, bytes) \
    {VZ_INDEX64(take, 8, bytes), VZ_INDEX64(take, 4, bytes), VZ_INDEX64(take, 2, bytes), VZ_INDEX64(take, 1, bytes)}
/* [pixel bytes - 2][step]; index 64 and above picks the second register (row b). */
static const uint8_t vz_transpose_a[2][4][64] = {VZ_STEPS(VZ_TAKE_A, 2), VZ_STEPS(VZ_TAKE_A, 3)};
static const uint8_t vz_transpose_b[2][4][64] = {VZ_STEPS(VZ_TAKE_B, 2), VZ_STEPS(VZ_TAKE_B, 3)};

typedef struct {
    __m512i a[4], b[4];
} vz_transpose_steps;

static VZ_AVX512 vz_transpose_steps vz_transpose_indices(size_t bytes)
{
    vz_transpose_steps steps;
    for (int s = 0; s < 4; s++) {
        steps.a[s] = _mm512_loadu_si512(vz_transpose_a[bytes - 2][s]);
        steps.b[s] = _mm512_loadu_si512(vz_transpose_b[bytes - 2][s]);
    }
    return steps;
}

static inline __attribute__((always_inline)) VZ_AVX512 void vz_transpose_tile(__m512i row[16],
                                                                              const vz_transpose_steps* steps)
{
#pragma GCC unroll 4
    for (int s = 0; s < 4; s++) {
        const int h = 8 >> s;
#pragma GCC unroll 16
        for (int a = 0; a < 16; a++) {
            if (a & h)
                continue;
            const __m512i top = row[a], bottom = row[a + h];
            row[a] = _mm512_permutex2var_epi8(top, steps->a[s], bottom);
            row[a + h] = _mm512_permutex2var_epi8(top, steps->b[s], bottom);
        }
    }
}

/* Right: output row x is input column x read bottom to top. Left: output
 * row W-1-x is input column x read top to bottom. */
static VZ_AVX512 void vz_turn_avx512(int right, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    const size_t w = res.width, h = res.height;
    const vz_transpose_steps steps = vz_transpose_indices(bytes);
    for (size_t y0 = 0; y0 < h; y0 += VZ_TILE_PIXELS) {
        const size_t rows = h - y0 < VZ_TILE_PIXELS ? h - y0 : VZ_TILE_PIXELS;
        const __mmask64 store_mask = vz_bytes_mask(rows * bytes);
        /* The output column of the tile's first register pixel. */
        const size_t k0 = right ? h - y0 - rows : y0;
        for (size_t x0 = 0; x0 < w; x0 += VZ_TILE_PIXELS) {
            const size_t columns = w - x0 < VZ_TILE_PIXELS ? w - x0 : VZ_TILE_PIXELS;
            const __mmask64 load_mask = vz_bytes_mask(columns * bytes);
            __m512i row[VZ_TILE_PIXELS];
#pragma GCC unroll 16
            for (size_t i = 0; i < VZ_TILE_PIXELS; i++) {
                const size_t y = right ? y0 + rows - 1 - i : y0 + i;
                row[i] = i < rows ? _mm512_maskz_loadu_epi8(load_mask, src + (y * w + x0) * bytes)
                                  : _mm512_setzero_si512();
            }
            vz_transpose_tile(row, &steps);
#pragma GCC unroll 16
            for (size_t j = 0; j < VZ_TILE_PIXELS; j++) {
                if (j >= columns)
                    break;
                const size_t r = right ? x0 + j : w - 1 - x0 - j;
                _mm512_mask_storeu_epi8(dst + (r * h + k0) * bytes, store_mask, row[j]);
            }
        }
    }
}

int vz_transform_avx512(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    if (!vz_cpu_has_avx512())
        return 0;
    switch (kind) {
    case VZ_MIRROR:
        vz_reverse_rows_avx512(src, res, bytes, 0, dst);
        return 1;
    case VZ_ROTATE_180:
        vz_reverse_rows_avx512(src, res, bytes, 1, dst);
        return 1;
    case VZ_ROTATE_LEFT_90:
        vz_turn_avx512(0, src, res, bytes, dst);
        return 1;
    case VZ_ROTATE_RIGHT_90:
        vz_turn_avx512(1, src, res, bytes, dst);
        return 1;
    default:
        return 0;
    }
}

#else

int vz_cpu_has_avx512(void)
{
    return 0;
}

int vz_transform_avx512(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst)
{
    (void)kind;
    (void)src;
    (void)res;
    (void)bytes;
    (void)dst;
    return 0;
}

#endif
