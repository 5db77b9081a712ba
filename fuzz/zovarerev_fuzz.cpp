// Every exported function of zovarerev on fuzzer-chosen images, positions,
// coefficients and tables, each array exactly as long as the header says.
// A refused call must leave its output as it was.
#include "fuzz_buffers.h"
#include "zovarerev.h"

#include <cmath>
#include <cstdlib>

namespace {

template <typename T>
void expectUntouchedOnFailure(int result, const T& before, const T& after)
{
    if (result < 0 && std::memcmp(&before, &after, sizeof(T)) != 0)
        std::abort();
}

image_res_t imageSize(FuzzedDataProvider& input)
{
    return image_res_t{input.ConsumeIntegralInRange<uint16_t>(0, 64), input.ConsumeIntegralInRange<uint16_t>(0, 64)};
}

void measure(FuzzedDataProvider& input)
{
    const image_res_t res = imageSize(input);
    const int which = input.ConsumeIntegralInRange(0, 3);
    point_t point{input.ConsumeIntegralInRange(-2, 70), input.ConsumeIntegralInRange(-2, 70)};
    line_t line{input.ConsumeIntegralInRange(-2, 70), input.ConsumeIntegralInRange(-2, 70),
                input.ConsumeIntegralInRange(-2, 70), input.ConsumeIntegralInRange(-2, 70)};
    rect_t rect{input.ConsumeIntegral<uint32_t>() % 80, input.ConsumeIntegral<uint32_t>() % 80,
                input.ConsumeIntegral<uint32_t>(), input.ConsumeIntegral<uint32_t>()};
    if (input.ConsumeBool()) {
        rect.width %= 80;
        rect.height %= 80;
    }
    ExactBuffer<uint16_t> image((size_t)res.width * res.height, input);
    uint16_t value = 0x5A5A;
    temp_stat_t stat;
    std::memset(&stat, 0x5A, sizeof stat);
    const temp_stat_t before = stat;
    switch (which) {
    case 0:
        if (get_point_temp(image.get(), res, point, &value) < 0 && value != 0x5A5A)
            std::abort();
        break;
    case 1:
        if (get_NUC_value(image.get(), res, point, &value) < 0 && value != 0x5A5A)
            std::abort();
        break;
    case 2:
        expectUntouchedOnFailure(get_line_temp(image.get(), res, &line, &stat), before, stat);
        break;
    default:
        expectUntouchedOnFailure(get_rect_temp(image.get(), res, &rect, &stat), before, stat);
    }
    const temp_threshold_t threshold{input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>()};
    point_over_threshold_alarm(threshold, value);
    line_rect_over_threshold_alarm(threshold, &stat);
}

void tables(FuzzedDataProvider& input)
{
    const float a = input.ConsumeFloatingPoint<float>(), b = input.ConsumeFloatingPoint<float>();
    const float c = input.ConsumeFloatingPoint<float>();
    const uint16_t tau = input.ConsumeIntegral<uint16_t>();
    uint16_t out = 0;
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0: {
        ExactBuffer<uint16_t> table(ZOVAREREV_NUC_TABLE_ENTRIES, input);
        remap_temp(table.get(), input.ConsumeIntegral<uint16_t>(), &out);
        break;
    }
    case 1: {
        ExactBuffer<uint16_t> table(ZOVAREREV_AMBIENT_TAU_TABLE_ENTRIES, input);
        write_tau(table.get(), a, b, c, tau);
        read_tau(table.get(), a, b, c, &out);
        break;
    }
    default: {
        ExactBuffer<uint16_t> table(ZOVAREREV_TARGET_TAU_TABLE_ENTRIES, input);
        write_tau_with_target_temp_and_dist(table.get(), a, b, tau);
        read_tau_with_target_temp_and_dist(table.get(), a, b, &out);
    }
    }
}

void calibrate(FuzzedDataProvider& input)
{
    ExactBuffer<uint32_t> param(4, input), kb(2, input), nuc(2, input);
    ExactBuffer<int32_t> coef(3, input), newParam(4, input), envA(2, input), envB(2, input);
    ExactBuffer<int16_t> knCoef(3, input);
    ExactBuffer<uint16_t> positions(2, input);
    ExactBuffer<double> temps(2, input);
    const int8_t gain = input.ConsumeIntegral<int8_t>();
    uint32_t ke[2] = {};
    int32_t out[2] = {};
    double env = 0;
    calculate_KE_and_BE(param.get(), coef.get(), gain, ke);
    calculate_new_KE_and_BE(newParam.get(), coef.get(), gain, out);
    calculate_Kn_and_Bn(knCoef.get(), positions.get(), kb.get(), out);
    calculate_tau(input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                  input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>());
    single_point_recalibrate_KB(kb.get(), input.ConsumeIntegral<uint32_t>(), temps[0], out);
    double_point_recalibrate_KB(kb.get(), nuc.get(), temps.get(), out);
    env_temp_calculate(envA.get(), envB.get(), input.ConsumeIntegral<uint16_t>(), &env);
}

void correct(FuzzedDataProvider& input)
{
    float corrected = 1234.5f;
    const float ems = input.ConsumeFloatingPoint<float>();
    const uint16_t tau = input.ConsumeIntegral<uint16_t>();
    const float ta = input.ConsumeFloatingPoint<float>(), measured = input.ConsumeFloatingPoint<float>();
    const int result = temp_correct(ems, tau, ta, measured, &corrected);
    if ((result < 0 && corrected != 1234.5f) || (result == 0 && !std::isfinite(corrected)))
        std::abort();
    const env_factor_t factor{input.ConsumeIntegral<uint32_t>(), input.ConsumeIntegral<uint16_t>()};
    ExactBuffer<int32_t> nucFactor(3, input);
    ExactBuffer<uint32_t> envFactor(2, input);
    uint16_t out = 0;
    recalc_NUC_with_env_correct(&factor, input.ConsumeIntegral<uint16_t>(), &out);
    reverse_calc_NUC_with_env_correct(nucFactor.get(), input.ConsumeFloatingPoint<double>(), &out);
    reverse_calc_NUC_without_env_correct(envFactor.get(), input.ConsumeIntegral<uint16_t>(), &out);

    const uint16_t len = input.ConsumeIntegralInRange<uint16_t>(0, 512);
    ExactBuffer<uint16_t> array(len, input), range(2, input);
    uint16_t addresses[2] = {};
    find_start_and_end_addr(array.get(), range.get(), len, addresses);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    irtemp_log_register(2);
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
        measure(input);
        break;
    case 1:
        tables(input);
        break;
    case 2:
        calibrate(input);
        break;
    case 3:
        correct(input);
        break;
    default:
        if (irtemp_version() == nullptr)
            std::abort();
        irtemp_log_register(input.ConsumeIntegralInRange(2, 9));
    }
    return 0;
}
