#include "cameracontroller.h"

#include "framebufferpool.h"
#include "globals.h"
#include "thermal.h"

#include <vuzovaredero.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

stream_frame_info_t g_stream_frame_info = {};

namespace {

constexpr u32 VendorId = 0x0BDA;
constexpr u32 ProductId5840 = 0x5840;
constexpr u32 ProductId5830 = 0x5830;
constexpr u32 FrameWaitMs = 1000;

// The controller's own state beside the record.
struct ControllerState {
    bool opened = false;
    bool streaming = false;
    // Conversion buffers: A is scratch, B holds each conversion's result.
    u8* scratch = nullptr;
    u8* result = nullptr;
    size_t convertCapacity = 0;  // bytes of each
    // The colour table last handed to the colour mapping; -1 so that the
    // first frame always selects one.
    int lastColourTable = -1;
    // The opened camera's name and stream format, which camera_param points
    // at; the camera library's own lists are freed before camera_open returns.
    char deviceName[256] = {};
    char streamFormat[32] = {};
};

ControllerState g_state;

void report(const char* format, int value)
{
    std::printf(format, value);
    std::fflush(stdout);
}

void report(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}

// Keeps a copy of text in storage and returns it; null text stays null.
char* keepText(char* storage, size_t capacity, const char* text)
{
    if (!text)
        return nullptr;
    std::snprintf(storage, capacity, "%s", text);
    return storage;
}

const enhance_param_t& enhanceParameters()
{
    static const enhance_param_t parameters = [] {
        enhance_param_t p = {};
        p.agc_param.high_discard_ratio = 0.01f;
        p.agc_param.low_discard_ratio = 0.01f;
        p.agc_param.plateau_max_ratio = 0.001f;
        p.agc_param.plateau_min_ratio = 0.0001f;
        p.agc_param.max_gain = 150;
        p.agc_param.reserved = 0;
        p.agc_param.offset_ratio = 0.25f;
        p.agc_param.stretch_param.enable = 1;
        p.agc_param.stretch_param.lower_limit = 4530;
        p.agc_param.stretch_param.upper_limit = 4938;
        p.detail_gain[0] = 0.0f;
        p.detail_gain[1] = 6.0f;
        p.detail_gain[2] = 2.0f;
        p.detail_threshold[0] = 0;
        p.detail_threshold[1] = 10;
        p.detail_threshold[2] = 60;
        p.detail_threshold[3] = 120;
        return p;
    }();
    return parameters;
}

image_res_t resolutionOf(const frame_info_t& info)
{
    image_res_t res;
    res.width = static_cast<uint16_t>(info.width);
    res.height = static_cast<uint16_t>(info.height);
    return res;
}

uint16_t* words(u8* bytes)
{
    return reinterpret_cast<uint16_t*>(bytes);
}

// YUV422 picture to the output format. The library calls' results are
// added up: any failure makes the whole conversion fail.
// keepRgb leaves a picture due in B, G, R in the converter's R, G, B order
// (for the colour mapping, which reads either and saves the swap).
int convertFromYuv422(const u8* image, u32 n, frame_info_t* info, u8* A, u8* B, bool keepRgb)
{
    switch (info->output_format) {
    case PIXFMT_YUV422:
        info->byte_size = 2 * n;
        std::memcpy(B, image, 2 * size_t(n));
        return 0;
    case PIXFMT_RGB888:
        info->byte_size = 3 * n;
        return yuv422_to_rgb(image, int(n), B);
    case PIXFMT_Y14:
    case PIXFMT_YUV444:
        info->byte_size = 0;
        report("convert error!\n");
        return -1;
    default:  // PIXFMT_BGR888 and any code above it
        info->byte_size = 3 * n;
        if (keepRgb)
            return yuv422_to_rgb(image, int(n), B);
        return yuv422_to_rgb(image, int(n), A) | rgb_to_bgr(A, int(n), B);
    }
}

// Y14 picture (already enhanced or copied into A) to the output format.
int convertFromY14(u32 n, frame_info_t* info, u8* A, u8* B)
{
    const bool grey = info->grey != 0;
    switch (info->output_format) {
    case PIXFMT_Y14:
        info->byte_size = 2 * n;
        std::memcpy(B, A, 2 * size_t(n));
        return 0;
    case PIXFMT_YUV422:
        info->byte_size = 2 * n;
        if (grey) {
            const int converted = y14_to_yuv444(words(A), int(n), B);
            std::memcpy(A, B, 3 * size_t(n));
            return converted | yuv444_to_yuv422(A, int(n), B);
        }
        return y14_map_to_yuyv_pseudocolor(words(A), n, 3, B);
    case PIXFMT_YUV444:
        info->byte_size = 3 * n;
        return y14_to_yuv444(words(A), int(n), B);
    case PIXFMT_RGB888:
        info->byte_size = 3 * n;
        if (grey)
            return y14_to_rgb(words(A), int(n), B);
        {
            const int mapped = y14_map_to_yuyv_pseudocolor(words(A), n, 3, B);
            std::memcpy(A, B, 3 * size_t(n));
            return mapped | yuv422_to_rgb(A, int(n), B);
        }
    default:  // PIXFMT_BGR888 and any code above it
        info->byte_size = 3 * n;
        if (grey)
            return y14_to_rgb(words(A), int(n), B) | rgb_to_bgr(B, int(n), B);
        return y14_map_to_yuyv_pseudocolor(words(A), n, 6, B) | yuv422_to_rgb(B, int(n), A) |
               rgb_to_bgr(A, int(n), B);
    }
}

// The pixel format handed to the transforms: the byte layout the conversion
// produced. Codes above BGR888 are converted as BGR888, so they move as such.
int transformFormatOf(u32 outputFormat)
{
    return outputFormat <= PIXFMT_BGR888 ? int(outputFormat) : int(PIXFMT_BGR888);
}

using Transform = int (*)(const uint8_t*, image_res_t, int, uint8_t*);

// The picture as the transforms pass it on: each transform writes the other
// conversion buffer, which then holds the picture. A transform that refuses
// (a format it does not move) leaves the picture where it was.
struct Picture {
    u8* at;
    u8* spare;

