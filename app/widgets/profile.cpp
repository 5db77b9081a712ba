#include "profile.h"

#include <QCoreApplication>

QString profileIniPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/profile.ini");
}
