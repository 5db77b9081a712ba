// The program's main window: the live picture with its measurement overlay,
// the temperature profile chart, the title bar with the settings, about, save
// and (hidden) firmware actions, and the tool buttons. The camera's
// connection and hot-plug handling are a CameraConnection's and the range
// buttons a RangeSwitch's; the window shows what they report.
//
// Ownership: every widget, dialog and group is a Qt child of the window and
// held in a guarded pointer, which becomes null when the object dies (the
// dialogs delete themselves when closed). The firmware action's worker is a
// Qt child too. The window owns the range switch and the camera connection
// and drops them in its destructor, once the workers are joined, before the
// camera closes.
//
// Threads: everything here runs on the GUI thread. The video stream thread's
// reports arrive through its own signal on the GUI thread; the firmware
// worker emits the window's signals, which reach it queued.
#pragma once

#include <QMainWindow>
#include <QMutex>
#include <QPointer>
#include <QString>

#include <memory>

class CameraConnection;
class CGLWidgetImage;
class CMessageBox;
class CTitleBar;
class CWidgetAbout;
class CWidgetSettings;
class PaintWidget;
class QButtonGroup;
class RecordingSession;
class QGraphicsScene;
class QLabel;
class RangeSwitch;
class QThread;
class TemperatureChart;
class Ui_ThermalImagerClass;

namespace QtCharts {
class QChartView;
class QLineSeries;
} // namespace QtCharts

namespace reading {
class PictureReading;
} // namespace reading

namespace platform {
class FramelessResizer;
} // namespace platform

class ThermalImager : public QMainWindow
{
    Q_OBJECT

public:
    explicit ThermalImager(QWidget* parent = nullptr);
    ~ThermalImager() override;

    // The camera's connection and hot-plug handling.
    CameraConnection* camera() const;
    // The eight buttons of the top bar.
    void setControlsEnabled(bool enabled);
    // Recording, and playback of a recording as the camera.
    RecordingSession* recording() const;
    // Shows the window un-minimised on top and gives it the focus.
    void bringToFront();

    // The parts a caller may look at (tests, the start-up code).
    CTitleBar* titleBarWidget() const;
    CGLWidgetImage* imageWidget() const;
    PaintWidget* overlayWidget() const;
    QtCharts::QChartView* chartWidget() const;
    const TemperatureChart& profileChart() const;
    Ui_ThermalImagerClass& form() const;

signals:
    void updateMaxMinTemperature(float max, float min, qint64 time, int tempUnit);
    void changeStatus();
    void upgradeStarted();
    void upgradeFinished(int result);

public slots:
    void onSettings();
    void onUpgrade();
    void onSave();
    void onAbout();
    void onSpot();
    void onLine();
    void onSquare();
    void onDelete();
    void onShutter();
    void onRotate();
    void onUpdateMaxMinTemperature(float max, float min, qint64 time, int tempUnit);
    void onChangeStatus();
    void onUpgradeStarted();
    void onUpgradeFinished(int result);
    void onShowMinimized();
    void onShowNormal();
    void onShowMaximized();
    void onTitleBarMouseDoubleClick();
    void onRestoreStarted();
    void onRestoreFinished();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupWindow();
    void setupPicture();
    void setupChart();
    void setupButtonGroups();
    void connectSignals();
    void connectCamera();
    void showNotice(const QString& text);
    int askQuestion(const QString& title, const QString& text, const QString& button);
    void selectTool(int shapeCode);
    void layoutPicture();
    // The picture area and readings for the camera's presence: without one,
    // a "no camera" notice over the picture and "--" for every reading.
    void showCameraState();
    void blankReadings();
    void centreOnScreen();
    void upgradeWorker(const QString& imagePath);

    QPointer<CGLWidgetImage> imageView;
    QPointer<QtCharts::QChartView> chartView;
    QPointer<CTitleBar> titleBar;
    QPointer<CWidgetSettings> settingsPanel;
    QPointer<CWidgetAbout> aboutPanel;
    QPointer<CMessageBox> messageBox;
    QPointer<QGraphicsScene> scene;
    QPointer<QButtonGroup> toolGroup;
    QPointer<QButtonGroup> rangeGroup;
    QPointer<PaintWidget> overlay;
    QPointer<QLabel> noCameraNotice;  // child of the picture, under the overlays
    int axisMaximum = 100;
    int timeWindow = 20;
    QtCharts::QLineSeries* maxSeries = nullptr;
    QtCharts::QLineSeries* minSeries = nullptr;
    QMutex chartMutex;
    int defaultWidth = 730;
    int defaultHeight = 590;
    std::unique_ptr<Ui_ThermalImagerClass> ui;

    std::unique_ptr<TemperatureChart> chart;
    std::unique_ptr<CameraConnection> cameraConnection;
    std::unique_ptr<RangeSwitch> rangeSwitch;
    QPointer<platform::FramelessResizer> resizer;
    // The colour scale, markers, isotherm alarm and cursor readout.
    QPointer<reading::PictureReading> pictureReading;
    QPointer<RecordingSession> recordingSession;
};
