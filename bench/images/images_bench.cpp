// Times the image libraries on one 256 x 192 frame, beside OpenCV's
// cvtColor YUYV->BGR and a memcpy of the same bytes, and prints the ratios
// that matter: the picture path (yuv422_to_rgb + rgb_to_bgr) against cvtColor.
#include "vuzovaredero.h"
#include "vuzovaredero_internal.h"
#include "zizuruziza.h"

#include "../support/cpu_time_reporter.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 192;
constexpr int kPixels = kWidth * kHeight;

// A thermal-looking scene: a warm gradient, two hot spots and sensor noise.
std::vector<uint16_t> sceneY14()
{
    std::vector<uint16_t> y14(kPixels);
    uint32_t noise = 12345;
    for (int r = 0; r < kHeight; r++)
        for (int c = 0; c < kWidth; c++) {
            noise = noise * 1664525u + 1013904223u;
            double spot = 2500 * std::exp(-((r - 60.0) * (r - 60.0) + (c - 80.0) * (c - 80.0)) / 400.0) +
                          1800 * std::exp(-((r - 140.0) * (r - 140.0) + (c - 190.0) * (c - 190.0)) / 900.0);
            y14[r * kWidth + c] = (uint16_t)(4000 + 6 * r + 4 * c + spot + (noise >> 28));
        }
    return y14;
}

struct Frames {
    std::vector<uint16_t> y14 = sceneY14();
    std::vector<uint8_t> yuyv = std::vector<uint8_t>(2 * kPixels);
    std::vector<uint8_t> rgb = std::vector<uint8_t>(3 * kPixels);
    Frames()
    {
        y14_map_to_yuyv_pseudocolor(y14.data(), kPixels, 3, yuyv.data());
        yuv422_to_rgb(yuyv.data(), kPixels, rgb.data());
    }
};

const Frames& frames()
{
    static const Frames f;
    return f;
}

void setBytes(benchmark::State& state, size_t bytes)
{
    state.SetBytesProcessed((int64_t)(state.iterations() * bytes));
}

