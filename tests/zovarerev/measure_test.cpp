// Point, line and rectangle temperatures and the 5 x 5 NUC value checked
// against a plain scan of the image; the table lookup, the alarms, logging.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <future>
#include <random>
#include <vector>

#include "log_capture.h"
#include "zovarerev.h"

namespace {

struct Image {
    Image(int width, int height, int range, unsigned seed) : res{ uint16_t(width), uint16_t(height) }
    {
        std::mt19937 random(seed);
        for (int i = 0; i < width * height; ++i)
            pixels.push_back(uint16_t(random() % range));
    }
    uint16_t At(int x, int y) const { return pixels[size_t(y) * res.width + x]; }
    // Positions outside the image read as the centre pixel.
    uint16_t AtOr(int x, int y, point_t c) const
    {
        return x >= 0 && y >= 0 && x < res.width && y < res.height ? At(x, y) : At(c.x, c.y);
    }
    image_res_t res;
    std::vector<uint16_t> pixels;
};

// Highest and lowest dropped, the rest averaged, halves rounded up.
uint16_t RobustMean(std::vector<uint16_t> values)
{
    std::sort(values.begin(), values.end());
    uint64_t sum = 0;
    for (size_t i = 1; i + 1 < values.size(); ++i)
        sum += values[i];
    const uint64_t kept = values.size() - 2;
    return uint16_t((2 * sum + kept) / (2 * kept));
}

uint16_t WindowMean(const Image& image, point_t p, int size)
{
    std::vector<uint16_t> window;
    for (int y = p.y - size / 2; y <= p.y + size / 2; ++y)
        for (int x = p.x - size / 2; x <= p.x + size / 2; ++x)
            window.push_back(image.AtOr(x, y, p));
    return RobustMean(window);
}

using Fields = std::array<int, 8>;
using Readings = std::vector<std::pair<uint16_t, point_t>>;

Fields Of(int status, const temp_stat_t& s)
{
    return { status, s.max_temp, s.min_temp, s.ave_temp, s.max_point.x, s.max_point.y, s.min_point.x, s.min_point.y };
}

// Statistics of values read in order: ties go to the later point.
Fields Scan(const Readings& readings)
{
    temp_stat_t s{};
    s.min_temp = 0xFFFF;
    uint64_t sum = 0;
    for (auto [value, p] : readings) {
        if (value >= s.max_temp)
            s.max_temp = value, s.max_point = p;
        if (value <= s.min_temp)
            s.min_temp = value, s.min_point = p;
        sum += value;
    }
    s.ave_temp = uint16_t((2 * sum + readings.size()) / (2 * readings.size()));
    return Of(0, s);
}

Fields Line(const Image& image, int x1, int y1, int x2, int y2)
{
    const line_t line{ x1, y1, x2, y2 };
    temp_stat_t s{};
    return Of(get_line_temp(image.pixels.data(), image.res, &line, &s), s);
}

// A wide range, and a narrow one full of ties.
const Image kImages[] = { Image(7, 6, 16384, 1), Image(6, 5, 4, 2) };

TEST(Measure, PointsNucValuesAndRectanglesMatchAPlainScan)
{
    for (const Image& image : kImages) {
        const int w = image.res.width, h = image.res.height;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint16_t point = 0, nuc = 0;
                ASSERT_EQ(get_point_temp(image.pixels.data(), image.res, point_t{ x, y }, &point), 0);
                ASSERT_EQ(get_NUC_value(image.pixels.data(), image.res, point_t{ x, y }, &nuc), 0);
                ASSERT_EQ(point, WindowMean(image, { x, y }, 3)) << x << "," << y;
                ASSERT_EQ(nuc, WindowMean(image, { x, y }, 5)) << x << "," << y;
            }
        for (int y = 0; y < h - 1; ++y)
            for (int x = 0; x < w - 1; ++x)
                for (int rh = 1; y + rh < h; ++rh)
                    for (int rw = 1; x + rw < w; ++rw) {
                        Readings readings;
                        for (int py = y; py < y + rh; ++py)
                            for (int px = x; px < x + rw; ++px)
                                readings.push_back({ WindowMean(image, { px, py }, 3), point_t{ px, py } });
                        const rect_t rect{ uint32_t(x), uint32_t(y), uint32_t(rw), uint32_t(rh) };
                        temp_stat_t s{};
                        ASSERT_EQ(Of(get_rect_temp(image.pixels.data(), image.res, &rect, &s), s), Scan(readings))
                            << x << "," << y << " " << rw << "x" << rh;
                    }
    }
}

