#include "thermalimager.h"

#include "cameraconnection.h"
#include "cglwidgetimage.h"
#include "cmessagebox.h"
#include "ctitlebar.h"
#include "cthreadvideostream.h"
#include "cwidgetabout.h"
#include "cwidgetsettings.h"
#include "framelessresize.h"
#include "globals.h"
#include "paintwidget.h"
#include "picturegeometry.h"
#include "picturereading.h"
#include "rangeswitch.h"
#include "profile.h"
#include "recordingsession.h"
#include "savedsettings.h"
#include "temperaturechart.h"
#include "temperaturematrixfile.h"
#include "temperaturesnapshot.h"
#include "toast.h"
#include "ui_thermalimager.h"
#include "windowsnapshot.h"

#include <dozazuva.h>

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QWindow>
#include <QtCharts/QChartView>

#include <algorithm>

using namespace QtCharts;

namespace {

constexpr int DefaultPalette = 1;
constexpr int PaletteCount = 83;

const char ChartViewStyle[] =
    "background: #F4F4F4;        border:none;        border-left: 1px solid #D9D9D9;        border-right: 1px solid "
    "#D9D9D9;        border-bottom: 1px solid #D9D9D9; ";

// The palette in profile.ini; the default for a missing file or an index
// that names no palette.
int storedPalette()
{
    const QSettings profile(profileIniPath(), QSettings::IniFormat);
    bool ok = false;
    const int palette = profile.value(QStringLiteral("Settings/Palette"), DefaultPalette).toInt(&ok);
    return ok && palette >= 0 && palette < PaletteCount ? palette : DefaultPalette;
}

void showToast(const QString& text)
{
    Toast::instance()->showTip(0, text);
}

// A zero-terminated text of the module, up to its first zero byte.
QString moduleText(const uint8_t* buffer, size_t capacity)
{
    const auto* end = std::find(buffer, buffer + capacity, uint8_t(0));
    return QString::fromLatin1(reinterpret_cast<const char*>(buffer), int(end - buffer));
}

} // namespace

ThermalImager::ThermalImager(QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui_ThermalImagerClass>())
{
    ui->setupUi(this);
    setupWindow();

    titleBar = new CTitleBar(ui->centralWidget);
    titleBar->move(0, 0);
    connect(titleBar, &CTitleBar::mouseDoubleClick, this, &ThermalImager::onTitleBarMouseDoubleClick);
    setupPicture();
    connectSignals();
    installExportButton(this);
    setupChart();
    ui->fitRangeButtons();
    setupButtonGroups();
    recordingSession = new RecordingSession(this, titleBar, ui->graphicsView);
    setControlsEnabled(g_connected);

    connectCamera();
    if (cameraConnection->openFirst())
        setControlsEnabled(true);
    blankReadings();
    showCameraState();
}

void ThermalImager::setupWindow()
{
    setMinimumSize(defaultWidth, defaultHeight);
    if (const QScreen* display = screen())
        setMaximumSize(display->availableGeometry().size());
    resize(defaultWidth, defaultHeight);

    g_temp_unit = SavedSettings::unit();

    setProperty("CanMove", true);
    setWindowTitle(QCoreApplication::translate("ThermalImagerClass", "Thermal Imager"));
    setWindowIcon(QIcon(QStringLiteral(":/images/varnek.ico")));
    ui->menuBar->hide();
    ui->mainToolBar->hide();
    ui->statusBar->hide();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_MouseTracking);
}

// The picture is a plain child of the graphics view: an OpenGL widget cannot
// paint through a graphics proxy. The scene gives the view its empty
// background.
void ThermalImager::setupPicture()
{
    scene = new QGraphicsScene(this);
    imageView = new CGLWidgetImage(ui->graphicsView);
    imageView->resize(ui->graphicsView->size());
    noCameraNotice = new QLabel(tr("No camera connected"), imageView);
    noCameraNotice->setObjectName(QStringLiteral("noCameraNotice"));
    noCameraNotice->setAlignment(Qt::AlignCenter);
    noCameraNotice->setWordWrap(true);
    noCameraNotice->setStyleSheet(
        QStringLiteral("QLabel{background: #1E1E1E; color: #FFFFFF; font: 400 18px \"Microsoft YaHei\";}"));
    noCameraNotice->resize(imageView->size());
    ui->graphicsView->setScene(scene);
    pictureReading = new reading::PictureReading(imageView, ui->graphicsView, this);
}

