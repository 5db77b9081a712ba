#include "shape.h"

#include "sensormapping.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QWidget>

const char* const SpotLabelColor = "#FFFFFF";
const char* const HighestColor = "#FF0000";
const char* const LowestColor = "#2B79D8";
const char* const NoReading = "--";

Shape::Shape(QWidget* ownerWidget)
    : owner(ownerWidget)
{
}

Shape::~Shape() = default;

void Shape::setEndPoint(const QPoint& point)
{
    endPoint = point;
}

float Shape::temperatureAt(const TemperatureSnapshot::Copy& copy, const QSize& ownerSize,
                           const QPoint& point)
{
    return copy.values[sensorIndex(ownerSize, widgetToSensor(ownerSize, point))];
}

void Shape::draw(QPainter& painter)
{
    LabelLayout labels(owner ? owner->size() : QSize());
    draw(painter, labels);
    labels.paint(painter);
}

void Shape::drawCircle(QPainter& painter, const QPoint& centre)
{
    painter.drawEllipse(centre.x() - 3, centre.y() - 3, 6, 6);
}

void Shape::drawExtremes(QPainter& painter, LabelLayout& labels, const Measurement& m)
{
    const QColor lowestColor(LowestColor);
    const QColor highestColor(HighestColor);
    painter.setPen(lowestColor);
    drawCircle(painter, m.coldPoint);
    painter.setPen(highestColor);
    drawCircle(painter, m.hotPoint);
    labels.add(m.coldPoint, temperatureText(m.lowest, m.unit), lowestColor);
    labels.add(m.hotPoint, temperatureText(m.highest, m.unit), highestColor);
}

QString temperatureText(float value, int unit)
{
    const QChar sign = unit != 0 ? QChar(0x2109) : QChar(0x2103);  // ℉ or ℃
    return QString::number(value, 'f', 1) + sign;
}

QPoint labelAnchor(const QSize& ownerSize, const QPoint& marker)
{
    const int width = ownerSize.width();
    const int height = ownerSize.height();
    int x = marker.x() + 5;
    if (x < 5)
        x = 5;
    else if (x > width - 58)
        x = width - 58;
    int y = marker.y() - 5;
    if (y > height - 5)
        y = height - 5;
    else if (y < 18)
        y = 18;
    return QPoint(x, y);
}

QFont labelFont()
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(12);
    font.setWeight(50);
    return font;
}
