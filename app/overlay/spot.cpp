#include "spot.h"

#include "globals.h"

#include <QColor>
#include <QPainter>
#include <QWidget>

Spot::Spot(QWidget* ownerWidget)
    : Shape(ownerWidget)
{
}

void Spot::draw(QPainter& painter, LabelLayout& labels)
{
    const int x = endPoint.x();
    const int y = endPoint.y();
    painter.setPen(Qt::white);
    drawCircle(painter, endPoint);
    // Cross hair with a gap of 3 pixels around the circle.
    painter.drawLine(x - 10, y, x - 3, y);
    painter.drawLine(x + 3, y, x + 10, y);
    painter.drawLine(x, y - 10, x, y - 3);
    painter.drawLine(x, y + 3, x, y + 10);

    if (!owner)
        return;
    const std::optional<Measurement> m = measure();
    labels.add(endPoint, m ? temperatureText(m->highest, m->unit) : QString::fromLatin1(NoReading),
               QColor(SpotLabelColor));
}

std::optional<Measurement> Spot::measure() const
{
    if (!owner)
        return std::nullopt;
    TemperatureSnapshot::Reader reader;
    const TemperatureSnapshot::Copy& copy = reader.copyFor(g_rotate_angle.load());
    if (!copy.live)
        return std::nullopt;
    Measurement m;
    m.hotPoint = m.coldPoint = endPoint;
    m.highest = m.lowest = temperatureAt(copy, owner->size(), endPoint);
    m.unit = copy.unit;
    return m;
}
