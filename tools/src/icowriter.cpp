#include "icowriter.h"

#include <QBuffer>
#include <QIODevice>

namespace {

void putWord(QByteArray& out, quint16 value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

void putLong(QByteArray& out, quint32 value)
{
    putWord(out, quint16(value & 0xFFFF));
    putWord(out, quint16(value >> 16));
}

QByteArray pngData(const QImage& picture)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return data;
}

// A bitmap header of twice the height (colour rows, then mask rows), the
// B, G, R, A rows bottom-up, then the 1-bit mask (set = transparent) with
// rows padded to 32 bits.
QByteArray bitmapData(const QImage& picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width(), h = argb.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray data;
    putLong(data, 40);
    putLong(data, quint32(w));
    putLong(data, quint32(2 * h));
    putWord(data, 1);   // planes
    putWord(data, 32);  // bits per pixel
    putLong(data, 0);   // no compression
    putLong(data, quint32(w * h * 4 + maskStride * h));
    for (int i = 0; i < 4; ++i)
        putLong(data, 0);  // resolution and colour counts unused
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            data.append(char(qBlue(row[x])));
            data.append(char(qGreen(row[x])));
            data.append(char(qRed(row[x])));
            data.append(char(qAlpha(row[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
        data.append(mask);
    }
    return data;
}

}  // namespace

bool writeIco(const QVector<QImage>& pictures, QIODevice* out, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!out || !out->isWritable())
        return fail(QStringLiteral("output is not writable"));
    if (pictures.isEmpty() || pictures.size() > 0xFFFF)
        return fail(QStringLiteral("an icon needs 1 to 65535 pictures, got %1").arg(pictures.size()));
    QVector<QByteArray> images;
    for (const QImage& picture : pictures) {
        if (picture.isNull() || picture.width() > 256 || picture.height() > 256)
            return fail(QStringLiteral("unusable icon picture %1 x %2").arg(picture.width()).arg(picture.height()));
        images.append(picture.width() == 256 || picture.height() == 256 ? pngData(picture) : bitmapData(picture));
    }

    QByteArray ico;
    putWord(ico, 0);  // reserved
    putWord(ico, 1);  // icon
    putWord(ico, quint16(pictures.size()));
    quint32 offset = quint32(6 + 16 * pictures.size());
    for (int i = 0; i < pictures.size(); ++i) {
        ico.append(char(pictures[i].width() & 0xFF));  // 256 is written as 0
        ico.append(char(pictures[i].height() & 0xFF));
        ico.append('\0');  // no palette
        ico.append('\0');
        putWord(ico, 1);   // planes
        putWord(ico, 32);  // bits per pixel
        putLong(ico, quint32(images[i].size()));
        putLong(ico, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images)
        ico.append(image);
    if (out->write(ico) != ico.size())
        return fail(QStringLiteral("write failed: %1").arg(out->errorString()));
    return true;
}
