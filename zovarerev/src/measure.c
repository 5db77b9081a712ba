/* Temperature of a point, a line and a rectangle on the temperature half of a
 * raw frame, each taken from a small noise-rejecting neighbourhood. */
#define SOURCE_PATH "zovarerev/src/measure"
#include "internal.h"

#include <math.h>
#include <stdbool.h>
#include <stdlib.h>

enum {
    POINT_WINDOW = 3,       /* point and rectangle pixels: 3 x 3 */
    NUC_WINDOW = 5,         /* get_NUC_value: 5 x 5 */
    LINE_NEIGHBOURS = 5,    /* line points: 2 on each side along the line */
    MAX_WINDOW_VALUES = NUC_WINDOW * NUC_WINDOW
};

static bool point_inside(image_res_t res, int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && x < (int32_t)res.width && y < (int32_t)res.height;
}

static uint16_t pixel_at(const uint16_t* src, image_res_t res, int32_t x, int32_t y)
{
    return src[(size_t)y * res.width + (size_t)x];
}

/* Robust mean of count values: one highest and one lowest value are dropped
 * and the rest averaged, rounding half up. With count - 2 remaining values the
 * rounding constant is (count - 2) / 2: 3/7 for 9 values, 1/3 for 5, 11/23 for 25. */
