// The main window's parts that need no camera.
#include "devicepathmatch.h"
#include "framelessresize.h"
#include "mainwindowtesting.h"
#include "picturegeometry.h"
#include "profile.h"
#include "signalnotifier.h"
#include "temperaturechart.h"
#include "temperaturematrixfile.h"
#include "translationloader.h"
#include "usbdevicepath.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <memory>

using namespace platform;

namespace {

QByteArray littleEndianBytes(const QVector<float>& values)
{
    QByteArray bytes;
    for (float value : values) {
        quint32 word;
        std::memcpy(&word, &value, 4);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((word >> shift) & 0xFF));
    }
    return bytes;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A chart whose QChart this test owns (the window hands it to its view).
struct OwnedChart : TemperatureChart {
    explicit OwnedChart(qint64 now) : TemperatureChart(100, 20, 0, now), owner(chart()) {}
    std::unique_ptr<QtCharts::QChart> owner;
};

bool near(double a, double b) { return qAbs(a - b) < 1e-4; }

} // namespace

class TestParts : public QObject
{
    Q_OBJECT

private slots:
    void hitTest();
    void devicePathRule();

    void chartAxisWorkedExample();
    void chartScrollsAfterTwentyPointsAndSeconds();
    void chartLinesRunUnbroken();

    void matrixFilesAppearWholeOrNotAtAll();
    void userFolderRule();
    void languageChoice();
    void userSignalsArriveAsQtSignals();
    void fittedRectProperties();
};

// Borders and corners of a 730 x 590 window, the last row below it included.
void TestParts::hitTest()
{
    const struct {
        QPoint at;
        FrameHit hit;
    } cases[] = {{{2, 2}, FrameTopLeft},       {{2, 3}, FrameLeft},   {{729, 589}, FrameBottomRight},
                 {{728, 300}, FrameRight},     {{300, 588}, FrameBottom}, {{300, 590}, FrameBottom},
                 {{3, 3}, FrameNotHandled},    {{727, 300}, FrameNotHandled}, {{731, 300}, FrameNotHandled}};
    for (const auto& c : cases)
        QVERIFY2(frameHitTest(c.at.x(), c.at.y(), 730, 590) == c.hit, qPrintable(QString("%1,%2").arg(c.at.x()).arg(c.at.y())));
}

// Paths as Windows names them, and as built from udev's properties.
void TestParts::devicePathRule()
{
    const auto udev = [](const char* vendor, const char* model, const char* product, const char* serial) {
        const auto ids = usbIdsFromProperties(vendor, model, product);
        return ids ? usbDeviceInterfacePath(*ids, serial) : QString();
    };
    const QPair<QString, int> cases[] = {
        {"USB#VID_0BDA&PID_5830#OMX2312000417#{A5DCBF10-6530-11D2-901F-00C04FB951ED}", 6},
        {"\\\\?\\usb#vid_0bda&pid_5840#5&1a2b#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", 2},  // lower case
        {"USB#VID_046D&PID_C077#5&3a#{A5DCBF10-6530-11D2-901F-00C04FB951ED}", 0},  // a mouse
        {"USB#VID_0BDA&PID_8153#0001#{A5DC}", 0},  // another product of the vendor
        {"USB#XVID_0BDA&PID_5830#1#{A5DC}", 0},  // only a whole part matches
        {"USB#VID_0BDA&PID_5840#VID_0BDA&PID_5830#{A5DC}", 2},  // the first match wins
        {udev("0bda", "5830", "bda/5830/100", "SN1"), 6},
        {udev("", "", "bda/5840/210", ""), 2},  // the kernel's product only
        {udev("", "", "46d/c077/7200", ""), 0},
        {udev("046d", "c077", "", "x#VID_0BDA&PID_5830#y"), 0},  // a serial cannot forge a part
    };
    for (const auto& [path, productType] : cases)
        QVERIFY2(productTypeForDevicePath(path) == productType, qPrintable(path));
}

