// Emissivity and transmittance coefficients, recalibration lines, the
// radiometric correction and the NUC conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "log_capture.h"
#include "zovarerev.h"

namespace {

constexpr int32_t kIdentityC1 = 1 << 20;  // f(X) = X for c = {0, 2^20, 0}

struct KeBe {
    int status;
    uint32_t ke;
    uint32_t be;
};

KeBe OldKeBe(uint32_t ems, uint32_t tau, uint32_t ta, uint32_t tu, const std::vector<int32_t>& coef, int8_t gain = 1)
{
    const uint32_t param[4] = { ems, tau, ta, tu };
    uint32_t out[2] = { 0xDEAD, 0xBEEF };
    const int status = calculate_KE_and_BE(param, coef.data(), gain, out);
    return { status, out[0], out[1] };
}

KeBe NewKeBe(int32_t ems, int32_t tau, int32_t ta, int32_t tu, const std::vector<int32_t>& coef, int8_t gain = 1)
{
    const int32_t param[4] = { ems, tau, ta, tu };
    int32_t out[2] = { 0xDEAD, 0xBEEF };
    const int status = calculate_new_KE_and_BE(param, coef.data(), gain, out);
    return { status, uint32_t(out[0]), uint32_t(out[1]) };
}

struct KeBeCase {
    int32_t ems, tau, ta, tu;
    std::vector<int32_t> coef;
    uint32_t ke, be;
};

TEST(KeBe, WorkedExamples)
{
    const KeBeCase cases[] = {
        { 128, 128, 300, 300, { 1000, 0, 0 }, 16383, 0 },  // full emissivity and transmission
        // f(X) = X: BE picks Tu through E (ems 64) and Ta through T (tau 64).
        { 64, 128, 300, 400, { 0, kIdentityC1, 0 }, 32766, 400 },
        { 128, 64, 300, 400, { 0, kIdentityC1, 0 }, 32766, 300 },
        { 64, 128, 300, 300, { 1000, 0, 0 }, 32766, 1000 },  // (16384 x 1000 + 8192) >> 14 truncates the half
        { 64, 128, 300, 400, { 0, 0, 20000 }, 32766, 3052 },  // 20000 x 400 x 400 exceeds 32 bits
        { 64, 128, 300, 300, { 20000, 0, 0 }, 32766, 16383 },  // clamped above
        { 64, 128, 300, 300, { -5, 0, 0 }, 32766, 0 },         // and below
        { 1, 1, 300, 300, { 16383, 0, 0 }, 268419072, 268402689 },  // largest E and T need 64 bits
    };
    for (const KeBeCase& c : cases) {
        const KeBe actual = OldKeBe(uint32_t(c.ems), uint32_t(c.tau), uint32_t(c.ta), uint32_t(c.tu), c.coef);
        EXPECT_EQ(actual.status, 0) << c.ems << " " << c.tau;
        EXPECT_EQ(actual.ke, c.ke) << c.ems << " " << c.tau;
        EXPECT_EQ(actual.be, c.be) << c.ems << " " << c.tau << " " << c.coef[0];
    }
}

TEST(KeBe, RejectsOutOfRangeInputs)
{
    const std::vector<int32_t> coef{ 1000, 0, 0 };
    const std::string fn = "calculate_KE_and_BE";
    ExpectRefused("calibrate", fn, "EMS is invalid", [&] { return OldKeBe(129, 128, 300, 300, coef).status; });
    EXPECT_EQ(OldKeBe(0, 128, 300, 300, coef).status, -1);
    ExpectRefused("calibrate", fn, "TAU is invalid", [&] { return OldKeBe(128, 0, 300, 300, coef).status; });
    ExpectRefused("calibrate", fn, "Ta or Tu is invalid in high gain mode",
                  [&] { return OldKeBe(128, 128, 229, 300, coef, 1).status; });
    EXPECT_EQ(OldKeBe(128, 128, 300, 431, coef, 1).status, -1);
    EXPECT_EQ(OldKeBe(128, 128, 300, 873, coef, 0).status, 0);
    ExpectRefused("calibrate", fn, "Ta or Tu is invalid in low gain mode",
                  [&] { return OldKeBe(128, 128, 300, 874, coef, 0).status; });
    // Other gain modes skip the range test, even for huge temperatures.
    EXPECT_EQ(OldKeBe(128, 64, 0xFFFFFFFFu, 5000, { 0, 0, 0x7FFFFFFF }, 2).status, 0);
    uint32_t out[2];
    const uint32_t param[4] = { 128, 128, 300, 300 };
    EXPECT_EQ(calculate_KE_and_BE(nullptr, coef.data(), 1, out), -1);
    EXPECT_EQ(calculate_KE_and_BE(param, coef.data(), 1, nullptr), -1);
}

TEST(NewKeBe, WorksInSixteenthsOfKelvinAndUnitsOf16384)
{
    const KeBeCase cases[] = {
        { 16384, 16384, 4800, 4800, { 1000, 0, 0 }, 16384, 0 },
        { 8192, 16384, 4800, 4800, { 1000, 0, 0 }, 32768, 1000 },
        // f(X) = X / 16 in kelvin; surroundings through E, atmosphere through T.
        { 8192, 16384, 4800, 6400, { 0, kIdentityC1, 0 }, 32768, 400 },
        { 16384, 8192, 4800, 6400, { 0, kIdentityC1, 0 }, 32768, 300 },
        { 8192, 16384, 4800, 4800, { 0, 0, 20000 }, 32768, 1717 },  // c2 x X x X >> 8 = 1.8e9
    };
    for (const KeBeCase& c : cases) {
        const KeBe actual = NewKeBe(c.ems, c.tau, c.ta, c.tu, c.coef);
        EXPECT_EQ(actual.status, 0) << c.ems << " " << c.tau;
        EXPECT_EQ(actual.ke, c.ke) << c.ems << " " << c.tau;
        EXPECT_EQ(actual.be, c.be) << c.ems << " " << c.tau << " " << c.coef[0];
    }
}

TEST(NewKeBe, RejectsOutOfRangeInputsAndResults)
{
    const std::vector<int32_t> coef{ 1000, 0, 0 };
    const std::string fn = "calculate_new_KE_and_BE";
    ExpectRefused("calibrate", fn, "new EMS is invalid",
                  [&] { return NewKeBe(16385, 16384, 4800, 4800, coef).status; });
    ExpectRefused("calibrate", fn, "new TAU is invalid", [&] { return NewKeBe(16384, 0, 4800, 4800, coef).status; });
    ExpectRefused("calibrate", fn, "new Ta or Tu is invalid in high gain mode",
                  [&] { return NewKeBe(16384, 16384, 3679, 4800, coef, 1).status; });
    EXPECT_EQ(NewKeBe(16384, 16384, 4800, 6881, coef, 1).status, -1);
    EXPECT_EQ(NewKeBe(16384, 16384, 4800, 13968, coef, 0).status, 0);
    ExpectRefused("calibrate", fn, "new Ta or Tu is invalid in low gain mode",
                  [&] { return NewKeBe(16384, 16384, 4800, 13969, coef, 0).status; });
    // 2^42 / 1 does not fit the 32-bit output: refused instead of wrapped.
    const KeBe tiny = NewKeBe(1, 1, 4800, 4800, coef);
    EXPECT_EQ(tiny.status, -1);
    EXPECT_EQ(tiny.ke, 0xDEADu);
}

TEST(KnBn, FollowsTheScaledIntegerFormula)
{
    auto knbn = [](std::vector<int16_t> coef, uint32_t v0, uint32_t v1, std::vector<int32_t> expected) {
        const uint16_t kt[2] = { 10, 20 };
        const uint32_t values[2] = { v0, v1 };
        int32_t out[2] = { 0, 0 };
        EXPECT_EQ(calculate_Kn_and_Bn(coef.data(), kt, values, out), 0);
        EXPECT_EQ(std::vector<int32_t>(out, out + 2), expected) << v0 << " " << v1;
    };
    // s = 21 x 16384 / 16 = 21504; Kn = (2000 x 16 / 10) >> 4 = 200.
    knbn({ 16, 0, 0 }, 3000, 1000, { 200, 3000 * 1024 - 200 * 21504 });
    // The second value may exceed the first: signed difference.
    knbn({ 16, 0, 0 }, 1000, 3000, { -200, 1000 * 1024 + 200 * 21504 });
    // Division truncates (-3201), the shift floors (-201).
    knbn({ 16, 0, 0 }, 1000, 3001, { -201, 1000 * 1024 + 201 * 21504 });
    knbn({ -16, 0, 0 }, 3000, 1000, { -200, 3000 * 1024 - 200 * 21504 });
}

TEST(KnBn, RejectsEqualPositionsAndZeroK0)
{
    const uint32_t values[2] = { 3000, 1000 };
    int32_t out[2] = { 7, 7 };
    const int16_t coef[3] = { 16, 0, 0 };
    const uint16_t same[2] = { 10, 10 };
    ExpectRefused("calibrate", "calculate_Kn_and_Bn", "kt_info is invalid",
                  [&] { return calculate_Kn_and_Bn(coef, same, values, out); });
    const int16_t zero[3] = { 0, 5, 5 };
    const uint16_t kt[2] = { 10, 20 };
    ExpectRefused("calibrate", "calculate_Kn_and_Bn", "coef is invalid",
                  [&] { return calculate_Kn_and_Bn(zero, kt, values, out); });
    EXPECT_EQ(calculate_Kn_and_Bn(coef, kt, nullptr, out), -1);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[1], 7);
}

