// The per-pixel colour mapping behind itGray2RgbAD: the reference loop and
// the faster paths that must equal it bit for bit. Each maps src (8-bit B, G,
// R) into dst of the same size and type; the caller checks both.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

namespace thermal {

// The luma's weights of a pixel's first and last byte (the middle one is
// green, 150, either way): B, G, R pictures or R, G, B ones.
struct Luma {
    unsigned first, last;
};
constexpr Luma kBgrLuma{29, 77};
constexpr Luma kRgbLuma{77, 29};

// Integer luma with weights summing to 256, so a grey pixel keeps its level.
inline unsigned greyLevel(const std::uint8_t* pixel, Luma luma = kBgrLuma)
{
    return (luma.first * pixel[0] + 150u * pixel[1] + luma.last * pixel[2] + 128u) >> 8;
}

// Each pixel through table at its luma, one at a time. It reads each pixel
// before writing it, so src and dst may be the same memory.
void mapPictureReference(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, Luma luma = kBgrLuma);

// Plain C for src and dst in separate memory: four grey pixels at a time
// take their levels without the luma, and pixels are written as the words of
// colourTableWords().
void mapPicturePortable(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, const std::uint32_t* words,
                        Luma luma = kBgrLuma);

// Whether this processor runs the AVX-512 path (with byte permutes).
bool cpuHasAvx512();

// 64 pixels at a time with the table held in registers, for src and dst in
// separate memory; false (nothing written) where the processor lacks it.
bool mapPictureAvx512(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, Luma luma = kBgrLuma);

}  // namespace thermal