// One pair: the axis spans its extremes widened by a fifth of the spread,
// in four whole steps; the same from the plain function and after a reset.
void TestParts::chartAxisWorkedExample()
{
    const qint64 t = 1706745599000;
    OwnedChart chart(t - 5000);
    chart.append(36.5f, 20.0f, t);
    QVERIFY(near(chart.temperatureAxis()->min(), 16.25) && near(chart.temperatureAxis()->max(), 40.25));
    QCOMPARE(chart.maxSeries()->at(0), QPointF(qreal(t), 36.5));

    // The look-back: 21 newest points; the 22nd from the end no longer counts.
    QVector<QPointF> maxPoints{QPointF(0, 500.0)};
    QVector<QPointF> minPoints{QPointF(0, -100.0)};
    for (int i = 1; i <= 21; ++i) {
        maxPoints << QPointF(i, 36.5);
        minPoints << QPointF(i, 20.0);
    }
    TemperatureRange range = temperatureAxisRange(maxPoints, minPoints);
    QVERIFY(near(range.low, 16.25) && near(range.high, 40.25));
    range = temperatureAxisRange(maxPoints.mid(0, 21), minPoints.mid(0, 21));
    QVERIFY(range.high > 500 && range.low < -100);

    // Reset to Fahrenheit: empty, and the axis spans the same heat in ℉.
    chart.reset(1, t + 60000);
    QCOMPARE(chart.pointCount(), quint32(0));
    QCOMPARE(chart.maxSeries()->count(), 0);
    QVERIFY(near(chart.temperatureAxis()->max(), 100 * 1.8 + 32));
    QCOMPARE(chart.timeAxis()->min().toMSecsSinceEpoch(), t + 60000);
}

// The time axis against a plain model: it starts at the first point and
// scrolls to end at a point once 20 points came before it and the point is
// more than the 20 s window after the first. Memory stays bounded: of the
// points left of the window only one stays (the line enters from the left
// edge), unless the look-back's 21 need more.
// Four a second, one a second, a little slower, every five seconds.
void TestParts::chartScrollsAfterTwentyPointsAndSeconds()
{
    for (int periodMs : {250, 1000, 1100, 5000}) {
        const qint64 t0 = 1700000000000;
        OwnedChart chart(t0 - 5000);
        qint64 windowStart = t0;
        for (int i = 0; i < 200; ++i) {
            const qint64 t = t0 + qint64(i) * periodMs;
            chart.append(30.0f + float(i % 3), 10.0f, t);
            if (i >= 20 && t > t0 + 20000)
                windowStart = t - 20000;
            QCOMPARE(chart.timeAxis()->min().toMSecsSinceEpoch(), windowStart);
            QCOMPARE(chart.timeAxis()->max().toMSecsSinceEpoch(), windowStart + 20000);
            const QVector<QPointF> points = chart.maxSeries()->pointsVector();
            QCOMPARE(chart.minSeries()->count(), points.size());
            QVERIFY(points.size() <= std::max(TemperatureChart::LookBack, 20000 / periodMs + 2));
            if (windowStart > t0 && points.size() > TemperatureChart::LookBack)
                QVERIFY(points[0].x() < windowStart && points[1].x() >= windowStart);
        }
        QCOMPARE(chart.startTime(), t0);
    }
}

// Drawn as the window shows it, each curve covers every pixel column from
// its oldest point, or from the window's left edge once the time axis
// scrolls, to its newest point: no gap anywhere in time.
void TestParts::chartLinesRunUnbroken()
{
    const qint64 t0 = QDateTime::currentMSecsSinceEpoch();
    TemperatureChart chart(100, 20, 0, t0);
    QtCharts::QChartView view(chart.chart());
    view.resize(730, 188);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QtCharts::QLineSeries* curve = chart.maxSeries();
    for (int i = 0; i < 40; ++i) {
        const qint64 t = t0 + i * 1300;
        chart.append(60.0f, 20.0f, t);
        const QImage image = view.grab().toImage();
        const QRectF plot = chart.chart()->plotArea();
        const qreal newest = chart.chart()->mapToPosition(curve->at(curve->count() - 1), curve).x();
        const bool scrolled = t > t0 + 20000 && i >= 20;
        const qreal oldest = scrolled ? plot.left() : chart.chart()->mapToPosition(curve->at(0), curve).x();
        for (int x = int(oldest) + 2; x < int(std::min(newest, plot.right())) - 1; ++x) {
            bool red = false;
            for (int y = int(plot.top()); y < int(plot.bottom()) && !red; ++y)
                red = image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 120;
            QVERIFY2(red, qPrintable(QString("point %1: a gap at column %2").arg(i).arg(x)));
        }
    }
}

