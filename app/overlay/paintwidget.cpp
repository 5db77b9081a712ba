#include "paintwidget.h"

#include "line.h"
#include "rect.h"
#include "spot.h"
#include "temperaturesnapshot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace {

bool hasArea(const QSize& size)
{
    return size.width() > 0 && size.height() > 0;
}

// Divided in double precision, kept as float like the products it scales.
float ratio(int numerator, int denominator)
{
    return float(double(numerator) / denominator);
}

} // namespace

PaintWidget::PaintWidget(QWidget* parent)
    : QWidget(parent)
{
    if (parent)
        resize(parent->size());
    setStyleSheet(QStringLiteral("background-color:transparent"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

PaintWidget::~PaintWidget()
{
    qDeleteAll(shapes);
}

void PaintWidget::setCurrentShape(Shape::Code code)
{
    if (code != Shape::SpotCode && code != Shape::LineCode && code != Shape::RectCode) {
        qWarning("PaintWidget::setCurrentShape: unknown shape code %d", int(code));
        return;
    }
    if (code != currentCode)
        currentCode = code;
}

Shape* PaintWidget::createShape(Shape::Code code)
{
    switch (code) {
    case Shape::LineCode:
        return new Line(this);
    case Shape::RectCode:
        return new Rect(this);
    case Shape::SpotCode:
    default:
        return new Spot(this);
    }
}

void PaintWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    currentShape = createShape(currentCode);
    released = false;
    shapes.append(currentShape);
    currentShape->startPoint = event->pos();
    currentShape->setEndPoint(event->pos());
    update();
}

void PaintWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!currentShape || released)
        return;
    const QPoint point(qBound(0, event->pos().x(), width() - 1),
                       qBound(0, event->pos().y(), height() - 1));
    currentShape->setEndPoint(point);
    update();
}

void PaintWidget::mouseReleaseEvent(QMouseEvent*)
{
    released = true;
}

void PaintWidget::paintEvent(QPaintEvent*)
{
    // One reader across the whole repaint: every shape shows the same frame.
    TemperatureSnapshot::Reader oneFrame;
    QPainter painter(this);
    painter.setPen(QPen(QBrush(QColor(QStringLiteral("#FFFFFF"))), 1, Qt::SolidLine,
                        Qt::SquareCap, Qt::BevelJoin));
    // The labels of all shapes are placed together, so that none covers
    // another.
    LabelLayout labels(size());
    const QList<Shape*> drawn = shapes;
    for (Shape* shape : drawn)
        shape->draw(painter, labels);
    labels.paint(painter);
}

template <typename Transform> void PaintWidget::transformShapes(Transform transform)
{
    for (Shape* shape : shapes) {
        shape->startPoint = transform(shape->startPoint);
        shape->setEndPoint(transform(shape->endPoint));
    }
}

void PaintWidget::scaleShapes(const QSize& newSize)
{
    const QSize oldSize = size();
    if (!hasArea(oldSize) || !hasArea(newSize))
        return;
    const float fx = ratio(newSize.width(), oldSize.width());
    const float fy = ratio(newSize.height(), oldSize.height());
    transformShapes([fx, fy](const QPoint& p) {
        return QPoint(int(float(p.x()) * fx), int(float(p.y()) * fy));
    });
}

void PaintWidget::rotateShapes(const QSize& newSize, int angle)
{
    if (angle % 360 != 90)
        return;
    const QSize oldSize = size();
    if (!hasArea(oldSize) || !hasArea(newSize))
        return;
    const int oldHeight = oldSize.height();
    const float fx = ratio(newSize.width(), oldSize.height());
    const float fy = ratio(newSize.height(), oldSize.width());
    // A clockwise quarter turn, then scaled to the new size.
    transformShapes([oldHeight, fx, fy](const QPoint& p) {
        return QPoint(int(float(oldHeight - p.y()) * fx), int(float(p.x()) * fy));
    });
}
