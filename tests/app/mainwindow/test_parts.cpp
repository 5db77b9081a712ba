// The main window's parts that need no camera: the resize-border hit test,
// the device path rule, the USB paths built from udev, the chart's axes and
// memory bound, temperature matrix files, the user-folder rule, the language
// choice and the plug signals.
#include "devicepathmatch.h"
#include "framelessresize.h"
#include "mainwindowtesting.h"
#include "picturegeometry.h"
#include "profile.h"
#include "temperaturechart.h"
#include "temperaturematrixfile.h"
#include "translationloader.h"
#include "usbdevicepath.h"
#include "signalnotifier.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <csignal>
#include <cstring>
#include <memory>

using namespace platform;
using namespace QtCharts;

namespace {

QVector<float> rampGrid()
{
    QVector<float> values(49152);
    for (int i = 0; i < values.size(); ++i)
        values[i] = -20.5f + float(i) * 0.01f;
    return values;
}

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

} // namespace

class TestParts : public QObject
{
    Q_OBJECT

private slots:
    void hitTestTable_data();
    void hitTestTable();

    void devicePathRule_data();
    void devicePathRule();
    void usbPathFromUdev_data();
    void usbPathFromUdev();
    void serialCannotForgeAnIdentifierPart();

    void chartWorkedExample();
    void chartScrollsAfterTwentyPointsAndSeconds_data();
    void chartScrollsAfterTwentyPointsAndSeconds();
    void chartAxisCollapsesOnEqualValues();
    void chartLooksBackTwentyOnePoints();
    void chartDropsScrolledOutPoints();
    void chartResetInFahrenheit();
    void chartLinesRunUnbroken();

    void matrixFileName();
    void matrixFileHoldsLittleEndianFloats();
    void matrixFolderThatCannotBeMadeFails();
    void shortWriteKeepsEarlierFile();

    void userFolderRule();
    void languageChoice();

    void userSignalsArriveAsQtSignals();

    void fittedRectProperties_data();
    void fittedRectProperties();
};

void TestParts::hitTestTable_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("hit");
    // A 730 x 590 window.
    QTest::newRow("1,1 top-left corner") << 1 << 1 << int(FrameTopLeft);
    QTest::newRow("3,3 inside") << 3 << 3 << int(FrameNotHandled);
    QTest::newRow("2,2") << 2 << 2 << int(FrameTopLeft);
    QTest::newRow("2,3 left") << 2 << 3 << int(FrameLeft);
    QTest::newRow("0,588 bottom-left") << 0 << 588 << int(FrameBottomLeft);
    QTest::newRow("2,590 bottom-left") << 2 << 590 << int(FrameBottomLeft);
    QTest::newRow("728,0 top-right") << 728 << 0 << int(FrameTopRight);
    QTest::newRow("730,2 top-right") << 730 << 2 << int(FrameTopRight);
    QTest::newRow("729,589 bottom-right") << 729 << 589 << int(FrameBottomRight);
    QTest::newRow("728,300 right") << 728 << 300 << int(FrameRight);
    QTest::newRow("727,300 inside") << 727 << 300 << int(FrameNotHandled);
    QTest::newRow("300,2 top") << 300 << 2 << int(FrameTop);
    QTest::newRow("300,588 bottom") << 300 << 588 << int(FrameBottom);
    QTest::newRow("300,587 inside") << 300 << 587 << int(FrameNotHandled);
    QTest::newRow("-1,300 outside") << -1 << 300 << int(FrameNotHandled);
    QTest::newRow("731,300 outside") << 731 << 300 << int(FrameNotHandled);
}

void TestParts::hitTestTable()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, hit);
    QCOMPARE(int(frameHitTest(x, y, 730, 590)), hit);
}

void TestParts::devicePathRule_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("productType");
    QTest::newRow("5830") << "USB#VID_0BDA&PID_5830#OMX2312000417#{A5DCBF10-6530-11D2-901F-00C04FB951ED}" << 6;
    QTest::newRow("5840") << "USB#VID_0BDA&PID_5840#1234#{A5DCBF10-6530-11D2-901F-00C04FB951ED}" << 2;
    QTest::newRow("lower case") << "\\\\?\\usb#vid_0bda&pid_5830#5&1a2b#{a5dcbf10-6530-11d2-901f-00c04fb951ed}" << 6;
    QTest::newRow("mouse") << "USB#VID_046D&PID_C077#5&3a#{A5DCBF10-6530-11D2-901F-00C04FB951ED}" << 0;
    QTest::newRow("storage stick") << "USB#VID_0781&PID_5567#4C53#{A5DCBF10-6530-11D2-901F-00C04FB951ED}" << 0;
    QTest::newRow("other product of the vendor") << "USB#VID_0BDA&PID_8153#0001#{A5DC}" << 0;
    QTest::newRow("only a whole part matches") << "USB#XVID_0BDA&PID_5830#1#{A5DC}" << 0;
    QTest::newRow("empty parts kept") << "##VID_0BDA&PID_5840##" << 2;
    QTest::newRow("first match wins") << "USB#VID_0BDA&PID_5840#VID_0BDA&PID_5830#{A5DC}" << 2;
    QTest::newRow("empty") << "" << 0;
}

