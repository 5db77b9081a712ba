// Detail enhancement and its 3 x 3 blur.
#include "capture.h"
#include "vuzovaredero.h"
#include "vuzovaredero_internal.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <tuple>
#include <vector>

namespace {

using Words = std::vector<uint16_t>;

enhance_param_t controllerEnhance()
{
    return enhance_param_t{{0.01f, 0.01f, 0.001f, 0.0001f, 150, 0, 0.25f, {1, 4530, 4938}},
                           {0.0f, 6.0f, 2.0f},
                           {0, 10, 60, 120}};
}

Words randomImage(int width, int height, uint16_t low, uint16_t high, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(low, high);
    Words image((size_t)width * height);
    for (auto& v : image)
        v = (uint16_t)value(random);
    return image;
}

TEST(VuzovarederoEnhance, DetailGainByStrength)
{
    const enhance_param_t p = controllerEnhance();
    const std::vector<std::pair<int, float>> expected = {{0, 0.0f},  {5, 3.0f},   {10, 6.0f}, {35, 6.0f},
                                                         {60, 6.0f}, {90, 4.0f},  {120, 2.0f}, {121, 2.0f},
                                                         {32768, 2.0f}};
    for (auto [strength, gain] : expected)
        EXPECT_EQ(vz_detail_gain(strength, p.detail_gain, p.detail_threshold), gain) << strength;
    // Equal thresholds make a step, not a ramp: at the step the lower gain holds.
    const float gains[3] = {1.0f, 2.0f, 3.0f};
    const int32_t steps[4] = {10, 10, 50, 50};
    for (auto [strength, gain] : std::vector<std::pair<int, float>>{{10, 1.0f}, {11, 2.0f}, {50, 2.0f}, {51, 3.0f}})
        EXPECT_EQ(vz_detail_gain(strength, gains, steps), gain) << strength;
}

// The whole pipeline against the formula applied to the steps' outputs.
TEST(VuzovarederoEnhance, CombinesBaseAndWeightedDetail)
{
    const int w = 256, h = 192;
    Words in = randomImage(w, h, 3500, 6500, 7);
    for (int i = 0; i < 200; i++)  // a few sharp spots, bright and dark
        in[(size_t)(i * 997) % in.size()] = (uint16_t)(i % 2 ? 16000 : 10);
    for (float g0 : {0.0f, 0.5f}) {
        enhance_param_t param = controllerEnhance();
        param.detail_gain[0] = g0;
        Words blurred(in.size()), base(in.size()), out(in.size());
        ASSERT_EQ(gaussian_filter_reference(in.data(), size(w, h), 3, 1.0f, blurred.data()), 0);
        agc_param_t contrast = param.agc_param;
        ASSERT_EQ(y14_image_auto_gain_control(in.data(), (uint32_t)in.size(), &contrast, base.data()), 0);
        ASSERT_EQ(y14_image_enhance(in.data(), size(w, h), &param, out.data()), 0);
        EXPECT_EQ(param.agc_param.stretch_param.lower_limit, 4530);  // the caller's record is not rewritten
        int saturated = 0, zero = 0;
        for (size_t i = 0; i < in.size(); i++) {
            int d = (int16_t)(uint16_t)(in[i] - blurred[i]);
            float g = vz_detail_gain(std::abs(d), param.detail_gain, param.detail_threshold);
            float sum = (float)base[i] + (float)d * g;
            int want = sum >= 16383.0f ? 16383 : (sum < 0.0f ? 0 : (int)sum);
            ASSERT_EQ(out[i], want) << i;
            saturated += want == 16383;
            zero += want == 0 && d < 0;
        }
        EXPECT_GT(saturated, 0);  // bright spots on a bright base clip at 16383
        EXPECT_GT(zero, 0);       // dark spots clip at 0
    }
}

TEST(VuzovarederoEnhance, FailuresPassTheStepCodeAndWriteNothing)
{
    irproc_log_register(1);
    enhance_param_t param = controllerEnhance(), reversed = controllerEnhance();
    reversed.agc_param.stretch_param.lower_limit = 6000;
    Words in(49152, 3000), out(49152, 0xBEEF);
    for (size_t i = 0; i < 1000; i++)
        in[i] = 16383;  // unusable: saturated share between the discards
    const std::tuple<const uint16_t*, image_res_t, enhance_param_t*, uint16_t*, int> cases[] = {
        {in.data(), size(256, 192), &param, out.data(), -4}, {in.data(), size(256, 192), &reversed, out.data(), -1},
        {nullptr, size(4, 4), &param, out.data(), -1}, {in.data(), size(4, 4), &param, nullptr, -1},
        {in.data(), size(4, 4), nullptr, out.data(), -1}, {in.data(), size(0, 4), &param, out.data(), 0}};
    for (auto [src, res, p, dst, expected] : cases) {
        auto [status, text] = printedBy([&] { return y14_image_enhance(src, res, p, dst); });
        EXPECT_EQ(status, expected) << res.width;
        EXPECT_EQ(text.empty(), expected == 0) << text;
    }
    EXPECT_EQ(out, Words(49152, 0xBEEF));
}

// The integer 3 x 3 path equals the designed float window walk on any words.
TEST(VuzovarederoBlur, IntegerPathEqualsTheWindowWalk)
{
    unsigned seed = 1;
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 3}, {17, 9}, {256, 192}})
        for (auto [low, high] : {std::pair{0, 16383}, {0, 65535}, {65000, 65535}}) {
            Words in = randomImage(w, h, (uint16_t)low, (uint16_t)high, seed++);
            Words fast(in.size()), walk(in.size());
            ASSERT_EQ(gaussian_filter(in.data(), size(w, h), 3, 1.0f, fast.data()), 0);
            ASSERT_EQ(gaussian_filter_reference(in.data(), size(w, h), 3, 1.0f, walk.data()), 0);
            ASSERT_EQ(fast, walk) << w << "x" << h << " values " << low << ".." << high;
        }
}

