// Mouse events go through the window system layer, so that moves carry the
// held buttons and a drag past the widget's edge still reaches it.
#define QTEST_QPA_MOUSE_HANDLING

#include "overlaytesting.h"

#include "globals.h"
#include "line.h"
#include "paintwidget.h"
#include "rect.h"
#include "spot.h"
#include "sensormapping.h"

#include <QImage>
#include <QtTest>

#include <memory>

using namespace overlaytesting;

Q_DECLARE_METATYPE(Shape::Code)

namespace {

bool isKind(const Shape* shape, Shape::Code code)
{
    switch (code) {
    case Shape::SpotCode:
        return dynamic_cast<const Spot*>(shape) != nullptr;
    case Shape::LineCode:
        return dynamic_cast<const Line*>(shape) != nullptr;
    case Shape::RectCode:
        return dynamic_cast<const Rect*>(shape) != nullptr;
    }
    return false;
}

} // namespace

class TestPaintWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cleanupTestCase();

    void leftDragCreatesTheChosenKind_data();
    void leftDragCreatesTheChosenKind();
    void dragOutsidePinsToTheEdge();
    void toolChangeOnlyAffectsTheNextPress();
    void otherButtonsNeverDraw();
    void scaleShapesDoublesTheCoordinates();
    void rotateShapesTurnsAQuarter();
    void otherAnglesAndZeroSizesLeaveShapesAlone_data();
    void otherAnglesAndZeroSizesLeaveShapesAlone();
    void spotFollowsTheHotCellThroughQuarterTurns();
    void paintDrawsLabelsInTheirColours();

private:
    void drag(Qt::MouseButton button, const QPoint& from, const QPoint& to);
    void resizeView(const QSize& size);

    std::unique_ptr<QWidget> view;  // stands in for the image view
    PaintWidget* overlay = nullptr;
};

void TestPaintWidget::init()
{
    g_temp_unit = 0;
    g_rotate_angle = 0;
    storeGrid(uniformGrid(20.0f));
    view = std::make_unique<QWidget>();
    view->resize(400, 300);
    overlay = new PaintWidget(view.get());
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestPaintWidget::cleanup()
{
    view.reset();
}

void TestPaintWidget::cleanupTestCase()
{
    g_temp_unit = 0;
    g_rotate_angle = 0;
}

void TestPaintWidget::drag(Qt::MouseButton button, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(overlay, button, {}, from);
    QTest::mouseMove(overlay, (from + to) / 2);
    QTest::mouseMove(overlay, to);
    QTest::mouseRelease(overlay, button, {}, to);
}

void TestPaintWidget::resizeView(const QSize& size)
{
    view->resize(size);
    overlay->resize(size);
}

void TestPaintWidget::leftDragCreatesTheChosenKind_data()
{
    QTest::addColumn<Shape::Code>("code");
    QTest::newRow("spot") << Shape::SpotCode;
    QTest::newRow("line") << Shape::LineCode;
    QTest::newRow("rect") << Shape::RectCode;
}

void TestPaintWidget::leftDragCreatesTheChosenKind()
{
    QFETCH(Shape::Code, code);
    overlay->setCurrentShape(code);
    drag(Qt::LeftButton, QPoint(50, 60), QPoint(150, 100));

    QCOMPARE(overlay->shapeList().size(), 1);
    Shape* shape = overlay->activeShape();
    QCOMPARE(shape, overlay->shapeList().last());
    QVERIFY(isKind(shape, code));
    QCOMPARE(shape->startPoint, QPoint(50, 60));
    QCOMPARE(shape->endPoint, QPoint(150, 100));
    QCOMPARE(shape->owner.data(), static_cast<QWidget*>(overlay));

    // A move after the release changes nothing; a click gives a shape of
    // one point.
    QTest::mouseMove(overlay, QPoint(10, 10));
    QCOMPARE(shape->endPoint, QPoint(150, 100));
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(77, 88));
    QCOMPARE(overlay->activeShape()->startPoint, QPoint(77, 88));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(77, 88));
}

