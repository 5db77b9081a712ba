#include "atomicfile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace snapshot {

QString writeAtomically(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return QStringLiteral("no file name given");
    if (QFileInfo(path).isDir())
        return QStringLiteral("cannot write %1: it is a folder").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit(); // only removes the temporary file after cancelWriting
        return QStringLiteral("cannot write %1: %2").arg(path, reason);
    }
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return QString();
}

} // namespace snapshot
