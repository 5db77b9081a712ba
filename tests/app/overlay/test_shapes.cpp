// The measurement shapes: widget/sensor mapping, label placement, and each
// shape's statistics against a plain scan of the grid.
#include "overlaytesting.h"

#include "globals.h"
#include "line.h"
#include "rect.h"
#include "sensormapping.h"
#include "spot.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QWidget>
#include <QtTest>

#include <random>

using namespace overlaytesting;

namespace {

QImage drawOnBlack(Shape& shape, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    shape.draw(painter);
    return image;
}

// A grid of few distinct values, so that ties are common.
std::vector<float> coarseGrid(std::mt19937& random)
{
    std::vector<float> grid(TemperatureSnapshot::ValueCount);
    std::uniform_int_distribution<int> level(0, 9);
    for (float& value : grid)
        value = float(level(random));
    return grid;
}

float at(const std::vector<float>& grid, const QPoint& cell)
{
    return grid[size_t(cell.y() * Columns + cell.x())];
}

// The extremes over cells in the given order; the first of equals wins.
Measurement scan(const std::vector<float>& grid, const QVector<QPoint>& cells)
{
    Measurement m;
    m.highest = m.lowest = at(grid, cells.first());
    m.hotPoint = m.coldPoint = cells.first();
    for (const QPoint& cell : cells) {
        if (at(grid, cell) > m.highest) {
            m.highest = at(grid, cell);
            m.hotPoint = cell;
        }
        if (at(grid, cell) < m.lowest) {
            m.lowest = at(grid, cell);
            m.coldPoint = cell;
        }
    }
    return m;
}

bool sameReading(const Measurement& m, const Measurement& expected)
{
    return m.highest == expected.highest && m.lowest == expected.lowest && m.hotPoint == expected.hotPoint &&
           m.coldPoint == expected.coldPoint;
}

}  // namespace

class TestShapes : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void mapping();
    void spotWithoutOwnerDrawsOnlyItsMark();
    void lineAndRectAgainstAScan();
    void rectMarkersStayInsideTheRectangle();

    void labelsAreDrawnInTheirColours();
    void labelsNeitherOverlapNorLeaveThePicture();
    void labelsReadOnTheirOwnColour();
    void noLiveValuesNoReading();

private:
    QWidget landscape;  // 400 x 300
    QWidget oneToOne;   // 256 x 192: one pixel per cell
};

void TestShapes::init()
{
    g_temp_unit = 0;
    g_rotate_angle = 0;
    landscape.resize(400, 300);
    oneToOne.resize(256, 192);
    QVERIFY(storeGrid(uniformGrid(20.0f)));
}

// Widget to cell (toSensor) and back, clamped inside the grid; a square
// widget counts as portrait.
void TestShapes::mapping()
{
    const QSize land(400, 300), square(300, 300), none(0, 0);
    const struct {
        QSize widget;
        bool toSensor;
        QPoint from, to;
    } cases[] = {
        {land, true, {100, 50}, {64, 32}},          {land, true, {400, 300}, {255, 191}},
        {land, true, {2000000000, 2000000000}, {255, 191}}, {land, true, {-7, -1}, {0, 0}},
        {square, true, {299, 299}, {191, 255}},     {none, true, {10, 10}, {0, 0}},
        {land, false, {64, 32}, {100, 50}},         {QSize(256, 192), false, {256, 192}, {255, 191}},
        {square, false, {96, 128}, {150, 150}},     {none, false, {10, 10}, {0, 0}},
    };
    for (const auto& c : cases) {
        const QPoint to = c.toSensor ? widgetToSensor(c.widget, c.from) : sensorToWidget(c.widget, c.from);
        QVERIFY2(to == c.to, qPrintable(QString("%1,%2 -> %3,%4").arg(c.from.x()).arg(c.from.y()).arg(to.x()).arg(to.y())));
    }
}