void ThermalImager::setupButtonGroups()
{
    toolGroup = new QButtonGroup(this);
    toolGroup->addButton(ui->pushButtonSpot, 1);
    toolGroup->addButton(ui->pushButtonLine, 2);
    toolGroup->addButton(ui->pushButtonSquare, 3);
    rangeGroup = new QButtonGroup(this);
    rangeGroup->addButton(ui->pushButtonNormal, 1);
    rangeGroup->addButton(ui->pushButtonHigh, 2);
    rangeSwitch = std::make_unique<RangeSwitch>(ui->pushButtonNormal, ui->pushButtonHigh, this);
}

ThermalImager::~ThermalImager()
{
    // The workers emit on this window and talk to the module: they must be
    // done before the camera closes.
    rangeSwitch.reset();
    for (QThread* worker : findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly))
        worker->wait();

    cameraConnection.reset();
    SavedSettings::saveUnit(g_temp_unit);
}

CTitleBar* ThermalImager::titleBarWidget() const
{
    return titleBar;
}

CameraConnection* ThermalImager::camera() const
{
    return cameraConnection.get();
}

CGLWidgetImage* ThermalImager::imageWidget() const
{
    return imageView;
}

PaintWidget* ThermalImager::overlayWidget() const
{
    return overlay;
}

QChartView* ThermalImager::chartWidget() const
{
    return chartView;
}

const TemperatureChart& ThermalImager::profileChart() const
{
    return *chart;
}

Ui_ThermalImagerClass& ThermalImager::form() const
{
    return *ui;
}

void ThermalImager::connectSignals()
{
    // The stream thread's reports arrive on the GUI thread, and none after
    // its stop: a closed camera leaves no late reading behind.
    connect(imageView->videoStream(), &CThreadVideoStream::extremes, this, &ThermalImager::updateMaxMinTemperature);
    connect(this, &ThermalImager::updateMaxMinTemperature, this, &ThermalImager::onUpdateMaxMinTemperature);
    connect(this, &ThermalImager::changeStatus, this, &ThermalImager::onChangeStatus);
    connect(this, &ThermalImager::updateMaxMinTemperature, pictureReading, &reading::PictureReading::onExtremes);
    connect(this, &ThermalImager::upgradeStarted, this, &ThermalImager::onUpgradeStarted);
    connect(this, &ThermalImager::upgradeFinished, this, &ThermalImager::onUpgradeFinished);

    const CTitleBar::Buttons bar = titleBar->buttons();
    connect(bar.setting, &QPushButton::clicked, this, &ThermalImager::onSettings);
    connect(bar.upgrade, &QPushButton::clicked, this, &ThermalImager::onUpgrade);
    connect(bar.save, &QPushButton::clicked, this, &ThermalImager::onSave);
    connect(bar.about, &QPushButton::clicked, this, &ThermalImager::onAbout);
    connect(bar.minimize, &QPushButton::clicked, this, &ThermalImager::onShowMinimized);
    connect(bar.normal, &QPushButton::clicked, this, &ThermalImager::onShowNormal);
    connect(bar.maximize, &QPushButton::clicked, this, &ThermalImager::onShowMaximized);
    connect(bar.close, &QPushButton::clicked, this, &ThermalImager::close);

    connect(ui->pushButtonSpot, &QPushButton::clicked, this, &ThermalImager::onSpot);
    connect(ui->pushButtonLine, &QPushButton::clicked, this, &ThermalImager::onLine);
    connect(ui->pushButtonSquare, &QPushButton::clicked, this, &ThermalImager::onSquare);
    connect(ui->pushButtonDelete, &QPushButton::clicked, this, &ThermalImager::onDelete);
    connect(ui->pushButtonRefresh, &QPushButton::clicked, this, &ThermalImager::onShutter);
    connect(ui->pushButtonRotate, &QPushButton::clicked, this, &ThermalImager::onRotate);
}

void ThermalImager::setupChart()
{
    const QRect placeholder = ui->widgetTemperature->geometry();
    ui->widgetTemperature->hide();

    chart = std::make_unique<TemperatureChart>(axisMaximum, timeWindow, g_temp_unit.load(),
                                               QDateTime::currentMSecsSinceEpoch());
    maxSeries = chart->maxSeries();
    minSeries = chart->minSeries();

    chartView = new QChartView(chart->chart(), this);
    chartView->setGeometry(placeholder);
    chartView->setStyleSheet(QLatin1String(ChartViewStyle));
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setRubberBand(QChartView::NoRubberBand);
    chartView->show();
}

