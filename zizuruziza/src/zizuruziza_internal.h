/* Conversion kernels of zizuruziza, shared by the exported functions, the
 * vectorised paths and the tests. Not exported from the library. */
#ifndef ZIZURUZIZA_INTERNAL_H
#define ZIZURUZIZA_INTERNAL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Y14 value to an 8-bit level: min(v, 16383) * 255 / 16383, truncated. */
static inline uint8_t zz_y14_level(uint16_t value)
{
    uint32_t v = value > 16383u ? 16383u : value;
    return (uint8_t)(v * 255u / 16383u);
}

/* One YUV-to-RGB pixel exactly as designed: double precision, truncation
 * toward zero, then clamping to 0..255. */
static inline uint8_t zz_clamp_truncated(double value)
{
    if (!(value > -1.0))
        return 0;
    if (value >= 255.0)
        return 255;
    return (uint8_t)(int)value;
}

static inline void zz_yuv_pixel_to_rgb(int y, int u, int v, uint8_t* rgb)
{
    rgb[0] = zz_clamp_truncated(y + 1.14 * v);
    rgb[1] = zz_clamp_truncated(y - 0.394 * u - 0.581 * v);
    rgb[2] = zz_clamp_truncated(y + 2.032 * u);
}

/* Reference loops: the plain definition, also used for the tails of the
 * vectorised loops. */
void zz_yuv422_to_rgb_scalar(const uint8_t* src, size_t pairs, uint8_t* dst);
void zz_rgb_to_bgr_scalar(const uint8_t* src, size_t pixels, uint8_t* dst);

/* Vectorised paths (x86-64 with AVX2); each returns how many pairs or
 * pixels it converted, leaving the rest to the reference loop. They return 0
 * where the processor or the build lacks AVX2. */
size_t zz_yuv422_to_rgb_avx2(const uint8_t* src, size_t pairs, uint8_t* dst);
size_t zz_rgb_to_bgr_avx2(const uint8_t* src, size_t pixels, uint8_t* dst);

/* The portable paths (generic vectors); each returns how many pairs or
 * pixels it converted (whole blocks), leaving the rest to the reference
 * loop. rgb_to_bgr's src may equal dst. */
size_t zz_yuv422_to_rgb_portable(const uint8_t* src, size_t pairs, uint8_t* dst);
size_t zz_rgb_to_bgr_portable(const uint8_t* src, size_t pixels, uint8_t* dst);

/* Nonzero when the vectorised paths can run on this processor. */
int zz_cpu_has_avx2(void);

#ifdef __cplusplus
}
#endif

#endif
