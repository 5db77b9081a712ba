// The per-pixel colour mapping behind itGray2RgbAD: the reference loop and
// the faster paths that must equal it bit for bit. Each maps src (8-bit B, G,
// R) into dst of the same size and type; the caller checks both.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

namespace thermal {

// Integer luma with weights summing to 256, so a grey pixel keeps its level.
inline unsigned greyLevel(const std::uint8_t* bgr)
{
    return (29u * bgr[0] + 150u * bgr[1] + 77u * bgr[2] + 128u) >> 8;
}

// Each pixel through table at its luma, one at a time. It reads each pixel
// before writing it, so src and dst may be the same memory.
void mapPictureReference(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table);

// Plain C for src and dst in separate memory: four grey pixels at a time
// take their levels without the luma, and pixels are written as the words of
// colourTableWords().
void mapPicturePortable(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table, const std::uint32_t* words);

// Whether this processor runs the AVX-512 path (with byte permutes).
bool cpuHasAvx512();

// 64 pixels at a time with the table held in registers, for src and dst in
// separate memory; false (nothing written) where the processor lacks it.
bool mapPictureAvx512(const cv::Mat& src, cv::Mat& dst, const std::uint8_t* table);

}  // namespace thermal
