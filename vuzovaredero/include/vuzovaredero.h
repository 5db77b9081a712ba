/* vuzovaredero: image transforms, pseudo-colour, contrast, detail
 * enhancement, noise reduction and exposure detection for Y14 images of the
 * thermal camera module.
 *
 * Stateless free functions over caller-owned buffers returning 0 or a
 * negative code: -1 bad argument or null pointer, -2 format not supported,
 * -3 out of memory, -4 unusable source image. On failure the output is not
 * written. Messages go to the sinks set by irproc_log_register():
 * "vuzovaredero error|debug [file:line/function] text".
 *
 * Choices this library makes where the image's content is unusual:
 *   - Pseudo-colour with an odd pixel_num: whole pairs as usual; the lone
 *     last pixel writes its two bytes only, E.Y and E.U of its own entry, so
 *     nothing past pixel_num pixels is read or written.
 *   - color_mode 2 and 12..15 have one defined entry, (0, 0, 0): every index
 *     maps to it, so the image comes out as all-zero bytes.
 *   - Palettes 3..10 pass exactly through their known entries at indices
 *     0, 32, ..., 224, 255; entries between follow each channel by monotone
 *     cubic (Fritsch-Carlson) interpolation, see tools/make_palettes.py.
 *   - Contrast stage: Y14 values above 16383 are taken as 16383 before the
 *     look-up (and stretch limits above 16383 likewise); an empty band (a
 *     plateau total of 0) makes every look-up entry equal the offset; the
 *     output range is computed without 32-bit wrap-around and the offset is
 *     kept within 0 .. 16383 - range.
 *   - gain_switch_detect and overexposure_detect on a 0-pixel image answer
 *     flag 0.
 */
#ifndef VUZOVAREDERO_H
#define VUZOVAREDERO_H

#include <stdint.h>

#include "zizuruziza.h" /* pixel_format_t, image_res_t */

#if defined(_WIN32)
#define VUZOVAREDERO_API __declspec(dllexport)
#else
#define VUZOVAREDERO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Optional linear stretch after the histogram equalisation. */
typedef struct {
    uint8_t enable; /* 0 off, 1 on */
    uint16_t lower_limit;
    uint16_t upper_limit;
} stretch_param_t;

/* Contrast stage parameters. */
typedef struct {
    float high_discard_ratio;
    float low_discard_ratio;
    float plateau_max_ratio;
    float plateau_min_ratio;
    uint32_t max_gain;
    uint32_t reserved; /* not read */
    float offset_ratio;
    stretch_param_t stretch_param;
} agc_param_t;

/* Enhancement parameters: the contrast fields followed by the detail gain. */
typedef struct {
    agc_param_t agc_param;
    float detail_gain[3];
    int32_t detail_threshold[4];
} enhance_param_t;

typedef struct {
    float pixel_above_prop;
    int32_t above_threshold;
    float pixel_below_prop;
    int32_t below_threshold;
} gain_switch_param_t;

/* Level 0 prints errors and debug messages, 1 errors only, else silent. */
VUZOVAREDERO_API void irproc_log_register(int level);

/* "vuzovaredero 0.8.1" */
VUZOVAREDERO_API const char* irproc_version(void);

/* Geometric transforms of a width x height image (format 0: 2 bytes per
 * pixel, 3 and 4: 3 bytes per pixel) from src into a distinct dst.
 * -1 for a null buffer or a zero width or height, -2 for another format.
 * The quarter turns produce a height x width image. */
VUZOVAREDERO_API int flip(const uint8_t* src, image_res_t res, int format, uint8_t* dst);
VUZOVAREDERO_API int mirror(const uint8_t* src, image_res_t res, int format, uint8_t* dst);
VUZOVAREDERO_API int rotate_180(const uint8_t* src, image_res_t res, int format, uint8_t* dst);
VUZOVAREDERO_API int rotate_left_90(const uint8_t* src, image_res_t res, int format, uint8_t* dst);
VUZOVAREDERO_API int rotate_right_90(const uint8_t* src, image_res_t res, int format, uint8_t* dst);

/* Y14 to YUYV through palette color_mode (1..15); index (value >> 6) & 255. */
VUZOVAREDERO_API int y14_map_to_yuyv_pseudocolor(const uint16_t* src, uint32_t pixel_num, int color_mode,
                                                 uint8_t* dst);

/* Contrast of the smooth base plus the detail layer times a strength-dependent gain. */
VUZOVAREDERO_API int y14_image_enhance(const uint16_t* src, image_res_t res, const enhance_param_t* param,
                                       uint16_t* dst);

/* Edge-preserving weighted mean over each pixel's 5 x 5 neighbourhood. */
VUZOVAREDERO_API int y14_image_spatial_noise_reduction(const uint16_t* src, image_res_t res, uint16_t* dst);

/* flag 2: more than pixel_below_prop of the pixels at or below below_threshold;
 * else 1: more than pixel_above_prop at or above above_threshold; else 0. */
VUZOVAREDERO_API int gain_switch_detect(const uint16_t* src, image_res_t res, const gain_switch_param_t* param,
                                        uint8_t* flag);

/* flag 1 when more than pixel_above_prop of the pixels are at or above threshold. */
VUZOVAREDERO_API int overexposure_detect(const uint16_t* src, image_res_t res, int32_t threshold,
                                         float pixel_above_prop, uint8_t* flag);

#ifdef __cplusplus
}
#endif

#endif
