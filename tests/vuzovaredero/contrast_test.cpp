// The contrast stage: band search, plateau, look-up table, stretch.
#include "capture.h"
#include "vuzovaredero.h"
#include "vuzovaredero_internal.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Words = std::vector<uint16_t>;

agc_param_t controllerContrast()
{
    return agc_param_t{0.01f, 0.01f, 0.001f, 0.0001f, 150, 0, 0.25f, {1, 4530, 4938}};
}

// Plateau limits that leave the counts as they are.
agc_param_t unclipped(uint8_t enable)
{
    return agc_param_t{0.01f, 0.01f, 1.0f, 0.0f, 150, 0, 0.25f, {enable, 4530, 4938}};
}

Words frame(std::initializer_list<std::pair<int, uint16_t>> runs)
{
    Words pixels;
    for (auto [count, value] : runs)
        pixels.insert(pixels.end(), count, value);
    return pixels;
}

int contrast(const Words& in, agc_param_t& param, Words& out)
{
    out.assign(in.size(), 0xBEEF);
    return y14_image_auto_gain_control(in.data(), (uint32_t)in.size(), &param, out.data());
}

TEST(VuzovarederoContrast, SaturatedShareBetweenTheDiscardsIsUnusable)
{
    irproc_log_register(1);
    for (int saturated : {491, 10000, 48660}) {
        Words in = frame({{49152 - saturated, 3000}, {saturated, 16383}});
        agc_param_t param = controllerContrast();
        Words out;
        auto [status, text] = printedBy([&] { return contrast(in, param, out); });
        EXPECT_EQ(status, -4) << saturated;
        EXPECT_TRUE(testing::internal::RE::FullMatch(
            text, "vuzovaredero error \\[vuzovaredero/src/contrast:[0-9]+/y14_image_auto_gain_control\\] "
                  "error source image\n"))
            << text;
        EXPECT_EQ(out, Words(in.size(), 0xBEEF));
    }
    // Fewer saturated pixels than the high discard: a usable band.
    Words in = frame({{49152 - 490, 3000}, {490, 16383}});
    agc_param_t param = controllerContrast();
    Words out;
    EXPECT_EQ(contrast(in, param, out), 0);
}

TEST(VuzovarederoContrast, EmptyBandMapsEverythingToTheOffset)
{
    // All pixels at or above 16383: no band, plateau total 0; range 150, offset
    // trunc(16233 x 0.25) = 4058. Values above 16383 are looked up as 16383.
    Words in = frame({{48661, 16383}, {300, 20000}, {191, 65535}});
    agc_param_t param = unclipped(0);
    Words out;
    ASSERT_EQ(contrast(in, param, out), 0);
    EXPECT_EQ(out, Words(in.size(), 4058));
    // Both stretch limits come from the single table entry.
    EXPECT_EQ(param.stretch_param.lower_limit, 4058);
    EXPECT_EQ(param.stretch_param.upper_limit, 4058);
}

TEST(VuzovarederoContrast, BandStartFoundAtBinZeroBecomesOne)
{
    // Half the pixels at 0: the running count passes Tlow = 1 at bin 0, so the
    // band starts at 1 and bin 0 stays below it (table entry 0).
    Words in = frame({{50, 0}, {50, 100}});
    agc_param_t param = unclipped(0);
    Words out;
    ASSERT_EQ(contrast(in, param, out), 0);
    EXPECT_EQ(out, frame({{50, 0}, {50, 16383}}));
}

TEST(VuzovarederoContrast, FullRangeUpToBandStart16274)
{
    // Band end 16383, gain 150: range 16383 and offset 0 while the start is at most 16274.
    Words in = frame({{1, 0}, {2, 16274}, {98, 16300}});
    agc_param_t param = unclipped(0);
    Words out;
    ASSERT_EQ(contrast(in, param, out), 0);
    EXPECT_EQ(out, frame({{1, 0}, {2, 2 * 16383 / 100}, {98, 16383}}));

    // One level later the range is 109 x 150 = 16350, offset trunc(33 x 0.25) = 8.
    in = frame({{1, 0}, {2, 16275}, {98, 16300}});
    param = unclipped(0);
    ASSERT_EQ(contrast(in, param, out), 0);
    EXPECT_EQ(out, frame({{1, 8}, {2, 2 * 16350 / 100 + 8}, {98, 16350 + 8}}));
}

TEST(VuzovarederoContrast, PlateauClipsBinsInsideTheBand)
{
    // 1000 pixels: Tlow 10, Cmax 100, Cmin 10. 20 pixels at 0 pass Tlow at
    // bin 0, so the band is 1..16382; every bin in it counts at least 10, bin
    // 50 (900 pixels) at most 100, bin 60 keeps its 80.
    Words in = frame({{20, 0}, {900, 50}, {80, 60}});
    agc_param_t param{0.01f, 0.01f, 0.1f, 0.01f, 150, 0, 0.25f, {0, 0, 0}};
    Words out;
    ASSERT_EQ(contrast(in, param, out), 0);
    const uint64_t at50 = 49 * 10 + 100, at60 = at50 + 9 * 10 + 80, total = at60 + (16382 - 60) * 10;
    EXPECT_EQ(out, frame({{20, 0}, {900, (uint16_t)(at50 * 16383 / total)}, {80, (uint16_t)(at60 * 16383 / total)}}));
}

