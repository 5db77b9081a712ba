// The measurement functions keep their scratch per call: threads measuring
// different images at once get the same results as one thread alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "zovarerev.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 200;

struct Readings {
    std::vector<uint16_t> values;

    void Add(const temp_stat_t& s)
    {
        values.insert(values.end(), { s.max_temp, s.min_temp, s.ave_temp, uint16_t(s.max_point.x),
                                      uint16_t(s.max_point.y), uint16_t(s.min_point.x), uint16_t(s.min_point.y) });
    }
    bool operator==(const Readings& other) const { return values == other.values; }
};

// Points, lines of every kind, a rectangle and NUC values over one image.
Readings MeasureAll(const std::vector<uint16_t>& image, image_res_t res)
{
    Readings r;
    for (int i = 0; i < 32; ++i) {
        uint16_t temp = 0;
        EXPECT_EQ(get_point_temp(image.data(), res, point_t{ 3 * i, 2 * i }, &temp), 0);
        EXPECT_EQ(get_NUC_value(image.data(), res, point_t{ 2 * i, 3 * i }, &temp), 0);
        r.values.push_back(temp);
    }
    for (const line_t& line : { line_t{ 0, 5, 127, 5 }, line_t{ 9, 0, 9, 95 }, line_t{ 0, 0, 127, 95 },
                                line_t{ 120, 3, 7, 90 }, line_t{ 60, 0, 70, 95 } }) {
        temp_stat_t s{};
        EXPECT_EQ(get_line_temp(image.data(), res, &line, &s), 0);
        r.Add(s);
    }
    const rect_t rect{ 10, 10, 100, 70 };
    temp_stat_t s{};
    EXPECT_EQ(get_rect_temp(image.data(), res, &rect, &s), 0);
    r.Add(s);
    return r;
}

TEST(Threads, ConcurrentMeasurementsMatchSequentialOnes)
{
    irtemp_log_register(2);  // before any thread starts: the sinks are not locked
    const image_res_t res{ 128, 96 };
    std::vector<std::vector<uint16_t>> images(kThreads);
    std::vector<Readings> expected(kThreads);
    std::mt19937 random(7);
    for (int t = 0; t < kThreads; ++t) {
        images[t].resize(size_t(res.width) * res.height);
        for (uint16_t& value : images[t])
            value = uint16_t(1000 * (t + 1) + random() % 4000);
        expected[t] = MeasureAll(images[t], res);
    }

    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round)
                if (!(MeasureAll(images[t], res) == expected[t]))
                    ++mismatches[t];
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
