// Every conversion of zizuruziza on fuzzer-chosen pixels and counts, with
// source and destination exactly as large as the header documents for the
// count; null buffers and non-positive counts must be refused.
#include "fuzz_buffers.h"
#include "zizuruziza.h"

#include <cstdlib>

namespace {

using Convert16 = int (*)(const uint16_t*, int, uint8_t*);
using Convert8 = int (*)(const uint8_t*, int, uint8_t*);

void expectRefused(int result)
{
    if (result != -1)
        std::abort();
}

// Source and destination sizes in bytes per pixel (the header's table).
void convert8(FuzzedDataProvider& input, Convert8 convert, size_t srcBytes, size_t dstBytes, int pixels)
{
    ExactBuffer<uint8_t> src(srcBytes * (size_t)pixels, input), dst(dstBytes * (size_t)pixels);
    if (convert(src.get(), pixels, dst.get()) != 0)
        std::abort();
    expectRefused(convert(nullptr, pixels, dst.get()));
}

void convert16(FuzzedDataProvider& input, Convert16 convert, size_t dstBytes, int pixels)
{
    ExactBuffer<uint16_t> src((size_t)pixels, input);
    ExactBuffer<uint8_t> dst(dstBytes * (size_t)pixels);
    if (convert(src.get(), pixels, dst.get()) != 0)
        std::abort();
    expectRefused(convert(src.get(), pixels, nullptr));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    irparse_log_register(2);
    const int which = input.ConsumeIntegralInRange(0, 10);
    const int pixels = input.ConsumeIntegralInRange(-2, 5000);
    if (pixels <= 0) {
        uint8_t one[6] = {};
        expectRefused(y14_to_y8(reinterpret_cast<uint16_t*>(one), pixels, one));
        expectRefused(yuv422_to_rgb(one, pixels, one));
        return 0;
    }
    switch (which) {
    case 0: {
        ExactBuffer<uint16_t> src((size_t)pixels, input), dst((size_t)pixels);
        if (y16_to_y14(src.get(), pixels, dst.get()) != 0 || y16_to_y14(src.get(), pixels, src.get()) != 0)
            std::abort();
        break;
    }
    case 1:
        convert16(input, y14_to_y8, 1, pixels);
        break;
    case 2:
        convert16(input, y14_to_rgb, 3, pixels);
        break;
    case 3:
        convert16(input, y14_to_yuv444, 3, pixels);
        break;
    case 4:
        convert8(input, yuv444_to_yuv422, 3, 2, pixels);
        break;
    case 5: {
        const int16_t offset = input.ConsumeIntegral<int16_t>();
        ExactBuffer<uint8_t> src(2 * (size_t)pixels, input), dst(2 * (size_t)pixels);
        if (yuv422_add_y(src.get(), pixels, offset, dst.get()) != 0 ||
            yuv422_add_y(src.get(), pixels, offset, src.get()) != 0)
            std::abort();
        break;
    }
    case 6:
        convert8(input, yuv422_to_rgb, 2, 3, pixels);
        break;
    case 7:
        convert8(input, yuv444_to_rgb, 3, 3, pixels);
        break;
    case 8: {
        convert8(input, rgb_to_bgr, 3, 3, pixels);
        ExactBuffer<uint8_t> image(3 * (size_t)pixels, input);
        if (rgb_to_bgr(image.get(), pixels, image.get()) != 0)
            std::abort();
        break;
    }
    case 9: {
        const int imageBytes = input.ConsumeIntegralInRange(-1, 4096);
        const int tempBytes = input.ConsumeIntegralInRange(-1, 4096);
        if (imageBytes < 0 || tempBytes < 0) {
            uint8_t byte = 0;
            expectRefused(raw_data_cut(&byte, imageBytes, tempBytes, &byte, &byte));
            break;
        }
        ExactBuffer<uint8_t> raw((size_t)imageBytes + (size_t)tempBytes, input);
        ExactBuffer<uint8_t> image((size_t)imageBytes), temp((size_t)tempBytes);
        uint8_t spare = 0;
        // A zero length copies nothing, so any pointer will do for it.
        raw_data_cut(raw.get() ? raw.get() : &spare, imageBytes, tempBytes, image.get() ? image.get() : &spare,
                     temp.get() ? temp.get() : &spare);
        break;
    }
    default:
        if (irparse_version() == nullptr)
            std::abort();
        irparse_log_register(input.ConsumeIntegralInRange(2, 9));
    }
    return 0;
}