TEST(Tau, RatioOfDifferencesCappedAtFullTransmission)
{
    EXPECT_EQ(calculate_tau(200, 100, 300, 100), 8192);
    EXPECT_EQ(calculate_tau(300, 100, 200, 100), 16384);
    EXPECT_EQ(calculate_tau(101, 100, 103, 100), 5461);  // 5461.33 truncated
    EXPECT_EQ(calculate_tau(100, 200, 100, 300), 8192);   // both differences negative
    EXPECT_EQ(calculate_tau(100, 100, 300, 100), 0);
    ExpectRefused("calibrate", "calculate_tau", "c is equal to d", [&] { return calculate_tau(200, 100, 300, 300); });
    ExpectRefused("calibrate", "calculate_tau", "a - b and c - d differ in sign",
                  [&] { return calculate_tau(200, 100, 100, 300); });
}

TEST(Recalibrate, SinglePointKeepsK1024)
{
    const uint32_t kb[2] = { 2, 7 };
    int32_t out[2] = { 0, 0 };
    ASSERT_EQ(single_point_recalibrate_KB(kb, 100, 25.5, out), 0);
    EXPECT_EQ(out[0], 1024);
    EXPECT_EQ(out[1], 26112 - 207);
    ASSERT_EQ(single_point_recalibrate_KB(kb, 100, -10.3, out), 0);
    EXPECT_EQ(out[0], 1024);
    EXPECT_EQ(out[1], -10754);  // -10754.2 truncated toward zero
    const uint32_t huge[2] = { 4000000000u, 0 };
    EXPECT_EQ(single_point_recalibrate_KB(huge, 4000000000u, 0.0, out), -1);
    EXPECT_EQ(single_point_recalibrate_KB(kb, 100, std::nan(""), out), -1);
    EXPECT_EQ(single_point_recalibrate_KB(nullptr, 100, 1.0, out), -1);
    EXPECT_EQ(out[1], -10754);
}

