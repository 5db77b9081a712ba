/* Image transforms, pseudo-colour, contrast, detail enhancement, noise
 * reduction and exposure detection. Every reporting function lives in this
 * file, so the messages' path and line numbers name it. */
#include "vuzovaredero.h"

#include "ombrix/log.h"
#include "vuzovaredero_internal.h"

#include <math.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#define VZ_PATH "vuzovaredero/src/vuzovaredero"
#define VZ_ERROR(fmt, ...) OMBRIX_LOG(vz_sinks.error, "vuzovaredero error", VZ_PATH, fmt, ##__VA_ARGS__)
#define VZ_DEBUG(fmt, ...) OMBRIX_LOG(vz_sinks.debug, "vuzovaredero debug", VZ_PATH, fmt, ##__VA_ARGS__)

static ombrix_log_sinks vz_sinks = {ombrix_log_silent, ombrix_log_silent};

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

/* Checks in the designed order and reports from the calling transform. */
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

/* ---- Contrast stage ----------------------------------------------------- */

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

/* ---- Gaussian blur and detail ------------------------------------------ */

int get_gauss_kernel(float* kernel, int ksize, float sigma)
{
    if (ksize < 1 || sigma == 0.0f || kernel == NULL)
        return -1;
    int half = ksize / 2;
    for (int i = 0; i < ksize; i++) {
        for (int j = 0; j < ksize; j++) {
            int x = i - half, y = j - half;
            if (ksize == 3) {
                static const float fixed[3] = {60.0f, 36.0f, 13.0f}; /* by x^2 + y^2 = 0, 1, 2 */
                kernel[i * ksize + j] = fixed[x * x + y * y];
            } else {
                float exponent = -(float)(x * x + y * y) / (2.0f * sigma * sigma);
                kernel[i * ksize + j] =
                    (float)(exp((double)exponent) * (1.0 / ((double)sigma * 6.283 * (double)sigma)));
            }
        }
    }
    float sum = 0.0f;
    for (int k = 0; k < ksize * ksize; k++)
        sum += kernel[k];
    for (int k = 0; k < ksize * ksize; k++)
        kernel[k] /= sum;
    return 0;
}

static inline uint16_t vz_truncate_sum(float sum)
{
    if (!(sum > 0.0f))
        return 0;
    if (sum >= 65535.0f)
        return 65535;
    return (uint16_t)sum;
}

/* The window walk as designed; the window array holds the gathered values. */
static void vz_gaussian_walk(const uint16_t* src, image_res_t res, int ksize, const float* kernel, float* window,
                             uint16_t* dst)
{
    ptrdiff_t w = res.width, h = res.height, half = ksize / 2;
    for (ptrdiff_t r = 0; r < h; r++) {
        for (ptrdiff_t c = 0; c < w; c++) {
            uint16_t centre = src[r * w + c];
            int k = 0;
            for (ptrdiff_t wr = r - half; wr <= r + half; wr++)
                for (ptrdiff_t wc = c - half; wc <= c + half; wc++)
                    window[k++] = (wr < 0 || wr >= h || wc < 0 || wc >= w) ? centre : src[wr * w + wc];
            float sum = 0.0f;
            for (int i = 0; i < k; i++)
                sum += window[i] * kernel[i];
            dst[r * w + c] = vz_truncate_sum(sum);
        }
    }
}

/* The 3 x 3 case in integers: every weight is k/256 with k <= 60, so each
 * product and each partial sum of the float walk is a multiple of 1/256
 * below 2^16, held exactly in single precision; the float result therefore
 * equals (sum of value x k) / 256 exactly and truncating it is >> 8. */
static inline uint32_t vz_blur3_at(const uint16_t* src, ptrdiff_t w, ptrdiff_t h, ptrdiff_t r, ptrdiff_t c)
{
    static const uint32_t weight[3][3] = {{13, 36, 13}, {36, 60, 36}, {13, 36, 13}};
    uint32_t centre = src[r * w + c], sum = 0;
    for (int dr = -1; dr <= 1; dr++)
        for (int dc = -1; dc <= 1; dc++) {
            ptrdiff_t rr = r + dr, cc = c + dc;
            uint32_t value = (rr < 0 || rr >= h || cc < 0 || cc >= w) ? centre : src[rr * w + cc];
            sum += value * weight[dr + 1][dc + 1];
        }
    return sum >> 8;
}

static void vz_gaussian3(const uint16_t* src, image_res_t res, uint16_t* dst)
{
    ptrdiff_t w = res.width, h = res.height;
    for (ptrdiff_t r = 0; r < h; r++) {
        int inner_row = r > 0 && r < h - 1;
        /* The neighbour rows are formed for inner rows only: a pointer above
         * row 0 would lie before the array, undefined even if never read. */
        const uint16_t* mid = src + r * w;
        const uint16_t* up = inner_row ? mid - w : mid;
        const uint16_t* down = inner_row ? mid + w : mid;
        for (ptrdiff_t c = 0; c < w; c++) {
            if (inner_row && c > 0 && c < w - 1) {
                uint32_t sum = 13u * (up[c - 1] + up[c + 1] + down[c - 1] + down[c + 1]) +
                               36u * (up[c] + down[c] + mid[c - 1] + mid[c + 1]) + 60u * mid[c];
                dst[r * w + c] = (uint16_t)(sum >> 8);
            } else {
                dst[r * w + c] = (uint16_t)vz_blur3_at(src, w, h, r, c);
            }
        }
    }
}

