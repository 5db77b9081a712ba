// The main window as the simulated module is unplugged and plugged in
// (through the simulator's cable and through SIGUSR1/SIGUSR2), without a
// camera, and its frame: resize borders, window states, the stored unit and
// the chart fed through the window's signal.
#include "framelessresize.h"
#include "windowtesting.h"

#include <QDateTime>
#include <QScreen>
#include <QSettings>
#include <QtCharts/QValueAxis>

#include <csignal>
#include <unistd.h>

namespace {

QSettings nativeStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNEK"), QStringLiteral("Ombrix"));
}

int entriesIn(const char* folder)
{
    return QDir(QString::fromLatin1(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
}

const QString CameraPath = QStringLiteral("USB#VID_0BDA&PID_5830#" OMBRIX_SIM_DEFAULT_SERIAL
                                          "#{A5DCBF10-6530-11D2-901F-00C04FB951ED}");

} // namespace

class TestWindowHotplug : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void unplugStopsAndReplugRestarts();
    void otherDevicesChangeNothing();
    void pathsMatchWithoutRegardToCase();
    void noCameraAtStart();

    void resizeBorders();
    void windowStatesSwapTitleBarButtons();
    void destructionStoresTheUnit();
    void chartFollowsTheSignal();

private:
    void openWindow();
    void expectNotice(QPushButton* CTitleBar::Buttons::*button, const QString& text);
    void expectNoDeviceNotices();

    std::unique_ptr<ThermalImager> window;
};

void TestWindowHotplug::init()
{
    ombrix_sim_reset();
    const QLatin1String test(QTest::currentTestFunction());
    if (test == QLatin1String("noCameraAtStart") || test == QLatin1String("chartFollowsTheSignal"))
        ombrix_sim_unplug();
    g_rotate_angle = 0;
    nativeStore().clear();
    hideToast();
    openWindow();
}

void TestWindowHotplug::cleanup()
{
    window.reset();
    ombrix_sim_fault_clear();
    if (!ombrix_sim_is_plugged())
        ombrix_sim_plug();
}

