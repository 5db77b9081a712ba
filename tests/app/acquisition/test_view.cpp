// The image view on its own and with the stream thread fed frames by the
// test: the matrix-to-image table, the five-slot ring, stretching,
// openImage/closeImage, and the thread's temperature step on chosen words.
#include "acquisitiontesting.h"
#include "framefeeder.h"
#include "temperaturesnapshot.h"

#include <QtTest>

#include <cstring>
#include <vector>

namespace {

constexpr int Width = 256;
constexpr int Height = 192;  // of each half

cv::Mat solid(const QColor& colour, int rows = Height, int cols = Width)
{
    return cv::Mat(rows, cols, CV_8UC3, cv::Scalar(colour.blue(), colour.green(), colour.red()));
}

// A raw camera frame: a grey picture of one level over temperature words of
// one value, or of words[i] where given.
std::vector<uint8_t> rawFrame(uint16_t word, const std::vector<uint16_t>& words = {})
{
    std::vector<uint8_t> frame(size_t(Width) * Height * 4);
    for (size_t i = 0; i < size_t(Width) * Height; ++i) {
        frame[2 * i] = 100;
        frame[2 * i + 1] = 128;
        const uint16_t w = words.empty() ? word : words[i];
        frame[size_t(Width) * Height * 2 + 2 * i] = uint8_t(w & 0xFF);
        frame[size_t(Width) * Height * 2 + 2 * i + 1] = uint8_t(w >> 8);
    }
    return frame;
}

QColor pixelAt(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

}  // namespace

class TestView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void matrixTable();
    void ringDropsTheSixthAndShowsFiveInOrder();
    void sameSizeIsDrawnExactly();
    void otherSizeIsStretched();
    void unsupportedMatrixIsSkipped();

    void openImageReadsThePalette_data();
    void openImageReadsThePalette();
    void openImageWhileRunningChangesNothing();
    void closeImageWhenStoppedOnlyRepaints();
    void closeImageEndsTheLoopSoon();

    void rotationAngles_data();
    void rotationAngles();
    void equalWordsGiveEqualExtremes();
    void fahrenheitForTheExtremesOnly();
    void temperatureMatrixIsCopied();

private:
    void pushFrame(CGLWidgetImage& view, const cv::Mat& mat);
    void startFed(CGLWidgetImage& view);
    Extremes extremesOfOneFrame(CGLWidgetImage& view, const std::vector<uint8_t>& frame);

    MainWindowStandIn mainWindow;
    FrameFeeder feeder;
};

void TestView::initTestCase()
{
    // Frames fed by the test: the record is made up as a 256 x 384 camera's.
    stream_frame_info_t& info = g_stream_frame_info;
    info.camera_param.width = Width;
    info.camera_param.height = 2 * Height;
    info.camera_param.frame_size = Width * Height * 4;
    stream_frame_info_init(&info);
    QCOMPARE(frame_buffers_create(&info), 0);
    g_main_window = &mainWindow;
    keepGlDriverLoaded();
}

void TestView::cleanupTestCase()
{
    g_main_window = nullptr;
    convert_buffers_release();
    frame_buffers_release(&g_stream_frame_info);
    writeProfilePalette(QVariant());
}

void TestView::init()
{
    mainWindow.received.clear();
    g_palette = 1;
    g_temp_unit = 0;
    g_rotate_angle = 0;
    writeProfilePalette(1);
}

void TestView::cleanup()
{
    g_temp_unit = 0;
    g_rotate_angle = 0;
}

void TestView::pushFrame(CGLWidgetImage& view, const cv::Mat& mat)
{
    QVERIFY(QMetaObject::invokeMethod(&view, "onFrame", Qt::DirectConnection, Q_ARG(cv::Mat, mat)));
}

void TestView::startFed(CGLWidgetImage& view)
{
    view.videoStream()->setFrameSource(feeder.source());
    view.openImage();
    QVERIFY(view.videoStream()->isRunning());
}

