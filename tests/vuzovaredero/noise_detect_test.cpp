// Spatial noise reduction and the exposure detectors.
#include "capture.h"
#include "vuzovaredero.h"
#include "vuzovaredero_internal.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Words = std::vector<uint16_t>;

image_res_t size(int width, int height)
{
    return image_res_t{(uint16_t)width, (uint16_t)height};
}

Words reduced(const Words& in, int w, int h)
{
    Words out(in.size(), 0xBEEF);
    EXPECT_EQ(y14_image_spatial_noise_reduction(in.data(), size(w, h), out.data()), 0);
    return out;
}

TEST(VuzovarederoNoise, FlatStaysAndEdgesStaySharp)
{
    EXPECT_EQ(reduced(Words(8 * 6, 777), 8, 6), Words(8 * 6, 777));
    Words step(8 * 6);
    for (size_t i = 0; i < step.size(); i++)
        step[i] = (i % 8) < 4 ? 1000 : 1016;  // 16 levels: neighbours across get weight 0
    EXPECT_EQ(reduced(step, 8, 6), step);
}

TEST(VuzovarederoNoise, LonePixelIsPulledTowardItsSurround)
{
    Words in(7 * 7, 100);
    in[24] = 110;
    Words out = reduced(in, 7, 7);
    // 24 neighbours 10 below, weight 1 each at difference 10: 110 - 240 / 36.
    EXPECT_EQ(out[24], 110 - 240 / 36);
    // A direct neighbour: 100 - (-10 x 1) / W truncates to 100.
    EXPECT_EQ(out[23], 100);
}

// The table-driven inner loop equals the per-pixel walk at every position.
TEST(VuzovarederoNoise, InnerPathEqualsThePixelWalk)
{
    std::mt19937 random(3);
    for (auto [w, h, spread] : {std::tuple{256, 192, 24}, {9, 7, 40}, {5, 5, 65535}, {3, 11, 20}, {1, 1, 5}}) {
        std::uniform_int_distribution<int> value(0, spread);
        Words in((size_t)w * h);
        for (auto& v : in)
            v = (uint16_t)(spread == 65535 ? value(random) : 8000 + value(random));
        in[0] = 0;  // pulled below 0 is clamped at 0
        Words out = reduced(in, w, h);
        for (int r = 0; r < h; r++)
            for (int c = 0; c < w; c++)
                ASSERT_EQ(out[(size_t)r * w + c], snr_one_pixel_process(in.data(), size(w, h), r, c))
                    << w << "x" << h << " at " << r << "," << c;
    }
}

TEST(VuzovarederoNoise, CornerReportsTheMissingPositions)
{
    Words in(6 * 6, 500);
    irproc_log_register(0);
    std::string text = printedBy([&] { return (int)snr_one_pixel_process(in.data(), size(6, 6), 0, 0); }).second;
    EXPECT_EQ(occurrences(text, "vuzovaredero debug ["), 16);
    EXPECT_EQ(occurrences(text, "/snr_one_pixel_process] out of the resolution\n"), 16);
    text = printedBy([&] { return (int)snr_one_pixel_process(in.data(), size(6, 6), 2, 2); }).second;
    EXPECT_EQ(text, "");
    irproc_log_register(1);
    text = printedBy([&] { return (int)snr_one_pixel_process(in.data(), size(6, 6), 0, 0); }).second;
    EXPECT_EQ(text, "");
}

TEST(VuzovarederoNoise, BadInput)
{
    irproc_log_register(1);
    Words in(4, 1), out(4, 9);
    auto [status, text] =
        printedBy([&] { return y14_image_spatial_noise_reduction(nullptr, size(2, 2), out.data()); });
    EXPECT_EQ(status, -1);
    EXPECT_NE(text.find("/y14_image_spatial_noise_reduction] data is NULL\n"), std::string::npos) << text;
    EXPECT_EQ(y14_image_spatial_noise_reduction(in.data(), size(2, 2), nullptr), -1);
    EXPECT_EQ(y14_image_spatial_noise_reduction(in.data(), size(0, 2), out.data()), 0);
    EXPECT_EQ(out, Words(4, 9));
}

