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

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <vector>

namespace {

using Bytes = std::vector<u8>;

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
        dozazuva_use_backend(nullptr);
    }
};

TEST_F(ControllerOnSimulator, BusWithOnly5840OpensOnTheSecondTry)
{
    ASSERT_EQ(ombrix_sim_select_pid(OMBRIX_SIM_PID_5840), 0);
    camera_param_t param = {};
    EXPECT_EQ(camera_open(&param, PRODUCT_TYPE_5830), -1);
    EXPECT_EQ(camera_open(&param, 3), -1);  // no such product type
    EXPECT_FALSE(camera_is_open());
    ASSERT_EQ(camera_open(&param, PRODUCT_TYPE_5840), 0);
    EXPECT_TRUE(camera_is_open());
    EXPECT_EQ(param.dev.pid, uint32_t(OMBRIX_SIM_PID_5840));
    // The larger of the two frames: the picture over the temperatures.
    EXPECT_EQ(param.height, 2 * param.width * 3 / 4);
    EXPECT_EQ(param.frame_size, param.width * param.height * 2);
}

TEST_F(ControllerOnSimulator, ConnectStreamDisconnectAndConnectAgain)
{
    stream_frame_info_t& info = g_stream_frame_info;
    ASSERT_EQ(camera_open(&info.camera_param, PRODUCT_TYPE_5830), 0);
    ASSERT_EQ(camera_command_init(), 0);
    stream_frame_info_init(&info);
    EXPECT_EQ(info.image_frame_size, info.temp_frame_size);
    EXPECT_EQ(info.image_frame_size + info.temp_frame_size, info.camera_param.frame_size);

    ASSERT_EQ(frame_buffers_create(&info), 0);
    u8* const raw = info.raw_frame;
    EXPECT_EQ(frame_buffers_create(&info), 0);  // only when none exist
    EXPECT_EQ(info.raw_frame, raw);
    ASSERT_EQ(camera_stream_start(&info), 0);
    ASSERT_EQ(uvc_frame_get(info.raw_frame), 0);

    EXPECT_EQ(camera_stream_stop(&info), 0);
    EXPECT_FALSE(camera_is_streaming());
    EXPECT_EQ(info.raw_frame, nullptr);
    EXPECT_EQ(info.temp_frame, nullptr);
    EXPECT_EQ(camera_close(), 0);
    EXPECT_FALSE(camera_is_open());
    frame_buffers_release(nullptr);
    EXPECT_EQ(frame_buffers_create(nullptr), -1);

    ASSERT_EQ(camera_open(&info.camera_param, PRODUCT_TYPE_5830), 0);
    ASSERT_EQ(frame_buffers_create(&info), 0);
    EXPECT_EQ(camera_stream_start(&info), 0);
}

// ---- Conversion and the picture path ---------------------------------------

constexpr u32 Width = 256;
constexpr u32 Height = 192;
constexpr u32 Pixels = Width * Height;

int greyLevel(int x, int y)
{
    return (x + 2 * y) & 255;
}

// A grey YUYV picture of greyLevel.
Bytes yuyvPicture()
{
    Bytes picture(2 * Pixels);
    for (u32 i = 0; i < Pixels; ++i) {
        picture[2 * i] = u8(greyLevel(int(i % Width), int(i / Width)));
        picture[2 * i + 1] = 128;
    }
    return picture;
}

frame_info_t pictureInfo(u32 input, u32 output)
{
    frame_info_t info = {};
    info.width = Width;
    info.height = Height;
    info.input_format = input;
    info.output_format = output;
    info.enhance_off = 1;
    return info;
}

class ControllerConversions : public testing::Test
{
protected:
    void SetUp() override
    {
        record.image_info = pictureInfo(INPUT_YUV422, PIXFMT_BGR888);
        ASSERT_EQ(convert_buffers_create(&record), 0);
    }
    void TearDown() override { convert_buffers_release(); }

    stream_frame_info_t record = {};
};

TEST_F(ControllerConversions, RequestsTheBuffersCannotHoldAreRefused)
{
    Bytes picture(2 * Pixels * 2);
    frame_info_t info = pictureInfo(INPUT_YUV422, PIXFMT_BGR888);
    EXPECT_EQ(frame_convert(picture.data(), 2 * Pixels, &info), -1);
    EXPECT_EQ(frame_convert(nullptr, Pixels, &info), -1);
    EXPECT_EQ(info.byte_size, 0u);
    EXPECT_EQ(frame_convert(picture.data(), Pixels, nullptr), -1);
    frame_info_t uncovered = pictureInfo(INPUT_YUV422, PIXFMT_Y14);  // no such conversion
    EXPECT_EQ(frame_convert(picture.data(), Pixels, &uncovered), -1);

    record.image_info.width = 512;  // larger than the buffers made for 256
    EXPECT_TRUE(frame_to_mat(&record).empty());
    EXPECT_TRUE(frame_to_mat(nullptr).empty());
    convert_buffers_release();
    EXPECT_EQ(frame_convert(picture.data(), Pixels, &info), -1);
}

