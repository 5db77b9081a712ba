#include "gifwriter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>

namespace {

QVector<QRgb> greyPalette(int colours)
{
    QVector<QRgb> palette;
    for (int i = 0; i < colours; ++i)
        palette << qRgb(i * 255 / qMax(1, colours - 1), 40, 255 - i * 255 / qMax(1, colours - 1));
    return palette;
}

QImage indexedFrame(QSize size, const QVector<QRgb>& palette, std::function<int(int, int)> index)
{
    QImage frame(size, QImage::Format_Indexed8);
    frame.setColorTable(palette);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            frame.scanLine(y)[x] = uchar(index(x, y));
    return frame;
}

// Whether the writer took the animation, and the bytes it wrote.
std::pair<bool, QByteArray> encode(const GifAnimation& animation, QString* error)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const bool written = writeGif(animation, &buffer, error);
    return {written, data};
}

// Decodes every frame with Qt's reader and checks it pixel by pixel.
void expectDecodesTo(const GifAnimation& animation)
{
    QString error;
    auto [written, data] = encode(animation, &error);
    ASSERT_TRUE(written) << error.toStdString();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.imageCount(), animation.frames.size());
    EXPECT_EQ(reader.loopCount(), -1);  // forever
    for (int f = 0; f < animation.frames.size(); ++f) {
        const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(decoded.isNull()) << "frame " << f << ": " << reader.errorString().toStdString();
        if (f + 1 < animation.frames.size()) {
            EXPECT_EQ(reader.nextImageDelay(), 10 * animation.delayCentiseconds);
        }
        const QImage& expected = animation.frames[f];
        ASSERT_EQ(decoded.size(), expected.size());
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                // A transparent pixel shows no colour; any other its palette entry.
                const int index = expected.pixelIndex(x, y);
                const QRgb got = decoded.pixel(x, y), opaque = animation.palette[index] | 0xFF000000u;
                ASSERT_EQ(qAlpha(got) ? got : 0u, index == animation.transparentIndex ? 0u : opaque) << f << " at " << x << "," << y;
            }
    }
}

// A strict decoder of the code stream: widens codes as GIF readers do and
// requires the end code, at the right width, right after the last pixel.
bool strictLzwDecode(const QByteArray& codes, int minCodeSize, QByteArray* pixels)
{
    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    QVector<QByteArray> table;
    int codeSize = minCodeSize + 1, bitPos = 0, previous = -1;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < clearCode + 2; ++i)
            table << QByteArray(1, char(i));
        codeSize = minCodeSize + 1;
        previous = -1;
    };
    reset();
    while (bitPos + codeSize <= codes.size() * 8) {
        int code = 0;
        for (int b = 0; b < codeSize; ++b, ++bitPos)
            code |= ((uchar(codes[bitPos / 8]) >> (bitPos % 8)) & 1) << b;
        if (code == clearCode) {
            reset();
            continue;
        }
        if (code == endCode)
            return (codes.size() * 8 - bitPos) < 8;  // only padding may follow
        QByteArray entry;
        if (code < table.size())
            entry = table[code];
        else if (code == table.size() && previous >= 0)
            entry = table[previous] + table[previous].left(1);
        else
            return false;
        pixels->append(entry);
        if (previous >= 0 && table.size() < 4096)
            table << table[previous] + entry.left(1);
        if (table.size() == (1 << codeSize) && codeSize < 12)
            ++codeSize;
        previous = code;
    }
    return false;  // ran out of data before the end code
}

TEST(GifWriter, CodeStreamEndsCleanlyAtEveryLength)
{
    QRandomGenerator random(5);
    for (int minCodeSize : {2, 8}) {
        for (int count = 0; count <= 3000; count += (count < 300 ? 1 : 97)) {
            QByteArray input;
            for (int i = 0; i < count; ++i)
                input.append(char(random.bounded(1 << minCodeSize)));
            const QByteArray codes = gifLzwEncode(reinterpret_cast<const uchar*>(input.constData()), count, minCodeSize);
            QByteArray output;
            ASSERT_TRUE(strictLzwDecode(codes, minCodeSize, &output)) << minCodeSize << " " << count;
            ASSERT_EQ(output, input) << minCodeSize << " " << count;
        }
    }
}

// Random pixels fill the 4096-entry code table many times over, so the
// encoder must restart it and widen codes exactly as a decoder does.
TEST(GifWriter, AnimationsDecodeExactlyWithTransparencyAndDelay)
{
    QRandomGenerator random(7);
    for (int colours : {2, 3, 16, 200, 256}) {
        GifAnimation a;
        a.palette = greyPalette(colours);
        a.transparentIndex = colours == 16 ? 0 : -1;
        a.delayCentiseconds = colours;
        a.frames << indexedFrame({173, 91}, a.palette, [&](int, int) { return int(random.bounded(colours)); });
        a.frames << indexedFrame({173, 91}, a.palette, [&](int x, int) { return (x / 7) % colours; });
        SCOPED_TRACE(colours);
        expectDecodesTo(a);
    }
}

TEST(GifWriter, UnusableAnimationsAreRefusedWithAReason)
{
    const QVector<QRgb> palette = greyPalette(4);
    auto good = [&] {
        GifAnimation a;
        a.palette = palette;
        a.frames << indexedFrame({4, 4}, palette, [](int, int) { return 1; });
        return a;
    };
    std::vector<GifAnimation> bad(7, good());
    bad[0].frames.clear();
    bad[1].palette.clear();
    bad[2].palette = greyPalette(257);
    bad[3].frames << indexedFrame({5, 4}, palette, [](int, int) { return 1; });  // another size
    bad[4].frames << bad[4].frames[0].convertToFormat(QImage::Format_RGB32);
    bad[5].frames[0].setColorCount(8);
    bad[5].frames[0].setPixel(2, 2, 6);  // beyond the 4-colour palette
    bad[6].transparentIndex = 4;
    for (size_t i = 0; i < bad.size(); ++i) {
        QString error;
        EXPECT_TRUE(encode(bad[i], &error) == std::make_pair(false, QByteArray()) && !error.isEmpty()) << i;
    }
    QBuffer closed;
    EXPECT_FALSE(writeGif(good(), &closed));
}

TEST(GifWriter, ToIndexedPicksTransparentAndNearestColours)
{
    const QVector<QRgb> palette = {qRgba(0, 0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)};
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(250, 0, 0, 20));
    picture.setPixel(1, 0, qRgb(200, 30, 40));
    picture.setPixel(2, 0, qRgb(0, 0, 60));  // nearer blue than red; never the transparent entry
    const QImage indexed = toIndexed(picture, palette, 0);
    EXPECT_EQ(indexed.pixelIndex(0, 0), 0);
    EXPECT_EQ(indexed.pixelIndex(1, 0), 1);
    EXPECT_EQ(indexed.pixelIndex(2, 0), 2);
}

}  // namespace