RecordingSession* ThermalImager::recording() const
{
    return recordingSession;
}

void ThermalImager::setControlsEnabled(bool enabled)
{
    for (QPushButton* button : {ui->pushButtonSpot, ui->pushButtonLine, ui->pushButtonSquare, ui->pushButtonDelete,
                                ui->pushButtonNormal, ui->pushButtonHigh, ui->pushButtonRefresh, ui->pushButtonRotate})
        button->setEnabled(enabled);
}

// ---- The camera connection ------------------------------------------------

void ThermalImager::connectCamera()
{
    // The native window now: the resize borders watch it.
    winId();
    resizer = new platform::FramelessResizer(this);

    cameraConnection = std::make_unique<CameraConnection>(imageView);
    cameraConnection->setStandIn([this] { return recordingSession && recordingSession->isPlayingBack(); });
    connect(cameraConnection.get(), &CameraConnection::rangeRead, this, &ThermalImager::changeStatus);
    connect(cameraConnection.get(), &CameraConnection::settingsRefused, this,
            [] { showToast(tr("The camera did not accept the saved distance, emissivity or range.")); });
    connect(cameraConnection.get(), &CameraConnection::removing, recordingSession, &RecordingSession::cameraRemoved);
    connect(cameraConnection.get(), &CameraConnection::presenceChanged, this, [this](bool connected) {
        setControlsEnabled(connected);
        showCameraState();
    });
    cameraConnection->followHotplug();
}

// ---- Messages ---------------------------------------------------------------

// Runs the shared message box and lets it go afterwards, so that every
// request gets a fresh one.
int ThermalImager::askQuestion(const QString& title, const QString& text, const QString& button)
{
    if (!messageBox)
        messageBox = new CMessageBox(this);
    messageBox->setTitle(title);
    messageBox->setText(text);
    messageBox->setButtons(button, QString(), QString());
    const int result = messageBox->exec();
    delete messageBox;
    return result;
}

void ThermalImager::showNotice(const QString& text)
{
    askQuestion(QString(), text, tr("OK"));
}

// ---- Title bar actions --------------------------------------------------------

void ThermalImager::onSettings()
{
    if (!g_connected) {
        showNotice(tr("No device found, please connect the device!"));
        return;
    }
    if (!settingsPanel)
        settingsPanel = new CWidgetSettings(this);

    uint8_t colour = 0;
    if (pseudo_color_get(0, &colour) == 0) {
        uint16_t distance = 0;
        uint16_t emissivity = 0;
        get_prop_tpd_params(TPD_PROP_DISTANCE, &distance);
        get_prop_tpd_params(TPD_PROP_EMS, &emissivity);
        const int palette = storedPalette();
        g_palette = palette;
        settingsPanel->setValues(palette, int(distance / 16.3835), int(emissivity) * 100 / 127, g_temp_unit);
    }

    connect(settingsPanel, &CWidgetSettings::save, this, &ThermalImager::onChangeStatus, Qt::UniqueConnection);
    connect(settingsPanel, &CWidgetSettings::scaleRequested, pictureReading, &reading::PictureReading::openSettings,
            Qt::UniqueConnection);
    connect(settingsPanel, &CWidgetSettings::restoreStarted, this, &ThermalImager::onRestoreStarted,
            Qt::UniqueConnection);
    connect(settingsPanel, &CWidgetSettings::restoreFinished, this, &ThermalImager::onRestoreFinished);
    settingsPanel->exec();
    // Closed panels go at once rather than later, so the next request never
    // finds one that is about to be deleted.
    if (settingsPanel && !settingsPanel->isVisible())
        delete settingsPanel;
}

void ThermalImager::onAbout()
{
    if (!g_connected) {
        showNotice(tr("No data, please connect the device!"));
        return;
    }
    if (!aboutPanel)
        aboutPanel = new CWidgetAbout(this);

    uint8_t buffer[256] = {};
    if (get_sn(buffer) == 0) {
        const QString serial = moduleText(buffer, sizeof buffer);
        std::fill(std::begin(buffer), std::end(buffer), uint8_t(0));
        const QString firmware = get_device_info(5, buffer) == 0 ? moduleText(buffer, sizeof buffer) : QString();
        std::fill(std::begin(buffer), std::end(buffer), uint8_t(0));
        const QString moduleId = get_device_info(6, buffer) == 0 ? moduleText(buffer, sizeof buffer) : QString();
        aboutPanel->setInfo(serial, moduleId, firmware);
    }
    aboutPanel->exec();
    if (aboutPanel && !aboutPanel->isVisible())
        delete aboutPanel;
}

