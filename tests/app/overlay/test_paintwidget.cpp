// Mouse events go through the window system layer, so that moves carry the
// held buttons and a drag past the widget's edge still reaches it.
#define QTEST_QPA_MOUSE_HANDLING

#include "overlaytesting.h"

#include "globals.h"
#include "line.h"
#include "paintwidget.h"
#include "rect.h"
#include "spot.h"

#include <QtTest>

#include <memory>

using namespace overlaytesting;

class TestPaintWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void leftDragCreatesTheChosenKind();
    void toolChangeAndOtherButtons();
    void scaleAndTurn();
    void shapesFollowTheHotCellThroughFourQuarterTurns();

private:
    void drag(Qt::MouseButton button, const QPoint& from, const QPoint& to);

    std::unique_ptr<QWidget> view;  // stands in for the image view
    PaintWidget* overlay = nullptr;
};

void TestPaintWidget::init()
{
    g_rotate_angle = 0;
    storeGrid(uniformGrid(20.0f));
    view = std::make_unique<QWidget>();
    view->resize(400, 300);
    overlay = new PaintWidget(view.get());
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestPaintWidget::drag(Qt::MouseButton button, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(overlay, button, {}, from);
    QTest::mouseMove(overlay, (from + to) / 2);
    QTest::mouseMove(overlay, to);
    QTest::mouseRelease(overlay, button, {}, to);
}

// The drag's end follows the mouse, pinned to the widget's edge, and stays
// put once the button is up.
void TestPaintWidget::leftDragCreatesTheChosenKind()
{
    for (Shape::Code code : {Shape::SpotCode, Shape::LineCode, Shape::RectCode}) {
        init();
        overlay->setCurrentShape(code);
        drag(Qt::LeftButton, QPoint(50, 60), QPoint(150, 100));
        QCOMPARE(overlay->shapeList().size(), 1);
        Shape* shape = overlay->activeShape();
        QCOMPARE(shape->startPoint, QPoint(50, 60));
        QCOMPARE(shape->endPoint, QPoint(150, 100));
        QCOMPARE(shape->owner.data(), static_cast<QWidget*>(overlay));
        const bool kind[] = {dynamic_cast<Spot*>(shape) != nullptr, dynamic_cast<Line*>(shape) != nullptr,
                             dynamic_cast<Rect*>(shape) != nullptr};
        QVERIFY(kind[code]);
        QTest::mouseMove(overlay, QPoint(10, 10));
        QCOMPARE(shape->endPoint, QPoint(150, 100));

        QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(200, 150));
        QTest::mouseMove(overlay, QPoint(-30, 500));
        QCOMPARE(overlay->activeShape()->endPoint, QPoint(0, 299));
        QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(450, -2));
        QCOMPARE(overlay->activeShape()->endPoint, QPoint(399, 0));
    }
}

void TestPaintWidget::toolChangeAndOtherButtons()
{
    overlay->setCurrentShape(Shape::LineCode);
    drag(Qt::LeftButton, QPoint(10, 10), QPoint(60, 10));
    overlay->setCurrentShape(Shape::RectCode);  // the next press only
    QVERIFY(dynamic_cast<Line*>(overlay->activeShape()));
    overlay->setCurrentShape(static_cast<Shape::Code>(7));
    QCOMPARE(overlay->shapeCode(), Shape::RectCode);

    // A right-button drag neither draws nor moves the last shape.
    drag(Qt::RightButton, QPoint(100, 100), QPoint(200, 200));
    QCOMPARE(overlay->shapeList().size(), 1);
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(60, 10));
    // A right press during a left drag starts nothing, but its release ends
    // the drag.
    QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mousePress(overlay, Qt::RightButton, {}, QPoint(310, 110));
    QTest::mouseRelease(overlay, Qt::RightButton, {}, QPoint(310, 110));
    QTest::mouseMove(overlay, QPoint(350, 150));
    QCOMPARE(overlay->shapeList().size(), 2);
    QVERIFY(dynamic_cast<Rect*>(overlay->activeShape()));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(310, 110));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(350, 150));
}

// A line drawn from (100, 50) to (300, 50) after the overlay is scaled (angle
// -1) or turned; from no size, or to no width, it stays as drawn.
void TestPaintWidget::scaleAndTurn()
{
    const QLine drawn(100, 50, 300, 50);
    const QSize land(400, 300), portrait(225, 300), none(0, 0);
    const QLine turned(187, 75, 187, 225);  // (trunc((300 - 50) * 0.75), trunc(100 * 0.75))
    const struct {
        QSize from, to;
        int angle;
        QLine line;
    } cases[] = {{land, QSize(800, 600), -1, QLine(200, 100, 600, 100)}, {land, portrait, 90, turned},
                 {land, portrait, 450, turned}, {land, portrait, 180, drawn}, {land, portrait, 270, drawn},
                 {land, QSize(0, 600), -1, drawn}, {none, QSize(800, 600), -1, drawn}, {none, portrait, 90, drawn}};
    for (const auto& [from, to, angle, line] : cases) {
        init();
        overlay->setCurrentShape(Shape::LineCode);
        drag(Qt::LeftButton, QPoint(100, 50), QPoint(300, 50));
        overlay->resize(from);
        if (angle < 0)
            overlay->scaleShapes(to);
        else
            overlay->rotateShapes(to, angle);
        auto* shape = static_cast<Line*>(overlay->activeShape());
        QCOMPARE(QLine(shape->startPoint, shape->endPoint), line);
        // The samples follow the new end points.
        QCOMPARE(shape->samples().size(), std::max(qAbs(line.dx()), qAbs(line.dy())) + 1);
    }
}

// The way the main window turns the picture: the setting advances, the
// shapes turn with the overlay and keep reading the same cells; four turns
// bring the spot back where it was.
void TestPaintWidget::shapesFollowTheHotCellThroughFourQuarterTurns()
{
    const QPoint hot(37, 150);
    std::vector<float> grid = uniformGrid(20.0f);
    setCell(grid, hot, 80.0f);
    setCell(grid, hot + QPoint(1, 0), 10.0f);
    storeGrid(grid);

    view->resize(512, 384);
    overlay->resize(512, 384);
    overlay->setCurrentShape(Shape::SpotCode);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(2 * hot.x() + 1, 2 * hot.y() + 1));
    overlay->setCurrentShape(Shape::RectCode);
    drag(Qt::LeftButton, QPoint(2 * hot.x() - 9, 2 * hot.y() - 9), QPoint(2 * hot.x() + 15, 2 * hot.y() + 15));
    Shape* spot = overlay->shapeList()[0];
    Shape* rect = overlay->shapeList()[1];

    for (int turn = 1; turn <= 4; ++turn) {
        g_rotate_angle = (g_rotate_angle + 90) % 360;
        const QSize turned = overlay->size().transposed();
        overlay->rotateShapes(turned, 90);
        view->resize(turned);
        overlay->resize(turned);
        QCOMPARE(spot->measure()->highest, 80.0f);
        QCOMPARE(rect->measure()->highest, 80.0f);
        QCOMPARE(rect->measure()->lowest, 10.0f);
    }
    QCOMPARE(spot->startPoint, QPoint(2 * hot.x() + 1, 2 * hot.y() + 1));

    // The overlay paints the labels over a transparent background.
    QImage image(overlay->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    overlay->render(&image);
    QVERIFY(countPixelsIn(image, image.rect(), QColor(HighestColor)) > 10);
    QCOMPARE(image.pixelColor(400, 300), QColor(Qt::black));
}

QTEST_MAIN(TestPaintWidget)
#include "test_paintwidget.moc"