void TestParts::devicePathRule()
{
    QFETCH(QString, path);
    QFETCH(int, productType);
    QCOMPARE(productTypeForDevicePath(path), productType);
}

void TestParts::usbPathFromUdev_data()
{
    QTest::addColumn<QString>("vendorId");
    QTest::addColumn<QString>("modelId");
    QTest::addColumn<QString>("product");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("model");
    QTest::newRow("udev ids") << "0bda" << "5830" << "bda/5830/100" << true << 0x0BDA << 0x5830;
    QTest::newRow("kernel product only (removal)") << "" << "" << "bda/5840/210" << true << 0x0BDA << 0x5840;
    QTest::newRow("short kernel numbers") << "" << "" << "46d/c077/7200" << true << 0x046D << 0xC077;
    QTest::newRow("nothing") << "" << "" << "" << false << 0 << 0;
    QTest::newRow("garbage") << "xyz" << "5830" << "bda" << false << 0 << 0;
    QTest::newRow("too large") << "" << "" << "1bda0/5830/1" << false << 0 << 0;
}

void TestParts::usbPathFromUdev()
{
    QFETCH(QString, vendorId);
    QFETCH(QString, modelId);
    QFETCH(QString, product);
    QFETCH(bool, found);
    const auto ids = usbIdsFromProperties(vendorId, modelId, product);
    QCOMPARE(bool(ids), found);
    if (!found)
        return;
    QFETCH(int, vendor);
    QFETCH(int, model);
    QCOMPARE(int(ids->vendor), vendor);
    QCOMPARE(int(ids->product), model);
    const QString path = usbDeviceInterfacePath(*ids, QStringLiteral("SN1"));
    const auto hex4 = [](int value) { return QString::number(value, 16).rightJustified(4, QLatin1Char('0')).toUpper(); };
    QCOMPARE(path, QStringLiteral("USB#VID_") + hex4(vendor) + QStringLiteral("&PID_") + hex4(model) +
                       QStringLiteral("#SN1#{A5DCBF10-6530-11D2-901F-00C04FB951ED}"));
    QCOMPARE(productTypeForDevicePath(path), vendor == 0x0BDA && model == 0x5830 ? 6
                                             : vendor == 0x0BDA && model == 0x5840 ? 2
                                                                                   : 0);
}

void TestParts::serialCannotForgeAnIdentifierPart()
{
    const QString path = usbDeviceInterfacePath(UsbIds{0x046D, 0xC077}, QStringLiteral("x#VID_0BDA&PID_5830#y"));
    QCOMPARE(path, QStringLiteral("USB#VID_046D&PID_C077#x_VID_0BDA&PID_5830_y#{A5DCBF10-6530-11D2-901F-00C04FB951ED}"));
    QCOMPARE(productTypeForDevicePath(path), 0);
}

void TestParts::chartWorkedExample()
{
    const qint64 t = 1706745599000;
    TemperatureChart chart(100, 20, 0, t - 5000);
    std::unique_ptr<QChart> owner(chart.chart());
    chart.append(36.5f, 20.0f, t);
    QCOMPARE(chart.pointCount(), quint32(1));
    QCOMPARE(chart.startTime(), t);
    QVERIFY(qAbs(chart.temperatureAxis()->min() - 16.25) < 1e-4);
    QVERIFY(qAbs(chart.temperatureAxis()->max() - 40.25) < 1e-4);
    QCOMPARE(chart.maxSeries()->at(0), QPointF(qreal(t), 36.5));
    QCOMPARE(chart.minSeries()->at(0), QPointF(qreal(t), 20.0));

    const TemperatureRange range = temperatureAxisRange({QPointF(0, 36.5)}, {QPointF(0, 20.0)});
    QVERIFY(qAbs(range.low - 16.25) < 1e-4 && qAbs(range.high - 40.25) < 1e-4);
}

