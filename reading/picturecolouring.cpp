#include "picturecolouring.h"

#include "ombrix/temperature_units.h"
#include "thermal.h"

#include <QDebug>

#include <algorithm>
#include <vector>

namespace reading {
namespace {

// The word -> B, G, R, 0 table of the last span and palette.
struct SpanTable
{
    std::vector<std::uint32_t> entries;
    int table = 0;
    std::uint16_t low = 0;
    std::uint16_t high = 0;

    bool update(int newTable, std::uint16_t newLow, std::uint16_t newHigh)
    {
        if (!entries.empty() && newTable == table && newLow == low && newHigh == high)
            return true;
        entries.resize(THERMAL_SPAN_WORDS);
        if (itSpanTableBuild(newTable, newLow, newHigh, entries.data()) != 0) {
            entries.clear();
            return false;
        }
        table = newTable;
        low = newLow;
        high = newHigh;
        return true;
    }
};

SpanTable& spanTable()
{
    static SpanTable cache;
    return cache;
}

// Where sensor pixel (x, y) lands in the grid turned `turns` quarter turns
// clockwise.
inline cv::Point turnedPoint(int x, int y, int width, int height, int turns)
{
    switch (turns) {
    case 1:
        return {height - 1 - y, x};
    case 2:
        return {width - 1 - x, height - 1 - y};
    case 3:
        return {y, width - 1 - x};
    default:
        return {x, y};
    }
}

bool beyond(std::uint16_t word, Isotherm mode, std::uint16_t threshold)
{
    return mode == Isotherm::Above ? word > threshold : word < threshold;
}

}  // namespace

int quarterTurns(int angle)
{
    return ((angle % 360 + 360) % 360) / 90;
}

bool colourBySpan(const std::uint16_t* words, int width, int height, int turns, const ScaleSettings& settings,
                  int table, cv::Mat& out)
{
    if (!words || width <= 0 || height <= 0)
        return false;
    SpanTable& cache = spanTable();
    if (!cache.update(table, celsius_to_raw(settings.lowCelsius), celsius_to_raw(settings.highCelsius)))
        return false;
    turns = (turns % 4 + 4) % 4;
    if (turns == 0) {
        out.create(height, width, CV_8UC3);
        itSpanMap(words, size_t(width) * size_t(height), cache.entries.data(), out.data);
        return true;
    }
    // The upright colours, kept between frames, then turned into out.
    thread_local cv::Mat upright;
    upright.create(height, width, CV_8UC3);
    itSpanMap(words, size_t(width) * size_t(height), cache.entries.data(), upright.data);
    static const cv::RotateFlags flags[] = {cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180, cv::ROTATE_90_COUNTERCLOCKWISE};
    cv::rotate(upright, out, flags[turns - 1]);
    return true;
}

bool paintIsotherm(cv::Mat& picture, const std::uint16_t* words, int width, int height, int turns, Isotherm mode,
                   std::uint16_t thresholdWord, const cv::Vec3b& colour)
{
    if (mode == Isotherm::Off || !words || picture.type() != CV_8UC3)
        return false;
    turns = (turns % 4 + 4) % 4;
    const cv::Size expected = turns % 2 ? cv::Size(height, width) : cv::Size(width, height);
    if (picture.size() != expected) {
        qWarning("isotherm: picture %dx%d does not match the %dx%d grid", picture.cols, picture.rows, width, height);
        return false;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint16_t* row = words + size_t(y) * width;
        for (int x = 0; x < width; ++x)
            if (beyond(row[x], mode, thresholdWord))
                picture.at<cv::Vec3b>(turnedPoint(x, y, width, height, turns)) = colour;
    }
    return true;
}

cv::Vec3b contrastingColour(int table)
{
    static const cv::Vec3b candidates[] = {{0, 255, 0}, {255, 0, 255}, {255, 255, 0}, {0, 255, 255},
                                           {255, 0, 0}, {0, 0, 255}};
    const unsigned char* entries = itRgbColorTable(table);
    if (!entries)
        return candidates[0];
    cv::Vec3b best = candidates[0];
    int bestDistance = -1;
    for (const cv::Vec3b& candidate : candidates) {
        int nearest = 3 * 255 * 255;
        for (int level = 0; level < THERMAL_TABLE_LEVELS; ++level) {
            int distance = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = int(entries[3 * level + c]) - int(candidate[c]);
                distance += d * d;
            }
            nearest = std::min(nearest, distance);
        }
        if (nearest > bestDistance) {
            bestDistance = nearest;
            best = candidate;
        }
    }
    return best;
}

}  // namespace reading
