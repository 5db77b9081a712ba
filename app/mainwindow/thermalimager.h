// The program's main window: the live picture with its measurement overlay,
// the temperature profile chart, the title bar with the settings, about, save
// and (hidden) firmware actions, the tool buttons, and the camera's
// connection as it is plugged and unplugged.
//
// Ownership: every widget, dialog and group is a Qt child of the window and
// held in a guarded pointer, which becomes null when the object dies (the
// dialogs delete themselves when closed). The worker threads of the range
// switch and the firmware action are Qt children too, and are joined before
// the window goes.
//
// Threads: everything here runs on the GUI thread. The video stream thread's
// reports arrive through its own signal on the GUI thread; the workers emit
// the window's signals, which reach it queued; switchingRange is the one
// field they write.
#pragma once

#include <QMainWindow>
#include <QMutex>
#include <QPointer>
#include <QRecursiveMutex>
#include <QString>

#include <atomic>
#include <memory>

class CDialogWaiting;
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
class QThread;
class QTimer;
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
class SimulatedHotplugSource;
class UdevHotplugMonitor;
class SignalNotifier;
} // namespace platform

class ThermalImager : public QMainWindow
{
    Q_OBJECT

public:
    explicit ThermalImager(QWidget* parent = nullptr);
    ~ThermalImager() override;

    // Opens the camera of the product type (6: 0x5830, 2: 0x5840) and
    // starts its stream; the picture starts at once, or 1500 ms later when
    // delayed. True on success.
    bool openDevice(int productType, bool delayed);
    // Stops the picture and closes the camera.
    void closeDevice();
    // The eight buttons of the top bar.
    void setControlsEnabled(bool enabled);
    // Opens the first camera found (0x5830, then 0x5840); true when it streams.
    bool openFirstCamera();
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
    void loadingStarted();
    void loadingFinished();

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
    void onNormalTemp();
    void onHightTemp();
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
    void onLoadingStarted();
    void onLoadingFinished();

    // USB device notifications, with the device's path.
    void onDeviceArrived(const QString& path);
    void onDeviceRemoved(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupWindow();
    void setupPicture();
    void setupChart();
    void setupRangeButtons();
    void setupButtonGroups();
    void fitRangeButtons();
    void connectSignals();
    void registerDeviceNotifications();
    void showNotice(const QString& text);
    int askQuestion(const QString& title, const QString& text, const QString& button);
    void selectTool(int shapeCode);
    void switchRange(int target);
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
    QPointer<CDialogWaiting> waitingDialog;
    int axisMaximum = 100;
    int timeWindow = 20;
    QtCharts::QLineSeries* maxSeries = nullptr;
    QtCharts::QLineSeries* minSeries = nullptr;
    QMutex chartMutex;
    QRecursiveMutex deviceMutex;
    int defaultWidth = 730;
    int defaultHeight = 590;
    std::atomic<bool> switchingRange{false};
    std::unique_ptr<Ui_ThermalImagerClass> ui;

    std::unique_ptr<TemperatureChart> chart;
    // The delayed picture start after an arrival; stopped when the camera goes.
    QTimer* pictureStart = nullptr;
    // Where device notifications come from on this platform.
    QPointer<platform::UdevHotplugMonitor> usbMonitor;
    QPointer<platform::SimulatedHotplugSource> simulatedHotplug;
    QPointer<platform::SignalNotifier> plugSignals;
    QPointer<platform::FramelessResizer> resizer;
    // The colour scale, markers, isotherm alarm and cursor readout.
    QPointer<reading::PictureReading> pictureReading;
    QPointer<RecordingSession> recordingSession;
};
