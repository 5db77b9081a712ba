// The main window on a plugged simulated module, driven through its own
// buttons: the live picture, measurements, rotation, the range switch,
// settings, about, saving the temperature matrix and the firmware action.
#include "cdialogwaiting.h"
#include "cwidgetabout.h"
#include "cwidgetsettings.h"
#include "paintwidget.h"
#include "profile.h"
#include "sensormapping.h"
#include "shape.h"
#include "temperaturematrixfile.h"
#include "windowtesting.h"

#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QValueAxis>

#include <cmath>
#include <csignal>
#include <cstring>

namespace {

// What the module shows at a sensor cell now, in degrees Celsius, decoded
// as the viewer decodes it.
float moduleCelsius(const QPoint& cell)
{
    static uint16_t words[49152];
    ombrix_sim_temperature_words(words, 49152);
    return raw_to_celsius(words[cell.y() * 256 + cell.x()]);
}

QVector<float> moduleGrid()
{
    QVector<uint16_t> words(49152);
    ombrix_sim_temperature_words(words.data(), size_t(words.size()));
    QVector<float> celsius(words.size());
    for (int i = 0; i < words.size(); ++i)
        celsius[i] = raw_to_celsius(words[i]);
    return celsius;
}

ombrix_sim_element element(int id)
{
    ombrix_sim_element e{};
    ombrix_sim_element_get(id, &e);
    return e;
}

QPoint centreCell(const ombrix_sim_element& e)
{
    return QPoint(int(std::lround(e.centre_x)), int(std::lround(e.centre_y)));
}

// The overlay point over a sensor cell of the upright picture.
QPoint overlayPoint(PaintWidget* overlay, const QPoint& cell)
{
    const QPoint point = sensorToWidget(overlay, cell) + QPoint(1, 1);
    Q_ASSERT(widgetToSensor(overlay, point) == cell);
    return point;
}

// A left-button drag on the overlay with the real mouse events.
void drag(QWidget* widget, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

} // namespace

class TestWindowLive : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // First: the temperature array is empty until this process's first
    // temperature frame.
    void saveBeforeFirstTemperatureFrame();

    void startsWithLivePicture();
    void measurementsReadSceneTemperatures();
    void rotateFourTimes();
    void deleteDropsTheMeasurements();
    void highTemperatureSwitch();
    void settingsSendOnlyChangedValues();
    void factoryRestoreReconnects();
    void saveWritesTheGrid();
    void failedSavesKeepTheEarlierFile();
    void shutterSendsOneCommand();
    void firmwareAction();

private:
    void openWindow();
    void waitForTemperature();
    void pauseFrames();
    QString matrixFolder() const { return temperatureMatrixFolder(); }

    std::unique_ptr<ThermalImager> window;
};

