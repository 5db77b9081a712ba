// A writer of Windows icon files holding several sizes of one picture.
#pragma once

#include <QImage>
#include <QString>
#include <QVector>

class QIODevice;

// Writes the pictures (each 1 to 256 pixels wide and high) into one icon
// file, in the order given: 32-bit pictures with alpha and a transparency
// mask, pictures of 256 pixels as embedded PNG. Returns false with a reason
// in *error (when given) for unusable pictures or a failed write.
bool writeIco(const QVector<QImage>& pictures, QIODevice* out, QString* error = nullptr);
