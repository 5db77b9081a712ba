/* Atmospheric transmittance (tau) tables: one by humidity, ambient temperature
 * and distance, one by target temperature and distance. Entries are 1/16384. */
#define SOURCE_PATH "zovarerev/src/tau_table"
#include "internal.h"

#include <math.h>
#include <stdbool.h>

enum {
    HUMIDITY_CLASSES = 4,
    AMBIENT_POINTS = 13,
    AMBIENT_SLOTS = 14,          /* the 14th keeps writes between grid points */
    AMBIENT_SPARE_SLOT = 13,
    DISTANCE_POINTS = 64,
    TARGET_POINTS = 56,
    NOT_FOUND = -1
};

/* Grid points are held in single precision, the precision callers pass, so a
 * value given at a grid point meets it exactly. */
static const float ambient_grid[AMBIENT_POINTS] = { -5, 0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55 };

static const float distance_grid[DISTANCE_POINTS] = {
    0.25f, 0.3f, 0.35f, 0.4f, 0.45f, 0.5f, 0.55f, 0.6f, 0.65f, 0.7f, 0.75f, 0.8f, 0.85f, 0.9f, 0.95f, 1.0f,
    1.05f, 1.1f, 1.15f, 1.2f,
    1.3f, 1.4f, 1.5f, 1.6f, 1.7f, 1.8f, 1.9f, 2.0f,
    2.2f, 2.4f, 2.6f, 2.8f, 3.0f, 3.2f, 3.4f, 3.6f, 3.8f, 4.0f,
    4.5f, 5.0f, 5.5f, 6.0f, 6.5f, 7.0f, 7.5f, 8.0f,
    9, 10, 11, 12, 13, 14,
    16, 18, 20, 22, 24, 26, 28, 30,
    35, 40, 45, 50
};

/* Target grid in kelvin: -25 degC to 1350 degC in steps of 25. Each literal
 * equals its degree value + 273.15f, as the callers' targets are converted. */
static const float target_grid[TARGET_POINTS] = {
    248.15f, 273.15f, 298.15f, 323.15f, 348.15f, 373.15f, 398.15f, 423.15f,
    448.15f, 473.15f, 498.15f, 523.15f, 548.15f, 573.15f, 598.15f, 623.15f,
    648.15f, 673.15f, 698.15f, 723.15f, 748.15f, 773.15f, 798.15f, 823.15f,
    848.15f, 873.15f, 898.15f, 923.15f, 948.15f, 973.15f, 998.15f, 1023.15f,
    1048.15f, 1073.15f, 1098.15f, 1123.15f, 1148.15f, 1173.15f, 1198.15f, 1223.15f,
    1248.15f, 1273.15f, 1298.15f, 1323.15f, 1348.15f, 1373.15f, 1398.15f, 1423.15f,
    1448.15f, 1473.15f, 1498.15f, 1523.15f, 1548.15f, 1573.15f, 1598.15f, 1623.15f
};

static const double grid_slack = 0.001;

static float celsius_to_kelvin(float celsius)
{
    return celsius + 273.15f;
}

/* Reading search: the number of leading grid points p with value > p - 0.001,
 * minus one (-1 below the grid), limited to first..last. */
static int grid_read_index(const float* grid, int count, double value, int first, int last)
{
    int index = 0;
    while (index < count && value > grid[index] - grid_slack)
        ++index;
    --index;
    return index < first ? first : (index > last ? last : index);
}

/* Writing search: the grid point within 0.001 of the value, or NOT_FOUND. */
static int grid_write_index(const float* grid, int count, double value)
{
    for (int index = 0; index < count; ++index)
        if (fabs(value - grid[index]) < grid_slack)
            return index;
    return NOT_FOUND;
}

static int get_hum_index(float humidity, int* index)
{
    if (!(humidity >= 0.0f && humidity <= 1.0f)) {
        LOG_ERROR("humidity is invalid\n");
        return -1;
    }
    /* Single-precision bounds, so that a humidity of 0.7f falls into class 3. */
    *index = humidity < 0.3f ? 0 : (humidity < 0.5f ? 1 : (humidity < 0.7f ? 2 : 3));
    return 0;
}

/* Lower grid point of the distance interval; exactly 50 m reads the last
 * interval, whose upper point it is. */
static int get_dist_read_index(float distance, int* index)
{
    if (!(distance >= 0.25f && distance <= 50.0f)) {
        LOG_ERROR("d is invalid\n");
        return -1;
    }
    *index = grid_read_index(distance_grid, DISTANCE_POINTS, distance, 0, DISTANCE_POINTS - 2);
    return 0;
}

/* Grid point of the distance, NOT_FOUND between grid points. */
static int get_dist_write_index(float distance, int* index)
{
    if (!(distance > 0.249 && distance < 50.001)) {
        LOG_ERROR("d is invalid\n");
        return -1;
    }
    *index = grid_write_index(distance_grid, DISTANCE_POINTS, distance);
    return 0;
}

/* Ambient slot of a write: its grid point, or the spare slot between points. */
static int get_temp_write_index(float ta, int* index)
{
    if (!(ta >= -5.0f && ta <= 55.0f)) {
        LOG_ERROR("d is invalid\n");
        return -1;
    }
    const int grid_index = grid_write_index(ambient_grid, AMBIENT_POINTS, ta);
    *index = grid_index == NOT_FOUND ? AMBIENT_SPARE_SLOT : grid_index;
    return 0;
}