void TestWindowLive::openWindow()
{
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestWindowLive::waitForTemperature()
{
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
}

// No more frames: the latest temperature array and its time stay.
void TestWindowLive::pauseFrames()
{
    ombrix_sim_fault_no_frames(1);
    QTest::qWait(300);  // a frame already pulled finishes its way
}

void TestWindowLive::init()
{
    ombrix_sim_reset();
    if (QTest::currentTestFunction() == QLatin1String("saveBeforeFirstTemperatureFrame"))
        ombrix_sim_fault_no_frames(1);
    ombrix_sim_set_noise(0);
    ombrix_sim_freeze_time(1);
    g_rotate_angle = 0;
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNEK", "Ombrix").clear();
    QDir(matrixFolder()).removeRecursively();
    QFile::remove(profileIniPath());
    hideToast();
    openWindow();
}

void TestWindowLive::cleanup()
{
    window.reset();
    ombrix_sim_fault_clear();
    hideToast();
}

void TestWindowLive::saveBeforeFirstTemperatureFrame()
{
    QVERIFY(g_connected);
    QVERIFY(CThreadVideoStream::temperatureMatrix().celsius.isEmpty());
    MessageAnswer confirm;
    clickTitleBar(*window, &CTitleBar::Buttons::save);
    QVERIFY(confirm.handled());
    QCOMPARE(confirm.text, QStringLiteral("Save current temperature matrix?"));
    QCOMPARE(shownToast(), QStringLiteral("No temperature data yet, please try again!"));
    QVERIFY(filesIn(matrixFolder()).isEmpty());
}

void TestWindowLive::startsWithLivePicture()
{
    QVERIFY(g_connected);
    QVERIFY(controlsEnabled(*window));
    QVERIFY(pictureRunning(*window));
    QVERIFY(window->form().pushButtonNormal->isChecked());
    waitForTemperature();

    // The picture is painted: the hot rectangle shows brighter than the cold one.
    QImage picture;
    QTRY_VERIFY_WITH_TIMEOUT(!(picture = window->imageWidget()->grabFramebuffer()).isNull() &&
                                 picture.pixelColor(picture.width() / 2, picture.height() / 2) != QColor(Qt::black),
                             5000);
    QCOMPARE(picture.size(), window->imageWidget()->size());
    const auto at = [&](const ombrix_sim_element& e) {
        return picture.pixelColor(int(e.centre_x * picture.width() / 256), int(e.centre_y * picture.height() / 192));
    };
    QVERIFY(at(element(OMBRIX_SIM_HOT)).lightness() > at(element(OMBRIX_SIM_COLD)).lightness() + 50);

    // The labels read the scene's extremes.
    const QVector<float> grid = moduleGrid();
    const float highest = *std::max_element(grid.begin(), grid.end());
    const float lowest = *std::min_element(grid.begin(), grid.end());
    QCOMPARE(window->form().labelMax->text(), QStringLiteral("Max %1℃").arg(double(highest), 0, 'f', 1));
    QCOMPARE(window->form().labelMin->text(), QStringLiteral("Min %1℃").arg(double(lowest), 0, 'f', 1));
    QVERIFY(qAbs(highest - ombrix_sim_reading_celsius(element(OMBRIX_SIM_HOT).celsius)) < 0.05);
}

void TestWindowLive::measurementsReadSceneTemperatures()
{
    waitForTemperature();
    Ui_ThermalImagerClass& ui = window->form();
    const ombrix_sim_element hot = element(OMBRIX_SIM_HOT);
    const ombrix_sim_element cold = element(OMBRIX_SIM_COLD);
    const double hotReading = ombrix_sim_reading_celsius(hot.celsius);
    const double coldReading = ombrix_sim_reading_celsius(cold.celsius);

    QTest::mouseClick(ui.pushButtonSpot, Qt::LeftButton);
    PaintWidget* overlay = window->overlayWidget();
    QVERIFY(overlay && overlay->isVisible());
    QCOMPARE(overlay->size(), window->imageWidget()->size());
    QVERIFY(ui.pushButtonSpot->isChecked());
    QTest::mouseClick(overlay, Qt::LeftButton, {}, overlayPoint(overlay, centreCell(hot)));
    auto spot = overlay->activeShape()->measure();
    QVERIFY(spot);
    QCOMPARE(spot->highest, moduleCelsius(centreCell(hot)));
    QVERIFY(qAbs(spot->highest - hotReading) < 0.05);

    QTest::mouseClick(ui.pushButtonLine, Qt::LeftButton);
    QCOMPARE(window->overlayWidget(), overlay);  // the same overlay, a new kind of shape
    drag(overlay, overlayPoint(overlay, centreCell(cold)), overlayPoint(overlay, centreCell(hot)));
    QCOMPARE(overlay->shapeList().size(), 2);
    auto line = overlay->activeShape()->measure();
    QVERIFY(line);
    QVERIFY2(qAbs(line->highest - hotReading) < 0.05, qPrintable(QString::number(line->highest)));
    QVERIFY2(qAbs(line->lowest - coldReading) < 0.05, qPrintable(QString::number(line->lowest)));

    QTest::mouseClick(ui.pushButtonSquare, Qt::LeftButton);
    drag(overlay, QPoint(2, 2), QPoint(overlay->width() + 40, overlay->height() + 40));
    QCOMPARE(overlay->activeShape()->endPoint, QPoint(overlay->width() - 1, overlay->height() - 1));
    auto square = overlay->activeShape()->measure();
    QVERIFY(square);
    QVERIFY(qAbs(square->highest - hotReading) < 0.05);
    QVERIFY(qAbs(square->lowest - coldReading) < 0.05);
}

void TestWindowLive::rotateFourTimes()
{
    waitForTemperature();
    Ui_ThermalImagerClass& ui = window->form();
    const ombrix_sim_element hot = element(OMBRIX_SIM_HOT);
    const double hotReading = ombrix_sim_reading_celsius(hot.celsius);
    QTest::mouseClick(ui.pushButtonSpot, Qt::LeftButton);
    PaintWidget* overlay = window->overlayWidget();
    const QPoint start = overlayPoint(overlay, centreCell(hot));
    QTest::mouseClick(overlay, Qt::LeftButton, {}, start);
    Shape* spot = overlay->activeShape();

    // The frames the view receives, recorded on the GUI thread.
    QSize frameSize;
    QObject recorder;
    connect(window->imageWidget()->videoStream(), &CThreadVideoStream::sendFrame, &recorder,
            [&frameSize](cv::Mat mat) { frameSize = QSize(mat.cols, mat.rows); }, Qt::QueuedConnection);

    const QSize upright = window->imageWidget()->size();
    const int viewWidth = ui.graphicsView->width();
    for (int turn = 1; turn <= 4; ++turn) {
        QTest::mouseClick(ui.pushButtonRotate, Qt::LeftButton);
        QCOMPARE(g_rotate_angle.load(), (turn * 90) % 360);
        const bool portrait = turn % 2 == 1;
        const QSize expected = portrait ? QSize(upright.height() * 192 / 256, upright.height()) : upright;
        QCOMPARE(window->imageWidget()->size(), expected);
        QCOMPARE(window->imageWidget()->x(), (viewWidth - expected.width()) / 2);
        QCOMPARE(overlay->size(), expected);
        QTRY_COMPARE_WITH_TIMEOUT(frameSize, portrait ? QSize(192, 256) : QSize(256, 192), 3000);
        // The spot still sits on the hot rectangle, in the turned picture.
        auto reading = spot->measure();
        QVERIFY(reading);
        QVERIFY2(qAbs(reading->highest - hotReading) < 0.05, qPrintable(QString("turn %1: %2").arg(turn).arg(reading->highest)));
    }
    QCOMPARE(window->imageWidget()->size(), upright);
    QVERIFY((spot->endPoint - start).manhattanLength() <= 4);
}

void TestWindowLive::deleteDropsTheMeasurements()
{
    Ui_ThermalImagerClass& ui = window->form();
    QTest::mouseClick(ui.pushButtonDelete, Qt::LeftButton);  // nothing to drop yet
    QVERIFY(!window->overlayWidget());
    QTest::mouseClick(ui.pushButtonLine, Qt::LeftButton);
    PaintWidget* first = window->overlayWidget();
    drag(first, QPoint(10, 10), QPoint(100, 80));
    QCOMPARE(first->shapeList().size(), 1);
    QTest::mouseClick(ui.pushButtonDelete, Qt::LeftButton);
    QVERIFY(!window->overlayWidget());
    QVERIFY(!ui.pushButtonSpot->isChecked() && !ui.pushButtonLine->isChecked() && !ui.pushButtonSquare->isChecked());
    QTest::mouseClick(ui.pushButtonSpot, Qt::LeftButton);
    QVERIFY(window->overlayWidget());
    QVERIFY(window->overlayWidget()->shapeList().isEmpty());
    QCOMPARE(window->overlayWidget()->shapeCode(), Shape::SpotCode);
}

void TestWindowLive::highTemperatureSwitch()
{
    Ui_ThermalImagerClass& ui = window->form();
    QCOMPARE(g_range_mode.load(), 1);
    ombrix_sim_wire_clear();
    // Normal while normal: no command, no waiting dialog.
    QTest::mouseClick(ui.pushButtonNormal, Qt::LeftButton);
    QTest::qWait(200);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(tpdWritesOnWire().empty());

    bool dialogShown = false;
    ModalHandler<CDialogWaiting> whileSwitching([&](CDialogWaiting* dialog) {
        dialogShown = dialog->isVisible();
        // Quick presses while the switch runs send nothing.
        QTest::mouseClick(ui.pushButtonHigh, Qt::LeftButton);
        QTest::mouseClick(ui.pushButtonNormal, Qt::LeftButton);
        QVERIFY(ui.pushButtonHigh->isChecked());
    });
    QTest::mouseClick(ui.pushButtonHigh, Qt::LeftButton);
    QCOMPARE(g_range_mode.load(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(whileSwitching.handled(), 5000);
    QVERIFY(dialogShown);
    // The dialog closes once the module had its two seconds.
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 5000);
    QCOMPARE(tpdWritesOnWire(), (TpdWrites{{5, 0}}));
    QCOMPARE(ombrix_sim_tpd_property(5), 0);
    QVERIFY(ui.pushButtonHigh->isChecked());

    // Back to normal: one more command.
    QTest::mouseClick(ui.pushButtonNormal, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(tpdWritesOnWire(), (TpdWrites{{5, 0}, {5, 1}}), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 5000);
    QCOMPARE(g_range_mode.load(), 1);
}

void TestWindowLive::settingsSendOnlyChangedValues()
{
    waitForTemperature();
    pauseFrames();
    const int distance = int(ombrix_sim_tpd_property(0) / 16.3835);
    const int emissivity = ombrix_sim_tpd_property(3) * 100 / 127;
    const int newDistance = distance == 20 ? 21 : 20;
    const int newEmissivity = emissivity == 90 ? 91 : 90;
    ombrix_sim_wire_clear();

    QString shownDistance;
    ModalHandler<CWidgetSettings> answer([&](CWidgetSettings* panel) {
        auto* distanceEdit = panel->findChild<QLineEdit*>(QStringLiteral("lineEdit"));
        shownDistance = distanceEdit->text();
        distanceEdit->setText(QString::number(newDistance));
        panel->findChild<QLineEdit*>(QStringLiteral("lineEdit_3"))->setText(QString::number(newEmissivity));
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("pushButtonF")), Qt::LeftButton);
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("pushButtonSave")), Qt::LeftButton);
    });
    clickTitleBar(*window, &CTitleBar::Buttons::setting);
    QVERIFY(answer.handled());
    QCOMPARE(shownDistance, QString::number(distance));
    QCOMPARE(tpdWritesOnWire(), (TpdWrites{{0, int(std::ceil(newDistance * 16.3835))},
                                           {3, int(std::ceil(newEmissivity * 127.0 / 100.0))}}));
    QCOMPARE(g_temp_unit.load(), 1);

    // The chart starts over in Fahrenheit.
    const TemperatureChart& chart = window->profileChart();
    QCOMPARE(chart.pointCount(), quint32(0));
    QVERIFY(chart.temperatureAxis()->labelFormat().endsWith(QStringLiteral("℉")));

    // New values follow in Fahrenheit.
    ombrix_sim_fault_no_frames(0);
    QTRY_VERIFY_WITH_TIMEOUT(chart.pointCount() >= 1, 5000);
    QVERIFY(window->form().labelMax->text().endsWith(QStringLiteral("℉")));
    const double hotF = ombrix_sim_reading_celsius(element(OMBRIX_SIM_HOT).celsius) * 1.8 + 32;
    QVERIFY(qAbs(window->profileChart().maxSeries()->at(0).y() - hotF) < 0.2);
}