// A spot without an owner, or whose owner went away, reads nothing and
// draws no label.
void TestShapes::spotWithoutOwnerDrawsOnlyItsMark()
{
    auto owner = std::make_unique<QWidget>();
    Spot spot(owner.get());
    spot.setEndPoint(QPoint(50, 50));
    owner.reset();
    QVERIFY(!spot.measure());
    const QImage image = drawOnBlack(spot, QSize(100, 100));
    QCOMPARE(image.pixelColor(40, 50), QColor(Qt::white));  // cross hair
    QCOMPARE(countPixelsIn(image, QRect(55, 30, 45, 20), Qt::white), 0);
}

// Random lines and rectangles between the same two points on a
// one-pixel-per-cell owner, against a plain scan. The line's samples reach
// every pixel along the longer axis between the ends, and it reads their
// extremes, the first of equals winning. The rectangle reads the first corner,
// then column by column from it towards the second corner, whose column and
// row are left out.
void TestShapes::lineAndRectAgainstAScan()
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, Columns - 1), y(0, Rows - 1);
    for (int round = 0; round < 300; ++round) {
        const std::vector<float> grid = coarseGrid(random);
        QVERIFY(storeGrid(grid));
        const QPoint first(x(random), y(random));
        QPoint second(x(random), y(random));
        if (round % 5 == 0)
            second.setY(first.y());  // a horizontal line, a rectangle of no height
        if (round % 7 == 0)
            second.setX(first.x());  // a vertical line, a rectangle of no width
        Line line(&oneToOne);
        line.startPoint = first;
        line.setEndPoint(second);
        const QPoint d = second - first;
        const QVector<QPoint> samples = line.samples();
        QSet<int> steps;
        for (const QPoint& p : samples)
            steps.insert(qAbs(d.x()) >= qAbs(d.y()) ? p.x() : p.y());
        const int span = std::max(qAbs(d.x()), qAbs(d.y()));
        QCOMPARE(steps.size(), span + 1);
        if (d.y() == 0)  // a horizontal line takes each pixel once
            QCOMPARE(samples.size(), std::max(span + 1, 2));
        QVERIFY(samples.contains(first) && samples.contains(second));
        QVERIFY(sameReading(*line.measure(), scan(grid, samples)));

        QVector<QPoint> cells{first};
        const int stepX = second.x() > first.x() ? 1 : -1, stepY = second.y() > first.y() ? 1 : -1;
        for (int cx = first.x(); first.y() != second.y() && cx != second.x(); cx += stepX)
            for (int cy = first.y(); cy != second.y(); cy += stepY)
                cells << QPoint(cx, cy);
        Rect rect(&oneToOne);
        rect.startPoint = first;
        rect.setEndPoint(second);
        QVERIFY(sameReading(*rect.measure(), scan(grid, cells)));
    }
}

// The first corner's cell (6, 6) maps back to (9, 9), outside a drag from
// (10, 10): the hot marker is kept inside the rectangle.
void TestShapes::rectMarkersStayInsideTheRectangle()
{
    const struct {
        QPoint start, end, hotCell, hotPoint;
    } cases[] = {{{10, 10}, {200, 200}, {6, 6}, {10, 10}}, {{10, 200}, {200, 10}, {6, 50}, {10, 78}}};
    for (const auto& c : cases) {
        std::vector<float> grid = uniformGrid(20.0f);
        setCell(grid, c.hotCell, 80.0f);
        QVERIFY(storeGrid(grid));
        Rect rect(&landscape);
        rect.startPoint = c.start;
        rect.setEndPoint(c.end);
        const Measurement m = *rect.measure();
        QCOMPARE(m.highest, 80.0f);
        QCOMPARE(m.hotPoint, c.hotPoint);
    }
}