// Streams one raw frame and stops: the extremes the main window was sent.
Extremes TestView::extremesOfOneFrame(CGLWidgetImage& view, const std::vector<uint8_t>& frame)
{
    startFed(view);
    feeder.feed(frame);
    const bool sent = QTest::qWaitFor([this] { return !mainWindow.received.isEmpty(); });
    view.closeImage();
    return sent && mainWindow.received.size() == 1 ? mainWindow.received.first() : Extremes{};
}

void TestView::matrixTable()
{
    cv::Mat grey(2, 3, CV_8UC1);
    for (int i = 0; i < 6; ++i)
        grey.data[i] = uchar(40 * i);
    QImage image = CGLWidgetImage::imageFromMat(grey);
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image.colorCount(), 256);
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.pixel(2, 1), qRgb(200, 200, 200));

    cv::Mat colour(2, 3, CV_8UC3, cv::Scalar(10, 20, 30));  // B, G, R
    image = CGLWidgetImage::imageFromMat(colour);
    QCOMPARE(image.format(), QImage::Format_RGB888);
    colour.setTo(cv::Scalar(0, 0, 0));  // the image is a copy
    QCOMPARE(image.pixel(1, 1), qRgb(30, 20, 10));

    // A region of a larger matrix: rows step by the parent's row.
    cv::Mat wide(4, 8, CV_8UC3, cv::Scalar(1, 2, 3));
    wide(cv::Rect(2, 1, 3, 2)).setTo(cv::Scalar(50, 60, 70));
    image = CGLWidgetImage::imageFromMat(wide(cv::Rect(2, 1, 3, 2)));
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.pixel(2, 1), qRgb(70, 60, 50));

    cv::Mat four(1, 2, CV_8UC4, cv::Scalar(10, 20, 30, 255));
    image = CGLWidgetImage::imageFromMat(four);
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    four.setTo(cv::Scalar(0, 0, 0, 0));
    QCOMPARE(image.pixel(1, 0), qRgba(30, 20, 10, 255));

    cv::Mat floats(1, 2, CV_32FC3, cv::Scalar(10.4, 19.6, 300.0));
    image = CGLWidgetImage::imageFromMat(floats);
    QCOMPARE(image.pixel(0, 0), qRgb(255, 20, 10));

    QTest::ignoreMessage(QtDebugMsg, "ERROR: Mat could not be converted to QImage.");
    QVERIFY(CGLWidgetImage::imageFromMat(cv::Mat(2, 2, CV_16UC1, cv::Scalar(7))).isNull());
    QTest::ignoreMessage(QtDebugMsg, "ERROR: Mat could not be converted to QImage.");
    QVERIFY(CGLWidgetImage::imageFromMat(cv::Mat()).isNull());
}

void TestView::ringDropsTheSixthAndShowsFiveInOrder()
{
    CGLWidgetImage view;  // never shown: only the grabs below paint
    const QVector<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    for (const QColor& colour : colours)
        pushFrame(view, solid(colour));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(pixelAt(view.grabFramebuffer(), 100, 100), colours[i]);
    // With no new frame a paint shows the current one again.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(pixelAt(view.grabFramebuffer(), 100, 100), colours[4]);

    // The ring goes on round from where it stopped.
    const QVector<QColor> next = {Qt::white, Qt::darkRed, Qt::darkGreen};
    for (const QColor& colour : next)
        pushFrame(view, solid(colour));
    for (const QColor& colour : next)
        QCOMPARE(pixelAt(view.grabFramebuffer(), 10, 10), colour);
}

void TestView::sameSizeIsDrawnExactly()
{
    CGLWidgetImage view;
    cv::Mat pattern(Height, Width, CV_8UC3);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            pattern.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x), uchar(y), uchar((x * y) & 255));
    pushFrame(view, pattern);
    const QImage shot = view.grabFramebuffer();
    QCOMPARE(shot.size(), QSize(Width, Height));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (shot.pixel(x, y) != qRgb((x * y) & 255, y, x))
                QFAIL(qPrintable(QString("pixel %1,%2 differs").arg(x).arg(y)));
}