void BM_yuv422_to_rgb(benchmark::State& state)
{
    std::vector<uint8_t> rgb(3 * kPixels);
    for (auto _ : state) {
        yuv422_to_rgb(frames().yuyv.data(), kPixels, rgb.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, 2 * kPixels);
}
BENCHMARK(BM_yuv422_to_rgb);

void BM_rgb_to_bgr(benchmark::State& state)
{
    std::vector<uint8_t> bgr(3 * kPixels);
    for (auto _ : state) {
        rgb_to_bgr(frames().rgb.data(), kPixels, bgr.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, 3 * kPixels);
}
BENCHMARK(BM_rgb_to_bgr);

// The viewer's picture path: YUYV to RGB, then to BGR in place.
void BM_yuv422_to_rgb_then_bgr(benchmark::State& state)
{
    std::vector<uint8_t> out(3 * kPixels);
    for (auto _ : state) {
        yuv422_to_rgb(frames().yuyv.data(), kPixels, out.data());
        rgb_to_bgr(out.data(), kPixels, out.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, 2 * kPixels);
}
BENCHMARK(BM_yuv422_to_rgb_then_bgr);

void BM_opencv_cvtColor_yuyv_to_bgr(benchmark::State& state)
{
    cv::Mat yuyv(kHeight, kWidth, CV_8UC2, const_cast<uint8_t*>(frames().yuyv.data()));
    cv::Mat bgr(kHeight, kWidth, CV_8UC3);
    for (auto _ : state) {
        cv::cvtColor(yuyv, bgr, cv::COLOR_YUV2BGR_YUYV);
        benchmark::ClobberMemory();
    }
    setBytes(state, 2 * kPixels);
}
BENCHMARK(BM_opencv_cvtColor_yuyv_to_bgr);

void BM_memcpy_yuyv_frame(benchmark::State& state)
{
    std::vector<uint8_t> copy(2 * kPixels);
    for (auto _ : state) {
        std::memcpy(copy.data(), frames().yuyv.data(), copy.size());
        benchmark::ClobberMemory();
    }
    setBytes(state, 2 * kPixels);
}
BENCHMARK(BM_memcpy_yuyv_frame);

using Transform = int (*)(const uint8_t*, image_res_t, int, uint8_t*);

void BM_transform_rgb(benchmark::State& state, Transform transform)
{
    std::vector<uint8_t> out(3 * kPixels);
    const image_res_t res{kWidth, kHeight};
    for (auto _ : state) {
        transform(frames().rgb.data(), res, PIXFMT_RGB888, out.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, 3 * kPixels);
}
BENCHMARK_CAPTURE(BM_transform_rgb, flip, flip);
BENCHMARK_CAPTURE(BM_transform_rgb, mirror, mirror);
BENCHMARK_CAPTURE(BM_transform_rgb, rotate_180, rotate_180);
BENCHMARK_CAPTURE(BM_transform_rgb, rotate_left_90, rotate_left_90);
BENCHMARK_CAPTURE(BM_transform_rgb, rotate_right_90, rotate_right_90);

// The pixel moves alone by path, for both pixel widths: the plain walk that
// defines each transform, the portable fast path and the one the exported
// functions take on this processor.
enum class Path { Reference, Portable, Chosen };

void BM_transform_path(benchmark::State& state, vz_transform kind, size_t bytes, Path path)
{
    const uint8_t* in = bytes == 2 ? (const uint8_t*)frames().y14.data() : frames().rgb.data();
    std::vector<uint8_t> out(bytes * kPixels);
    const image_res_t res{kWidth, kHeight};
    for (auto _ : state) {
        if (path == Path::Reference)
            vz_transform_reference(kind, in, res, bytes, out.data());
        else if (path == Path::Portable)
            vz_transform_portable(kind, in, res, bytes, out.data());
        else
            vz_transform_fast(kind, in, res, bytes, out.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, bytes * kPixels);
}

#define VZ_BENCH_PATHS(name, kind, bytes)                                                   \
    BENCHMARK_CAPTURE(BM_transform_path, name##_reference, kind, bytes, Path::Reference); \
    BENCHMARK_CAPTURE(BM_transform_path, name##_portable, kind, bytes, Path::Portable);   \
    BENCHMARK_CAPTURE(BM_transform_path, name##_chosen, kind, bytes, Path::Chosen)
VZ_BENCH_PATHS(mirror_rgb, VZ_MIRROR, 3);
VZ_BENCH_PATHS(rotate_right_90_rgb, VZ_ROTATE_RIGHT_90, 3);
VZ_BENCH_PATHS(rotate_left_90_rgb, VZ_ROTATE_LEFT_90, 3);
VZ_BENCH_PATHS(mirror_y14, VZ_MIRROR, 2);
VZ_BENCH_PATHS(rotate_right_90_y14, VZ_ROTATE_RIGHT_90, 2);

void BM_y14_map_to_yuyv_pseudocolor(benchmark::State& state)
{
    std::vector<uint8_t> yuyv(2 * kPixels);
    for (auto _ : state) {
        y14_map_to_yuyv_pseudocolor(frames().y14.data(), kPixels, 3, yuyv.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, 2 * kPixels);
}
BENCHMARK(BM_y14_map_to_yuyv_pseudocolor);

void BM_y14_image_enhance(benchmark::State& state)
{
    // The camera controller's parameters.
    const enhance_param_t param{{0.01f, 0.01f, 0.001f, 0.0001f, 150, 0, 0.25f, {1, 4530, 4938}},
                                {0.0f, 6.0f, 2.0f},
                                {0, 10, 60, 120}};
    std::vector<uint16_t> out(kPixels);
    for (auto _ : state) {
        if (y14_image_enhance(frames().y14.data(), image_res_t{kWidth, kHeight}, &param, out.data()) != 0)
            state.SkipWithError("y14_image_enhance failed");
        benchmark::ClobberMemory();
    }
    setBytes(state, 2 * kPixels);
}
BENCHMARK(BM_y14_image_enhance);

void BM_y14_image_spatial_noise_reduction(benchmark::State& state)
{
    std::vector<uint16_t> out(kPixels);
    for (auto _ : state) {
        y14_image_spatial_noise_reduction(frames().y14.data(), image_res_t{kWidth, kHeight}, out.data());
        benchmark::ClobberMemory();
    }
    setBytes(state, 2 * kPixels);
}
BENCHMARK(BM_y14_image_spatial_noise_reduction);

// Console output as usual, plus the ratios against cvtColor at the end, in CPU
// time, which other work on a shared machine disturbs less than wall time.
class RatioReporter : public CpuTimeReporter {
public:
    void printRatios() const
    {
        double cv = time("BM_opencv_cvtColor_yuyv_to_bgr");
        if (cv <= 0)
            return;
        double toRgb = time("BM_yuv422_to_rgb"), toBgr = time("BM_rgb_to_bgr");
        std::printf("\nRatios of CPU time to cvtColor YUYV->BGR (target for the picture path: at most 1.50):\n");
        if (toRgb > 0 && toBgr > 0)
            std::printf("  yuv422_to_rgb + rgb_to_bgr   %.2f\n", (toRgb + toBgr) / cv);
        for (const char* name : {"BM_yuv422_to_rgb_then_bgr", "BM_yuv422_to_rgb", "BM_rgb_to_bgr", "BM_memcpy_yuyv_frame"})
            if (time(name) > 0)
                std::printf("  %-28s %.2f\n", name + 3, time(name) / cv);
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
