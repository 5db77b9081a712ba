// A GIF89a writer for animations (Qt reads GIF but cannot write it).
#pragma once

#include <QImage>
#include <QString>
#include <QVector>

class QIODevice;

// An endlessly looping animation whose frames share one colour table.
struct GifAnimation {
    QVector<QRgb> palette;       // 1 to 256 colours; the alpha of entries is ignored
    int transparentIndex = -1;   // palette entry drawn as transparent, -1 for none
    int delayCentiseconds = 10;  // time each frame stays, 0 to 65535
    QVector<QImage> frames;      // same size (at most 65535 x 65535), Format_Indexed8, indexes into palette
};

// Writes the animation. Each frame replaces the previous one completely (the
// area is cleared to transparent between frames). Returns false with a
// reason in *error (when given) for an unusable animation or a failed write;
// nothing is written then unless the device failed midway.
bool writeGif(const GifAnimation& animation, QIODevice* out, QString* error = nullptr);

// The LZW code stream of GIF image data for `indexes` (each below
// 2^minCodeSize), without the sub-block framing. Exposed for tests.
QByteArray gifLzwEncode(const uchar* indexes, int count, int minCodeSize);

// Maps an ARGB picture onto `palette`: pixels with alpha below 128 become
// transparentIndex (when >= 0), others the nearest opaque palette colour.
QImage toIndexed(const QImage& picture, const QVector<QRgb>& palette, int transparentIndex);
