// Spatial noise reduction and the exposure detectors.
#include "capture.h"
#include "vuzovaredero.h"
#include "vuzovaredero_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

namespace {

using Words = std::vector<uint16_t>;

Words reduced(const Words& in, int w, int h)
{
    Words out(in.size(), 0xBEEF);
    EXPECT_EQ(y14_image_spatial_noise_reduction(in.data(), size(w, h), out.data()), 0);
    return out;
}

// A flat picture and a 16-level step stay as they are (neighbours across the
// step weigh nothing). A lone pixel 10 above its surround is pulled toward it:
// 24 neighbours of weight 1 at difference 10 give 110 - 240 / 36, while a
// direct neighbour, 100 - (-10 x 1) / W, truncates to 100.
TEST(VuzovarederoNoise, FlatAndStepStayALonePixelIsPulledIn)
{
    EXPECT_EQ(reduced(Words(8 * 6, 777), 8, 6), Words(8 * 6, 777));
    Words step(8 * 6);
    for (size_t i = 0; i < step.size(); i++)
        step[i] = (i % 8) < 4 ? 1000 : 1016;
    EXPECT_EQ(reduced(step, 8, 6), step);
    Words lone(7 * 7, 100);
    lone[24] = 110;
    const Words out = reduced(lone, 7, 7);
    EXPECT_EQ(out[24], 110 - 240 / 36);
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

// 100 pixels at 5000, `bright` of them at 10000 and `dark` at 1000: a share
// above the limit raises the flag (pixels at a threshold count), the low one
// winning; a pixel counts once, as above, when the thresholds overlap.
TEST(VuzovarederoDetect, FlagsByTheShareBeyondTheThresholds)
{
    const gain_switch_param_t limits{0.1f, 10000, 0.2f, 1000}, overlapping{0.5f, 0, 0.0f, 65535};
    const struct {
        int bright, dark;
        const gain_switch_param_t* param;
        int gain, over;
    } cases[] = {{10, 0, &limits, 0, 0}, {11, 0, &limits, 1, 1}, {11, 20, &limits, 1, 1},
                 {11, 21, &limits, 2, 1}, {0, 21, &limits, 2, 0}, {11, 21, &overlapping, 1, 1}};
    for (const auto& c : cases) {
        Words in(100, 5000);
        std::fill_n(in.begin(), c.bright, 10000);
        std::fill_n(in.begin() + 50, c.dark, 1000);
        uint8_t gain = 9, over = 9;
        ASSERT_EQ(gain_switch_detect(in.data(), size(10, 10), c.param, &gain), 0);
        ASSERT_EQ(overexposure_detect(in.data(), size(10, 10), 10000, 0.1f, &over), 0);
        EXPECT_EQ(std::make_pair(int(gain), int(over)), std::make_pair(c.gain, c.over)) << c.bright << " " << c.dark;
    }
}

// Null pointers and shares outside 0..1: refused with a message, nothing written.
TEST(VuzovarederoDetect, BadInput)
{
    irproc_log_register(1);
    Words in(4, 1), out(4, 9);
    uint8_t flag = 9;
    const gain_switch_param_t param{0.1f, 1, 0.1f, 0}, high{1.5f, 1, 0.1f, 0}, low{0.1f, 1, 1.01f, 0};
    const std::function<int()> calls[] = {
        [&] { return y14_image_spatial_noise_reduction(nullptr, size(2, 2), out.data()); },
        [&] { return y14_image_spatial_noise_reduction(in.data(), size(2, 2), nullptr); },
        [&] { return gain_switch_detect(in.data(), size(2, 2), &high, &flag); },
        [&] { return gain_switch_detect(in.data(), size(2, 2), &low, &flag); },
        [&] { return gain_switch_detect(in.data(), size(2, 2), &param, nullptr); },
        [&] { return gain_switch_detect(nullptr, size(2, 2), &param, &flag); },
        [&] { return gain_switch_detect(in.data(), size(2, 2), nullptr, &flag); },
        [&] { return overexposure_detect(in.data(), size(2, 2), 4000, 1.5f, &flag); },
        [&] { return overexposure_detect(nullptr, size(2, 2), 4000, 0.1f, &flag); },
        [&] { return overexposure_detect(in.data(), size(2, 2), 4000, 0.1f, nullptr); },
    };
    for (size_t i = 0; i < std::size(calls); i++) {
        auto [status, text] = printedBy(calls[i]);
        EXPECT_EQ(status, -1) << i;
        EXPECT_TRUE(oneError(text)) << i << ": " << text;
    }
    EXPECT_EQ(flag, 9);
    EXPECT_EQ(y14_image_spatial_noise_reduction(in.data(), size(0, 2), out.data()), 0);
    EXPECT_EQ(out, Words(4, 9));
    ASSERT_EQ(gain_switch_detect(in.data(), size(0, 2), &param, &flag), 0);
    EXPECT_EQ(flag, 0);
}

}  // namespace