void TestView::otherSizeIsStretched()
{
    CGLWidgetImage view;
    view.resize(512, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    cv::Mat halves = solid(Qt::red);
    halves(cv::Rect(Width / 2, 0, Width / 2, Height)).setTo(cv::Scalar(255, 0, 0));  // right half blue
    pushFrame(view, halves);
    const QImage shot = view.grabFramebuffer();
    QCOMPARE(shot.size(), QSize(512, 300));
    QCOMPARE(pixelAt(shot, 0, 0), QColor(Qt::red));
    QCOMPARE(pixelAt(shot, 250, 299), QColor(Qt::red));
    QCOMPARE(pixelAt(shot, 262, 0), QColor(Qt::blue));
    QCOMPARE(pixelAt(shot, 511, 299), QColor(Qt::blue));
}

void TestView::unsupportedMatrixIsSkipped()
{
    CGLWidgetImage view;
    QTest::ignoreMessage(QtDebugMsg, "ERROR: Mat could not be converted to QImage.");
    pushFrame(view, cv::Mat(Height, Width, CV_16UC3, cv::Scalar(1, 2, 3)));
    pushFrame(view, solid(Qt::green));
    view.grabFramebuffer();  // the null image: paints nothing
    QCOMPARE(pixelAt(view.grabFramebuffer(), 5, 5), QColor(Qt::green));
}

void TestView::openImageReadsThePalette_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("palette");
    QTest::newRow("stored 4") << QVariant(4) << 4;
    QTest::newRow("stored 0") << QVariant(0) << 0;
    QTest::newRow("last table") << QVariant(82) << 82;
    QTest::newRow("no profile") << QVariant() << 1;
    QTest::newRow("not a number") << QVariant("warm") << 1;
    QTest::newRow("no such table") << QVariant(83) << 1;
    QTest::newRow("negative") << QVariant(-2) << 1;
}

void TestView::openImageReadsThePalette()
{
    QFETCH(QVariant, stored);
    QFETCH(int, palette);
    writeProfilePalette(stored);
    g_palette = 30;
    CGLWidgetImage view;
    startFed(view);
    QCOMPARE(g_palette.load(), palette);
    view.closeImage();
}

void TestView::openImageWhileRunningChangesNothing()
{
    writeProfilePalette(4);
    CGLWidgetImage view;
    startFed(view);
    QCOMPARE(g_palette.load(), 4);
    g_palette = 9;
    view.openImage();
    QCOMPARE(g_palette.load(), 9);
    QVERIFY(view.videoStream()->isRunning());
    view.closeImage();
    QVERIFY(!view.videoStream()->isRunning());
}

void TestView::closeImageWhenStoppedOnlyRepaints()
{
    CGLWidgetImage view;
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    pushFrame(view, solid(Qt::yellow));
    QTest::ignoreMessage(QtDebugMsg, "CGLWidgetImage::closeImage");
    view.closeImage();
    QVERIFY(!view.videoStream()->isRunning());
    // The last picture stays.
    QCOMPARE(pixelAt(view.grabFramebuffer(), 3, 3), QColor(Qt::yellow));
}

void TestView::closeImageEndsTheLoopSoon()
{
    CGLWidgetImage view;
    FrameRecorder recorder;
    recorder.watch(view.videoStream());
    startFed(view);
    feeder.feed(rawFrame(19200));
    QTRY_COMPARE(recorder.count, 1);
    // The loop is now waiting for frames that do not come.
    QTRY_VERIFY(feeder.failures() >= 2);
    view.closeImage();
    QVERIFY(view.videoStream()->isFinished());

    // Frames fed after the stop are not taken; a new open takes them.
    feeder.feed(rawFrame(19200));
    QTest::qWait(50);
    QCOMPARE(recorder.count, 1);
    view.openImage();
    QTRY_COMPARE(recorder.count, 2);
    view.closeImage();
}

void TestView::rotationAngles_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("side");
    QTest::newRow("0") << 0 << int(NO_ROTATE);
    QTest::newRow("90") << 90 << int(RIGHT_90D);
    QTest::newRow("180") << 180 << int(ROTATE_180D);
    QTest::newRow("270") << 270 << int(LEFT_90D);
    QTest::newRow("450") << 450 << int(RIGHT_90D);
    QTest::newRow("-90") << -90 << int(NO_ROTATE);
    QTest::newRow("-270") << -270 << int(NO_ROTATE);
    QTest::newRow("45") << 45 << int(NO_ROTATE);
    QTest::newRow("720") << 720 << int(NO_ROTATE);
}

