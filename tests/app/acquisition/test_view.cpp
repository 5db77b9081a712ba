// The image view on its own and with the stream thread fed frames by the
// test: the matrix-to-image table, the five-slot ring, stretching, the
// thread's start and stop, turns, and the temperature step on chosen words.
// Every run reads the test's clock, never the real one.
#include "acquisitiontesting.h"
#include "temperaturesnapshot.h"

#include <QtTest>

#include <vector>

namespace {

constexpr int Width = 256;
constexpr int Height = 192;  // of each half
constexpr qint64 Start = 1700000000000;
constexpr qint64 PeriodMs = 40;

cv::Mat solid(const QColor& colour)
{
    return cv::Mat(Height, Width, CV_8UC3, cv::Scalar(colour.blue(), colour.green(), colour.red()));
}

// A raw camera frame: a grey picture over the given temperature words.
std::vector<uint8_t> rawFrame(const std::vector<uint16_t>& words)
{
    std::vector<uint8_t> frame(size_t(Width) * Height * 4);
    for (size_t i = 0; i < size_t(Width) * Height; ++i) {
        frame[2 * i] = 100;
        frame[2 * i + 1] = 128;
        frame[size_t(Width) * Height * 2 + 2 * i] = uint8_t(words[i] & 0xFF);
        frame[size_t(Width) * Height * 2 + 2 * i + 1] = uint8_t(words[i] >> 8);
    }
    return frame;
}

std::vector<uint16_t> flatWords(uint16_t word = 19200)
{
    return std::vector<uint16_t>(size_t(Width) * Height, word);
}

}  // namespace

class TestView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void matrixTable();
    void softwareRenderers();
    void drawingPathFollowsTheOverride();
    void rasterPathLoadsNoOpenGLDriver();
    void ringDropsTheSixthAndShowsFiveInOrder();
    void sameSizeIsDrawnExactlyOtherSizesStretched();
    void openImageReadsThePalette();
    void openAndCloseWhileRunningOrStopped();
    void rotationAngles();
    void temperatureStep();
    void temperatureGate();
    void noReportAfterClose();

private:
    void pushFrame(CGLWidgetImage& view, const cv::Mat& mat);
    void startFed(CGLWidgetImage& view, qint64 periodMs = PeriodMs);

    QVector<Extremes> received;  // on the GUI thread, as the main window gets them
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
    keepGlDriverLoaded();
}

void TestView::cleanupTestCase()
{
    convert_buffers_release();
    frame_buffers_release(&g_stream_frame_info);
    writeProfilePalette(QVariant());
}

void TestView::init()
{
    received.clear();
    feeder = FrameFeeder();
    g_palette = 1;
    g_temp_unit = 0;
    g_rotate_angle = 0;
    writeProfilePalette(1);
}

void TestView::pushFrame(CGLWidgetImage& view, const cv::Mat& mat)
{
    QVERIFY(QMetaObject::invokeMethod(&view, "onFrame", Qt::DirectConnection, Q_ARG(cv::Mat, mat)));
}

void TestView::startFed(CGLWidgetImage& view, qint64 periodMs)
{
    connect(view.videoStream(), &CThreadVideoStream::extremes, this,
            [this](float highest, float lowest, qint64 time, int unit) { received.append({highest, lowest, time, unit}); });
    view.videoStream()->setFrameSource(feeder.source());
    view.videoStream()->setClock(steppingClock(Start, periodMs));
    view.openImage();
    QVERIFY(view.videoStream()->isRunning());
}