TEST(Recalibrate, DoublePointLineThroughTwoReferences)
{
    auto recalibrate = [](uint32_t k, uint32_t b, uint32_t n0, uint32_t n1, double t0, double t1) {
        const uint32_t kb[2] = { k, b };
        const uint32_t nuc[2] = { n0, n1 };
        const double temp[2] = { t0, t1 };
        std::vector<int32_t> out{ 0, 0 };
        EXPECT_EQ(double_point_recalibrate_KB(kb, nuc, temp, out.data()), 0);
        return out;
    };
    // K = trunc(2^20 x 25 / 2000) = 13107; B = 51200 - 52428000 / 1024.
    EXPECT_EQ(recalibrate(2, 0, 2000, 1000, 50, 25), (std::vector<int32_t>{ 13107, 1 }));
    // Reference order does not matter: the raw difference is signed.
    EXPECT_EQ(recalibrate(2, 0, 1000, 2000, 25, 50), (std::vector<int32_t>{ 13107, 1 }));
    // The offset is divided as an integer: 34950000 / 1024 = 34130.
    EXPECT_EQ(recalibrate(3, 500, 1500, 500, 40, 20), (std::vector<int32_t>{ 6990, 40960 - 34130 }));
    EXPECT_EQ(recalibrate(3, 500, 1500, 500, 20, 40), (std::vector<int32_t>{ -6990, 20480 + 34130 }));
}

