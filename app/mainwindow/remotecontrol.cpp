#include "remotecontrol.h"

#include "globals.h"
#include "profile.h"
#include "recorder.h"
#include "recordingsession.h"
#include "remoteclient.h"
#include "remotecommand.h"
#include "singleapplication.h"
#include "thermalimager.h"
#include "windowsnapshot.h"

#include <thermal.h>

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTimer>

#include <cstdio>

namespace {

// A snapshot grabs and writes the picture; generous for a slow disk.
constexpr int ReplyTimeoutMs = 10000;

enum RemoteExit { Done = 0, Refused = 1, BadArguments = 2, NoViewer = 3 };

QByteArray takeSnapshot(ThermalImager* window, const QString& asked)
{
    const QString path = asked.isEmpty() ? WindowSnapshot::defaultPath(ExportFormat::Png) : asked;
    QString written;
    const QString problem = WindowSnapshot(window).writeTo(path, &written);
    if (!problem.isEmpty())
        return encodeRemoteReply(false, problem);
    return encodeRemoteReply(true, QStringLiteral("snapshot written to %1").arg(written));
}

QByteArray choosePalette(int palette)
{
    // The settings panel's choice, remembered the same way.
    QSettings profile(profileIniPath(), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Settings/Palette"), palette - 1);
    profile.sync();
    g_palette = palette - 1;
    const char* name = itRgbColorName(palette);
    return encodeRemoteReply(true, QStringLiteral("palette %1 (%2)").arg(palette).arg(QString::fromUtf8(name ? name : "")));
}

// Through the window's recording session, as its Record button does; its
// message says why a start failed.
QByteArray record(ThermalImager* window, const RemoteCommand& command)
{
    RecordingSession* session = window->findChild<RecordingSession*>();
    if (!session)
        return encodeRemoteReply(false, QStringLiteral("this viewer cannot record"));
    Recorder& recorder = session->recorder();
    if (command.verb == RemoteCommand::RecordStop) {
        if (!recorder.isRecording())
            return encodeRemoteReply(false, QStringLiteral("no recording is running"));
        const QString path = recorder.path();
        session->stopRecording();
        return encodeRemoteReply(true, QStringLiteral("recording stopped: %1").arg(path));
    }
    if (recorder.isRecording())
        return encodeRemoteReply(false, QStringLiteral("already recording to %1").arg(recorder.path()));
    QString told;
    const QMetaObject::Connection listening =
        QObject::connect(session, &RecordingSession::message, [&told](const QString& text) { told = text; });
    const bool started = session->startRecording(command.path);
    QObject::disconnect(listening);
    if (!started)
        return encodeRemoteReply(false, told.isEmpty() ? QStringLiteral("the recording could not start") : told);
    return encodeRemoteReply(true, QStringLiteral("recording to %1").arg(recorder.path()));
}

void print(FILE* stream, const QString& text)
{
    std::fprintf(stream, "ombrix: %s\n", text.toLocal8Bit().constData());
}

} // namespace

QByteArray answerRemoteRequest(ThermalImager* window, const QByteArray& request)
{
    RemoteCommand command;
    QString problem;
    if (!decodeRemoteRequest(request, command, problem))
        return encodeRemoteReply(false, problem);
    switch (command.verb) {
    case RemoteCommand::Snapshot:
        return takeSnapshot(window, command.path);
    case RemoteCommand::Palette:
        return choosePalette(command.palette);
    case RemoteCommand::RecordStart:
    case RemoteCommand::RecordStop:
        return record(window, command);
    default:
        // After the reply has gone out.
        QTimer::singleShot(0, window, &QWidget::close);
        return encodeRemoteReply(true, QStringLiteral("the viewer is closing"));
    }
}

int runRemoteCommandLine(int& argc, char** argv, quint32 instanceOptions)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    RemoteCommand command;
    QString problem;
    const RemoteArguments found = parseRemoteArguments(arguments, QDir::currentPath(), command, problem);
    if (found == RemoteArguments::None)
        return -1;
    if (found == RemoteArguments::Invalid) {
        print(stderr, problem);
        return BadArguments;
    }
    // The same names as the viewer's instance has when it computes its own.
    QCoreApplication app(argc, argv);
    QByteArray reply;
    switch (sendRemoteRequest(SingleApplication::blockNameFor(instanceOptions), encodeRemoteRequest(command),
                              ReplyTimeoutMs, reply)) {
    case RemoteOutcome::NoInstance:
        print(stderr, QStringLiteral("no Ombrix viewer is running"));
        return NoViewer;
    case RemoteOutcome::NoAnswer:
        print(stderr, QStringLiteral("the running viewer did not answer"));
        return NoViewer;
    default:
        break;
    }
    bool ok = false;
    QString text;
    if (!decodeRemoteReply(reply, ok, text)) {
        print(stderr, QStringLiteral("the running viewer gave an answer this program does not understand"));
        return NoViewer;
    }
    print(ok ? stdout : stderr, text);
    return ok ? Done : Refused;
}