// Grey, B G R (a region of a wider matrix: rows step by its parent's row),
// B G R A and floats, against OpenCV's own conversion to bytes, which rounds
// and saturates; the image is a copy. Other types give a null image, and the
// view paints on past them.
void TestView::matrixTable()
{
    cv::Mat wide(4, 8, CV_8UC3), grey(2, 3, CV_8UC1), four(2, 3, CV_8UC4), floats(2, 3, CV_32FC3);
    for (cv::Mat* mat : {&wide, &grey, &four})
        cv::randu(*mat, 0, 256);
    cv::randu(floats, -40.0, 300.0);
    for (cv::Mat mat : {grey, wide(cv::Rect(2, 1, 3, 2)), four, floats}) {
        cv::Mat bytes;
        mat.convertTo(bytes, CV_8U);
        const QImage image = CGLWidgetImage::imageFromMat(mat);
        mat.setTo(cv::Scalar::all(0));
        QCOMPARE(image.size(), QSize(3, 2));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const uchar* p = bytes.ptr(y) + x * bytes.channels();
                const int alpha = bytes.channels() == 4 ? p[3] : 255;
                QCOMPARE(image.pixel(x, y), bytes.channels() == 1 ? qRgb(p[0], p[0], p[0]) : qRgba(p[2], p[1], p[0], alpha));
            }
    }

    QVERIFY(CGLWidgetImage::imageFromMat(cv::Mat()).isNull());
    CGLWidgetImage view;
    pushFrame(view, cv::Mat(Height, Width, CV_16UC3, cv::Scalar(1, 2, 3)));
    pushFrame(view, solid(Qt::green));
    view.grabFramebuffer();
    QCOMPARE(QColor(view.grabFramebuffer().pixel(5, 5)), QColor(Qt::green));
}

void TestView::softwareRenderers()
{
    const QPair<const char*, bool> cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true}, {"Mesa X11 swrast", true}, {"SOFTWARE RASTERIZER", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)", false}, {"", false}};
    for (const auto& c : cases)
        QVERIFY2(isSoftwareRenderer(c.first) == c.second, c.first);
}

// Under Xvfb the renderer is a software one: the raster path unless forced.
void TestView::drawingPathFollowsTheOverride()
{
    CGLWidgetImage view;
    const bool forced = qgetenv("OMBRIX_VIEW") == "opengl";
    QCOMPARE(view.drawingPath(), forced ? DrawingPath::OpenGL : DrawingPath::Raster);
}

// Xvfb offers no direct rendering: the program is started as the viewer is,
// and its raster picture must not bring the software OpenGL driver in.
void TestView::rasterPathLoadsNoOpenGLDriver()
{
    QVERIFY(directRenderingReachable({"GLX", "DRI3"}) && directRenderingReachable({"NV-GLX"}));
    QVERIFY(!directRenderingReachable({"GLX", "RENDER", "Present"}));
    CGLWidgetImage view;
    view.show();
    pushFrame(view, solid(Qt::red));
    QCOMPARE(QColor(view.grabFramebuffer().pixel(5, 5)), QColor(Qt::red));
    bool driverLoaded = false;
    dl_iterate_phdr(
        [](dl_phdr_info* module, size_t, void* found) {
            *static_cast<bool*>(found) |= module->dlpi_name && std::strstr(module->dlpi_name, "_dri.so");
            return 0;
        },
        &driverLoaded);
    QCOMPARE(driverLoaded, view.drawingPath() == DrawingPath::OpenGL);
}

void TestView::ringDropsTheSixthAndShowsFiveInOrder()
{
    CGLWidgetImage view;  // never shown: only the grabs below paint
    const QVector<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    for (const QColor& colour : colours)
        pushFrame(view, solid(colour));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(QColor(view.grabFramebuffer().pixel(100, 100)), colours[i]);
    // With no new frame a paint shows the current one again.
    QCOMPARE(QColor(view.grabFramebuffer().pixel(100, 100)), colours[4]);

    // The ring goes on round from where it stopped.
    const QVector<QColor> next = {Qt::white, Qt::darkRed, Qt::darkGreen};
    for (const QColor& colour : next)
        pushFrame(view, solid(colour));
    for (const QColor& colour : next)
        QCOMPARE(QColor(view.grabFramebuffer().pixel(10, 10)), colour);
}

