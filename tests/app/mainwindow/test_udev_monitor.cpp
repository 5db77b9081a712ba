// The udev hot-plug monitor against devices that umockdev makes up: the
// events of USB devices reach the GUI thread as device paths that the main
// window's rule reads. Runs under umockdev's preload (umockdev-wrapper).
// GLib's headers name a member "signals", which Qt defines as a macro: they
// come first.
#include <umockdev.h>

#include "devicepathmatch.h"
#include "udevhotplugmonitor.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QtTest>

using platform::UdevHotplugMonitor;

namespace {

const QString InterfaceClass = QStringLiteral("#{A5DCBF10-6530-11D2-901F-00C04FB951ED}");

} // namespace

class TestUdevMonitor : public QObject
{
    Q_OBJECT

private slots:
    void devicesArriveAndLeaveAsPaths();
};

// Arrivals and removals of USB devices as paths the window's rule reads: the
// camera by udev's properties, a removal that has only the kernel's product
// left, and another device with its own identifiers. Interfaces, their video
// nodes and other actions of a device announce nothing: only the device's own
// "add" arrives.
void TestUdevMonitor::devicesArriveAndLeaveAsPaths()
{
    UMockdevTestbed* testbed = umockdev_testbed_new();
    QVERIFY2(umockdev_in_mock_environment(), "run this suite through umockdev-wrapper");
    UdevHotplugMonitor monitor;
    QVERIFY(monitor.start());
    QVERIFY(monitor.start());  // once is enough
    QSignalSpy arrived(&monitor, &UdevHotplugMonitor::deviceArrived);
    QSignalSpy removed(&monitor, &UdevHotplugMonitor::deviceRemoved);
    gchar* camera = umockdev_testbed_add_device(
        testbed, "usb", "1-1", nullptr, "idVendor", "0bda", "idProduct", "5830", nullptr, "DEVTYPE", "usb_device",
        "ID_VENDOR_ID", "0bda", "ID_MODEL_ID", "5830", "ID_SERIAL_SHORT", "OMX2312000417", "PRODUCT", "bda/5830/100",
        nullptr);
    QTRY_COMPARE(arrived.count(), 1);
    const QString path = arrived.first().first().toString();
    QCOMPARE(path, QStringLiteral("USB#VID_0BDA&PID_5830#OMX2312000417") + InterfaceClass);
    umockdev_testbed_uevent(testbed, camera, "remove");
    QTRY_COMPARE(removed.count(), 1);
    QCOMPARE(removed.takeFirst().first().toString(), path);

    gchar* bare = umockdev_testbed_add_device(testbed, "usb", "2-3", nullptr, nullptr, "DEVTYPE", "usb_device",
                                              "PRODUCT", "bda/5840/210", nullptr);
    umockdev_testbed_uevent(testbed, bare, "remove");
    QTRY_COMPARE(removed.count(), 1);
    QCOMPARE(productTypeForDevicePath(removed.first().first().toString()), 2);

    gchar* mouse = umockdev_testbed_add_device(testbed, "usb", "3-2", nullptr, "idVendor", "046d", "idProduct", "c077",
                                               nullptr, "DEVTYPE", "usb_device", "ID_VENDOR_ID", "046d", "ID_MODEL_ID",
                                               "c077", "PRODUCT", "46d/c077/7200", nullptr);
    QTRY_COMPARE(arrived.count(), 3);
    QCOMPARE(arrived.last().first().toString(), QStringLiteral("USB#VID_046D&PID_C077#") + InterfaceClass);

    gchar* device = umockdev_testbed_add_device(testbed, "usb", "4-1", nullptr, nullptr, "DEVTYPE", "usb_device",
                                                "ID_VENDOR_ID", "0bda", "ID_MODEL_ID", "5830", nullptr);
    gchar* interface = umockdev_testbed_add_device(testbed, "usb", "4-1:1.0", device, nullptr, "DEVTYPE",
                                                   "usb_interface", "PRODUCT", "bda/5830/100", nullptr);
    gchar* video = umockdev_testbed_add_device(testbed, "video4linux", "video0", interface, nullptr, "ID_VENDOR_ID",
                                               "0bda", "ID_MODEL_ID", "5830", nullptr);
    QTRY_COMPARE(arrived.count(), 4);  // the device's own, when made
    for (const auto& [syspath, action] : {std::pair<gchar*, const char*>{interface, "add"}, {video, "add"},
                                          {device, "change"}, {device, "bind"}, {device, "add"}})
        umockdev_testbed_uevent(testbed, syspath, action);
    QTRY_COMPARE(arrived.count(), 5);
    QTest::qWait(100);
    QCOMPARE(arrived.count(), 5);
    for (gchar* syspath : {camera, bare, mouse, video, interface, device})
        g_free(syspath);
    g_object_unref(testbed);
}

QTEST_GUILESS_MAIN(TestUdevMonitor)

#include "test_udev_monitor.moc"
