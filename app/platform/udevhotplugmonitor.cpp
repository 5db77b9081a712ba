#include "udevhotplugmonitor.h"

#include "usbdevicepath.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>

namespace platform {
namespace {

QString udevProperty(udev_device* device, const char* name)
{
    return QString::fromUtf8(udev_device_get_property_value(device, name));
}

// The serial number: udev's short form, else the kernel attribute (which a
// removed device no longer has).
QString serialOf(udev_device* device)
{
    QString serial = udevProperty(device, "ID_SERIAL_SHORT");
    if (serial.isEmpty())
        serial = QString::fromUtf8(udev_device_get_sysattr_value(device, "serial"));
    return serial;
}

} // namespace

UdevHotplugMonitor::UdevHotplugMonitor(QObject* parent)
    : QObject(parent)
{
}

UdevHotplugMonitor::~UdevHotplugMonitor()
{
    release();
}

bool UdevHotplugMonitor::start()
{
    if (notifier)
        return true;
    context = udev_new();
    if (!context) {
        qWarning() << "udev is not available: no USB hot-plug";
        return false;
    }
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        qWarning() << "cannot listen to udev: no USB hot-plug";
        release();
        return false;
    }
    const int fd = udev_monitor_get_fd(monitor);
    if (fd < 0) {
        release();
        return false;
    }
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &UdevHotplugMonitor::onReadable);
    return true;
}

void UdevHotplugMonitor::release()
{
    delete notifier;
    notifier = nullptr;
    if (monitor)
        udev_monitor_unref(monitor);
    monitor = nullptr;
    if (context)
        udev_unref(context);
    context = nullptr;
}

void UdevHotplugMonitor::onReadable()
{
    // The socket is non-blocking: take every event that is waiting.
    while (udev_device* device = udev_monitor_receive_device(monitor)) {
        const char* action = udev_device_get_action(device);
        const bool added = action && std::strcmp(action, "add") == 0;
        const bool removed = action && std::strcmp(action, "remove") == 0;
        const auto ids = usbIdsFromProperties(udevProperty(device, "ID_VENDOR_ID"), udevProperty(device, "ID_MODEL_ID"),
                                              udevProperty(device, "PRODUCT"));
        QString path;
        if ((added || removed) && ids)
            path = usbDeviceInterfacePath(*ids, serialOf(device));
        udev_device_unref(device);

        if (path.isEmpty())
            continue;
        if (added)
            emit deviceArrived(path);
        else
            emit deviceRemoved(path);
    }
}

} // namespace platform
