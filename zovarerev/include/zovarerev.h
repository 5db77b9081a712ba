/* zovarerev: temperature measurement and calibration arithmetic on the
 * temperature half of a raw camera frame (one 16-bit value per pixel, row by
 * row from the top, no padding).
 *
 * Every function returns 0 on success and a negative value on failure (unless
 * stated otherwise), reports failures to the library's error sink and leaves
 * its outputs untouched on failure. Values keep the unit of their input.
 *
 * Threading: all functions are re-entrant. The measurement functions gather
 * their neighbourhoods into per-call scratch arrays on the stack, so any
 * number of threads may measure at once. irtemp_log_register writes the sink
 * pointers without a lock: call it before other threads use the library.
 */
#ifndef ZOVAREREV_H
#define ZOVAREREV_H

#include <stdint.h>

#include "zizuruziza.h" /* image_res_t, shared by the camera-module libraries */

#if defined(_WIN32)
#define ZOVAREREV_API __declspec(dllexport)
#else
#define ZOVAREREV_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Pixel position: x the column, y the row. Passed by value as one 64-bit value. */
typedef struct point_t {
    int32_t x;
    int32_t y;
} point_t;

typedef struct line_t {
    int32_t start_x;
    int32_t start_y;
    int32_t end_x;
    int32_t end_y;
} line_t;

/* x, y: the top-left pixel. */
typedef struct rect_t {
    uint32_t x;
    uint32_t y;
    uint32_t width;
    uint32_t height;
} rect_t;

typedef struct temp_stat_t {
    uint16_t max_temp;
    uint16_t min_temp;
    uint16_t ave_temp;
    point_t max_point;
    point_t min_point;
} temp_stat_t;

/* Passed by value as one 64-bit value. */
typedef struct temp_threshold_t {
    int32_t upper;
    int32_t lower;
} temp_threshold_t;

/* Environment factor of recalc_NUC_with_env_correct. */
typedef struct env_factor_t {
    uint32_t k;
    uint16_t b;
} env_factor_t;

enum {
    /* Entries of a raw-to-temperature table of remap_temp: one per pair of raw values. */
    ZOVAREREV_NUC_TABLE_ENTRIES = 32768,
    /* Ambient tau table: 4 humidity classes x 14 ambient slots x 64 distances. */
    ZOVAREREV_AMBIENT_TAU_TABLE_ENTRIES = 4 * 14 * 64,
    /* Target tau table: 56 target temperatures x 64 distances. */
    ZOVAREREV_TARGET_TAU_TABLE_ENTRIES = 56 * 64
};

/* Logging: level 0 prints errors and debug messages, 1 errors only, any other
 * value silences both (the default). */
ZOVAREREV_API void irtemp_log_register(int level);
/* "zovarerev 0.5.0" */
ZOVAREREV_API const char* irtemp_version(void);

/* ---- Measurement ---------------------------------------------------------
 * A point's value is the robust mean of its 3 x 3 window, a line point's that
 * of its 5 line neighbours, get_NUC_value's that of the 5 x 5 window: the
 * highest and the lowest value are dropped and the rest averaged, rounding
 * half up. Positions outside the image take the centre pixel's value. */

/* Point inside the image, else -1. */
ZOVAREREV_API int get_point_temp(const uint16_t* src, image_res_t res, point_t point, uint16_t* temp);
/* Both ends inside the image and distinct; horizontal, vertical or slanted.
 * Among equal values the later point wins max_point and min_point.
 * -1 on bad arguments, -2 when the point list cannot be allocated. */
ZOVAREREV_API int get_line_temp(const uint16_t* src, image_res_t res, const line_t* line, temp_stat_t* stat);
/* The rectangle must have pixels and stay off the last column and row:
 * x + width < image width, y + height < image height. */
ZOVAREREV_API int get_rect_temp(const uint16_t* src, image_res_t res, const rect_t* rect, temp_stat_t* stat);
/* 5 x 5 value of a point inside the image, else -1. */
ZOVAREREV_API int get_NUC_value(const uint16_t* src, image_res_t res, point_t point, uint16_t* value);
/* temp = nuc_table[value >> 1]; the table has ZOVAREREV_NUC_TABLE_ENTRIES entries. */
ZOVAREREV_API int remap_temp(const uint16_t* nuc_table, uint16_t value, uint16_t* temp);
/* 1 above upper, 2 below lower, else 0. */
ZOVAREREV_API int point_over_threshold_alarm(temp_threshold_t threshold, uint16_t temp);
/* 1 when max_temp or ave_temp is above upper, else 2 when min_temp or
 * ave_temp is below lower, else 0; -1 for a null stat. */
ZOVAREREV_API int line_rect_over_threshold_alarm(temp_threshold_t threshold, const temp_stat_t* stat);

/* ---- Calibration and correction --------------------------------------------
 * Coefficient outputs (kb_param) are int32_t[2]: K, then B. Results that do
 * not fit their output type are refused with -1 rather than wrapped. */