static int get_target_temp_write_index(float kelvin, int* index)
{
    if (!(kelvin > 248.149 && kelvin < 1623.151)) {
        LOG_ERROR("target tempperature is invalid\n");
        return -1;
    }
    *index = grid_write_index(target_grid, TARGET_POINTS, kelvin);
    return 0;
}

/* Table value as uint16, truncated; the limits only guard the conversion. */
static uint16_t truncate_tau(double value)
{
    return (uint16_t)(value <= 0.0 ? 0.0 : (value >= 65535.0 ? 65535.0 : value));
}

/* Linear in distance between row[d] and row[d + 1]. Each weight is formed
 * before it scales its entry, so at a grid point the weights are exactly 1
 * and 0 and the entry comes back unchanged. */
static double interpolate_distance(const uint16_t* row, int d, float distance)
{
    const double d0 = distance_grid[d], d1 = distance_grid[d + 1];
    const double span = fabs(d1 - d0);
    return row[d] * ((d1 - distance) / span) + row[d + 1] * ((distance - d0) / span);
}

/* Bilinear in distance and a second grid quantity (t between t0 of row0 and
 * t1 of row1). */
static double interpolate_bilinear(const uint16_t* row0, const uint16_t* row1, int d, float distance, double t0,
                                   double t1, double t)
{
    const double d0 = distance_grid[d], d1 = distance_grid[d + 1];
    const double area = fabs(d1 - d0) * fabs(t1 - t0);
    return row0[d] * ((d1 - distance) * (t1 - t) / area) + row0[d + 1] * ((distance - d0) * (t1 - t) / area) +
           row1[d] * ((d1 - distance) * (t - t0) / area) + row1[d + 1] * ((distance - d0) * (t - t0) / area);
}

int read_tau(const uint16_t* table, float humidity, float ta, float distance, uint16_t* tau)
{
    if (table == NULL) {
        LOG_ERROR("correct table is NULL\n");
        return -1;
    }
    if (tau == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    int h, d;
    if (get_hum_index(humidity, &h) != 0 || get_dist_read_index(distance, &d) != 0)
        return -1;
    if (isnan(ta)) {
        LOG_ERROR("d is invalid\n");
        return -1;
    }
    /* Below -5 degC the first row; from 55 degC on (55 itself included) the 55 degC row. */
    const int a = grid_read_index(ambient_grid, AMBIENT_POINTS, ta, 0, AMBIENT_POINTS - 1);
    const uint16_t* row = table + (h * AMBIENT_SLOTS + a) * DISTANCE_POINTS;
    double value;
    if (a == 0 || a >= AMBIENT_POINTS - 1)
        value = interpolate_distance(row, d, distance);
    else
        value = interpolate_bilinear(row, row + DISTANCE_POINTS, d, distance, ambient_grid[a], ambient_grid[a + 1], ta);
    *tau = truncate_tau(value);
    return 0;
}

int write_tau(uint16_t* table, float humidity, float ta, float distance, uint16_t tau)
{
    if (table == NULL) {
        LOG_ERROR("correct table is NULL\n");
        return -1;
    }
    int h, a, d;
    if (get_hum_index(humidity, &h) != 0 || get_temp_write_index(ta, &a) != 0 ||
        get_dist_write_index(distance, &d) != 0)
        return -1;
    if (d == NOT_FOUND) {
        LOG_ERROR("distance index not found\n");
        return -1;
    }
    table[(h * AMBIENT_SLOTS + a) * DISTANCE_POINTS + d] = tau;
    return 0;
}

int read_tau_with_target_temp_and_dist(const uint16_t* table, float target, float distance, uint16_t* tau)
{
    if (table == NULL || tau == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    const float kelvin = celsius_to_kelvin(target);
    if (isnan(kelvin)) {
        LOG_ERROR("target tempperature is invalid\n");
        return -1;
    }
    int d;
    if (get_dist_read_index(distance, &d) != 0)
        return -1;
    /* Below the grid the first row (no row before it exists). */
    const int i = grid_read_index(target_grid, TARGET_POINTS, kelvin, 0, TARGET_POINTS - 1);
    const uint16_t* row = table + i * DISTANCE_POINTS;
    if (i == 0 || i >= TARGET_POINTS - 1) {
        *tau = truncate_tau(interpolate_distance(row, d, distance));
        return 0;
    }
    const double value = interpolate_bilinear(row, row + DISTANCE_POINTS, d, distance, target_grid[i],
                                              target_grid[i + 1], kelvin);
    *tau = truncate_tau(value + 0.5);
    return 0;
}

int write_tau_with_target_temp_and_dist(uint16_t* table, float target, float distance, uint16_t tau)
{
    if (table == NULL) {
        LOG_ERROR("correct table is NULL\n");
        return -1;
    }
    int i, d;
    if (get_target_temp_write_index(celsius_to_kelvin(target), &i) != 0)
        return -1;
    if (i == NOT_FOUND) {
        LOG_ERROR("target temperature index not found\n");
        return -1;
    }
    if (get_dist_write_index(distance, &d) != 0)
        return -1;
    if (d == NOT_FOUND) {
        LOG_ERROR("distance index not found\n");
        return -1;
    }
    table[i * DISTANCE_POINTS + d] = tau;
    return 0;
}
