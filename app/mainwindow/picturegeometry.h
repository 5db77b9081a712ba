// Where the live picture sits inside the area the window gives it.
#pragma once

#include <QRect>
#include <QSize>

// The largest rectangle with the sensor's aspect (256 x 192, turned for a
// quarter or three-quarter rotation) that fits in `area`, centred in it. The
// picture is never cropped: a wide area leaves bands left and right, a tall
// one above and below. An area with no width or height gives an empty rect.
QRect fittedPictureRect(const QSize& area, int rotationDegrees);
