#include "remotecommand.h"

#include <QDir>

namespace {

const QByteArray OkWord = QByteArrayLiteral("ok\n");
const QByteArray ErrorWord = QByteArrayLiteral("error\n");
// Paths and texts are short; anything longer is not a request of ours.
constexpr int MaxRequestBytes = 8192;

struct VerbName {
    RemoteCommand::Verb verb;
    const char* name;
};

constexpr VerbName VerbNames[] = {
    {RemoteCommand::Snapshot, "snapshot"},
    {RemoteCommand::Palette, "palette"},
    {RemoteCommand::Quit, "quit"},
    {RemoteCommand::RecordStart, "record-start"},
    {RemoteCommand::RecordStop, "record-stop"},
};

bool takesPath(RemoteCommand::Verb verb)
{
    return verb == RemoteCommand::Snapshot || verb == RemoteCommand::RecordStart;
}

bool paletteNumber(const QString& text, int& palette)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > RemotePaletteCount)
        return false;
    palette = number;
    return true;
}

} // namespace

bool isRemoteRequest(const QByteArray& message)
{
    return message.startsWith(RemoteRequestMagic);
}

QByteArray encodeRemoteRequest(const RemoteCommand& command)
{
    QByteArray message(RemoteRequestMagic);
    for (const VerbName& name : VerbNames) {
        if (name.verb == command.verb)
            message += name.name;
    }
    if (takesPath(command.verb) && !command.path.isEmpty())
        message += '\n' + command.path.toUtf8();
    if (command.verb == RemoteCommand::Palette)
        message += '\n' + QByteArray::number(command.palette);
    return message;
}

bool decodeRemoteRequest(const QByteArray& message, RemoteCommand& command, QString& problem)
{
    if (!isRemoteRequest(message) || message.size() > MaxRequestBytes) {
        problem = QStringLiteral("not a remote command");
        return false;
    }
    const QByteArray body = message.mid(int(sizeof RemoteRequestMagic) - 1);
    const int newline = body.indexOf('\n');
    const QByteArray verb = newline < 0 ? body : body.left(newline);
    const QString argument = newline < 0 ? QString() : QString::fromUtf8(body.mid(newline + 1));
    RemoteCommand decoded;
    for (const VerbName& name : VerbNames) {
        if (verb == name.name)
            decoded.verb = name.verb;
    }
    switch (decoded.verb) {
    case RemoteCommand::Snapshot:
    case RemoteCommand::RecordStart:
        if (newline >= 0 && (argument.isEmpty() || QDir::isRelativePath(argument) || argument.contains(QChar(0)))) {
            problem = QStringLiteral("the file must be an absolute path");
            return false;
        }
        decoded.path = argument;
        break;
    case RemoteCommand::Palette:
        if (!paletteNumber(argument, decoded.palette)) {
            problem = QStringLiteral("palette \"%1\" is not a number from 1 to %2").arg(argument).arg(RemotePaletteCount);
            return false;
        }
        break;
    case RemoteCommand::Quit:
    case RemoteCommand::RecordStop:
        if (newline >= 0) {
            problem = QStringLiteral("%1 takes no argument").arg(QString::fromUtf8(verb));
            return false;
        }
        break;
    default:
        problem = QStringLiteral("unknown remote command \"%1\"").arg(QString::fromUtf8(verb.left(64)));
        return false;
    }
    command = decoded;
    return true;
}

QByteArray encodeRemoteReply(bool ok, const QString& text)
{
    return (ok ? OkWord : ErrorWord) + text.toUtf8();
}

bool decodeRemoteReply(const QByteArray& reply, bool& ok, QString& text)
{
    if (!reply.startsWith(OkWord) && !reply.startsWith(ErrorWord))
        return false;
    ok = reply.startsWith(OkWord);
    text = QString::fromUtf8(reply.mid(ok ? OkWord.size() : ErrorWord.size()));
    return true;
}

RemoteArguments parseRemoteArguments(const QStringList& arguments, const QString& workingFolder,
                                     RemoteCommand& command, QString& problem)
{
    RemoteCommand found;
    int commands = 0;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString next = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        const bool nextIsValue = !next.isEmpty() && !next.startsWith(QLatin1String("--"));
        if (argument == QLatin1String("--quit")) {
            found.verb = RemoteCommand::Quit;
        } else if (argument == QLatin1String("--snapshot")) {
            found.verb = RemoteCommand::Snapshot;
            if (nextIsValue)
                found.path = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(arguments[++i]));
        } else if (argument == QLatin1String("--record")) {
            if (next == QLatin1String("stop")) {
                found.verb = RemoteCommand::RecordStop;
            } else if (next == QLatin1String("start")) {
                found.verb = RemoteCommand::RecordStart;
                const QString file = i + 2 < arguments.size() ? arguments[i + 2] : QString();
                if (!file.isEmpty() && !file.startsWith(QLatin1String("--"))) {
                    found.path = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(file));
                    ++i;
                }
            } else {
                problem = QStringLiteral("--record needs start [FILE] or stop");
                return RemoteArguments::Invalid;
            }
            ++i;
        } else if (argument == QLatin1String("--palette")) {
            found.verb = RemoteCommand::Palette;
            if (!paletteNumber(next, found.palette)) {
                problem = QStringLiteral("--palette needs a number from 1 to %1").arg(RemotePaletteCount);
                return RemoteArguments::Invalid;
            }
            ++i;
        } else {
            continue;
        }
        ++commands;
    }
    if (commands > 1) {
        problem = QStringLiteral("give one of --snapshot, --palette, --record and --quit at a time");
        return RemoteArguments::Invalid;
    }
    if (commands == 0)
        return RemoteArguments::None;
    command = found;
    return RemoteArguments::Command;
}
