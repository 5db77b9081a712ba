#include "loginname.h"

#include <QByteArray>
#include <QVarLengthArray>
#include <cerrno>
#include <pwd.h>
#include <unistd.h>

namespace platform {

QString passwordDatabaseName(uid_t uid)
{
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    size_t size = hint > 0 ? static_cast<size_t>(hint) : 1024;
    // Entries with long fields need a bigger buffer than the hint; grow on ERANGE.
    for (int attempt = 0; attempt < 8; ++attempt, size *= 2) {
        QVarLengthArray<char, 1024> buffer(static_cast<int>(size));
        passwd entry {};
        passwd* found = nullptr;
        const int error = getpwuid_r(uid, &entry, buffer.data(), size, &found);
        if (error == ERANGE)
            continue;
        if (error != 0 || found == nullptr || found->pw_name == nullptr)
            return QString();
        return QString::fromLocal8Bit(found->pw_name);
    }
    return QString();
}

QString loginName(uid_t uid)
{
    QString name = passwordDatabaseName(uid);
    if (name.isEmpty())
        name = qEnvironmentVariable("USERNAME");
    if (name.isEmpty())
        name = qEnvironmentVariable("USER");
    return name;
}

QString currentLoginName()
{
    return loginName(geteuid());
}

} // namespace platform
