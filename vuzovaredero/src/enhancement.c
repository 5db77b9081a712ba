/* Detail enhancement: the Gaussian blur, the detail it leaves and the
 * detail gain added back onto the equalised base. */
#include "vuzovaredero_internal.h"

#include <math.h>
#include <stddef.h>
#include <stdlib.h>

#define VZ_PATH "vuzovaredero/src/enhancement"

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

/* The window walk that defines the filter; the window array holds the gathered values. */
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