void TestParts::chartScrollsAfterTwentyPointsAndSeconds_data()
{
    QTest::addColumn<int>("periodMs");
    QTest::newRow("4 a second") << 250;
    QTest::newRow("1 a second") << 1000;
    QTest::newRow("a little slower") << 1100;
    QTest::newRow("every 5 s") << 5000;
}

// The time axis against a plain model: it starts at the first point and
// scrolls to end at a point once 20 points came before it and the point is
// more than the 20 s window after the first.
void TestParts::chartScrollsAfterTwentyPointsAndSeconds()
{
    QFETCH(int, periodMs);
    const qint64 t0 = 1700000000000;
    TemperatureChart chart(100, 20, 0, t0 - 5000);
    std::unique_ptr<QChart> owner(chart.chart());
    qint64 windowStart = t0;
    for (int i = 0; i < 45; ++i) {
        const qint64 t = t0 + qint64(i) * periodMs;
        chart.append(30.0f + float(i % 3), 10.0f, t);
        if (i >= 20 && t > t0 + 20000)
            windowStart = t - 20000;
        QCOMPARE(chart.timeAxis()->min().toMSecsSinceEpoch(), windowStart);
        QCOMPARE(chart.timeAxis()->max().toMSecsSinceEpoch(), windowStart + 20000);
    }
    QCOMPARE(chart.startTime(), t0);
    QCOMPARE(chart.pointCount(), quint32(45));
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
        QStringList gaps;
        for (int x = int(oldest) + 2; x < int(std::min(newest, plot.right())) - 1; ++x) {
            bool red = false;
            for (int y = int(plot.top()); y < int(plot.bottom()) && !red; ++y)
                red = image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 120;
            if (!red)
                gaps << QString::number(x);
        }
        QVERIFY2(gaps.isEmpty(), qPrintable(QString("point %1: columns %2").arg(i).arg(gaps.join(' '))));
    }
}

void TestParts::chartAxisCollapsesOnEqualValues()
{
    TemperatureChart chart(100, 20, 0, 0);
    std::unique_ptr<QChart> owner(chart.chart());
    chart.append(25.0f, 25.0f, 1000);
    chart.append(25.0f, 25.0f, 2000);
    QCOMPARE(chart.temperatureAxis()->min(), 25.0);
    QCOMPARE(chart.temperatureAxis()->max(), 25.0);
}

void TestParts::chartLooksBackTwentyOnePoints()
{
    QVector<QPointF> maxPoints;
    QVector<QPointF> minPoints;
    maxPoints << QPointF(0, 500.0);  // older than the look-back
    minPoints << QPointF(0, -100.0);
    for (int i = 1; i <= 21; ++i) {
        maxPoints << QPointF(i, 36.5);
        minPoints << QPointF(i, 20.0);
    }
    TemperatureRange range = temperatureAxisRange(maxPoints, minPoints);
    QVERIFY(qAbs(range.low - 16.25) < 1e-4 && qAbs(range.high - 40.25) < 1e-4);

    // One point fewer brings the old extremes into the look-back.
    maxPoints.removeLast();
    minPoints.removeLast();
    range = temperatureAxisRange(maxPoints, minPoints);
    QVERIFY(range.high > 500 && range.low < -100);
}

void TestParts::chartDropsScrolledOutPoints()
{
    const qint64 t0 = 1700000000000;
    TemperatureChart chart(100, 20, 0, t0);
    std::unique_ptr<QChart> owner(chart.chart());
    // One pair every 250 ms for an hour's worth of points.
    const int pairs = 4000;
    for (int i = 0; i < pairs; ++i) {
        chart.append(40.0f + float(i % 7), 20.0f - float(i % 5), t0 + qint64(i) * 250);
        QVERIFY(chart.maxSeries()->count() <= 90);
    }
    QCOMPARE(chart.pointCount(), quint32(pairs));
    QCOMPARE(chart.maxSeries()->count(), chart.minSeries()->count());
    const qint64 windowStart = chart.timeAxis()->min().toMSecsSinceEpoch();
    const QVector<QPointF> points = chart.maxSeries()->pointsVector();
    // Exactly one point left of the window stays, so the line still enters
    // from the left edge; everything newer is kept.
    QVERIFY(points[0].x() < windowStart);
    QVERIFY(points[1].x() >= windowStart);
    QCOMPARE(points.last().x(), qreal(t0 + qint64(pairs - 1) * 250));
    QCOMPARE(points.size(), 82);

    // Slow points: the look-back keeps at least its 21 points.
    TemperatureChart slow(100, 20, 0, t0);
    std::unique_ptr<QChart> slowOwner(slow.chart());
    for (int i = 0; i < 40; ++i)
        slow.append(30.0f, 10.0f, t0 + qint64(i) * 10000);
    QCOMPARE(slow.maxSeries()->count(), TemperatureChart::LookBack);
}