void ThermalImager::onSave()
{
    if (!g_connected) {
        showNotice(tr("No data, please connect the device!"));
        return;
    }
    if (askQuestion(tr("Save"), tr("Save current temperature matrix?"), tr("Save")) != 1)
        return;

    const QString folder = temperatureMatrixFolder();
    if (!QDir().mkpath(folder)) {
        showToast(tr("Save failed!"));
        return;
    }
    const TemperatureMatrix matrix = CThreadVideoStream::temperatureMatrix();
    if (matrix.celsius.isEmpty()) {
        showToast(tr("No temperature data yet, please try again!"));
        return;
    }
    if (writeTemperatureMatrix(folder, matrix.celsius, matrix.time) != MatrixWriteResult::Written) {
        showToast(tr("Save failed!"));
        return;
    }
    // Beside the program the user knows where to look; elsewhere, say where.
    const QString file = QDir(folder).filePath(temperatureMatrixFileName(matrix.time));
    if (QFileInfo(folder).absolutePath() == QCoreApplication::applicationDirPath())
        showToast(tr("Saved successfully!"));
    else
        showToast(tr("Saved to %1").arg(QDir::toNativeSeparators(file)));
}

void ThermalImager::onUpgrade()
{
    if (askQuestion(tr("Upgrade"), tr("Do you need to upgrade firmware?"), tr("Upgrade")) != 1)
        return;
    const QString image = QCoreApplication::applicationDirPath() + QStringLiteral("/firmware/de5100_test.bin.uimg");
    QThread* worker = QThread::create([this, image] { upgradeWorker(image); });
    worker->setObjectName(QStringLiteral("firmware upgrade"));
    worker->setParent(this);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::InheritPriority);
}

// On the worker: reads the firmware image whole; the module is not written
// to. The signals reach the window queued; the window joins the worker
// before it goes.
void ThermalImager::upgradeWorker(const QString& imagePath)
{
    emit upgradeStarted();
    int result = -1;
    QFile image(imagePath);
    if (image.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = image.readAll();
        result = 0;
    }
    emit upgradeFinished(result);
}

void ThermalImager::onUpgradeStarted()
{
    showToast(tr("Start firmware upgrade..."));
    titleBar->buttons().close->setEnabled(false);
}

void ThermalImager::onUpgradeFinished(int result)
{
    if (result == 0)
        showToast(tr("The firmware download is completed. \nPlease do not power off. \nPlease wait patiently for "
                     "the upgrade to complete!"));
    else
        showToast(tr("Firmware upgrade failed!"));
    titleBar->buttons().close->setEnabled(true);
}

// ---- Measuring tools, shutter, rotation -------------------------------------

void ThermalImager::selectTool(int shapeCode)
{
    if (!overlay)
        overlay = new PaintWidget(imageView);
    overlay->setCurrentShape(static_cast<Shape::Code>(shapeCode));
    overlay->show();
}

void ThermalImager::onSpot()
{
    selectTool(Shape::SpotCode);
}

void ThermalImager::onLine()
{
    selectTool(Shape::LineCode);
}

void ThermalImager::onSquare()
{
    selectTool(Shape::RectCode);
}

void ThermalImager::onDelete()
{
    // Non-exclusive for the moment, so that no tool stays checked.
    toolGroup->setExclusive(false);
    for (QAbstractButton* button : toolGroup->buttons())
        button->setChecked(false);
    toolGroup->setExclusive(true);
    if (overlay) {
        overlay->hide();
        delete overlay;
    }
}

void ThermalImager::onShutter()
{
    ooc_b_update(0);
}

void ThermalImager::onRotate()
{
    g_rotate_angle = (g_rotate_angle + 90) % 360;
    layoutPicture();
    if (overlay) {
        overlay->rotateShapes(imageView->size(), 90);
        overlay->resize(imageView->size());
        overlay->update();
    }
}

// ---- Status and chart ----------------------------------------------------------

void ThermalImager::onChangeStatus()
{
    QMutexLocker locked(&chartMutex);
    rangeSwitch->showRange();
    chart->reset(g_temp_unit, QDateTime::currentMSecsSinceEpoch());
    TemperatureSnapshot::instance().changeUnit(g_temp_unit);
    if (overlay)
        overlay->update();
    if (pictureReading)
        pictureReading->refresh();
}

