// The simulated module streamed through the controller, the stream thread and
// the image view: colours where the scene is hot and cold, palette changes,
// rotations, the temperature gate and an unplugged camera. The module is paced by hand, one frame per step,
// and its scene stands still, so that every frame is known.
#include "acquisitiontesting.h"

#include <dozazuva_backend.h>
#include <ombrix_simulator.h>

#include <QtTest>

#include <opencv2/core.hpp>

#include <memory>
#include <vector>

namespace {

constexpr int Width = 256;
constexpr int Height = 192;
constexpr qint64 Start = 1700000000000;

// The centre cell of a scene element.
QPoint centreOf(int element)
{
    ombrix_sim_element e = {};
    ombrix_sim_element_get(element, &e);
    return QPoint(int(e.centre_x), int(e.centre_y));
}

// Where an upright cell lands in the picture turned clockwise by angle.
QPoint turned(const QPoint& p, int angle)
{
    switch (angle % 360) {
    case 90:
        return QPoint(Height - 1 - p.y(), p.x());
    case 180:
        return QPoint(Width - 1 - p.x(), Height - 1 - p.y());
    case 270:
        return QPoint(p.y(), Width - 1 - p.x());
    default:
        return p;
    }
}

QSize turnedSize(int angle)
{
    return angle % 180 == 90 ? QSize(Height, Width) : QSize(Width, Height);
}

QColor colourAt(const cv::Mat& bgr, const QPoint& p)
{
    const cv::Vec3b pixel = bgr.at<cv::Vec3b>(p.y(), p.x());
    return QColor(pixel[2], pixel[1], pixel[0]);
}

}  // namespace

class TestStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void paletteColoursWhereHotAndCold();
    void rotationsTurnThePicture();
    void temperatureGate_data();
    void temperatureGate();
    void unplugKeepsRetryingUntilStopped();

private:
    void open();
    void close();
    void stepFrames(int frames);
    QImage grabAt(const QSize& size);

    MainWindowStandIn mainWindow;
    CGLWidgetImage* view = nullptr;
    std::unique_ptr<FrameRecorder> recorder;
    int framesSent = 0;
};

void TestStream::initTestCase()
{
    keepGlDriverLoaded();
    writeProfilePalette(1);
    ombrix_sim_reset();
    QCOMPARE(dozazuva_use_backend(ombrix_simulator_backend()), 0);
    QCOMPARE(ombrix_sim_set_pace(OMBRIX_SIM_PACE_MANUAL), 0);
    ombrix_sim_freeze_time(1);
    QVERIFY(connectCamera());
    g_main_window = &mainWindow;

    view = new CGLWidgetImage;
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
}

void TestStream::cleanupTestCase()
{
    disconnectCamera(view);
    delete view;
    g_main_window = nullptr;
    dozazuva_use_backend(nullptr);
    writeProfilePalette(QVariant());
}

void TestStream::init()
{
    ombrix_sim_set_noise(0);
    g_rotate_angle = 0;
    g_temp_unit = 0;
    mainWindow.forget();
    view->videoStream()->setClock(steppingClock(Start, 40));
    view->resize(Width, Height);
}

void TestStream::cleanup()
{
    close();
    g_rotate_angle = 0;
    g_temp_unit = 0;
}

// Starts the thread; frames are recorded after the view has them.
void TestStream::open()
{
    view->openImage();
    recorder = std::make_unique<FrameRecorder>();
    recorder->watch(view->videoStream());
    framesSent = 0;
}

void TestStream::close()
{
    view->closeImage();
    recorder.reset();
}

// Lets the module send frames and waits until the view has every one.
void TestStream::stepFrames(int frames)
{
    QCOMPARE(ombrix_sim_step_frames(unsigned(frames), 10000), frames);
    framesSent += frames;
    QTRY_COMPARE_WITH_TIMEOUT(recorder->count, framesSent, 30000);
}

// The view's picture at a widget size. Every grab paints once and so takes
// one frame from the ring; after as many grabs as the ring has slots it shows
// the newest frame, whether or not the window painted the others by itself.
// The resize of a shown window may take a round trip to the display.
QImage TestStream::grabAt(const QSize& size)
{
    view->resize(size);
    QImage shot;
    for (int grab = 0; grab < CGLWidgetImage::RingSize; ++grab)
        shot = view->grabFramebuffer();
    for (int wait = 0; wait < 100 && shot.size() != size; ++wait) {
        QTest::qWait(10);
        shot = view->grabFramebuffer();
    }
    return shot;
}