TEST(Recalibrate, DoublePointRejectsZeroDivisors)
{
    const double temp[2] = { 50, 25 };
    const uint32_t equal[2] = { 1000, 1000 };
    const uint32_t nuc[2] = { 2000, 1000 };
    const uint32_t kb[2] = { 2, 0 };
    const uint32_t zero_k[2] = { 0, 0 };
    int32_t out[2] = { 9, 9 };
    ExpectRefused("calibrate", "double_point_recalibrate_KB", "the two nuc values are equal",
                  [&] { return double_point_recalibrate_KB(kb, equal, temp, out); });
    ExpectRefused("calibrate", "double_point_recalibrate_KB", "k is invalid",
                  [&] { return double_point_recalibrate_KB(zero_k, nuc, temp, out); });
    EXPECT_EQ(double_point_recalibrate_KB(kb, nuc, nullptr, out), -1);
    EXPECT_EQ(out[0], 9);
}

TEST(EnvTemp, DoublePrecisionFormula)
{
    const int32_t a[2] = { 2, 100 };
    const int32_t b[2] = { 1024, 2048 };
    double out = 0;
    ASSERT_EQ(env_temp_calculate(a, b, 1000, &out), 0);
    EXPECT_EQ(out, 4.05078125);
    const int32_t na[2] = { -3, 0 };
    const int32_t nb[2] = { 512, 0 };
    ASSERT_EQ(env_temp_calculate(na, nb, 2, &out), 0);
    EXPECT_EQ(out, -3.0 / 1024);
    EXPECT_EQ(env_temp_calculate(a, nullptr, 1, &out), -1);
}

TEST(FindAddr, FirstAndLastChangeWithinTheArrayNothingPastItsEnd)
{
    const std::vector<uint16_t> steps{ 5, 5, 5, 7, 7, 9, 9, 9 };
    uint16_t range[2] = { 0, 7 };
    uint16_t out[2] = { 111, 222 };
    ASSERT_EQ(find_start_and_end_addr(steps.data(), range, 8, out), 0);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[1], 5);

    const std::vector<uint16_t> from_range{ 1, 2, 2, 2, 3, 3 };
    range[0] = 2;
    range[1] = 5;
    ASSERT_EQ(find_start_and_end_addr(from_range.data(), range, 6, out), 0);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 4);

    // A flat array leaves the output; exactly sized on the heap, so a read
    // past its end trips the address sanitizer.
    const std::vector<uint16_t> flat(6, 42);
    range[0] = 0;
    out[0] = 111;
    out[1] = 222;
    ASSERT_EQ(find_start_and_end_addr(flat.data(), range, 6, out), 0);
    EXPECT_EQ(out[0], 111);
    EXPECT_EQ(out[1], 222);
    const uint16_t past[2] = { 0, 6 };
    ExpectRefused("calibrate", "find_start_and_end_addr", "range is invalid",
                  [&] { return find_start_and_end_addr(flat.data(), past, 6, out); });
    EXPECT_EQ(find_start_and_end_addr(nullptr, range, 6, out), -1);
}

float Corrected(float ems, uint16_t tau, float ta, float org)
{
    float out = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(temp_correct(ems, tau, ta, org, &out), 0) << ems << " " << tau << " " << ta << " " << org;
    return out;
}

TEST(TempCorrect, IdentityAtFullEmissivityAndTransmission)
{
    for (float org = -40.0f; org <= 600.0f; org += 7.5f)
        EXPECT_NEAR(Corrected(1.0f, 16384, 25.0f, org), org, 1e-3) << org;
}

TEST(TempCorrect, InvertsTheRadiometricModel)
{
    // A body at 150 degC seen with et = ems x tau / 16384 among 25 degC surroundings
    // measures (et T^4 + (1 - et) Ta^4)^(1/4).
    for (auto [ems, tau] : { std::pair<float, uint16_t>{ 0.8f, 16384 }, { 0.9f, 8192 }, { 0.3f, 12000 } }) {
        const double et = double(ems) * tau / 16384.0;
        const double body = 150 + 273.15, ambient = 25 + 273.15;
        const double measured = std::pow(et * std::pow(body, 4) + (1 - et) * std::pow(ambient, 4), 0.25) - 273.15;
        EXPECT_NEAR(Corrected(ems, tau, 25.0f, float(measured)), 150.0, 0.01) << ems << " " << tau;
    }
    // A measurement equal to the surroundings is the surroundings' temperature.
    EXPECT_NEAR(Corrected(0.5f, 10000, 30.0f, 30.0f), 30.0, 1e-3);
}

