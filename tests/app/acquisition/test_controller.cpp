// The camera controller: opening by product type against the simulated
// module, the frame buffers, the conversion table and the picture path of
// frame_to_mat. CTest runs every case in a process of its own, so each one
// starts from the controller's zeroed process-wide state.
#include "cameracontroller.h"
#include "framebufferpool.h"
#include "globals.h"
#include "thermal.h"

#include <dozazuva.h>
#include <dozazuva_backend.h>
#include <ombrix_simulator.h>
#include <vuzovaredero.h>
#include <zizuruziza.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<u8>;

// Keeps the controller's messages out of the test log.
struct CapturedStdout {
    CapturedStdout() { testing::internal::CaptureStdout(); }
    ~CapturedStdout() { testing::internal::GetCapturedStdout(); }
};

class ControllerOnSimulator : public testing::Test
{
protected:
    void SetUp() override
    {
        ombrix_sim_reset();
        ASSERT_EQ(dozazuva_use_backend(ombrix_simulator_backend()), 0);
    }
    void TearDown() override
    {
        camera_close();
        frame_buffers_release(&g_stream_frame_info);
        convert_buffers_release();
        dozazuva_use_backend(nullptr);
    }
};

TEST_F(ControllerOnSimulator, BusWithOnly5840OpensOnTheSecondTry)
{
    ASSERT_EQ(ombrix_sim_select_pid(OMBRIX_SIM_PID_5840), 0);
    camera_param_t param = {};
    {
        CapturedStdout out;
        EXPECT_EQ(camera_open(&param, PRODUCT_TYPE_5830), -1);
        EXPECT_EQ(camera_open(&param, 3), -1);  // no such product type
        EXPECT_FALSE(camera_is_open());
        ASSERT_EQ(ombrix_sim_unplug(), 0);
        EXPECT_EQ(camera_open(&param, PRODUCT_TYPE_5840), -1);
        ASSERT_EQ(ombrix_sim_plug(), 0);
    }
    ASSERT_EQ(camera_open(&param, PRODUCT_TYPE_5840), 0);
    EXPECT_TRUE(camera_is_open());
    EXPECT_EQ(param.dev.pid, uint32_t(OMBRIX_SIM_PID_5840));
    // The larger of the two frames: the picture over the temperatures.
    EXPECT_EQ(param.height, 2 * param.width * 3 / 4);
    EXPECT_EQ(param.frame_size, param.width * param.height * 2);
}

TEST_F(ControllerOnSimulator, ConnectStreamAndDisconnect)
{
    stream_frame_info_t& info = g_stream_frame_info;
    ASSERT_EQ(camera_open(&info.camera_param, PRODUCT_TYPE_5830), 0);
    ASSERT_EQ(camera_command_init(), 0);
    stream_frame_info_init(&info);
    EXPECT_EQ(info.image_info.width, 256u);
    EXPECT_EQ(info.image_info.height, 192u);
    EXPECT_EQ(info.image_frame_size + info.temp_frame_size, info.camera_param.frame_size);
    EXPECT_EQ(info.image_frame_size, info.temp_frame_size);

    ASSERT_EQ(frame_buffers_create(&info), 0);
    ASSERT_EQ(camera_stream_start(&info), 0);
    EXPECT_TRUE(camera_is_streaming());
    ASSERT_EQ(uvc_frame_get(info.raw_frame), 0);

    EXPECT_EQ(camera_stream_stop(&info), 0);
    EXPECT_FALSE(camera_is_streaming());
    EXPECT_EQ(info.raw_frame, nullptr);
    EXPECT_EQ(info.image_frame, nullptr);
    EXPECT_EQ(info.temp_frame, nullptr);
    EXPECT_EQ(camera_close(), 0);
    EXPECT_FALSE(camera_is_open());

    // A new connect runs the whole sequence again.
    ASSERT_EQ(camera_open(&info.camera_param, PRODUCT_TYPE_5830), 0);
    ASSERT_EQ(frame_buffers_create(&info), 0);
    EXPECT_EQ(camera_stream_start(&info), 0);
}

