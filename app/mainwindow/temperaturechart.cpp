#include "temperaturechart.h"
#include "openglrenderer.h"

#include <QBrush>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QPen>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

namespace {

const QColor MinimumColor(QStringLiteral("#2B79D8"));
const QColor AxisLabelColor(QStringLiteral("#999999"));
const QColor ChartBackground(QStringLiteral("#F4F4F4"));

QFont axisLabelFont()
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(10);
    font.setWeight(QFont::Normal);
    return font;
}

QLineSeries* makeCurve(const QColor& colour)
{
    auto* series = new QLineSeries;
    QPen pen(colour, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    series->setPen(pen);
    // A software OpenGL would compose the whole window on every frame.
    series->setUseOpenGL(preferredDrawingPath() == DrawingPath::OpenGL);
    series->setPointsVisible(true);
    series->setPointLabelsClipping(true);
    return series;
}

QDateTime localTime(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms);
}

} // namespace

QString temperatureUnitSign(int unit)
{
    return unit != 0 ? QStringLiteral("℉") : QStringLiteral("℃");
}

QString temperatureAxisFormat(int unit)
{
    return QStringLiteral("%.0f") + temperatureUnitSign(unit);
}

TemperatureRange temperatureAxisRange(const QVector<QPointF>& maxPoints, const QVector<QPointF>& minPoints)
{
    const int last = int(std::min(maxPoints.size(), minPoints.size())) - 1;
    if (last < 0)
        return {};
    float hi = float(maxPoints[last].y());
    float lo = float(minPoints[last].y());
    const int oldest = std::max(0, last - (TemperatureChart::LookBack - 1));
    for (int i = last - 1; i >= oldest; --i) {
        hi = std::max(hi, float(maxPoints[i].y()));
        lo = std::min(lo, float(minPoints[i].y()));
    }
    const double margin = std::fabs(double(hi) - double(lo)) / 5;
    const float low = float(lo - margin);
    const float high = float(hi + margin);
    const float spread = std::fabs(high - low);
    const float middle = spread * 0.5f + low;
    const float step = std::ceil(spread * 0.25f);
    return {double(middle - 2 * step), double(middle + 2 * step)};
}

TemperatureChart::TemperatureChart(int axisMaximum, int timeWindow, int unit, qint64 now)
    : axisMaximum(axisMaximum)
    , windowMs(qint64(timeWindow) * 1000)
{
    chartObject = new QChart;
    chartObject->setMargins(QMargins(0, 0, 0, 0));
    chartObject->setBackgroundRoundness(0);
    chartObject->setBackgroundBrush(QBrush(ChartBackground));
    chartObject->legend()->hide();
    chartObject->setAnimationOptions(QChart::NoAnimation);
    // Labels are formatted through the locale so that the unit sign after
    // the number survives (the plain printf path is Latin-1 only); the C
    // locale formats numbers as printf does.
    chartObject->setLocale(QLocale::c());
    chartObject->setLocalizeNumbers(true);

    valueAxis = new QValueAxis;
    valueAxis->setLabelFormat(temperatureAxisFormat(unit));
    valueAxis->setRange(0, axisMaximum);
    dateAxis = new QDateTimeAxis;
    dateAxis->setTickCount(11);
    dateAxis->setFormat(QStringLiteral("mm:ss"));
    dateAxis->setGridLineVisible(false);
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(valueAxis), static_cast<QAbstractAxis*>(dateAxis)}) {
        axis->setLabelsFont(axisLabelFont());
        axis->setLabelsColor(AxisLabelColor);
    }
    chartObject->addAxis(valueAxis, Qt::AlignLeft);
    chartObject->addAxis(dateAxis, Qt::AlignBottom);
    setTimeRange(now);

    maxCurve = makeCurve(Qt::red);
    minCurve = makeCurve(MinimumColor);
    for (QLineSeries* series : {maxCurve, minCurve}) {
        chartObject->addSeries(series);
        series->attachAxis(valueAxis);
        series->attachAxis(dateAxis);
    }
}

void TemperatureChart::setTimeRange(qint64 from)
{
    dateAxis->setRange(localTime(from), localTime(from + windowMs));
}

void TemperatureChart::append(float max, float min, qint64 time)
{
    maxCurve->append(qreal(time), qreal(max));
    minCurve->append(qreal(time), qreal(min));
    if (count == 0) {
        start = time;
        setTimeRange(time);
    } else if (count >= 20 && time > start + windowMs) {
        setTimeRange(time - windowMs);
        dropScrolledOutPoints();
    }
    ++count;

    const TemperatureRange range = temperatureAxisRange(maxCurve->pointsVector(), minCurve->pointsVector());
    valueAxis->setRange(range.low, range.high);
}

// A point may go once the point after it is left of the window too: the
// segment between them is not drawn. The look-back keeps its points whatever
// their time.
void TemperatureChart::dropScrolledOutPoints()
{
    const qreal windowStart = qreal(dateAxis->min().toMSecsSinceEpoch());
    const QVector<QPointF> points = maxCurve->pointsVector();
    int drop = 0;
    while (points.size() - drop > LookBack && points[drop + 1].x() < windowStart)
        ++drop;
    if (drop > 0) {
        maxCurve->removePoints(0, drop);
        minCurve->removePoints(0, drop);
    }
}

void TemperatureChart::reset(int unit, qint64 now)
{
    maxCurve->clear();
    minCurve->clear();
    count = 0;
    start = 0;
    setTimeRange(now);
    if (unit != 0) {
        valueAxis->setLabelFormat(temperatureAxisFormat(1));
        valueAxis->setRange(0, axisMaximum * 1.8 + 32);
    } else {
        valueAxis->setLabelFormat(temperatureAxisFormat(0));
        valueAxis->setRange(0, axisMaximum);
    }
}