void TestShapes::labelsAreDrawnInTheirColours()
{
    // A hot cell under (100, 50) and a cold one under (200, 150).
    std::vector<float> grid = uniformGrid(20.0f);
    setCell(grid, QPoint(64, 32), 80.0f);
    setCell(grid, QPoint(128, 96), -10.0f);
    QVERIFY(storeGrid(grid));
    const QColor red(HighestColor);
    const QColor blue(LowestColor);

    Line line(&landscape);
    line.startPoint = QPoint(100, 50);
    line.setEndPoint(QPoint(300, 250));
    const QImage lineImage = drawOnBlack(line, landscape.size());
    QVERIFY(countPixelsIn(lineImage, labelBox(labelAnchor(landscape.size(), QPoint(100, 50))), red) > 10);
    QVERIFY(countPixelsIn(lineImage, labelBox(labelAnchor(landscape.size(), QPoint(200, 150))), blue) > 10);
    // Marker circles around the hot and cold samples.
    QVERIFY(countPixelsIn(lineImage, QRect(96, 46, 9, 9), red) > 4);
    QVERIFY(countPixelsIn(lineImage, QRect(196, 146, 9, 9), blue) > 4);
    QCOMPARE(countPixelsIn(lineImage, QRect(196, 146, 9, 9), red), 0);
}

// Neighbours, one point, the corners, a column: checked against every pair,
// inside the picture and clear of each other.
void TestShapes::labelsNeitherOverlapNorLeaveThePicture()
{
    for (const QVector<QPoint>& markers : {QVector<QPoint>{{100, 100}, {104, 102}, {98, 96}, {110, 101}},
                                           QVector<QPoint>(6, QPoint(50, 50)),
                                           QVector<QPoint>{{0, 0}, {399, 0}, {0, 299}, {399, 299}, {398, 298}, {1, 1}},
                                           QVector<QPoint>{{200, 20}, {200, 24}, {200, 28}, {200, 32}, {200, 36}, {200, 40}}}) {
        LabelLayout labels(landscape.size());
        for (const QPoint& marker : markers)
            labels.add(marker, temperatureText(-123.4f, 1), Qt::white);
        const QVector<QRect> boxes = labels.placedBoxes();
        QCOMPARE(boxes.size(), markers.size());
        for (int i = 0; i < boxes.size(); ++i) {
            QVERIFY(landscape.rect().contains(boxes[i]));
            for (int j = i + 1; j < boxes.size(); ++j)
                QVERIFY2(!boxes[i].intersects(boxes[j]), qPrintable(QString("%1 and %2").arg(i).arg(j)));
        }
        // The last label queued keeps the place it prefers.
        const QPoint anchor = labelAnchor(landscape.size(), markers.last());
        QVERIFY(boxes.last().contains(anchor.x() + 2, anchor.y() - 2));
    }
}

// White on white and blue on blue: the outline keeps dark pixels at the text.
void TestShapes::labelsReadOnTheirOwnColour()
{
    for (const QColor& colour : {QColor(Qt::white), QColor(LowestColor)}) {
        QImage image(landscape.size(), QImage::Format_RGB32);
        image.fill(colour);
        QPainter painter(&image);
        LabelLayout labels(landscape.size());
        labels.add(QPoint(100, 100), temperatureText(88.8f, 0), colour);
        labels.paint(painter);
        painter.end();
        int dark = 0;
        const QRect box = labels.placedBoxes().first();
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                dark += image.pixelColor(x, y).lightness() < colour.lightness() / 2;
        QVERIFY2(dark > 40, qPrintable(QString::number(dark)));
    }
}

// Once the camera has gone, no shape reads the old values; the next frame
// brings them back.
void TestShapes::noLiveValuesNoReading()
{
    Spot spot(&landscape);
    Line line(&landscape);
    Rect rect(&landscape);
    const QVector<Shape*> shapes{&spot, &line, &rect};
    for (Shape* shape : shapes) {
        shape->startPoint = QPoint(10, 10);
        shape->setEndPoint(QPoint(90, 90));
    }
    QVERIFY(TemperatureSnapshot::instance().forget());
    for (Shape* shape : shapes)
        QVERIFY(!shape->measure());
    storeGrid(uniformGrid(30.0f));
    for (Shape* shape : shapes)
        QCOMPARE(shape->measure()->highest, 30.0f);
}

QTEST_MAIN(TestShapes)
#include "test_shapes.moc"
