/* Internal steps of vuzovaredero, reachable by the tests; not exported. */
#ifndef VUZOVAREDERO_INTERNAL_H
#define VUZOVAREDERO_INTERNAL_H

#include <stddef.h>
#include <stdint.h>

#include "ombrix/log.h"
#include "vuzovaredero.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Error and debug sinks, silent until irproc_log_register. */
extern ombrix_log_sinks vz_sinks;

/* Each source file defines VZ_PATH ("vuzovaredero/src/<file>") before use,
 * so a message names the file and line it comes from. */
#define VZ_ERROR(fmt, ...) OMBRIX_LOG(vz_sinks.error, "vuzovaredero error", VZ_PATH, fmt, ##__VA_ARGS__)
#define VZ_DEBUG(fmt, ...) OMBRIX_LOG(vz_sinks.debug, "vuzovaredero debug", VZ_PATH, fmt, ##__VA_ARGS__)

enum { VZ_PALETTE_MODES = 16, VZ_Y14_LEVELS = 16384 };

/* The pixel moves of the five geometric transforms. Each takes checked
 * arguments: src and dst distinct, width and height above 0, bytes 2 or 3. */
typedef enum { VZ_FLIP, VZ_MIRROR, VZ_ROTATE_180, VZ_ROTATE_LEFT_90, VZ_ROTATE_RIGHT_90 } vz_transform;

/* The defining walk: every output pixel copied from its source position in
 * output order, one pixel at a time. The other paths must equal it. */
void vz_transform_reference(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst);

/* Plain C: whole-row copies, row reversal, tiled quarter turns, 3-byte
 * pixels moved as 4-byte words where the extra byte is harmless. */
void vz_transform_portable(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst);

/* Whether this processor runs the AVX-512 path (with byte permutes). */
int vz_cpu_has_avx512(void);

/* The AVX-512 path of every transform but flip; 0 (nothing written) where
 * the processor lacks it or for flip, else 1. */
int vz_transform_avx512(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst);

/* The path the exported transforms take. */
void vz_transform_fast(vz_transform kind, const uint8_t* src, image_res_t res, size_t bytes, uint8_t* dst);

/* (Y, U, V) per 8-bit level for each color_mode; the modes without a
 * palette of their own hold their single entry (0, 0, 0) everywhere. */
extern const uint8_t vz_palettes[VZ_PALETTE_MODES][256][3];

/* Histogram equalisation with plateau limits, then the optional stretch.
 * Rewrites param->stretch_param (mapped limits, enable). 0, -1, -3 or -4. */
int y14_image_auto_gain_control(const uint16_t* src, uint32_t pixel_num, agc_param_t* param, uint16_t* dst);

/* Turns an unusable stretch setting off; reports why. */
void check_stretch_param(stretch_param_t* stretch);

/* dst[i] from the look-up table and the (checked) stretch. */
void stretch_frame(const uint16_t* src, uint32_t pixel_num, const uint32_t* lut, const stretch_param_t* stretch,
                   uint16_t* dst);

/* detail = src - blurred (3 x 3 Gaussian), as signed 16-bit. 0, -1 or -3. */
int y14_image_extract_detail(const uint16_t* src, image_res_t res, int16_t* detail);

/* ksize x ksize Gaussian blur; outside positions repeat the centre pixel.
 * Sums in single precision in window order, truncated. 0, -1 or -3. */
int gaussian_filter(const uint16_t* src, image_res_t res, int ksize, float sigma, uint16_t* dst);

/* The same filter by the plain window walk for any odd ksize, silent; the
 * tests compare the 3 x 3 integer path with it. */
int gaussian_filter_reference(const uint16_t* src, image_res_t res, int ksize, float sigma, uint16_t* dst);

/* Normalised ksize x ksize kernel; ksize 3 is the fixed (13, 36, 60) / 256 kernel. */
int get_gauss_kernel(float* kernel, int ksize, float sigma);

/* Noise-reduced value of pixel (row, column). */
uint16_t snr_one_pixel_process(const uint16_t* src, image_res_t res, int row, int column);

/* The gain of step 4 of the enhancement for a detail strength a = |d|. */
float vz_detail_gain(int strength, const float gain[3], const int32_t threshold[4]);

#ifdef __cplusplus
}
#endif

#endif
