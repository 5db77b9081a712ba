// Synthetic temperature grids and label checks for the overlay tests.
#pragma once

#include "temperaturesnapshot.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <cmath>

#include <vector>

namespace overlaytesting {

constexpr int Columns = TemperatureSnapshot::Columns;
constexpr int Rows = TemperatureSnapshot::Rows;

// An upright grid with every value set to one temperature.
inline std::vector<float> uniformGrid(float value)
{
    return std::vector<float>(TemperatureSnapshot::ValueCount, value);
}

inline void setCell(std::vector<float>& grid, const QPoint& upright, float value)
{
    grid[upright.y() * Columns + upright.x()] = value;
}

// Hands a grid to a snapshot (the process-wide one, as the stream thread does).
inline bool storeGrid(const std::vector<float>& grid, TemperatureSnapshot& snapshot = TemperatureSnapshot::instance())
{
    return snapshot.store(grid.data(), int(grid.size()));
}

// The box a label's text covers, from its anchor on the base line.
inline QRect labelBox(const QPoint& anchor)
{
    return QRect(anchor.x(), anchor.y() - 12, 56, 15);
}

// Pixels inside a box drawn in a colour over black: the colour itself or,
// where text edges are smoothed, the colour at 60 % coverage or more.
inline int countPixelsIn(const QImage& image, const QRect& box, const QColor& colour)
{
    const int strongest = std::max({colour.red(), colour.green(), colour.blue()});
    int count = 0;
    const QRect inside = box.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int pixelStrongest = std::max({pixel.red(), pixel.green(), pixel.blue()});
            const double coverage = double(pixelStrongest) / strongest;
            if (coverage < 0.6 || coverage > 1.0)
                continue;
            if (std::abs(pixel.red() - coverage * colour.red()) <= 6
                && std::abs(pixel.green() - coverage * colour.green()) <= 6
                && std::abs(pixel.blue() - coverage * colour.blue()) <= 6)
                ++count;
        }
    }
    return count;
}

} // namespace overlaytesting
