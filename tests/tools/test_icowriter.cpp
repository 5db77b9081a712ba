#include "icowriter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace {

QImage pattern(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, (x + y) % 5 == 0 ? qRgba(0, 0, 0, 0) : qRgba(x % 256, y % 256, 90, 255));
    return image;
}

// Readers of 32-bit icons go by the alpha channel; older ones by the AND mask
// after the pixels (rows bottom-up, leftmost pixel in the top bit).
TEST(IcoWriter, EverySizeReadsBackAndTheMaskMarksTheTransparentPixels)
{
    const QVector<int> sizes = {16, 24, 32, 48, 256};
    QVector<QImage> pictures;
    for (int size : sizes)
        pictures << pattern(size);
    QByteArray data;
    QBuffer out(&data);
    out.open(QIODevice::WriteOnly);
    QString error;
    ASSERT_TRUE(writeIco(pictures, &out, &error)) << error.toStdString();

    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    QImageReader reader(&in, "ico");
    ASSERT_EQ(reader.imageCount(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(read.size(), QSize(sizes[i], sizes[i])) << reader.errorString().toStdString();
        for (int y = 0; y < sizes[i]; ++y)
            for (int x = 0; x < sizes[i]; ++x) {
                const QRgb expected = pictures[i].pixel(x, y), got = read.pixel(x, y);
                ASSERT_TRUE(qAlpha(expected) ? got == expected : qAlpha(got) == 0) << sizes[i] << " at " << x << "," << y;
            }
    }
    // The 16 x 16 picture comes first.
    const int mask = int(qFromLittleEndian<quint32>(data.constData() + 6 + 12)) + 40 + 16 * 16 * 4;
    ASSERT_LE(mask + 16 * 4, data.size());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool set = uchar(data[mask + (15 - y) * 4 + x / 8]) & (0x80 >> (x % 8));
            ASSERT_EQ(set, qAlpha(pictures[0].pixel(x, y)) == 0) << x << "," << y;
        }
}

TEST(IcoWriter, RefusesPicturesItCannotHold)
{
    QByteArray data;
    QBuffer out(&data);
    out.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_FALSE(writeIco({}, &out, &error));
    EXPECT_FALSE(writeIco({pattern(16), pattern(257)}, &out, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(writeIco({QImage()}, &out, &error));
    EXPECT_TRUE(data.isEmpty());
}

}  // namespace