void TestParts::chartResetInFahrenheit()
{
    const qint64 t0 = 1700000000000;
    TemperatureChart chart(100, 20, 0, t0);
    std::unique_ptr<QChart> owner(chart.chart());
    chart.append(36.5f, 20.0f, t0);
    chart.append(37.5f, 21.0f, t0 + 1000);
    chart.reset(1, t0 + 60000);
    QCOMPARE(chart.pointCount(), quint32(0));
    QCOMPARE(chart.startTime(), qint64(0));
    QCOMPARE(chart.maxSeries()->count(), 0);
    QCOMPARE(chart.minSeries()->count(), 0);
    // The axis spans the same temperatures, now in Fahrenheit.
    QCOMPARE(chart.temperatureAxis()->min(), 0.0);
    QCOMPARE(chart.temperatureAxis()->max(), 100 * 1.8 + 32);
    QVERIFY(chart.temperatureAxis()->labelFormat().endsWith(QStringLiteral("℉")));
    QCOMPARE(chart.timeAxis()->min().toMSecsSinceEpoch(), t0 + 60000);
    chart.reset(0, t0);
    QCOMPARE(chart.temperatureAxis()->max(), 100.0);
    QVERIFY(chart.temperatureAxis()->labelFormat().endsWith(QStringLiteral("℃")));
}

void TestParts::matrixFileName()
{
    const QDateTime local(QDate(2024, 1, 31), QTime(23, 59, 59, 123));
    QCOMPARE(temperatureMatrixFileName(local.toMSecsSinceEpoch()), QStringLiteral("20240131_235959.raw"));
    const QDateTime morning(QDate(2024, 2, 1), QTime(7, 5, 3));
    QCOMPARE(temperatureMatrixFileName(morning.toMSecsSinceEpoch()), QStringLiteral("20240201_070503.raw"));
}

void TestParts::matrixFileHoldsLittleEndianFloats()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/a/TempMatrix");
    const QVector<float> grid = rampGrid();
    const qint64 time = QDateTime(QDate(2024, 1, 31), QTime(12, 0, 0)).toMSecsSinceEpoch();
    QCOMPARE(writeTemperatureMatrix(folder, grid, time), MatrixWriteResult::Written);
    QFile file(folder + QStringLiteral("/20240131_120000.raw"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 196608);
    QCOMPARE(bytes, littleEndianBytes(grid));
    file.close();

    // Another frame within the same second: same name, replaced without asking.
    const QVector<float> later(grid.size(), 36.6f);
    QCOMPARE(writeTemperatureMatrix(folder, later, time + 800), MatrixWriteResult::Written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), littleEndianBytes(later));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
}

void TestParts::matrixFolderThatCannotBeMadeFails()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("TempMatrix")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(writeTemperatureMatrix(blocker.fileName(), rampGrid(), 0), MatrixWriteResult::FolderFailed);
    QCOMPARE(writeTemperatureMatrix(blocker.fileName() + QStringLiteral("/inner"), rampGrid(), 0),
             MatrixWriteResult::FolderFailed);
}

