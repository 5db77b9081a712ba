#include "rect.h"

#include "globals.h"
#include "sensormapping.h"

#include <QPainter>
#include <QRect>
#include <QWidget>

#include <algorithm>

namespace {

// A marker outside the drawn rectangle is pulled onto its nearest edge. The
// clamp works on the corners' spans, so a rectangle dragged towards the top
// right or bottom left keeps its markers inside too.
QPoint clampedInto(const QPoint& marker, const QPoint& first, const QPoint& second)
{
    if (QRect(first, second).contains(marker, false))
        return marker;
    return QPoint(qBound(std::min(first.x(), second.x()), marker.x(), std::max(first.x(), second.x())),
                  qBound(std::min(first.y(), second.y()), marker.y(), std::max(first.y(), second.y())));
}

} // namespace

Rect::Rect(QWidget* ownerWidget)
    : Shape(ownerWidget)
{
}

void Rect::draw(QPainter& painter, LabelLayout& labels)
{
    painter.setPen(Qt::white);
    painter.drawRect(startPoint.x(), startPoint.y(),
                     endPoint.x() - startPoint.x(), endPoint.y() - startPoint.y());
    if (!owner)
        return;
    if (const std::optional<Measurement> m = measure())
        drawExtremes(painter, labels, *m);
    else
        labels.add(endPoint, QString::fromLatin1(NoReading), QColor(SpotLabelColor));
}

std::optional<Measurement> Rect::measure() const
{
    if (!owner)
        return std::nullopt;
    TemperatureSnapshot::Reader reader;
    const TemperatureSnapshot::Copy& copy = reader.copyFor(g_rotate_angle.load());
    if (!copy.live)
        return std::nullopt;
    const QSize ownerSize = owner->size();
    const int columns = sensorGridSize(ownerSize).width();
    const QPoint first = widgetToSensor(ownerSize, startPoint);
    const QPoint second = widgetToSensor(ownerSize, endPoint);
    const auto valueAt = [&](int x, int y) { return copy.values[y * columns + x]; };

    QPoint hot = first;
    QPoint cold = first;
    float highest = valueAt(first.x(), first.y());
    float lowest = highest;
    // Column by column from the first corner towards the second, which is
    // left out, as is its row.
    if (first.x() != second.x() && first.y() != second.y()) {
        const int stepX = first.x() < second.x() ? 1 : -1;
        const int stepY = first.y() < second.y() ? 1 : -1;
        for (int x = first.x(); x != second.x(); x += stepX) {
            for (int y = first.y(); y != second.y(); y += stepY) {
                const float value = valueAt(x, y);
                if (value > highest) {
                    highest = value;
                    hot = QPoint(x, y);
                }
                if (value < lowest) {
                    lowest = value;
                    cold = QPoint(x, y);
                }
            }
        }
    }

    Measurement m;
    m.hotPoint = clampedInto(sensorToWidget(ownerSize, hot), startPoint, endPoint);
    m.coldPoint = clampedInto(sensorToWidget(ownerSize, cold), startPoint, endPoint);
    m.highest = highest;
    m.lowest = lowest;
    m.unit = copy.unit;
    return m;
}
