/* Pixel format conversions: the checks, the logging and the reference
 * loops; the vectorised paths live in yuv_avx2.c and yuv_portable.c and
 * must equal these loops bit for bit. */
#include "zizuruziza.h"

#include "ombrix/log.h"
#include "zizuruziza_internal.h"

#include <string.h>

#define ZZ_PATH "zizuruziza/src/zizuruziza"
#define ZZ_ERROR(fmt, ...) OMBRIX_LOG(zz_error_sink, "zizuruziza error", ZZ_PATH, fmt, ##__VA_ARGS__)

/* The library's only sink: all of its messages are errors. */
static ombrix_log_sink zz_error_sink = ombrix_log_silent;

void irparse_log_register(int level)
{
    ombrix_log_sinks sinks;
    ombrix_log_set_level(&sinks, level);
    zz_error_sink = sinks.error;
}

const char* irparse_version(void)
{
    return "zizuruziza 0.3.0";
}

/* Indices are size_t throughout: 3 * i or 6 * pair leaves int's range for
 * pixel counts the header accepts.
 *
 * Every conversion checks its two buffers, then the count. The message
 * names the exported function, so the macro reports at its call site. */
#define ZZ_CHECK(src, dst, pixel_num)                     \
    do {                                                  \
        if ((src) == NULL || (dst) == NULL) {             \
            ZZ_ERROR("data is NULL\n");                   \
            return -1;                                    \
        }                                                 \
        if ((pixel_num) <= 0) {                           \
            ZZ_ERROR("pixel number is 0\n");              \
            return -1;                                    \
        }                                                 \
    } while (0)

int y16_to_y14(const uint16_t* src, int pixel_num, uint16_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    for (int i = 0; i < pixel_num; i++)
        dst[i] = (uint16_t)(src[i] >> 2);
    return 0;
}

int y14_to_y8(const uint16_t* src, int pixel_num, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    for (int i = 0; i < pixel_num; i++)
        dst[i] = zz_y14_level(src[i]);
    return 0;
}

int y14_to_rgb(const uint16_t* src, int pixel_num, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    for (size_t i = 0; i < (size_t)pixel_num; i++) {
        uint8_t level = zz_y14_level(src[i]);
        dst[3 * i] = level;
        dst[3 * i + 1] = level;
        dst[3 * i + 2] = level;
    }
    return 0;
}

int y14_to_yuv444(const uint16_t* src, int pixel_num, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    for (size_t i = 0; i < (size_t)pixel_num; i++) {
        dst[3 * i] = zz_y14_level(src[i]);
        dst[3 * i + 1] = 128;
        dst[3 * i + 2] = 128;
    }
    return 0;
}

int yuv444_to_yuv422(const uint8_t* src, int pixel_num, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    for (size_t pair = 0; pair < (size_t)pixel_num / 2; pair++) {
        const uint8_t* in = src + 6 * pair;
        uint8_t* out = dst + 4 * pair;
        out[0] = in[0];
        out[1] = (uint8_t)((in[1] + in[4]) >> 1);
        out[2] = in[3];
        out[3] = (uint8_t)((in[2] + in[5]) >> 1);
    }
    return 0;
}

static uint8_t zz_offset_level(uint8_t y, int16_t offset)
{
    /* Formed in int: a 16-bit sum would wrap for offsets near 32767 and turn
     * bright pixels black. */
    int sum = y + offset;
    if (sum > 255)
        return 255;
    if (sum <= 0)
        return 0;
    return (uint8_t)sum;
}

int yuv422_add_y(const uint8_t* src, int pixel_num, int16_t offset, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    /* Y bytes sit at the even byte positions; the lone last pixel of an odd
     * count still has its Y byte inside the buffer. */
    for (size_t i = 0; i < (size_t)pixel_num; i++)
        dst[2 * i] = zz_offset_level(src[2 * i], offset);
    return 0;
}

void zz_yuv422_to_rgb_scalar(const uint8_t* src, size_t pairs, uint8_t* dst)
{
    for (size_t pair = 0; pair < pairs; pair++) {
        const uint8_t* in = src + 4 * pair;
        uint8_t* out = dst + 6 * pair;
        int u = in[1] - 128;
        int v = in[3] - 128;
        zz_yuv_pixel_to_rgb(in[0], u, v, out);
        zz_yuv_pixel_to_rgb(in[2], u, v, out + 3);
    }
}

int yuv422_to_rgb(const uint8_t* src, int pixel_num, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    size_t pairs = (size_t)pixel_num / 2;
    size_t done = zz_yuv422_to_rgb_avx2(src, pairs, dst);
    if (done == 0 && !zz_cpu_has_avx2())
        done = zz_yuv422_to_rgb_portable(src, pairs, dst);
    zz_yuv422_to_rgb_scalar(src + 4 * done, pairs - done, dst + 6 * done);
    return 0;
}

int yuv444_to_rgb(const uint8_t* src, int pixel_num, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    for (size_t i = 0; i < (size_t)pixel_num; i++) {
        const uint8_t* in = src + 3 * i;
        zz_yuv_pixel_to_rgb(in[0], in[1] - 128, in[2] - 128, dst + 3 * i);
    }
    return 0;
}

void zz_rgb_to_bgr_scalar(const uint8_t* src, size_t pixels, uint8_t* dst)
{
    for (size_t i = 0; i < pixels; i++) {
        uint8_t first = src[3 * i];
        uint8_t middle = src[3 * i + 1];
        uint8_t last = src[3 * i + 2];
        dst[3 * i] = last;
        dst[3 * i + 1] = middle;
        dst[3 * i + 2] = first;
    }
}

int rgb_to_bgr(const uint8_t* src, int pixel_num, uint8_t* dst)
{
    ZZ_CHECK(src, dst, pixel_num);
    size_t pixels = (size_t)pixel_num;
    size_t done = zz_rgb_to_bgr_avx2(src, pixels, dst);
    if (done == 0 && !zz_cpu_has_avx2())
        done = zz_rgb_to_bgr_portable(src, pixels, dst);
    zz_rgb_to_bgr_scalar(src + 3 * done, pixels - done, dst + 3 * done);
    return 0;
}

int raw_data_cut(const uint8_t* raw, int image_bytes, int temp_bytes, uint8_t* image_out, uint8_t* temp_out)
{
    if (raw == NULL || image_out == NULL || temp_out == NULL) {
        ZZ_ERROR("data is NULL\n");
        return -1;
    }
    /* A negative length would turn into a huge copy. */
    if (image_bytes < 0 || temp_bytes < 0) {
        ZZ_ERROR("data length is negative\n");
        return -1;
    }
    memcpy(image_out, raw, (size_t)image_bytes);
    memcpy(temp_out, raw + image_bytes, (size_t)temp_bytes);
    return 0;
}
