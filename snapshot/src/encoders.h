// The snapshot formats as bytes in memory, so that each file is written in
// one whole-or-nothing step. Sizes are checked by the caller.
#pragma once

#include "snapshot.h"

#include <QByteArray>
#include <QString>

namespace snapshot {

// Each returns the encoded file; an encoder that fails returns an empty
// array and says why in `why`.
QByteArray encodeTiff(const uint16_t* words, int width, int height, QString& why);
QByteArray encodeCsv(const float* celsius, int width, int height, snapshot_unit unit);
QByteArray encodeRaw(const float* celsius, int count);
QByteArray encodePng(const uint8_t* rgb, int width, int height, int stride, QString& why);

// What the TIFF description says: the unit and scale of the words.
QByteArray tiffDescription();

} // namespace snapshot