void TestPaintWidget::dragOutsidePinsToTheEdge()
{
    overlay->setCurrentShape(Shape::RectCode);
    QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(200, 150));
    QTest::mouseMove(overlay, QPoint(-30, 500));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(0, 299));
    QTest::mouseMove(overlay, QPoint(450, -2));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(399, 0));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(450, -2));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(399, 0));
}

void TestPaintWidget::toolChangeOnlyAffectsTheNextPress()
{
    overlay->setCurrentShape(Shape::LineCode);
    drag(Qt::LeftButton, QPoint(10, 10), QPoint(60, 10));
    overlay->setCurrentShape(Shape::RectCode);
    QVERIFY(isKind(overlay->activeShape(), Shape::LineCode));
    drag(Qt::LeftButton, QPoint(100, 100), QPoint(150, 150));
    overlay->setCurrentShape(Shape::SpotCode);
    drag(Qt::LeftButton, QPoint(200, 200), QPoint(210, 220));

    const QList<Shape*>& shapes = overlay->shapeList();
    QCOMPARE(shapes.size(), 3);
    QVERIFY(isKind(shapes[0], Shape::LineCode));
    QVERIFY(isKind(shapes[1], Shape::RectCode));
    QVERIFY(isKind(shapes[2], Shape::SpotCode));
    QCOMPARE(shapes[0]->endPoint, QPoint(60, 10));

    QTest::ignoreMessage(QtWarningMsg, "PaintWidget::setCurrentShape: unknown shape code 7");
    overlay->setCurrentShape(static_cast<Shape::Code>(7));
    QCOMPARE(overlay->shapeCode(), Shape::SpotCode);
}

void TestPaintWidget::otherButtonsNeverDraw()
{
    drag(Qt::LeftButton, QPoint(10, 10), QPoint(40, 40));
    Shape* first = overlay->activeShape();

    // A right-button drag afterwards changes nothing.
    drag(Qt::RightButton, QPoint(100, 100), QPoint(200, 200));
    QCOMPARE(overlay->shapeList().size(), 1);
    QCOMPARE(first->endPoint, QPoint(40, 40));

    // A right press during a left drag starts nothing, but its release ends
    // the drag.
    QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseMove(overlay, QPoint(310, 110));
    QTest::mousePress(overlay, Qt::RightButton, {}, QPoint(310, 110));
    QCOMPARE(overlay->shapeList().size(), 2);
    QTest::mouseRelease(overlay, Qt::RightButton, {}, QPoint(310, 110));
    QTest::mouseMove(overlay, QPoint(350, 150));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(310, 110));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(350, 150));
}

void TestPaintWidget::scaleShapesDoublesTheCoordinates()
{
    overlay->setCurrentShape(Shape::SpotCode);
    drag(Qt::LeftButton, QPoint(10, 20), QPoint(10, 20));
    overlay->setCurrentShape(Shape::LineCode);
    drag(Qt::LeftButton, QPoint(0, 40), QPoint(10, 40));

    overlay->scaleShapes(QSize(800, 600));
    const QList<Shape*>& shapes = overlay->shapeList();
    QCOMPARE(shapes[0]->startPoint, QPoint(20, 40));
    QCOMPARE(shapes[0]->endPoint, QPoint(20, 40));
    auto* line = static_cast<Line*>(shapes[1]);
    QCOMPARE(line->startPoint, QPoint(0, 80));
    QCOMPARE(line->endPoint, QPoint(20, 80));
    // The samples follow the new end points.
    QCOMPARE(line->samples().size(), 21);
    QCOMPARE(line->segment(), QLine(3, 80, 17, 80));
}

