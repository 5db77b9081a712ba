#include "sensormapping.h"

#include "temperaturesnapshot.h"

#include <QWidget>

namespace {

QSize sizeOf(const QWidget* widget)
{
    return widget ? widget->size() : QSize(0, 0);
}

// p * cells / extent truncated toward zero, clamped to [0, cells - 1].
// 64-bit products: a far-off point must not overflow.
int pointToCell(int p, int cells, int extent)
{
    if (p < 1 || extent <= 0)
        return 0;
    const qint64 cell = qint64(p) * cells / extent;
    return cell >= cells ? cells - 1 : int(cell);
}

// extent * cell / cells truncated toward zero, clamped to [0, extent - 1].
int cellToPoint(int cell, int cells, int extent)
{
    if (extent <= 0)
        return 0;
    const qint64 p = qint64(extent) * cell / cells;
    if (p < 1)
        return 0;
    return p >= extent ? extent - 1 : int(p);
}

} // namespace

QSize sensorGridSize(const QSize& widgetSize)
{
    if (widgetSize.width() <= widgetSize.height())
        return QSize(TemperatureSnapshot::Rows, TemperatureSnapshot::Columns);
    return QSize(TemperatureSnapshot::Columns, TemperatureSnapshot::Rows);
}

QPoint widgetToSensor(const QSize& widgetSize, const QPoint& point)
{
    const QSize grid = sensorGridSize(widgetSize);
    return QPoint(pointToCell(point.x(), grid.width(), widgetSize.width()),
                  pointToCell(point.y(), grid.height(), widgetSize.height()));
}

QPoint widgetToSensor(const QWidget* widget, const QPoint& point)
{
    return widgetToSensor(sizeOf(widget), point);
}

QPoint sensorToWidget(const QSize& widgetSize, const QPoint& cell)
{
    const QSize grid = sensorGridSize(widgetSize);
    return QPoint(cellToPoint(cell.x(), grid.width(), widgetSize.width()),
                  cellToPoint(cell.y(), grid.height(), widgetSize.height()));
}

QPoint sensorToWidget(const QWidget* widget, const QPoint& cell)
{
    return sensorToWidget(sizeOf(widget), cell);
}

int sensorIndex(const QSize& widgetSize, const QPoint& cell)
{
    return cell.y() * sensorGridSize(widgetSize).width() + cell.x();
}
