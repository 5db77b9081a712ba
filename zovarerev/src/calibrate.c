/* Coefficients the camera module needs for its own correction, the
 * radiometric correction of a measured temperature and conversions between
 * temperatures and raw NUC values. Integer divisions truncate toward zero. */
#define SOURCE_PATH "zovarerev/src/calibrate"
#include "internal.h"

#include <math.h>
#include <stdbool.h>

enum {
    NUC_MAX = 16383,
    HIGH_GAIN = 1,
    LOW_GAIN = 0
};

static bool fits_int32(int64_t value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

/* False for NaN, infinities and values whose truncation leaves int32. */
static bool truncates_to_int32(double value)
{
    return value > -2147483649.0 && value < 2147483648.0;
}

/* 128-bit model arithmetic: with the range test skipped (gain mode neither 0
 * nor 1) any 32-bit temperature may come in, and c2 x X^2 must not overflow. */
typedef __int128 wide_t;

static int64_t clamp_model(wide_t value)
{
    return value < 0 ? 0 : (value > NUC_MAX ? NUC_MAX : (int64_t)value);
}

/* clamp(f(X)) for a whole-kelvin temperature by the quadratic model c0, c1, c2
 * (coefficients scaled by 2^20). */
static int64_t model_nuc_kelvin(const int32_t* coef, wide_t kelvin)
{
    return clamp_model(((((wide_t)coef[2] * kelvin + coef[1]) * kelvin + 0x80000) >> 20) + coef[0]);
}

/* The same model for a temperature in 1/16 kelvin. */
static int64_t model_nuc_sixteenth_kelvin(const int32_t* coef, wide_t sixteenths)
{
    return clamp_model(
        ((((sixteenths * coef[1]) >> 4) + 0x80000 + (((wide_t)coef[2] * sixteenths * sixteenths) >> 8)) >> 20) +
        coef[0]);
}

static bool in_range(int64_t value, int64_t low, int64_t high)
{
    return value >= low && value <= high;
}

int calculate_KE_and_BE(const uint32_t* param, const int32_t* temp_coef, int8_t gain_mode, uint32_t* out)
{
    if (param == NULL || temp_coef == NULL || out == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    const uint32_t ems = param[0], tau = param[1], ta = param[2], tu = param[3];
    if (ems == 0 || ems > 128) {
        LOG_ERROR("EMS is invalid\n");
        return -1;
    }
    if (tau == 0 || tau > 128) {
        LOG_ERROR("TAU is invalid\n");
        return -1;
    }
    if (gain_mode == HIGH_GAIN && (!in_range(ta, 230, 430) || !in_range(tu, 230, 430))) {
        LOG_ERROR("Ta or Tu is invalid in high gain mode\n");
        return -1;
    }
    if (gain_mode == LOW_GAIN && (!in_range(ta, 230, 873) || !in_range(tu, 230, 873))) {
        LOG_ERROR("Ta or Tu is invalid in low gain mode\n");
        return -1;
    }
    const uint32_t e = (128 - ems) * 16384 / ems;
    const uint32_t t = ((128 - tau) << 21) / (tau * ems);
    /* The products need 64 bits. */
    const uint64_t be = ((uint64_t)e * (uint64_t)model_nuc_kelvin(temp_coef, tu) +
                         (uint64_t)t * (uint64_t)model_nuc_kelvin(temp_coef, ta) + 8192) >> 14;
    out[0] = 268419072u / (tau * ems); /* 16383 x 16384 */
    out[1] = (uint32_t)be;
    return 0;
}

int calculate_new_KE_and_BE(const int32_t* param, const int32_t* temp_coef, int8_t gain_mode, int32_t* kb_param)
{
    if (param == NULL || temp_coef == NULL || kb_param == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    const int32_t ems = param[0], tau = param[1], ta = param[2], tu = param[3];
    if (!in_range(ems, 1, 16384)) {
        LOG_ERROR("new EMS is invalid\n");
        return -1;
    }
    if (!in_range(tau, 1, 16384)) {
        LOG_ERROR("new TAU is invalid\n");
        return -1;
    }
    if (gain_mode == HIGH_GAIN && (!in_range(ta, 3680, 6880) || !in_range(tu, 3680, 6880))) {
        LOG_ERROR("new Ta or Tu is invalid in high gain mode\n");
        return -1;
    }
    if (gain_mode == LOW_GAIN && (!in_range(ta, 3680, 13968) || !in_range(tu, 3680, 13968))) {
        LOG_ERROR("new Ta or Tu is invalid in low gain mode\n");
        return -1;
    }
    const int64_t product = (int64_t)tau * ems;
    const int64_t e = (int64_t)(16384 - ems) * 16384 / ems;
    const int64_t t = ((int64_t)(16384 - tau) << 28) / product;
    const int64_t ke = ((int64_t)1 << 42) / product;
    const int64_t be = (e * model_nuc_sixteenth_kelvin(temp_coef, tu) +
                        t * model_nuc_sixteenth_kelvin(temp_coef, ta) + 8192) >> 14;
    if (!fits_int32(ke) || !fits_int32(be)) {
        LOG_ERROR("result is out of range\n");
        return -1;
    }
    kb_param[0] = (int32_t)ke;
    kb_param[1] = (int32_t)be;
    return 0;
}

int calculate_Kn_and_Bn(const int16_t* coef, const uint16_t* kt_info, const uint32_t* values, int32_t* kb_param)
{
    if (coef == NULL || kt_info == NULL || values == NULL || kb_param == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    const int64_t p0 = kt_info[0], p1 = kt_info[1];
    const int64_t k0 = coef[0], k1 = coef[1], k2 = coef[2];
    if (p0 == p1) {
        LOG_ERROR("kt_info is invalid\n");
        return -1;
    }
    if (k0 == 0) {
        LOG_ERROR("coef is invalid\n");
        return -1;
    }
    /* Signed differences: the second value may exceed the first. */
    const int64_t s = ((p1 + 1 + (k2 - k1)) * 16384) / k0;
    const int64_t kn = ((((int64_t)values[0] - (int64_t)values[1]) * k0) / (p1 - p0)) >> 4;
    const int64_t bn = (int64_t)values[0] * 1024 - kn * s;
    if (!fits_int32(kn) || !fits_int32(bn)) {
        LOG_ERROR("result is out of range\n");
        return -1;
    }
    kb_param[0] = (int32_t)kn;
    kb_param[1] = (int32_t)bn;
    return 0;
}

int calculate_tau(uint16_t a, uint16_t b, uint16_t c, uint16_t d)
{
    if (c == d) {
        LOG_ERROR("c is equal to d\n");
        return -1;
    }
    const double ratio = (double)(a - b) / (double)(c - d);
    if (ratio < 0.0) {
        LOG_ERROR("a - b and c - d differ in sign\n");
        return -1;
    }
    const double tau = ratio * 16384.0;
    return (int)(tau < 16384.0 ? tau : 16384.0);
}

int single_point_recalibrate_KB(const uint32_t* kb, uint32_t nuc, double temp, int32_t* kb_param)
{
    if (kb == NULL || kb_param == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    const uint64_t scaled = (uint64_t)kb[0] * nuc + kb[1];
    const double b = 1024.0 * temp - (double)scaled;
    if (!truncates_to_int32(b)) {
        LOG_ERROR("result is out of range\n");
        return -1;
    }
    kb_param[0] = 1024;
    kb_param[1] = (int32_t)b;
    return 0;
}

int double_point_recalibrate_KB(const uint32_t* kb, const uint32_t* nuc, const double* temp, int32_t* kb_param)
{
    if (kb == NULL || nuc == NULL || temp == NULL || kb_param == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    if (nuc[0] == nuc[1]) {
        LOG_ERROR("the two nuc values are equal\n");
        return -1;
    }
    if (kb[0] == 0) {
        LOG_ERROR("k is invalid\n");
        return -1;
    }
    const double divisor = (double)((int64_t)nuc[0] - (int64_t)nuc[1]) * (double)kb[0];
    const double k = 1048576.0 * (temp[0] - temp[1]) / divisor;
    if (!truncates_to_int32(k)) {
        LOG_ERROR("result is out of range\n");
        return -1;
    }
    const int64_t new_k = (int64_t)k;
    int64_t offset;
    if (__builtin_mul_overflow((int64_t)kb[0], (int64_t)nuc[0], &offset) ||
        __builtin_add_overflow(offset, (int64_t)kb[1], &offset) || __builtin_mul_overflow(offset, new_k, &offset)) {
        LOG_ERROR("result is out of range\n");
        return -1;
    }
    const double b = 1024.0 * temp[0] - (double)(offset / 1024);
    if (!truncates_to_int32(b)) {
        LOG_ERROR("result is out of range\n");
        return -1;
    }
    kb_param[0] = (int32_t)new_k;
    kb_param[1] = (int32_t)b;
    return 0;
}

int env_temp_calculate(const int32_t* a, const int32_t* b, uint16_t raw, double* out)
{
    if (a == NULL || b == NULL || out == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    *out = (((double)a[0] * raw + a[1]) * b[0] / 1024.0 + b[1]) / 1024.0;
    return 0;
}

int find_start_and_end_addr(const uint16_t* array, const uint16_t* range, uint16_t len, uint16_t* out)
{
    if (array == NULL || range == NULL || out == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    /* The downward search reads array[range[1]]: it must lie in the array. */
    if (range[1] >= len) {
        LOG_ERROR("range is invalid\n");
        return -1;
    }
    for (uint32_t i = range[0]; i + 1 < len; ++i) {
        if (array[i] != array[i + 1]) {
            out[0] = (uint16_t)(i + 1);
            break;
        }
    }
    for (uint32_t i = range[1]; i >= 1; --i) {
        if (array[i - 1] != array[i]) {
            out[1] = (uint16_t)i;
            break;
        }
    }
    return 0;
}

int temp_correct(float ems, uint16_t tau, float ta, float org_temp, float* new_temp)
{
    if (new_temp == NULL || !(ems >= 0.001) || tau == 0) {
        LOG_ERROR("data is invalid\n");
        return -1;
    }
    /* The divisor takes the single-precision product, the bracket the double one. */
    const float et_single = ems * tau / 16384.0f;
    const double et_double = (double)ems * tau / 16384.0;
    const double tm = org_temp + 273.15;
    const double tamb = ta + 273.15;
    const double tm2 = tm * tm, tamb2 = tamb * tamb;
    const double radiance = (tm2 * tm2 - (1.0 - et_double) * (tamb2 * tamb2)) / et_single;
    /* A measurement below the reflected share has no temperature. */
    if (!(radiance >= 0.0) || isinf(radiance)) {
        LOG_ERROR("data is invalid\n");
        return -1;
    }
    /* A radiance finite in double may still give a temperature beyond float. */
    const float result = (float)(sqrt(sqrt(radiance)) - 273.15);
    if (!isfinite(result)) {
        LOG_ERROR("data is invalid\n");
        return -1;
    }
    *new_temp = result;
    return 0;
}

int recalc_NUC_with_env_correct(const env_factor_t* env_factor, uint16_t nuc, uint16_t* out)
{
    if (env_factor == NULL) {
        LOG_ERROR("env_factor is NULL\n");
        return -1;
    }
    if (out == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    /* 64 bits, no 16-bit wrap: negative and large results both give 16383. */
    const int64_t value = (int64_t)(((uint64_t)nuc * env_factor->k) >> 14) - env_factor->b;
    *out = (uint16_t)(value < 0 || value > NUC_MAX ? NUC_MAX : value);
    return 0;
}

int reverse_calc_NUC_with_env_correct(const int32_t* nuc_factor, double temp, uint16_t* out)
{
    if (nuc_factor == NULL) {
        LOG_ERROR("nuc_factor is NULL\n");
        return -1;
    }
    if (out == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    const double value = ((double)nuc_factor[2] * (temp * temp) + (double)nuc_factor[1] * temp + 524288.0) /
                         1048576.0 + nuc_factor[0];
    if (isnan(value)) {
        LOG_ERROR("data is invalid\n");
        return -1;
    }
    *out = (uint16_t)(value >= NUC_MAX ? NUC_MAX : (value <= 0.0 ? 0 : (int64_t)value));
    return 0;
}

int reverse_calc_NUC_without_env_correct(const uint32_t* env_factor, uint16_t value, uint16_t* out)
{
    if (env_factor == NULL) {
        LOG_ERROR("env_factor is NULL\n");
        return -1;
    }
    if (out == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    if (env_factor[0] == 0) {
        LOG_ERROR("k is invalid\n");
        return -1;
    }
    const uint64_t nuc = (((uint64_t)env_factor[1] + value) << 14) / env_factor[0];
    *out = (uint16_t)(nuc > NUC_MAX ? NUC_MAX : nuc);
    return 0;
}