void ThermalImager::onUpdateMaxMinTemperature(float max, float min, qint64 time, int tempUnit)
{
    Q_UNUSED(tempUnit)  // the labels follow the unit set now
    QMutexLocker locked(&chartMutex);
    chart->append(max, min, time);
    const QString sign = temperatureUnitSign(g_temp_unit);
    ui->labelMax->setText(QStringLiteral("Max ") + QString::number(double(max), 'f', 1) + sign);
    ui->labelMin->setText(QStringLiteral("Min ") + QString::number(double(min), 'f', 1) + sign);
    if (overlay)
        overlay->update();
}

void ThermalImager::onRestoreStarted()
{
    if (imageView)
        imageView->closeImage();
    onChangeStatus();
}

void ThermalImager::onRestoreFinished()
{
    onChangeStatus();
    if (cameraConnection->reopen())
        setControlsEnabled(true);
    showCameraState();
}

void ThermalImager::showCameraState()
{
    if (noCameraNotice) {
        noCameraNotice->setVisible(!g_connected);
        noCameraNotice->lower();
    }
    if (!g_connected)
        blankReadings();
}

// Until the camera's next frame, nothing is measured: the last frame's values
// are not the scene's any more.
void ThermalImager::blankReadings()
{
    TemperatureSnapshot::instance().forget();
    ui->labelMax->setText(QStringLiteral("Max --"));
    ui->labelMin->setText(QStringLiteral("Min --"));
    if (pictureReading)
        pictureReading->forgetExtremes();
    if (overlay)
        overlay->update();
}

// ---- Layout and window states ------------------------------------------------------

// The picture fits the graphics view whole at the sensor's aspect for the
// rotation, centred; the overlay, its child, follows its size.
void ThermalImager::layoutPicture()
{
    if (!imageView)
        return;
    // Room for the colour scale on either side keeps the picture centred.
    const int scale = pictureReading ? pictureReading->scaleWidth() : 0;
    const QRect picture = fittedPictureRect(ui->graphicsView->size() - QSize(2 * scale, 0), g_rotate_angle);
    if (picture.isEmpty())
        return;
    imageView->setGeometry(picture.translated(scale, 0));
    if (noCameraNotice)
        noCameraNotice->resize(picture.size());
}

void ThermalImager::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!titleBar || !chartView)
        return;
    const int width = event->size().width();
    const int height = event->size().height();

    titleBar->resize(width, titleBar->height());
    ui->arrangeBars(width);

    QWidget* bar = ui->widgetButtomBar;
    ui->graphicsView->resize(width, height - titleBar->height() - ui->widgetTopBar->height() - chartView->height() -
                                        bar->height() - 1);
    layoutPicture();
    if (overlay && imageView) {
        overlay->scaleShapes(imageView->size());
        overlay->resize(imageView->size());
    }

    bar->move(0, height - chartView->height() - bar->height());

    chartView->resize(width, chartView->height());
    chartView->move(0, bar->y() + bar->height());
}

void ThermalImager::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !titleBar)
        return;
    const bool maximised = windowState() & Qt::WindowMaximized;
    titleBar->buttons().normal->setVisible(maximised);
    titleBar->buttons().maximize->setVisible(!maximised);
}

void ThermalImager::centreOnScreen()
{
    const QScreen* display = screen();
    if (!display)
        return;
    QRect frame = geometry();
    frame.moveCenter(display->availableGeometry().center());
    move(frame.topLeft());
}

void ThermalImager::bringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void ThermalImager::onShowMinimized()
{
    showMinimized();
}

void ThermalImager::onShowMaximized()
{
    showMaximized();
    // The whole available area, centred on it. Set on the native window: a
    // widget resize or move would drop the maximised state again. Where a
    // window manager has maximised the window this changes nothing.
    if (const QScreen* display = screen()) {
        const QRect available = display->availableGeometry();
        QRect frame(QPoint(), available.size());
        frame.moveCenter(available.center());
        windowHandle()->setGeometry(frame);
    }
}

void ThermalImager::onShowNormal()
{
    showNormal();
    resize(defaultWidth, defaultHeight);
    centreOnScreen();
}

void ThermalImager::onTitleBarMouseDoubleClick()
{
    if (!isMaximized())
        showMaximized();
    else
        showNormal();
}
