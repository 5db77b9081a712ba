// The main window on the simulated module, driven through its own buttons:
// one window, started without a camera, lives through the cases in order.
#include "cameraconnection.h"
#include "cdialogwaiting.h"
#include "colourscalebar.h"
#include "cwidgetsettings.h"
#include "paintwidget.h"
#include "picturereading.h"
#include "profile.h"
#include "sensormapping.h"
#include "shape.h"
#include "windowsnapshot.h"
#include "windowtesting.h"

#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>

#include <cmath>
#include <csignal>

namespace {

QVector<float> moduleGrid()
{
    QVector<uint16_t> words(49152);
    ombrix_sim_temperature_words(words.data(), size_t(words.size()));
    QVector<float> celsius;
    for (uint16_t word : words)
        celsius << raw_to_celsius(word);
    return celsius;
}

ombrix_sim_element hotElement()
{
    ombrix_sim_element hot{};
    ombrix_sim_element_get(OMBRIX_SIM_HOT, &hot);
    return hot;
}

// The hot element's sensor cell as the picture shows it after `angle`
// degrees of clockwise turning.
QPoint hotCellTurned(int angle)
{
    QPoint cell(int(std::lround(hotElement().centre_x)), int(std::lround(hotElement().centre_y)));
    for (int turned = 0, rows = 192; turned < angle; turned += 90, rows = 448 - rows)
        cell = QPoint(rows - 1 - cell.y(), cell.x());
    return cell;
}

// Whether a shape reads the hot element's temperature.
bool readsHot(const Shape* shape)
{
    const auto reading = shape->measure();
    return reading && qAbs(reading->highest - ombrix_sim_reading_celsius(hotElement().celsius)) < 0.05;
}

// A spot clicked onto the overlay over a sensor cell.
Shape* putSpot(PaintWidget* overlay, const QPoint& cell)
{
    const QPoint point = sensorToWidget(overlay, cell) + QPoint(1, 1);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, point);
    return widgetToSensor(overlay, point) == cell ? overlay->activeShape() : nullptr;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

int entriesIn(const char* folder)
{
    return QDir(QString::fromLatin1(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void withoutCameraNothingReadsAsMeasuredThenFirstFrames();
    void pictureFitsAnyWindowShape();
    void rangeAndShutterSendOnce();
    void settingsReachTheModuleAndReturnAfterReplug();
    void unplugShowsNoCameraAndReplugRestores();
    void saveAndExport();
    void windowStatesAndBringToFront();

private:
    void expectNotice(QPushButton* CTitleBar::Buttons::*button, const QString& text);

    std::unique_ptr<ThermalImager> window;
    QSize normalSize;
    QTemporaryDir folder;
};

void TestWindow::initTestCase()
{
    QDir(temperatureMatrixFolder()).removeRecursively();  // beside the program: from an earlier run
    QFile::remove(profileIniPath());
    ombrix_sim_reset();
    ombrix_sim_unplug();
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNEK", "Ombrix").setValue("TempUnit", 7);  // not a unit
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    normalSize = window->size();
}

void TestWindow::init()
{
    ombrix_sim_fault_no_frames(0);
    ombrix_sim_set_noise(0);
    ombrix_sim_freeze_time(1);
    ombrix_sim_wire_clear();
    hideToast();
}

void TestWindow::expectNotice(QPushButton* CTitleBar::Buttons::*button, const QString& text)
{
    MessageAnswer answer;
    clickTitleBar(*window, button);
    QVERIFY(answer.handled());
    QCOMPARE(answer.text, text);
}

// Started without a camera: a notice over the picture, "--" for the
// readings, and the title bar's actions say what is missing. The temperature
// array is empty until this process's first frame; then the labels read the
// scene's extremes.
void TestWindow::withoutCameraNothingReadsAsMeasuredThenFirstFrames()
{
    QVERIFY(controlsDisabled(*window));
    QCOMPARE(g_temp_unit.load(), 0);
    QCOMPARE(window->form().labelMax->text(), QStringLiteral("Max --"));
    QVERIFY(window->imageWidget()->findChild<QLabel*>(QStringLiteral("noCameraNotice"))->isVisible());
    expectNotice(&CTitleBar::Buttons::save, QStringLiteral("No data, please connect the device!"));
    expectNotice(&CTitleBar::Buttons::setting, QStringLiteral("No device found, please connect the device!"));

    ombrix_sim_fault_no_frames(1);
    QCOMPARE(ombrix_sim_plug(), 0);
    QTRY_VERIFY(controlsEnabled(*window));
    expectNotice(&CTitleBar::Buttons::save, QStringLiteral("Save current temperature matrix?"));
    QCOMPARE(shownToast(), QStringLiteral("No temperature data yet, please try again!"));
    QVERIFY(filesIn(temperatureMatrixFolder()).isEmpty());
    ombrix_sim_fault_no_frames(0);
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
    QVERIFY(!window->imageWidget()->findChild<QLabel*>(QStringLiteral("noCameraNotice"))->isVisible());
    const QVector<float> grid = moduleGrid();
    const float highest = *std::max_element(grid.begin(), grid.end());
    const float lowest = *std::min_element(grid.begin(), grid.end());
    QCOMPARE(window->form().labelMax->text(), QStringLiteral("Max %1℃").arg(double(highest), 0, 'f', 1));
    QCOMPARE(window->form().labelMin->text(), QStringLiteral("Min %1℃").arg(double(lowest), 0, 'f', 1));
}

// Whole, centred beside the colour scale, at any shape and turn; a spot put
// on the hot element before turning still reads it, and so does one put on
// it in the turned picture. Tall upright and turned once, wide turned back
// and turned three times.
void TestWindow::pictureFitsAnyWindowShape()
{
    const QSize tall(730, 1000), wide(1600, 640);
    for (const auto& [windowSize, turns] : {std::pair{tall, 0}, std::pair{tall, 1}, std::pair{wide, 2}, std::pair{wide, 3}}) {
        Ui_ThermalImagerClass& ui = window->form();
        window->resize(normalSize);
        for (int i = 0; i < 4 && g_rotate_angle != 0; ++i)
            QTest::mouseClick(ui.pushButtonRotate, Qt::LeftButton);
        QTest::mouseClick(ui.pushButtonDelete, Qt::LeftButton);
        QTest::mouseClick(ui.pushButtonSpot, Qt::LeftButton);
        PaintWidget* overlay = window->overlayWidget();
        Shape* first = putSpot(overlay, hotCellTurned(0));
        QVERIFY(first && readsHot(first));
        for (int i = 0; i < turns; ++i)
            QTest::mouseClick(ui.pushButtonRotate, Qt::LeftButton);
        window->resize(windowSize);
        QTRY_COMPARE(window->size(), windowSize);

        const QRect view = ui.graphicsView->rect();
        const QRect picture = window->imageWidget()->geometry();
        QVERIFY(view.contains(picture));
        const auto* aids = window->findChild<reading::PictureReading*>();
        QVERIFY(picture.width() == view.width() - 2 * aids->scaleWidth() || picture.height() == view.height());
        QVERIFY(!aids->scaleBar()->geometry().intersects(picture));
        QCOMPARE(overlay->size(), picture.size());
        QTRY_VERIFY(readsHot(first));
        Shape* second = putSpot(overlay, hotCellTurned(turns * 90));
        QVERIFY(second && readsHot(second));
    }
}

// The shutter sends one command. Pressing the range already set sends
// nothing; a switch shows the waiting dialog, ignores presses meanwhile and
// sends one command.
void TestWindow::rangeAndShutterSendOnce()
{
    Ui_ThermalImagerClass& ui = window->form();
    QTest::mouseClick(ui.pushButtonRefresh, Qt::LeftButton);
    QCOMPARE(standardCommandsOnWire(0x0D, 0xC1), std::vector<int>{0});
    QTest::mouseClick(ui.pushButtonNormal, Qt::LeftButton);
    QTest::qWait(200);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(tpdWritesOnWire().empty());

    ModalHandler<CDialogWaiting> whileSwitching([&](CDialogWaiting*) {
        QTest::mouseClick(ui.pushButtonHigh, Qt::LeftButton);
        QTest::mouseClick(ui.pushButtonNormal, Qt::LeftButton);
    });
    QTest::mouseClick(ui.pushButtonHigh, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(whileSwitching.handled(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 5000);
    QCOMPARE(tpdWritesOnWire(), (TpdWrites{{5, 0}}));
    QVERIFY(ui.pushButtonHigh->isChecked());
}

// The module forgets on losing power; the viewer sends the user's values
// (and the high range set before) back before the picture returns, and says
// so when the module refuses them. The unit is stored the moment it is saved.
void TestWindow::settingsReachTheModuleAndReturnAfterReplug()
{
    ModalHandler<CWidgetSettings> answer([](CWidgetSettings* panel) {
        panel->findChild<QLineEdit*>(QStringLiteral("lineEdit"))->setText(QStringLiteral("30"));
        panel->findChild<QLineEdit*>(QStringLiteral("lineEdit_3"))->setText(QStringLiteral("80"));
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("pushButtonF")), Qt::LeftButton);
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("pushButtonSave")), Qt::LeftButton);
    });
    clickTitleBar(*window, &CTitleBar::Buttons::setting);
    QVERIFY(answer.handled());
    const TpdWrites sent{{0, int(std::ceil(30 * 16.3835))}, {3, int(std::ceil(80 * 1.27))}};
    QCOMPARE(tpdWritesOnWire(), sent);
    QCOMPARE(QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNEK", "Ombrix").value("TempUnit").toInt(), 1);
    QCOMPARE(chartPoints(*window), 0);  // starts over in Fahrenheit
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
    QVERIFY(window->form().labelMax->text().endsWith(QStringLiteral("℉")));

    for (bool refuse : {false, true}) {
        QCOMPARE(ombrix_sim_unplug(), 0);
        QTRY_VERIFY(controlsDisabled(*window));
        ombrix_sim_reset();  // a fresh module, as after a power cycle
        ombrix_sim_unplug();
        QVERIFY(ombrix_sim_tpd_property(0) != sent[0].second);
        ombrix_sim_fault_status_error(refuse ? 0x05 : 0, 1);
        QCOMPARE(ombrix_sim_plug(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(controlsEnabled(*window), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(pictureRunning(*window), 5000);
        if (refuse) {
            QCOMPARE(shownToast(), QStringLiteral("The camera did not accept the saved distance, emissivity or range."));
            continue;
        }
        QVERIFY(shownToast().isEmpty());
        QCOMPARE(ombrix_sim_tpd_property(0), sent[0].second);
        QCOMPARE(ombrix_sim_tpd_property(3), sent[1].second);
        QCOMPARE(ombrix_sim_tpd_property(5), 0);
        QVERIFY(window->form().pushButtonHigh->isChecked());
    }
    g_temp_unit = 0;
}

// A short soak, by the cable and by the signals that pull and plug the
// simulated module: each unplug stops the picture, closes the camera and
// blanks the readings while the shapes stay; each replug brings them back,
// leaking neither threads nor descriptors.
void TestWindow::unplugShowsNoCameraAndReplugRestores()
{
    Ui_ThermalImagerClass& ui = window->form();
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
    QTest::mouseClick(ui.pushButtonSpot, Qt::LeftButton);
    PaintWidget* overlay = window->overlayWidget();
    QVERIFY(putSpot(overlay, hotCellTurned(g_rotate_angle)));
    const int shapes = overlay->shapeList().size();
    auto* notice = window->imageWidget()->findChild<QLabel*>(QStringLiteral("noCameraNotice"));
    const int threads = entriesIn("/proc/self/task");
    const int files = entriesIn("/proc/self/fd");
    for (int cycle = 0; cycle < 4; ++cycle) {
        if (cycle % 2 == 0)
            QCOMPARE(ombrix_sim_unplug(), 0);
        else
            raise(SIGUSR1);
        QTRY_VERIFY(controlsDisabled(*window));
        QVERIFY(!g_connected && !pictureRunning(*window) && !camera_is_open());
        QVERIFY(notice->isVisible());
        QCOMPARE(ui.labelMax->text(), QStringLiteral("Max --"));
        QCOMPARE(ui.labelMin->text(), QStringLiteral("Min --"));
        QCOMPARE(overlay->shapeList().size(), shapes);
        QVERIFY(!overlay->activeShape()->measure());
        if (cycle % 2 == 0)
            QCOMPARE(ombrix_sim_plug(), 0);
        else
            raise(SIGUSR2);
        QTRY_VERIFY(controlsEnabled(*window));
        QVERIFY(!pictureRunning(*window));  // the picture follows a little later
        QTRY_VERIFY_WITH_TIMEOUT(!ui.labelMax->text().endsWith(QStringLiteral("--")), 8000);
        QVERIFY(!notice->isVisible());
        QTRY_VERIFY(overlay->activeShape()->measure());
    }
    QCOMPARE(entriesIn("/proc/self/fd"), files);
    QCOMPARE(entriesIn("/proc/self/task"), threads);

    // Other devices coming and going change nothing.
    ombrix_sim_wire_clear();
    window->camera()->onDeviceArrived(QStringLiteral("USB#VID_046D&PID_C077#5&3A1#{A5DCBF10-6530-11D2-901F-00C04FB951ED}"));
    window->camera()->onDeviceRemoved(QStringLiteral("USB#VID_0781&PID_5567#4C53#{A5DCBF10-6530-11D2-901F-00C04FB951ED}"));
    QTest::qWait(100);
    QVERIFY(controlsEnabled(*window) && g_connected && pictureRunning(*window));
    QCOMPARE(ombrix_sim_wire_count(), size_t(0));  // the camera was not opened again
}

// Saved: the module's grid as little-endian floats. A disk that fills up
// says so (the earlier file stays, as the matrix file's own test checks); in the user's data folder, the notice
// names the file. Exported: the same grid.
void TestWindow::saveAndExport()
{
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
    ombrix_sim_fault_no_frames(1);  // the same frame time names every save alike
    QTest::qWait(300);
    const QString matrices = temperatureMatrixFolder();
    expectNotice(&CTitleBar::Buttons::save, QStringLiteral("Save current temperature matrix?"));
    QCOMPARE(shownToast(), QStringLiteral("Saved successfully!"));
    const QStringList files = filesIn(matrices);
    QCOMPARE(files.size(), 1);
    QFile file(QDir(matrices).filePath(files.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QVector<float> grid = moduleGrid();
    QCOMPARE(file.readAll(), QByteArray(reinterpret_cast<const char*>(grid.constData()), grid.size() * 4));

    hideToast();
    {
        FileSizeLimit limit(65536);
        expectNotice(&CTitleBar::Buttons::save, QStringLiteral("Save current temperature matrix?"));
    }
    QCOMPARE(shownToast(), QStringLiteral("Save failed!"));

    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/TempMatrix";
    QVERIFY(QDir().mkpath(userFolder));
    hideToast();
    expectNotice(&CTitleBar::Buttons::save, QStringLiteral("Save current temperature matrix?"));
    const QStringList userFiles = filesIn(userFolder);
    QDir(userFolder).removeRecursively();
    QCOMPARE(shownToast(), QStringLiteral("Saved to ") + QDir(userFolder).filePath(userFiles.value(0)));

    // Exported as CSV, in the unit shown.
    g_temp_unit = 1;
    const QString csv = folder.filePath(QStringLiteral("t.csv"));
    QCOMPARE(WindowSnapshot(window.get()).writeTo(csv), QString());
    g_temp_unit = 0;
    QFile table(csv);
    QVERIFY(table.open(QIODevice::ReadOnly));
    const QList<QByteArray> firstRow = table.readLine().trimmed().split(',');
    QCOMPARE(firstRow.size(), 256);
    for (int x = 0; x < 256; ++x)
        QVERIFY(qAbs(firstRow[x].toDouble() - celsius_to_fahrenheit(grid[x])) <= 0.0051);
}

// Maximised it fills the screen and keeps that state; Normal restores the
// size it had, centred; a double click on the title bar maximises again. Minimised, a second start's request brings it
// forward and active.
void TestWindow::windowStatesAndBringToFront()
{
    const CTitleBar::Buttons bar = window->titleBarWidget()->buttons();
    window->resize(normalSize);
    QTest::mouseClick(bar.maximize, Qt::LeftButton);
    const QRect available = window->screen()->availableGeometry();
    QTRY_COMPARE(window->size(), available.size());
    QVERIFY(window->isMaximized() && bar.normal->isVisible() && !bar.maximize->isVisible());
    QTest::mouseClick(bar.normal, Qt::LeftButton);
    QTRY_COMPARE(window->size(), normalSize);
    QTRY_COMPARE(window->geometry().center(), available.center());
    QTest::mouseDClick(window->titleBarWidget(), Qt::LeftButton, {}, QPoint(400, 15));
    QTRY_VERIFY(window->isMaximized());
    QTest::mouseClick(bar.minimize, Qt::LeftButton);
    QTRY_VERIFY(window->isMinimized());
    window->bringToFront();
    QTRY_VERIFY(!window->isMinimized() && window->isActiveWindow());
}

int main(int argc, char** argv)
{
    return runIsolated<TestWindow>(argc, argv);
}

#include "test_window.moc"
