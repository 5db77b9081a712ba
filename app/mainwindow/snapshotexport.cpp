#include "snapshotexport.h"

#include <ombrix/temperature_units.h>
#include <snapshot.h>

#include <QDateTime>
#include <QFileInfo>

#include <vector>

namespace {

struct FormatName {
    ExportFormat format;
    const char* suffix;
};

constexpr FormatName FormatNames[] = {
    {ExportFormat::Png, "png"}, {ExportFormat::Tiff, "tiff"}, {ExportFormat::Tiff, "tif"},
    {ExportFormat::Csv, "csv"}, {ExportFormat::Raw, "raw"},
};

QString writePicture(const QString& path, const QImage& picture, char* error, size_t size)
{
    if (picture.isNull())
        return QObject::tr("There is no picture to export yet.");
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const int written = snapshot_write_png(path.toUtf8().constData(), rgb.constBits(), rgb.width(), rgb.height(),
                                           rgb.bytesPerLine(), error, size);
    return written == 0 ? QString() : QString::fromUtf8(error);
}

int writeMatrix(ExportFormat format, const QByteArray& path, const ExportSource& source, char* error, size_t size)
{
    const float* celsius = source.celsius.constData();
    switch (format) {
    case ExportFormat::Tiff: {
        std::vector<uint16_t> words(size_t(source.celsius.size()));
        for (size_t i = 0; i < words.size(); ++i)
            words[i] = celsius_to_raw(celsius[i]);
        return snapshot_write_tiff(path.constData(), words.data(), source.columns, source.rows, error, size);
    }
    case ExportFormat::Csv:
        return snapshot_write_csv(path.constData(), celsius, source.columns, source.rows,
                                  source.unit == 1 ? SNAPSHOT_FAHRENHEIT : SNAPSHOT_CELSIUS, error, size);
    default:
        return snapshot_write_raw(path.constData(), celsius, source.columns, source.rows, error, size);
    }
}

} // namespace

bool exportFormatForFile(const QString& path, ExportFormat* format)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const FormatName& name : FormatNames) {
        if (suffix == QLatin1String(name.suffix)) {
            *format = name.format;
            return true;
        }
    }
    return false;
}

QString exportSuffix(ExportFormat format)
{
    for (const FormatName& name : FormatNames) {
        if (name.format == format)
            return QString::fromLatin1(name.suffix);
    }
    return QString();
}

QString exportFileName(ExportFormat format, qint64 time)
{
    return QDateTime::fromMSecsSinceEpoch(time).toString(QStringLiteral("yyyyMMdd_hhmmss.")) + exportSuffix(format);
}

QString exportSnapshot(ExportFormat format, const QString& path, const ExportSource& source)
{
    char error[512] = {};
    if (format == ExportFormat::Png)
        return writePicture(path, source.picture, error, sizeof error);
    if (source.celsius.isEmpty() || source.celsius.size() != source.columns * source.rows)
        return QObject::tr("No temperature data yet, please try again!");
    if (writeMatrix(format, path.toUtf8(), source, error, sizeof error) != 0)
        return QString::fromUtf8(error);
    return QString();
}