    void transform(Transform apply, const frame_info_t& info, int format)
    {
        if (apply(at, resolutionOf(info), format, spare) == 0)
            std::swap(at, spare);
    }
};

void mirrorAndFlip(Picture& picture, const frame_info_t& info, int format)
{
    switch (info.mirror_flip) {
    case ONLY_MIRROR:
        picture.transform(mirror, info, format);
        break;
    case ONLY_FLIP:
        picture.transform(flip, info, format);
        break;
    case MIRROR_FLIP:
        picture.transform(mirror, info, format);
        picture.transform(flip, info, format);
        break;
    default:
        break;
    }
}

void rotate(Picture& picture, const frame_info_t& info, int format)
{
    switch (info.rotate) {
    case LEFT_90D:
        picture.transform(rotate_left_90, info, format);
        break;
    case RIGHT_90D:
        picture.transform(rotate_right_90, info, format);
        break;
    case ROTATE_180D:
        picture.transform(rotate_180, info, format);
        break;
    default:
        break;
    }
}

// The colour mapping's table follows g_palette; it is told only on a change.
void selectColourTable()
{
    const int palette = g_palette.load(std::memory_order_relaxed);
    if (palette != g_state.lastColourTable) {
        g_state.lastColourTable = palette;
        itSetRgbColor(palette + 1);
    }
}

}  // namespace

