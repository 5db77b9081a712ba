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

Words frame(const std::vector<std::pair<int, uint16_t>>& runs)
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

struct Case {
    const char* what;
    std::vector<std::pair<int, uint16_t>> in;
    agc_param_t param;
    int status;
    std::vector<std::pair<int, uint16_t>> out;  // unwritten on failure
};

TEST(VuzovarederoContrast, WorkedExamples)
{
    const agc_param_t plateau{0.01f, 0.01f, 0.1f, 0.01f, 150, 0, 0.25f, {0, 0, 0}}, reversed = [] {
        agc_param_t p = controllerContrast();
        p.stretch_param = {1, 5000, 4000};
        return p;
    }();
    // 1000 pixels for the plateau: Tlow 10, Cmax 100, Cmin 10; the band is 1..16382.
    const uint64_t at50 = 49 * 10 + 100, at60 = at50 + 9 * 10 + 80, total = at60 + (16382 - 60) * 10;
    const Case cases[] = {
        // A saturated share between the two discards leaves no usable band.
        {"saturated 491", {{49152 - 491, 3000}, {491, 16383}}, controllerContrast(), -4, {}},
        {"saturated 48660", {{49152 - 48660, 3000}, {48660, 16383}}, controllerContrast(), -4, {}},
        {"saturated 490", {{49152 - 490, 3000}, {490, 16383}}, controllerContrast(), 0, {{49152 - 490, 0}, {490, 16383}}},
        // No band at all: range 150, everything at trunc(16233 x 0.25); above 16383 read as 16383.
        {"empty band", {{48661, 16383}, {300, 20000}, {191, 65535}}, unclipped(0), 0, {{49152, 4058}}},
        // The running count passes Tlow at bin 0: the band starts at 1, bin 0 maps to 0.
        {"band from 0", {{50, 0}, {50, 100}}, unclipped(0), 0, {{50, 0}, {50, 16383}}},
        // Full range while the band starts at most at 16274; one level later 109 x 150, offset 8.
        {"start 16274", {{1, 0}, {2, 16274}, {98, 16300}}, unclipped(0), 0, {{1, 0}, {2, 2 * 16383 / 100}, {98, 16383}}},
        {"start 16275", {{1, 0}, {2, 16275}, {98, 16300}}, unclipped(0), 0, {{1, 8}, {2, 2 * 16350 / 100 + 8}, {98, 16358}}},
        // Bins inside the band count 10..100: bin 50 (900 pixels) clipped, bin 60 keeps its 80.
        {"plateau", {{20, 0}, {900, 50}, {80, 60}}, plateau, 0,
         {{20, 0}, {900, uint16_t(at50 * 16383 / total)}, {80, uint16_t(at60 * 16383 / total)}}},
        {"limits reversed", {{100, 1000}}, reversed, -1, {}},  // checked whatever the enable
    };
    irproc_log_register(1);
    for (const Case& c : cases) {
        const Words in = frame(c.in), expected = c.status == 0 ? frame(c.out) : Words(in.size(), 0xBEEF);
        agc_param_t param = c.param;
        Words out;
        auto [status, text] = printedBy([&] { return contrast(in, param, out); });
        EXPECT_EQ(status, c.status) << c.what;
        EXPECT_EQ(out, expected) << c.what;
        EXPECT_EQ(text.empty(), c.status == 0) << c.what << ": " << text;
        if (std::string(c.what) == "empty band") {  // both limits from the single table entry
            EXPECT_EQ((std::vector<int>{param.stretch_param.lower_limit, param.stretch_param.upper_limit}), (std::vector<int>{4058, 4058}));
        }
    }
    agc_param_t param = controllerContrast();
    Words in(4, 1);
    EXPECT_EQ(y14_image_auto_gain_control(nullptr, 4, &param, in.data()), -1);
    EXPECT_EQ(y14_image_auto_gain_control(in.data(), 4, &param, nullptr), -1);
}

// An even ramp over 2000..5999: the stretch takes the equalising table's
// entries at 4530 and 4938 as its limits and spreads the levels between them.
// An unknown enable is reported and, like reversed limits, turns the stretch
// off: the output is the table alone.
TEST(VuzovarederoContrast, StretchBetweenTheMappedLimitsOrNotAtAll)
{
    Words in(49152);
    for (size_t i = 0; i < in.size(); i++)
        in[i] = (uint16_t)(2000 + i % 4000);
    agc_param_t param = controllerContrast(), plain = controllerContrast(), odd = controllerContrast();
    plain.stretch_param.enable = 0;
    odd.stretch_param.enable = 2;
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
    irproc_log_register(1);
    auto [status, text] = printedBy([&] { return contrast(in, odd, out); });
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(oneError(text)) << text;
    EXPECT_EQ(odd.stretch_param.enable, 0);
    EXPECT_EQ(out, equalised);
    stretch_param_t reversed{1, 3000, 1000};
    check_stretch_param(&reversed);
    EXPECT_EQ(reversed.enable, 0);
}

}  // namespace
