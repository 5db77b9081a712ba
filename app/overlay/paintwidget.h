// The transparent overlay laid over the live picture, on which the user draws
// measurement shapes with the left mouse button. It owns every shape drawn
// since it was created and paints them all, the one being dragged last.
// GUI thread only.
#pragma once

#include "shape.h"

#include <QList>
#include <QWidget>

class PaintWidget : public QWidget
{
    Q_OBJECT

public:
    // A plain child of parent, sized to it when there is one.
    explicit PaintWidget(QWidget* parent = nullptr);
    ~PaintWidget() override;

    // Moves the shapes along with a resize from the current size to newSize.
    // Call before resizing the widget. Shapes stay as they are while either
    // size has no width or height.
    void scaleShapes(const QSize& newSize);
    // Turns the shapes a quarter clockwise and scales them from the current
    // size to newSize; any angle but a quarter turn (angle % 360 == 90)
    // leaves them as they are, and so does a size with no width or height.
    // Call before resizing the widget.
    void rotateShapes(const QSize& newSize, int angle);

    Shape::Code shapeCode() const { return currentCode; }
    // The shape of the latest press (also the last of shapeList()), or null.
    Shape* activeShape() const { return currentShape; }
    // Every shape in creation order; owned by this widget.
    const QList<Shape*>& shapeList() const { return shapes; }

public slots:
    // The kind of shape the next left press creates; shapes already drawn keep
    // theirs. Codes outside Shape::Code are refused with a warning.
    void setCurrentShape(Shape::Code code);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Shape* createShape(Shape::Code code);
    // Replaces each shape's points by transform(point); the end point goes
    // through setEndPoint so that a line recomputes its samples.
    template <typename Transform> void transformShapes(Transform transform);

    Shape::Code currentCode = Shape::SpotCode;
    Shape* currentShape = nullptr;
    bool released = false;  // while set, drags change nothing
    QList<Shape*> shapes;
};