/* param: ems, tau (1/128, 1..128), Ta, Tu (kelvin); temp_coef: c0, c1, c2;
 * gain_mode 1 high gain (Ta, Tu 230..430), 0 low gain (230..873), other
 * values skip the range test. out: KE, BE. */
ZOVAREREV_API int calculate_KE_and_BE(const uint32_t* param, const int32_t* temp_coef, int8_t gain_mode,
                                      uint32_t* out);
/* param: ems, tau (1/16384, 1..16384), Ta, Tu (1/16 kelvin; high gain
 * 3680..6880, low gain 3680..13968). kb_param: KE, BE. */
ZOVAREREV_API int calculate_new_KE_and_BE(const int32_t* param, const int32_t* temp_coef, int8_t gain_mode,
                                          int32_t* kb_param);
/* coef: k0 (non-zero), k1, k2; kt_info: two different positions; values: two
 * raw values. kb_param: Kn, Bn. */
ZOVAREREV_API int calculate_Kn_and_Bn(const int16_t* coef, const uint16_t* kt_info, const uint32_t* values,
                                      int32_t* kb_param);
/* Transmittance min((a - b) / (c - d) x 16384, 16384), truncated, as the
 * return value; -1 when c equals d or the two differences differ in sign. */
ZOVAREREV_API int calculate_tau(uint16_t a, uint16_t b, uint16_t c, uint16_t d);
/* kb: k, b. kb_param: K = 1024, B. */
ZOVAREREV_API int single_point_recalibrate_KB(const uint32_t* kb, uint32_t nuc, double temp, int32_t* kb_param);
/* kb: k (non-zero), b; two different raw values and their temperatures. */
ZOVAREREV_API int double_point_recalibrate_KB(const uint32_t* kb, const uint32_t* nuc, const double* temp,
                                              int32_t* kb_param);
ZOVAREREV_API int env_temp_calculate(const int32_t* a, const int32_t* b, uint16_t raw, double* out);
/* out[0]: one past the first change at or after range[0]; out[1]: the last
 * change at or below range[1], which must be below len. An entry whose change
 * is not found is left as it was. */
ZOVAREREV_API int find_start_and_end_addr(const uint16_t* array, const uint16_t* range, uint16_t len,
                                          uint16_t* out);

/* Ambient tau table (ZOVAREREV_AMBIENT_TAU_TABLE_ENTRIES), entry of
 * (humidity class x 14 + ambient slot) x 64 + distance index; 16384 is full
 * transmission. Humidity 0..1 (classes below 0.3, 0.5, 0.7, rest), ambient
 * -5..55 degC in steps of 5, distance 0.25..50 m on the library's grid.
 *
 * write_tau needs a distance on the grid; an ambient value between grid points
 * is stored in the spare 14th slot.
 * read_tau interpolates in distance and, from 0 to 55 degC, in ambient
 * temperature; below 0 degC it uses the -5 degC row alone, at and above
 * 55 degC the 55 degC row alone. Reading exactly 55 degC thus takes the row
 * that write_tau fills for 55 degC, so the two round-trip at every grid point.
 * A distance of exactly 50 m reads the last interval, i.e. the 50 m entry. */
ZOVAREREV_API int read_tau(const uint16_t* table, float humidity, float ta, float distance, uint16_t* tau);
ZOVAREREV_API int write_tau(uint16_t* table, float humidity, float ta, float distance, uint16_t tau);
/* Target tau table (ZOVAREREV_TARGET_TAU_TABLE_ENTRIES), entry of target
 * index x 64 + distance index; targets -25..1350 degC in steps of 25. Reading
 * below the grid uses its first row, at or above its top the last row. */
ZOVAREREV_API int read_tau_with_target_temp_and_dist(const uint16_t* table, float target, float distance,
                                                     uint16_t* tau);
ZOVAREREV_API int write_tau_with_target_temp_and_dist(uint16_t* table, float target, float distance,
                                                      uint16_t tau);

/* Radiometric correction of a measured temperature (degC) for emissivity ems
 * (0.001 and above) and transmittance tau (1/16384, non-zero) at ambient ta
 * (degC). -1 when no temperature explains the measurement. */
ZOVAREREV_API int temp_correct(float ems, uint16_t tau, float ta, float org_temp, float* new_temp);
/* ((nuc x k) >> 14) - b; results outside 0..16383 give 16383. */
ZOVAREREV_API int recalc_NUC_with_env_correct(const env_factor_t* env_factor, uint16_t nuc, uint16_t* out);
/* nuc_factor: c0, c1, c2; trunc((c2 temp^2 + c1 temp + 2^19) / 2^20 + c0)
 * limited to 0..16383. */
ZOVAREREV_API int reverse_calc_NUC_with_env_correct(const int32_t* nuc_factor, double temp, uint16_t* out);
/* env_factor: k (non-zero), b; ((b + value) x 2^14) / k, above 16383 gives 16383. */
ZOVAREREV_API int reverse_calc_NUC_without_env_correct(const uint32_t* env_factor, uint16_t value, uint16_t* out);

#ifdef __cplusplus
}
#endif

#endif
