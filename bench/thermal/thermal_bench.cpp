// Times each colour mapping path on a 256 x 192 frame: grey as the camera
// sends it, and random colours (every pixel through the luma).
#include "mapping.h"
#include "palettes.h"

#include <benchmark/benchmark.h>

namespace {

enum class Path { Reference, Portable, Avx512 };

cv::Mat frame(bool grey)
{
    cv::Mat m(192, 256, CV_8UC3);
    cv::RNG rng(7);
    rng.fill(m, cv::RNG::UNIFORM, 0, 256);
    if (grey)
        for (auto it = m.begin<cv::Vec3b>(); it != m.end<cv::Vec3b>(); ++it)
            *it = cv::Vec3b((*it)[1], (*it)[1], (*it)[1]);
    return m;
}

void BM_map(benchmark::State& state, Path path, bool grey)
{
    const cv::Mat src = frame(grey);
    cv::Mat dst(src.size(), CV_8UC3);
    const std::uint8_t* table = thermal::colourTable(2);
    const std::uint32_t* words = thermal::colourTableWords(2);
    if (path == Path::Avx512 && !thermal::cpuHasAvx512()) {
        state.SkipWithError("no AVX-512 byte permutes on this processor");
        return;
    }
    for (auto _ : state) {
        if (path == Path::Reference)
            thermal::mapPictureReference(src, dst, table);
        else if (path == Path::Portable)
            thermal::mapPicturePortable(src, dst, table, words);
        else
            thermal::mapPictureAvx512(src, dst, table);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(src.total()));
}
BENCHMARK_CAPTURE(BM_map, grey_reference, Path::Reference, true);
BENCHMARK_CAPTURE(BM_map, grey_portable, Path::Portable, true);
BENCHMARK_CAPTURE(BM_map, grey_avx512, Path::Avx512, true);
BENCHMARK_CAPTURE(BM_map, colour_reference, Path::Reference, false);
BENCHMARK_CAPTURE(BM_map, colour_portable, Path::Portable, false);
BENCHMARK_CAPTURE(BM_map, colour_avx512, Path::Avx512, false);

}  // namespace

BENCHMARK_MAIN();
