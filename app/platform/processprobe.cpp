#include "processprobe.h"

#include "loginname.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/types.h>

namespace platform {
namespace {

bool processExists(pid_t pid)
{
    // EPERM: it exists but belongs to someone we may not signal.
    return kill(pid, 0) == 0 || errno == EPERM;
}

// The state letter of /proc/<pid>/stat follows the last ')' (the command
// name may itself contain parentheses).
bool isZombie(const QString& procFolder)
{
    QFile stat(procFolder + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.read(4096);
    const int close = line.lastIndexOf(')');
    return close >= 0 && line.size() > close + 2 && line.at(close + 2) == 'Z';
}

QString ownerOf(const QString& procFolder)
{
    struct stat info {};
    if (stat(QFile::encodeName(procFolder).constData(), &info) != 0)
        return QString();
    return passwordDatabaseName(info.st_uid);
}

QString executableOf(const QString& procFolder)
{
    QString path = QFileInfo(procFolder + QStringLiteral("/exe")).symLinkTarget();
    // A replaced or removed executable still names the program that runs.
    const QString deleted = QStringLiteral(" (deleted)");
    if (path.endsWith(deleted))
        path.chop(deleted.size());
    return path;
}

} // namespace

ProcessIdentity probeProcess(qint64 pid)
{
    ProcessIdentity identity;
    if (pid < 1 || pid != static_cast<pid_t>(pid) || !processExists(static_cast<pid_t>(pid)))
        return identity;
    const QString procFolder = QStringLiteral("/proc/%1").arg(pid);
    if (isZombie(procFolder))
        return identity;
    identity.running = true;
    identity.ownerName = ownerOf(procFolder);
    identity.executablePath = executableOf(procFolder);
    return identity;
}

} // namespace platform
