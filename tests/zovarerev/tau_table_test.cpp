// Transmittance tables by humidity, ambient temperature, distance and target
// temperature: grids, round trips, interpolation and the table edges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "log_capture.h"
#include "zovarerev.h"

namespace {

const std::vector<float> kDistances = {
    0.25f, 0.3f, 0.35f, 0.4f, 0.45f, 0.5f, 0.55f, 0.6f, 0.65f, 0.7f, 0.75f, 0.8f, 0.85f, 0.9f, 0.95f, 1.0f,
    1.05f, 1.1f, 1.15f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f, 1.7f, 1.8f, 1.9f, 2.0f,
    2.2f, 2.4f, 2.6f, 2.8f, 3.0f, 3.2f, 3.4f, 3.6f, 3.8f, 4.0f,
    4.5f, 5.0f, 5.5f, 6.0f, 6.5f, 7.0f, 7.5f, 8.0f, 9, 10, 11, 12, 13, 14,
    16, 18, 20, 22, 24, 26, 28, 30, 35, 40, 45, 50
};
const float kHumidityOfClass[4] = { 0.2f, 0.4f, 0.6f, 0.8f };
constexpr int kAmbientSlots = 14;
constexpr int kDistanceCount = 64;

float Ambient(int index) { return -5.0f + 5.0f * float(index); }
float Target(int index) { return -25.0f + 25.0f * float(index); }

size_t AmbientEntry(int humidity_class, int ambient_slot, int distance_index)
{
    return size_t((humidity_class * kAmbientSlots + ambient_slot) * kDistanceCount + distance_index);
}

// Tables sized exactly, so a read past the end trips the address sanitizer.
struct Tables {
    std::vector<uint16_t> ambient = std::vector<uint16_t>(ZOVAREREV_AMBIENT_TAU_TABLE_ENTRIES, 0);
    std::vector<uint16_t> target = std::vector<uint16_t>(ZOVAREREV_TARGET_TAU_TABLE_ENTRIES, 0);
};

uint16_t ReadAmbient(const Tables& t, float humidity, float ta, float distance)
{
    uint16_t tau = 0xFFFF;
    EXPECT_EQ(read_tau(t.ambient.data(), humidity, ta, distance, &tau), 0) << humidity << " " << ta << " " << distance;
    return tau;
}

uint16_t ReadTarget(const Tables& t, float target, float distance)
{
    uint16_t tau = 0xFFFF;
    EXPECT_EQ(read_tau_with_target_temp_and_dist(t.target.data(), target, distance, &tau), 0)
        << target << " " << distance;
    return tau;
}

uint16_t Distinct(int a, int b, int c) { return uint16_t(1 + a * 4096 + b * 64 + c); }

TEST(AmbientTau, WholeTableRoundTripsAtEveryGridPointIncluding55)
{
    Tables t;
    for (int h = 0; h < 4; ++h)
        for (int a = 0; a < 13; ++a)
            for (int d = 0; d < kDistanceCount; ++d)
                ASSERT_EQ(write_tau(t.ambient.data(), kHumidityOfClass[h], Ambient(a), kDistances[d],
                                    Distinct(h, a, d)), 0);
    std::set<uint16_t> stored(t.ambient.begin(), t.ambient.end());
    EXPECT_EQ(stored.size(), 4u * 13 * 64 + 1);  // every write its own entry; the spare slots stay 0
    for (int h = 0; h < 4; ++h)
        for (int a = 0; a < 13; ++a)
            for (int d = 0; d < kDistanceCount; ++d) {
                ASSERT_EQ(t.ambient[AmbientEntry(h, a, d)], Distinct(h, a, d));
                ASSERT_EQ(ReadAmbient(t, kHumidityOfClass[h], Ambient(a), kDistances[d]), Distinct(h, a, d));
            }
}

TEST(AmbientTau, HumidityClassesSplitAtPointThreeFiveSeven)
{
    const std::pair<float, int> cases[] = { { 0.0f, 0 }, { 0.29f, 0 }, { 0.3f, 1 }, { 0.49f, 1 }, { 0.5f, 2 },
                                            { 0.69f, 2 }, { 0.7f, 3 }, { 0.75f, 3 }, { 1.0f, 3 } };
    for (auto [humidity, expected_class] : cases) {
        Tables t;
        ASSERT_EQ(write_tau(t.ambient.data(), humidity, 20.0f, 1.0f, 4321), 0);
        EXPECT_EQ(t.ambient[AmbientEntry(expected_class, 5, 15)], 4321) << humidity;
    }
    Tables t;
    ExpectRefused("tau_table", "get_hum_index", "humidity is invalid",
                  [&] { return write_tau(t.ambient.data(), 1.1f, 20, 1, 1); });
    uint16_t tau = 0;
    EXPECT_EQ(read_tau(t.ambient.data(), -0.1f, 20, 1, &tau), -1);
    EXPECT_EQ(read_tau(t.ambient.data(), std::nanf(""), 20, 1, &tau), -1);
}

TEST(AmbientTau, InterpolatesHalfwayAndTruncates)
{
    Tables t;
    const float h = 0.2f;
    auto put = [&](float ta, float distance, uint16_t tau) {
        ASSERT_EQ(write_tau(t.ambient.data(), h, ta, distance, tau), 0);
    };
    put(20, 4.5f, 1000);
    put(20, 5.0f, 2001);
    put(25, 4.5f, 3000);
    put(25, 5.0f, 4003);
    EXPECT_EQ(ReadAmbient(t, h, 20, 4.75f), 1500);    // mean 1500.5 truncated
    EXPECT_EQ(ReadAmbient(t, h, 22.5f, 4.5f), 2000);
    EXPECT_EQ(ReadAmbient(t, h, 22.5f, 4.75f), 2501);  // mean of four, 2501
    // Between 1.0 and 1.05 m the grid is in single precision: the mean up to truncation.
    put(20, 1.0f, 1000);
    put(20, 1.05f, 2000);
    const uint16_t mid = ReadAmbient(t, h, 20, 1.025f);
    EXPECT_GE(mid, 1499);
    EXPECT_LE(mid, 1500);
}

TEST(AmbientTau, OutsideTheAmbientGridUsesTheEdgeRowOnly)
{
    Tables t;
    const float h = 0.4f;
    for (int a = 0; a < 13; ++a) {
        ASSERT_EQ(write_tau(t.ambient.data(), h, Ambient(a), 2.0f, uint16_t(100 * (a + 1))), 0);
    }
    EXPECT_EQ(ReadAmbient(t, h, -20.0f, 2.0f), 100);
    EXPECT_EQ(ReadAmbient(t, h, -2.5f, 2.0f), 100);  // the first interval reads the -5 degC row
    EXPECT_EQ(ReadAmbient(t, h, 2.5f, 2.0f), 250);
    EXPECT_EQ(ReadAmbient(t, h, 52.5f, 2.0f), 1250);
    EXPECT_EQ(ReadAmbient(t, h, 55.0f, 2.0f), 1300);
    EXPECT_EQ(ReadAmbient(t, h, 54.9995f, 2.0f), 1300);
    EXPECT_EQ(ReadAmbient(t, h, 80.0f, 2.0f), 1300);
}

TEST(AmbientTau, FiftyMetresReadsTheLastEntryNotTheNextRow)
{
    Tables t;
    ASSERT_EQ(write_tau(t.ambient.data(), 0.8f, 55, 45, 5000), 0);
    ASSERT_EQ(write_tau(t.ambient.data(), 0.8f, 55, 50, 6000), 0);
    t.ambient[AmbientEntry(3, 13, 0)] = 60000;  // the entry after the 50 m one
    EXPECT_EQ(ReadAmbient(t, 0.8f, 55, 50), 6000);
    EXPECT_EQ(ReadAmbient(t, 0.8f, 55, 47.5f), 5500);
    ASSERT_EQ(write_tau(t.ambient.data(), 0.2f, 10, 50, 7000), 0);
    ASSERT_EQ(write_tau(t.ambient.data(), 0.2f, 15, 50, 9000), 0);
    EXPECT_EQ(ReadAmbient(t, 0.2f, 12.5f, 50), 8000);
}

TEST(AmbientTau, WritesNeedAGridDistanceAndKeepOffGridAmbientInTheSpareSlot)
{
    Tables t;
    ASSERT_EQ(write_tau(t.ambient.data(), 0.6f, 23.0f, 3.0f, 777), 0);
    EXPECT_EQ(t.ambient[AmbientEntry(2, 13, 32)], 777);
    ASSERT_EQ(write_tau(t.ambient.data(), 0.6f, 20.0004f, 3.0004f, 778), 0);  // within 0.001
    EXPECT_EQ(t.ambient[AmbientEntry(2, 5, 32)], 778);

    const std::vector<uint16_t> before = t.ambient;
    ExpectRefused("tau_table", "write_tau", "distance index not found",
                  [&] { return write_tau(t.ambient.data(), 0.6f, 20, 3.1f, 1); });
    ExpectRefused("tau_table", "get_temp_write_index", "d is invalid",
                  [&] { return write_tau(t.ambient.data(), 0.6f, 56, 3, 1); });
    ExpectRefused("tau_table", "get_dist_write_index", "d is invalid",
                  [&] { return write_tau(t.ambient.data(), 0.6f, 20, 50.01f, 1); });
    EXPECT_EQ(write_tau(t.ambient.data(), 0.6f, -5.5f, 3, 1), -1);
    EXPECT_EQ(write_tau(t.ambient.data(), 0.6f, 20, 0.2f, 1), -1);
    ExpectRefused("tau_table", "write_tau", "correct table is NULL",
                  [&] { return write_tau(nullptr, 0.6f, 20, 3, 1); });
    EXPECT_EQ(t.ambient, before);
}

TEST(AmbientTau, ReadRejectsDistancesOffTheGridRange)
{
    Tables t;
    uint16_t tau = 99;
    ExpectRefused("tau_table", "get_dist_read_index", "d is invalid",
                  [&] { return read_tau(t.ambient.data(), 0.2f, 20, 0.2f, &tau); });
    EXPECT_EQ(read_tau(t.ambient.data(), 0.2f, 20, 50.5f, &tau), -1);
    EXPECT_EQ(read_tau(t.ambient.data(), 0.2f, 20, std::nanf(""), &tau), -1);
    EXPECT_EQ(read_tau(t.ambient.data(), 0.2f, std::nanf(""), 1, &tau), -1);
    ExpectRefused("tau_table", "read_tau", "correct table is NULL",
                  [&] { return read_tau(nullptr, 0.2f, 20, 1, &tau); });
    EXPECT_EQ(read_tau(t.ambient.data(), 0.2f, 20, 1, nullptr), -1);
    EXPECT_EQ(tau, 99);
}

TEST(TargetTau, WholeTableRoundTripsAtEveryGridPoint)
{
    Tables t;
    for (int i = 0; i < 56; ++i)
        for (int d = 0; d < kDistanceCount; ++d)
            ASSERT_EQ(write_tau_with_target_temp_and_dist(t.target.data(), Target(i), kDistances[d], Distinct(0, i, d)),
                      0);
    for (int i = 0; i < 56; ++i)
        for (int d = 0; d < kDistanceCount; ++d) {
            ASSERT_EQ(t.target[size_t(i * kDistanceCount + d)], Distinct(0, i, d));
            ASSERT_EQ(ReadTarget(t, Target(i), kDistances[d]), Distinct(0, i, d));
        }
}

TEST(TargetTau, InterpolatesWithRoundingInsideTruncationAtTheEdgesAndFiftyMetresAtTheTop)
{
    Tables t;
    auto put = [&](float target, float distance, uint16_t tau) {
        ASSERT_EQ(write_tau_with_target_temp_and_dist(t.target.data(), target, distance, tau), 0);
    };
    put(100, 4.5f, 1000);
    put(100, 5.0f, 2001);
    put(125, 4.5f, 1000);
    put(125, 5.0f, 2001);
    EXPECT_EQ(ReadTarget(t, 100, 4.75f), 1501);  // 1500.5 rounded inside the grid
    EXPECT_EQ(ReadTarget(t, 112.5f, 4.5f), 1000);
    put(-25, 4.5f, 1000);
    put(-25, 5.0f, 2001);
    EXPECT_EQ(ReadTarget(t, -25, 4.75f), 1500);  // first row: truncated
    EXPECT_EQ(ReadTarget(t, -60, 4.75f), 1500);  // below the grid: the first row
    put(1350, 4.5f, 3000);
    put(1350, 5.0f, 3001);
    EXPECT_EQ(ReadTarget(t, 1350, 4.75f), 3000);
    EXPECT_EQ(ReadTarget(t, 2000, 5.0f), 3001);  // above the top: the last row
    // 50 m at the top stays inside the table.
    put(1325, 50, 100);
    put(1350, 50, 300);
    put(1350, 45, 999);
    EXPECT_EQ(ReadTarget(t, 1337.5f, 50), 200);
    EXPECT_EQ(ReadTarget(t, 1350, 50), 300);
    EXPECT_EQ(ReadTarget(t, 1350, 47.5f), 649);  // 649.5 truncated
}

TEST(TargetTau, WritesNeedGridPointsInsideTheGrid)
{
    Tables t;
    const std::vector<uint16_t> before = t.target;
    ExpectRefused("tau_table", "get_target_temp_write_index", "target tempperature is invalid",
                  [&] { return write_tau_with_target_temp_and_dist(t.target.data(), 1400, 1, 1); });
    ExpectRefused("tau_table", "write_tau_with_target_temp_and_dist", "target temperature index not found",
                  [&] { return write_tau_with_target_temp_and_dist(t.target.data(), 10, 1, 1); });
    ExpectRefused("tau_table", "write_tau_with_target_temp_and_dist", "distance index not found",
                  [&] { return write_tau_with_target_temp_and_dist(t.target.data(), 0, 1.01f, 1); });
    EXPECT_EQ(write_tau_with_target_temp_and_dist(t.target.data(), -26, 1, 1), -1);
    EXPECT_EQ(write_tau_with_target_temp_and_dist(nullptr, 0, 1, 1), -1);
    EXPECT_EQ(t.target, before);
    uint16_t tau = 5;
    ExpectRefused("tau_table", "read_tau_with_target_temp_and_dist", "data is NULL",
                  [&] { return read_tau_with_target_temp_and_dist(nullptr, 0, 1, &tau); });
    EXPECT_EQ(read_tau_with_target_temp_and_dist(t.target.data(), 0, 60, &tau), -1);
    EXPECT_EQ(tau, 5);
}

}  // namespace
