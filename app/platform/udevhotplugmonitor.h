// USB device arrival and removal from udev, read on the thread that owns the
// monitor (the GUI thread in the viewer).
#pragma once

#include <QObject>
#include <QString>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace platform {

// Listens to udev's "usb_device" events of the subsystem "usb" after udev has
// applied its rules (so a new device already carries the user's access
// rights). Each "add" emits deviceArrived and each "remove" deviceRemoved with
// the device's path (usbdevicepath.h). Owns its udev context, monitor and
// socket notifier.
class UdevHotplugMonitor : public QObject
{
    Q_OBJECT

public:
    explicit UdevHotplugMonitor(QObject* parent = nullptr);
    ~UdevHotplugMonitor() override;

    // Connects to udev and starts listening; false when udev cannot be
    // reached (then nothing is ever emitted). Calling it again once it
    // listens does nothing and returns true.
    bool start();
    bool isListening() const { return notifier != nullptr; }

signals:
    void deviceArrived(const QString& path);
    void deviceRemoved(const QString& path);

private slots:
    void onReadable();

private:
    void release();

    struct udev* context = nullptr;
    struct udev_monitor* monitor = nullptr;
    QSocketNotifier* notifier = nullptr;
};

} // namespace platform
