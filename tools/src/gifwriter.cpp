#include "gifwriter.h"

#include <QIODevice>

#include <limits>
#include <unordered_map>

namespace {

constexpr int kMaxCodes = 4096;  // codes are at most 12 bits

// Packs variable-width codes least significant bit first.
class CodeWriter {
public:
    void write(int code, int bits)
    {
        m_accumulator |= quint32(code) << m_pending;
        m_pending += bits;
        while (m_pending >= 8) {
            m_bytes.append(char(m_accumulator & 0xFF));
            m_accumulator >>= 8;
            m_pending -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_pending > 0)
            m_bytes.append(char(m_accumulator & 0xFF));
        m_accumulator = 0;
        m_pending = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_accumulator = 0;
    int m_pending = 0;
};

void putWord(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// Bits needed so that 2^bits >= colours (at least 1).
int paletteBits(int colours)
{
    int bits = 1;
    while ((1 << bits) < colours)
        ++bits;
    return bits;
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

bool validate(const GifAnimation& a, QString* error)
{
    if (a.palette.isEmpty() || a.palette.size() > 256)
        return fail(error, QStringLiteral("palette must have 1 to 256 colours, has %1").arg(a.palette.size()));
    if (a.transparentIndex >= a.palette.size())
        return fail(error, QStringLiteral("transparent index %1 is not in the palette").arg(a.transparentIndex));
    if (a.delayCentiseconds < 0 || a.delayCentiseconds > 65535)
        return fail(error, QStringLiteral("frame delay %1 is out of range").arg(a.delayCentiseconds));
    if (a.frames.isEmpty())
        return fail(error, QStringLiteral("no frames"));
    const QSize size = a.frames.first().size();
    if (size.isEmpty() || size.width() > 65535 || size.height() > 65535)
        return fail(error, QStringLiteral("unusable frame size %1 x %2").arg(size.width()).arg(size.height()));
    for (int f = 0; f < a.frames.size(); ++f) {
        const QImage& frame = a.frames[f];
        if (frame.format() != QImage::Format_Indexed8)
            return fail(error, QStringLiteral("frame %1 is not an indexed picture").arg(f));
        if (frame.size() != size)
            return fail(error, QStringLiteral("frame %1 differs in size from the first").arg(f));
        for (int y = 0; y < size.height(); ++y) {
            const uchar* row = frame.constScanLine(y);
            for (int x = 0; x < size.width(); ++x)
                if (row[x] >= a.palette.size())
                    return fail(error, QStringLiteral("frame %1 uses colour %2 beyond the palette").arg(f).arg(row[x]));
        }
    }
    return true;
}

void appendFrame(QByteArray& out, const GifAnimation& a, const QImage& frame, int minCodeSize)
{
    // Graphic control: clear to background after the frame, delay, transparency.
    const bool transparent = a.transparentIndex >= 0;
    out.append("\x21\xF9\x04", 3);
    out.append(char((2 << 2) | (transparent ? 1 : 0)));
    putWord(out, a.delayCentiseconds);
    out.append(char(transparent ? a.transparentIndex : 0));
    out.append('\0');

    // Image descriptor: the whole screen, no local colour table, not interlaced.
    out.append('\x2C');
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, frame.width());
    putWord(out, frame.height());
    out.append('\0');

    QByteArray indexes;
    indexes.reserve(frame.width() * frame.height());
    for (int y = 0; y < frame.height(); ++y)
        indexes.append(reinterpret_cast<const char*>(frame.constScanLine(y)), frame.width());
    const QByteArray codes =
        gifLzwEncode(reinterpret_cast<const uchar*>(indexes.constData()), indexes.size(), minCodeSize);

    out.append(char(minCodeSize));
    for (int at = 0; at < codes.size(); at += 255) {
        const int length = qMin(255, codes.size() - at);
        out.append(char(length));
        out.append(codes.constData() + at, length);
    }
    out.append('\0');
}

}  // namespace

QByteArray gifLzwEncode(const uchar* indexes, int count, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    CodeWriter writer;
    std::unordered_map<quint32, int> table;  // (prefix code << 8 | next index) -> code
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;

    auto restart = [&] {
        writer.write(clearCode, codeSize);
        table.clear();
        codeSize = minCodeSize + 1;
        nextCode = endCode + 1;
    };
    // A decoder adds one table entry for every code it reads after the first;
    // the encoder adds the same entry as it writes the code, and both widen
    // the codes at the same moment.
    auto addEntry = [&](quint32 key) {
        if (key != std::numeric_limits<quint32>::max())
            table.emplace(key, nextCode);
        ++nextCode;
        if (nextCode > (1 << codeSize) && codeSize < 12)
            ++codeSize;
    };

    restart();
    if (count <= 0) {
        writer.write(endCode, codeSize);
        return writer.finish();
    }
    int prefix = indexes[0];
    for (int i = 1; i < count; ++i) {
        const quint32 key = (quint32(prefix) << 8) | indexes[i];
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        writer.write(prefix, codeSize);
        addEntry(key);
        prefix = indexes[i];
        if (nextCode == kMaxCodes)
            restart();
    }
    writer.write(prefix, codeSize);
    // The decoder counts an entry for this last code too (unless it was the
    // first after a clear); the end code must be read at the width that follows.
    if (nextCode != endCode + 1 && nextCode < kMaxCodes)
        addEntry(std::numeric_limits<quint32>::max());
    writer.write(endCode, codeSize);
    return writer.finish();
}

bool writeGif(const GifAnimation& a, QIODevice* out, QString* error)
{
    if (!out || !out->isWritable())
        return fail(error, QStringLiteral("output is not writable"));
    if (!validate(a, error))
        return false;
    const int bits = paletteBits(a.palette.size());
    const QSize size = a.frames.first().size();

    QByteArray gif("GIF89a");
    putWord(gif, size.width());
    putWord(gif, size.height());
    gif.append(char(0x80 | (7 << 4) | (bits - 1)));  // global table, 8-bit colour resolution
    gif.append(char(a.transparentIndex >= 0 ? a.transparentIndex : 0));
    gif.append('\0');
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < a.palette.size() ? a.palette[i] : qRgb(0, 0, 0);
        gif.append(char(qRed(c)));
        gif.append(char(qGreen(c)));
        gif.append(char(qBlue(c)));
    }
    // Loop forever.
    gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (const QImage& frame : a.frames)
        appendFrame(gif, a, frame, qMax(2, bits));
    gif.append('\x3B');

    if (out->write(gif) != gif.size())
        return fail(error, QStringLiteral("write failed: %1").arg(out->errorString()));
    return true;
}

QImage toIndexed(const QImage& picture, const QVector<QRgb>& palette, int transparentIndex)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage indexed(argb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    std::unordered_map<QRgb, uchar> nearest;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            if (transparentIndex >= 0 && qAlpha(in[x]) < 128) {
                out[x] = uchar(transparentIndex);
                continue;
            }
            const QRgb colour = in[x] | 0xFF000000u;
            auto known = nearest.find(colour);
            if (known == nearest.end()) {
                int best = -1, bestDistance = std::numeric_limits<int>::max();
                for (int i = 0; i < palette.size(); ++i) {
                    if (i == transparentIndex)
                        continue;
                    const int dr = qRed(colour) - qRed(palette[i]), dg = qGreen(colour) - qGreen(palette[i]),
                              db = qBlue(colour) - qBlue(palette[i]);
                    const int distance = dr * dr + dg * dg + db * db;
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = i;
                    }
                }
                known = nearest.emplace(colour, uchar(qMax(best, 0))).first;
            }
            out[x] = known->second;
        }
    }
    return indexed;
}
