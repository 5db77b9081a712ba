// The temperature profile chart below the live picture: the scene's highest
// and lowest temperature over a scrolling twenty-second time axis, with a
// temperature axis that follows the newest values.
#pragma once

#include <QString>
#include <QVector>
#include <QPointF>
#include <QtGlobal>

namespace QtCharts {
class QChart;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
} // namespace QtCharts

// A temperature axis range.
struct TemperatureRange
{
    double low = 0;
    double high = 0;
};

// The temperature axis for the newest points of the two curves: the extremes
// of at most the 21 newest points, widened by a fifth of their spread on
// either side and laid out around the middle in four whole steps. Both lists
// must hold the same number of points, at least one.
TemperatureRange temperatureAxisRange(const QVector<QPointF>& maxPoints, const QVector<QPointF>& minPoints);

// The chart and its state. The QChart is made without a parent and handed to
// the chart view that shows it (which then owns it); this object only points
// into it. Not thread-safe: the main window serialises every call under its
// chart mutex.
class TemperatureChart
{
public:
    // The points the temperature axis looks back over.
    static constexpr int LookBack = 21;

    // axisMaximum: top of the temperature axis after a reset, in degrees
    // Celsius; timeWindow: seconds shown on the time axis. unit: 0 Celsius,
    // 1 Fahrenheit; now: ms since the epoch.
    TemperatureChart(int axisMaximum, int timeWindow, int unit, qint64 now);

    QtCharts::QChart* chart() const { return chartObject; }
    QtCharts::QLineSeries* maxSeries() const { return maxCurve; }
    QtCharts::QLineSeries* minSeries() const { return minCurve; }
    QtCharts::QValueAxis* temperatureAxis() const { return valueAxis; }
    QtCharts::QDateTimeAxis* timeAxis() const { return dateAxis; }
    quint32 pointCount() const { return count; }
    qint64 startTime() const { return start; }

    // Adds one pair of values at `time` (ms since the epoch) and moves the
    // axes. Points that have scrolled out of the time window are dropped, as
    // long as the look-back keeps its points and the line still enters the
    // window from the left.
    void append(float max, float min, qint64 time);
    // Empties the curves and starts over at `now` in the unit.
    void reset(int unit, qint64 now);

private:
    void setTimeRange(qint64 from);
    void dropScrolledOutPoints();

    const int axisMaximum;
    const qint64 windowMs;
    QtCharts::QChart* chartObject = nullptr;
    QtCharts::QValueAxis* valueAxis = nullptr;
    QtCharts::QDateTimeAxis* dateAxis = nullptr;
    QtCharts::QLineSeries* maxCurve = nullptr;
    QtCharts::QLineSeries* minCurve = nullptr;
    quint32 count = 0;
    qint64 start = 0;
};

// "%.0f℃" or "%.0f℉" for the temperature axis labels.
QString temperatureAxisFormat(int unit);
// "℃" or "℉".
QString temperatureUnitSign(int unit);