TEST(VuzovarederoDetect, GainSwitchFlags)
{
    Words in(100, 5000);
    const gain_switch_param_t param{0.1f, 10000, 0.2f, 1000};
    uint8_t flag = 9;
    ASSERT_EQ(gain_switch_detect(in.data(), size(10, 10), &param, &flag), 0);
    EXPECT_EQ(flag, 0);
    for (int i = 0; i < 11; i++)
        in[i] = 10000;
    ASSERT_EQ(gain_switch_detect(in.data(), size(10, 10), &param, &flag), 0);
    EXPECT_EQ(flag, 1);
    for (int i = 50; i < 71; i++)
        in[i] = 1000;
    ASSERT_EQ(gain_switch_detect(in.data(), size(10, 10), &param, &flag), 0);
    EXPECT_EQ(flag, 2);  // both shares exceeded: the low one wins
    // A pixel counts once: a threshold pair that overlaps counts it as above.
    const gain_switch_param_t overlapping{0.5f, 0, 0.0f, 65535};
    ASSERT_EQ(gain_switch_detect(in.data(), size(10, 10), &overlapping, &flag), 0);
    EXPECT_EQ(flag, 1);
}

TEST(VuzovarederoDetect, GainSwitchBadInput)
{
    irproc_log_register(1);
    Words in(4, 1);
    uint8_t flag = 9;
    for (gain_switch_param_t bad : {gain_switch_param_t{1.5f, 1, 0.1f, 0}, gain_switch_param_t{0.1f, 1, 1.01f, 0}}) {
        auto [status, text] = printedBy([&] { return gain_switch_detect(in.data(), size(2, 2), &bad, &flag); });
        EXPECT_EQ(status, -1);
        EXPECT_NE(text.find("/gain_switch_detect] pixel_prop is out of range\n"), std::string::npos) << text;
    }
    const gain_switch_param_t param{0.1f, 1, 0.1f, 0};
    auto [status, text] = printedBy([&] { return gain_switch_detect(in.data(), size(2, 2), &param, nullptr); });
    EXPECT_EQ(status, -1);
    EXPECT_NE(text.find("] param is NULL\n"), std::string::npos) << text;
    EXPECT_EQ(gain_switch_detect(nullptr, size(2, 2), &param, &flag), -1);
    EXPECT_EQ(gain_switch_detect(in.data(), size(2, 2), nullptr, &flag), -1);
    EXPECT_EQ(flag, 9);
    ASSERT_EQ(gain_switch_detect(in.data(), size(0, 2), &param, &flag), 0);
    EXPECT_EQ(flag, 0);
}

TEST(VuzovarederoDetect, OverexposureShare)
{
    Words in(100, 100);
    uint8_t flag = 9;
    for (int i = 0; i < 10; i++)
        in[i] = 4000;
    ASSERT_EQ(overexposure_detect(in.data(), size(10, 10), 4000, 0.1f, &flag), 0);
    EXPECT_EQ(flag, 0);
    in[10] = 4001;
    ASSERT_EQ(overexposure_detect(in.data(), size(10, 10), 4000, 0.1f, &flag), 0);
    EXPECT_EQ(flag, 1);

    irproc_log_register(1);
    flag = 9;
    auto [status, text] = printedBy([&] { return overexposure_detect(in.data(), size(10, 10), 4000, 1.5f, &flag); });
    EXPECT_EQ(status, -1);
    EXPECT_NE(text.find("/overexposure_detect] pixel_above_prop is out of range\n"), std::string::npos) << text;
    text = printedBy([&] { return overexposure_detect(nullptr, size(10, 10), 4000, 0.1f, &flag); }).second;
    EXPECT_NE(text.find("/overexposure_detect] param is NULL\n"), std::string::npos) << text;
    EXPECT_EQ(overexposure_detect(in.data(), size(10, 10), 4000, 0.1f, nullptr), -1);
    EXPECT_EQ(flag, 9);
}

}  // namespace