int camera_open(camera_param_t* param, int product_type)
{
    int result = uvc_camera_init();
    if (result < 0) {
        report("uvc_camera_init:%d\n", result);
        return result;
    }

    camera_dev_t devices[DOZAZUVA_MAX_DEVICES] = {};
    result = uvc_camera_list(devices);
    if (result < 0) {
        report("uvc_camera_list:%d\n", result);
        uvc_camera_list_release(devices);
        return result;
    }

    u32 productId = 0;
    if (product_type == PRODUCT_TYPE_5840) {
        productId = ProductId5840;
    } else if (product_type == PRODUCT_TYPE_5830) {
        productId = ProductId5830;
    } else {
        report("error ir product type!\n");
        uvc_camera_list_release(devices);
        return -1;
    }

    int index = -1;
    for (int i = 0; i < DOZAZUVA_MAX_DEVICES; ++i) {
        if (devices[i].vid == VendorId && devices[i].pid == productId) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        report("can not get this device!\n");
        uvc_camera_list_release(devices);
        return -1;
    }
    camera_dev_t device = devices[index];
    device.name = keepText(g_state.deviceName, sizeof g_state.deviceName, devices[index].name);
    uvc_camera_list_release(devices);
    std::printf("name=%s\n", device.name ? device.name : "(null)");
    report("cur_index=%d\n", index);

    camera_stream_info_t infos[DOZAZUVA_MAX_STREAM_INFOS] = {};
    result = uvc_camera_info_get(&device, infos);
    if (result < 0) {
        report("uvc_camera_info_get:%d\n", result);
        uvc_camera_info_release(infos);
        return result;
    }

    result = uvc_camera_open(&device);
    if (result < 0) {
        report("uvc_camera_open:%d\n", result);
        uvc_camera_info_release(infos);
        return result;
    }
    g_state.opened = true;

    for (int i = 0; i < DOZAZUVA_MAX_STREAM_INFOS && infos[i].width != 0 && infos[i].height != 0; ++i)
        std::printf("width: %d,height: %d\n", int(infos[i].width), int(infos[i].height));
    std::fflush(stdout);

    // The stream is the second frame descriptor: the picture above the
    // temperature grid.
    const camera_stream_info_t& stream = infos[1];
    if (param) {
        param->dev = device;
        param->format = keepText(g_state.streamFormat, sizeof g_state.streamFormat, stream.format);
        param->width = stream.width;
        param->height = stream.height;
        param->frame_size = stream.width * stream.height * 2;
        param->fps = stream.fps[0];
        param->timeout = FrameWaitMs;
    }
    uvc_camera_info_release(infos);
    return 0;
}

int camera_stream_start(stream_frame_info_t* info)
{
    if (!info)
        return -1;
    const int result = uvc_camera_stream_start(&info->camera_param, nullptr);
    if (result < 0) {
        report("uvc_camera_stream_start:%d\n", result);
        return result;
    }
    g_state.streaming = true;
    return result;
}

int camera_stream_stop(stream_frame_info_t* info)
{
    int result = 0;
    if (g_state.streaming) {
        result = uvc_camera_stream_close(1);
        if (result < 0)
            return result;
        g_state.streaming = false;
    }
    frame_buffers_release(info);
    return result;
}

int camera_close(void)
{
    int result = 0;
    if (g_state.streaming) {
        result = uvc_camera_stream_close(1);
        if (result < 0)
            return result;
        g_state.streaming = false;
    }
    if (g_state.opened) {
        result = uvc_camera_close();
        uvc_camera_release();
        g_state.opened = false;
    }
    return result;
}

int camera_command_init(void)
{
    return vdcmd_init();
}

bool camera_is_open(void)
{
    return g_state.opened;
}

bool camera_is_streaming(void)
{
    return g_state.streaming;
}

void stream_frame_info_init(stream_frame_info_t* info)
{
    if (!info)
        return;
    const u32 width = info->camera_param.width;
    const u32 halfHeight = info->camera_param.height / 2;
    info->image_info = frame_info_t{};
    info->image_info.width = width;
    info->image_info.height = halfHeight;
    info->image_info.rotate = NO_ROTATE;
    info->image_info.mirror_flip = NO_MIRROR_FLIP;
    info->image_info.input_format = INPUT_YUV422;
    info->image_info.output_format = PIXFMT_BGR888;
    info->image_info.grey = 0;
    info->image_info.enhance_off = 1;
    info->temp_info = frame_info_t{};
    info->temp_info.width = width;
    info->temp_info.height = halfHeight;
    info->image_frame_size = width * halfHeight * 2;
    info->temp_frame_size = width * halfHeight * 2;
}

int frame_buffers_create(stream_frame_info_t* info)
{
    if (!info)
        return -1;
    if (info->raw_frame || info->image_frame || info->temp_frame)
        return 0;
    info->raw_frame = uvc_frame_buf_create(&info->camera_param);
    info->image_frame = static_cast<u8*>(std::malloc(info->image_frame_size));
    info->temp_frame = static_cast<u8*>(std::malloc(info->temp_frame_size));
    return 0;
}

void frame_buffers_release(stream_frame_info_t* info)
{
    if (!info)
        return;
    if (info->raw_frame) {
        uvc_frame_buf_release(info->raw_frame);
        info->raw_frame = nullptr;
    }
    std::free(info->image_frame);
    info->image_frame = nullptr;
    std::free(info->temp_frame);
    info->temp_frame = nullptr;
}