int gaussian_filter(const uint16_t* src, image_res_t res, int ksize, float sigma, uint16_t* dst)
{
    if (src == NULL || dst == NULL) {
        VZ_ERROR("data is NULL\n");
        return -1;
    }
    if (sigma <= 0.0f)
        return -1;
    float* kernel = malloc((size_t)(ksize > 0 ? ksize * ksize : 1) * sizeof *kernel);
    if (kernel == NULL) {
        VZ_ERROR("alloc kernel memory failed\n");
        return -3;
    }
    /* The window of an even size would be one wider than the kernel. */
    if (ksize % 2 == 0 || get_gauss_kernel(kernel, ksize, sigma) != 0) {
        free(kernel);
        VZ_ERROR("get gauss kernel failed\n");
        return -1;
    }
    int status = 0;
    if (ksize == 3) {
        vz_gaussian3(src, res, dst);
    } else {
        float* window = malloc((size_t)ksize * (size_t)ksize * sizeof *window);
        if (window == NULL) {
            VZ_ERROR("alloc pixel array memory failed\n");
            status = -3;
        } else {
            vz_gaussian_walk(src, res, ksize, kernel, window, dst);
        }
        free(window);
    }
    free(kernel);
    return status;
}

int gaussian_filter_reference(const uint16_t* src, image_res_t res, int ksize, float sigma, uint16_t* dst)
{
    if (src == NULL || dst == NULL || sigma <= 0.0f || ksize < 1 || ksize % 2 == 0)
        return -1;
    size_t cells = (size_t)ksize * (size_t)ksize;
    float* kernel = malloc(cells * sizeof *kernel);
    float* window = malloc(cells * sizeof *window);
    int status = kernel && window ? get_gauss_kernel(kernel, ksize, sigma) : -3;
    if (status == 0)
        vz_gaussian_walk(src, res, ksize, kernel, window, dst);
    free(kernel);
    free(window);
    return status;
}

int y14_image_extract_detail(const uint16_t* src, image_res_t res, int16_t* detail)
{
    if (src == NULL || detail == NULL) {
        VZ_ERROR("data is NULL\n");
        return -1;
    }
    size_t n = (size_t)res.width * res.height;
    if (n == 0)
        return 0;
    uint16_t* blurred = malloc(n * sizeof *blurred);
    if (blurred == NULL) {
        VZ_ERROR("alloc blured image memory failed\n");
        return -3;
    }
    int status = gaussian_filter(src, res, 3, 1.0f, blurred);
    if (status != 0) {
        VZ_ERROR("gaussian blur is NULL\n");
    } else {
        for (size_t i = 0; i < n; i++)
            detail[i] = (int16_t)(uint16_t)(src[i] - blurred[i]);
    }
    free(blurred);
    return status;
}

/* ---- Enhancement -------------------------------------------------------- */

float vz_detail_gain(int strength, const float gain[3], const int32_t threshold[4])
{
    int64_t a = strength;
    if (a <= threshold[0])
        return gain[0];
    if (a <= threshold[1])
        return ((float)(threshold[1] - a) * gain[0] + (float)(a - threshold[0]) * gain[1]) /
               (float)((int64_t)threshold[1] - threshold[0]);
    if (a <= threshold[2])
        return gain[1];
    if (a <= threshold[3])
        return ((float)(threshold[3] - a) * gain[1] + (float)(a - threshold[2]) * gain[2]) /
               (float)((int64_t)threshold[3] - threshold[2]);
    return gain[2];
}

/* base + d x g in single precision, truncated toward zero, kept in 0..16383. */
static inline uint16_t vz_enhanced_level(uint16_t base, int16_t detail, float gain)
{
    float out = (float)base + (float)detail * gain;
    if (!(out > -1.0f))
        return 0; /* negative (or not a number) */
    if (out >= 16383.0f)
        return VZ_Y14_LEVELS - 1;
    return (uint16_t)(int)out;
}

int y14_image_enhance(const uint16_t* src, image_res_t res, const enhance_param_t* param, uint16_t* dst)
{
    if (src == NULL || dst == NULL || param == NULL) {
        VZ_ERROR("data is NULL\n");
        return -1;
    }
    size_t n = (size_t)res.width * res.height;
    if (n == 0)
        return 0;
    int16_t* detail = malloc(n * sizeof *detail);
    if (detail == NULL) {
        VZ_ERROR("alloc detail image memory failed\n");
        return -3;
    }
    uint16_t* base = malloc(n * sizeof *base);
    if (base == NULL) {
        free(detail);
        VZ_ERROR("alloc agc image memory failed\n");
        return -3;
    }
    int status = y14_image_extract_detail(src, res, detail);
    if (status != 0) {
        VZ_ERROR("Y14 image extract detail failed\n\n");
    } else {
        agc_param_t contrast = param->agc_param; /* the caller's record stays as it is */
        status = y14_image_auto_gain_control(src, (uint32_t)n, &contrast, base);
        if (status != 0)
            VZ_ERROR("y14 image auto gain control failed\n\n");
    }
    if (status == 0) {
        for (size_t i = 0; i < n; i++) {
            int d = detail[i];
            float gain = vz_detail_gain(d < 0 ? -d : d, param->detail_gain, param->detail_threshold);
            dst[i] = vz_enhanced_level(base[i], detail[i], gain);
        }
    }
    free(detail);
    free(base);
    return status;
}

