// What `stats` measures on a temperature grid and how it prints it: the
// whole frame's highest, lowest and mean temperature, the asked spots and
// the asked rectangles, one line per measurement as CSV or JSON.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct GridSpot {
    int x = 0;
    int y = 0;
};

struct GridRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct AreaStats {
    float highest = 0;
    float lowest = 0;
    float mean = 0;
};

// "X,Y" inside a grid of columns x rows; on failure `problem` names it.
bool parseSpot(const QString& text, int columns, int rows, GridSpot& spot, QString& problem);
// "X,Y,W,H" with W, H >= 1, wholly inside the grid.
bool parseRect(const QString& text, int columns, int rows, GridRect& rect, QString& problem);

// Over the rectangle of a row-major grid `columns` wide (the rectangle is
// taken as checked).
AreaStats areaStats(const QVector<float>& grid, int columns, const GridRect& rect);

enum class StatsFormat { Csv, Json };

// One measurement: the frame's time, the whole grid, each spot and rectangle.
struct StatsLine {
    qint64 timeMs = 0;
    AreaStats frame;
    QVector<float> spots;
    QVector<AreaStats> rects;
};

StatsLine measure(const QVector<float>& celsius, int columns, int rows, const QVector<GridSpot>& spots,
                  const QVector<GridRect>& rects, qint64 timeMs);

// The CSV header naming each column (empty for JSON).
QString statsHeader(StatsFormat format, const QVector<GridSpot>& spots, const QVector<GridRect>& rects);
// One line without its end; values in degrees Celsius, or Fahrenheit when
// fahrenheit, with two decimals.
QString statsText(StatsFormat format, const StatsLine& line, const QVector<GridSpot>& spots,
                  const QVector<GridRect>& rects, bool fahrenheit);
