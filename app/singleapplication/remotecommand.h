// Commands another process sends to the running viewer ("ombrix --quit"),
// carried as the message of the single-instance channel, and the viewer's
// answer. A message that does not start with RemoteRequestMagic is the older
// plain message (the second start's command line) and is left alone.
//
// Request:  "ombrix-remote/1\n" VERB [ "\n" ARGUMENT ]   (UTF-8)
// Reply:    "ok\n" TEXT  or  "error\n" TEXT
//
// Everything here is a pure function of its input.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

constexpr char RemoteRequestMagic[] = "ombrix-remote/1\n";

struct RemoteCommand {
    enum Verb { None, Snapshot, Palette, Quit, RecordStart, RecordStop };
    Verb verb = None;
    QString path;    // Snapshot, RecordStart: the file, absolute; empty for the viewer's default
    int palette = 0; // Palette: 1 to RemotePaletteCount
};

constexpr int RemotePaletteCount = 83;

bool isRemoteRequest(const QByteArray& message);
QByteArray encodeRemoteRequest(const RemoteCommand& command);
// False for anything but a well-formed request, with `problem` naming why.
bool decodeRemoteRequest(const QByteArray& message, RemoteCommand& command, QString& problem);

QByteArray encodeRemoteReply(bool ok, const QString& text);
// False when the reply is not one.
bool decodeRemoteReply(const QByteArray& reply, bool& ok, QString& text);

enum class RemoteArguments { None, Command, Invalid };
// Looks for --snapshot [FILE], --palette N, --quit or --record start [FILE]
// | stop among the program's
// arguments (without the program name). A relative FILE is made absolute
// against `workingFolder`. Invalid with `problem` set for a bad value or
// more than one command.
RemoteArguments parseRemoteArguments(const QStringList& arguments, const QString& workingFolder,
                                     RemoteCommand& command, QString& problem);