TEST(VuzovarederoContrast, LimitsCheckedFirstWhateverEnable)
{
    irproc_log_register(1);
    Words in(100, 1000);
    for (uint8_t enable : {0, 1, 7}) {
        agc_param_t param = controllerContrast();
        param.stretch_param = {enable, 5000, 4000};
        Words out;
        auto [status, text] = printedBy([&] { return contrast(in, param, out); });
        EXPECT_EQ(status, -1);
        EXPECT_NE(text.find("/y14_image_auto_gain_control] lower_limit > upper_limit\n"), std::string::npos) << text;
        EXPECT_EQ(out, Words(100, 0xBEEF));
    }
    agc_param_t param = controllerContrast();
    EXPECT_EQ(y14_image_auto_gain_control(nullptr, 4, &param, in.data()), -1);
    EXPECT_EQ(y14_image_auto_gain_control(in.data(), 4, &param, nullptr), -1);
}

TEST(VuzovarederoContrast, UnknownEnableReportsAndSkipsTheStretch)
{
    Words in(1000);
    for (size_t i = 0; i < in.size(); i++)
        in[i] = (uint16_t)(2000 + 7 * i);
    agc_param_t off = unclipped(0), odd = unclipped(2);
    Words plain, out;
    ASSERT_EQ(contrast(in, off, plain), 0);
    irproc_log_register(1);
    auto [status, text] = printedBy([&] { return contrast(in, odd, out); });
    ASSERT_EQ(status, 0);
    EXPECT_NE(text.find("/check_stretch_param] error parameter:stretch_param.enable\n"), std::string::npos) << text;
    EXPECT_EQ(odd.stretch_param.enable, 0);
    EXPECT_EQ(out, plain);
}

TEST(VuzovarederoContrast, StretchMapsBetweenTheLimits)
{
    std::vector<uint32_t> identity(VZ_Y14_LEVELS);
    for (uint32_t i = 0; i < identity.size(); i++)
        identity[i] = i;
    const Words in = {2000, 1000, 999, 3000, 2999, 20000};
    Words out(in.size());
    stretch_param_t stretch{1, 1000, 3000};
    stretch_frame(in.data(), (uint32_t)in.size(), identity.data(), &stretch, out.data());
    EXPECT_EQ(out, (Words{8191, 0, 0, 16383, 1999 * 16383 / 2000, 16383}));
}

TEST(VuzovarederoContrast, StretchCheckAndDebugMessages)
{
    irproc_log_register(0);
    stretch_param_t reversed{1, 3000, 1000};
    auto [status, text] = printedBy([&] { check_stretch_param(&reversed); return 0; });
    EXPECT_EQ(reversed.enable, 0);
    EXPECT_NE(text.find("vuzovaredero debug ["), std::string::npos);
    EXPECT_NE(text.find("/check_stretch_param] error parameter:low>high\n"), std::string::npos) << text;

    std::vector<uint32_t> lut(VZ_Y14_LEVELS, 5);
    const Words in = {1, 2, 3};
    Words out(3);
    stretch_param_t off{0, 0, 0};
    text = printedBy([&] { stretch_frame(in.data(), 3, lut.data(), &off, out.data()); return 0; }).second;
    EXPECT_EQ(occurrences(text, "/stretch_frame] stretch disabled\n"), 3);
    EXPECT_EQ(out, (Words{5, 5, 5}));

    irproc_log_register(1);  // errors only
    text = printedBy([&] { check_stretch_param(&off); return 0; }).second;
    EXPECT_EQ(text, "");
}

TEST(VuzovarederoContrast, ControllerRecordGetsTheMappedLimits)
{
    // An even ramp over 2000..5999: the mapped limits are the table entries of 4530 and 4938.
    Words in(49152);
    for (size_t i = 0; i < in.size(); i++)
        in[i] = (uint16_t)(2000 + i % 4000);
    agc_param_t param = controllerContrast();
    agc_param_t plain = controllerContrast();
    plain.stretch_param.enable = 0;
    Words out, equalised;
    ASSERT_EQ(contrast(in, plain, equalised), 0);
    ASSERT_EQ(contrast(in, param, out), 0);
    uint16_t lo = equalised[4530 - 2000], hi = equalised[4938 - 2000];
    EXPECT_EQ(param.stretch_param.lower_limit, lo);
    EXPECT_EQ(param.stretch_param.upper_limit, hi);
    ASSERT_LT(lo, hi);
    for (size_t i = 0; i < in.size(); i++) {
        uint32_t o = equalised[i];
        uint16_t want = o <= lo ? 0 : o >= hi ? 16383 : (uint16_t)((o - lo) * 16383u / (hi - lo));
        ASSERT_EQ(out[i], want) << i;
    }
}

}  // namespace
