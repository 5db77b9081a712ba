// Measurement shapes drawn over the live picture. A shape knows its two
// defining points in overlay-widget coordinates and draws its outline and
// temperature labels, read afresh from the temperature snapshot at every draw.
// Shapes live on the GUI thread; the overlay widget that creates them owns them.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>

#include "labellayout.h"
#include "temperaturesnapshot.h"

#include <optional>

class QFont;
class QPainter;
class QWidget;

// What a shape measures: its hottest and coldest points (widget coordinates)
// and their temperatures, in the unit of the snapshot copy they came from.
// A spot has one point, so both extremes are the same.
struct Measurement
{
    QPoint hotPoint;
    float highest = 0;
    QPoint coldPoint;
    float lowest = 0;
    int unit = 0;  // 1: degrees Fahrenheit, 0: degrees Celsius
};

class Shape
{
public:
    // The kind of shape the overlay's next press creates.
    enum Code { SpotCode = 0, LineCode = 1, RectCode = 2 };

    // owner: the overlay widget; not owned. Both points start at (0, 0).
    explicit Shape(QWidget* owner);
    virtual ~Shape();
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;

    virtual void setEndPoint(const QPoint& point);
    // Draws the outline and queues the temperature labels; the caller paints
    // the labels of all its shapes together once they are drawn.
    virtual void draw(QPainter& painter, LabelLayout& labels) = 0;
    // Draws the shape alone, labels included.
    void draw(QPainter& painter);

    // Reads the snapshot copy of the current rotation. Empty when the shape
    // has no owner (or, for a line, no samples yet), and while the snapshot
    // holds no live values (no camera): the labels then read NoReading.
    virtual std::optional<Measurement> measure() const = 0;

    QPoint startPoint;  // where the mouse button went down
    QPoint endPoint;    // the current or final drag point
    QPointer<QWidget> owner;  // drives the mappings and the label placement

protected:
    // The temperature under a widget point in one snapshot copy.
    static float temperatureAt(const TemperatureSnapshot::Copy& copy, const QSize& ownerSize,
                               const QPoint& point);
    // A circle of diameter 6 centred on a point, in the painter's pen.
    static void drawCircle(QPainter& painter, const QPoint& centre);
    // The cold and hot markers and their labels, hot last so that it wins
    // its place.
    static void drawExtremes(QPainter& painter, LabelLayout& labels, const Measurement& m);
};

// The label of a shape while there is no live reading.
extern const char* const NoReading;  // "--"

// "12.3℃" or "54.1℉": one decimal, the unit sign right after the value.
QString temperatureText(float value, int unit);

// Where a label's base line starts for a marker, kept inside the owner.
QPoint labelAnchor(const QSize& ownerSize, const QPoint& marker);

// The labels' font: "Microsoft YaHei", 12 pixels, normal weight.
QFont labelFont();

// Colours of the labels and markers.
extern const char* const SpotLabelColor;  // "#FFFFFF"
extern const char* const HighestColor;    // "#FF0000"
extern const char* const LowestColor;     // "#2B79D8"