static int get_array_average_value(const uint16_t* values, int count, uint16_t* average)
{
    if (average == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    uint32_t sum = 0;
    uint16_t max = values[0];
    uint16_t min = values[0];
    for (int i = 0; i < count; ++i) {
        sum += values[i];
        if (values[i] > max)
            max = values[i];
        if (values[i] < min)
            min = values[i];
    }
    const uint32_t kept = (uint32_t)count - 2;
    *average = (uint16_t)((sum - max - min + kept / 2) / kept);
    return 0;
}

/* size x size window around (x, y), rows outer, columns inner; positions
 * outside the image take the centre value. Returns the number of values. */
static int get_pixel_square_array(const uint16_t* src, image_res_t res, point_t centre, int size, uint16_t* out)
{
    const int half = size / 2;
    const uint16_t centre_value = pixel_at(src, res, centre.x, centre.y);
    int count = 0;
    for (int32_t row = centre.y - half; row <= centre.y + half; ++row)
        for (int32_t column = centre.x - half; column <= centre.x + half; ++column)
            out[count++] = point_inside(res, column, row) ? pixel_at(src, res, column, row) : centre_value;
    return count;
}

/* Five pixels centred on (x, y) in steps of (step_x, step_y); positions
 * outside the image take the centre value. */
static void get_pixel_axis_neighb_array(const uint16_t* src, image_res_t res, int32_t x, int32_t y,
                                        int32_t step_x, int32_t step_y, uint16_t* out)
{
    const uint16_t centre_value = pixel_at(src, res, x, y);
    for (int32_t offset = -2; offset <= 2; ++offset) {
        const int32_t px = x + offset * step_x;
        const int32_t py = y + offset * step_y;
        out[offset + 2] = point_inside(res, px, py) ? pixel_at(src, res, px, py) : centre_value;
    }
}

static void get_pixel_horz_neighb_array(const uint16_t* src, image_res_t res, int32_t x, int32_t y, uint16_t* out)
{
    get_pixel_axis_neighb_array(src, res, x, y, 1, 0, out);
}

static void get_pixel_vert_neighb_array(const uint16_t* src, image_res_t res, int32_t x, int32_t y, uint16_t* out)
{
    get_pixel_axis_neighb_array(src, res, x, y, 0, 1, out);
}

/* List entries index - 2 .. index + 2 of a slanted line's n points. The first
 * two and the last two points never serve as neighbours: such entries take
 * the value of entry index. */
static void get_pixel_slope_neighb_array(const uint16_t* src, image_res_t res, const point_t* points, int n,
                                         int index, uint16_t* out)
{
    const uint16_t centre_value = pixel_at(src, res, points[index].x, points[index].y);
    for (int offset = -2; offset <= 2; ++offset) {
        const int entry = index + offset;
        const bool usable = entry >= 2 && entry < n - 2;
        out[offset + 2] = usable ? pixel_at(src, res, points[entry].x, points[entry].y) : centre_value;
    }
}

/* Running maximum, minimum and sum of a line's or rectangle's values. */
typedef struct stat_accumulator {
    temp_stat_t stat;
    uint64_t sum;
    uint64_t count;
} stat_accumulator;

static void accumulate(stat_accumulator* acc, uint16_t value, int32_t x, int32_t y)
{
    const point_t here = { x, y };
    if (acc->count == 0) {
        acc->stat.max_temp = acc->stat.min_temp = value;
        acc->stat.max_point = acc->stat.min_point = here;
    } else {
        /* >= and <=: among equal values the later point wins. */
        if (value >= acc->stat.max_temp) {
            acc->stat.max_temp = value;
            acc->stat.max_point = here;
        }
        if (value <= acc->stat.min_temp) {
            acc->stat.min_temp = value;
            acc->stat.min_point = here;
        }
    }
    acc->sum += value;
    acc->count += 1;
}

static void finish(stat_accumulator* acc, temp_stat_t* stat)
{
    acc->stat.ave_temp = (uint16_t)((acc->sum + acc->count / 2) / acc->count);
    *stat = acc->stat;
}

static uint16_t point_value(const uint16_t* src, image_res_t res, point_t point)
{
    uint16_t window[POINT_WINDOW * POINT_WINDOW];
    uint16_t value = 0;
    get_array_average_value(window, get_pixel_square_array(src, res, point, POINT_WINDOW, window), &value);
    return value;
}

static uint16_t line_value(const uint16_t* neighbours)
{
    uint16_t value = 0;
    get_array_average_value(neighbours, LINE_NEIGHBOURS, &value);
    return value;
}

static void get_horz_line_temp(const uint16_t* src, image_res_t res, const line_t* line, temp_stat_t* stat)
{
    const int32_t y = line->start_y;
    const int32_t first = line->start_x < line->end_x ? line->start_x : line->end_x;
    const int32_t last = line->start_x < line->end_x ? line->end_x : line->start_x;
    stat_accumulator acc = { 0 };
    for (int32_t x = first; x <= last; ++x) {
        uint16_t neighbours[LINE_NEIGHBOURS];
        get_pixel_horz_neighb_array(src, res, x, y, neighbours);
        accumulate(&acc, line_value(neighbours), x, y);
    }
    finish(&acc, stat);
}

static void get_vert_line_temp(const uint16_t* src, image_res_t res, const line_t* line, temp_stat_t* stat)
{
    const int32_t x = line->start_x;
    const int32_t first = line->start_y < line->end_y ? line->start_y : line->end_y;
    const int32_t last = line->start_y < line->end_y ? line->end_y : line->start_y;
    stat_accumulator acc = { 0 };
    for (int32_t y = first; y <= last; ++y) {
        uint16_t neighbours[LINE_NEIGHBOURS];
        get_pixel_vert_neighb_array(src, res, x, y, neighbours);
        accumulate(&acc, line_value(neighbours), x, y);
    }
    finish(&acc, stat);
}

/* Rounds halves up: the floor, plus one when the fraction is at least 0.5. */
static int32_t round_half_up(float value)
{
    const float whole = floorf(value);
    return (int32_t)whole + (value - whole >= 0.5f ? 1 : 0);
}

/* Point of the slanted line through (x0, y0) with slope k for step t: t is
 * the column when the line is at most 45 degrees steep, else the row. Single
 * precision throughout. */
static point_t get_slope_line_point(float k, int32_t x0, int32_t y0, int32_t t)
{
    point_t point;
    if (fabsf(k) <= 1.0f) {
        point.x = t;
        point.y = round_half_up((float)(t - x0) * k + (float)y0);
    } else {
        point.y = t;
        point.x = round_half_up((float)(t - y0) / k + (float)x0);
    }
    return point;
}

static int get_slope_line_temp(const uint16_t* src, image_res_t res, const line_t* line, temp_stat_t* stat)
{
    const int32_t dx = line->end_x - line->start_x;
    const int32_t dy = line->end_y - line->start_y;
    const float k = (float)(line->start_y - line->end_y) / (float)(line->start_x - line->end_x);
    const int n = (abs(dx) > abs(dy) ? abs(dx) : abs(dy)) + 1;
    const bool starts_at_start = line->start_x < line->end_x;
    const int32_t x0 = starts_at_start ? line->start_x : line->end_x;
    const int32_t y0 = starts_at_start ? line->start_y : line->end_y;

    point_t* points = malloc((size_t)n * sizeof *points);
    if (points == NULL) {
        LOG_ERROR("alloc point set memory failed\n");
        return -2;
    }
    /* The points run from (x0, y0) to the other end; rounding keeps every one
     * within the line's bounding box, hence inside the image. */
    for (int i = 0; i < n; ++i) {
        int32_t t;
        if (fabsf(k) <= 1.0f)
            t = x0 + i;
        else if (k > 1.0f)
            t = y0 + i;
        else
            t = y0 - i;
        points[i] = get_slope_line_point(k, x0, y0, t);
    }
    stat_accumulator acc = { 0 };
    for (int i = 0; i < n; ++i) {
        uint16_t neighbours[LINE_NEIGHBOURS];
        get_pixel_slope_neighb_array(src, res, points, n, i, neighbours);
        accumulate(&acc, line_value(neighbours), points[i].x, points[i].y);
    }
    finish(&acc, stat);
    free(points);
    return 0;
}

int get_point_temp(const uint16_t* src, image_res_t res, point_t point, uint16_t* temp)
{
    if (src == NULL || temp == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    if (!point_inside(res, point.x, point.y)) {
        LOG_ERROR("the point is invalid\n");
        return -1;
    }
    *temp = point_value(src, res, point);
    return 0;
}

int get_line_temp(const uint16_t* src, image_res_t res, const line_t* line, temp_stat_t* stat)
{
    if (src == NULL || stat == NULL || line == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    if (!point_inside(res, line->start_x, line->start_y) || !point_inside(res, line->end_x, line->end_y)) {
        LOG_ERROR("line parameter is not valid\n");
        return -1;
    }
    if (line->start_x == line->end_x && line->start_y == line->end_y) {
        LOG_ERROR("this is point temperture\n");
        return -1;
    }
    if (line->start_y == line->end_y) {
        LOG_DEBUG("this is horizontal line temperture\n");
        get_horz_line_temp(src, res, line, stat);
        return 0;
    }
    if (line->start_x == line->end_x) {
        LOG_DEBUG("this is vertical line temperture\n");
        get_vert_line_temp(src, res, line, stat);
        return 0;
    }
    LOG_DEBUG("this is slope line temperture\n");
    return get_slope_line_temp(src, res, line, stat);
}

int get_rect_temp(const uint16_t* src, image_res_t res, const rect_t* rect, temp_stat_t* stat)
{
    if (src == NULL || stat == NULL || rect == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    /* 64-bit sums: a huge x or width must not wrap into the image. */
    if (rect->width == 0 || rect->height == 0 || (uint64_t)rect->x + rect->width >= res.width ||
        (uint64_t)rect->y + rect->height >= res.height) {
        LOG_ERROR("the rect is invalid\n");
        return -1;
    }
    stat_accumulator acc = { 0 };
    for (uint32_t row = rect->y; row < rect->y + rect->height; ++row) {
        for (uint32_t column = rect->x; column < rect->x + rect->width; ++column) {
            const point_t pixel = { (int32_t)column, (int32_t)row };
            accumulate(&acc, point_value(src, res, pixel), pixel.x, pixel.y);
        }
    }
    finish(&acc, stat);
    return 0;
}

int get_NUC_value(const uint16_t* src, image_res_t res, point_t point, uint16_t* value)
{
    if (src == NULL) {
        LOG_ERROR("src is NULL\n");
        return -1;
    }
    if (!point_inside(res, point.x, point.y)) {
        LOG_ERROR("the point is invalid\n");
        return -1;
    }
    uint16_t window[MAX_WINDOW_VALUES];
    return get_array_average_value(window, get_pixel_square_array(src, res, point, NUC_WINDOW, window), value);
}

int remap_temp(const uint16_t* nuc_table, uint16_t value, uint16_t* temp)
{
    if (nuc_table == NULL) {
        LOG_ERROR("nuc_table is NULL\n");
        return -1;
    }
    if (temp == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    *temp = nuc_table[value >> 1];
    return 0;
}

int point_over_threshold_alarm(temp_threshold_t threshold, uint16_t temp)
{
    if (temp > threshold.upper)
        return 1;
    if (temp < threshold.lower)
        return 2;
    return 0;
}

int line_rect_over_threshold_alarm(temp_threshold_t threshold, const temp_stat_t* stat)
{
    if (stat == NULL) {
        LOG_ERROR("data is NULL\n");
        return -1;
    }
    if (stat->max_temp > threshold.upper || stat->ave_temp > threshold.upper)
        return 1;
    if (stat->min_temp < threshold.lower || stat->ave_temp < threshold.lower)
        return 2;
    return 0;
}