void TestView::sameSizeIsDrawnExactlyOtherSizesStretched()
{
    CGLWidgetImage view;
    // The camera's size, and one whose rows do not end on a group of four.
    for (const QSize size : {QSize(Width, Height), QSize(7, 3)}) {
        view.resize(size);
        cv::Mat pattern(size.height(), size.width(), CV_8UC3);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                pattern.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x), uchar(y), uchar((x * y) & 255));
        pushFrame(view, pattern);
        const QImage shot = view.grabFramebuffer();
        QCOMPARE(shot.size(), size);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (shot.pixel(x, y) != qRgb((x * y) & 255, y, x))
                    QFAIL(qPrintable(QString("pixel %1,%2 differs").arg(x).arg(y)));
    }

    view.resize(512, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    cv::Mat halves = solid(Qt::red);
    halves(cv::Rect(Width / 2, 0, Width / 2, Height)).setTo(cv::Scalar(255, 0, 0));  // right half blue
    pushFrame(view, halves);
    const QImage stretched = view.grabFramebuffer();
    QCOMPARE(stretched.size(), QSize(512, 300));
    QCOMPARE(QColor(stretched.pixel(250, 299)), QColor(Qt::red));
    QCOMPARE(QColor(stretched.pixel(262, 0)), QColor(Qt::blue));
    QCOMPARE(QColor(stretched.pixel(511, 299)), QColor(Qt::blue));
}

// A stored table number within range is taken; anything else gives table 1.
void TestView::openImageReadsThePalette()
{
    const QPair<QVariant, int> cases[] = {{4, 4}, {82, 82}, {QVariant(), 1}, {"warm", 1}, {83, 1}, {-1, 1}};
    for (const auto& c : cases) {
        writeProfilePalette(c.first);
        g_palette = 30;
        CGLWidgetImage view;
        startFed(view);
        QCOMPARE(g_palette.load(), c.second);
        view.closeImage();
    }
}

void TestView::openAndCloseWhileRunningOrStopped()
{
    CGLWidgetImage view;
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    pushFrame(view, solid(Qt::yellow));
    // Closing a stopped view only repaints: the last picture stays.
    view.closeImage();
    QCOMPARE(QColor(view.grabFramebuffer().pixel(3, 3)), QColor(Qt::yellow));

    writeProfilePalette(4);
    startFed(view);
    g_palette = 9;
    view.openImage();  // already running: the palette is not read again
    QCOMPARE(g_palette.load(), 9);
    feeder.feed(rawFrame(flatWords()));
    QTRY_COMPARE(feeder.taken(), 1);
    // The loop now waits for frames that do not come; it still ends at once.
    QTRY_VERIFY(feeder.failures() >= 2);
    view.closeImage();
    QVERIFY(view.videoStream()->isFinished());

    // Frames fed after the stop are not taken; a new open takes them.
    feeder.feed(rawFrame(flatWords()));
    QCoreApplication::processEvents();
    QCOMPARE(feeder.taken(), 1);
    view.openImage();
    QTRY_COMPARE(feeder.taken(), 2);
    view.closeImage();
}

void TestView::rotationAngles()
{
    const QPair<int, int> cases[] = {{90, RIGHT_90D}, {180, ROTATE_180D}, {270, LEFT_90D},
                                     {450, RIGHT_90D}, {-90, NO_ROTATE}, {720, NO_ROTATE}};
    for (const auto& c : cases)
        QCOMPARE(int(CThreadVideoStream::rotateSideForAngle(c.first)), c.second);
}