// An image at the lowest address a process may map: any row pointer formed
// above it wraps around, which the undefined-behaviour checker reports.
TEST(VuzovarederoBlur, ImageAtTheBottomOfTheAddressSpace)
{
    const int w = 4096, h = 3;
    const size_t bytes = (size_t)w * h * sizeof(uint16_t);
    void* low = mmap(reinterpret_cast<void*>(0x1000), bytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (low != reinterpret_cast<void*>(0x1000)) {
        if (low != MAP_FAILED)
            munmap(low, bytes);
        GTEST_SKIP() << "the lowest page is not available";
    }
    Words in = randomImage(w, h, 0, 16383, 7), fast(in.size()), walk(in.size());
    auto* image = static_cast<uint16_t*>(low);
    std::memcpy(image, in.data(), bytes);
    EXPECT_EQ(gaussian_filter(image, size(w, h), 3, 1.0f, fast.data()), 0);
    munmap(low, bytes);
    ASSERT_EQ(gaussian_filter_reference(in.data(), size(w, h), 3, 1.0f, walk.data()), 0);
    EXPECT_EQ(fast, walk);
}

TEST(VuzovarederoBlur, KernelsAndBadArguments)
{
    float kernel[25];
    ASSERT_EQ(get_gauss_kernel(kernel, 5, 1.0f), 0);
    EXPECT_NEAR(std::accumulate(kernel, kernel + 25, 0.0f), 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(kernel[12] / kernel[13], std::exp(0.5f));
    EXPECT_FLOAT_EQ(kernel[12] / kernel[0], std::exp(4.0f));
    EXPECT_EQ(kernel[1], kernel[5]);
    EXPECT_EQ(get_gauss_kernel(kernel, 0, 1.0f) + get_gauss_kernel(kernel, 3, 0.0f) + get_gauss_kernel(nullptr, 3, 1.0f), -3);

    Words in(9, 100), out(9, 7);
    EXPECT_EQ(gaussian_filter(in.data(), size(3, 3), 3, 0.0f, out.data()), -1);
    EXPECT_EQ(gaussian_filter(in.data(), size(3, 3), 4, 1.0f, out.data()), -1);  // window would outgrow the kernel
    EXPECT_EQ(gaussian_filter(nullptr, size(3, 3), 3, 1.0f, out.data()), -1);
    EXPECT_EQ(out, Words(9, 7));
    ASSERT_EQ(gaussian_filter(in.data(), size(3, 3), 5, 1.5f, out.data()), 0);
    EXPECT_EQ(out, Words(9, out[0]));  // still flat; float weights may sum a hair under 1
    EXPECT_GE(out[0], 99);
}

}  // namespace
