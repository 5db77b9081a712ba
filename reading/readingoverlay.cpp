#include "readingoverlay.h"

#include "globals.h"
#include "scalesettings.h"
#include "sensormapping.h"
#include "temperaturesnapshot.h"

#include <QApplication>
#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace reading {
namespace {

constexpr int CrossArm = 9;
const QColor HotColour(255, 40, 40);
const QColor ColdColour(40, 140, 255);
const QColor AlarmColour(230, 0, 0);

// The middle of a grid cell on the widget.
QPoint cellMiddle(const QSize& widgetSize, const QPoint& cell)
{
    const QSize grid = sensorGridSize(widgetSize);
    const QPoint corner = sensorToWidget(widgetSize, cell);
    return corner + QPoint(widgetSize.width() / (2 * grid.width()), widgetSize.height() / (2 * grid.height()));
}

QString degrees(float value)
{
    return QString::number(double(value), 'f', 1) + unitSign(g_temp_unit.load());
}

// A text in a dark box with its top-left at `at`, kept inside `bounds`.
void drawLabel(QPainter& painter, QPoint at, const QString& text, const QColor& colour, const QRect& bounds)
{
    const QFontMetrics metrics(painter.font());
    QRect box(at, QSize(metrics.horizontalAdvance(text) + 8, metrics.height() + 4));
    box.moveRight(std::min(box.right(), bounds.right()));
    box.moveBottom(std::min(box.bottom(), bounds.bottom()));
    box.moveLeft(std::max(box.left(), bounds.left()));
    box.moveTop(std::max(box.top(), bounds.top()));
    painter.fillRect(box, QColor(0, 0, 0, 160));
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

ReadingOverlay::ReadingOverlay(QWidget* pictureWidget)
    : QWidget(pictureWidget)
    , picture(pictureWidget)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    if (picture) {
        resize(picture->size());
        picture->setMouseTracking(true);
        picture->installEventFilter(this);
    }
    qApp->installEventFilter(this);
}

ReadingOverlay::~ReadingOverlay()
{
    qApp->removeEventFilter(this);
}

void ReadingOverlay::setMarkersShown(bool shown)
{
    markersShown = shown;
    update();
}

void ReadingOverlay::setAlarm(const QString& text)
{
    alarmText = text;
    update();
}

ReadingOverlay::Extremes ReadingOverlay::extremes() const
{
    Extremes found;
    const TemperatureSnapshot::Reader reader;
    const float* values = reader.copyFor(g_rotate_angle.load()).values;
    const float* end = values + TemperatureSnapshot::ValueCount;
    const auto [coldest, hottest] = std::minmax_element(values, end);
    // An all-zero grid is one that no frame has filled yet.
    if (*coldest == 0 && *hottest == 0)
        return found;
    const int columns = sensorGridSize(size()).width();
    const auto cellOf = [columns, values](const float* at) {
        const int index = int(at - values);
        return QPoint(index % columns, index / columns);
    };
    found.valid = true;
    found.hot = cellMiddle(size(), cellOf(hottest));
    found.cold = cellMiddle(size(), cellOf(coldest));
    found.hotValue = *hottest;
    found.coldValue = *coldest;
    return found;
}

bool ReadingOverlay::readingAt(const QPoint& point, float* value) const
{
    if (!rect().contains(point))
        return false;
    const TemperatureSnapshot::Reader reader;
    const TemperatureSnapshot::Copy& copy = reader.copyFor(g_rotate_angle.load());
    const int index = sensorIndex(size(), widgetToSensor(size(), point));
    if (index < 0 || index >= TemperatureSnapshot::ValueCount)
        return false;
    *value = copy.values[index];
    return true;
}

bool ReadingOverlay::isOverPicture(QObject* receiver) const
{
    for (QObject* o = receiver; o; o = o->parent())
        if (o == picture)
            return true;
    return false;
}

bool ReadingOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == picture) {
        if (event->type() == QEvent::Resize) {
            resize(picture->size());
        } else if (event->type() == QEvent::ChildAdded) {
            // Measurement layers added later must report plain mouse moves too.
            if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                child->setMouseTracking(true);
            raise();
        } else if (event->type() == QEvent::Leave) {
            cursorInside = false;
            update();
        }
    }
    if (event->type() == QEvent::MouseMove && picture && isOverPicture(watched)) {
        cursor = picture->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPos());
        cursorInside = rect().contains(cursor);
        update();
    }
    return QWidget::eventFilter(watched, event);
}

void ReadingOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (markersShown)
        paintMarkers(painter);
    if (cursorInside)
        paintCursorReading(painter);
    if (!alarmText.isEmpty())
        paintAlarm(painter);
}

void ReadingOverlay::paintMarkers(QPainter& painter)
{
    const Extremes found = extremes();
    if (!found.valid)
        return;
    const struct {
        QPoint at;
        float value;
        QColor colour;
    } marks[] = {{found.hot, found.hotValue, HotColour}, {found.cold, found.coldValue, ColdColour}};
    for (const auto& mark : marks) {
        painter.setPen(QPen(mark.colour, 2));
        painter.drawLine(mark.at - QPoint(CrossArm, 0), mark.at + QPoint(CrossArm, 0));
        painter.drawLine(mark.at - QPoint(0, CrossArm), mark.at + QPoint(0, CrossArm));
        drawLabel(painter, mark.at + QPoint(CrossArm, CrossArm), degrees(mark.value), mark.colour, rect());
    }
}

void ReadingOverlay::paintCursorReading(QPainter& painter)
{
    float value = 0;
    if (readingAt(cursor, &value))
        drawLabel(painter, cursor + QPoint(14, 14), degrees(value), Qt::white, rect());
}

void ReadingOverlay::paintAlarm(QPainter& painter)
{
    painter.setPen(QPen(AlarmColour, 4));
    painter.drawRect(rect().adjusted(2, 2, -2, -2));
    drawLabel(painter, QPoint(width() / 2 - 60, 8), alarmText, QColor(255, 90, 90), rect());
}

}  // namespace reading
