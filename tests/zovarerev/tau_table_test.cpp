// Transmittance tables by humidity, ambient temperature, distance and target
// temperature: round trips over the whole grid, interpolation, the edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "log_capture.h"
#include "zovarerev.h"

namespace {

// The distances write_tau takes, found by trying every 5 cm: its grid.
std::vector<float> GridDistances()
{
    std::vector<uint16_t> table(ZOVAREREV_AMBIENT_TAU_TABLE_ENTRIES);
    std::vector<float> grid;
    for (int cm = 20; cm <= 5100; cm += 5)
        if (write_tau(table.data(), 0.2f, 20, float(cm) / 100, 1) == 0)
            grid.push_back(float(cm) / 100);
    return grid;
}

const std::vector<float> kDistances = GridDistances();
const float kHumidityOfClass[4] = { 0.2f, 0.4f, 0.6f, 0.8f };

size_t AmbientEntry(int humidity_class, int ambient_slot, int distance_index)
{
    return size_t((humidity_class * 14 + ambient_slot) * 64 + distance_index);
}

int Index(float distance) { return int(std::find(kDistances.begin(), kDistances.end(), distance) - kDistances.begin()); }

uint16_t Distinct(int a, int b, int c) { return uint16_t(1 + a * 4096 + b * 64 + c); }

// Tables sized exactly, so a read past the end trips the address sanitizer.
std::vector<uint16_t> ambient_table() { return std::vector<uint16_t>(ZOVAREREV_AMBIENT_TAU_TABLE_ENTRIES, 0); }
std::vector<uint16_t> target_table() { return std::vector<uint16_t>(ZOVAREREV_TARGET_TAU_TABLE_ENTRIES, 0); }

uint16_t ReadAmbient(const std::vector<uint16_t>& t, float humidity, float ta, float distance)
{
    uint16_t tau = 0xFFFF;
    EXPECT_EQ(read_tau(t.data(), humidity, ta, distance, &tau), 0) << humidity << " " << ta << " " << distance;
    return tau;
}

uint16_t ReadTarget(const std::vector<uint16_t>& t, float target, float distance)
{
    uint16_t tau = 0xFFFF;
    EXPECT_EQ(read_tau_with_target_temp_and_dist(t.data(), target, distance, &tau), 0) << target << " " << distance;
    return tau;
}

TEST(TauTable, BothTablesRoundTripAtEveryGridPoint)
{
    ASSERT_EQ(kDistances.size(), 64u);
    EXPECT_EQ(kDistances.front(), 0.25f);
    EXPECT_EQ(kDistances.back(), 50.0f);
    auto ambient = ambient_table();
    for (int h = 0; h < 4; ++h)
        for (int a = 0; a < 13; ++a)
            for (int d = 0; d < 64; ++d)
                ASSERT_EQ(write_tau(ambient.data(), kHumidityOfClass[h], -5.0f + 5 * a, kDistances[d], Distinct(h, a, d)), 0);
    for (int h = 0; h < 4; ++h)
        for (int a = 0; a < 13; ++a)
            for (int d = 0; d < 64; ++d) {
                ASSERT_EQ(ambient[AmbientEntry(h, a, d)], Distinct(h, a, d));  // the module's layout
                ASSERT_EQ(ReadAmbient(ambient, kHumidityOfClass[h], -5.0f + 5 * a, kDistances[d]), Distinct(h, a, d));
            }
    auto target = target_table();
    for (int i = 0; i < 56; ++i)
        for (int d = 0; d < 64; ++d)
            ASSERT_EQ(write_tau_with_target_temp_and_dist(target.data(), -25.0f + 25 * i, kDistances[d], Distinct(0, i, d)), 0);
    for (int i = 0; i < 56; ++i)
        for (int d = 0; d < 64; ++d) {
            ASSERT_EQ(target[size_t(i * 64 + d)], Distinct(0, i, d));
            ASSERT_EQ(ReadTarget(target, -25.0f + 25 * i, kDistances[d]), Distinct(0, i, d));
        }
}

TEST(TauTable, HumidityClassesAndTheSpareAmbientSlot)
{
    const std::pair<float, int> classes[] = { { 0.0f, 0 }, { 0.29f, 0 }, { 0.3f, 1 }, { 0.49f, 1 }, { 0.5f, 2 },
                                              { 0.69f, 2 }, { 0.7f, 3 }, { 1.0f, 3 } };
    for (auto [humidity, expected_class] : classes) {
        auto t = ambient_table();
        ASSERT_EQ(write_tau(t.data(), humidity, 20.0f, 1.0f, 4321), 0);
        EXPECT_EQ(t[AmbientEntry(expected_class, 5, Index(1.0f))], 4321) << humidity;
    }
    auto t = ambient_table();
    ASSERT_EQ(write_tau(t.data(), 0.6f, 23.0f, 3.0f, 777), 0);  // between grid points
    EXPECT_EQ(t[AmbientEntry(2, 13, Index(3.0f))], 777);
    ASSERT_EQ(write_tau(t.data(), 0.6f, 20.0004f, 3.0004f, 778), 0);  // within 0.001 of a grid point
    EXPECT_EQ(t[AmbientEntry(2, 5, Index(3.0f))], 778);
}

struct Write {
    float humidity, temp, distance;
    uint16_t tau;
};
struct Read {
    float humidity, temp, distance;
    uint16_t expected;
};

TEST(TauTable, AmbientInterpolationTruncatesAndUsesTheEdgeRowsAlone)
{
    std::vector<Write> writes = { { 0.2f, 20, 4.5f, 1000 }, { 0.2f, 20, 5.0f, 2001 }, { 0.2f, 25, 4.5f, 3000 },
                                  { 0.2f, 25, 5.0f, 4003 }, { 0.8f, 55, 45, 5000 },   { 0.8f, 55, 50, 6000 },
                                  { 0.2f, 10, 50, 7000 },   { 0.2f, 15, 50, 9000 } };
    for (int a = 0; a < 13; ++a)
        writes.push_back({ 0.4f, -5.0f + 5 * a, 2.0f, uint16_t(100 * (a + 1)) });
    const Read reads[] = {
        { 0.2f, 20, 4.75f, 1500 } /* 1500.5 truncated */, { 0.2f, 22.5f, 4.5f, 2000 }, { 0.2f, 22.5f, 4.75f, 2501 },
        { 0.4f, -20, 2, 100 }, { 0.4f, -2.5f, 2, 100 } /* below 0 degC the -5 degC row alone */, { 0.4f, 2.5f, 2, 250 },
        { 0.4f, 52.5f, 2, 1250 }, { 0.4f, 54.9995f, 2, 1300 }, { 0.4f, 55, 2, 1300 }, { 0.4f, 80, 2, 1300 },
        { 0.8f, 55, 50, 6000 }, { 0.8f, 55, 47.5f, 5500 }, { 0.2f, 12.5f, 50, 8000 },  // 50 m: the last entry
    };
    auto t = ambient_table();
    for (const Write& w : writes)
        ASSERT_EQ(write_tau(t.data(), w.humidity, w.temp, w.distance, w.tau), 0);
    t[AmbientEntry(3, 13, 0)] = 60000;  // the entry after the last 50 m one
    for (const Read& r : reads)
        EXPECT_EQ(ReadAmbient(t, r.humidity, r.temp, r.distance), r.expected) << r.temp << " " << r.distance;
}

TEST(TauTable, TargetInterpolationRoundsInsideAndTruncatesAtTheEdges)
{
    const Write writes[] = { { 0, 100, 4.5f, 1000 }, { 0, 100, 5.0f, 2001 }, { 0, 125, 4.5f, 1000 },
                             { 0, 125, 5.0f, 2001 }, { 0, -25, 4.5f, 1000 }, { 0, -25, 5.0f, 2001 },
                             { 0, 1350, 4.5f, 3000 }, { 0, 1350, 5.0f, 3001 }, { 0, 1325, 50, 100 },
                             { 0, 1350, 50, 300 },   { 0, 1350, 45, 999 } };
    const Read reads[] = {  // 1500.5 rounded inside the grid, truncated on the first and last rows
        { 0, 100, 4.75f, 1501 }, { 0, 112.5f, 4.5f, 1000 }, { 0, -25, 4.75f, 1500 }, { 0, -60, 4.75f, 1500 },
        { 0, 1350, 4.75f, 3000 }, { 0, 2000, 5.0f, 3001 }, { 0, 1337.5f, 50, 200 }, { 0, 1350, 50, 300 },
        { 0, 1350, 47.5f, 649 } };
    auto t = target_table();
    for (const Write& w : writes)
        ASSERT_EQ(write_tau_with_target_temp_and_dist(t.data(), w.temp, w.distance, w.tau), 0);
    for (const Read& r : reads)
        EXPECT_EQ(ReadTarget(t, r.temp, r.distance), r.expected) << r.temp << " " << r.distance;
}

TEST(TauTable, BadArgumentsAreRefusedWithoutWriting)
{
    auto ambient = ambient_table(), target = target_table();
    uint16_t tau = 99;
    const float nan = std::nanf("");
    // Humidity, ambient temperature and distance; target temperature and distance.
    auto write = [&](float h, float ta, float d) { return write_tau(ambient.data(), h, ta, d, 1); };
    auto read = [&](float h, float ta, float d) { return read_tau(ambient.data(), h, ta, d, &tau); };
    auto write_target = [&](float t, float d) { return write_tau_with_target_temp_and_dist(target.data(), t, d, 1); };
    auto read_target = [&](float t, float d) { return read_tau_with_target_temp_and_dist(target.data(), t, d, &tau); };
    ExpectRefused({
        [&] { return write(1.1f, 20, 1); }, [&] { return read(-0.1f, 20, 1); }, [&] { return write(0.6f, 56, 3); },
        [&] { return write(0.6f, 20, 3.1f); }, [&] { return write(0.6f, 20, 50.01f); }, [&] { return write(0.6f, 20, 0.2f); },
        [&] { return read(0.2f, 20, 0.2f); }, [&] { return read(0.2f, 20, 50.5f); }, [&] { return read(0.2f, nan, 1); },
        [&] { return write_tau(nullptr, 0.6f, 20, 3, 1); }, [&] { return read_tau(nullptr, 0.2f, 20, 1, &tau); },
        [&] { return read_tau(ambient.data(), 0.2f, 20, 1, nullptr); },
        [&] { return write_target(1400, 1); }, [&] { return write_target(10, 1); }, [&] { return write_target(0, 1.01f); },
        [&] { return read_target(0, 60); }, [&] { return read_target(nan, 1); },
        [&] { return write_tau_with_target_temp_and_dist(nullptr, 0, 1, 1); },
        [&] { return read_tau_with_target_temp_and_dist(nullptr, 0, 1, &tau); },
    });
    EXPECT_EQ(ambient, ambient_table());
    EXPECT_EQ(target, target_table());
    EXPECT_EQ(tau, 99);
}

}  // namespace
