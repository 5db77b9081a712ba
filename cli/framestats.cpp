#include "framestats.h"

#include <ombrix/temperature_units.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace {

// Whole numbers separated by commas, nothing else.
bool parseNumbers(const QString& text, int count, QVector<int>& numbers)
{
    static const QRegularExpression number(QStringLiteral("^\\s*-?\\d{1,6}\\s*$"));
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return false;
    numbers.clear();
    for (const QString& part : parts) {
        if (!number.match(part).hasMatch())
            return false;
        numbers.append(part.trimmed().toInt());
    }
    return true;
}

QString spotName(const GridSpot& spot)
{
    return QStringLiteral("spot(%1,%2)").arg(spot.x).arg(spot.y);
}

QString rectName(const GridRect& rect)
{
    return QStringLiteral("rect(%1,%2,%3,%4)").arg(rect.x).arg(rect.y).arg(rect.width).arg(rect.height);
}

double shown(float celsius, bool fahrenheit)
{
    const float value = fahrenheit ? celsius_to_fahrenheit(celsius) : celsius;
    return std::round(double(value) * 100.0) / 100.0;
}

QString number(float celsius, bool fahrenheit)
{
    return QString::number(shown(celsius, fahrenheit), 'f', 2);
}

QString isoTime(qint64 timeMs)
{
    return QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toString(Qt::ISODateWithMs);
}

QJsonObject areaObject(const AreaStats& stats, bool fahrenheit)
{
    return QJsonObject{{QStringLiteral("max"), shown(stats.highest, fahrenheit)},
                       {QStringLiteral("min"), shown(stats.lowest, fahrenheit)},
                       {QStringLiteral("mean"), shown(stats.mean, fahrenheit)}};
}

} // namespace

bool parseSpot(const QString& text, int columns, int rows, GridSpot& spot, QString& problem)
{
    QVector<int> n;
    if (!parseNumbers(text, 2, n)) {
        problem = QStringLiteral("spot \"%1\" is not X,Y (two whole numbers)").arg(text);
        return false;
    }
    if (n[0] < 0 || n[0] >= columns || n[1] < 0 || n[1] >= rows) {
        problem = QStringLiteral("spot %1,%2 lies outside the %3 x %4 picture").arg(n[0]).arg(n[1]).arg(columns).arg(rows);
        return false;
    }
    spot = GridSpot{n[0], n[1]};
    return true;
}

bool parseRect(const QString& text, int columns, int rows, GridRect& rect, QString& problem)
{
    QVector<int> n;
    if (!parseNumbers(text, 4, n)) {
        problem = QStringLiteral("rect \"%1\" is not X,Y,W,H (four whole numbers)").arg(text);
        return false;
    }
    if (n[2] < 1 || n[3] < 1) {
        problem = QStringLiteral("rect %1 is empty: width and height must be at least 1").arg(text);
        return false;
    }
    if (n[0] < 0 || n[1] < 0 || n[0] + n[2] > columns || n[1] + n[3] > rows) {
        problem = QStringLiteral("rect %1 reaches outside the %2 x %3 picture").arg(text).arg(columns).arg(rows);
        return false;
    }
    rect = GridRect{n[0], n[1], n[2], n[3]};
    return true;
}

AreaStats areaStats(const QVector<float>& grid, int columns, const GridRect& rect)
{
    AreaStats stats;
    stats.highest = stats.lowest = grid[rect.y * columns + rect.x];
    double sum = 0;
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            const float value = grid[y * columns + x];
            stats.highest = std::max(stats.highest, value);
            stats.lowest = std::min(stats.lowest, value);
            sum += value;
        }
    }
    stats.mean = float(sum / (double(rect.width) * rect.height));
    return stats;
}

StatsLine measure(const QVector<float>& celsius, int columns, int rows, const QVector<GridSpot>& spots,
                  const QVector<GridRect>& rects, qint64 timeMs)
{
    StatsLine line;
    line.timeMs = timeMs;
    line.frame = areaStats(celsius, columns, GridRect{0, 0, columns, rows});
    for (const GridSpot& spot : spots)
        line.spots.append(celsius[spot.y * columns + spot.x]);
    for (const GridRect& rect : rects)
        line.rects.append(areaStats(celsius, columns, rect));
    return line;
}

QString statsHeader(StatsFormat format, const QVector<GridSpot>& spots, const QVector<GridRect>& rects)
{
    if (format == StatsFormat::Json)
        return QString();
    QStringList columns{QStringLiteral("time"), QStringLiteral("max"), QStringLiteral("min"), QStringLiteral("mean")};
    for (const GridSpot& spot : spots)
        columns << spotName(spot);
    for (const GridRect& rect : rects) {
        for (const char* part : {"max", "min", "mean"})
            columns << QStringLiteral("%1 %2").arg(rectName(rect), QLatin1String(part));
    }
    return columns.join(QLatin1Char(','));
}

QString statsText(StatsFormat format, const StatsLine& line, const QVector<GridSpot>& spots,
                  const QVector<GridRect>& rects, bool fahrenheit)
{
    if (format == StatsFormat::Csv) {
        QStringList cells{isoTime(line.timeMs), number(line.frame.highest, fahrenheit),
                          number(line.frame.lowest, fahrenheit), number(line.frame.mean, fahrenheit)};
        for (float spot : line.spots)
            cells << number(spot, fahrenheit);
        for (const AreaStats& rect : line.rects)
            cells << number(rect.highest, fahrenheit) << number(rect.lowest, fahrenheit) << number(rect.mean, fahrenheit);
        return cells.join(QLatin1Char(','));
    }
    QJsonObject object = areaObject(line.frame, fahrenheit);
    object.insert(QStringLiteral("time"), isoTime(line.timeMs));
    object.insert(QStringLiteral("unit"), fahrenheit ? QStringLiteral("F") : QStringLiteral("C"));
    QJsonArray spotValues;
    for (int i = 0; i < line.spots.size(); ++i)
        spotValues.append(QJsonObject{{QStringLiteral("x"), spots[i].x}, {QStringLiteral("y"), spots[i].y},
                                      {QStringLiteral("value"), shown(line.spots[i], fahrenheit)}});
    QJsonArray rectValues;
    for (int i = 0; i < line.rects.size(); ++i) {
        QJsonObject rect = areaObject(line.rects[i], fahrenheit);
        rect.insert(QStringLiteral("rect"), QJsonArray{rects[i].x, rects[i].y, rects[i].width, rects[i].height});
        rectValues.append(rect);
    }
    object.insert(QStringLiteral("spots"), spotValues);
    object.insert(QStringLiteral("rects"), rectValues);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}
