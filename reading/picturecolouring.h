// The stream thread's colour step for a fixed span and the isotherm: the
// temperature words of a frame coloured through a 65 536-entry word -> palette
// table (rebuilt only when the span or the palette changes), turned like the
// picture, and the pixels beyond the isotherm threshold painted over.
//
// Words are a width x height grid in sensor orientation, native byte order.
// A picture turned by quarter turns clockwise has its rows and columns
// swapped for odd turns. Threads: the video stream thread only (the table
// cache is its own).
#pragma once

#include "scalesettings.h"

#include <opencv2/core.hpp>

#include <cstdint>

namespace reading {

// Colours words by settings' span with colour table `table` (1-based) into
// out (made anew with out's allocator), turned `turns` quarter turns
// clockwise. False (out left as it was) for a null grid, an empty size or a
// span the colour library refuses.
bool colourBySpan(const std::uint16_t* words, int width, int height, int turns, const ScaleSettings& settings,
                  int table, cv::Mat& out);

// Paints every pixel of picture whose word lies beyond the threshold
// (strictly above or below it, by mode) in colour. The picture must be the
// grid turned `turns` quarter turns clockwise, 8-bit B, G, R; false (nothing
// painted) otherwise, or for Isotherm::Off.
bool paintIsotherm(cv::Mat& picture, const std::uint16_t* words, int width, int height, int turns,
                   Isotherm mode, std::uint16_t thresholdWord, const cv::Vec3b& colour);

// A colour that stands out from every entry of colour table `table`
// (1-based): of a few bright candidates, the one farthest from the nearest
// entry.
cv::Vec3b contrastingColour(int table);

// Quarter turns clockwise for a rotation angle in degrees (0, 90, 180, 270).
int quarterTurns(int angle);

}  // namespace reading