void TestStream::paletteColoursWhereHotAndCold()
{
    const QPoint hot = centreOf(OMBRIX_SIM_HOT);
    const QPoint cold = centreOf(OMBRIX_SIM_COLD);
    open();
    QCOMPARE(g_palette.load(), 1);  // from profile.ini
    for (int palette : {1, 0, 42, 82}) {
        g_palette = palette;
        stepFrames(1);
        const QImage shot = grabAt(QSize(Width, Height));
        // The module's picture runs from the coldest (level 0) to the hottest
        // (level 255) cell.
        QCOMPARE(QColor(shot.pixel(hot)), paletteColour(palette, 255));
        QCOMPARE(QColor(shot.pixel(cold)), paletteColour(palette, 0));
        QCOMPARE(colourAt(recorder->last, hot), paletteColour(palette, 255));
    }
    // A change shows from the next frame on, not before.
    g_palette = 1;
    QCOMPARE(QColor(grabAt(QSize(Width, Height)).pixel(hot)), paletteColour(82, 255));
    stepFrames(1);
    QCOMPARE(QColor(grabAt(QSize(Width, Height)).pixel(hot)), paletteColour(1, 255));
}

void TestStream::rotationsTurnThePicture()
{
    const QPoint hot = centreOf(OMBRIX_SIM_HOT);
    const QPoint cold = centreOf(OMBRIX_SIM_COLD);
    open();
    stepFrames(1);
    const cv::Mat upright = recorder->last.clone();
    QCOMPARE(upright.rows, Height);
    QCOMPARE(upright.cols, Width);

    const struct {
        int angle;
        int turn;  // cv::RotateFlags, or -1 for upright
    } turns[] = {{90, cv::ROTATE_90_CLOCKWISE}, {180, cv::ROTATE_180},
                 {270, cv::ROTATE_90_COUNTERCLOCKWISE}, {450, cv::ROTATE_90_CLOCKWISE}, {0, -1}};
    for (const auto& t : turns) {
        g_rotate_angle = t.angle;
        stepFrames(1);
        const cv::Mat& mat = recorder->last;
        const QSize size = turnedSize(t.angle);
        QCOMPARE(mat.rows, size.height());
        QCOMPARE(mat.cols, size.width());
        cv::Mat expected;  // never over upright's memory: a half turn would turn it in place
        if (t.turn >= 0)
            cv::rotate(upright, expected, t.turn);
        else
            expected = upright;
        QVERIFY2(cv::norm(mat, expected, cv::NORM_INF) == 0, qPrintable(QString("angle %1").arg(t.angle)));

        // The view shows it pixel for pixel at the turned size.
        const QImage shot = grabAt(size);
        QCOMPARE(shot.size(), size);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (QColor(shot.pixel(x, y)) != colourAt(mat, QPoint(x, y)))
                    QFAIL(qPrintable(QString("angle %1: pixel %2,%3 differs").arg(t.angle).arg(x).arg(y)));
        QCOMPARE(QColor(shot.pixel(turned(hot, t.angle))), paletteColour(1, 255));
        QCOMPARE(QColor(shot.pixel(turned(cold, t.angle))), paletteColour(1, 0));
    }
}

void TestStream::temperatureGate_data()
{
    QTest::addColumn<int>("periodMs");
    QTest::addColumn<QVector<qint64>>("steps");  // ms after the run's start
    // 25 frames a second: every 25 frames, 1000 ms.
    QTest::newRow("25 fps") << 40 << QVector<qint64>{40, 1040, 2040, 3040};
    // 50 frames a second: the 960 ms bound rules, every 48 frames.
    QTest::newRow("50 fps") << 20 << QVector<qint64>{20, 980, 1940};
}

void TestStream::temperatureGate()
{
    QFETCH(int, periodMs);
    QFETCH(QVector<qint64>, steps);
    view->videoStream()->setClock(steppingClock(Start, periodMs));
    open();
    for (int i = 0; i < 10; ++i)
        stepFrames(10);
    view->closeImage();

    QVector<qint64> times;
    for (const Extremes& e : mainWindow.received)
        times << e.time - Start;
    QCOMPARE(times, steps);
}

void TestStream::unplugKeepsRetryingUntilStopped()
{
    auto calls = std::make_shared<std::atomic<int>>(0);
    auto failures = std::make_shared<std::atomic<int>>(0);
    view->videoStream()->setFrameSource([=](uint8_t* raw) {
        ++*calls;
        const int result = uvc_frame_get(raw);
        if (result < 0)
            ++*failures;
        return result;
    });
    open();
    stepFrames(1);
    QCOMPARE(ombrix_sim_unplug(), 0);
    // Every read now waits the frame wait (1000 ms), fails, and the loop
    // pauses 100 ms before the next.
    QTRY_VERIFY_WITH_TIMEOUT(*failures >= 2, 10000);
    QVERIFY(view->videoStream()->isRunning());
    view->closeImage();
    QVERIFY(view->videoStream()->isFinished());
    QCOMPARE(recorder->count, 1);
    view->videoStream()->setFrameSource(nullptr);

    // Plugged back in, the camera connects again and streams.
    QCOMPARE(ombrix_sim_plug(), 0);
    disconnectCamera(view);
    QCOMPARE(ombrix_sim_set_pace(OMBRIX_SIM_PACE_MANUAL), 0);
    ombrix_sim_freeze_time(1);
    QVERIFY(connectCamera());
    open();
    stepFrames(2);
}

QTEST_MAIN(TestStream)
#include "test_stream.moc"