void TestWindowLive::factoryRestoreReconnects()
{
    waitForTemperature();
    ombrix_sim_wire_clear();
    QSignalSpy reopened(window.get(), &ThermalImager::changeStatus);  // the open reads the range again
    bool restoring = false;
    ModalHandler<CWidgetSettings> answer([&](CWidgetSettings* panel) {
        // The panel keeps its restore button hidden; its action is wired.
        auto* restore = panel->findChild<QPushButton*>(QStringLiteral("pushButtonRestore"));
        restoring = restore->isHidden();
        restore->click();
    });
    clickTitleBar(*window, &CTitleBar::Buttons::setting);
    QVERIFY(answer.handled());
    QVERIFY(restoring);
    QCOMPARE(standardCommandsOnWire(0x01, 0x0E), std::vector<int>{0});
    // The camera is closed and opened again; the picture comes back at once.
    QTRY_COMPARE_WITH_TIMEOUT(reopened.count(), 1, 5000);
    QVERIFY(pictureRunning(*window) && g_connected);
    QVERIFY(controlsEnabled(*window));
    const quint32 before = window->profileChart().pointCount();
    QTRY_VERIFY_WITH_TIMEOUT(window->profileChart().pointCount() > before, 5000);
}

void TestWindowLive::saveWritesTheGrid()
{
    waitForTemperature();
    {
        MessageAnswer decline(false);
        clickTitleBar(*window, &CTitleBar::Buttons::save);
        QVERIFY(decline.handled());
        QVERIFY(shownToast().isEmpty());
        QVERIFY(filesIn(matrixFolder()).isEmpty());
    }
    MessageAnswer confirm;
    clickTitleBar(*window, &CTitleBar::Buttons::save);
    QVERIFY(confirm.handled());
    QCOMPARE(confirm.text, QStringLiteral("Save current temperature matrix?"));
    QCOMPARE(confirm.button, QStringLiteral("Save"));
    QCOMPARE(shownToast(), QStringLiteral("Saved successfully!"));

    const QStringList files = filesIn(matrixFolder());
    QCOMPARE(files.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{8}_\\d{6}\\.raw$")).match(files.first()).hasMatch());
    QFile file(QDir(matrixFolder()).filePath(files.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 196608);
    const QVector<float> expected = moduleGrid();
    for (int i = 0; i < expected.size(); ++i) {
        float value;
        std::memcpy(&value, bytes.constData() + 4 * i, 4);  // little-endian host
        if (value != expected[i])
            QFAIL(qPrintable(QString("value %1: %2, module %3").arg(i).arg(value).arg(expected[i])));
    }

    // Once the matrices live in the user's data folder, the toast says where.
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                               QStringLiteral("/TempMatrix");
    QVERIFY(QDir().mkpath(userFolder));
    hideToast();
    {
        MessageAnswer again;
        clickTitleBar(*window, &CTitleBar::Buttons::save);
    }
    const QStringList userFiles = filesIn(userFolder);
    QDir(userFolder).removeRecursively();
    QCOMPARE(userFiles.size(), 1);
    QCOMPARE(shownToast(), QStringLiteral("Saved to ") + QDir(userFolder).filePath(userFiles.first()));
}

void TestWindowLive::failedSavesKeepTheEarlierFile()
{
    waitForTemperature();
    pauseFrames();  // the same frame time names both saves alike
    {
        MessageAnswer confirm;
        clickTitleBar(*window, &CTitleBar::Buttons::save);
        QCOMPARE(shownToast(), QStringLiteral("Saved successfully!"));
    }
    const QStringList files = filesIn(matrixFolder());
    QCOMPARE(files.size(), 1);
    QFile earlierFile(QDir(matrixFolder()).filePath(files.first()));
    QVERIFY(earlierFile.open(QIODevice::ReadOnly));
    const QByteArray earlier = earlierFile.readAll();
    earlierFile.close();

    // A disk that fills up in the middle of the file.
    hideToast();
    {
        FileSizeLimit limit(65536);
        MessageAnswer confirm;
        clickTitleBar(*window, &CTitleBar::Buttons::save);
        QVERIFY(confirm.handled());
    }
    QCOMPARE(shownToast(), QStringLiteral("Save failed!"));
    QCOMPARE(filesIn(matrixFolder()), files);
    QVERIFY(earlierFile.open(QIODevice::ReadOnly));
    QCOMPARE(earlierFile.readAll(), earlier);
}

void TestWindowLive::shutterSendsOneCommand()
{
    ombrix_sim_wire_clear();
    QTest::mouseClick(window->form().pushButtonRefresh, Qt::LeftButton);
    // ooc_b_update(0): class 0x0D, code 0xC1.
    QCOMPARE(standardCommandsOnWire(0x0D, 0xC1), std::vector<int>{0});
}

void TestWindowLive::firmwareAction()
{
    QPushButton* close = window->titleBarWidget()->buttons().close;
    QPushButton* upgrade = window->titleBarWidget()->buttons().upgrade;
    QVERIFY(upgrade->isHidden());

    // No image beside the program: started, then a failure.
    bool closeEnabledWhileRunning = true;
    QObject probe;
    connect(window.get(), &ThermalImager::upgradeStarted, &probe,
            [&] { closeEnabledWhileRunning = close->isEnabled(); });
    QStringList toasts;
    connect(window.get(), &ThermalImager::upgradeStarted, &probe, [&] { toasts << shownToast(); });
    connect(window.get(), &ThermalImager::upgradeFinished, &probe, [&] { toasts << shownToast(); });
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/firmware");
    QDir(folder).removeRecursively();
    {
        MessageAnswer confirm;
        upgrade->click();
        QVERIFY(confirm.handled());
        QCOMPARE(confirm.button, QStringLiteral("Upgrade"));
    }
    QTRY_COMPARE(toasts.size(), 2);
    QVERIFY(!closeEnabledWhileRunning);
    QCOMPARE(toasts, (QStringList{QStringLiteral("Start firmware upgrade..."), QStringLiteral("Firmware upgrade failed!")}));
    QVERIFY(close->isEnabled());

    // With an image: the completion notice.
    QVERIFY(QDir().mkpath(folder));
    QFile image(folder + QStringLiteral("/de5100_test.bin.uimg"));
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.write(QByteArray(4096, '\x5A'));
    image.close();
    toasts.clear();
    {
        MessageAnswer confirm;
        upgrade->click();
    }
    QTRY_COMPARE(toasts.size(), 2);
    QCOMPARE(toasts.last(), QStringLiteral("The firmware download is completed. \nPlease do not power off. \nPlease "
                                           "wait patiently for the upgrade to complete!"));
    QVERIFY(close->isEnabled());
    QDir(folder).removeRecursively();
}

int main(int argc, char** argv)
{
    return runIsolated<TestWindowLive>(argc, argv);
}

#include "test_window_live.moc"