TEST(ControllerFrameBuffers, CreateOnlyWhenNoneExistAndReleaseNulls)
{
    stream_frame_info_t info = {};
    info.camera_param.frame_size = 64;
    info.image_frame_size = info.temp_frame_size = 32;
    ASSERT_EQ(frame_buffers_create(&info), 0);
    ASSERT_NE(info.raw_frame, nullptr);
    ASSERT_NE(info.image_frame, nullptr);
    ASSERT_NE(info.temp_frame, nullptr);
    const stream_frame_info_t before = info;

    info.camera_param.frame_size = 128;
    EXPECT_EQ(frame_buffers_create(&info), 0);
    EXPECT_EQ(std::memcmp(&before, &info, offsetof(stream_frame_info_t, camera_param)), 0);

    frame_buffers_release(&info);
    EXPECT_EQ(info.raw_frame, nullptr);
    EXPECT_EQ(info.image_frame, nullptr);
    EXPECT_EQ(info.temp_frame, nullptr);
    frame_buffers_release(&info);  // nothing left to free
    frame_buffers_release(nullptr);
    EXPECT_EQ(frame_buffers_create(nullptr), -1);
}

// ---- Conversions ----------------------------------------------------------

constexpr u32 Width = 256;
constexpr u32 Height = 192;
constexpr u32 Pixels = Width * Height;

// A grey YUYV picture whose level at (x, y) is (x + 2y) & 255.
Bytes greyPicture()
{
    Bytes picture(2 * Pixels);
    for (u32 y = 0; y < Height; ++y)
        for (u32 x = 0; x < Width; ++x) {
            u8* pixel = &picture[2 * (y * Width + x)];
            pixel[0] = u8((x + 2 * y) & 255);
            pixel[1] = 128;
        }
    return picture;
}

int greyLevel(int x, int y)
{
    return (x + 2 * y) & 255;
}

// A Y14 picture with a gentle gradient and some structure.
Bytes y14Picture(int shift = 0)
{
    Bytes picture(2 * Pixels);
    for (u32 i = 0; i < Pixels; ++i) {
        const uint16_t value = uint16_t(((4000 + (i % Width) * 3 + (i / Width) * 2 + (i % 7) * 11) << shift));
        std::memcpy(&picture[2 * i], &value, 2);
    }
    return picture;
}

frame_info_t pictureInfo(u32 input, u32 output, u32 grey, u32 enhanceOff)
{
    frame_info_t info = {};
    info.width = Width;
    info.height = Height;
    info.input_format = input;
    info.output_format = output;
    info.grey = grey;
    info.enhance_off = enhanceOff;
    return info;
}

class ControllerConversions : public testing::Test
{
protected:
    void SetUp() override
    {
        record.image_info = pictureInfo(INPUT_YUV422, PIXFMT_BGR888, 0, 1);
        ASSERT_EQ(convert_buffers_create(&record), 0);
    }
    void TearDown() override { convert_buffers_release(); }

    Bytes output(size_t bytes) const { return Bytes(frame_convert_output(), frame_convert_output() + bytes); }

    stream_frame_info_t record = {};
};

// One row of the table: the input, the formats and flags, and the result the
// libraries give when called one after the other by hand.
struct Row {
    const char* name;
    u32 input;
    u32 output;
    u32 grey;
    u32 enhanceOff;
    size_t bytes;
    std::function<Bytes(Bytes)> expected;
};

Bytes viaYuv422ToRgb(const Bytes& yuyv)
{
    Bytes rgb(3 * Pixels);
    yuv422_to_rgb(yuyv.data(), Pixels, rgb.data());
    return rgb;
}

Bytes swapRedBlue(Bytes rgb)
{
    rgb_to_bgr(rgb.data(), int(rgb.size() / 3), rgb.data());
    return rgb;
}

Bytes pseudoColour(const Bytes& y14, int palette)
{
    Bytes yuyv(2 * Pixels);
    y14_map_to_yuyv_pseudocolor(reinterpret_cast<const uint16_t*>(y14.data()), Pixels, palette, yuyv.data());
    return yuyv;
}

