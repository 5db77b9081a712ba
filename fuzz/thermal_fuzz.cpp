// Every exported function of the colour library on fuzzer-chosen table
// numbers, pictures of any type and size, spans and temperature words; each
// array is exactly as long as the header says.
#include "fuzz_buffers.h"
#include "thermal.h"

#include <cstdlib>

namespace {

void colourPicture(FuzzedDataProvider& input)
{
    itSetRgbColor(input.ConsumeIntegralInRange(-1, THERMAL_TABLE_COUNT + 1));
    const int selected = itGetRgbColor();
    if (selected < 1 || selected > THERMAL_TABLE_COUNT)
        std::abort();
    const int type = input.PickValueInArray({CV_8UC3, CV_8UC3, CV_8UC1, CV_16UC3, CV_8UC4});
    const int rows = input.ConsumeIntegralInRange(0, 48), cols = input.ConsumeIntegralInRange(0, 48);
    cv::Mat src(rows, cols, type);
    std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(src.total() * src.elemSize());
    if (!bytes.empty())
        std::memcpy(src.data, bytes.data(), bytes.size());
    cv::Mat dst;
    if (input.ConsumeBool()) {
        itGray2RgbAD(src, src);  // in place
        return;
    }
    itGray2RgbAD(src, dst);
    const bool usable = type == CV_8UC3 && rows > 0 && cols > 0;
    if (usable != !dst.empty() || (usable && (dst.size() != src.size() || dst.type() != CV_8UC3)))
        std::abort();
}

void tables(FuzzedDataProvider& input)
{
    const int n = input.ConsumeIntegralInRange(-1, THERMAL_TABLE_COUNT + 1);
    const bool valid = n >= 1 && n <= THERMAL_TABLE_COUNT;
    const char* name = itRgbColorName(n);
    const unsigned char* table = itRgbColorTable(n);
    if (valid != (name != nullptr) || valid != (table != nullptr))
        std::abort();
    unsigned sum = 0;
    for (int i = 0; table && i < 3 * THERMAL_TABLE_LEVELS; i++)
        sum += table[i];
    for (const char* c = name; c && *c; c++)
        sum += (unsigned char)*c;
    (void)sum;
}

void span(FuzzedDataProvider& input)
{
    const int n = input.ConsumeIntegralInRange(0, THERMAL_TABLE_COUNT + 1);
    const unsigned low = input.ConsumeIntegral<uint16_t>(), high = input.ConsumeIntegralInRange<unsigned>(0, 70000);
    const int level = itSpanLevel(input.ConsumeIntegral<unsigned>(), low, high);
    if (level < 0 || level > 255)
        std::abort();
    ExactBuffer<uint32_t> table(THERMAL_SPAN_WORDS);
    if (itSpanTableBuild(n, low, high, table.get()) != 0)
        return;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 3000);
    ExactBuffer<uint16_t> words(count, input);
    ExactBuffer<unsigned char> bgr(3 * count);
    uint16_t word = 0;
    unsigned char pixel[3];
    if (itSpanMap(words.get() ? words.get() : &word, count, table.get(), bgr.get() ? bgr.get() : pixel) != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        colourPicture(input);
        break;
    case 1:
        tables(input);
        break;
    default:
        span(input);
    }
    return 0;
}
