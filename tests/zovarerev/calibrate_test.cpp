// Emissivity and transmittance coefficients, recalibration lines, the
// radiometric correction and the NUC conversions: worked examples as tables.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <tuple>
#include <vector>

#include "log_capture.h"
#include "zovarerev.h"

namespace {

constexpr int32_t kIdentity = 1 << 20;  // c1 of the model f(X) = X
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

struct KeBeCase {
    bool sixteenths;  // calculate_new_KE_and_BE, else calculate_KE_and_BE
    int32_t ems, tau, ta, tu;
    std::vector<int32_t> coef;
    int8_t gain;
    int status;
    uint32_t ke, be;
};

TEST(Calibrate, KeAndBeWorkedExamples)
{
    const std::vector<int32_t> c1000{ 1000, 0, 0 }, identity{ 0, kIdentity, 0 };
    const KeBeCase cases[] = {
        { false, 128, 128, 300, 300, c1000, 1, 0, 16383, 0 },  // full emissivity and transmission
        // f(X) = X: BE picks Tu through the emissivity, Ta through the transmission.
        { false, 64, 128, 300, 400, identity, 1, 0, 32766, 400 }, { false, 128, 64, 300, 400, identity, 1, 0, 32766, 300 },
        { false, 64, 128, 300, 300, c1000, 1, 0, 32766, 1000 },  // the half truncated
        { false, 64, 128, 300, 400, { 0, 0, 20000 }, 1, 0, 32766, 3052 },  // c2 X^2 beyond 32 bits
        { false, 64, 128, 300, 300, { 20000, 0, 0 }, 1, 0, 32766, 16383 }, { false, 64, 128, 300, 300, { -5, 0, 0 }, 1, 0, 32766, 0 },
        { false, 1, 1, 300, 300, { 16383, 0, 0 }, 1, 0, 268419072, 268402689 },  // 64-bit products
        { false, 128, 128, 300, 873, c1000, 0, 0, 16383, 0 },                 // low gain top
        { false, 128, 64, -1, 5000, { 0, 0, 0x7FFFFFFF }, 2, 0, 32766, 16383 },  // no range test
        { true, 16384, 16384, 4800, 4800, c1000, 1, 0, 16384, 0 }, { true, 8192, 16384, 4800, 4800, c1000, 1, 0, 32768, 1000 },
        // 1/16 kelvin
        { true, 8192, 16384, 4800, 6400, identity, 1, 0, 32768, 400 }, { true, 16384, 8192, 4800, 6400, identity, 1, 0, 32768, 300 },
        { true, 8192, 16384, 4800, 4800, { 0, 0, 20000 }, 1, 0, 32768, 1717 }, { true, 16384, 16384, 4800, 13968, c1000, 0, 0, 16384, 0 },
        // Refused: out of range, or 2^42 not fitting the output.
        { false, 129, 128, 300, 300, c1000, 1, -1, 0, 0 }, { false, 128, 0, 300, 300, c1000, 1, -1, 0, 0 },
        { false, 128, 128, 229, 300, c1000, 1, -1, 0, 0 }, { false, 128, 128, 300, 431, c1000, 1, -1, 0, 0 },
        { false, 128, 128, 300, 874, c1000, 0, -1, 0, 0 },
        { true, 16385, 16384, 4800, 4800, c1000, 1, -1, 0, 0 }, { true, 16384, 0, 4800, 4800, c1000, 1, -1, 0, 0 },
        { true, 16384, 16384, 4800, 6881, c1000, 1, -1, 0, 0 }, { true, 16384, 16384, 4800, 13969, c1000, 0, -1, 0, 0 },
        { true, 1, 1, 4800, 4800, c1000, 1, -1, 0, 0 },
    };
    for (const KeBeCase& c : cases) {
        int32_t out[2] = { 0, 0 };
        const int32_t param[4] = { c.ems, c.tau, c.ta, c.tu };
        int status = 0;
        const std::string printed = CaptureLog([&] {
            status = c.sixteenths ? calculate_new_KE_and_BE(param, c.coef.data(), c.gain, out)
                                  : calculate_KE_and_BE(reinterpret_cast<const uint32_t*>(param), c.coef.data(),
                                                        c.gain, reinterpret_cast<uint32_t*>(out));
        });
        EXPECT_EQ(std::make_tuple(status, uint32_t(out[0]), uint32_t(out[1]), printed.empty()),
                  std::make_tuple(c.status, c.ke, c.be, c.status == 0))
            << c.ems << " " << c.tau << " " << c.tu;
    }
}

TEST(Calibrate, TwoPointCoefficientsAndTau)
{
    // s = 21 x 16384 / 16 = 21504 for positions 10, 20; Kn = (dv x k0 / 10) >> 4:
    // signed, the division truncating and the shift flooring.
    const std::pair<std::array<int32_t, 3>, std::array<int32_t, 2>> knbn[] = {
        { { 16, 3000, 1000 }, { 200, 3000 * 1024 - 200 * 21504 } }, { { 16, 1000, 3000 }, { -200, 1000 * 1024 + 200 * 21504 } },
        { { 16, 1000, 3001 }, { -201, 1000 * 1024 + 201 * 21504 } }, { { -16, 3000, 1000 }, { -200, 3000 * 1024 - 200 * 21504 } } };
    for (const auto& [in, expected] : knbn) {
        const int16_t coef[3] = { int16_t(in[0]), 0, 0 };
        const uint16_t kt[2] = { 10, 20 };
        const uint32_t values[2] = { uint32_t(in[1]), uint32_t(in[2]) };
        int32_t out[2] = { 0, 0 };
        EXPECT_EQ(calculate_Kn_and_Bn(coef, kt, values, out), 0);
        EXPECT_EQ(std::vector<int32_t>(out, out + 2), std::vector<int32_t>(expected.begin(), expected.end()))
            << in[1] << " " << in[2];
    }
    // Ratio of differences in 1/16384, truncated and capped at full transmission.
    const std::array<int, 5> taus[] = { { 200, 100, 300, 100, 8192 }, { 300, 100, 200, 100, 16384 },
        { 101, 100, 103, 100, 5461 }, { 100, 200, 100, 300, 8192 }, { 100, 100, 300, 100, 0 } };
    for (const auto& [a, b, c, d, expected] : taus)
        EXPECT_EQ(calculate_tau(uint16_t(a), uint16_t(b), uint16_t(c), uint16_t(d)), expected) << a << " " << c;
}

TEST(Calibrate, RecalibrationLines)
{
    const uint32_t kb[2] = { 2, 7 };
    int32_t out[2] = { 0, 0 };
    ASSERT_EQ(single_point_recalibrate_KB(kb, 100, 25.5, out), 0);
    EXPECT_EQ(std::vector<int32_t>(out, out + 2), (std::vector<int32_t>{ 1024, 26112 - 207 }));
    ASSERT_EQ(single_point_recalibrate_KB(kb, 100, -10.3, out), 0);
    EXPECT_EQ(out[1], -10754);  // truncated toward zero

    // K = trunc(2^20 dT / (dn k)); B = 1024 T0 - (k n0 + b) K / 1024, integer division.
    const std::pair<std::array<double, 6>, std::vector<int32_t>> lines[] = {  // either reference order
        { { 2, 0, 2000, 1000, 50, 25 }, { 13107, 1 } }, { { 2, 0, 1000, 2000, 25, 50 }, { 13107, 1 } },
        { { 3, 500, 1500, 500, 40, 20 }, { 6990, 40960 - 34130 } }, { { 3, 500, 1500, 500, 20, 40 }, { -6990, 20480 + 34130 } } };
    for (const auto& [in, expected] : lines) {
        const uint32_t k_b[2] = { uint32_t(in[0]), uint32_t(in[1]) };
        const uint32_t nuc[2] = { uint32_t(in[2]), uint32_t(in[3]) };
        const double temp[2] = { in[4], in[5] };
        EXPECT_EQ(double_point_recalibrate_KB(k_b, nuc, temp, out), 0);
        EXPECT_EQ(std::vector<int32_t>(out, out + 2), expected) << in[2] << " " << in[4];
    }
}

// Environment temperature in double precision; the address search reads
// nothing past the array.
TEST(Calibrate, EnvironmentTemperatureAndAddressSearch)
{
    const int32_t a[2] = { -3, 100 }, b[2] = { 512, 2048 };
    double env = 0;
    ASSERT_EQ(env_temp_calculate(a, b, 1000, &env), 0);
    EXPECT_EQ(env, 598.0 / 1024);  // ((-3 x 1000 + 100) x 512 / 1024 + 2048) / 1024

    // Arrays sized exactly, so a read past the end trips the address sanitizer.
    struct Search {
        std::vector<uint16_t> array;
        uint16_t from, to;
        std::vector<uint16_t> expected;  // a flat array leaves the output alone
    };
    const Search searches[] = { { { 5, 5, 5, 7, 7, 9, 9, 9 }, 0, 7, { 3, 5 } }, { { 1, 2, 2, 2, 3, 3 }, 2, 5, { 4, 4 } },
                                { std::vector<uint16_t>(6, 42), 0, 5, { 111, 222 } } };
    for (const Search& s : searches) {
        const uint16_t range[2] = { s.from, s.to };
        std::vector<uint16_t> out{ 111, 222 };
        ASSERT_EQ(find_start_and_end_addr(s.array.data(), range, uint16_t(s.array.size()), out.data()), 0);
        EXPECT_EQ(out, s.expected) << s.from;
    }
}

float Corrected(float ems, uint16_t tau, float ta, float org)
{
    float out = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(temp_correct(ems, tau, ta, org, &out), 0) << ems << " " << tau << " " << ta << " " << org;
    return out;
}

TEST(Calibrate, TempCorrectInvertsTheRadiometricModel)
{
    for (float org = -40.0f; org <= 600.0f; org += 7.5f)
        EXPECT_NEAR(Corrected(1.0f, 16384, 25.0f, org), org, 1e-3) << org;
    // A body at 150 degC seen with et = ems x tau / 16384 among 25 degC
    // surroundings measures (et T^4 + (1 - et) Ta^4)^(1/4).
    for (auto [ems, tau] : { std::pair<float, uint16_t>{ 0.8f, 16384 }, { 0.9f, 8192 }, { 0.3f, 12000 } }) {
        const double et = double(ems) * tau / 16384.0, body = 150 + 273.15, ambient = 25 + 273.15;
        const double measured = std::pow(et * std::pow(body, 4) + (1 - et) * std::pow(ambient, 4), 0.25) - 273.15;
        EXPECT_NEAR(Corrected(ems, tau, 25.0f, float(measured)), 150.0, 0.01) << ems << " " << tau;
    }
    EXPECT_NEAR(Corrected(0.5f, 10000, 30.0f, 30.0f), 30.0, 1e-3);
}

TEST(Calibrate, NucConversionsClampWithoutWrapping)
{
    const std::array<uint32_t, 4> recalc[] = {
        // k, b, nuc, ((nuc k) >> 14) - b limited to 16383: negative, not wrapped to 16 bits, beyond 32 bits
        { 16384, 100, 1000, 900 }, { 32768, 0, 8191, 16382 }, { 32768, 0, 10000, 16383 },
        { 16384, 100, 50, 16383 }, { 16384 * 8, 0, 9000, 16383 }, { 0xFFFFFFFFu, 0, 65535, 16383 },
    };
    for (const auto& [k, b, nuc, expected] : recalc) {
        const env_factor_t factor{ k, uint16_t(b) };
        uint16_t out = 0;
        EXPECT_EQ(recalc_NUC_with_env_correct(&factor, uint16_t(nuc), &out), 0);
        EXPECT_EQ(out, expected) << k << " " << nuc;
    }
    const std::pair<std::array<double, 4>, uint16_t> quadratic[] = {  // halves truncated
        { { 100, 2 << 20, 0, 50 }, 200 }, { { 0, 0, 1 << 20, 100 }, 10000 }, { { 0, 0, 1 << 20, 200 }, 16383 },
        { { -50, 0, 0, 0 }, 0 } };
    for (const auto& [in, expected] : quadratic) {
        const int32_t factor[3] = { int32_t(in[0]), int32_t(in[1]), int32_t(in[2]) };
        uint16_t out = 777;
        EXPECT_EQ(reverse_calc_NUC_with_env_correct(factor, in[3], &out), 0);
        EXPECT_EQ(out, expected) << in[3];
    }
    const std::array<uint32_t, 4> linear[] = { { 16384, 100, 900, 1000 }, { 32768, 1, 2, 1 }, { 16384, 70000, 0, 16383 } };
    for (const auto& [k, b, value, expected] : linear) {
        const uint32_t factor[2] = { k, b };
        uint16_t out = 777;
        EXPECT_EQ(reverse_calc_NUC_without_env_correct(factor, uint16_t(value), &out), 0);
        EXPECT_EQ(out, expected) << k << " " << value;
    }
}

TEST(Calibrate, BadArgumentsAreRefusedWithoutWriting)
{
    const int16_t coef[3] = { 16, 0, 0 }, zero_coef[3] = { 0, 5, 5 };
    const uint16_t kt[2] = { 10, 20 }, same_kt[2] = { 10, 10 };
    const uint32_t values[2] = { 3000, 1000 }, equal_nuc[2] = { 1000, 1000 };
    const uint32_t kb[2] = { 2, 0 }, zero_k[2] = { 0, 100 }, huge[2] = { 4000000000u, 0 };
    const double temps[2] = { 50, 25 };
    const int32_t model[3] = { 0, 0, 1 };
    const std::vector<uint16_t> flat(6, 42);
    const uint16_t past_end[2] = { 0, 6 };
    int32_t out[2] = { 9, 9 };
    uint16_t value = 9, addr[2] = { 9, 9 };
    float corrected = 9;
    auto correct = [&](float ems, uint16_t tau, float ta, float org) { return temp_correct(ems, tau, ta, org, &corrected); };
    ExpectRefused({
        [&] { return calculate_KE_and_BE(nullptr, model, 1, reinterpret_cast<uint32_t*>(out)); },
        [&] { return calculate_Kn_and_Bn(coef, same_kt, values, out); }, [&] { return calculate_Kn_and_Bn(zero_coef, kt, values, out); },
        [&] { return calculate_tau(200, 100, 300, 300); }, [&] { return calculate_tau(200, 100, 100, 300); },
        [&] { return single_point_recalibrate_KB(huge, 4000000000u, 0.0, out); },
        [&] { return single_point_recalibrate_KB(kb, 100, kNan, out); },
        [&] { return double_point_recalibrate_KB(kb, equal_nuc, temps, out); },
        [&] { return double_point_recalibrate_KB(zero_k, values, temps, out); },
        [&] { return env_temp_calculate(model, nullptr, 1, nullptr); },
        [&] { return find_start_and_end_addr(flat.data(), past_end, 6, addr); },
        [&] { return correct(0.0005f, 16384, 25, 30); }, [&] { return correct(1.0f, 0, 25, 30); },
        [&] { return correct(std::nanf(""), 16384, 25, 30); },
        [&] { return correct(0.1f, 16384, 40, -20); },      // colder than the reflected share: no real root
        [&] { return correct(0.001f, 1, 20.0f, 1.0e37f); },  // finite radiance, temperature beyond float
        [&] { return recalc_NUC_with_env_correct(nullptr, 1, &value); },
        [&] { return reverse_calc_NUC_with_env_correct(model, kNan, &value); },
        [&] { return reverse_calc_NUC_without_env_correct(zero_k, 1, &value); },
    });
    EXPECT_EQ(std::vector<int32_t>(out, out + 2), (std::vector<int32_t>{ 9, 9 }));
    EXPECT_EQ(value + addr[0] + addr[1], 27);
    EXPECT_EQ(corrected, 9.0f);
}

}  // namespace