// One frame's temperature step against a plain scan of its words (spikes
// shown in Fahrenheit, a ramp in Celsius): the extremes in the chosen unit,
// the grid in Celsius, both at the test's time.
void TestView::temperatureStep()
{
    std::vector<uint16_t> spikes = flatWords(), ramp = flatWords();
    spikes[1000] = 64 * 373;  // 99.85 C
    spikes[4000] = 64 * 253;  // -20.15 C
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = uint16_t(17000 + i % 3000);
    for (const auto& [unit, words] : {std::make_pair(1, spikes), std::make_pair(0, ramp)}) {
        init();
        g_temp_unit = unit;
        CGLWidgetImage view;
        startFed(view);
        feeder.feed(rawFrame(words));
        QTRY_COMPARE(received.size(), 1);
        view.closeImage();
        const Extremes e = received.first();

        float highest = raw_to_celsius(words[0]), lowest = highest;
        for (uint16_t word : words) {
            highest = std::max(highest, raw_to_celsius(word));
            lowest = std::min(lowest, raw_to_celsius(word));
        }
        const auto shown = [fahrenheit = unit == 1](float c) { return fahrenheit ? celsius_to_fahrenheit(c) : c; };
        QCOMPARE(e.unit, unit);
        QCOMPARE(e.highest, shown(highest));
        QCOMPARE(e.lowest, shown(lowest));
        QCOMPARE(e.time, Start + PeriodMs);

        const TemperatureMatrix matrix = CThreadVideoStream::temperatureMatrix();
        QCOMPARE(matrix.time, Start + PeriodMs);
        QCOMPARE(matrix.celsius.size(), int(words.size()));
        TemperatureSnapshot::Reader reader;
        QCOMPARE(reader.copyFor(0).unit, unit);
        for (size_t i = 0; i < words.size(); ++i)
            if (matrix.celsius[int(i)] != raw_to_celsius(words[i]) ||
                reader.copyFor(0).values[i] != shown(raw_to_celsius(words[i])))
                QFAIL(qPrintable(QString("value %1 differs").arg(i)));

        CThreadVideoStream::releaseTemperatureMatrix();
        QVERIFY(CThreadVideoStream::temperatureMatrix().celsius.isEmpty());
        QCOMPARE(CThreadVideoStream::temperatureMatrix().time, qint64(0));
    }
}

// A hundred frames at a rate: a step comes once both bounds are met. At 25
// frames a second that is every 25 frames, 1000 ms; at 50 the 960 ms bound
// rules, every 48 frames.
void TestView::temperatureGate()
{
    const struct {
        int periodMs;
        QVector<qint64> steps;  // ms after the run's start
    } cases[] = {{40, {40, 1040, 2040, 3040}}, {20, {20, 980, 1940}}};
    for (const auto& [periodMs, steps] : cases) {
        init();
        CGLWidgetImage view;
        startFed(view, periodMs);
        for (int i = 0; i < 100; ++i)
            feeder.feed(rawFrame(flatWords()));
        QTRY_COMPARE(feeder.taken(), 100);
        // The last step's report may still be queued; a stop would drop it.
        QCoreApplication::sendPostedEvents(view.videoStream());
        view.closeImage();
        QVector<qint64> times;
        for (const Extremes& e : received)
            times << e.time - Start;
        QCOMPARE(times, steps);
    }
}

// A report the thread made just before the stop is not delivered after it:
// a disconnected camera shows no late Max/Min.
void TestView::noReportAfterClose()
{
    CGLWidgetImage view;
    feeder.feed(rawFrame(flatWords()));  // the thread's first frame
    startFed(view);
    // The thread asks for its next frame only once the first one's report is
    // sent; no event is handled meanwhile, so the report is still queued.
    for (int wait = 0; wait < 1000 && feeder.calls() < 2; ++wait)
        QThread::msleep(5);
    QVERIFY(feeder.calls() >= 2);
    view.closeImage();
    QCoreApplication::processEvents();
    QCOMPARE(received.size(), 0);
}

int main(int argc, char** argv)
{
    settleDrawingPathBeforeApplication(argc, argv);
    QApplication app(argc, argv);
    TestView test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_view.moc"
