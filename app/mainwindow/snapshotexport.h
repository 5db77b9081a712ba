// Export of the current frame as files other programs open: the picture as
// the user sees it (PNG), the temperature words (16-bit TIFF), the
// temperatures in the current unit (CSV) or the raw matrix (.raw). The
// temperature files are in sensor orientation, like the saved matrix.
#pragma once

#include <QImage>
#include <QString>
#include <QVector>
#include <QtGlobal>

enum class ExportFormat { Png, Tiff, Csv, Raw };

// The format a file name asks for by its suffix (case-insensitive: png, tif,
// tiff, csv, raw); false when it names none.
bool exportFormatForFile(const QString& path, ExportFormat* format);
QString exportSuffix(ExportFormat format);
// "20240131_235959.png" for a time in ms since the epoch (local time).
QString exportFileName(ExportFormat format, qint64 time);

// What one export writes: the picture for PNG, the matrix for the others.
struct ExportSource {
    QImage picture;
    QVector<float> celsius; // upright grid, row-major, degrees Celsius
    int columns = 0;
    int rows = 0;
    int unit = 0; // 0 Celsius, 1 Fahrenheit (CSV)
};

// Writes the file whole or not at all. Empty on success, else a message
// naming the file and the problem.
QString exportSnapshot(ExportFormat format, const QString& path, const ExportSource& source);
