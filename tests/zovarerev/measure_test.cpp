// Point, line and rectangle temperatures, the 5 x 5 NUC value, the table
// lookup, the alarms and the library's logging.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "log_capture.h"
#include "zovarerev.h"

namespace {

struct Image {
    Image(uint16_t width, uint16_t height, uint16_t value) : res{ width, height }, pixels(size_t(width) * height, value) {}
    void Set(int x, int y, uint16_t value) { pixels[size_t(y) * res.width + x] = value; }
    const uint16_t* data() const { return pixels.data(); }

    image_res_t res;
    std::vector<uint16_t> pixels;
};

point_t P(int x, int y) { return point_t{ x, y }; }

void ExpectPoint(point_t actual, int x, int y)
{
    EXPECT_EQ(actual.x, x);
    EXPECT_EQ(actual.y, y);
}

temp_stat_t LineStat(const Image& image, int x1, int y1, int x2, int y2)
{
    const line_t line{ x1, y1, x2, y2 };
    temp_stat_t stat{};
    EXPECT_EQ(get_line_temp(image.data(), image.res, &line, &stat), 0) << x1 << "," << y1 << " " << x2 << "," << y2;
    return stat;
}

uint16_t PointTemp(const Image& image, int x, int y)
{
    uint16_t temp = 0;
    EXPECT_EQ(get_point_temp(image.data(), image.res, P(x, y), &temp), 0);
    return temp;
}

TEST(Library, VersionAndLogLevels)
{
    EXPECT_STREQ(irtemp_version(), "zovarerev 0.5.0");
    const Image image(16, 16, 5);
    const line_t line{ 1, 1, 8, 1 };
    temp_stat_t stat{};
    auto measure = [&] { get_line_temp(image.data(), image.res, &line, &stat); };
    auto fail = [&] { get_line_temp(image.data(), image.res, nullptr, &stat); };

    EXPECT_TRUE(PrintedExactly(CaptureLog(measure, kLogAll), "debug", "measure", "get_line_temp",
                               "this is horizontal line temperture"));
    EXPECT_EQ(CaptureLog(measure, kLogErrors), "");
    EXPECT_TRUE(PrintedExactly(CaptureLog(fail, kLogErrors), "error", "measure", "get_line_temp", "data is NULL"));
    EXPECT_EQ(CaptureLog(fail, kLogNone), "");
    EXPECT_EQ(CaptureLog(fail, 7), "");
}

TEST(PointTemp, DropsHotPixelAndRoundsWithThreeSevenths)
{
    Image image(8, 8, 100);
    image.Set(4, 4, 60000);
    EXPECT_EQ(PointTemp(image, 4, 4), 100);

    // 3 x 3 around (1,1): one 10 (dropped), zeros and ones; the kept seven sum to 4 or 3.
    Image small(3, 3, 0);
    small.Set(0, 0, 10);
    for (int x = 0; x < 3; ++x)
        small.Set(x, 1, 1);
    small.Set(0, 2, 1);
    EXPECT_EQ(PointTemp(small, 1, 1), 1);  // (4 + 3) / 7
    small.Set(0, 2, 0);
    EXPECT_EQ(PointTemp(small, 1, 1), 0);  // (3 + 3) / 7
}

TEST(PointTemp, PositionsOutsideTakeTheCentreValue)
{
    const Image flat(256, 192, 7000);
    for (point_t p : { P(0, 0), P(255, 191), P(128, 96), P(0, 191), P(255, 0) })
        EXPECT_EQ(PointTemp(flat, p.x, p.y), 7000);
    Image image(4, 4, 80);
    image.Set(0, 0, 50);
    // Five outside positions and the centre read 50, three pixels 80; one of
    // each dropped: (5 x 50 + 2 x 80 + 3) / 7.
    EXPECT_EQ(PointTemp(image, 0, 0), 59);
}

TEST(PointTemp, RejectsBadArgumentsWithoutWriting)
{
    const Image image(10, 8, 1);
    uint16_t temp = 4321;
    EXPECT_EQ(get_point_temp(nullptr, image.res, P(1, 1), &temp), -1);
    EXPECT_EQ(get_point_temp(image.data(), image.res, P(1, 1), nullptr), -1);
    for (point_t p : { P(-1, 0), P(0, -1), P(10, 0), P(0, 8) })
        EXPECT_EQ(get_point_temp(image.data(), image.res, p, &temp), -1);
    ExpectRefused("measure", "get_point_temp", "the point is invalid",
                  [&] { return get_point_temp(image.data(), image.res, P(10, 0), &temp); });
    EXPECT_EQ(temp, 4321);
}

TEST(LineTemp, FlatImageOfEveryKindEndsOnTheLastPoint)
{
    const Image image(32, 24, 900);
    const temp_stat_t horizontal = LineStat(image, 10, 5, 3, 5);
    const temp_stat_t vertical = LineStat(image, 4, 20, 4, 2);
    const temp_stat_t slanted = LineStat(image, 4, 2, 0, 0);
    for (const temp_stat_t& s : { horizontal, vertical, slanted }) {
        EXPECT_EQ(s.max_temp, 900);
        EXPECT_EQ(s.min_temp, 900);
        EXPECT_EQ(s.ave_temp, 900);
    }
    // Equal readings: the later point wins both.
    ExpectPoint(horizontal.max_point, 10, 5);
    ExpectPoint(horizontal.min_point, 10, 5);
    ExpectPoint(vertical.max_point, 4, 20);
    ExpectPoint(slanted.min_point, 4, 2);
}

TEST(LineTemp, HorizontalAndVerticalRunFromTheSmallerEnd)
{
    Image image(16, 16, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.Set(x, y, uint16_t(100 + x + 20 * y));
    // Row 5 from x 3 to 10: 8 points valued 203..210.
    temp_stat_t s = LineStat(image, 10, 5, 3, 5);
    EXPECT_EQ(s.max_temp, 210);
    EXPECT_EQ(s.min_temp, 203);
    EXPECT_EQ(s.ave_temp, 207);  // (1652 + 4) / 8
    ExpectPoint(s.max_point, 10, 5);
    ExpectPoint(s.min_point, 3, 5);
    // Column 2 from y 9 down to 4: points valued 182..282.
    s = LineStat(image, 2, 4, 2, 9);
    EXPECT_EQ(s.max_temp, 282);
    EXPECT_EQ(s.min_temp, 182);
    EXPECT_EQ(s.ave_temp, 232);
    ExpectPoint(s.max_point, 2, 9);
    ExpectPoint(s.min_point, 2, 4);
}

TEST(LineTemp, LineNeighboursRoundWithOneThird)
{
    Image image(10, 1, 0);
    const uint16_t row[10] = { 0, 0, 0, 1, 1, 0, 5, 0, 0, 0 };
    for (int x = 0; x < 10; ++x)
        image.Set(x, 0, row[x]);
    const temp_stat_t s = LineStat(image, 5, 0, 6, 0);
    EXPECT_EQ(s.max_temp, 1);  // neighbours 1 1 0 5 0: (2 + 1) / 3
    EXPECT_EQ(s.min_temp, 0);  // neighbours 1 0 5 0 0: (1 + 1) / 3
    ExpectPoint(s.max_point, 5, 0);
    ExpectPoint(s.min_point, 6, 0);
}

// Every listed point is visited: lowering one of them makes it the minimum,
// and the line reads only listed pixels (all others are set far lower).
void ExpectSlantedPoints(const line_t& line, const std::vector<point_t>& expected)
{
    Image image(8, 8, 10);
    for (point_t p : expected)
        image.Set(p.x, p.y, 200);
    temp_stat_t s = LineStat(image, line.start_x, line.start_y, line.end_x, line.end_y);
    EXPECT_EQ(s.min_temp, 200);
    EXPECT_EQ(s.max_temp, 200);
    for (point_t p : expected) {
        image.Set(p.x, p.y, 150);
        s = LineStat(image, line.start_x, line.start_y, line.end_x, line.end_y);
        EXPECT_EQ(s.min_temp, 150);
        ExpectPoint(s.min_point, p.x, p.y);
        image.Set(p.x, p.y, 200);
    }
}

TEST(LineTemp, SlantedPointsRoundHalvesUp)
{
    ExpectSlantedPoints({ 0, 0, 4, 2 }, { P(0, 0), P(1, 1), P(2, 1), P(3, 2), P(4, 2) });  // k 0.5
    ExpectSlantedPoints({ 0, 2, 4, 0 }, { P(0, 2), P(1, 2), P(2, 1), P(3, 1), P(4, 0) });  // k -0.5
    ExpectSlantedPoints({ 2, 4, 0, 0 }, { P(0, 0), P(1, 1), P(1, 2), P(2, 3), P(2, 4) });  // k 2
    ExpectSlantedPoints({ 0, 4, 2, 0 }, { P(0, 4), P(1, 3), P(1, 2), P(2, 1), P(2, 0) });  // k -2
}

TEST(LineTemp, SlantedNeighboursSkipTheFirstAndLastTwoPoints)
{
    // Points (i, round(i / 2)) for i 0..8; the first two read 40, the rest 100.
    Image image(9, 5, 100);
    image.Set(0, 0, 40);
    image.Set(1, 1, 40);
    const temp_stat_t s = LineStat(image, 0, 0, 8, 4);
    // Values 40, 60 (its own 40 thrice, two neighbours 100), then 100 each:
    // the third point does not take the first two as neighbours.
    EXPECT_EQ(s.min_temp, 40);
    ExpectPoint(s.min_point, 0, 0);
    EXPECT_EQ(s.max_temp, 100);
    ExpectPoint(s.max_point, 8, 4);
    EXPECT_EQ(s.ave_temp, (40 + 60 + 7 * 100 + 4) / 9);
}

TEST(LineTemp, BothDirectionsGiveTheSameStatistics)
{
    Image image(12, 9, 0);
    std::mt19937 random(42);
    for (uint16_t& value : image.pixels)
        value = uint16_t(random() % 16384);
    for (int a = 0; a < 12 * 9; ++a) {
        for (int b = a + 1; b < 12 * 9; ++b) {
            const temp_stat_t forward = LineStat(image, a % 12, a / 12, b % 12, b / 12);
            const temp_stat_t backward = LineStat(image, b % 12, b / 12, a % 12, a / 12);
            ASSERT_EQ(forward.max_temp, backward.max_temp);
            ASSERT_EQ(forward.min_temp, backward.min_temp);
            ASSERT_EQ(forward.ave_temp, backward.ave_temp);
            ASSERT_EQ(forward.max_point.x, backward.max_point.x);
            ASSERT_EQ(forward.max_point.y, backward.max_point.y);
            ASSERT_EQ(forward.min_point.x, backward.min_point.x);
            ASSERT_EQ(forward.min_point.y, backward.min_point.y);
        }
    }
}

TEST(LineTemp, RejectsBadLinesWithoutWriting)
{
    const Image image(16, 12, 3);
    temp_stat_t stat{};
    stat.ave_temp = 777;
    const line_t line{ 1, 1, 5, 5 };
    EXPECT_EQ(get_line_temp(nullptr, image.res, &line, &stat), -1);
    EXPECT_EQ(get_line_temp(image.data(), image.res, &line, nullptr), -1);
    for (const line_t& bad : { line_t{ -1, 0, 5, 5 }, line_t{ 0, 0, 16, 5 }, line_t{ 0, 12, 5, 5 },
                               line_t{ 0, 0, 5, -1 } })
        EXPECT_EQ(get_line_temp(image.data(), image.res, &bad, &stat), -1);
    const line_t point{ 7, 7, 7, 7 };
    ExpectRefused("measure", "get_line_temp", "this is point temperture",
                  [&] { return get_line_temp(image.data(), image.res, &point, &stat); });
    EXPECT_EQ(stat.ave_temp, 777);
}

TEST(RectTemp, HotBlockSetsMaximumAndAverageFlatEndsOnTheLastPixel)
{
    Image image(12, 12, 100);
    for (int y = 4; y <= 6; ++y)
        for (int x = 4; x <= 6; ++x)
            image.Set(x, y, 500);
    const rect_t rect{ 3, 3, 5, 5 };
    temp_stat_t s{};
    ASSERT_EQ(get_rect_temp(image.data(), image.res, &rect, &s), 0);
    EXPECT_EQ(s.max_temp, 500);
    ExpectPoint(s.max_point, 5, 5);
    EXPECT_EQ(s.min_temp, 100);
    ExpectPoint(s.min_point, 7, 7);
    // Per pixel (400 c + 303) / 7 for c hot pixels in its window (500 when all 9):
    // 4 x 100 + 8 x 157 + 4 x 214 + 4 x 271 + 4 x 386 + 500 = 5640 over 25 pixels.
    EXPECT_EQ(s.ave_temp, (5640 + 12) / 25);
    // On a flat image the last pixel wins both.
    const Image flat(20, 20, 321);
    const rect_t small{ 2, 3, 5, 4 };
    ASSERT_EQ(get_rect_temp(flat.data(), flat.res, &small, &s), 0);
    EXPECT_EQ(std::vector<int>({ s.max_temp, s.min_temp, s.ave_temp }), std::vector<int>({ 321, 321, 321 }));
    ExpectPoint(s.max_point, 6, 6);
    ExpectPoint(s.min_point, 6, 6);
}

TEST(RectTemp, StaysOffTheLastColumnAndRow)
{
    const Image image(256, 192, 9);
    temp_stat_t s{};
    auto status = [&](rect_t rect) { return get_rect_temp(image.data(), image.res, &rect, &s); };
    EXPECT_EQ(status({ 0, 0, 255, 10 }), 0);
    EXPECT_EQ(status({ 0, 0, 10, 191 }), 0);
    EXPECT_EQ(status({ 0, 0, 256, 10 }), -1);
    EXPECT_EQ(status({ 1, 0, 255, 10 }), -1);
    EXPECT_EQ(status({ 0, 0, 10, 192 }), -1);
    EXPECT_EQ(status({ 0xFFFFFFFFu, 0, 2, 2 }), -1);  // x + width wraps in 32 bits
    EXPECT_EQ(status({ 0, 0xFFFFFFF0u, 2, 20 }), -1);
    EXPECT_EQ(status({ 5, 5, 0, 3 }), -1);
    ExpectRefused("measure", "get_rect_temp", "the rect is invalid", [&] { return status({ 5, 5, 3, 0 }); });
    const rect_t rect{ 0, 0, 2, 2 };
    EXPECT_EQ(get_rect_temp(nullptr, image.res, &rect, &s), -1);
    EXPECT_EQ(get_rect_temp(image.data(), image.res, &rect, nullptr), -1);
}

TEST(NucValue, RoundsWithElevenTwentyThirdsOverTheWindow)
{
    Image image(5, 5, 0);
    image.Set(0, 0, 100);  // the maximum, dropped like one zero
    for (int i = 1; i <= 12; ++i)
        image.Set(i % 5, i / 5, 1);
    uint16_t value = 0;
    ASSERT_EQ(get_NUC_value(image.data(), image.res, P(2, 2), &value), 0);
    EXPECT_EQ(value, 1);  // (12 + 11) / 23
    image.Set(2, 2, 0);
    ASSERT_EQ(get_NUC_value(image.data(), image.res, P(2, 2), &value), 0);
    EXPECT_EQ(value, 0);  // (11 + 11) / 23

    const Image flat(9, 9, 4444);
    ASSERT_EQ(get_NUC_value(flat.data(), flat.res, P(0, 8), &value), 0);
    EXPECT_EQ(value, 4444);
}

TEST(NucValue, RejectsNullsAndOutsidePoints)
{
    const Image image(9, 9, 1);
    uint16_t value = 55;
    ExpectRefused("measure", "get_array_average_value", "data is NULL",
                  [&] { return get_NUC_value(image.data(), image.res, P(1, 1), nullptr); });
    ExpectRefused("measure", "get_NUC_value", "src is NULL",
                  [&] { return get_NUC_value(nullptr, image.res, P(1, 1), &value); });
    ExpectRefused("measure", "get_NUC_value", "the point is invalid",
                  [&] { return get_NUC_value(image.data(), image.res, P(9, 1), &value); });
    EXPECT_EQ(get_NUC_value(image.data(), image.res, P(1, -1), &value), -1);
    EXPECT_EQ(value, 55);
}

TEST(RemapTemp, ReadsOneEntryPerPairOfRawValues)
{
    std::vector<uint16_t> table(ZOVAREREV_NUC_TABLE_ENTRIES);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint16_t(3 * i);
    uint16_t temp = 0;
    ASSERT_EQ(remap_temp(table.data(), 7, &temp), 0);
    EXPECT_EQ(temp, 9);
    ASSERT_EQ(remap_temp(table.data(), 65535, &temp), 0);
    EXPECT_EQ(temp, uint16_t(3 * 32767));
    ExpectRefused("measure", "remap_temp", "nuc_table is NULL", [&] { return remap_temp(nullptr, 7, &temp); });
    EXPECT_EQ(remap_temp(table.data(), 7, nullptr), -1);
}

TEST(Alarm, ThresholdsAreExclusiveAndOverWins)
{
    const temp_threshold_t threshold{ 100, 20 };
    EXPECT_EQ(point_over_threshold_alarm(threshold, 101), 1);
    EXPECT_EQ(point_over_threshold_alarm(threshold, 19), 2);
    EXPECT_EQ(point_over_threshold_alarm(threshold, 100), 0);
    EXPECT_EQ(point_over_threshold_alarm(threshold, 20), 0);
    auto alarm = [&](uint16_t max, uint16_t min, uint16_t ave) {
        temp_stat_t stat{};
        stat.max_temp = max;
        stat.min_temp = min;
        stat.ave_temp = ave;
        return line_rect_over_threshold_alarm(threshold, &stat);
    };
    EXPECT_EQ(alarm(100, 20, 60), 0);
    EXPECT_EQ(alarm(101, 30, 60), 1);
    EXPECT_EQ(alarm(90, 19, 60), 2);
    EXPECT_EQ(alarm(90, 30, 19), 2);  // average alone below
    EXPECT_EQ(alarm(90, 30, 101), 1);  // average alone above
    EXPECT_EQ(alarm(101, 19, 60), 1);  // over wins
    EXPECT_EQ(line_rect_over_threshold_alarm(threshold, nullptr), -1);
}

}  // namespace
