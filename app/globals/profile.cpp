#include "profile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString inUserFolder(QStandardPaths::StandardLocation location, const QString& name)
{
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + name;
}

QString besideProgram(const QString& name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

} // namespace

QString preferredLocation(const QString& besideProgram, const QString& inUserFolder)
{
    if (QFileInfo::exists(inUserFolder))
        return inUserFolder;
    const QFileInfo beside(besideProgram);
    const bool writable = beside.exists() ? beside.isWritable() : QFileInfo(beside.absolutePath()).isWritable();
    return writable ? besideProgram : inUserFolder;
}

QString profileIniPath()
{
    const QString name = QStringLiteral("profile.ini");
    return preferredLocation(besideProgram(name), inUserFolder(QStandardPaths::AppConfigLocation, name));
}

QString temperatureMatrixFolder()
{
    const QString name = QStringLiteral("TempMatrix");
    return preferredLocation(besideProgram(name), inUserFolder(QStandardPaths::AppDataLocation, name));
}