class ControllerPicturePath : public ControllerConversions
{
protected:
    void SetUp() override
    {
        ControllerConversions::SetUp();
        picture = yuyvPicture();
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

// The upright picture against every pixel's palette colour, then each turn
// and mirror against OpenCV's own transform of that picture.
TEST_F(ControllerPicturePath, ColouredUprightAndTurnedAsOpenCvTurnsIt)
{
    const cv::Mat upright = frame_to_mat(&record);
    ASSERT_EQ(upright.type(), CV_8UC3);
    ASSERT_EQ(upright.size(), cv::Size(int(Width), int(Height)));
    for (int y = 0; y < int(Height); ++y)
        for (int x = 0; x < int(Width); ++x)
            ASSERT_EQ(upright.at<cv::Vec3b>(y, x), colourOf(greyLevel(x, y))) << x << "," << y;

    const int none = 9;  // OpenCV's codes for flips and turns; none: left out
    const struct {
        u32 rotate, mirrorFlip;
        int flip, turn;  // the reference flips first, then turns
    } cases[] = {
        {RIGHT_90D, NO_MIRROR_FLIP, none, cv::ROTATE_90_CLOCKWISE}, {LEFT_90D, NO_MIRROR_FLIP, none, cv::ROTATE_90_COUNTERCLOCKWISE},
        {ROTATE_180D, NO_MIRROR_FLIP, none, cv::ROTATE_180},        {NO_ROTATE, ONLY_MIRROR, 1, none},
        {NO_ROTATE, ONLY_FLIP, 0, none},                            {NO_ROTATE, MIRROR_FLIP, -1, none},
        {RIGHT_90D, ONLY_MIRROR, 1, cv::ROTATE_90_CLOCKWISE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "rotate " << c.rotate << " mirror/flip " << c.mirrorFlip);
        record.image_info.rotate = c.rotate;
        record.image_info.mirror_flip = c.mirrorFlip;
        cv::Mat expected = upright.clone();
        if (c.flip != none)
            cv::flip(expected, expected, c.flip);
        if (c.turn != none)
            cv::rotate(expected.clone(), expected, c.turn);
        const cv::Mat mat = frame_to_mat(&record);
        ASSERT_EQ(mat.size(), expected.size());
        EXPECT_EQ(cv::norm(mat, expected, cv::NORM_INF), 0);
    }
}

// A picture in colour (every U and V) comes out as the colour mapping of its
// plain B, G, R conversion, turned or not.
TEST_F(ControllerPicturePath, ColourPictureMapsAsItsBgrConversion)
{
    cv::RNG rng(3);
    rng.fill(cv::Mat(1, int(picture.size()), CV_8U, picture.data()), cv::RNG::UNIFORM, 0, 256);
    for (u32 rotate : {NO_ROTATE, RIGHT_90D}) {
        record.image_info.rotate = rotate;
        const cv::Mat coloured = frame_to_mat(&record);  // selects the palette's table first
        ASSERT_EQ(frame_convert(picture.data(), Pixels, &record.image_info), 0);
        cv::Mat bgr = cv::Mat(int(Height), int(Width), CV_8UC3, const_cast<u8*>(frame_convert_output())).clone();
        cv::Mat expected;
        if (rotate == RIGHT_90D)
            cv::rotate(bgr.clone(), bgr, cv::ROTATE_90_CLOCKWISE);
        itGray2RgbAD(bgr, expected);
        EXPECT_EQ(cv::norm(coloured, expected, cv::NORM_INF), 0) << rotate;
    }
}

TEST_F(ControllerPicturePath, FirstFrameAlwaysSelectsAColourTableLaterOnlyChanges)
{
    itSetRgbColor(5);  // someone else's choice, unknown to the controller
    g_palette = 0;
    ASSERT_FALSE(frame_to_mat(&record).empty());
    EXPECT_EQ(itGetRgbColor(), 1);
    itSetRgbColor(7);
    ASSERT_FALSE(frame_to_mat(&record).empty());
    EXPECT_EQ(itGetRgbColor(), 7);
    g_palette = 3;
    EXPECT_EQ(frame_to_mat(&record).at<cv::Vec3b>(0, 200), colourOf(greyLevel(200, 0), 3));
}

TEST_F(ControllerPicturePath, FramesHaveBuffersOfTheirOwnThatComeBack)
{
    cv::Mat first = frame_to_mat(&record);
    cv::Mat second = frame_to_mat(&record);
    EXPECT_EQ(first.allocator, frameBufferPool());
    // Held frames never share memory: the view may still show the first.
    EXPECT_NE(first.data, second.data);
    EXPECT_NE(first.data, frame_convert_output());
    // A released frame's buffer serves a later frame of the same size.
    const uchar* released = second.data;
    second.release();
    const cv::Mat third = frame_to_mat(&record);
    EXPECT_EQ(third.data, released);
    record.image_info.rotate = RIGHT_90D;
    const cv::Mat turned = frame_to_mat(&record);
    EXPECT_NE(turned.data, first.data);
    EXPECT_NE(turned.data, third.data);
}

TEST(ControllerFrameBufferPool, ManyFramesAtOnceKeepTheirPixels)
{
    // More frames alive than the pool keeps buffers for, released and made
    // again: every frame keeps its own pixels.
    for (int round = 0; round < 2; ++round) {
        std::vector<cv::Mat> frames(12);
        for (int i = 0; i < 12; ++i) {
            frames[size_t(i)].allocator = frameBufferPool();
            frames[size_t(i)].create(4, 5, CV_8UC3);
            frames[size_t(i)].setTo(cv::Scalar(i, i, i));
        }
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(frames[size_t(i)].at<cv::Vec3b>(3, 4), cv::Vec3b(uchar(i), uchar(i), uchar(i)));
    }
}

}  // namespace
