/* Spatial noise reduction: a 5 x 5 weighted mean of the neighbours whose
 * level lies close to the centre's. */
#include "vuzovaredero_internal.h"

#include <stddef.h>
#include <string.h>

#define VZ_PATH "vuzovaredero/src/noise_reduction"

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