// A straight line's points read the robust mean of two pixels on each side
// along the line, in either direction.
TEST(Measure, StraightLinesMatchAPlainScanInBothDirections)
{
    for (const Image& image : kImages)
        for (bool vertical : { false, true }) {
            const int length = vertical ? image.res.height : image.res.width;
            const int across = vertical ? image.res.width : image.res.height;
            auto at = [vertical](int c, int t) { return vertical ? point_t{ c, t } : point_t{ t, c }; };
            for (int c = 0; c < across; ++c)
                for (int a = 0; a < length; ++a)
                    for (int b = a + 1; b < length; ++b) {
                        Readings readings;
                        for (int t = a; t <= b; ++t) {
                            std::vector<uint16_t> near;
                            for (int o = -2; o <= 2; ++o)
                                near.push_back(image.AtOr(at(c, t + o).x, at(c, t + o).y, at(c, t)));
                            readings.push_back({ RobustMean(near), at(c, t) });
                        }
                        const point_t p = at(c, a), q = at(c, b);
                        ASSERT_EQ(Line(image, p.x, p.y, q.x, q.y), Scan(readings)) << vertical << c << ":" << a << b;
                        ASSERT_EQ(Line(image, q.x, q.y, p.x, p.y), Scan(readings)) << vertical << c << ":" << b << a;
                    }
        }
}

// A slanted line visits one rounded point per step (halves rounded up) and
// takes its neighbours from that point list, where the first and last two
// points stand in as the centre.
TEST(Measure, SlantedLinesVisitTheRoundedPoints)
{
    const std::pair<line_t, std::vector<point_t>> cases[] = {
        { { 0, 0, 4, 2 }, { { 0, 0 }, { 1, 1 }, { 2, 1 }, { 3, 2 }, { 4, 2 } } },  // slope 0.5
        { { 0, 2, 4, 0 }, { { 0, 2 }, { 1, 2 }, { 2, 1 }, { 3, 1 }, { 4, 0 } } },  // -0.5
        { { 2, 4, 0, 0 }, { { 0, 0 }, { 1, 1 }, { 1, 2 }, { 2, 3 }, { 2, 4 } } },  // 2
        { { 0, 4, 2, 0 }, { { 0, 4 }, { 1, 3 }, { 1, 2 }, { 2, 1 }, { 2, 0 } } },  // -2
        { { 7, 4, 0, 0 }, { { 0, 0 }, { 1, 1 }, { 2, 1 }, { 3, 2 }, { 4, 2 }, { 5, 3 }, { 6, 3 }, { 7, 4 } } },
    };
    const Image image(8, 8, 16384, 3);
    for (const auto& [line, points] : cases) {
        const int n = int(points.size());
        Readings readings;
        for (int i = 0; i < n; ++i) {
            std::vector<uint16_t> near;
            for (int j = i - 2; j <= i + 2; ++j)
                near.push_back(j >= 2 && j < n - 2 ? image.At(points[j].x, points[j].y) : image.At(points[i].x, points[i].y));
            readings.push_back({ RobustMean(near), points[i] });
        }
        EXPECT_EQ(Line(image, line.start_x, line.start_y, line.end_x, line.end_y), Scan(readings)) << line.end_x;
    }
}

