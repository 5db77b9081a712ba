// A line: the highest and lowest temperature along a segment.
//
// The sample points are computed once per end point, not per repaint.
// setEndPoint() waits for the line's mutex; draw() only tries it and skips the
// line for one repaint when it is taken.
#pragma once

#include "shape.h"

#include <QLine>
#include <QVector>

#include <mutex>

class Line : public Shape
{
public:
    explicit Line(QWidget* owner);

    void setEndPoint(const QPoint& point) override;
    using Shape::draw;
    void draw(QPainter& painter, LabelLayout& labels) override;
    std::optional<Measurement> measure() const override;

    // The drawn segment, pulled in from the end points by up to 3 pixels.
    QLine segment() const;
    // The end points, then the midpoints of recursive halving, depth first.
    QVector<QPoint> samples() const;

private:
    static void subdivide(QVector<QPoint>& points, const QPoint& a, const QPoint& b);
    // Needs the mutex held and at least one sample.
    std::optional<Measurement> measureSamples() const;

    QPoint segmentStart;
    QPoint segmentEnd;
    QVector<QPoint> samplePoints;
    mutable std::mutex mutex;  // guards the three fields above
};
