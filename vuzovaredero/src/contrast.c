/* Contrast: histogram equalisation with plateau limits and the stretch that
 * follows it. */
#include "vuzovaredero_internal.h"

#include <stdlib.h>

#define VZ_PATH "vuzovaredero/src/contrast"

/* trunc(count x ratio) in single precision; ratios outside the sensible
 * range saturate instead of overflowing the conversion. */
static uint32_t vz_share_of(uint32_t count, float ratio)
{
    float share = (float)count * ratio;
    if (!(share > 0.0f))
        return 0;
    if (share >= 4294967296.0f)
        return UINT32_MAX;
    return (uint32_t)share;
}

static inline uint16_t vz_saturate_y14(uint32_t value)
{
    return (uint16_t)(value > VZ_Y14_LEVELS - 1 ? VZ_Y14_LEVELS - 1 : value);
}

void check_stretch_param(stretch_param_t* stretch)
{
    if (stretch->enable == 0) {
        VZ_DEBUG("stretch disabled\n");
    } else if (stretch->enable == 1) {
        if (stretch->lower_limit > stretch->upper_limit) {
            VZ_DEBUG("error parameter:low>high\n");
            stretch->enable = 0;
        }
    } else {
        VZ_ERROR("error parameter:stretch_param.enable\n");
        stretch->enable = 0;
    }
}

void stretch_frame(const uint16_t* src, uint32_t pixel_num, const uint32_t* lut, const stretch_param_t* stretch,
                   uint16_t* dst)
{
    if (stretch->enable != 1) {
        int reporting = vz_sinks.debug != ombrix_log_silent;
        for (uint32_t i = 0; i < pixel_num; i++) {
            dst[i] = (uint16_t)lut[vz_saturate_y14(src[i])];
            if (reporting)
                VZ_DEBUG("stretch disabled\n");
        }
        return;
    }
    uint32_t lo = stretch->lower_limit, hi = stretch->upper_limit;
    for (uint32_t i = 0; i < pixel_num; i++) {
        uint32_t o = (uint16_t)lut[vz_saturate_y14(src[i])];
        if (o <= lo)
            dst[i] = 0;
        else if (o >= hi)
            dst[i] = VZ_Y14_LEVELS - 1;
        else
            dst[i] = (uint16_t)((o - lo) * 16383u / (hi - lo));
    }
}

typedef struct {
    uint32_t start, end;
} vz_band;

/* Steps 1-3: histogram of the values below 16383 and the equalised band. */
static vz_band vz_find_band(const uint16_t* src, uint32_t pixel_num, const agc_param_t* param, uint32_t* histogram)
{
    for (uint32_t i = 0; i < pixel_num; i++)
        if (src[i] < VZ_Y14_LEVELS - 1)
            histogram[src[i]]++;
    uint32_t low_count = vz_share_of(pixel_num, param->low_discard_ratio);
    uint32_t high_count = pixel_num - vz_share_of(pixel_num, param->high_discard_ratio);
    vz_band band = {0, 0};
    uint32_t running = 0;
    for (uint32_t bin = 0; bin < VZ_Y14_LEVELS; bin++) {
        running += histogram[bin];
        /* A start of 0 reads as "not found": one found at bin 0 becomes 1. */
        if (band.start == 0 && running > low_count)
            band.start = bin;
        if (running > high_count) {
            band.end = VZ_Y14_LEVELS - 1;
            break;
        }
    }
    return band;
}

/* Steps 5-7: plateau-clipped cumulative counts and the look-up table. */
static void vz_build_lut(const uint32_t* histogram, vz_band band, uint32_t pixel_num, const agc_param_t* param,
                         uint32_t* cumulative, uint32_t* lut)
{
    uint32_t ceiling = vz_share_of(pixel_num, param->plateau_max_ratio);
    uint32_t floor_count = vz_share_of(pixel_num, param->plateau_min_ratio);
    uint32_t total = 0;
    for (uint32_t bin = 0; bin < VZ_Y14_LEVELS; bin++) {
        if (bin >= band.start && bin < band.end) {
            uint32_t count = histogram[bin];
            total += count > ceiling ? ceiling : (count < floor_count ? floor_count : count);
        }
        cumulative[bin] = total; /* 0 below the band, the total from its end */
    }
    uint64_t wide_range = (uint64_t)(band.end - band.start + 1) * param->max_gain;
    uint32_t range = wide_range > VZ_Y14_LEVELS - 1 ? VZ_Y14_LEVELS - 1 : (uint32_t)wide_range;
    uint32_t free_levels = VZ_Y14_LEVELS - 1 - range;
    uint32_t offset = vz_share_of(free_levels, param->offset_ratio);
    if (offset > free_levels)
        offset = free_levels;
    for (uint32_t bin = 0; bin < VZ_Y14_LEVELS; bin++)
        lut[bin] = total == 0 ? offset : (uint32_t)((uint64_t)cumulative[bin] * range / total) + offset;
}

/* Step 8: the stretch limits in input levels, mapped through the table. */
static void vz_map_stretch_limits(const uint32_t* lut, vz_band band, stretch_param_t* stretch)
{
    int64_t lo, hi;
    if (stretch->lower_limit >= band.end) {
        lo = (int64_t)band.end - 1, hi = band.end;
    } else if (stretch->upper_limit <= band.start) {
        lo = band.start, hi = (int64_t)band.start + 1;
    } else {
        lo = stretch->lower_limit, hi = stretch->upper_limit;
    }
    /* An empty band (end 0) or limits above 16383 would index past the table. */
    lo = lo < 0 ? 0 : (lo > VZ_Y14_LEVELS - 1 ? VZ_Y14_LEVELS - 1 : lo);
    hi = hi < 0 ? 0 : (hi > VZ_Y14_LEVELS - 1 ? VZ_Y14_LEVELS - 1 : hi);
    stretch->lower_limit = (uint16_t)lut[lo];
    stretch->upper_limit = (uint16_t)lut[hi];
}

int y14_image_auto_gain_control(const uint16_t* src, uint32_t pixel_num, agc_param_t* param, uint16_t* dst)
{
    if (src == NULL || dst == NULL || param == NULL) {
        VZ_ERROR("data is NULL\n");
        return -1;
    }
    if (param->stretch_param.lower_limit > param->stretch_param.upper_limit) {
        VZ_ERROR("lower_limit > upper_limit\n");
        return -1;
    }
    uint32_t* histogram = calloc(VZ_Y14_LEVELS, sizeof *histogram);
    uint32_t* cumulative = calloc(VZ_Y14_LEVELS, sizeof *cumulative);
    uint32_t* lut = calloc(VZ_Y14_LEVELS, sizeof *lut);
    int status = 0;
    if (histogram == NULL || cumulative == NULL || lut == NULL) {
        VZ_ERROR("alloc point set memory failed\n");
        status = -3;
    } else {
        vz_band band = vz_find_band(src, pixel_num, param, histogram);
        if (band.start > band.end) {
            VZ_ERROR("error source image\n");
            status = -4;
        } else {
            vz_build_lut(histogram, band, pixel_num, param, cumulative, lut);
            vz_map_stretch_limits(lut, band, &param->stretch_param);
            check_stretch_param(&param->stretch_param);
            stretch_frame(src, pixel_num, lut, &param->stretch_param, dst);
        }
    }
    free(histogram);
    free(cumulative);
    free(lut);
    return status;
}
