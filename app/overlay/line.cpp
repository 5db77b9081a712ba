#include "line.h"

#include "globals.h"

#include <QPainter>
#include <QWidget>
#include <QtMath>

#include <cmath>

namespace {

// 3 * d / length, rounded away from zero: 0 only for d = 0, else 1 to 3.
int endOffset(int d, float length)
{
    const float offset = 3 * d / length;
    return int(d < 0 ? std::floor(offset) : std::ceil(offset));
}

} // namespace

Line::Line(QWidget* ownerWidget)
    : Shape(ownerWidget)
{
}

void Line::setEndPoint(const QPoint& point)
{
    std::lock_guard<std::mutex> locked(mutex);
    endPoint = point;
    const int dx = point.x() - startPoint.x();
    const int dy = point.y() - startPoint.y();
    float length = float(std::sqrt(double(dx) * dx + double(dy) * dy));
    if (qFuzzyIsNull(length))
        length = 1;
    const QPoint offset(endOffset(dx, length), endOffset(dy, length));
    segmentStart = startPoint + offset;
    segmentEnd = endPoint - offset;

    samplePoints.clear();
    samplePoints.append(startPoint);
    samplePoints.append(endPoint);
    subdivide(samplePoints, startPoint, endPoint);
}

void Line::subdivide(QVector<QPoint>& points, const QPoint& a, const QPoint& b)
{
    if (a == b)
        return;
    const QPoint c = QLine(a, b).center();
    if (c == a || c == b)
        return;
    points.append(c);
    subdivide(points, a, c);
    subdivide(points, c, b);
}

void Line::draw(QPainter& painter, LabelLayout& labels)
{
    if (!owner)
        return;
    std::unique_lock<std::mutex> locked(mutex, std::try_to_lock);
    if (!locked.owns_lock() || samplePoints.size() < 2)
        return;

    painter.setPen(Qt::white);
    drawCircle(painter, startPoint);
    painter.drawLine(segmentStart, segmentEnd);
    drawCircle(painter, endPoint);
    if (const std::optional<Measurement> m = measureSamples())
        drawExtremes(painter, labels, *m);
    else
        labels.add(endPoint, QString::fromLatin1(NoReading), QColor(SpotLabelColor));
}

std::optional<Measurement> Line::measure() const
{
    if (!owner)
        return std::nullopt;
    std::lock_guard<std::mutex> locked(mutex);
    if (samplePoints.size() < 2)
        return std::nullopt;
    return measureSamples();
}

std::optional<Measurement> Line::measureSamples() const
{
    TemperatureSnapshot::Reader reader;
    const TemperatureSnapshot::Copy& copy = reader.copyFor(g_rotate_angle.load());
    if (!copy.live)
        return std::nullopt;
    const QSize ownerSize = owner->size();

    Measurement m;
    m.hotPoint = m.coldPoint = startPoint;
    m.highest = m.lowest = temperatureAt(copy, ownerSize, samplePoints.first());
    m.unit = copy.unit;
    for (const QPoint& sample : samplePoints) {
        const float value = temperatureAt(copy, ownerSize, sample);
        if (value > m.highest) {
            m.highest = value;
            m.hotPoint = sample;
        }
        if (value < m.lowest) {
            m.lowest = value;
            m.coldPoint = sample;
        }
    }
    return m;
}

QLine Line::segment() const
{
    std::lock_guard<std::mutex> locked(mutex);
    return QLine(segmentStart, segmentEnd);
}

QVector<QPoint> Line::samples() const
{
    std::lock_guard<std::mutex> locked(mutex);
    return samplePoints;
}