int convert_buffers_create(stream_frame_info_t* info)
{
    if (!info)
        return -1;
    const size_t bytes = size_t(info->image_info.width) * info->image_info.height * 3;
    if (g_state.scratch && g_state.result)
        return 0;
    // Both buffers always have the same size; a half-made pair is made anew.
    convert_buffers_release();
    g_state.scratch = static_cast<u8*>(std::malloc(bytes));
    g_state.result = static_cast<u8*>(std::malloc(bytes));
    if (!g_state.scratch || !g_state.result) {
        convert_buffers_release();
        return -1;
    }
    g_state.convertCapacity = bytes;
    return 0;
}

void convert_buffers_release(void)
{
    std::free(g_state.scratch);
    std::free(g_state.result);
    g_state.scratch = nullptr;
    g_state.result = nullptr;
    g_state.convertCapacity = 0;
}

namespace {

// frame_convert, with the choice of convertFromYuv422's keepRgb.
int convertFrame(u8* image, u32 pixel_count, frame_info_t* info, bool keepRgb)
{
    if (!info)
        return -1;
    u8* A = g_state.scratch;
    u8* B = g_state.result;
    // Every row writes at most 3 bytes a pixel into A and B.
    if (!image || !A || !B || size_t(pixel_count) * 3 > g_state.convertCapacity) {
        info->byte_size = 0;
        report("convert error!\n");
        return -1;
    }

    int result = 0;
    switch (info->input_format) {
    case INPUT_YUV422:
        result = convertFromYuv422(image, pixel_count, info, A, B, keepRgb);
        break;
    case INPUT_Y16:
    case INPUT_Y14:
        if (info->input_format == INPUT_Y16)
            y16_to_y14(words(image), int(pixel_count), words(image));
        if (info->enhance_off)
            std::memcpy(A, image, 2 * size_t(pixel_count));
        else
            result = y14_image_enhance(words(image), resolutionOf(*info), &enhanceParameters(), words(A));
        result |= convertFromY14(pixel_count, info, A, B);
        break;
    default:
        return 0;
    }
    if (result != 0 && info->byte_size != 0) {
        info->byte_size = 0;
        report("convert error!\n");
    }
    return result == 0 ? 0 : -1;
}

// Whether frame_to_mat converts the frame into R, G, B and colours that:
// a YUV422 frame due in B, G, R (the same picture after the mapping).
bool colouredFromRgb(const frame_info_t& image)
{
    return image.input_format == INPUT_YUV422 && transformFormatOf(image.output_format) == PIXFMT_BGR888;
}

}  // namespace

int frame_convert(u8* image, u32 pixel_count, frame_info_t* info)
{
    return convertFrame(image, pixel_count, info, false);
}

const u8* frame_convert_output(void)
{
    return g_state.result;
}

cv::Mat frame_to_mat(stream_frame_info_t* info)
{
    if (!info)
        return cv::Mat();
    frame_info_t& image = info->image_info;
    const bool fromRgb = colouredFromRgb(image);
    convertFrame(info->image_frame, image.width * image.height, &image, fromRgb);
    // The matrix below spans width x height x 3 bytes of B.
    if (!g_state.result || size_t(image.width) * image.height * 3 > g_state.convertCapacity)
        return cv::Mat();

    // The picture ends in either buffer; it stays there, untouched, until
    // the colour mapping below has read it.
    const int format = transformFormatOf(image.output_format);
    Picture picture{g_state.result, g_state.scratch};
    mirrorAndFlip(picture, image, format);
    rotate(picture, image, format);

    const bool quarterTurn = image.rotate == LEFT_90D || image.rotate == RIGHT_90D;
    const int rows = int(quarterTurn ? image.width : image.height);
    const int cols = int(quarterTurn ? image.height : image.width);
    const cv::Mat wrapped(rows, cols, CV_8UC3, picture.at);
    if (wrapped.empty())
        return cv::Mat();

    selectColourTable();
    cv::Mat coloured;
    coloured.allocator = frameBufferPool();
    if (fromRgb)
        itRgbToColourTable(wrapped, coloured);
    else
        itGray2RgbAD(wrapped, coloured);
    return coloured;
}