TEST(TempCorrect, RejectsBadInputsAndUnexplainableMeasurements)
{
    float out = 1234.0f;
    ExpectRefused("calibrate", "temp_correct", "data is invalid",
                  [&] { return temp_correct(0.0005f, 16384, 25, 30, &out); });
    EXPECT_EQ(temp_correct(1.0f, 0, 25, 30, &out), -1);
    EXPECT_EQ(temp_correct(1.0f, 16384, 25, 30, nullptr), -1);
    EXPECT_EQ(temp_correct(std::nanf(""), 16384, 25, 30, &out), -1);
    // Colder than the reflected share of 40 degC surroundings at et 0.1: no real root.
    EXPECT_EQ(temp_correct(0.1f, 16384, 40, -20, &out), -1);
    // A radiance finite in double whose temperature does not fit a float.
    EXPECT_EQ(temp_correct(0.001f, 1, 20.0f, 1.0e37f, &out), -1);
    EXPECT_EQ(out, 1234.0f);
}

uint16_t Recalc(uint32_t k, uint16_t b, uint16_t nuc)
{
    const env_factor_t factor{ k, b };
    uint16_t out = 0;
    EXPECT_EQ(recalc_NUC_with_env_correct(&factor, nuc, &out), 0);
    return out;
}

TEST(NucConversion, RecalcClampsWithoutWrapping)
{
    EXPECT_EQ(Recalc(16384, 100, 1000), 900);
    EXPECT_EQ(Recalc(32768, 0, 8191), 16382);
    EXPECT_EQ(Recalc(32768, 0, 10000), 16383);
    EXPECT_EQ(Recalc(16384, 100, 50), 16383);            // negative
    EXPECT_EQ(Recalc(16384 * 8, 0, 9000), 16383);        // 72000: a 16-bit wrap would give 6464
    EXPECT_EQ(Recalc(0xFFFFFFFFu, 0, 65535), 16383);     // product beyond 32 bits
    uint16_t out = 5;
    ExpectRefused("calibrate", "recalc_NUC_with_env_correct", "env_factor is NULL",
                  [&] { return recalc_NUC_with_env_correct(nullptr, 1, &out); });
    EXPECT_EQ(out, 5);
}

TEST(NucConversion, ReverseWithEnvironmentQuadratic)
{
    auto reverse = [](std::vector<int32_t> factor, double temp) {
        uint16_t out = 777;
        EXPECT_EQ(reverse_calc_NUC_with_env_correct(factor.data(), temp, &out), 0);
        return out;
    };
    EXPECT_EQ(reverse({ 100, 2 << 20, 0 }, 50.0), 200);   // 200.5 truncated
    EXPECT_EQ(reverse({ 0, 0, 1 << 20 }, 100.0), 10000);  // 10000.5 truncated
    EXPECT_EQ(reverse({ 0, 0, 1 << 20 }, 200.0), 16383);
    EXPECT_EQ(reverse({ -50, 0, 0 }, 0.0), 0);
    uint16_t out = 777;
    const int32_t factor[3] = { 0, 0, 1 };
    EXPECT_EQ(reverse_calc_NUC_with_env_correct(factor, std::nan(""), &out), -1);
    ExpectRefused("calibrate", "reverse_calc_NUC_with_env_correct", "nuc_factor is NULL",
                  [&] { return reverse_calc_NUC_with_env_correct(nullptr, 1.0, &out); });
    EXPECT_EQ(out, 777);
}

TEST(NucConversion, ReverseWithoutEnvironmentRejectsZeroK)
{
    auto reverse = [](uint32_t k, uint32_t b, uint16_t value) {
        const uint32_t factor[2] = { k, b };
        uint16_t out = 777;
        EXPECT_EQ(reverse_calc_NUC_without_env_correct(factor, value, &out), 0);
        return out;
    };
    EXPECT_EQ(reverse(16384, 100, 900), 1000);
    EXPECT_EQ(reverse(32768, 1, 2), 1);         // 1.5 truncated
    EXPECT_EQ(reverse(16384, 70000, 0), 16383);  // a 16-bit wrap would give 4464
    const uint32_t zero[2] = { 0, 100 };
    uint16_t out = 777;
    ExpectRefused("calibrate", "reverse_calc_NUC_without_env_correct", "k is invalid",
                  [&] { return reverse_calc_NUC_without_env_correct(zero, 1, &out); });
    EXPECT_EQ(reverse_calc_NUC_without_env_correct(nullptr, 1, &out), -1);
    EXPECT_EQ(out, 777);
}

}  // namespace
