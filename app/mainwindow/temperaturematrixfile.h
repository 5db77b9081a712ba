// Temperature matrix files: the temperatures of one frame as raw
// little-endian single-precision floats in degrees Celsius, row by row, in
// sensor orientation, with no header, named after the frame's temperature
// time ("yyyyMMdd_hhmmss.raw", local time).
#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

// "20240131_235959.raw" for a time in ms since the epoch.
QString temperatureMatrixFileName(qint64 time);

enum class MatrixWriteResult {
    Written,
    FolderFailed,  // the folder does not exist and cannot be made
    WriteFailed,   // the file could not be written whole
};

// Writes the values into `folder` (made with its missing parents when it does
// not exist) under the name for `time`. The file appears only once it has
// been written whole: the bytes go to a temporary file in the same folder,
// which then replaces any earlier file of that name. A failed write leaves
// the folder as it was.
MatrixWriteResult writeTemperatureMatrix(const QString& folder, const QVector<float>& celsius, qint64 time);
