// Device paths of USB devices in the form the main window's hot-plug handling
// reads: "USB#VID_0BDA&PID_5830#<serial>#{A5DCBF10-6530-11D2-901F-00C04FB951ED}",
// the vendor and product identifiers in four upper-case hexadecimal digits
// between the first two "#", then the serial number and the interface class of
// USB devices.
#pragma once

#include <QString>

#include <optional>

namespace platform {

struct UsbIds {
    quint16 vendor = 0;
    quint16 product = 0;
};

// The path for a device. A "#" inside the serial number becomes "_", so
// that a device cannot put the identifier text of another device into a part
// of its own path.
QString usbDeviceInterfacePath(UsbIds ids, const QString& serial);

// The identifiers of a device from what udev says about it: the properties
// ID_VENDOR_ID and ID_MODEL_ID (four hexadecimal digits each), else the
// kernel's PRODUCT property ("bda/5830/100": vendor, product and release in
// hexadecimal without leading zeros). Empty when neither gives both numbers.
std::optional<UsbIds> usbIdsFromProperties(const QString& vendorId, const QString& modelId,
                                           const QString& product);

} // namespace platform
