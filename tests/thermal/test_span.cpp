// Colouring temperature words through a fixed span.
#include "spanmap.h"
#include "thermal.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <vector>

namespace {

// Span 1000 to 1000 + 255: word 1000 + k selects entry k exactly.
TEST(Span, SelectsTheEntryLinearlyAndClampsOutside)
{
    const struct {
        unsigned word, low, high;
        int level;
    } cases[] = {
        {0, 1000, 1255, 0},       {999, 1000, 1255, 0},      {1000, 1000, 1255, 0},   {1001, 1000, 1255, 1},
        {1128, 1000, 1255, 128},  {1255, 1000, 1255, 255},   {65535, 1000, 1255, 255}, {150, 100, 200, 128},
        {149, 100, 200, 125},     {100, 100, 101, 0},        {101, 100, 101, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(itSpanLevel(c.word, c.low, c.high), c.level) << c.word << " in " << c.low << "-" << c.high;
}

TEST(Span, TableHoldsThePaletteEntryOfEveryWord)
{
    std::vector<uint32_t> table(THERMAL_SPAN_WORDS);
    ASSERT_EQ(itSpanTableBuild(2, 17000, 23000, table.data()), 0);
    const unsigned char* palette = itRgbColorTable(2);
    for (unsigned word : {0u, 16999u, 17000u, 20000u, 22999u, 23000u, 65535u}) {
        const int level = itSpanLevel(word, 17000, 23000);
        unsigned char bgr[3];
        ASSERT_EQ(itSpanMap(reinterpret_cast<const uint16_t*>(&word), 1, table.data(), bgr), 0);
        EXPECT_EQ(bgr[0], palette[3 * level]);
        EXPECT_EQ(bgr[1], palette[3 * level + 1]);
        EXPECT_EQ(bgr[2], palette[3 * level + 2]);
    }
}

TEST(Span, RefusesWhatCannotMakeATable)
{
    std::vector<uint32_t> table(THERMAL_SPAN_WORDS, 7u);
    EXPECT_EQ(itSpanTableBuild(0, 1, 2, table.data()), -1);
    EXPECT_EQ(itSpanTableBuild(THERMAL_TABLE_COUNT + 1, 1, 2, table.data()), -1);
    EXPECT_EQ(itSpanTableBuild(1, 500, 500, table.data()), -1);
    EXPECT_EQ(itSpanTableBuild(1, 600, 500, table.data()), -1);
    EXPECT_EQ(itSpanTableBuild(1, 1, 65536, table.data()), -1);
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