void TestWindowHotplug::openWindow()
{
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestWindowHotplug::expectNotice(QPushButton* CTitleBar::Buttons::*button, const QString& text)
{
    MessageAnswer answer;
    clickTitleBar(*window, button);
    QVERIFY(answer.handled());
    QCOMPARE(answer.text, text);
    QCOMPARE(answer.button, QStringLiteral("OK"));
}

// What the title bar's actions say while no camera is there.
void TestWindowHotplug::expectNoDeviceNotices()
{
    const QString noData = QStringLiteral("No data, please connect the device!");
    expectNotice(&CTitleBar::Buttons::save, noData);
    expectNotice(&CTitleBar::Buttons::about, noData);
    expectNotice(&CTitleBar::Buttons::setting, QStringLiteral("No device found, please connect the device!"));
}

void TestWindowHotplug::unplugStopsAndReplugRestarts()
{
    QTRY_VERIFY(chartPoints(*window) >= 1);
    const int threads = entriesIn("/proc/self/task");
    const int files = entriesIn("/proc/self/fd");
    // The cable first, then the signals the viewer takes for pulling and
    // plugging the simulated module.
    for (int cycle = 0; cycle < 4; ++cycle) {
        if (cycle % 2 == 0)
            QCOMPARE(ombrix_sim_unplug(), 0);
        else
            raise(SIGUSR1);
        QTRY_VERIFY(controlsDisabled(*window));
        QVERIFY(!ombrix_sim_is_plugged());
        QVERIFY(!g_connected);
        QVERIFY(!pictureRunning(*window));
        QVERIFY(!camera_is_open());
        if (cycle == 0)
            expectNoDeviceNotices();
        if (cycle % 2 == 0)
            QCOMPARE(ombrix_sim_plug(), 0);
        else
            raise(SIGUSR2);
        QTRY_VERIFY(controlsEnabled(*window));
        QVERIFY(g_connected);
        QVERIFY(!pictureRunning(*window));  // the picture follows a little later
        QTRY_VERIFY_WITH_TIMEOUT(pictureRunning(*window), 4000);
    }
    const quint32 before = window->profileChart().pointCount();
    QTRY_VERIFY_WITH_TIMEOUT(window->profileChart().pointCount() > before, 4000);
    QCOMPARE(entriesIn("/proc/self/fd"), files);
    QCOMPARE(entriesIn("/proc/self/task"), threads);
}

void TestWindowHotplug::otherDevicesChangeNothing()
{
    QTRY_VERIFY(pictureRunning(*window));
    ombrix_sim_wire_clear();
    window->onDeviceArrived(QStringLiteral("USB#VID_046D&PID_C077#5&3A1#{A5DCBF10-6530-11D2-901F-00C04FB951ED}"));
    window->onDeviceRemoved(QStringLiteral("USB#VID_0781&PID_5567#4C53#{A5DCBF10-6530-11D2-901F-00C04FB951ED}"));
    QTest::qWait(100);
    QVERIFY(controlsEnabled(*window));
    QVERIFY(g_connected);
    QVERIFY(pictureRunning(*window));
    QCOMPARE(ombrix_sim_wire_count(), size_t(0));  // the camera was not opened again
}

void TestWindowHotplug::pathsMatchWithoutRegardToCase()
{
    QTRY_VERIFY(pictureRunning(*window));
    window->onDeviceRemoved(CameraPath.toLower());
    QVERIFY(controlsDisabled(*window));
    QVERIFY(!pictureRunning(*window));
    QVERIFY(!camera_is_open());
    window->onDeviceArrived(QStringLiteral("\\\\?\\usb#vid_0bda&pid_5830#x#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"));
    QVERIFY(controlsEnabled(*window));
    QVERIFY(camera_is_open());
    QTRY_VERIFY_WITH_TIMEOUT(pictureRunning(*window), 4000);

    // A second arrival over the open camera opens it anew.
    window->onDeviceArrived(CameraPath);
    QVERIFY(controlsEnabled(*window));
    QVERIFY(!pictureRunning(*window));
    QTRY_VERIFY_WITH_TIMEOUT(pictureRunning(*window), 4000);
}

void TestWindowHotplug::noCameraAtStart()
{
    QVERIFY(controlsDisabled(*window));
    QVERIFY(!g_connected);
    expectNoDeviceNotices();
    // Plugging the camera in enables the buttons at once.
    QCOMPARE(ombrix_sim_plug(), 0);
    QTRY_VERIFY(controlsEnabled(*window));
    QTRY_VERIFY_WITH_TIMEOUT(pictureRunning(*window), 4000);
}

void TestWindowHotplug::resizeBorders()
{
    QWindow* native = window->windowHandle();
    QVERIFY(native);
    auto* resizer = window->findChild<platform::FramelessResizer*>();
    QVERIFY(resizer);
    const QRect before = window->geometry();

    // The resize cursor over a corner, the plain one inside.
    QTest::mouseMove(native, QPoint(1, 1));
    QTRY_COMPARE(window->cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mouseMove(native, QPoint(3, 3));
    QTRY_COMPARE(window->cursor().shape(), Qt::ArrowCursor);

    // A press at 1, 1 resizes from the top-left corner. The pointer's later
    // positions are given relative to where the window is by then.
    const auto local = [native](const QPoint& global) { return global - native->position(); };
    QTest::mousePress(native, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(resizer->lastEdges(), Qt::TopEdge | Qt::LeftEdge);
    const QPoint target = before.topLeft() + QPoint(-39, -29);
    if (!resizer->lastResizeBySystem()) {
        // No window manager took it (the test display has none): the window
        // follows the pointer itself.
        QTest::mouseMove(native, local(target));
        QTRY_COMPARE(window->geometry(), before.adjusted(-40, -30, 0, 0));
        QTest::mouseRelease(native, Qt::LeftButton, {}, local(target));
        QCOMPARE(window->geometry(), before.adjusted(-40, -30, 0, 0));
    } else {
        QTest::mouseRelease(native, Qt::LeftButton, {}, QPoint(1, 1));
    }

    // At 3, 3 the press is the window's own: no resize.
    const QRect now = window->geometry();
    QTest::mousePress(native, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseMove(native, QPoint(-60, -60));
    QTest::mouseRelease(native, Qt::LeftButton, {}, QPoint(-60, -60));
    QTest::qWait(50);
    QCOMPARE(window->geometry(), now);

    // Never below the minimum size.
    const QSize smallest = window->minimumSize();
    const QPoint corner = now.bottomRight();
    QTest::mousePress(native, Qt::LeftButton, {}, local(corner));
    QCOMPARE(resizer->lastEdges(), Qt::BottomEdge | Qt::RightEdge);
    if (!resizer->lastResizeBySystem()) {
        QTest::mouseMove(native, local(now.topLeft() + QPoint(100, 100)));
        QTRY_COMPARE(window->size(), smallest);
        QTest::mouseRelease(native, Qt::LeftButton, {}, local(now.topLeft() + QPoint(100, 100)));
        QCOMPARE(window->geometry(), QRect(now.topLeft(), smallest));
    }
}

void TestWindowHotplug::windowStatesSwapTitleBarButtons()
{
    const CTitleBar::Buttons bar = window->titleBarWidget()->buttons();
    const QSize normalSize = window->size();
    QVERIFY(bar.maximize->isVisible());
    QVERIFY(!bar.normal->isVisible());

    QTest::mouseClick(bar.maximize, Qt::LeftButton);
    QTRY_VERIFY(window->isMaximized());
    QVERIFY(bar.normal->isVisible());
    QVERIFY(!bar.maximize->isVisible());
    const QRect available = window->screen()->availableGeometry();
    QTRY_COMPARE(window->size(), available.size());

    // A double click on the bar restores the window and swaps back.
    QTest::mouseDClick(window->titleBarWidget(), Qt::LeftButton, {}, QPoint(400, 15));
    QTRY_VERIFY(!window->isMaximized());
    QVERIFY(bar.maximize->isVisible());
    QVERIFY(!bar.normal->isVisible());

    // Another double click maximises; Normal restores to the default size, centred.
    QTest::mouseDClick(window->titleBarWidget(), Qt::LeftButton, {}, QPoint(400, 15));
    QTRY_VERIFY(window->isMaximized());
    QTest::mouseClick(bar.normal, Qt::LeftButton);
    QTRY_VERIFY(!window->isMaximized());
    QTRY_COMPARE(window->size(), normalSize);
    QTRY_COMPARE(window->geometry().center(), available.center());
    QVERIFY(bar.maximize->isVisible());

    QTest::mouseClick(bar.minimize, Qt::LeftButton);
    QTRY_VERIFY(window->windowState() & Qt::WindowMinimized);
}

void TestWindowHotplug::destructionStoresTheUnit()
{
    QCOMPARE(g_temp_unit.load(), 0);  // nothing stored: Celsius
    g_temp_unit = 1;
    window.reset();
    QCOMPARE(nativeStore().value(QStringLiteral("TempUnit")).toInt(), 1);

    g_temp_unit = 0;
    openWindow();
    QCOMPARE(g_temp_unit.load(), 1);
    QVERIFY(window->profileChart().temperatureAxis()->labelFormat().endsWith(QStringLiteral("℉")));

    g_temp_unit = 0;
    window.reset();
    QCOMPARE(nativeStore().value(QStringLiteral("TempUnit")).toInt(), 0);

    // A stored value that is no unit reads as Celsius.
    nativeStore().setValue(QStringLiteral("TempUnit"), 7);
    openWindow();
    QCOMPARE(g_temp_unit.load(), 0);
}

void TestWindowHotplug::chartFollowsTheSignal()
{
    // No camera: only the signal feeds the chart.
    QVERIFY(!g_connected);
    const qint64 t = QDateTime::currentMSecsSinceEpoch();
    emit window->updateMaxMinTemperature(36.5f, 20.0f, t, 0);
    QTRY_COMPARE(window->form().labelMax->text(), QStringLiteral("Max 36.5℃"));
    QCOMPARE(window->form().labelMin->text(), QStringLiteral("Min 20.0℃"));
    QVERIFY(qAbs(window->profileChart().temperatureAxis()->min() - 16.25) < 1e-4);
    QVERIFY(qAbs(window->profileChart().temperatureAxis()->max() - 40.25) < 1e-4);

    // The labels take the unit set now, whatever the signal says.
    g_temp_unit = 1;
    emit window->updateMaxMinTemperature(97.7f, 68.0f, t + 1000, 0);
    QTRY_COMPARE(window->form().labelMax->text(), QStringLiteral("Max 97.7℉"));
    QCOMPARE(window->form().labelMin->text(), QStringLiteral("Min 68.0℉"));
    g_temp_unit = 0;
}

int main(int argc, char** argv)
{
    return runIsolated<TestWindowHotplug>(argc, argv);
}

#include "test_window_hotplug.moc"