void TestView::rotationAngles()
{
    QFETCH(int, angle);
    QFETCH(int, side);
    QCOMPARE(int(CThreadVideoStream::rotateSideForAngle(angle)), side);

    // And as the thread turns the picture.
    CGLWidgetImage view;
    FrameRecorder recorder;
    recorder.watch(view.videoStream());
    g_rotate_angle = angle;
    startFed(view);
    feeder.feed(rawFrame(19200));
    QTRY_COMPARE(recorder.count, 1);
    view.closeImage();
    const bool quarter = side == RIGHT_90D || side == LEFT_90D;
    QCOMPARE(recorder.last.rows, quarter ? Width : Height);
    QCOMPARE(recorder.last.cols, quarter ? Height : Width);
}

void TestView::equalWordsGiveEqualExtremes()
{
    CGLWidgetImage view;
    const Extremes e = extremesOfOneFrame(view, rawFrame(19200));
    QCOMPARE(e.highest, 26.850006f);
    QCOMPARE(e.lowest, e.highest);
    QCOMPARE(e.unit, 0);
}

void TestView::fahrenheitForTheExtremesOnly()
{
    std::vector<uint16_t> words(size_t(Width) * Height, 19200);
    words[1000] = 64 * 373;  // 99.85 C
    words[4000] = 64 * 253;  // -20.15 C
    g_temp_unit = 1;
    CGLWidgetImage view;
    const Extremes e = extremesOfOneFrame(view, rawFrame(0, words));
    QCOMPARE(e.unit, 1);
    QCOMPARE(e.highest, celsius_to_fahrenheit(raw_to_celsius(64 * 373)));
    QCOMPARE(e.lowest, celsius_to_fahrenheit(raw_to_celsius(64 * 253)));
    QCOMPARE(e.highest, 211.73001f);

    // The grid stays in Celsius; the snapshot converts for itself.
    const TemperatureMatrix matrix = CThreadVideoStream::temperatureMatrix();
    QCOMPARE(matrix.celsius.size(), Width * Height);
    QCOMPARE(matrix.celsius[1000], raw_to_celsius(64 * 373));
    QCOMPARE(matrix.celsius[0], 26.850006f);
    TemperatureSnapshot::Reader reader;
    QCOMPARE(reader.copyFor(0).unit, 1);
    QCOMPARE(reader.copyFor(0).values[1000], celsius_to_fahrenheit(raw_to_celsius(64 * 373)));
}

void TestView::temperatureMatrixIsCopied()
{
    std::vector<uint16_t> words(size_t(Width) * Height);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = uint16_t(17000 + i % 3000);
    CGLWidgetImage view;
    const qint64 start = 1700000000000;
    view.videoStream()->setClock(steppingClock(start, 40));
    const Extremes e = extremesOfOneFrame(view, rawFrame(0, words));

    const TemperatureMatrix matrix = CThreadVideoStream::temperatureMatrix();
    QCOMPARE(matrix.time, start + 40);
    QCOMPARE(e.time, start + 40);
    QCOMPARE(matrix.celsius.size(), int(words.size()));
    for (size_t i = 0; i < words.size(); i += 97)
        QCOMPARE(matrix.celsius[int(i)], raw_to_celsius(words[i]));
    QCOMPARE(e.highest, raw_to_celsius(19999));
    QCOMPARE(e.lowest, raw_to_celsius(17000));

    // Teardown frees the grid; a copy afterwards is empty.
    CThreadVideoStream::releaseTemperatureMatrix();
    const TemperatureMatrix released = CThreadVideoStream::temperatureMatrix();
    QVERIFY(released.celsius.isEmpty());
    QCOMPARE(released.time, qint64(0));
}

QTEST_MAIN(TestView)
#include "test_view.moc"
