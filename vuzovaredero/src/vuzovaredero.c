/* The library's log sinks and version, the checked entry points of the
 * geometric transforms, pseudo-colour and exposure detection. Contrast,
 * enhancement and noise reduction have files of their own. */
#include "vuzovaredero_internal.h"

#include <stddef.h>

#define VZ_PATH "vuzovaredero/src/vuzovaredero"

ombrix_log_sinks vz_sinks = {ombrix_log_silent, ombrix_log_silent};

void irproc_log_register(int level)
{
    ombrix_log_set_level(&vz_sinks, level);
}

const char* irproc_version(void)
{
    return "vuzovaredero 0.8.1";
}

/* ---- Geometric transforms ---------------------------------------------- */

static size_t vz_bytes_per_pixel(int format)
{
    switch (format) {
    case PIXFMT_Y14:
        return 2;
    case PIXFMT_RGB888:
    case PIXFMT_BGR888:
        return 3;
    default:
        return 0;
    }
}

/* Checks in a fixed order and reports from the calling transform. */
#define VZ_TRANSFORM_BYTES(src, res, format, dst, bytes)                        \
    do {                                                                        \
        if ((src) == NULL || (dst) == NULL || (res).width == 0 || (res).height == 0) { \
            VZ_ERROR("data is NULL\n");                                         \
            return -1;                                                          \
        }                                                                       \
        (bytes) = vz_bytes_per_pixel(format);                                   \
        if ((bytes) == 0) {                                                     \
            VZ_ERROR("input format not supported yet\n");                       \
            return -2;                                                          \
        }                                                                       \
    } while (0)

int flip(const uint8_t* src, image_res_t res, int format, uint8_t* dst)
{
    size_t bytes;
    VZ_TRANSFORM_BYTES(src, res, format, dst, bytes);
    vz_transform_fast(VZ_FLIP, src, res, bytes, dst);
    return 0;
}

int mirror(const uint8_t* src, image_res_t res, int format, uint8_t* dst)
{
    size_t bytes;
    VZ_TRANSFORM_BYTES(src, res, format, dst, bytes);
    vz_transform_fast(VZ_MIRROR, src, res, bytes, dst);
    return 0;
}

int rotate_180(const uint8_t* src, image_res_t res, int format, uint8_t* dst)
{
    size_t bytes;
    VZ_TRANSFORM_BYTES(src, res, format, dst, bytes);
    vz_transform_fast(VZ_ROTATE_180, src, res, bytes, dst);
    return 0;
}

int rotate_left_90(const uint8_t* src, image_res_t res, int format, uint8_t* dst)
{
    size_t bytes;
    VZ_TRANSFORM_BYTES(src, res, format, dst, bytes);
    vz_transform_fast(VZ_ROTATE_LEFT_90, src, res, bytes, dst);
    return 0;
}

int rotate_right_90(const uint8_t* src, image_res_t res, int format, uint8_t* dst)
{
    size_t bytes;
    VZ_TRANSFORM_BYTES(src, res, format, dst, bytes);
    vz_transform_fast(VZ_ROTATE_RIGHT_90, src, res, bytes, dst);
    return 0;
}

/* ---- Pseudo-colour ------------------------------------------------------ */

static inline const uint8_t* vz_palette_entry(const uint8_t (*palette)[3], uint16_t value)
{
    return palette[(value >> 6) & 255];
}

int y14_map_to_yuyv_pseudocolor(const uint16_t* src, uint32_t pixel_num, int color_mode, uint8_t* dst)
{
    if (src == NULL || dst == NULL) {
        VZ_ERROR("data is NULL\n");
        return -1;
    }
    if (color_mode < 1 || color_mode > 15) {
        VZ_ERROR("color mode unsupported!\n");
        return -1;
    }
    const uint8_t (*palette)[3] = vz_palettes[color_mode];
    uint32_t pairs = pixel_num / 2;
    for (uint32_t p = 0; p < pairs; p++) {
        const uint8_t* e0 = vz_palette_entry(palette, src[2 * p]);
        const uint8_t* e1 = vz_palette_entry(palette, src[2 * p + 1]);
        uint8_t* out = dst + 4 * (size_t)p;
        out[0] = e0[0];
        out[1] = (uint8_t)((e0[1] + e1[1]) >> 1);
        out[2] = e1[0];
        out[3] = (uint8_t)((e0[2] + e1[2]) >> 1);
    }
    if (pixel_num & 1u) { /* lone last pixel: its Y and U bytes only */
        const uint8_t* e = vz_palette_entry(palette, src[pixel_num - 1]);
        uint8_t* out = dst + 2 * (size_t)(pixel_num - 1);
        out[0] = e[0];
        out[1] = e[1];
    }
    return 0;
}

/* ---- Exposure detection ------------------------------------------------- */

int gain_switch_detect(const uint16_t* src, image_res_t res, const gain_switch_param_t* param, uint8_t* flag)
{
    if (src == NULL || param == NULL || flag == NULL) {
        VZ_ERROR("param is NULL\n");
        return -1;
    }
    if (param->pixel_above_prop > 1.0f || param->pixel_below_prop > 1.0f) {
        VZ_ERROR("pixel_prop is out of range\n");
        return -1;
    }
    uint32_t n = (uint32_t)res.width * res.height, above = 0, below = 0;
    for (uint32_t i = 0; i < n; i++) {
        int32_t value = src[i];
        if (value >= param->above_threshold)
            above++;
        else if (value <= param->below_threshold)
            below++;
    }
    float pixels = (float)n;
    if ((float)below > pixels * param->pixel_below_prop)
        *flag = 2;
    else
        *flag = (float)above > pixels * param->pixel_above_prop ? 1 : 0;
    return 0;
}

int overexposure_detect(const uint16_t* src, image_res_t res, int32_t threshold, float pixel_above_prop,
                        uint8_t* flag)
{
    if (src == NULL || flag == NULL) {
        VZ_ERROR("param is NULL\n");
        return -1;
    }
    if (pixel_above_prop > 1.0f) {
        VZ_ERROR("pixel_above_prop is out of range\n");
        return -1;
    }
    uint32_t n = (uint32_t)res.width * res.height, above = 0;
    for (uint32_t i = 0; i < n; i++)
        if ((int32_t)src[i] >= threshold)
            above++;
    *flag = (float)above > (float)n * pixel_above_prop ? 1 : 0;
    return 0;
}