Bytes greyRgb(const Bytes& y14)
{
    Bytes rgb(3 * Pixels);
    y14_to_rgb(reinterpret_cast<const uint16_t*>(y14.data()), Pixels, rgb.data());
    return rgb;
}

Bytes greyYuv444(const Bytes& y14)
{
    Bytes yuv(3 * Pixels);
    y14_to_yuv444(reinterpret_cast<const uint16_t*>(y14.data()), Pixels, yuv.data());
    return yuv;
}

Bytes greyYuv422(const Bytes& y14)
{
    Bytes yuyv(2 * Pixels);
    yuv444_to_yuv422(greyYuv444(y14).data(), Pixels, yuyv.data());
    return yuyv;
}

TEST_F(ControllerConversions, EveryRowOfTheTable)
{
    const std::vector<Row> rows = {
        {"YUV422 to YUV422", INPUT_YUV422, PIXFMT_YUV422, 0, 1, 2 * Pixels, [](Bytes in) { return in; }},
        {"YUV422 to RGB", INPUT_YUV422, PIXFMT_RGB888, 0, 1, 3 * Pixels, viaYuv422ToRgb},
        {"YUV422 to BGR", INPUT_YUV422, PIXFMT_BGR888, 0, 1, 3 * Pixels,
         [](Bytes in) { return swapRedBlue(viaYuv422ToRgb(in)); }},
        {"YUV422 to code 7", INPUT_YUV422, 7, 0, 1, 3 * Pixels,
         [](Bytes in) { return swapRedBlue(viaYuv422ToRgb(in)); }},
        {"Y14 to Y14", INPUT_Y14, PIXFMT_Y14, 0, 1, 2 * Pixels, [](Bytes in) { return in; }},
        {"Y14 to grey YUV422", INPUT_Y14, PIXFMT_YUV422, 1, 1, 2 * Pixels, greyYuv422},
        {"Y14 to colour YUV422", INPUT_Y14, PIXFMT_YUV422, 0, 1, 2 * Pixels,
         [](Bytes in) { return pseudoColour(in, 3); }},
        {"Y14 to YUV444", INPUT_Y14, PIXFMT_YUV444, 0, 1, 3 * Pixels, greyYuv444},
        {"Y14 to grey RGB", INPUT_Y14, PIXFMT_RGB888, 1, 1, 3 * Pixels, greyRgb},
        {"Y14 to colour RGB", INPUT_Y14, PIXFMT_RGB888, 0, 1, 3 * Pixels,
         [](Bytes in) { return viaYuv422ToRgb(pseudoColour(in, 3)); }},
        {"Y14 to grey BGR", INPUT_Y14, PIXFMT_BGR888, 1, 1, 3 * Pixels,
         [](Bytes in) { return swapRedBlue(greyRgb(in)); }},
        {"Y14 to colour BGR", INPUT_Y14, PIXFMT_BGR888, 0, 1, 3 * Pixels,
         [](Bytes in) { return swapRedBlue(viaYuv422ToRgb(pseudoColour(in, 6))); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes picture = row.input == INPUT_YUV422 ? greyPicture() : y14Picture();
        // A colourful YUYV picture, so that R, G and B differ.
        if (row.input == INPUT_YUV422)
            for (u32 i = 1; i < 2 * Pixels; i += 2)
                picture[i] = u8(64 + (i % 128));
        const Bytes expected = row.expected(picture);
        frame_info_t info = pictureInfo(row.input, row.output, row.grey, row.enhanceOff);
        ASSERT_EQ(frame_convert(picture.data(), Pixels, &info), 0);
        EXPECT_EQ(info.byte_size, row.bytes);
        ASSERT_EQ(expected.size(), row.bytes);
        EXPECT_TRUE(output(row.bytes) == expected);
    }
}

TEST_F(ControllerConversions, Y16IsShiftedInPlaceThenTakenAsY14)
{
    Bytes picture = y14Picture(2);
    frame_info_t info = pictureInfo(INPUT_Y16, PIXFMT_Y14, 0, 1);
    ASSERT_EQ(frame_convert(picture.data(), Pixels, &info), 0);
    EXPECT_TRUE(picture == y14Picture()) << "the picture is shifted where it lies";
    EXPECT_TRUE(output(2 * Pixels) == y14Picture());
}

TEST_F(ControllerConversions, RequestsTheBuffersCannotHoldAreRefused)
{
    Bytes picture(2 * Pixels * 2);
    frame_info_t info = pictureInfo(INPUT_YUV422, PIXFMT_BGR888, 0, 1);
    CapturedStdout out;
    EXPECT_EQ(frame_convert(picture.data(), 2 * Pixels, &info), -1);
    EXPECT_EQ(frame_convert(nullptr, Pixels, &info), -1);
    EXPECT_EQ(info.byte_size, 0u);
    EXPECT_EQ(frame_convert(picture.data(), Pixels, nullptr), -1);
    frame_info_t uncovered = pictureInfo(INPUT_YUV422, PIXFMT_Y14, 0, 1);  // no such conversion
    EXPECT_EQ(frame_convert(picture.data(), Pixels, &uncovered), -1);
    convert_buffers_release();
    EXPECT_EQ(frame_convert(picture.data(), Pixels, &info), -1);

    record.image_info.width = 512;  // larger than the buffers made for 256
    EXPECT_TRUE(frame_to_mat(&record).empty());
    EXPECT_TRUE(frame_to_mat(nullptr).empty());
}

// ---- The picture path -------------------------------------------------------

class ControllerPicturePath : public ControllerConversions
{
protected:
    void SetUp() override
    {
        ControllerConversions::SetUp();
        picture = greyPicture();
        record.image_frame = picture.data();
        g_palette = 1;
    }

    // The colour of table (palette + 1) for a grey level, as B, G, R.
    static cv::Vec3b colourOf(int level, int palette = 1)
    {
        const unsigned char* entry = itRgbColorTable(palette + 1) + 3 * level;
        return cv::Vec3b(entry[0], entry[1], entry[2]);
    }

    Bytes picture;
};

TEST_F(ControllerPicturePath, UprightPictureIsColouredThroughThePalette)
{
    const cv::Mat mat = frame_to_mat(&record);
    ASSERT_EQ(mat.type(), CV_8UC3);
    ASSERT_EQ(mat.rows, int(Height));
    ASSERT_EQ(mat.cols, int(Width));
    for (int y : {0, 50, 191})
        for (int x : {0, 13, 255})
            EXPECT_EQ(mat.at<cv::Vec3b>(y, x), colourOf(greyLevel(x, y))) << x << "," << y;
    // A fresh matrix, not the controller's buffer.
    EXPECT_NE(mat.data, frame_convert_output());
}

TEST_F(ControllerPicturePath, TurnsAndMirrors)
{
    struct Case {
        u32 rotate;
        u32 mirrorFlip;
        int rows;
        int cols;
        // The upright pixel (x, y) that lands at output (col c, row r).
        std::function<cv::Point(int c, int r)> source;
    };
    const int W = int(Width), H = int(Height);
    const std::vector<Case> cases = {
        {RIGHT_90D, NO_MIRROR_FLIP, W, H, [=](int c, int r) { return cv::Point(r, H - 1 - c); }},
        {LEFT_90D, NO_MIRROR_FLIP, W, H, [=](int c, int r) { return cv::Point(W - 1 - r, c); }},
        {ROTATE_180D, NO_MIRROR_FLIP, H, W, [=](int c, int r) { return cv::Point(W - 1 - c, H - 1 - r); }},
        {NO_ROTATE, ONLY_MIRROR, H, W, [=](int c, int r) { return cv::Point(W - 1 - c, r); }},
        {NO_ROTATE, ONLY_FLIP, H, W, [=](int c, int r) { return cv::Point(c, H - 1 - r); }},
        {NO_ROTATE, MIRROR_FLIP, H, W, [=](int c, int r) { return cv::Point(W - 1 - c, H - 1 - r); }},
        {RIGHT_90D, ONLY_MIRROR, W, H, [=](int c, int r) { return cv::Point(W - 1 - r, H - 1 - c); }},
    };
    for (const Case& turn : cases) {
        SCOPED_TRACE(testing::Message() << "rotate " << turn.rotate << " mirror/flip " << turn.mirrorFlip);
        record.image_info.rotate = turn.rotate;
        record.image_info.mirror_flip = turn.mirrorFlip;
        const cv::Mat mat = frame_to_mat(&record);
        ASSERT_EQ(mat.rows, turn.rows);
        ASSERT_EQ(mat.cols, turn.cols);
        for (int r : {0, 7, turn.rows - 1})
            for (int c : {0, 100, turn.cols - 1}) {
                const cv::Point from = turn.source(c, r);
                EXPECT_EQ(mat.at<cv::Vec3b>(r, c), colourOf(greyLevel(from.x, from.y))) << c << "," << r;
            }
    }
}

TEST_F(ControllerPicturePath, FirstFrameAlwaysSelectsAColourTable)
{
    itSetRgbColor(5);  // someone else's choice, unknown to the controller
    g_palette = 0;
    ASSERT_FALSE(frame_to_mat(&record).empty());
    EXPECT_EQ(itGetRgbColor(), 1);

    // Later frames select a table only when the palette changes.
    itSetRgbColor(7);
    ASSERT_FALSE(frame_to_mat(&record).empty());
    EXPECT_EQ(itGetRgbColor(), 7);
    g_palette = 3;
    const cv::Mat mat = frame_to_mat(&record);
    EXPECT_EQ(itGetRgbColor(), 4);
    EXPECT_EQ(mat.at<cv::Vec3b>(0, 200), colourOf(greyLevel(200, 0), 3));
}

TEST_F(ControllerPicturePath, FramesHaveBuffersOfTheirOwnThatComeBack)
{
    cv::Mat first = frame_to_mat(&record);
    cv::Mat second = frame_to_mat(&record);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.allocator, frameBufferPool());
    // Held frames never share memory: the view may still show the first.
    EXPECT_NE(first.data, second.data);
    const cv::Mat firstCopy = first.clone();
    record.image_frame[0] = 255;  // a different picture
    cv::Mat third = frame_to_mat(&record);
    EXPECT_NE(third.data, first.data);
    EXPECT_NE(third.data, second.data);
    EXPECT_EQ(cv::norm(first, firstCopy, cv::NORM_INF), 0);

    // A released frame's buffer serves a later frame of the same size.
    const uchar* released = second.data;
    second.release();
    const cv::Mat fourth = frame_to_mat(&record);
    EXPECT_EQ(fourth.data, released);
    // A frame of another shape has its own.
    record.image_info.rotate = RIGHT_90D;
    const cv::Mat turned = frame_to_mat(&record);
    EXPECT_EQ(turned.rows, int(Width));
    EXPECT_NE(turned.data, first.data);
    EXPECT_NE(turned.data, third.data);
}

TEST(ControllerFrameBufferPool, ManyFramesAtOnceKeepTheirPixels)
{
    // More frames alive than the pool keeps buffers for, released and made
    // again: every frame keeps its own pixels.
    for (int round = 0; round < 2; ++round) {
        std::vector<cv::Mat> frames;
        for (int i = 0; i < 12; ++i) {
            frames.emplace_back();
            frames.back().allocator = frameBufferPool();
            frames.back().create(4, 5, CV_8UC3);
            frames.back().setTo(cv::Scalar(i, i, i));
        }
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(frames[size_t(i)].at<cv::Vec3b>(3, 4), cv::Vec3b(uchar(i), uchar(i), uchar(i)));
    }
}

TEST(ControllerTemperatures, WordsDecodeWithTheSinglePrecisionOffset)
{
    // Sixty-fourths of a kelvin, less the single-precision 273.15.
    for (uint16_t word : {0, 1, 19200, 65535})
        EXPECT_EQ(raw_to_celsius(word), float(word) / 64.0f - 273.15f) << word;
    EXPECT_EQ(celsius_to_fahrenheit(-40.0f), -40.0f);
    EXPECT_EQ(celsius_to_fahrenheit(100.0f), 212.0f);
}

}  // namespace
