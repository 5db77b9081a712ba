/* zizuruziza: pixel format conversions of the thermal camera module.
 *
 * Stateless free functions over caller-owned buffers. Every conversion
 * returns 0 on success and -1 on failure (a null buffer pointer, or a pixel
 * count of 0 or below); on failure nothing is written and the error sink set
 * by irparse_log_register() receives "zizuruziza error [file:line/function] ...".
 *
 * Formats (n pixels, row by row, no padding, host byte order):
 *   Y16/Y14 2n bytes (Y14 meaningful range 0..16383), Y8 n bytes,
 *   YUV444 3n bytes (Y, U, V), YUV422 2n bytes (Y0, U, Y1, V per pixel pair),
 *   RGB888 / BGR888 3n bytes.
 *
 * Odd pixel counts in the pair-wise YUV422 functions: nothing is read or
 * written past pixel_num pixels.
 *   - yuv422_add_y offsets the Y byte of the lone last pixel as well (its Y
 *     lies inside the 2n input bytes).
 *   - yuv422_to_rgb converts the floor(n / 2) whole pairs only; the lone last
 *     pixel has no V byte inside the buffer, so its three output bytes are
 *     left as they were (as yuv444_to_yuv422 does with an odd count).
 */
#ifndef ZIZURUZIZA_H
#define ZIZURUZIZA_H

#include <stdint.h>

#if defined(_WIN32)
#define ZIZURUZIZA_API __declspec(dllexport)
#else
#define ZIZURUZIZA_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Pixel format codes shared by the image libraries. */
typedef enum {
    PIXFMT_Y14 = 0,
    PIXFMT_YUV422 = 1,
    PIXFMT_YUV444 = 2,
    PIXFMT_RGB888 = 3,
    PIXFMT_BGR888 = 4
} pixel_format_t;

/* An image size passed by value as one 32-bit value: width in the low 16
 * bits, height in the high 16 bits. */
typedef struct {
    uint16_t width;
    uint16_t height;
} image_res_t;

/* Level 0 or 1 prints errors to standard output, any other level silences them. */
ZIZURUZIZA_API void irparse_log_register(int level);

/* "zizuruziza 0.3.0" */
ZIZURUZIZA_API const char* irparse_version(void);

/* dst[i] = src[i] >> 2. src == dst allowed. */
ZIZURUZIZA_API int y16_to_y14(const uint16_t* src, int pixel_num, uint16_t* dst);

/* 8-bit level L = min(v, 16383) * 255 / 16383, truncated. */
ZIZURUZIZA_API int y14_to_y8(const uint16_t* src, int pixel_num, uint8_t* dst);

/* Grey RGB888: R = G = B = L. */
ZIZURUZIZA_API int y14_to_rgb(const uint16_t* src, int pixel_num, uint8_t* dst);

/* Grey YUV444: Y = L, U = V = 128. */
ZIZURUZIZA_API int y14_to_yuv444(const uint16_t* src, int pixel_num, uint8_t* dst);

/* Pairs (Y0,U0,V0),(Y1,U1,V1) -> Y0, (U0+U1)>>1, Y1, (V0+V1)>>1. With an odd
 * count the last pixel is not converted (a count of 1 writes nothing). */
ZIZURUZIZA_API int yuv444_to_yuv422(const uint8_t* src, int pixel_num, uint8_t* dst);

/* Y bytes become Y + offset clamped to 0..255; the U and V bytes of dst are
 * not written. src == dst allowed. */
ZIZURUZIZA_API int yuv422_add_y(const uint8_t* src, int pixel_num, int16_t offset, uint8_t* dst);

/* R = Y + 1.14v, G = Y - 0.394u - 0.581v, B = Y + 2.032u (u = U-128,
 * v = V-128) in double precision, truncated toward zero, clamped to 0..255. */
ZIZURUZIZA_API int yuv422_to_rgb(const uint8_t* src, int pixel_num, uint8_t* dst);
ZIZURUZIZA_API int yuv444_to_rgb(const uint8_t* src, int pixel_num, uint8_t* dst);

/* Swaps bytes 0 and 2 of every pixel (RGB888 <-> BGR888). src == dst allowed. */
ZIZURUZIZA_API int rgb_to_bgr(const uint8_t* src, int pixel_num, uint8_t* dst);

/* Copies raw[0, image_bytes) to image_out and the following temp_bytes bytes
 * to temp_out. A negative length is rejected with -1 (nothing copied); the
 * lengths are otherwise trusted. */
ZIZURUZIZA_API int raw_data_cut(const uint8_t* raw, int image_bytes, int temp_bytes,
                                uint8_t* image_out, uint8_t* temp_out);

#ifdef __cplusplus
}
#endif

#endif
