// The C entry points: argument checks, then encode in memory and write whole.
#include "snapshot.h"

#include "atomicfile.h"
#include "encoders.h"

#include <cstdio>

namespace {

// Anything larger than this is not a frame of a camera this size.
constexpr int MaxSide = 16384;

int fail(char* error, size_t size, const QString& why)
{
    if (error && size > 0)
        std::snprintf(error, size, "%s", why.toUtf8().constData());
    return -1;
}

QString checkFrame(const char* path, const void* data, int width, int height)
{
    if (!path || !*path)
        return QStringLiteral("no file name given");
    if (!data)
        return QStringLiteral("no data to write to %1").arg(QString::fromUtf8(path));
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide)
        return QStringLiteral("cannot write %1: a %2 x %3 picture is not a frame")
            .arg(QString::fromUtf8(path))
            .arg(width)
            .arg(height);
    return QString();
}

int finish(const char* path, const QByteArray& bytes, const QString& why, char* error, size_t size)
{
    if (bytes.isEmpty())
        return fail(error, size, QStringLiteral("cannot write %1: %2").arg(QString::fromUtf8(path), why));
    const QString failure = snapshot::writeAtomically(QString::fromUtf8(path), bytes);
    return failure.isEmpty() ? 0 : fail(error, size, failure);
}

} // namespace

extern "C" {

int snapshot_write_tiff(const char* path, const uint16_t* words, int width, int height, char* error,
                        size_t error_size)
{
    const QString invalid = checkFrame(path, words, width, height);
    if (!invalid.isEmpty())
        return fail(error, error_size, invalid);
    QString why;
    const QByteArray bytes = snapshot::encodeTiff(words, width, height, why);
    return finish(path, bytes, why, error, error_size);
}

int snapshot_write_csv(const char* path, const float* celsius, int width, int height, snapshot_unit unit,
                       char* error, size_t error_size)
{
    QString invalid = checkFrame(path, celsius, width, height);
    if (invalid.isEmpty() && unit != SNAPSHOT_CELSIUS && unit != SNAPSHOT_FAHRENHEIT)
        invalid = QStringLiteral("cannot write %1: unknown temperature unit %2").arg(QString::fromUtf8(path)).arg(int(unit));
    if (!invalid.isEmpty())
        return fail(error, error_size, invalid);
    return finish(path, snapshot::encodeCsv(celsius, width, height, unit), QString(), error, error_size);
}

int snapshot_write_raw(const char* path, const float* celsius, int width, int height, char* error,
                       size_t error_size)
{
    const QString invalid = checkFrame(path, celsius, width, height);
    if (!invalid.isEmpty())
        return fail(error, error_size, invalid);
    return finish(path, snapshot::encodeRaw(celsius, width * height), QString(), error, error_size);
}

int snapshot_write_png(const char* path, const uint8_t* rgb, int width, int height, int stride, char* error,
                       size_t error_size)
{
    QString invalid = checkFrame(path, rgb, width, height);
    if (invalid.isEmpty() && stride < 3 * width)
        invalid = QStringLiteral("cannot write %1: rows of %2 bytes cannot hold %3 pixels")
                      .arg(QString::fromUtf8(path))
                      .arg(stride)
                      .arg(width);
    if (!invalid.isEmpty())
        return fail(error, error_size, invalid);
    QString why;
    const QByteArray bytes = snapshot::encodePng(rgb, width, height, stride, why);
    return finish(path, bytes, why, error, error_size);
}

} // extern "C"