// Little-endian floats named after the frame time; a second write in the
// same second replaces the file; a short write (full disk) or a folder that
// cannot be made leaves what was there.
void TestParts::matrixFilesAppearWholeOrNotAtAll()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("a/TempMatrix"));
    QVector<float> grid(49152);
    for (int i = 0; i < grid.size(); ++i)
        grid[i] = -20.5f + float(i) * 0.01f;
    const qint64 time = QDateTime(QDate(2024, 1, 31), QTime(23, 59, 59, 123)).toMSecsSinceEpoch();
    const QString path = folder + QStringLiteral("/20240131_235959.raw");
    QCOMPARE(writeTemperatureMatrix(folder, QVector<float>(grid.size(), 1.0f), time), MatrixWriteResult::Written);
    QCOMPARE(writeTemperatureMatrix(folder, grid, time + 800), MatrixWriteResult::Written);
    QCOMPARE(fileBytes(path), littleEndianBytes(grid));
    {
        FileSizeLimit limit(4096);
        QCOMPARE(writeTemperatureMatrix(folder, QVector<float>(grid.size(), 99.0f), time), MatrixWriteResult::WriteFailed);
        QCOMPARE(writeTemperatureMatrix(folder, grid, time + 3600000), MatrixWriteResult::WriteFailed);
    }
    QCOMPARE(fileBytes(path), littleEndianBytes(grid));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    QCOMPARE(writeTemperatureMatrix(path + QStringLiteral("/inner"), grid, 0), MatrixWriteResult::FolderFailed);
}

void TestParts::userFolderRule()
{
    QTemporaryDir program;
    QTemporaryDir user;
    const QString beside = program.filePath(QStringLiteral("profile.ini"));
    const QString mine = user.filePath(QStringLiteral("profile.ini"));
    QCOMPARE(preferredLocation(beside, mine), beside);  // nothing anywhere, program folder writable
    QCOMPARE(preferredLocation(QStringLiteral("/proc/self/none/profile.ini"), mine), mine);
    QFile(mine).open(QIODevice::WriteOnly);
    QCOMPARE(preferredLocation(beside, mine), mine);  // the user's file wins
}

void TestParts::languageChoice()
{
    QCOMPARE(requestedLanguage({"ombrix", "zh_tw"}), QStringLiteral("zh_tw"));
    QCOMPARE(requestedLanguage({"ombrix", "fr", "de"}), QStringLiteral("fr"));
    for (const QStringList& none : {QStringList{"ombrix", "ZH_TW"}, QStringList{"ombrix", "zh-TW"}, QStringList{"ombrix"}})
        QCOMPARE(requestedLanguage(none), QString());
}

void TestParts::userSignalsArriveAsQtSignals()
{
    SignalNotifier notifier({SIGUSR1, SIGUSR2});
    QVERIFY(notifier.start());
    SignalNotifier second({SIGUSR2});
    QVERIFY(!second.start());  // one owner a signal at a time
    QSignalSpy received(&notifier, &SignalNotifier::received);
    for (int signalNumber : {SIGUSR1, SIGUSR2, SIGUSR1})
        raise(signalNumber);
    QTRY_COMPARE(received.count(), 3);
    QCOMPARE(received.at(1).at(0).toInt(), SIGUSR2);
}

// Inside the area, centred, the sensor's shape within a pixel of rounding,
// and as large as it can be: it spans the area one way.
void TestParts::fittedRectProperties()
{
    for (const QSize area : {QSize(730, 302), QSize(730, 1000), QSize(257, 193), QSize(1, 1), QSize(3000, 40),
                             QSize(40, 3000), QSize(256, 192), QSize(191, 256)}) {
        for (int angle : {0, 90, 180, 270, 450}) {
            const QRect rect = fittedPictureRect(area, angle);
            const double aspect = angle % 180 == 90 ? 192.0 / 256.0 : 256.0 / 192.0;
            const QString where = QString("%1x%2 at %3").arg(area.width()).arg(area.height()).arg(angle);
            QVERIFY2(QRect(QPoint(), area).contains(rect) || rect.isEmpty(), qPrintable(where));
            QVERIFY2(qAbs(rect.left() - (area.width() - rect.right() - 1)) <= 1, qPrintable(where));
            QVERIFY2(qAbs(rect.top() - (area.height() - rect.bottom() - 1)) <= 1, qPrintable(where));
            QVERIFY2(rect.isEmpty() || qAbs(rect.width() - rect.height() * aspect) <= 1.0 + aspect, qPrintable(where));
            QVERIFY2(rect.isEmpty() || rect.width() == area.width() || rect.height() == area.height(), qPrintable(where));
        }
    }
}

int main(int argc, char** argv)
{
    return runIsolated<TestParts>(argc, argv);
}

#include "test_parts.moc"
