#include "picturegeometry.h"

namespace {

constexpr int SensorColumns = 256;
constexpr int SensorRows = 192;

} // namespace

QRect fittedPictureRect(const QSize& area, int rotationDegrees)
{
    if (area.width() <= 0 || area.height() <= 0)
        return {};
    const int angle = ((rotationDegrees % 360) + 360) % 360;
    const bool upright = angle == 90 || angle == 270;
    const QSize sensor = upright ? QSize(SensorRows, SensorColumns) : QSize(SensorColumns, SensorRows);
    const QSize fitted = sensor.scaled(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2), fitted);
}
