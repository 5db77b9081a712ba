// The main window as a user meets it beyond the design size: the picture
// fits any window shape whole, and the user's settings survive the camera
// being unplugged and the program being killed.
#include "cwidgetsettings.h"
#include "colourscalebar.h"
#include "paintwidget.h"
#include "picturereading.h"
#include "sensormapping.h"
#include "windowtesting.h"

#include <QLineEdit>
#include <QProcess>
#include <QSettings>

#include <cmath>
#include <csignal>

namespace {

QSettings nativeStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VARNEK"), QStringLiteral("Ombrix"));
}

ombrix_sim_element element(int id)
{
    ombrix_sim_element e{};
    ombrix_sim_element_get(id, &e);
    return e;
}

// The sensor cell of the hot element as the picture shows it after `angle`
// degrees of clockwise turning.
QPoint hotCellTurned(int angle)
{
    const ombrix_sim_element hot = element(OMBRIX_SIM_HOT);
    QPoint cell(int(std::lround(hot.centre_x)), int(std::lround(hot.centre_y)));
    int rows = 192;
    for (int turned = 0; turned < angle; turned += 90) {
        cell = QPoint(rows - 1 - cell.y(), cell.x());
        rows = rows == 192 ? 256 : 192;
    }
    return cell;
}

// Fills the settings panel the window opens and saves it.
void saveSettings(ThermalImager& window, const QString& distance, const QString& emissivity, bool fahrenheit)
{
    ModalHandler<CWidgetSettings> answer([&](CWidgetSettings* panel) {
        panel->findChild<QLineEdit*>(QStringLiteral("lineEdit"))->setText(distance);
        panel->findChild<QLineEdit*>(QStringLiteral("lineEdit_3"))->setText(emissivity);
        QTest::mouseClick(panel->findChild<QPushButton*>(fahrenheit ? "pushButtonF" : "pushButtonC"), Qt::LeftButton);
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("pushButtonSave")), Qt::LeftButton);
    });
    clickTitleBar(window, &CTitleBar::Buttons::setting);
    QVERIFY(answer.handled());
}

} // namespace

class TestWindowFit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pictureFitsAnyWindowShape_data();
    void pictureFitsAnyWindowShape();
    void savedValuesReturnAfterReplug();
    void refusedValuesAreReported();
    void bringToFrontUnminimises();
    void noCameraStateUntilRealDataReturns();
    void closeSignalsEndTheProgramNormally_data();
    void closeSignalsEndTheProgramNormally();

private:
    void replug();

    std::unique_ptr<ThermalImager> window;
};

