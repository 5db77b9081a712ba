// Pseudo-colour mapping: the index rule on every word, odd counts, the
// palettes' known entries and their smooth course between them.
#include "capture.h"
#include "vuzovaredero.h"
#include "vuzovaredero_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Entry = std::array<int, 3>;

const int kKnots[9] = {0, 32, 64, 96, 128, 160, 192, 224, 255};
const std::map<int, std::array<Entry, 9>> kKnown = {
    {3, {{{0, 128, 128}, {32, 190, 143}, {60, 183, 186}, {83, 158, 211}, {112, 78, 213}, {144, 47, 200},
          {181, 27, 180}, {215, 32, 157}, {254, 123, 129}}}},
    {4, {{{0, 128, 128}, {13, 186, 119}, {26, 244, 109}, {63, 167, 83}, {120, 79, 42}, {179, 27, 71},
          {207, 11, 162}, {139, 49, 211}, {76, 85, 255}}}},
    {5, {{{60, 166, 180}, {31, 169, 151}, {30, 246, 113}, {109, 210, 50}, {173, 146, 5}, {152, 43, 26},
          {205, 12, 114}, {151, 43, 202}, {71, 98, 242}}}},
    {6, {{{0, 128, 128}, {58, 239, 156}, {57, 206, 87}, {133, 73, 33}, {187, 22, 84}, {208, 10, 161},
          {114, 63, 228}, {143, 101, 208}, {251, 127, 131}}}},
    {7, {{{1, 128, 128}, {43, 128, 128}, {85, 128, 128}, {127, 128, 128}, {169, 128, 128}, {201, 126, 133},
          {160, 112, 174}, {118, 99, 215}, {78, 85, 255}}}},
    {8, {{{0, 128, 128}, {42, 132, 116}, {84, 136, 103}, {127, 121, 102}, {173, 68, 122}, {218, 14, 143},
          {187, 22, 176}, {129, 55, 218}, {76, 85, 255}}}},
    {9, {{{0, 128, 128}, {13, 186, 119}, {67, 136, 80}, {133, 90, 33}, {193, 38, 84}, {168, 33, 190},
          {103, 107, 236}, {192, 163, 173}, {255, 128, 128}}}},
    {10, {{{1, 132, 127}, {27, 245, 109}, {126, 85, 38}, {170, 132, 7}, {136, 195, 137}, {92, 152, 245},
           {130, 54, 217}, {233, 33, 143}, {255, 128, 128}}}},
};

Bytes mapped(const std::vector<uint16_t>& in, int mode, size_t outBytes)
{
    Bytes out(outBytes, 0xEE);
    EXPECT_EQ(y14_map_to_yuyv_pseudocolor(in.data(), (uint32_t)in.size(), mode, out.data()), 0);
    return out;
}

// Every word once, neighbours scattered, then a lone pixel: a pair shows each
// pixel's Y and their mean U and V; the lone pixel its Y and U, nothing after.
TEST(VuzovarederoPseudocolor, EveryWordAgainstTheIndexRule)
{
    std::vector<uint16_t> words(65537);
    for (size_t i = 0; i < words.size(); i++)
        words[i] = (uint16_t)(i * 40503u);
    for (int mode = 1; mode <= 15; mode++) {
        Bytes out = mapped(words, mode, 2 * words.size() + 2);
        for (size_t p = 0; p + 1 < words.size(); p += 2) {
            const uint8_t* e0 = vz_palettes[mode][(words[p] >> 6) & 255];
            const uint8_t* e1 = vz_palettes[mode][(words[p + 1] >> 6) & 255];
            ASSERT_EQ(out[2 * p], e0[0]);
            ASSERT_EQ(out[2 * p + 1], (e0[1] + e1[1]) >> 1);
            ASSERT_EQ(out[2 * p + 2], e1[0]);
            ASSERT_EQ(out[2 * p + 3], (e0[2] + e1[2]) >> 1);
        }
        const uint8_t* lone = vz_palettes[mode][(words.back() >> 6) & 255];
        ASSERT_EQ(Bytes(out.end() - 4, out.end()), (Bytes{lone[0], lone[1], 0xEE, 0xEE})) << mode;
    }
}

// Modes 1 and 11 are grey ramps, up and down; the modes without a palette show
// black at every level.
TEST(VuzovarederoPseudocolor, GreyRampsAndEmptyModesByRule)
{
    auto entry = [](int mode, int i) { return Entry{vz_palettes[mode][i][0], vz_palettes[mode][i][1], vz_palettes[mode][i][2]}; };
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(entry(1, i), (Entry{i, 128, 128}));
        EXPECT_EQ(entry(11, i), (Entry{255 - i, 128, 128}));
        for (int mode : {2, 12, 13, 14, 15})
            EXPECT_EQ(entry(mode, i), (Entry{0, 0, 0})) << mode;
    }
}

// Between two known entries each channel moves monotonically from one to the
// other, in steps no steeper than three times the local slope (plus rounding).
TEST(VuzovarederoPseudocolor, PalettesFollowTheirCourseSmoothly)
{
    for (const auto& [mode, known] : kKnown)
        for (int channel = 0; channel < 3; channel++)
            for (int k = 0; k < 8; k++) {
                int from = known[k][channel], to = known[k + 1][channel];
                double slope = 0;
                for (int j = std::max(0, k - 1); j <= std::min(7, k + 1); j++)
                    slope = std::max(slope, std::abs(known[j + 1][channel] - known[j][channel]) /
                                                double(kKnots[j + 1] - kKnots[j]));
                for (int i = kKnots[k]; i < kKnots[k + 1]; i++) {
                    int here = vz_palettes[mode][i][channel], next = vz_palettes[mode][i + 1][channel];
                    SCOPED_TRACE(::testing::Message() << "mode " << mode << " channel " << channel << " index " << i);
                    EXPECT_GE(here, std::min(from, to));
                    EXPECT_LE(here, std::max(from, to));
                    EXPECT_GE((next - here) * (to - from), 0);  // no turning back within a segment
                    EXPECT_LE(std::abs(next - here), 3 * slope + 1);
                }
            }
}

TEST(VuzovarederoPseudocolor, BadModeAndNullWriteNothing)
{
    irproc_log_register(1);
    const std::vector<uint16_t> in = {1, 2};
    Bytes out(4, 0xEE);
    for (auto [src, mode, dst] : {std::tuple{in.data(), 0, out.data()}, {in.data(), 16, out.data()},
                                  {in.data(), -3, out.data()}, {nullptr, 3, out.data()}, {in.data(), 3, nullptr}}) {
        auto [status, text] = printedBy([&] { return y14_map_to_yuyv_pseudocolor(src, 2, mode, dst); });
        EXPECT_EQ(status, -1) << mode;
        EXPECT_TRUE(oneError(text)) << text;
    }
    EXPECT_EQ(y14_map_to_yuyv_pseudocolor(in.data(), 0, 3, out.data()), 0);
    EXPECT_EQ(out, Bytes(4, 0xEE));
}

}  // namespace
