#include "usbdevicepath.h"

#include <QStringList>

namespace platform {
namespace {

constexpr char UsbDeviceInterfaceClass[] = "{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

std::optional<quint16> hexWord(const QString& text)
{
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok, 16);
    if (!ok || value > 0xFFFF)
        return std::nullopt;
    return quint16(value);
}

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString usbDeviceInterfacePath(UsbIds ids, const QString& serial)
{
    QString safeSerial = serial;
    safeSerial.replace(QLatin1Char('#'), QLatin1Char('_'));
    return QStringLiteral("USB#VID_%1&PID_%2#%3#%4")
        .arg(hex4(ids.vendor), hex4(ids.product), safeSerial, QLatin1String(UsbDeviceInterfaceClass));
}

std::optional<UsbIds> usbIdsFromProperties(const QString& vendorId, const QString& modelId,
                                           const QString& product)
{
    const auto vendor = hexWord(vendorId);
    const auto model = hexWord(modelId);
    if (vendor && model)
        return UsbIds{*vendor, *model};

    const QStringList fields = product.split(QLatin1Char('/'));
    if (fields.size() < 2)
        return std::nullopt;
    const auto productVendor = hexWord(fields[0]);
    const auto productModel = hexWord(fields[1]);
    if (!productVendor || !productModel)
        return std::nullopt;
    return UsbIds{*productVendor, *productModel};
}

} // namespace platform