void TestPaintWidget::rotateShapesTurnsAQuarter()
{
    overlay->setCurrentShape(Shape::LineCode);
    drag(Qt::LeftButton, QPoint(100, 50), QPoint(300, 50));

    overlay->rotateShapes(QSize(225, 300), 90);
    Shape* line = overlay->activeShape();
    // (trunc((300 - 50) * 0.75), trunc(100 * 0.75))
    QCOMPARE(line->startPoint, QPoint(187, 75));
    QCOMPARE(line->endPoint, QPoint(187, 225));
    QCOMPARE(static_cast<Line*>(line)->samples().size(), 151);

    // 450 degrees is a quarter turn too.
    resizeView(QSize(225, 300));
    overlay->rotateShapes(QSize(400, 300), 450);
    QCOMPARE(line->startPoint, QPoint(300, 249));
}

void TestPaintWidget::otherAnglesAndZeroSizesLeaveShapesAlone_data()
{
    QTest::addColumn<QSize>("overlaySize");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<int>("angle");  // for rotations
    QTest::addColumn<bool>("scale");
    for (int angle : {180, 270, 0, -270})
        QTest::newRow(qPrintable(QString("rotate %1").arg(angle)))
            << QSize(400, 300) << QSize(225, 300) << angle << false;
    QTest::newRow("scale to no width") << QSize(400, 300) << QSize(0, 600) << 0 << true;
    QTest::newRow("rotate to no height") << QSize(400, 300) << QSize(300, 0) << 90 << false;
    QTest::newRow("scale from no size") << QSize(0, 0) << QSize(800, 600) << 0 << true;
    QTest::newRow("rotate from no size") << QSize(0, 0) << QSize(225, 300) << 90 << false;
}

void TestPaintWidget::otherAnglesAndZeroSizesLeaveShapesAlone()
{
    QFETCH(QSize, overlaySize);
    QFETCH(QSize, target);
    QFETCH(int, angle);
    QFETCH(bool, scale);
    drag(Qt::LeftButton, QPoint(100, 50), QPoint(120, 70));
    overlay->resize(overlaySize);
    if (scale)
        overlay->scaleShapes(target);
    else
        overlay->rotateShapes(target, angle);
    QCOMPARE(overlay->activeShape()->startPoint, QPoint(100, 50));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(120, 70));
}

// The way the main window turns the picture: the setting advances, the
// shapes turn with the overlay, and the spot stays on the hot cell.
void TestPaintWidget::spotFollowsTheHotCellThroughQuarterTurns()
{
    const QPoint hot(37, 150);
    std::vector<float> grid = uniformGrid(20.0f);
    setCell(grid, hot, 80.0f);
    setCell(grid, hot + QPoint(1, 0), 10.0f);
    storeGrid(grid);

    resizeView(QSize(512, 384));
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
        resizeView(turned);
        QCOMPARE(spot->measure()->highest, 80.0f);
        QCOMPARE(rect->measure()->highest, 80.0f);
        QCOMPARE(rect->measure()->lowest, 10.0f);
    }
    QCOMPARE(spot->startPoint, QPoint(2 * hot.x() + 1, 2 * hot.y() + 1));
}

void TestPaintWidget::paintDrawsLabelsInTheirColours()
{
    storeGrid(labelColourGrid());
    overlay->setCurrentShape(Shape::LineCode);
    drag(Qt::LeftButton, QPoint(100, 50), QPoint(300, 250));
    overlay->setCurrentShape(Shape::SpotCode);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(50, 250));

    QImage image(overlay->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    overlay->render(&image);

    const QSize size = overlay->size();
    const QRect spotLabel = labelBox(labelAnchor(size, QPoint(50, 250)));
    QVERIFY(countPixelsIn(image, labelBox(labelAnchor(size, QPoint(100, 50))), QColor(HighestColor)) > 10);
    QVERIFY(countPixelsIn(image, labelBox(labelAnchor(size, QPoint(200, 150))), QColor(LowestColor)) > 10);
    QVERIFY(countPixelsIn(image, spotLabel, Qt::white) > 10);
    QCOMPARE(countPixelsIn(image, spotLabel, QColor(HighestColor)), 0);
    QCOMPARE(image.pixelColor(200, 250), QColor(Qt::black));  // transparent background
}

QTEST_MAIN(TestPaintWidget)
#include "test_paintwidget.moc"