void TestWindowFit::init()
{
    ombrix_sim_reset();
    ombrix_sim_set_noise(0);
    g_rotate_angle = 0;
    nativeStore().clear();
    hideToast();
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestWindowFit::cleanup()
{
    window.reset();
    ombrix_sim_fault_clear();
    if (!ombrix_sim_is_plugged())
        ombrix_sim_plug();
    hideToast();
}

void TestWindowFit::replug()
{
    QCOMPARE(ombrix_sim_unplug(), 0);
    QTRY_VERIFY(controlsDisabled(*window));
    QCOMPARE(ombrix_sim_plug(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(controlsEnabled(*window), 5000);
}

void TestWindowFit::pictureFitsAnyWindowShape_data()
{
    QTest::addColumn<QSize>("windowSize");
    QTest::addColumn<int>("turns");
    QTest::newRow("tall") << QSize(730, 1000) << 0;
    QTest::newRow("tall, turned") << QSize(730, 1000) << 1;
    QTest::newRow("wide, turned back") << QSize(1600, 640) << 2;
    QTest::newRow("wide, three turns") << QSize(1600, 640) << 3;
}

void TestWindowFit::pictureFitsAnyWindowShape()
{
    QFETCH(QSize, windowSize);
    QFETCH(int, turns);
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
    QTest::mouseClick(window->form().pushButtonSpot, Qt::LeftButton);
    for (int i = 0; i < turns; ++i)
        QTest::mouseClick(window->form().pushButtonRotate, Qt::LeftButton);
    window->resize(windowSize);
    QTRY_COMPARE(window->size(), windowSize);

    const QRect view = window->form().graphicsView->rect();
    const QRect picture = window->imageWidget()->geometry();
    QVERIFY2(view.contains(picture), qPrintable(QString("%1,%2 %3x%4").arg(picture.x()).arg(picture.y())
                                                    .arg(picture.width()).arg(picture.height())));
    // The colour scale keeps its room on either side, so the picture stays centred.
    const auto* aids = window->findChild<reading::PictureReading*>();
    QVERIFY(picture.width() == view.width() - 2 * aids->scaleWidth() || picture.height() == view.height());
    QVERIFY(!aids->scaleBar()->geometry().intersects(picture));
    PaintWidget* overlay = window->overlayWidget();
    QCOMPARE(overlay->size(), picture.size());

    // A spot put on the hot element, as the user sees it, reads its heat.
    const QPoint cell = hotCellTurned(turns * 90);
    const QPoint point = sensorToWidget(overlay, cell) + QPoint(1, 1);
    QCOMPARE(widgetToSensor(overlay, point), cell);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, point);
    auto reading = overlay->activeShape()->measure();
    QVERIFY(reading);
    QVERIFY(qAbs(reading->highest - ombrix_sim_reading_celsius(element(OMBRIX_SIM_HOT).celsius)) < 0.05);
}

// The module forgets on unplugging; the viewer sends the user's values back
// before the picture returns. The unit is stored the moment it is saved.
void TestWindowFit::savedValuesReturnAfterReplug()
{
    saveSettings(*window, "30", "80", true);
    QCOMPARE(nativeStore().value(QStringLiteral("TempUnit")).toInt(), 1);
    QTest::mouseClick(window->form().pushButtonHigh, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget() && !g_range_mode, 5000);
    QTest::qWait(2500);  // the range switch settles

    ombrix_sim_unplug();
    QTRY_VERIFY(controlsDisabled(*window));
    ombrix_sim_reset();  // a fresh module, as after a power cycle
    ombrix_sim_unplug();
    QVERIFY(ombrix_sim_tpd_property(0) != int(std::ceil(30 * 16.3835)));
    ombrix_sim_plug();
    QTRY_VERIFY_WITH_TIMEOUT(controlsEnabled(*window), 5000);
    QCOMPARE(ombrix_sim_tpd_property(0), int(std::ceil(30 * 16.3835)));
    QCOMPARE(ombrix_sim_tpd_property(3), int(std::ceil(80 * 1.27)));
    QCOMPARE(ombrix_sim_tpd_property(5), 0);
    QVERIFY(window->form().pushButtonHigh->isChecked());
    QVERIFY(shownToast().isEmpty());
}

void TestWindowFit::refusedValuesAreReported()
{
    saveSettings(*window, "30", "80", false);
    ombrix_sim_unplug();
    QTRY_VERIFY(controlsDisabled(*window));
    ombrix_sim_fault_status_error(0x05, 1);
    ombrix_sim_plug();
    QTRY_VERIFY_WITH_TIMEOUT(!shownToast().isEmpty(), 5000);
    QCOMPARE(shownToast(), QStringLiteral("The camera did not accept the saved distance, emissivity or range."));
}

// Without a camera: a notice over the picture, "--" for every reading, the
// shapes kept; the next real frame brings the readings back.
void TestWindowFit::noCameraStateUntilRealDataReturns()
{
    Ui_ThermalImagerClass& ui = window->form();
    auto* notice = window->imageWidget()->findChild<QLabel*>(QStringLiteral("noCameraNotice"));
    QVERIFY(notice && !notice->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
    QTest::mouseClick(ui.pushButtonSpot, Qt::LeftButton);
    PaintWidget* overlay = window->overlayWidget();
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(40, 40));
    QVERIFY(overlay->activeShape()->measure());

    QCOMPARE(ombrix_sim_unplug(), 0);
    QTRY_VERIFY(controlsDisabled(*window));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->size(), window->imageWidget()->size());
    QVERIFY(notice->text().contains(QStringLiteral("camera")));
    QCOMPARE(ui.labelMax->text(), QStringLiteral("Max --"));
    QCOMPARE(ui.labelMin->text(), QStringLiteral("Min --"));
    QCOMPARE(overlay->shapeList().size(), 1);
    QVERIFY(!overlay->activeShape()->measure());

    QCOMPARE(ombrix_sim_plug(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!ui.labelMax->text().endsWith(QStringLiteral("--")), 8000);
    QVERIFY(!notice->isVisible());
    QTRY_VERIFY(overlay->activeShape()->measure());

    // Started without a camera, nothing reads as measured.
    window.reset();
    ombrix_sim_unplug();
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->form().labelMax->text(), QStringLiteral("Max --"));
    QVERIFY(window->imageWidget()->findChild<QLabel*>(QStringLiteral("noCameraNotice"))->isVisible());
}

void TestWindowFit::bringToFrontUnminimises()
{
    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    window->bringToFront();
    QTRY_VERIFY(!window->isMinimized());
    QVERIFY(window->isVisible());
    QTRY_VERIFY(window->isActiveWindow());
}

void TestWindowFit::closeSignalsEndTheProgramNormally_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

// The program, on the simulated module, is told to end once its picture
// runs: it closes as by its close button (exit code 0), which stores the
// unit on the way out.
void TestWindowFit::closeSignalsEndTheProgramNormally()
{
    QFETCH(int, signalNumber);
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.remove("XDG_CONFIG_HOME");
    environment.insert("OMBRIX_CAMERA", "simulated");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // Only the exit code is read here: in a sanitizer build the leak check
    // at exit would report the platform plugin's own allocations as code 1.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(OMBRIX_PROGRAM), QStringList());
    QVERIFY(program.waitForStarted());
    // The stream's start is announced on standard output.
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += program.readAllStandardOutput()).contains("width: 256"), 20000);
    QCOMPARE(::kill(pid_t(program.processId()), signalNumber), 0);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::exists(home.path() + "/.config/VARNEK/Ombrix.conf"));
}

int main(int argc, char** argv)
{
    return runIsolated<TestWindowFit>(argc, argv);
}

#include "test_window_fit.moc"