// Every line of an image from four threads at once: each call keeps its
// scratch to itself.
TEST(Measure, EveryLineGivesTheSameStatisticsFromManyThreads)
{
    const Image image(12, 9, 16384, 42);
    auto all_lines = [&image] {
        std::vector<Fields> results;
        for (int a = 0; a < 12 * 9; ++a)
            for (int b = a + 1; b < 12 * 9; ++b)
                results.push_back(Line(image, a % 12, a / 12, b % 12, b / 12));
        return results;
    };
    const std::vector<Fields> forward = all_lines();
    std::vector<std::future<std::vector<Fields>>> runs;
    for (int i = 0; i < 4; ++i)
        runs.push_back(std::async(std::launch::async, all_lines));
    for (auto& run : runs)
        EXPECT_TRUE(run.get() == forward);
}

TEST(Measure, RemapAlarmsAndBadArguments)
{
    std::vector<uint16_t> table(ZOVAREREV_NUC_TABLE_ENTRIES);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint16_t(3 * i);
    for (uint16_t raw : { 0, 1, 7, 1000, 65535 }) {  // one entry per pair of raw values
        uint16_t temp = 0;
        ASSERT_EQ(remap_temp(table.data(), raw, &temp), 0);
        EXPECT_EQ(temp, uint16_t(3 * (raw / 2))) << raw;
    }
    const temp_threshold_t threshold{ 100, 20 };
    const std::array<int, 4> alarms[] = {  // max, min, average: stat alarm; max alone: point alarm
        { 100, 20, 60, 0 }, { 101, 30, 60, 1 }, { 90, 19, 60, 2 }, { 90, 30, 19, 2 }, { 90, 30, 101, 1 }, { 101, 19, 60, 1 } };
    for (const auto& [max, min, ave, expected] : alarms) {
        const temp_stat_t stat{ uint16_t(max), uint16_t(min), uint16_t(ave), {}, {} };
        EXPECT_EQ(line_rect_over_threshold_alarm(threshold, &stat), expected) << max << " " << min << " " << ave;
        EXPECT_EQ(point_over_threshold_alarm(threshold, uint16_t(min)), min < 20 ? 2 : 0) << min;
        EXPECT_EQ(point_over_threshold_alarm(threshold, uint16_t(max)), max > 100 ? 1 : 0) << max;
    }
    EXPECT_EQ(line_rect_over_threshold_alarm(threshold, nullptr), -1);

    const Image image(16, 12, 100, 4);
    const uint16_t* src = image.pixels.data();
    const image_res_t res = image.res;
    uint16_t value = 4321;
    temp_stat_t stat{};
    stat.ave_temp = 777;
    auto point = [&](point_t p) { return get_point_temp(src, res, p, &value); };
    auto line = [&](line_t l) { return get_line_temp(src, res, &l, &stat); };
    auto rect = [&](rect_t r) { return get_rect_temp(src, res, &r, &stat); };
    ExpectRefused({
        [&] { return point({ -1, 0 }); }, [&] { return point({ 16, 0 }); }, [&] { return point({ 0, 12 }); },
        [&] { return line({ 0, 0, 16, 5 }); }, [&] { return line({ 0, 12, 5, 5 }); }, [&] { return line({ 7, 7, 7, 7 }); },
        [&] { return rect({ 1, 0, 15, 5 }); }, [&] { return rect({ 0, 0, 5, 12 }); }, [&] { return rect({ 5, 5, 3, 0 }); },
        [&] { return rect({ 0xFFFFFFFFu, 0, 2, 2 }); },  // x + width wraps in 32 bits
        [&] { return get_point_temp(nullptr, res, { 1, 1 }, &value); }, [&] { return get_line_temp(src, res, nullptr, &stat); },
        [&] { return get_NUC_value(src, res, { 1, 1 }, nullptr); }, [&] { return get_NUC_value(src, res, { 1, -1 }, &value); },
        [&] { return remap_temp(nullptr, 7, &value); },
    });
    EXPECT_EQ(value, 4321);
    EXPECT_EQ(stat.ave_temp, 777);
}

}  // namespace
