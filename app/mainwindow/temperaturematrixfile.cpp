#include "temperaturematrixfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <QtEndian>

QString temperatureMatrixFileName(qint64 time)
{
    return QDateTime::fromMSecsSinceEpoch(time).toString(QStringLiteral("yyyyMMdd_hhmmss")) +
           QStringLiteral(".raw");
}

MatrixWriteResult writeTemperatureMatrix(const QString& folder, const QVector<float>& celsius, qint64 time)
{
    if (!QDir().mkpath(folder))
        return MatrixWriteResult::FolderFailed;

    QByteArray bytes(celsius.size() * int(sizeof(float)), Qt::Uninitialized);
    qToLittleEndian<float>(celsius.constData(), celsius.size(), bytes.data());

    QSaveFile file(QDir(folder).filePath(temperatureMatrixFileName(time)));
    if (!file.open(QIODevice::WriteOnly))
        return MatrixWriteResult::WriteFailed;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();  // removes the temporary file
        return MatrixWriteResult::WriteFailed;
    }
    return file.commit() ? MatrixWriteResult::Written : MatrixWriteResult::WriteFailed;
}
