// Times the fixed-span colouring of one 256 x 192 temperature frame (one
// table look-up per pixel) against OpenCV's cvtColor YUYV->BGR of a picture
// of the same size, and prints the ratios; the target is at most 1.
// OMBRIX_CPU=portable makes the library's own entry point take the plain loop.
#include "spanmap.h"
#include "thermal.h"

#include "../support/cpu_time_reporter.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 192;
constexpr int kPixels = kWidth * kHeight;

unsigned wordOf(double celsius)
{
    return unsigned(std::lround((celsius + 273.15) * 64));
}

// A room near 23 degrees with a warm body, a hot and a cold patch, and noise.
std::vector<uint16_t> sceneWords()
{
    std::vector<uint16_t> words(kPixels);
    cv::RNG rng(11);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double t = 22 + 1.5 * (1 - y / 191.0) + x / 255.0;
            if ((x - 128) * (x - 128) / 324.0 + (y - 104) * (y - 104) / 900.0 <= 1)
                t = 35.5;
            else if (x >= 204 && x < 236 && y >= 20 && y < 44)
                t = 80;
            else if (x >= 20 && x < 48 && y >= 150 && y < 178)
                t = 5;
            words[y * kWidth + x] = uint16_t(wordOf(t + rng.uniform(-0.2, 0.2)));
        }
    return words;
}

struct Frames {
    std::vector<uint16_t> words = sceneWords();
    std::vector<uint32_t> table = std::vector<uint32_t>(THERMAL_SPAN_WORDS);
    cv::Mat yuyv = cv::Mat(kHeight, kWidth, CV_8UC2);
    Frames()
    {
        itSpanTableBuild(2, wordOf(0), wordOf(100), table.data());
        cv::RNG(3).fill(yuyv, cv::RNG::UNIFORM, 0, 256);
    }
};

const Frames& frames()
{
    static const Frames f;
    return f;
}

enum class Path { Library, Portable, Avx2 };

void BM_span(benchmark::State& state, Path path)
{
    if (path == Path::Avx2 && !thermal::cpuHasAvx2()) {
        state.SkipWithError("no AVX2 gathers on this processor");
        return;
    }
    std::vector<uint8_t> bgr(3 * kPixels);
    const Frames& f = frames();
    for (auto _ : state) {
        if (path == Path::Library)
            itSpanMap(f.words.data(), kPixels, f.table.data(), bgr.data());
        else if (path == Path::Portable)
            thermal::spanMapPortable(f.words.data(), kPixels, f.table.data(), bgr.data());
        else
            thermal::spanMapAvx2(f.words.data(), kPixels, f.table.data(), bgr.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK_CAPTURE(BM_span, library, Path::Library);
BENCHMARK_CAPTURE(BM_span, portable, Path::Portable);
BENCHMARK_CAPTURE(BM_span, avx2, Path::Avx2);

void BM_opencv_cvtColor_yuyv_to_bgr(benchmark::State& state)
{
    cv::Mat bgr(kHeight, kWidth, CV_8UC3);
    for (auto _ : state) {
        cv::cvtColor(frames().yuyv, bgr, cv::COLOR_YUV2BGR_YUYV);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_opencv_cvtColor_yuyv_to_bgr);

// The table is rebuilt only when span, palette or unit change; its cost is
// shown for scale.
void BM_span_table_build(benchmark::State& state)
{
    std::vector<uint32_t> table(THERMAL_SPAN_WORDS);
    for (auto _ : state) {
        itSpanTableBuild(5, wordOf(20), wordOf(40), table.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_span_table_build);

class RatioReporter : public CpuTimeReporter {
public:
    void printRatios() const
    {
        const double cv = time("BM_opencv_cvtColor_yuyv_to_bgr");
        if (cv <= 0)
            return;
        std::printf("\nSpan colouring per frame against cvtColor YUYV->BGR 256 x 192 (target: at most 1.00):\n");
        for (const char* name : {"BM_span/library", "BM_span/portable", "BM_span/avx2"})
            if (time(name) > 0)
                std::printf("  %-18s %.2f\n", name + 3, time(name) / cv);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
