// The camera's connection: opens the module (the first one found, or one of
// a product type), sends it the saved distance, emissivity and range at every
// open (the module forgets them when it loses power), starts and stops its
// stream and the live picture, and follows hot-plug: udev's USB notices and,
// with the simulated module, its cable (SIGUSR1 pulls it, SIGUSR2 plugs it
// back).
//
// Ownership: the main window owns it and drops it after its own workers are
// joined; dropping it closes the camera. The picture is the window's; it is
// held in a guarded pointer. The hot-plug sources are this object's children.
//
// Threads: GUI thread only. g_connected says whether a camera streams; the
// opens leave writing it to their callers, as the playback and the window
// decide what an open means for them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRecursiveMutex>
#include <QString>

#include <functional>

class CGLWidgetImage;
class QTimer;

namespace platform {
class SimulatedHotplugSource;
class SignalNotifier;
class UdevHotplugMonitor;
} // namespace platform

class CameraConnection : public QObject
{
    Q_OBJECT

public:
    // The picture is started and stopped with the camera.
    explicit CameraConnection(CGLWidgetImage* picture);
    ~CameraConnection() override;

    // Starts following USB notices (and the simulated cable when the
    // simulated module is selected).
    void followHotplug();
    // True while something else (a recording played back) has the camera's
    // place: notices about the camera then change nothing.
    void setStandIn(std::function<bool()> standingIn);

    // Opens the camera of the product type (6: 0x5830, 2: 0x5840) and starts
    // its stream; the picture starts at once, or 1500 ms later when delayed.
    // True on success.
    bool open(int productType, bool delayed);
    // Opens the first camera found (0x5830, then 0x5840) into g_connected;
    // true when it streams.
    bool openFirst();
    // Stops the picture and closes the camera.
    void close();
    // After the module restored its factory settings: closes and opens it
    // again; true when it streams.
    bool reopen();

    // USB notices, with the device's path.
    void onDeviceArrived(const QString& path);
    void onDeviceRemoved(const QString& path);

signals:
    // An open read the module's range into g_range_mode.
    void rangeRead();
    // The module did not take the saved distance, emissivity or range.
    void settingsRefused();
    // The camera is being pulled out; it is closed right after.
    void removing();
    // A notice opened or closed the camera: g_connected says which.
    void presenceChanged(bool connected);

private:
    bool standingIn() const;

    QPointer<CGLWidgetImage> picture;
    // The delayed picture start after an arrival; stopped when the camera goes.
    QTimer* pictureStart = nullptr;
    QRecursiveMutex deviceMutex;
    std::function<bool()> standIn;
    QPointer<platform::UdevHotplugMonitor> usbMonitor;
    QPointer<platform::SimulatedHotplugSource> simulatedHotplug;
    QPointer<platform::SignalNotifier> plugSignals;
};
