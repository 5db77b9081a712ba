// Every exported function of vuzovaredero on fuzzer-chosen images, sizes,
// palettes and parameters (floats included: NaN, infinities, negatives),
// with every buffer exactly as large as the size it is passed with.
#include "fuzz_buffers.h"
#include "vuzovaredero.h"

#include <cstdlib>

namespace {

using Transform = int (*)(const uint8_t*, image_res_t, int, uint8_t*);

const Transform transforms[] = {flip, mirror, rotate_180, rotate_left_90, rotate_right_90};

size_t bytesPerPixel(int format)
{
    return format == PIXFMT_Y14 ? 2 : 3;
}

image_res_t imageSize(FuzzedDataProvider& input)
{
    return image_res_t{input.ConsumeIntegralInRange<uint16_t>(0, 96), input.ConsumeIntegralInRange<uint16_t>(0, 96)};
}

size_t pixelsOf(image_res_t res)
{
    return (size_t)res.width * res.height;
}

void transform(FuzzedDataProvider& input)
{
    const Transform function = transforms[input.ConsumeIntegralInRange<size_t>(0, 4)];
    const int format = input.PickValueInArray({0, 3, 4, input.ConsumeIntegral<int>()});
    const image_res_t res = imageSize(input);
    const size_t bytes = pixelsOf(res) * (format == 0 || format == 3 || format == 4 ? bytesPerPixel(format) : 1);
    ExactBuffer<uint8_t> src(bytes, input), dst(bytes);
    int result = function(src.get(), res, format, dst.get());
    if (result == 0 && (format != 0 && format != 3 && format != 4))
        std::abort();
}

void pseudoColour(FuzzedDataProvider& input)
{
    const int mode = input.ConsumeIntegralInRange(-1, 17);
    const uint32_t pixels = input.ConsumeIntegralInRange<uint32_t>(0, 4097);
    ExactBuffer<uint16_t> src(pixels, input);
    ExactBuffer<uint8_t> dst(2 * (size_t)pixels);
    y14_map_to_yuyv_pseudocolor(src.get(), pixels, mode, dst.get());
}

enhance_param_t enhanceParam(FuzzedDataProvider& input)
{
    enhance_param_t param;
    std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(sizeof param);
    bytes.resize(sizeof param);
    std::memcpy(&param, bytes.data(), sizeof param);
    return param;
}

void enhance(FuzzedDataProvider& input)
{
    const enhance_param_t param = enhanceParam(input);
    const image_res_t res = imageSize(input);
    ExactBuffer<uint16_t> src(pixelsOf(res), input), dst(pixelsOf(res));
    y14_image_enhance(src.get(), res, &param, dst.get());
}

void noiseReduction(FuzzedDataProvider& input)
{
    const image_res_t res = imageSize(input);
    ExactBuffer<uint16_t> src(pixelsOf(res), input), dst(pixelsOf(res));
    y14_image_spatial_noise_reduction(src.get(), res, dst.get());
}

void detect(FuzzedDataProvider& input)
{
    gain_switch_param_t param{input.ConsumeFloatingPoint<float>(), input.ConsumeIntegral<int32_t>(),
                              input.ConsumeFloatingPoint<float>(), input.ConsumeIntegral<int32_t>()};
    const int32_t threshold = input.ConsumeIntegral<int32_t>();
    const float share = input.ConsumeFloatingPoint<float>();
    const image_res_t res = imageSize(input);
    ExactBuffer<uint16_t> src(pixelsOf(res), input);
    uint8_t flag = 0;
    if (gain_switch_detect(src.get(), res, &param, &flag) == 0 && flag > 2)
        std::abort();
    if (overexposure_detect(src.get(), res, threshold, share, &flag) == 0 && flag > 1)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    irproc_log_register(2);
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        transform(input);
        break;
    case 1:
        pseudoColour(input);
        break;
    case 2:
        enhance(input);
        break;
    case 3:
        noiseReduction(input);
        break;
    case 4:
        detect(input);
        break;
    default:
        if (irproc_version() == nullptr)
            std::abort();
        irproc_log_register(input.ConsumeIntegralInRange(2, 9));
    }
    return 0;
}