void TestParts::shortWriteKeepsEarlierFile()
{
    QTemporaryDir dir;
    const qint64 time = QDateTime(QDate(2024, 3, 1), QTime(8, 0, 0)).toMSecsSinceEpoch();
    const QVector<float> earlier = rampGrid();
    QCOMPARE(writeTemperatureMatrix(dir.path(), earlier, time), MatrixWriteResult::Written);

    QVector<float> later(49152, 99.0f);
    {
        FileSizeLimit limit(4096);
        QVERIFY(limit.isActive());
        QCOMPARE(writeTemperatureMatrix(dir.path(), later, time), MatrixWriteResult::WriteFailed);
    }
    QFile file(dir.filePath(QStringLiteral("20240301_080000.raw")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), littleEndianBytes(earlier));
    // No partial or temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("20240301_080000.raw")});

    // Without an earlier file, nothing at all stays.
    {
        FileSizeLimit limit(4096);
        QCOMPARE(writeTemperatureMatrix(dir.path(), later, time + 3600000), MatrixWriteResult::WriteFailed);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestParts::userFolderRule()
{
    QTemporaryDir program;
    QTemporaryDir user;
    const QString beside = program.filePath(QStringLiteral("profile.ini"));
    const QString mine = user.filePath(QStringLiteral("VARNEK/Ombrix/profile.ini"));
    // Nothing anywhere, program folder writable: beside the program.
    QCOMPARE(preferredLocation(beside, mine), beside);
    // A file in the user's folder wins.
    QVERIFY(QDir().mkpath(QFileInfo(mine).absolutePath()));
    QFile file(mine);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(preferredLocation(beside, mine), mine);
    // A program folder that is not there (and cannot be written): the user's.
    const QString nowhere = QStringLiteral("/proc/self/no-such-folder/profile.ini");
    QCOMPARE(preferredLocation(nowhere, user.filePath(QStringLiteral("other.ini"))),
             user.filePath(QStringLiteral("other.ini")));

    // In the application: test mode keeps the user's folders apart.
    QVERIFY(profileIniPath().endsWith(QStringLiteral("/profile.ini")));
    QVERIFY(temperatureMatrixFolder().endsWith(QStringLiteral("/TempMatrix")));
}

void TestParts::languageChoice()
{
    QCOMPARE(requestedLanguage({QStringLiteral("ombrix"), QStringLiteral("zh_tw")}), QStringLiteral("zh_tw"));
    QCOMPARE(requestedLanguage({QStringLiteral("ombrix"), QStringLiteral("ZH_TW")}), QString());
    QCOMPARE(requestedLanguage({QStringLiteral("ombrix"), QStringLiteral("zh-TW")}), QString());
    QCOMPARE(requestedLanguage({QStringLiteral("ombrix"), QStringLiteral("fr"), QStringLiteral("de")}),
             QStringLiteral("fr"));
    QCOMPARE(requestedLanguage({QStringLiteral("ombrix")}), QString());
    const QStringList folders = translationFolders();
    QCOMPARE(folders.first(), QStringLiteral("./translations"));
    QCOMPARE(folders.at(1), QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
    QCOMPARE(folders.size(), 3);
    QCOMPARE(folders.at(2), QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                            QStringLiteral("/../share/ombrix/translations")));
}

void TestParts::userSignalsArriveAsQtSignals()
{
    SignalNotifier notifier({SIGUSR1, SIGUSR2});
    QVERIFY(notifier.start());
    SignalNotifier second({SIGUSR2});
    QVERIFY(!second.start());  // one owner a signal at a time
    SignalNotifier other({SIGWINCH});
    QVERIFY(other.start());  // other signals go to their own owner
    QSignalSpy received(&notifier, &SignalNotifier::received);
    QSignalSpy otherReceived(&other, &SignalNotifier::received);
    raise(SIGUSR1);
    raise(SIGUSR2);
    raise(SIGUSR1);
    raise(SIGWINCH);
    QTRY_COMPARE(received.count(), 3);
    QCOMPARE(received.at(0).at(0).toInt(), SIGUSR1);
    QCOMPARE(received.at(1).at(0).toInt(), SIGUSR2);
    QTRY_COMPARE(otherReceived.count(), 1);
}

void TestParts::fittedRectProperties_data()
{
    QTest::addColumn<QSize>("area");
    QTest::addColumn<int>("angle");
    for (const QSize area : {QSize(730, 302), QSize(730, 1000), QSize(257, 193), QSize(1, 1), QSize(3000, 40),
                             QSize(40, 3000), QSize(256, 192), QSize(191, 256)}) {
        for (int angle : {0, 90, 180, 270, 450}) {
            const QByteArray name = QByteArray::number(area.width()) + "x" + QByteArray::number(area.height()) +
                                    " at " + QByteArray::number(angle);
            QTest::newRow(name.constData()) << area << angle;
        }
    }
}

// Inside the area, centred, the sensor's shape within a pixel of rounding,
// and as large as it can be: it spans the area one way.
void TestParts::fittedRectProperties()
{
    QFETCH(QSize, area);
    QFETCH(int, angle);
    const QRect rect = fittedPictureRect(area, angle);
    const bool upright = angle % 180 == 90;
    const double aspect = upright ? 192.0 / 256.0 : 256.0 / 192.0;
    QVERIFY(QRect(QPoint(), area).contains(rect) || rect.isEmpty());
    QVERIFY(qAbs(rect.left() - (area.width() - rect.right() - 1)) <= 1);
    QVERIFY(qAbs(rect.top() - (area.height() - rect.bottom() - 1)) <= 1);
    if (rect.isEmpty())
        return;
    QVERIFY(qAbs(rect.width() - rect.height() * aspect) <= 1.0 + aspect);
    QVERIFY(rect.width() == area.width() || rect.height() == area.height());
}

int main(int argc, char** argv)
{
    return runIsolated<TestParts>(argc, argv);
}

#include "test_parts.moc"
