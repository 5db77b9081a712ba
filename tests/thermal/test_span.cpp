// Colouring temperature words through a fixed span.
#include "spanmap.h"
#include "thermal.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Every word of several spans against round(255 (word - low) / (high - low))
// in double precision, clamped; the table holds that entry of the palette.
TEST(Span, SelectsTheEntryLinearlyAndClampsOutside)
{
    std::vector<uint32_t> table(THERMAL_SPAN_WORDS);
    const unsigned char* palette = itRgbColorTable(2);
    for (auto [low, high] : {std::pair{1000u, 1255u}, {100u, 200u}, {100u, 101u}, {17000u, 23000u}, {0u, 65535u}}) {
        ASSERT_EQ(itSpanTableBuild(2, low, high, table.data()), 0);
        for (unsigned word = 0; word < THERMAL_SPAN_WORDS; ++word) {
            const double exact = 255.0 * (double(word) - low) / (high - low);
            const int level = exact <= 0 ? 0 : exact >= 255 ? 255 : int(std::floor(exact + 0.5));
            ASSERT_EQ(itSpanLevel(word, low, high), level) << word << " in " << low << "-" << high;
            unsigned char bgr[3];
            const uint16_t w = uint16_t(word);
            ASSERT_EQ(itSpanMap(&w, 1, table.data(), bgr), 0);
            ASSERT_EQ(std::vector<int>(bgr, bgr + 3), std::vector<int>(palette + 3 * level, palette + 3 * level + 3));
        }
    }
}

TEST(Span, RefusesWhatCannotMakeATable)
{
    std::vector<uint32_t> table(THERMAL_SPAN_WORDS, 7u);
    // No such table; an empty or reversed span; a top beyond the 16-bit words.
    for (auto [n, low, high] : {std::tuple{0, 1u, 2u}, {THERMAL_TABLE_COUNT + 1, 1u, 2u}, {1, 500u, 500u}, {1, 600u, 500u}, {1, 1u, 65536u}})
        EXPECT_EQ(itSpanTableBuild(n, low, high, table.data()), -1) << n << " " << low << "-" << high;
    EXPECT_EQ(itSpanTableBuild(1, 1, 2, nullptr), -1);
    EXPECT_EQ(table[0], 7u);
    uint16_t word = 0;
    unsigned char bgr[3];
    EXPECT_EQ(itSpanMap(nullptr, 1, table.data(), bgr), -1);
    EXPECT_EQ(itSpanMap(&word, 1, nullptr, bgr), -1);
    EXPECT_EQ(itSpanMap(&word, 1, table.data(), nullptr), -1);
}

// The vector path equals the plain loop for every length (its tail and its
// overlapping stores) and writes nothing past the last pixel.
TEST(Span, VectorPathEqualsThePlainLoop)
{
    if (!thermal::cpuHasAvx2())
        GTEST_SKIP() << "no AVX2 on this processor";
    std::vector<uint32_t> table(THERMAL_SPAN_WORDS);
    ASSERT_EQ(itSpanTableBuild(30, 18000, 20000, table.data()), 0);
    std::vector<uint16_t> words(100);
    cv::RNG rng(5);
    for (uint16_t& w : words)
        w = uint16_t(rng.uniform(17500, 20500));
    for (size_t count = 0; count <= words.size(); ++count) {
        std::vector<uint8_t> plain(3 * count + 8, 0xA5), fast(3 * count + 8, 0xA5);
        thermal::spanMapPortable(words.data(), count, table.data(), plain.data());
        ASSERT_TRUE(thermal::spanMapAvx2(words.data(), count, table.data(), fast.data()));
        ASSERT_EQ(plain, fast) << count << " words";
        EXPECT_EQ(fast[3 * count], 0xA5) << count << " words";
    }
}

}  // namespace