/* ---- Noise reduction ---------------------------------------------------- */

/* Weight by neighbour class and absolute difference 0..15. */
static const uint8_t vz_snr_weights[6][16] = {
    {12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, /* centre */
    {7, 7, 6, 6, 5, 4, 4, 3, 3, 2, 1, 1, 0, 0, 0, 0},  /* |dx| + |dy| = 1 */
    {6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1, 0, 0, 0, 0},  /* diagonal */
    {5, 5, 4, 4, 4, 3, 3, 2, 2, 2, 1, 1, 0, 0, 0, 0},  /* two along an axis */
    {4, 4, 4, 3, 3, 3, 2, 2, 2, 1, 1, 1, 0, 0, 0, 0},  /* |dx| + |dy| = 3 */
    {3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1, 0, 0, 0, 0},  /* |dx| + |dy| = 4 */
};

/* Class of offset (dy + 2, dx + 2). */
static const uint8_t vz_snr_class[5][5] = {
    {5, 4, 3, 4, 5}, {4, 2, 1, 2, 4}, {3, 1, 0, 1, 3}, {4, 2, 1, 2, 4}, {5, 4, 3, 4, 5},
};

static inline uint16_t vz_snr_mean(int centre, int sum, int weights)
{
    int out = centre - sum / weights; /* C division truncates toward zero */
    return (uint16_t)(out < 0 ? 0 : (out > 65535 ? 65535 : out));
}

uint16_t snr_one_pixel_process(const uint16_t* src, image_res_t res, int row, int column)
{
    ptrdiff_t w = res.width, h = res.height;
    int centre = src[(ptrdiff_t)row * w + column], sum = 0, weights = 0;
    for (int dy = -2; dy <= 2; dy++) {
        for (int dx = -2; dx <= 2; dx++) {
            ptrdiff_t r = row + dy, c = column + dx;
            if (r < 0 || r >= h || c < 0 || c >= w) {
                VZ_DEBUG("out of the resolution\n");
                continue;
            }
            int diff = centre - src[r * w + c];
            if (diff > 15 || diff < -15)
                continue;
            int weight = vz_snr_weights[vz_snr_class[dy + 2][dx + 2]][diff < 0 ? -diff : diff];
            sum += diff * weight;
            weights += weight;
        }
    }
    return vz_snr_mean(centre, sum, weights);
}

/* Weight by neighbour position (25) and difference + 15 (31 entries, 0
 * beyond 15), so that the inner pixels need no bounds tests nor branches. */
typedef struct {
    uint8_t weight[25][32];
} vz_snr_table;

static void vz_snr_fill_table(vz_snr_table* table)
{
    memset(table, 0, sizeof *table);
    for (int k = 0; k < 25; k++)
        for (int diff = -15; diff <= 15; diff++)
            table->weight[k][diff + 15] = vz_snr_weights[vz_snr_class[k / 5][k % 5]][diff < 0 ? -diff : diff];
}

static inline uint16_t vz_snr_inner(const uint16_t* at, ptrdiff_t w, const vz_snr_table* table)
{
    int centre = at[0], sum = 0, weights = 0, k = 0;
    for (int dy = -2; dy <= 2; dy++) {
        const uint16_t* row = at + dy * w;
        for (int dx = -2; dx <= 2; dx++, k++) {
            int diff = centre - row[dx];
            unsigned index = (unsigned)(diff + 15);
            int weight = index <= 30 ? table->weight[k][index] : 0;
            sum += diff * weight;
            weights += weight;
        }
    }
    return vz_snr_mean(centre, sum, weights);
}

int y14_image_spatial_noise_reduction(const uint16_t* src, image_res_t res, uint16_t* dst)
{
    if (src == NULL || dst == NULL) {
        VZ_ERROR("data is NULL\n");
        return -1;
    }
    ptrdiff_t w = res.width, h = res.height;
    vz_snr_table table;
    vz_snr_fill_table(&table);
    for (ptrdiff_t r = 0; r < h; r++) {
        int inner_row = r >= 2 && r < h - 2;
        for (ptrdiff_t c = 0; c < w; c++) {
            if (inner_row && c >= 2 && c < w - 2)
                dst[r * w + c] = vz_snr_inner(src + r * w + c, w, &table);
            else
                dst[r * w + c] = snr_one_pixel_process(src, res, (int)r, (int)c);
        }
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
